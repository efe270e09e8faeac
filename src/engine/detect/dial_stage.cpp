#include "engine/detect/dial_stage.h"

#include "scenario/tel_number.h"

#include <algorithm>
#include <cmath>

namespace zev7 {

std::optional<DialStage> dialStage(const QStringList& dialList, int stageIndex, double waitTimeS) {
    if (dialList.isEmpty()) {
        return std::nullopt;
    }
    const int last = static_cast<int>(dialList.size()) - 1;
    DialStage stage;
    stage.index = std::clamp(stageIndex, 0, last);
    stage.nextPhase =
        stageIndex < last ? DetectPhase::DialToneWhileDialling : DetectPhase::Ringback;

    QString command = dialList.at(stage.index) + QLatin1String(kLevelFilterSuffix) +
                      QLatin1String(kLevelQuerySuffix);
    command.remove(QLatin1Char('/'));
    command.remove(QLatin1Char('-'));
    stage.command = command.toLatin1();
    stage.replyLength = static_cast<int>(stage.command.size()) + kDialReplyExtra;
    stage.timeoutMs = static_cast<int>(
        std::trunc(DialTime(command, waitTimeS, kDialCommaSeconds) * kDialTimeoutFactorMs));
    return stage;
}

}  // namespace zev7
