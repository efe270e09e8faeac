// The "Результаты" page of the port window: the status bars of the running cycle, the cycle
// result table and the call table, as the port's run model keeps them. The page repaints what
// changed when the model says so (at most ~25 times a second).
#pragma once

#include "engine/view/port_view.h"

#include <QColor>
#include <QWidget>

class QTableWidget;
class QTabWidget;
class QToolButton;

namespace zev7 {

class PanelBar;
class PortRunModel;
struct RunRepaint;

class PortResultPage : public QWidget {
    Q_OBJECT

public:
    static constexpr int kCallColumns = kCallRowColumns;
    static inline const QColor kNormColour{255, 255, 255};
    static inline const QColor kOffNormColour{255, 0, 0};

    explicit PortResultPage(const PortRunModel& model, QWidget* parent = nullptr);

    QTableWidget* cycleTable() const { return cycleTable_; }
    QTableWidget* callTable() const { return callTable_; }
    QTabWidget* tabs() const { return tabs_; }
    PanelBar* outBar() const { return outBar_; }
    PanelBar* inBar() const { return inBar_; }
    QColor complianceColour() const;
    // The graph buttons of StatusBar6: the calls pie, the losses pie, the Menu_Param graphs.
    QToolButton* graphButton(int index) const { return graphButtons_[index]; }

    // Wide enough for every column of the call table and tall enough for all rows of the cycle
    // result: the window opens showing both whole.
    QSize sizeHint() const override;

private:
    void showRun(const RunRepaint& what);

    const PortRunModel& model_;
    PanelBar* outBar_;
    PanelBar* inBar_;
    QTabWidget* tabs_;
    QTableWidget* cycleTable_;
    QTableWidget* callTable_;
    QToolButton* graphButtons_[3] = {};
};

}  // namespace zev7
