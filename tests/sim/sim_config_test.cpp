// The simulator's configuration file: the example of the documentation, the demo network and
// every kind of mistake a file can hold.
#include "sim_test_support.h"

#include "core/strings.h"
#include "teliq/modem_registers.h"

#include <QTemporaryDir>

namespace zev7 {
namespace {

SimConfigResult parse(const char* text) {
    return parseSimConfig(QByteArray(text), QStringLiteral("net.ini"));
}

const SimModemSpec* modem(const SimConfig& c, int port) {
    for (const SimModemSpec& m : c.modems) {
        if (m.port == port) {
            return &m;
        }
    }
    return nullptr;
}

TEST(SimConfig, ExampleFileOfTheDocumentation) {
    const SimConfigResult r =
        loadSimConfig(QStringLiteral(ZEV7_SOURCE_DIR "/docs/sim-example.ini"));
    ASSERT_TRUE(r.config) << r.errors.join('\n').toStdString();
    const SimConfig& c = *r.config;
    EXPECT_EQ(c.network.seed, 20261208u);
    EXPECT_EQ(c.timeScale, 1.0);
    EXPECT_DOUBLE_EQ(c.network.congestionDbm, -12.0);
    EXPECT_EQ(c.network.digitWait, 20 * kUsPerSecond);
    EXPECT_DOUBLE_EQ(c.network.faults[static_cast<std::size_t>(SimFault::BusyRingback)], 0.02);
    ASSERT_EQ(c.modems.size(), 4u);

    const ModemProfile& station = modem(c, 2)->profile;
    EXPECT_EQ(station.s[kRegToneBand], 2);
    EXPECT_EQ(station.s[kRegToneThreshold], 27);
    EXPECT_EQ(station.s[kRegToneMode], 3);
    EXPECT_TRUE(station.answerSetup);

    const SimModemSpec& plain = *modem(c, 3);
    EXPECT_EQ(plain.model, SimModel::Plain3310);
    EXPECT_TRUE(plain.profile.answerSetup);  // rings given: it answers
    EXPECT_EQ(plain.profile.transmit, transmitLevelValue(-12.0, 2100.0));

    const SimModemSpec& other = *modem(c, 4);
    EXPECT_EQ(other.model, SimModel::Other);
    EXPECT_TRUE(other.number.isEmpty());
    EXPECT_EQ(other.profile.s[kRegBlindDialWait], 3);
    EXPECT_FALSE(other.profile.answerSetup);
}

TEST(SimConfig, SettingsReachTheNetwork) {
    const SimConfigResult r = parse(
        "[network]\nattenuation = 9.5\ndial-tone-level = -21\n"
        "[faults]\nno-dial-tone = 1\n"
        "[COM5]\nnumber = 555\ngain = 64\n");
    ASSERT_TRUE(r.config);
    ManualClock clock;
    auto network = buildNetwork(*r.config, clock);
    EXPECT_EQ(network->ports(), QList<int>{5});
    EXPECT_EQ(network->number(5), QByteArray("555"));
    EXPECT_DOUBLE_EQ(network->settings().attenuationDb, 9.5);
    SimLinkPort port(*network, 5);
    ASSERT_TRUE(port.open(LineSettings::measuring()));
    EXPECT_EQ(simtest::answerLine(simtest::exchange(port, "AT%K", 11)), QByteArray("064"));
    simtest::exchange(port, "ATH1", 7);
    EXPECT_FALSE(network->heardTone(5));  // no dial tone, as the fault says
}

TEST(SimConfig, CommentsBlanksAndCase) {
    const SimConfigResult r = parse(
        "  # comment\n; another\n\n[Network]\r\nSEED = 42   ; inline\r\n"
        "[com7]\nNumber = 77 # inline\nS31=37\n");
    ASSERT_TRUE(r.config) << r.errors.join('\n').toStdString();
    EXPECT_EQ(r.config->network.seed, 42u);
    EXPECT_EQ(r.config->modems.at(0).port, 7);
    EXPECT_EQ(r.config->modems.at(0).number, QByteArray("77"));
}

TEST(SimConfig, EveryMistakeIsReportedWithItsLine) {
    const SimConfigResult r = parse(
        "seed = 1\n"              // 1: outside a section
        "[network]\n"             // 2
        "attenuation = loud\n"    // 3: not a number
        "dial-tone-level = 5\n"   // 4: out of range
        "colour = red\n"          // 5: unknown key
        "attenuation = 6\n"       // 6: (first valid value of the key is line 3)
        "just text\n"             // 7: no key
        "[COM65]\n"               // 8: unknown section
        "number = 1\n"            // 9: skipped with it
        "[COM1]\n"                // 10
        "number = 12a\n"          // 11: not digits
        "model = modem\n"         // 12
        "answer = maybe\n"        // 13
        "rings = 1.5\n"           // 14: not an integer
        "S300 = 1\n"              // 15: no such register
        "[COM1]\n"                // 16: again
        "[faults]\n"              // 17
        "no-dial-tone = 0.7\n"    // 18
        "busy-dial-tone = 0.6\n"  // 19
        "broken-line = 0.1\n"     // 20
        "[network]\n"             // 21: again
        "[seed]\n");              // 22
    EXPECT_FALSE(r.config);
    const QString all = r.errors.join('\n');
    for (int line : {1, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 16, 20, 21, 22}) {
        EXPECT_TRUE(all.contains(QStringLiteral("net.ini, строка %1:").arg(line))) << line;
    }
    EXPECT_FALSE(all.contains(QStringLiteral("строка 9:")));
    EXPECT_TRUE(all.contains(
        txt(str::SimCfgFaultSum)
            .arg(QStringLiteral("net.ini"), QStringLiteral("no-dial-tone, busy-dial-tone, "
                                                           "congestion-dial-tone"))));
    EXPECT_TRUE(all.contains(txt(str::FieldNotNumber).arg("attenuation", "loud")));
}

TEST(SimConfig, NetworkWideMistakes) {
    EXPECT_TRUE(parse("[network]\nseed = 1\n")
                    .errors.contains(txt(str::SimCfgNoModems).arg(QStringLiteral("net.ini"))));
    const SimConfigResult twice = parse("[COM1]\nnumber = 123\n[COM2]\nnumber = 123\n");
    EXPECT_FALSE(twice.config);
    EXPECT_EQ(twice.errors,
              QStringList{txt(str::SimCfgDuplicateNumber).arg("net.ini", "123").arg(1).arg(2)});
}

TEST(SimConfig, FilesThatCannotBeRead) {
    const SimConfigResult missing = loadSimConfig(QStringLiteral("/nonexistent/sim.ini"));
    EXPECT_FALSE(missing.config);
    ASSERT_EQ(missing.errors.size(), 1);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.ini"));
    QFile big(path);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(kMaxSimConfigBytes + 1, '#'));
    big.close();
    const SimConfigResult tooBig = loadSimConfig(path);
    EXPECT_FALSE(tooBig.config);
    EXPECT_EQ(tooBig.errors,
              QStringList{txt(str::SimCfgTooLarge).arg(path).arg(kMaxSimConfigBytes)});

