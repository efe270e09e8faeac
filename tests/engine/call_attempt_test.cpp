// One test call step by step without the port engine, on the simulated network: the steps
// hand over to each other through their transitions with the call-table statuses in order,
// and a modem that does not answer leaves the call to the channel's restart.
#include "sim_channel_bench.h"

#include "engine/modem/modem_setup.h"
#include "engine/port/call_attempt.h"
#include "scenario/scenario_templates.h"
#include "support/plain_number.h"
#include "teliq/modem_registers.h"

#include <cmath>

namespace zev7 {
namespace {

using Kind = CallTransition::Kind;

// Polls of one phase, far more than any phase of the demo call takes.
constexpr int kPollLimit = 10'000;

class Attempt : public test::SimChannelBench {
protected:
    Attempt() {
        cycle_ = templateCycle();
        cycle_.inNumber = test::plainNumber("2222222");
        host_.onSample = [this](std::uint16_t word) { call_.levelSample(word); };
        call_.buildDialList(cycle_.inNumber);
        // The modem as the port thread prepares it before every call.
        ModemSetup setup(*channel_);
        EXPECT_TRUE(setup.startUp() && setup.resetForCall() && setup.identify() &&
                    setup.configureForCall(false));
    }

    // Polls as the port thread does until a decision moves the call on.
    CallTransition pollUntilDecided() {
        for (int i = 0; i < kPollLimit && call_.polling(); ++i) {
            const CallTransition t = call_.poll(cycle_);
            if (t.kind != Kind::Stay) {
                return t;
            }
        }
        return CallTransition::stay();
    }

    CycleRecord cycle_;
    QList<CallStatus> statuses_;
    CallAttempt call_{*channel_, clock_, [this](CallStatus s) { statuses_.append(s); }};
};

TEST_F(Attempt, EveryStepHandsOverToTheNextAndTheCallSucceeds) {
    ASSERT_EQ(call_.startOfCall(cycle_).kind, Kind::Poll);
    EXPECT_TRUE(network_->isOffHook(test::kCaller));
    CallTransition t = pollUntilDecided();
    ASSERT_EQ(t.kind, Kind::CallStep);
    ASSERT_EQ(t.callStep, CallStep::Dial);

    ASSERT_EQ(call_.dialStage(cycle_).kind, Kind::Poll);
    t = pollUntilDecided();
    ASSERT_EQ(t.kind, Kind::CallStep);
    ASSERT_EQ(t.callStep, CallStep::AnswerSetUp);

    ASSERT_EQ(call_.answerSetUp(cycle_, *answerFilterFor(cycle_.aaFrequency)).kind, Kind::Poll);
    t = pollUntilDecided();
    ASSERT_EQ(t.kind, Kind::CallStep);
    ASSERT_EQ(t.callStep, CallStep::ClearBack);

    ASSERT_EQ(call_.clearBack(cycle_).kind, Kind::Poll);
    EXPECT_EQ(pollUntilDecided().kind, Kind::FinishCall);

    EXPECT_TRUE(call_.result().complete);
    EXPECT_EQ(call_.result().outcome, ResultCode::Success);
    // The demo line loses 6 dB between the station's nominal level and the caller.
    EXPECT_NEAR(call_.result().attenuation(cycle_.aaNominalLevel), 6.0, 0.5);
    EXPECT_EQ(statuses_, (QList<CallStatus>{CallStatus::WaitDialTone, CallStatus::Dialling,
                                            CallStatus::WaitRingback, CallStatus::WaitAnswerSignal,
                                            CallStatus::WaitClearBack}));
    EXPECT_EQ(host_.restarts, 0);
}

TEST_F(Attempt, AModemThatDoesNotAnswerLeavesTheCallToTheRestart) {
    network_->setSilent(test::kCaller, true);
    EXPECT_EQ(call_.startOfCall(cycle_).kind, Kind::Stay);
    EXPECT_FALSE(call_.polling());
    EXPECT_EQ(host_.restarts, 1);
    EXPECT_EQ(channel_->errorCode(), ModemErrorCode::NoAnswer);
    EXPECT_FALSE(call_.result().complete);
}

}  // namespace
}  // namespace zev7
