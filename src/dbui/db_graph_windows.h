// Opens the statistical graph windows in the main window's frame, one per graph kind, and keeps
// them in step with the cycle list: the graphs of one cycle follow its current row, the graphs
// of the selection are redrawn with its exclusions and filter, all close with the list.
#pragma once

#include "dbquery/graph_data.h"
#include "dbui/stat_windows.h"

#include <QObject>

namespace zev7 {

class IniFile;
class TFormBD_Graph;
class UserMessages;

class DbGraphWindows : public QObject {
    Q_OBJECT

public:
    DbGraphWindows(IniFile* ini, UserMessages* messages, WindowFrame& frame,
                   QObject* parent = nullptr);

    // Shows the window of that kind (the existing one raised, else a new one drawn over the
    // current cycle or selection); nullptr for an unused kind or when the frame refused it.
    TFormBD_Graph* open(int kind);
    // The open window of that kind, or nullptr.
    TFormBD_Graph* window(int kind) const;

public slots:
    // The call and loss diagrams of this cycle (kinds 0 and 1).
    void openCycleDiagrams(int cycleId);
    // Those of the selection (kinds 2 and 3).
    void openSummaryDiagrams();
    // The current row of the cycle list moved: the graphs of one cycle show that cycle.
    void setCurrentCycle(int cycleId);
    // Totals, refreshed selection or filter: the graphs of the selection are redrawn.
    void recompute(const QList<int>& excludedCycleIds, const SqlFilter& filter);
    // The cycle list closes.
    void closeAll();

private:
    IniFile* ini_;
    UserMessages* messages_;
    WindowFrame& frame_;
    GraphScope scope_;
};

}  // namespace zev7
