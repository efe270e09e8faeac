// Pictures of the cycle settings windows for the README, taken by the screenshot tour on the port
// it photographs: each page of "Настройки цикла", the additional settings and the base time.
#pragma once

#include <QString>

namespace zev7 {

class TMainForm;

void shootCycleSettings(TMainForm& window, int port, const QString& directory);

}  // namespace zev7
