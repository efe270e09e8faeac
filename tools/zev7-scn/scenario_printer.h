// The readable form of a scenario file that `zev7-scn show` prints.
#pragma once

#include "scenario/records.h"

#include <QString>
#include <span>

namespace zev7 {

QString describeScenario(const QString& path, const QString& version, const ScenarHeader& header,
                         std::span<const CycleRecord> cycles);

}  // namespace zev7
