// The pictures of the statistics windows for the README: the cycles in the results database
// (the tour's own run, and a generated week of demo measurements when there are few) selected,
// each window shown over them in turn.
#pragma once

#include <QString>
#include <functional>

namespace zev7 {

class MdiChild;
class StatWindows;
class TMainForm;
class WorkingSelection;
struct PeriodTexts;

// Shows the window (when there is one) large, photographs it, and puts it aside again.
void shootChild(MdiChild* w, const QString& name, const std::function<void(const QString&)>& shoot);
// The cycles of the last thirty days in the working tables (a week of demo measurements added
// first when the database holds few) and the frame's windows put aside; false with a message
// when the selection failed.
bool selectTourCycles(TMainForm& window, WorkingSelection& selection, PeriodTexts& period);
// The cycle the pictures of one cycle show: one above its norm when there is one.
int cycleToShow();

// shoot(name) photographs the main window as it stands.
void shootStatWindows(TMainForm& window, StatWindows& windows,
                      const std::function<void(const QString&)>& shoot);

}  // namespace zev7
