// The "Результаты" page of the port window: the status bars of the running cycle, the cycle
// result table and the call table. The port thread's reports change the page's data at once;
// the tables are repainted by flush(), which the window calls at most ~25 times a second, so a
// burst of reports costs one repaint.
#pragma once

#include "engine/view/port_view.h"

#include <QColor>
#include <QWidget>
#include <optional>
#include <vector>

class QTableWidget;
class QTabWidget;
class QToolButton;

namespace zev7 {

class PanelBar;

class PortResultPage : public QWidget {
    Q_OBJECT

public:
    static constexpr int kCallColumns = kCallRowColumns;
    static inline const QColor kNormColour{255, 255, 255};
    static inline const QColor kOffNormColour{255, 0, 0};

    explicit PortResultPage(QWidget* parent = nullptr);

    void cycleStarted(const CycleStartInfo& info);
    void callStatus(int callNumber, CallStatus status);
    // The run has ended: a call still shown as under way was cut short and says so.
    void runEnded();
    void callAccounted(const CallRefresh& refresh);
    // Brings the tables up to date; false when there was nothing to repaint.
    bool flush();

    QTableWidget* cycleTable() const { return cycleTable_; }
    QTableWidget* callTable() const { return callTable_; }
    QTabWidget* tabs() const { return tabs_; }
    PanelBar* outBar() const { return outBar_; }
    PanelBar* inBar() const { return inBar_; }
    QColor complianceColour() const { return compliance_; }
    // The graph buttons of StatusBar6: the calls pie, the losses pie, the Menu_Param graphs.
    QToolButton* graphButton(int index) const { return graphButtons_[index]; }

    // Wide enough for every column of the call table and tall enough for all rows of the cycle
    // result: the window opens showing both whole.
    QSize sizeHint() const override;

private:
    void writeRow(int row);

    PanelBar* outBar_;
    PanelBar* inBar_;
    QTabWidget* tabs_;
    QTableWidget* cycleTable_;
    QTableWidget* callTable_;
    QToolButton* graphButtons_[3] = {};

    // The page's data; the widgets follow on flush().
    std::vector<std::optional<CallRowTexts>> rows_;  // index = call number - 1
    int statusCall_ = 0;
    QString statusText_;
    SummaryTexts summary_{};
    QColor compliance_ = kNormColour;
    bool cleared_ = false;
    bool summaryDirty_ = false;
    int dirtyFrom_ = -1;  // first call row to repaint, -1 none
};

}  // namespace zev7
