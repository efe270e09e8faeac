// The answering station's first dialogue and its jobs on the simulated modem: the register
// values written for the window's settings and read back, the values shown as the modem holds
// them, a modem without the tone-check registers, the way back to a calling device, the
// commands posted into a running station, and the failures that end it.
#include "answer_station_support.h"

#include "core/strings.h"

namespace zev7 {
namespace {

using namespace answertest;

using Commands = QList<QByteArray>;

const Commands kLineResetAndIdentity = {"ATE1V0H0Q0", "ATI5", "ATI3"};

QString u(const char* text) {
    return QString::fromUtf8(text);
}

// ---- AnswerSettings ------------------------------------------------------------------------

TEST(AnswerSettings, TravelThroughTheScenarioHeader) {
    ScenarHeader h{};
    AnswerSettings s{-12, 1500.0, 3, 0.5, 1.5, 2.5, 2, -33};
    s.toHeader(h);
    EXPECT_EQ(+h.aaLevel, -12);
    EXPECT_EQ(+h.aaSignalTime, 1.5);
    EXPECT_EQ(+h.toneCheck, 2);
    EXPECT_EQ(AnswerSettings::fromHeader(h), s);
    // The tick box gives the band of the frequency, nothing when not ticked.
    EXPECT_EQ(answerToneBand(true, 2400.0), 3);
    EXPECT_EQ(answerToneBand(true, 890.0), 2);
    EXPECT_EQ(answerToneBand(true, 889.0), 1);
    EXPECT_EQ(answerToneBand(false, 2400.0), 0);
}

// ---- Writing and reading the settings -------------------------------------------------------

class AnswerWrite : public AnswerBench {};

TEST_F(AnswerWrite, TheWindowsSettingsGoIntoTheModemAndBackAsItHoldsThem) {
    view_.setAnswerSettings(page(1020.0, -10));
    auto s = station(AnswerMode::Answer);
    EXPECT_EQ(s->construct(), ModemErrorCode::None);
    EXPECT_EQ(s->channel()->profile().line.flow, LineSettings::Flow::RtsCts);
    EXPECT_EQ(sent(kStation), (kLineResetAndIdentity +
                               Commands{"AT&FV0", "ATS50=205", "ATS51=6", "AT%L14", "ATS0=2",
                                        "ATS52=25", "ATS53=30", "ATS54=40", "ATS57=0", "ATS56=27",
                                        "ATS55=3", "AT&A1", "ATM0", "ATI5", "ATI3", "AT&W"}));
    EXPECT_EQ(view_.answerSettingsTaken(), 1);
    ASSERT_EQ(view_.answerSettingsShown().size(), 1);
    EXPECT_EQ(view_.answerSettingsShown()[0], page(1020.0, -10));
    const QStringList lines{u("Модем установлен в режим автоответчика")};
    EXPECT_EQ(messagesOf(view_.protocolLines()), lines);
    EXPECT_EQ(messagesOf(protocolFile(kStation)), lines);
    EXPECT_TRUE(view_.protocolLines()[0].contains(u(" Порт: 2 ")));
    // The modem keeps them when switched off.
    const ModemProfile stored = network_->storedProfile(kStation);
    EXPECT_EQ(stored.s[0], 2);
    EXPECT_EQ(stored.s[50], 205);
    EXPECT_EQ(stored.s[51], 6);
    EXPECT_EQ(stored.transmit, 14);
    EXPECT_TRUE(stored.answerSetup);

    // The station stays and watches the line until it is stopped.
    EXPECT_TRUE(runFor(*s, 3000));
    EXPECT_TRUE(view_.answerFinishes().isEmpty());
    s->requestStop();
    runToEnd(*s);
    ASSERT_EQ(view_.answerFinishes().size(), 1);
    EXPECT_EQ(view_.answerFinishes()[0].mode, ModePanel::AnsweringStation);
    EXPECT_FALSE(view_.answerFinishes()[0].monitoringEnded);
    EXPECT_FALSE(s->channel()->port().isOpen());
    EXPECT_TRUE(messages_.entries().isEmpty());
}

TEST_F(AnswerWrite, LevelsAreSentWithTheFrequencyCorrectionAndShownRounded) {
    struct Case {
        double hz;
        int level;
        QByteArray command;
        int shown;
    };
    // 1020 Hz: correction -3.89 dB. 1100 Hz: 28 is the upper limit exactly. 300 Hz: 1 is
    // raised to the lower limit 2, which sends about -0.6 dBm.
    for (const Case& c : {Case{1020.0, -10, "AT%L14", -10}, Case{1100.0, -24, "AT%L28", -24},
                          Case{300.0, 0, "AT%L2", -1}}) {
        SCOPED_TRACE(c.hz);
        view_.setAnswerSettings(page(c.hz, c.level));
        const std::size_t from = mark();
        auto s = station(AnswerMode::Answer);
        ASSERT_EQ(s->construct(), ModemErrorCode::None);
        EXPECT_TRUE(sent(kStation, from).contains(c.command));
        EXPECT_EQ(view_.answerSettingsShown().last().level, c.shown);
        EXPECT_EQ(view_.answerSettingsShown().last().frequency, c.hz);
        s->requestStop();
        runToEnd(*s);
    }
}

TEST_F(AnswerWrite, ReadingBringsBackWhatWasWritten) {
    // 1020 Hz is the phase step 1741; a threshold of -40 dBm is S56 = 40.
    view_.setAnswerSettings(page(1020.0, -10, 2, -40));
    auto writer = station(AnswerMode::Answer);
    ASSERT_EQ(writer->construct(), ModemErrorCode::None);
    EXPECT_TRUE(sent(kStation).contains("ATS57=2"));
    EXPECT_TRUE(sent(kStation).contains("ATS56=40"));
    writer->requestStop();
    runToEnd(*writer);

    view_.setAnswerSettings(page(2400.0, -20));  // the page was changed meanwhile
    const std::size_t from = mark();
    auto reader = station(AnswerMode::ReadSettings);
    EXPECT_EQ(reader->construct(), ModemErrorCode::None);
    EXPECT_EQ(sent(kStation, from),
              (kLineResetAndIdentity + Commands{"ATS0?", "ATS50?", "ATS51?", "ATS69?", "ATS52?",
                                                "ATS53?", "ATS54?", "ATS57?", "ATS56?"}));
    EXPECT_EQ(view_.answerSettingsShown().last(), page(1020.0, -10, 2, -40));
    // Reading is all it was made for: it ends at its first turn, the modem still answering.
    EXPECT_FALSE(reader->runOnce());
    EXPECT_EQ(view_.answerFinishes().last().mode, ModePanel::AnsweringStation);
}

TEST_F(AnswerWrite, ThresholdsOutsideTheModemsRangeAreClampedAndShownAsSent) {
    view_.setAnswerSettings(page(1020.0, -10, 2, -5));
    auto s = station(AnswerMode::Answer);
    ASSERT_EQ(s->construct(), ModemErrorCode::None);
    EXPECT_TRUE(sent(kStation).contains("ATS56=10"));
    EXPECT_EQ(view_.answerSettingsShown().last().toneThreshold, -10);
}

// ---- A modem without the tone-check registers ------------------------------------------------

SimConfig plainStation() {
    SimConfig c = SimConfig::demo();
    for (SimModemSpec& m : c.modems) {
        if (m.port == kStation) {
            m.model = SimModel::Plain3310;
        }
    }
    return c;
}

class PlainStation : public AnswerBench {
protected:
    PlainStation() : AnswerBench(plainStation()) {}
};

TEST_F(PlainStation, NeverGetsTheToneRegistersAndLosesItsToneBand) {
    view_.setAnswerSettings(page(2400.0, -10, 3, -40));
    auto writer = station(AnswerMode::Answer);
    ASSERT_EQ(writer->construct(), ModemErrorCode::None);
    for (const QByteArray& c : sent(kStation)) {
        EXPECT_FALSE(c.startsWith("ATS55") || c.startsWith("ATS56") || c.startsWith("ATS57"))
            << c.constData();
    }
    // The tick box is cleared in the window; the threshold keeps its value.
    EXPECT_EQ(view_.answerSettingsShown().last().toneBand, 0);
    EXPECT_EQ(view_.answerSettingsShown().last().toneThreshold, -40);
    writer->requestStop();
    runToEnd(*writer);

    const std::size_t from = mark();
    auto reader = station(AnswerMode::ReadSettings);
    ASSERT_EQ(reader->construct(), ModemErrorCode::None);
    EXPECT_FALSE(sent(kStation, from).contains("ATS57?"));
    EXPECT_FALSE(sent(kStation, from).contains("ATS56?"));
    EXPECT_EQ(view_.answerSettingsShown().last().toneBand, 0);
    EXPECT_EQ(view_.answerSettingsShown().last().frequency, 2400.0);
}

// ---- Back to a calling device -----------------------------------------------------------------

class CallingDevice : public AnswerBench {};

TEST_F(CallingDevice, TheModemStopsAnsweringAndKeepsItSwitchedOff) {
    auto s = station(AnswerMode::CallingDevice);
    EXPECT_EQ(s->construct(), ModemErrorCode::None);
    EXPECT_EQ(sent(kStation),
              (kLineResetAndIdentity + Commands{"AT&A0", "ATS0=0", "ATI5", "ATI3", "AT&W"}));
    EXPECT_EQ(network_->storedProfile(kStation).s[0], 0);
    EXPECT_FALSE(network_->storedProfile(kStation).answerSetup);
    EXPECT_FALSE(s->runOnce());
    EXPECT_EQ(view_.answerFinishes().last().mode, ModePanel::NotSet);
    EXPECT_FALSE(view_.answerFinishes().last().monitoringEnded);
    EXPECT_TRUE(view_.answerSettingsShown().isEmpty());

    // Read now, the modem answers after no ring at all.
    auto reader = station(AnswerMode::ReadSettings);
    ASSERT_EQ(reader->construct(), ModemErrorCode::None);
    EXPECT_EQ(view_.answerSettingsShown().last().rings, 0);
    EXPECT_FALSE(reader->runOnce());
    EXPECT_EQ(view_.answerFinishes().last().mode, ModePanel::NotSet);
}

// ---- Commands posted into a running station ------------------------------------------------

class AnswerCommands : public AnswerBench {
protected:
    void SetUp() override {
        view_.setAnswerSettings(page(1020.0, -10));
        station_ = station(AnswerMode::Answer);
        ASSERT_EQ(station_->construct(), ModemErrorCode::None);
    }
    // One loop turn with the command posted.
    void post(AnswerCommand c) {
        station_->postCommand(c);
        EXPECT_EQ(station_->pendingCommand(), c);
        ASSERT_TRUE(station_->runOnce());
        EXPECT_EQ(station_->pendingCommand(), AnswerCommand::None);
    }
    std::unique_ptr<AnswerStation> station_;
};

TEST_F(AnswerCommands, ShowGivesTheWindowTheStationsValuesWithoutAskingTheModem) {
    const std::size_t from = mark();
    post(AnswerCommand::Show);
    EXPECT_TRUE(sent(kStation, from).isEmpty());
    ASSERT_EQ(view_.answerSettingsShown().size(), 2);
    EXPECT_EQ(view_.answerSettingsShown()[1], page(1020.0, -10));
    EXPECT_EQ(station_->mode(), AnswerMode::ReadSettings);
}

TEST_F(AnswerCommands, ApplyWritesTheWindowsNewSettings) {
    view_.setAnswerSettings(page(2400.0, -20, 3, -30));
    const std::size_t from = mark();
    post(AnswerCommand::Apply);
    const Commands cmds = sent(kStation, from);
    ASSERT_FALSE(cmds.isEmpty());
    EXPECT_EQ(cmds.first(), "AT&FV0");
    EXPECT_TRUE(cmds.contains("ATS50=0"));  // 2400 Hz: phase step 4096
    EXPECT_TRUE(cmds.contains("ATS51=16"));
    EXPECT_TRUE(cmds.contains("AT%L24"));
    EXPECT_TRUE(cmds.contains("ATS57=3"));
    EXPECT_EQ(cmds.last(), "AT&W");
    EXPECT_EQ(view_.answerSettingsShown().last(), page(2400.0, -20, 3, -30));
    EXPECT_EQ(count("Модем установлен в режим автоответчика"), 2);
    EXPECT_EQ(station_->mode(), AnswerMode::Answer);
}

TEST_F(AnswerCommands, SpeakerFollowsTheWindowsButton) {
    view_.setSpeaker(true);
    std::size_t from = mark();
    post(AnswerCommand::Speaker);
    EXPECT_EQ(sent(kStation, from), Commands{"ATM2L3"});
    view_.setSpeaker(false);
    from = mark();
    post(AnswerCommand::Speaker);
    EXPECT_EQ(sent(kStation, from), Commands{"ATM0"});
}

TEST_F(AnswerCommands, CallingDeviceSwitchesTheModemOffAndTheStationGoesOn) {
    const std::size_t from = mark();
    post(AnswerCommand::CallingDevice);
    EXPECT_EQ(sent(kStation, from), (Commands{"AT&A0", "ATS0=0", "ATI5", "ATI3", "AT&W"}));
    EXPECT_EQ(network_->storedProfile(kStation).s[0], 0);
    EXPECT_TRUE(station_->runOnce());
    station_->requestStop();
    runToEnd(*station_);
    // No rings any more: the modem is no answering station.
    EXPECT_EQ(view_.answerFinishes().last().mode, ModePanel::NotSet);
    EXPECT_FALSE(view_.answerFinishes().last().monitoringEnded);
}

// ---- Failures ---------------------------------------------------------------------------------

class AnswerFailure : public AnswerBench {};

TEST_F(AnswerFailure, APortOutsideOneToSixtyFourOpensNothing) {
    for (int port : {0, 65}) {
        messages_.clear();
        auto s = station(AnswerMode::Answer, port);
        EXPECT_EQ(s->construct(), ModemErrorCode::PortBusy);
        ASSERT_EQ(messages_.count(), 1);
        EXPECT_EQ(messages_.entries()[0].caption, u("Модем: Ошибка!"));
        EXPECT_EQ(messages_.entries()[0].text,
                  QStringLiteral("COM%1: ").arg(port) +
                      u("Выбран неверный COM-порт ! \n Порт не существует!"));
        EXPECT_FALSE(s->runOnce());
        EXPECT_EQ(view_.answerFinishes().last().mode, ModePanel::NotSet);
        EXPECT_TRUE(view_.answerFinishes().last().monitoringEnded);
    }
    EXPECT_TRUE(links_.empty());
    EXPECT_TRUE(traffic_.empty());
}

TEST_F(AnswerFailure, APortHeldByItsPortThreadIsBusy) {
    writeScenario(kStation, header(), {cycle("1111111")});
    auto portThread = engine(kStation);
    ASSERT_EQ(portThread->load(), ScenarioLoad::Loaded);
    portThread->open();
    messages_.clear();

    auto s = station(AnswerMode::Answer);
    EXPECT_EQ(s->construct(), ModemErrorCode::PortBusy);
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_EQ(messages_.entries()[0].caption, u("Модем: Ошибка инициализации!"));
    EXPECT_EQ(messages_.entries()[0].text, u("COM2: Нет доступа ! COM - порт занят!"));
    EXPECT_FALSE(s->runOnce());
    portThread->requestStop();
    while (portThread->runOnce()) {
    }
}

TEST_F(AnswerFailure, ASilentModemIsProbedSixTimesAndEndsTheStation) {
    network_->setSilent(kStation, true);
    auto s = station(AnswerMode::Answer);
    EXPECT_EQ(s->construct(), ModemErrorCode::NoAnswer);
    int probes = 0;
    for (const porttest::RecordingLinkPort::Read& r : links_.at(kStation)->reads) {
        probes += r.n == 1 && r.written == "A" ? 1 : 0;
    }
    EXPECT_EQ(probes, 6);
    // No silent retry: the first failure asks at once, and No ends the station.
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_TRUE(messages_.entries()[0].question);
    EXPECT_EQ(messages_.entries()[0].caption, u("Модем: SendSym_A()"));
    EXPECT_TRUE(view_.answerSettingsShown().isEmpty());
    EXPECT_FALSE(s->runOnce());
    EXPECT_TRUE(view_.answerFinishes().last().monitoringEnded);
    EXPECT_EQ(messagesOf(view_.protocolLines()),
              QStringList{u("Нет ответа !  Возможно модем отключен!")});
}

TEST_F(AnswerFailure, AShortReplyEndsTheWritingThereEvenWhenTheUserWouldGoOn) {
    // The seventh reply of the dialogue is the one to "AT%L14": it never comes.
    int replies = 0;
    network_->setReplyFilter(kStation, [&replies](const QByteArray& reply) {
        return ++replies == 7 ? QByteArray() : reply;
    });
    messages_.queueAnswer(true);
    view_.setAnswerSettings(page(1020.0, -10));
    auto s = station(AnswerMode::Answer);
    EXPECT_EQ(s->construct(), ModemErrorCode::NoAnswer);
    EXPECT_EQ(sent(kStation).last(), "AT%L14");
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_EQ(messages_.entries()[0].caption, u("Модем: OGetch1"));
    EXPECT_EQ(count("Модем установлен в режим автоответчика"), 0);
    EXPECT_TRUE(view_.answerSettingsShown().isEmpty());
    EXPECT_FALSE(s->runOnce());
    EXPECT_EQ(view_.answerFinishes().last().mode, ModePanel::NotSet);
}

SimConfig wrongModelStation() {
    SimConfig c = SimConfig::demo();
    for (SimModemSpec& m : c.modems) {
        if (m.port == kStation) {
            m.model = SimModel::Other;
        }
    }
    return c;
}

class WrongModelStation : public AnswerBench {
protected:
    WrongModelStation() : AnswerBench(wrongModelStation()) {}
};

TEST_F(WrongModelStation, IsRefusedBeforeAnythingIsWritten) {
    auto s = station(AnswerMode::Answer);
    EXPECT_EQ(s->construct(), ModemErrorCode::WrongModel);
    EXPECT_EQ(sent(kStation), kLineResetAndIdentity);
    ASSERT_EQ(messages_.count(), 1);
    EXPECT_EQ(messages_.entries()[0].text,
              u("COM2: Неверный тип модема!\n Необходим модем Teliq 3310!"));
    EXPECT_FALSE(s->runOnce());
    EXPECT_TRUE(view_.answerFinishes().last().monitoringEnded);
}

}  // namespace
}  // namespace zev7
