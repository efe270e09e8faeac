// The scheme window's picture for the README: opened over the port windows of the demo, whose
// two scenarios call the answering station's number at the same time.
#pragma once

#include <QString>
#include <functional>

namespace zev7 {

class TMainForm;

// Opens "Схема сценариев" through its menu item, large, and calls shoot("scheme").
void photographScheme(TMainForm& main, const std::function<void(const QString&)>& shoot);

}  // namespace zev7
