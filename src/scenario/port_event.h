// The events a port reports to its window and protocol, the status cell of the call being
// made, and the mode panel of the port window.
#pragma once

#include <QString>

namespace zev7 {

enum class PortEvent : int {
    ScenarioFinished = -10,
    ScenarioInterrupted = -11,
    CycleCancelledLate = -12,  // its start window passed before the port got to it
    CyclePostponed = -13,      // another port is calling its answering station
    CycleStarted = -14,
    CycleFinished = -15,
    ScenarioStarted = -16,
    RingWarning = -17,              // a ring reached the calling modem
    CycleCancelledFrequency = -18,  // no band filter hears its answer frequency
    CallingMode = -19,
    AnsweringMode = -20,
    RingReceived = -21,
    NoAnswer = -22,  // the modem does not answer: possibly switched off
};

// The event's text.
QString portEventText(PortEvent event);
// Cycle events name the cycle and its number in the protocol; port events stand alone.
bool isCycleEvent(PortEvent event);

// The status cell of the call table while a call is made, 1..6.
enum class CallStatus : int {
    WaitDialTone = 1,
    Dialling = 2,
    WaitRingback = 3,
    WaitAnswerSignal = 4,
    WaitClearBack = 5,
    WaitDialToneWhileDialling = 6,
};
QString callStatusText(CallStatus status);

// The mode panel: 1 answering station with ring monitoring, 2 calling device, 3 not set,
// 4 answering station without monitoring (written by the answering-station thread).
enum class ModePanel : int { Answering = 1, Calling = 2, NotSet = 3, AnsweringStation = 4 };
QString modePanelText(ModePanel mode);

}  // namespace zev7
