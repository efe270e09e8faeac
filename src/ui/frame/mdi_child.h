// The common base of the program's MDI child windows: a window stores its placement (and what a
// subclass adds) in "ZEV7.ini" in the section named after its caption at creation ("Порт:3"),
// restores it when shown, and carries the help context number F1 opens.
#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

namespace zev7 {

class IniFile;
class NormalPlacementWatch;

class MdiChild : public QWidget {
    Q_OBJECT

public:
    // `ini` is the program's configuration file (it outlives the window); null keeps no layout.
    MdiChild(const QString& caption, int helpContext, IniFile* ini, QWidget* parent = nullptr);

    // The section of this window: its caption when it was made.
    const QString& layoutSection() const { return section_; }
    // The help topic F1 opens here (kept as the window's help mark, see help_window.h).
    int helpContext() const;
    // A window whose pages have their own topics changes it with the page.
    void setHelpContext(int context);

    // Writes the placement and the subclass's values into the file and saves it.
    void saveLayout();
    // Applies the stored placement and values; from a switched-off file (empty path) the
    // defaults: the Restore-configuration arrangement.
    void restoreLayout();

    IniFile* iniFile() const { return ini_; }
    // The file holds a usable size for this window (else it opens at its own default size).
    bool hasStoredPlacement() const;

    // The window that carries the frame: the MDI sub-window when the child sits in one.
    QWidget* frameWindow();

protected:
    // What a subclass keeps beyond the placement, in the same section.
    virtual void writeSettings(IniFile& /*ini*/, const QString& /*section*/) {}
    virtual void readSettings(const IniFile& /*ini*/, const QString& /*section*/) {}

    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    friend class NormalPlacementWatch;
    // The frame's placement while it was last neither maximised nor minimised.
    QRect normalPlacement() const;

    QString section_;
    IniFile* ini_;
    NormalPlacementWatch* placementWatch_ = nullptr;  // a child of this window
    QPointer<QWidget> watchedFrame_;
    QRect normalPlacement_;
};

// Brings an open window before the user: restored when minimised, shown, made the active window
// of its area and put on top. `window` is an MDI child or its frame.
void raiseMdiChild(QWidget* window);

}  // namespace zev7
