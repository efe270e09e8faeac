// TFTestScenar, "Схема сценариев": the scenarios of all open port windows on one time chart, so
// the user sees when each port will call which number and where the plans collide. Dragging a
// bar moves its cycle's start window in the port's scenario document, which writes its working
// copy at once. The chart follows the documents: their scenario edits, Set, runs starting and
// ending.
#pragma once

#include "scenario/scenario_scheme.h"
#include "ui/chart/chart_zoom.h"
#include "ui/frame/mdi_child.h"

#include <QList>
#include <QPointer>
#include <functional>

class QLabel;
class QToolButton;

namespace zev7 {

class PortScenarioDocument;
class SchemeChart;

struct SchemeWindowContext {
    IniFile* ini = nullptr;  // "ZEV7.ini"; null keeps no layout
    // The scenarios of the open port windows.
    std::function<QList<PortScenarioDocument*>()> documents = [] {
        return QList<PortScenarioDocument*>();
    };
    // The port is free (no thread measures on it): its bars are bright green and can be moved.
    std::function<bool(int port)> portFree = [](int) { return true; };
    // The program's start time (OLE date): the time axis of an empty scheme.
    double programStart = 0.0;
};

class TFTestScenar : public MdiChild, public ChartZoomTarget {
    Q_OBJECT

public:
    static constexpr int kHelpContext = 28;
    // An empty scheme and a new window show three hours from the program's start.
    static constexpr double kEmptySpanDays = 0.125;

    explicit TFTestScenar(SchemeWindowContext context, QWidget* parent = nullptr);

    // The window came to the front: the chart is built anew and shows the whole data range.
    void activate();
    // Builds the chart from the port windows now, keeping the visible time window.
    void rebuild();
    // Rebuilds once the current event is done (and a drag in progress has ended).
    void scheduleRebuild();
    // Undo zoom: the whole data range, or three hours from the program's start without bars.
    void showWholeRange();
    void prevPage();  // PrevBitBtnClick
    void nextPage();  // NextBitBtnClick

    // ChartZoomTarget: the main window's chart toolbar moves the time axis; the rows are the
    // ports and always all shown, so the vertical commands leave them.
    bool zoomApplies() const override { return true; }
    void zoomChart(ChartZoom command) override;

    const ScenarioScheme& scheme() const { return scheme_; }
    SchemeChart* chart() const { return chart_; }
    QLabel* pageLabel() const { return label1_; }

private:
    void applyMove(const CycleMove& move);
    void updatePageLabel();
    void showPage(int page);
    TimeSpan dataSpan() const;
    void watch(PortScenarioDocument* document);

    SchemeWindowContext context_;
    ScenarioScheme scheme_;
    SchemeChart* chart_ = nullptr;
    QLabel* label1_ = nullptr;
    QToolButton* prev_ = nullptr;
    QToolButton* next_ = nullptr;
    QList<QPointer<PortScenarioDocument>> watched_;
    bool rebuildPending_ = false;
};

}  // namespace zev7