    // Binary garbage gives messages, not a crash.
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage.append(static_cast<char>((i * 131) & 0xFF));
    }
    EXPECT_FALSE(parseSimConfig(garbage, QStringLiteral("x")).config);
}

}  // namespace
}  // namespace zev7

namespace zev7 {
namespace {

// A second dial tone needs a number dialled in stages: such a fault is accepted but the user
// is told that calls to the network's own numbers never meet it.
TEST(SimConfig, SecondDialToneFaultsWarnThatTheyNeedAStage) {
    const char* modems = "[COM1]\nnumber = 1111111\n[COM2]\nnumber = 2222222\nrings = 2\n";
    const SimConfigResult quiet =
        parse((QByteArray("[faults]\nbusy-ringback = 0.5\n") + modems).constData());
    ASSERT_TRUE(quiet.config);
    EXPECT_TRUE(quiet.warnings.isEmpty());

    const SimConfigResult warned =
        parse((QByteArray("[faults]\nno-second-dial-tone = 0.1\n") + modems).constData());
    ASSERT_TRUE(warned.config);
    ASSERT_EQ(warned.warnings.size(), 1);
    EXPECT_TRUE(warned.warnings[0].contains(QStringLiteral("no-second-dial-tone")));
    EXPECT_TRUE(warned.warnings[0].contains(QStringLiteral("2222222")));
}

}  // namespace
}  // namespace zev7
