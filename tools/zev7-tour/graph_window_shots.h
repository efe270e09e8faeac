// The pictures of the statistical graphs for the README: over the selected cycles of the
// results database, a histogram of one cycle, the loss pie of the selection and the losses of
// every cycle against its norm.
#pragma once

#include <QString>
#include <functional>

namespace zev7 {

class TMainForm;

// shoot(name) photographs the main window as it stands.
void shootGraphWindows(TMainForm& window, const std::function<void(const QString&)>& shoot);

}  // namespace zev7
