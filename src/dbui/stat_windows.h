// Opens the five statistics windows in the main window's frame and keeps them in step with the
// cycle list: the windows of one cycle follow its current row, the windows of the selection are
// recomputed with its exclusions and filter, all close with it. It knows the main window only
// as the frame the windows join.
#pragma once

#include "dbquery/period_text.h"
#include "dbquery/record_filter.h"
#include "dbui/stat_window.h"
#include "ui/frame/window_frame.h"

#include <QList>
#include <QObject>

namespace zev7 {

class IniFile;
class UserMessages;

class StatWindows : public QObject {
    Q_OBJECT

public:
    // The windows read the program's database connection (set up, or not, by the program).
    StatWindows(IniFile* ini, UserMessages* messages, WindowFrame& frame,
                QObject* parent = nullptr);

    // Shows the window of that kind (the existing one raised, else a new one filled with the
    // current cycle or selection); nullptr when the frame refused it.
    StatWindow* open(StatWindowKind kind);
    // The open window of that kind, or nullptr.
    StatWindow* window(StatWindowKind kind) const;

    int currentCycle() const { return cycleId_; }

public slots:
    void openCycleStat(int cycleId);
    void openCycleCalls(int cycleId);
    void openCycleSettings(int cycleId);
    void openSummary();
    void openParamStats();

    // The cycle list's current row moved: the windows of one cycle show that cycle.
    void setCurrentCycle(int cycleId);
    // Totals, refreshed selection or filter: the open windows of the selection recompute.
    void recompute(const QList<int>& excludedCycleIds, const SqlFilter& filter);
    void setPeriod(const PeriodTexts& period);
    // The cycle list closes.
    void closeAll();

signals:
    // The user moved in the parameter table; the cycle list follows.
    void currentCycleChanged(int cycleId);
    // A window's own export entry (the parameter table's pop-up menu) was chosen.
    void exportRequested(QWidget* window);
    // A statistics window asks for a graph of this kind.
    void graphRequested(int kind);

private:
    StatWindow* make(StatWindowKind kind);
    void openForCycle(StatWindowKind kind, int cycleId);

    IniFile* ini_;
    UserMessages* messages_;
    WindowFrame& frame_;
    int cycleId_ = -1;
    QList<int> excluded_;
    SqlFilter filter_;
    PeriodTexts period_;
};

// The object name each window carries, by which the frame finds it.
QString statWindowName(StatWindowKind kind);

}  // namespace zev7
