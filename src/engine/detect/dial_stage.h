// One dial stage of a test call: a number with W in it is dialled in parts, the modem waiting
// for a new dial tone between them. Each part is sent with the level query so that the
// modem answers with a level as soon as it has finished dialling.
#pragma once

#include "engine/detect/phase_evaluation.h"

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace zev7 {

inline constexpr char kLevelFilterSuffix[] = "%T12";  // the 425 Hz filter for the tones
inline constexpr char kLevelQuerySuffix[] = "%V";
inline constexpr double kDialCommaSeconds = 1.0;
// The reply comes when dialling has ended: allow twice the estimated dialling time.
inline constexpr double kDialTimeoutFactorMs = 2000.0;
inline constexpr int kDialReplyExtra = 8;  // echo + 4 hex digits + CR + result + CR

struct DialStage {
    int index = 0;  // the stage actually sent (an index past the list sends the last entry)
    QByteArray command;
    int replyLength = 0;
    int timeoutMs = 0;
    // Phase 2 when another stage follows (wait for the next dial tone), else phase 3.
    DetectPhase nextPhase = DetectPhase::Ringback;
};

// The stage `stageIndex` of the cycle's dial list (dialCommands() of the incoming number);
// nullopt for an empty list.
std::optional<DialStage> dialStage(const QStringList& dialList, int stageIndex, double waitTimeS);

}  // namespace zev7
