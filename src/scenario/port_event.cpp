#include "scenario/port_event.h"

#include "core/strings.h"

namespace zev7 {

namespace {

struct EventEntry {
    PortEvent event;
    const char* text;
    bool cycle;
};

constexpr EventEntry kEvents[] = {
    {PortEvent::ScenarioFinished, str::EventScenarioFinished, false},
    {PortEvent::ScenarioInterrupted, str::EventScenarioInterrupted, false},
    {PortEvent::CycleCancelledLate, str::EventCycleCancelledLate, true},
    {PortEvent::CyclePostponed, str::EventCyclePostponed, true},
    {PortEvent::CycleStarted, str::EventCycleStarted, true},
    {PortEvent::CycleFinished, str::EventCycleFinished, true},
    {PortEvent::ScenarioStarted, str::EventScenarioStarted, false},
    {PortEvent::RingWarning, str::EventRingWarning, false},
    {PortEvent::CycleCancelledFrequency, str::EventCycleCancelledFrequency, true},
    {PortEvent::CallingMode, str::EventCallingMode, false},
    {PortEvent::AnsweringMode, str::EventAnsweringMode, false},
    {PortEvent::RingReceived, str::EventRingReceived, false},
    {PortEvent::NoAnswer, str::EventNoAnswer, false},
};

const EventEntry* find(PortEvent event) {
    for (const EventEntry& e : kEvents) {
        if (e.event == event) {
            return &e;
        }
    }
    return nullptr;
}

}  // namespace

QString portEventText(PortEvent event) {
    const EventEntry* e = find(event);
    return e != nullptr ? txt(e->text) : QString();
}

bool isCycleEvent(PortEvent event) {
    const EventEntry* e = find(event);
    return e != nullptr && e->cycle;
}

QString callStatusText(CallStatus status) {
    switch (status) {
        case CallStatus::WaitDialTone:
            return txt(str::CallStatusWaitDialTone);
        case CallStatus::Dialling:
            return txt(str::CallStatusDialling);
        case CallStatus::WaitRingback:
            return txt(str::CallStatusWaitRingback);
        case CallStatus::WaitAnswerSignal:
            return txt(str::CallStatusWaitAnswerSignal);
        case CallStatus::WaitClearBack:
            return txt(str::CallStatusWaitClearBack);
        case CallStatus::WaitDialToneWhileDialling:
            return txt(str::CallStatusWaitDialToneDialling);
    }
    return {};
}

QString modePanelText(ModePanel mode) {
    switch (mode) {
        case ModePanel::Answering:
            return txt(str::ModeAnswering);
        case ModePanel::Calling:
            return txt(str::ModeCalling);
        case ModePanel::NotSet:
            return txt(str::ModeNotSet);
        case ModePanel::AnsweringStation:
            return txt(str::ModeAnsweringStation);
    }
    return {};
}

}  // namespace zev7
