// What a port's running cycle has shown so far, kept as the port thread reports it: the status
// bars of the cycle, one row per test call (or the status of the call under way), the cycle
// result table with its verdict and the verdict's confidence, and the pies and bars of the graph
// windows (PortGraphData). The port window's result page and the graph windows show it. A port
// reports many times a second; the model takes every report at once and tells its views to repaint
// at most every kRepaintIntervalMs, so a burst of reports costs one repaint.
#pragma once

#include "engine/view/port_view.h"

#include <QObject>
#include <optional>
#include <vector>

class QTimer;

namespace zev7 {

class PortGraphData;

// What changed since the last repaint.
struct RunRepaint {
    bool cycleStarted = false;  // the call table starts empty, the status bars show the cycle
    int firstRow = -1;          // the first call row to paint again; -1 none
    bool summary = false;       // the cycle result table and its verdict
};

class PortRunModel : public QObject {
    Q_OBJECT

public:
    // About 25 repaints a second at most.
    static constexpr int kRepaintIntervalMs = 40;

    explicit PortRunModel(QObject* parent = nullptr);
    ~PortRunModel() override;

    // ---- The port thread's reports -------------------------------------------------------------
    void cycleStarted(const CycleStartInfo& info);
    void callStatus(int callNumber, CallStatus status);
    void callAccounted(const CallRefresh& refresh);
    // The run has ended: a call still shown as under way was cut short and says so.
    void runEnded();

    // Another view of the port (the protocol) has something to paint: it comes with the next
    // repaint.
    void scheduleRepaint();
    // The repaint the timer would make, now.
    void repaintNow();
    QTimer* repaintTimer() const { return repaintTimer_; }

    // ---- What the views show -------------------------------------------------------------------
    const CycleStartInfo& cycle() const { return cycle_; }
    int callCount() const { return static_cast<int>(rows_.size()); }
    // The cells of call row `row` (0-based): the accounted call, else the number and status of
    // the call under way, else empty.
    CallRowTexts callRow(int row) const;
    const SummaryTexts& summary() const { return summary_; }
    bool meetsNorm() const { return meetsNorm_; }
    const LossConfidence& confidence() const { return confidence_; }
    PortGraphData& graphs() { return *graphs_; }

signals:
    void repaintDue(const zev7::RunRepaint& what);

private:
    // The rows reach at least up to this call.
    void reachRow(int callNumber);
    void rowChanged(int row);

    QTimer* repaintTimer_ = nullptr;
    PortGraphData* graphs_ = nullptr;
    CycleStartInfo cycle_;
    std::vector<std::optional<CallRowTexts>> rows_;  // index = call number - 1
    int statusCall_ = 0;
    QString statusText_;
    SummaryTexts summary_{};
    bool meetsNorm_ = true;
    LossConfidence confidence_{0, 0, 0};
    RunRepaint pending_;
};

}  // namespace zev7
