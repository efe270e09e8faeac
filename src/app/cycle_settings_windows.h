// The one cycle settings window of the program: a port window's button or double click brings it
// up on that window's current cycle, and it follows the active port window (or the port it shows)
// when the selected cycle, the scenario or the running state changes. A request to maximise it
// stands it as a full-height strip at the left or right edge, the maximised port windows beside.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QMdiSubWindow;

namespace zev7 {

class IniFile;
class TForm_Data;
class TFormSet;
class TMainForm;
class UserMessages;

class CycleSettingsWindows : public QObject {
    Q_OBJECT

public:
    // Lives as a child of the main window.
    CycleSettingsWindows(TMainForm& window, UserMessages& messages, IniFile& ini);

    TFormSet* dialog() const;
    bool docked() const { return docked_; }

    // Follows the port window's requests (made once per window).
    void attach(TForm_Data* window);
    void onWanted(TForm_Data* window, bool open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dock();
    void undock();
    void noteMaximisedPorts();
    QRect clientArea() const;

    TMainForm& window_;
    UserMessages& messages_;
    IniFile& ini_;
    QPointer<QMdiSubWindow> sub_;
    // The port windows placed beside the strip instead of maximised.
    QList<QPointer<QMdiSubWindow>> beside_;
    bool docked_ = false;
    bool placing_ = false;
};

}  // namespace zev7
