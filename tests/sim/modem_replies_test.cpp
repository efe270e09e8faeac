// The simulated modem's replies: every form and length the program counts on, the models,
// the registers and the stored profile.
#include "sim/at_command_line.h"
#include "sim/traffic_log.h"
#include "sim_test_support.h"

#include "teliq/modem_registers.h"

namespace zev7 {
namespace {

using simtest::answerLine;
using simtest::exchange;
using simtest::kCaller;
using simtest::kStation;
using simtest::repeat;
using simtest::SimBench;
using simtest::whole;

struct ReplyCase {
    const char* command;
    int length;
};

// Every command of the program with the reply length it reads (echo included).
const ReplyCase kProbedCommands[] = {
    {"AT&FV0", 9},        {"ATS0?", 12},     {"ATS50?", 13},        {"ATS51?", 13},
    {"ATS52?", 13},       {"ATS53?", 13},    {"ATS54?", 13},        {"ATS55?", 13},
    {"ATS56?", 13},       {"ATS57?", 13},    {"ATS69?", 13},        {"ATI3", 21},
    {"AT%K", 11},         {"AT%V", 12},      {"ATH0", 7},           {"ATH1%T12", 11},
    {"AT%T12", 9},        {"AT%T16", 9},     {"AT%T15", 9},         {"ATX1S31=37S8=1S6=2", 21},
    {"ATM2L3", 9},        {"ATM0", 7},       {"ATS50=205", 12},     {"ATS51=6", 10},
    {"AT%L14", 9},        {"ATS0=2", 9},     {"ATS52=25", 11},      {"ATS53=30", 11},
    {"ATS54=40", 11},     {"ATS57=2", 10},   {"ATS56=27", 11},      {"ATS55=3", 10},
    {"AT&A1", 8},         {"AT&A0", 8},      {"AT&W", 7},           {"ATS0=0", 9},
    {"ATS31=37%T12", 15}, {"AT%T6", 8},      {"AT%T5", 8},          {"AT%T3S31=22%V", 21},
    {"ATS31=0%V", 17},    {"ATS31=1%V", 17}, {"AT%T3S31=24%V", 21}, {"ATS31=6%V", 17},
    {"ATS31=171%V", 19},
};

TEST(ModemReplies, EveryCommandHasItsExactLengthAndForm) {
    SimBench b;
    SimLinkPort& port = b.port(kCaller);
    for (const ReplyCase& c : kProbedCommands) {
        SCOPED_TRACE(c.command);
        const QByteArray reply = exchange(port, c.command, c.length);
        EXPECT_EQ(reply.size(), c.length);
        EXPECT_TRUE(reply.startsWith(QByteArray(c.command) + '\r'));
        EXPECT_TRUE(reply.endsWith("\r0\r"));
        EXPECT_FALSE(reply.contains('\n'));
        // Nothing follows the stated length.
        b.clock.advance(200);
        EXPECT_EQ(port.bytesPending(), 0);
    }
}

TEST(ModemReplies, CommandsWrittenWholeAndTheRepeat) {
    SimBench b;
    SimLinkPort& port = b.port(kStation);
    EXPECT_EQ(whole(port, "ATE1V0Q0", 11), QByteArray("ATE1V0Q0\r0\r"));
    EXPECT_EQ(whole(port, "ATE1V0H0Q0", 13), QByteArray("ATE1V0H0Q0\r0\r"));
    EXPECT_EQ(whole(port, "AT&FV0", 9), QByteArray("AT&FV0\r0\r"));

    const QByteArray level = exchange(port, "AT%V", 12);
    ASSERT_EQ(level.size(), 12);
    const QByteArray again = repeat(port);
    EXPECT_EQ(again.size(), 9);
    EXPECT_EQ(again, "A/" + answerLine(level) + "\r0\r");  // no CR after the echo
    EXPECT_EQ(repeat(port), again);
}

TEST(ModemReplies, IdentityOfTheAcceptedLxModel) {
    SimBench b;
    SimLinkPort& port = b.port(kCaller);
    // The acceptance check: "A", then "TI3" + CR, exactly 21 bytes.
    port.write("A");
    QByteArray reply = port.read(1, 1000);
    port.write("TI3\r");
    reply += port.read(100, 1000);
    EXPECT_EQ(reply.size(), 21);
    EXPECT_TRUE(reply.contains("Teliq LX-3310"));

    const QByteArray first = exchange(port, "ATI5", 18);
    EXPECT_EQ(first.size(), 18);
    EXPECT_EQ(first.mid(5), QByteArray("Teliq LX Vers"));  // the line is not finished yet
    const QByteArray rest = port.read(12, 1000);
    EXPECT_EQ(rest.size(), 12);
    EXPECT_TRUE(rest.endsWith("\r0\r"));
    b.clock.advance(100);
    EXPECT_EQ(port.bytesPending(), 0);
}

SimConfig singleModem(SimModel model) {
    SimConfig c;
    SimModemSpec spec;
    spec.port = 1;
    spec.number = "1111111";
    spec.model = model;
    c.modems.push_back(spec);
    return c;
}

TEST(ModemReplies, PlainModelAnswersLongerAndHasNoAnsweringRegisters) {
    SimBench b(singleModem(SimModel::Plain3310));
    SimLinkPort& port = b.port(1);
    EXPECT_EQ(exchange(port, "ATI5", 18), QByteArray("ATI5\rTeliq 3310 Fi"));
    EXPECT_EQ(port.read(25, 1000), QByteArray("rmware Version 2.05.01\r0\r"));
    EXPECT_EQ(port.read(1, 200).size(), 0);
    EXPECT_TRUE(exchange(port, "ATI3", 21).contains("Teliq LX-3310"));

    // S55..S57 are answered but do nothing; reading them gives 000.
    EXPECT_EQ(exchange(port, "ATS57=2", 10), QByteArray("ATS57=2\r0\r"));
    EXPECT_EQ(exchange(port, "ATS56=27", 11), QByteArray("ATS56=27\r0\r"));
    EXPECT_EQ(exchange(port, "ATS55=3", 10), QByteArray("ATS55=3\r0\r"));
    EXPECT_EQ(answerLine(exchange(port, "ATS57?", 13)), QByteArray("000"));
    EXPECT_EQ(answerLine(exchange(port, "ATS56?", 13)), QByteArray("000"));
    EXPECT_EQ(b.network->profile(1).s[kRegToneBand], ModemProfile::factory().s[kRegToneBand]);
}

TEST(ModemReplies, WrongModelIsNamedDifferently) {
    SimBench b(singleModem(SimModel::Other));
    SimLinkPort& port = b.port(1);
    const QByteArray model = exchange(port, "ATI3", 21);
    EXPECT_EQ(model.size(), 21);
    EXPECT_FALSE(model.contains("Teliq LX-3310"));
    EXPECT_EQ(exchange(port, "ATI5", 18), QByteArray("ATI5\rTeliq ST-2400"));
    EXPECT_EQ(port.read(25, 1000), QByteArray(" Firmware Version 1.90\r0\r"));
}

TEST(ModemReplies, LevelQueryRecoversTheDialToneLevel) {
    for (double level : {-10.0, -17.5, -30.0, -42.0}) {
        SCOPED_TRACE(level);
        SimConfig config = SimConfig::demo();
        config.network.dialToneDbm = level;
        SimBench b(config);
        SimLinkPort& port = b.port(kCaller);
        ASSERT_EQ(exchange(port, "ATH1%T12", 11).size(), 11);
        const QByteArray query = exchange(port, "AT%V", 12);
        ASSERT_EQ(query.size(), 12);
        ASSERT_TRUE(simtest::decodedT12(query));
        EXPECT_NEAR(*simtest::decodedT12(query), level, 0.2);
        const QByteArray again = repeat(port);
        ASSERT_EQ(again.size(), 9);
        EXPECT_NEAR(*simtest::decodedT12(again), level, 0.2);
    }
}

TEST(ModemReplies, SilenceAndOtherBandsGiveTheWeakestWordAndNeverZero) {
    SimBench b;
    SimLinkPort& port = b.port(kCaller);
    // On-hook: nothing on the line.
    EXPECT_EQ(answerLine(exchange(port, "AT%V", 12)), formatLevelWord(0xFFFF));
    // The dial tone is at 425 Hz: the mid and high band filters do not hear it.
    exchange(port, "ATH1%T16", 11);
    EXPECT_EQ(answerLine(exchange(port, "AT%V", 12)), formatLevelWord(0xFFFF));
    exchange(port, "AT%T15", 9);
    EXPECT_EQ(answerLine(exchange(port, "AT%V", 12)), formatLevelWord(0xFFFF));
    exchange(port, "AT%T12", 9);
    EXPECT_NE(answerLine(exchange(port, "AT%V", 12)), formatLevelWord(0xFFFF));
    // A line far louder than the word can express still never reports 0.
    SimConfig loud = SimConfig::demo();
    loud.network.dialToneDbm = 0.0;
    loud.modems[0].gain = 255;
    SimBench l(loud);
    exchange(l.port(kCaller), "ATH1%T12", 11);
    EXPECT_NE(parseLevelWord(answerLine(exchange(l.port(kCaller), "AT%V", 12))), 0);
}

TEST(ModemReplies, GainIsReportedAndUsedInTheLevelWord) {
    SimConfig config = SimConfig::demo();
    config.modems[0].gain = 96;
    SimBench b(config);
    SimLinkPort& port = b.port(kCaller);
    EXPECT_EQ(answerLine(exchange(port, "AT%K", 11)), QByteArray("096"));
    exchange(port, "ATH1%T12", 11);
    const QByteArray query = exchange(port, "AT%V", 12);
    EXPECT_NEAR(*simtest::decodedT12(query, 96), -10.0, 0.2);
}

TEST(ModemReplies, RegistersAndTheStoredProfile) {
    SimBench b;
    SimLinkPort& port = b.port(kStation);
    // The demo station's stored profile is loaded at start.
    EXPECT_EQ(answerLine(exchange(port, "ATS0?", 12)), QByteArray("002"));
    EXPECT_EQ(answerLine(exchange(port, "ATS50?", 13)), QByteArray("205"));
    EXPECT_EQ(answerLine(exchange(port, "ATS51?", 13)), QByteArray("006"));
    EXPECT_EQ(answerLine(exchange(port, "ATS69?", 13)), QByteArray("014"));
    EXPECT_EQ(answerLine(exchange(port, "ATS52?", 13)), QByteArray("025"));

    // Changes without AT&W are undone by AT&F and ATZ ...
    exchange(port, "ATS0=4", 9);
    exchange(port, "AT%L20", 9);
    EXPECT_EQ(answerLine(exchange(port, "ATS69?", 13)), QByteArray("020"));
    exchange(port, "AT&FV0", 9);
    EXPECT_EQ(answerLine(exchange(port, "ATS0?", 12)), QByteArray("002"));
    EXPECT_EQ(answerLine(exchange(port, "ATS69?", 13)), QByteArray("014"));
    exchange(port, "ATS0=3", 9);
    exchange(port, "ATZ", 6);
    EXPECT_EQ(answerLine(exchange(port, "ATS0?", 12)), QByteArray("002"));

    // ... and kept by AT&W.
    exchange(port, "ATS0=0", 9);
    exchange(port, "AT&A0", 8);
    exchange(port, "AT&W", 7);
    exchange(port, "ATS0=3", 9);
    exchange(port, "AT&FV0", 9);
    EXPECT_EQ(answerLine(exchange(port, "ATS0?", 12)), QByteArray("000"));
    EXPECT_EQ(b.network->storedProfile(kStation).s[kRegRings], 0);
    EXPECT_FALSE(b.network->storedProfile(kStation).answerSetup);
}

TEST(ModemReplies, RefusedCommandsAnswerErrorInTheSameLength) {
    SimBench b;
    SimLinkPort& port = b.port(kCaller);
    EXPECT_EQ(exchange(port, "ATS0=300", 11), QByteArray("ATS0=300\r4\r"));
    EXPECT_EQ(exchange(port, "ATS300?", 10), QByteArray("ATS300?\r4\r"));
    EXPECT_EQ(exchange(port, "AT%T9", 8), QByteArray("AT%T9\r4\r"));
    EXPECT_EQ(exchange(port, "ATJ", 6), QByteArray("ATJ\r4\r"));
    // The commands before the refused one have run.
    EXPECT_EQ(exchange(port, "ATS0=1%L99", 13), QByteArray("ATS0=1%L99\r4\r"));
    EXPECT_EQ(answerLine(exchange(port, "ATS0?", 12)), QByteArray("001"));
    // An over-long line is refused whole.
    const QByteArray longLine = "ATS0=5" + QByteArray(kMaxCommandLine, ' ');
    EXPECT_TRUE(exchange(port, longLine, longLine.size() + 3).endsWith("\r4\r"));
    EXPECT_EQ(answerLine(exchange(port, "ATS0?", 12)), QByteArray("001"));
}

TEST(ModemReplies, EchoAndResultModes) {
    SimBench b;
    SimLinkPort& port = b.port(kCaller);
    exchange(port, "ATE0", 7);
    port.write("ATS8?\r");
    EXPECT_EQ(port.read(6, 1000), QByteArray("002\r0\r"));
    port.write("ATE1V1\r");
    EXPECT_EQ(port.read(13, 1000), QByteArray("\r\nOK\r\n"));
    EXPECT_EQ(exchange(port, "ATQ1V0", 7), QByteArray("ATQ1V0\r"));
    EXPECT_EQ(exchange(port, "ATS8?", 10), QByteArray("ATS8?\r002\r"));
}

TEST(CommandLine, SplitsConcatenatedCommands) {
    const auto cmds = parseCommandLine("D P8;%T12%V");
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_EQ(cmds[0].kind, AtCommand::Kind::Dial);
    EXPECT_EQ(cmds[0].dial, QByteArray(" P8"));
    EXPECT_EQ(cmds[1].kind, AtCommand::Kind::Percent);
    EXPECT_EQ(cmds[1].number, 12);
    EXPECT_EQ(cmds[2].letter, 'V');

    const auto set = parseCommandLine("X1S31=37S8=1S6=2");
    ASSERT_EQ(set.size(), 4u);
    EXPECT_EQ(set[1].kind, AtCommand::Kind::Register);
    EXPECT_EQ(set[1].number, 31);
    EXPECT_EQ(set[1].value, 37);
    EXPECT_FALSE(set[3].query);

    const auto bad = parseCommandLine("S0=1S99999999=1H0");
    ASSERT_EQ(bad.size(), 2u);
    EXPECT_EQ(bad.back().kind, AtCommand::Kind::Invalid);
    EXPECT_EQ(parseCommandLine("%").back().kind, AtCommand::Kind::Invalid);
}

TEST(ModemReplies, TrafficLogShowsCommandsAndRepliesWithVisibleCr) {
    SimBench b;
    QStringList lines;
    b.network->setTrafficLog([&lines](const TrafficEntry& e) { lines << formatTrafficEntry(e); });
    exchange(b.port(kStation), "ATS50=205", 12);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("COM2 > ATS50=205<CR>")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("COM2 < 0<CR>")));
    EXPECT_EQ(visibleBytes(QByteArray("a\x07\n", 3)), QStringLiteral("a<0x07><LF>"));
}

}  // namespace
}  // namespace zev7
