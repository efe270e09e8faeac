// The measuring modem prepared by the command sequences alone, on the simulated modem: the
// accepted models, the scenario's answering station with its register values and their
// limits, the restore at the end, and a set-up that fails half-way.
#include "sim_channel_bench.h"

#include "engine/modem/modem_commands.h"
#include "engine/modem/modem_setup.h"
#include "scenario/scenario_templates.h"

namespace zev7 {
namespace {

using test::kCaller;
using Commands = QList<QByteArray>;

SimConfig callerOfModel(SimModel model) {
    SimConfig c = SimConfig::demo();
    c.modems[0].model = model;
    return c;
}

class Setup : public test::SimChannelBench {
protected:
    Setup() = default;
    explicit Setup(SimModel model) : SimChannelBench(callerOfModel(model)) {}

    static ScenarHeader answering(double hz, int level, int toneLevel) {
        ScenarHeader h = templateHeader(46000.5);
        h.aaBetweenCycles = 1;
        h.aaFrequency = hz;
        h.aaLevel = level;
        h.toneLevel = toneLevel;
        h.toneCheck = 2;
        h.aaRings = 3;
        h.aaDelayOn = 2.5;
        h.aaSignalTime = 3.0;
        h.aaDelayOff = 4.0;
        return h;
    }

    // The commands of the answering set-up of a freshly identified modem.
    Commands setUp(const ScenarHeader& h) {
        EXPECT_TRUE(setup_.startUp() && setup_.identify());
        commands_.clear();
        EXPECT_TRUE(setup_.answeringModeSetUp(h, false));
        return commands_;
    }

    ModemSetup setup_{*channel_};
};

TEST_F(Setup, RegisterValuesOfTheScenarioHeaderAndTheRestore) {
    EXPECT_EQ(
        setUp(answering(1000.0, -24, -27)),
        (Commands{"AT&FV0", "ATS50=171", "ATS51=6", "AT%L28", "ATS0=3", "ATS52=25", "ATS53=30",
                  "ATS54=40", "ATS57=2", "ATS56=27", "ATS55=3", "AT&A1", "ATM0"}));
    EXPECT_TRUE(channel_->isLxModel());
    ASSERT_TRUE(setup_.storeProfile());
    EXPECT_TRUE(network_->storedProfile(kCaller).answerSetup);
    EXPECT_EQ(network_->storedProfile(kCaller).s[kRegRings], 3);

    // The modem did not answer calls before: its auto-answer is switched off and stored.
    commands_.clear();
    setup_.exitRestore(true);
    EXPECT_EQ(commands_, (Commands{"ATH0", "ATS0=0", "ATI5", "ATI3", "AT&W"}));
    EXPECT_EQ(network_->storedProfile(kCaller).s[kRegRings], 0);
    EXPECT_EQ(messages_.count(), 0);
}

TEST_F(Setup, LevelsAndThresholdsAreClampedToWhatTheModemTakes) {
    const Commands low = setUp(answering(300.0, 0, -5));
    EXPECT_TRUE(low.contains("AT%L2"));     // trunc(1.93) = 1, at least 2
    EXPECT_TRUE(low.contains("ATS56=10"));  // -5 dBm: at least 10
    const Commands high = setUp(answering(1100.0, -24, -50));
    EXPECT_TRUE(high.contains("AT%L28"));    // trunc(|-27.93| + 0.5) = 28
    EXPECT_TRUE(high.contains("ATS56=43"));  // -50 dBm: at most 43
}

TEST_F(Setup, AFailedRegisterWriteEndsTheSetUpThere) {
    ASSERT_TRUE(setup_.startUp() && setup_.identify());
    network_->setReplyFilter(kCaller, [this](const QByteArray& reply) {
        return commands_.last().startsWith(kDelayOn) ? reply.chopped(1) : reply;
    });
    EXPECT_FALSE(setup_.answeringModeSetUp(answering(1020.0, -10, -27), false));
    // Nothing after the failed register; the modem is not made an answering station.
    EXPECT_TRUE(commands_.last().startsWith(kDelayOn));
    EXPECT_FALSE(network_->profile(kCaller).answerSetup);
    EXPECT_EQ(channel_->errorCode(), ModemErrorCode::NoAnswer);
}

class PlainModel : public Setup {
protected:
    PlainModel() : Setup(SimModel::Plain3310) {}
};

TEST_F(PlainModel, IsAcceptedAndNeverGetsTheToneCheckRegisters) {
    const Commands cmds = setUp(answering(1000.0, -10, -27));
    EXPECT_FALSE(channel_->isLxModel());
    for (const QByteArray& c : cmds) {
        EXPECT_FALSE(c.startsWith(kToneMode.text) || c.startsWith(kToneThreshold) ||
                     c.startsWith(kToneBand))
            << c.toStdString();
    }
    EXPECT_TRUE(cmds.contains(kAnswerOn.text));
}

class WrongModel : public Setup {
protected:
    WrongModel() : Setup(SimModel::Other) {}
};

TEST_F(WrongModel, IsRefusedAndStopsThePort) {
    ASSERT_TRUE(setup_.startUp());
    EXPECT_FALSE(setup_.identify());
    EXPECT_EQ(channel_->errorCode(), ModemErrorCode::WrongModel);
    EXPECT_TRUE(channel_->stopRequested());
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_EQ(messages_.entries().first().text,
              QStringLiteral("COM1: Неверный тип модема!\n Необходим модем Teliq 3310!"));
}

}  // namespace
}  // namespace zev7
