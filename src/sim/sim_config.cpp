#include "sim/sim_config.h"

#include "core/strings.h"
#include "teliq/modem_registers.h"

#include <QFile>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <map>

namespace zev7 {

namespace {

constexpr int kMinPort = 1;
constexpr int kMaxPort = 64;
constexpr double kMaxTimeScale = 10000.0;
constexpr double kMaxAttenuationDb = 60.0;
constexpr double kMinToneDbm = -60.0;
constexpr double kMaxToneDbm = 0.0;
constexpr double kMinDigitWaitS = 1.0;
constexpr double kMaxDigitWaitS = 600.0;
constexpr double kMinFrequencyHz = 300.0;
constexpr double kMaxFrequencyHz = 2700.0;
constexpr double kMinStationDbm = -40.0;
constexpr double kMaxStationDbm = 0.0;
constexpr double kMaxDelayS = 25.5;
constexpr int kMaxToneBand = 3;
constexpr int kMaxSubscriberDigits = 19;
constexpr char kDemoCaller[] = "1111111";
constexpr char kDemoStation[] = "2222222";

// What a [COM<N>] section says, resolved into a stored profile once the file is read.
struct ModemDraft {
    SimModemSpec spec;
    std::optional<bool> answer;
    std::optional<int> rings;
    std::optional<double> frequency;
    std::optional<double> level;
    std::optional<double> delayOn;
    std::optional<double> duration;
    std::optional<double> delayOff;
    std::optional<int> toneBand;
    std::optional<int> toneThreshold;
    std::optional<int> transmit;
    std::map<int, int> registers;
};

std::uint8_t byteOf(int v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, kMaxRegisterValue));
}

ModemProfile resolveProfile(const ModemDraft& d) {
    ModemProfile p = ModemProfile::factory();
    if (d.rings) {
        p.s[kRegRings] = byteOf(*d.rings);
    }
    if (d.frequency) {
        const int code = frequencyCode(*d.frequency);
        p.s[kRegFrequencyLow] = byteOf(code & 0xFF);
        p.s[kRegFrequencyHigh] = byteOf((code >> 8) & 0xFF);
    }
    if (d.delayOn) {
        p.s[kRegDelayOn] = byteOf(tenthsOfSecond(*d.delayOn));
    }
    if (d.duration) {
        p.s[kRegDuration] = byteOf(tenthsOfSecond(*d.duration));
    }
    if (d.delayOff) {
        p.s[kRegDelayOff] = byteOf(tenthsOfSecond(*d.delayOff));
    }
    if (d.toneBand) {
        p.s[kRegToneBand] = byteOf(*d.toneBand);
        p.s[kRegToneMode] = *d.toneBand != 0 ? 3 : 0;
    }
    if (d.toneThreshold) {
        p.s[kRegToneThreshold] = byteOf(toneThresholdValue(*d.toneThreshold));
    }
    for (const auto& [n, v] : d.registers) {
        p.s[static_cast<std::size_t>(n)] = byteOf(v);
    }
    if (d.level) {
        const int code = p.s[kRegFrequencyHigh] * 256 + p.s[kRegFrequencyLow];
        p.transmit = transmitLevelValue(*d.level, frequencyFromCode(code));
    }
    if (d.transmit) {
        p.transmit = *d.transmit;
    }
    // A station given rings answers them unless told otherwise.
    p.answerSetup = d.answer.value_or(d.rings.value_or(0) > 0);
    return p;
}

class ConfigParser {
public:
    explicit ConfigParser(const QString& name) : name_(name) {}

    void parseLine(int number, QString text);
    SimConfigResult finish();

private:
    // Skip: a section already reported as wrong; its keys are not checked.
    enum class Section { None, Skip, Network, Faults, Modem };

    void error(const QString& message) {
        errors_ << txt(str::SimCfgAt).arg(name_).arg(line_).arg(message);
    }
    void section(const QString& name);
    void networkKey(const QString& key, const QString& value);
    void faultKey(const QString& key, const QString& value);
    QStringList secondDialToneWarnings() const;
    void modemKey(const QString& key, const QString& value);
    void unknownKey(const QString& key) {
        error(txt(str::SimCfgUnknownKey).arg(key, sectionName_));
    }

    std::optional<double> real(const QString& key, const QString& value, double min, double max);
    std::optional<int> integer(const QString& key, const QString& value, int min, int max);
    std::optional<bool> onOff(const QString& key, const QString& value);

    QString name_;
    int line_ = 0;
    QStringList errors_;
    SimConfig config_;
    Section section_ = Section::None;
    QString sectionName_;
    QSet<QString> sectionsSeen_;
    QSet<QString> keysSeen_;
    std::map<int, ModemDraft> modems_;
    ModemDraft* modem_ = nullptr;
};

void ConfigParser::parseLine(int number, QString text) {
    line_ = number;
    for (qsizetype i = 1; i < text.size(); ++i) {
        if ((text[i] == QLatin1Char(';') || text[i] == QLatin1Char('#')) && text[i - 1].isSpace()) {
            text.truncate(i);
            break;
        }
    }
    text = text.trimmed();
    if (text.isEmpty() || text.startsWith(QLatin1Char(';')) || text.startsWith(QLatin1Char('#'))) {
        return;
    }
    if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']'))) {
        section(text.mid(1, text.size() - 2).trimmed());
        return;
    }
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    const QString key = eq > 0 ? text.left(eq).trimmed().toLower() : QString();
    if (key.isEmpty()) {
        error(txt(str::SimCfgBadLine).arg(text));
        return;
    }
    const QString value = text.mid(eq + 1).trimmed();
    if (section_ == Section::Skip) {
        return;
    }
    if (section_ == Section::None) {
        error(txt(str::SimCfgOutsideSection).arg(key));
        return;
    }
    if (keysSeen_.contains(key)) {
        error(txt(str::SimCfgDuplicateKey).arg(key));
        return;
    }
    keysSeen_.insert(key);
    switch (section_) {
        case Section::Network:
            networkKey(key, value);
            break;
        case Section::Faults:
            faultKey(key, value);
            break;
        case Section::Modem:
            modemKey(key, value);
            break;
        case Section::None:
        case Section::Skip:
            break;
    }
}

void ConfigParser::section(const QString& rawName) {
    const QString name = rawName.toLower();
    section_ = Section::Skip;
    modem_ = nullptr;
    keysSeen_.clear();
    sectionName_ = rawName;
    if (sectionsSeen_.contains(name)) {
        error(txt(str::SimCfgDuplicateSection).arg(rawName));
        return;
    }
    bool ok = false;
    const int port = name.startsWith(QLatin1String("com")) ? name.mid(3).toInt(&ok) : 0;
    if (name == QLatin1String("network")) {
        section_ = Section::Network;
    } else if (name == QLatin1String("faults")) {
        section_ = Section::Faults;
    } else if (ok && port >= kMinPort && port <= kMaxPort && name.mid(3) == QString::number(port)) {
        section_ = Section::Modem;
        modem_ = &modems_[port];
        modem_->spec.port = port;
    } else {
        error(txt(str::SimCfgUnknownSection).arg(rawName));
        return;
    }
    sectionsSeen_.insert(name);
}

void ConfigParser::networkKey(const QString& key, const QString& value) {
    SimNetworkSettings& n = config_.network;
    auto level = [&](double& target) {
        if (const auto v = real(key, value, kMinToneDbm, kMaxToneDbm)) {
            target = *v;
        }
    };
    if (key == QLatin1String("seed")) {
        bool ok = false;
        const qulonglong seed = value.toULongLong(&ok);
        if (ok) {
            n.seed = seed;
        } else {
            error(txt(str::SimCfgBadSeed).arg(key, value));
        }
    } else if (key == QLatin1String("time-scale")) {
        config_.timeScale = real(key, value, 1.0, kMaxTimeScale);
    } else if (key == QLatin1String("attenuation")) {
        if (const auto v = real(key, value, 0.0, kMaxAttenuationDb)) {
            n.attenuationDb = *v;
        }
    } else if (key == QLatin1String("dial-tone-level")) {
        level(n.dialToneDbm);
    } else if (key == QLatin1String("ringback-level")) {
        level(n.ringbackDbm);
    } else if (key == QLatin1String("busy-level")) {
        level(n.busyDbm);
    } else if (key == QLatin1String("congestion-level")) {
        level(n.congestionDbm);
    } else if (key == QLatin1String("clear-back-level")) {
        level(n.clearBackDbm);
    } else if (key == QLatin1String("digit-wait")) {
        if (const auto v = real(key, value, kMinDigitWaitS, kMaxDigitWaitS)) {
            n.digitWait = secondsToUs(*v);
        }
    } else {
        unknownKey(key);
    }
}

void ConfigParser::faultKey(const QString& key, const QString& value) {
    const auto fault = faultFromName(key);
    if (!fault) {
        unknownKey(key);
        return;
    }
    if (const auto p = real(key, value, 0.0, 1.0)) {
        config_.network.faults[static_cast<std::size_t>(*fault)] = *p;
    }
}

void ConfigParser::modemKey(const QString& key, const QString& value) {
    ModemDraft& d = *modem_;
    auto delay = [&](std::optional<double>& target) {
        if (const auto v = real(key, value, 0.0, kMaxDelayS)) {
            target = v;
        }
    };
    if (key == QLatin1String("number")) {
        const bool digits =
            !value.isEmpty() && value.size() <= kMaxSubscriberDigits &&
            std::all_of(value.begin(), value.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        if (digits) {
            d.spec.number = value.toLatin1();
        } else {
            error(txt(str::SimCfgBadSubscriber).arg(key, value));
        }
    } else if (key == QLatin1String("model")) {
        if (const auto m = modelFromName(value)) {
            d.spec.model = *m;
        } else {
            error(txt(str::SimCfgBadModel).arg(key, value));
        }
    } else if (key == QLatin1String("gain")) {
        if (const auto v = integer(key, value, kMinGain, kMaxGain)) {
            d.spec.gain = *v;
        }
    } else if (key == QLatin1String("answer")) {
        d.answer = onOff(key, value);
    } else if (key == QLatin1String("rings")) {
        d.rings = integer(key, value, 0, kMaxRegisterValue);
    } else if (key == QLatin1String("frequency")) {
        d.frequency = real(key, value, kMinFrequencyHz, kMaxFrequencyHz);
    } else if (key == QLatin1String("level")) {
        d.level = real(key, value, kMinStationDbm, kMaxStationDbm);
    } else if (key == QLatin1String("delay-on")) {
        delay(d.delayOn);
    } else if (key == QLatin1String("duration")) {
        delay(d.duration);
    } else if (key == QLatin1String("delay-off")) {
        delay(d.delayOff);
    } else if (key == QLatin1String("tone-band")) {
        d.toneBand = integer(key, value, 0, kMaxToneBand);
    } else if (key == QLatin1String("tone-threshold")) {
        d.toneThreshold = integer(key, value, -kMaxToneThresholdValue, -kMinToneThresholdValue);
    } else if (key == QLatin1String("transmit")) {
        d.transmit = integer(key, value, 0, kMaxTransmitSetting);
    } else if (key.startsWith(QLatin1Char('s'))) {
        bool ok = false;
        const int n = key.mid(1).toInt(&ok);
        if (!ok || n < 0 || n >= kRegisterCount || key.mid(1) != QString::number(n)) {
            unknownKey(key);
            return;
        }
        if (const auto v = integer(key, value, 0, kMaxRegisterValue)) {
            d.registers[n] = *v;
        }
    } else {
        unknownKey(key);
    }
}

std::optional<double> ConfigParser::real(const QString& key, const QString& value, double min,
                                         double max) {
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        error(txt(str::FieldNotNumber).arg(key, value));
        return std::nullopt;
    }
    if (v < min || v > max) {
        error(txt(str::FieldOutOfRange).arg(key, value).arg(min).arg(max));
        return std::nullopt;
    }
    return v;
}

std::optional<int> ConfigParser::integer(const QString& key, const QString& value, int min,
                                         int max) {
    bool ok = false;
    const int v = value.toInt(&ok);
    if (!ok) {
        error(txt(str::FieldNotInteger).arg(key, value));
        return std::nullopt;
    }
    if (v < min || v > max) {
        error(txt(str::FieldOutOfRange).arg(key, value).arg(min).arg(max));
        return std::nullopt;
    }
    return v;
}

std::optional<bool> ConfigParser::onOff(const QString& key, const QString& value) {
    const QString v = value.toLower();
    if (v == QLatin1String("on") || v == QLatin1String("yes") || v == QLatin1String("1")) {
        return true;
    }
    if (v == QLatin1String("off") || v == QLatin1String("no") || v == QLatin1String("0")) {
        return false;
    }
    error(txt(str::SimCfgBadSwitch).arg(key, value));
    return std::nullopt;
}

// The exchange gives a second dial tone only at the end of a stage whose digits reach nobody
// yet: a number dialled in one go rings its modem at once, so these faults never fire for it.
QStringList ConfigParser::secondDialToneWarnings() const {
    QStringList faults;
    for (SimFault f : kAllFaults) {
        if (faultPoint(f) == FaultPoint::SecondDialTone &&
            config_.network.faults[static_cast<std::size_t>(f)] > 0.0) {
            faults << faultName(f);
        }
    }
    if (faults.isEmpty()) {
        return {};
    }
    QStringList numbers;
    for (const auto& [port, draft] : modems_) {
        if (!draft.spec.number.isEmpty()) {
            numbers << QString::fromLatin1(draft.spec.number);
        }
    }
    return {txt(str::SimCfgSecondDialToneOnlyWithW)
                .arg(name_, faults.join(QLatin1String(", ")), numbers.join(QLatin1String(", ")))};
}

SimConfigResult ConfigParser::finish() {
    for (FaultPoint point : {FaultPoint::DialTone, FaultPoint::SecondDialTone, FaultPoint::Ringback,
                             FaultPoint::Answer}) {
        double sum = 0.0;
        QStringList names;
        for (SimFault f : kAllFaults) {
            if (faultPoint(f) == point) {
                sum += config_.network.faults[static_cast<std::size_t>(f)];
                names << faultName(f);
            }
        }
        if (sum > 1.0) {
            errors_ << txt(str::SimCfgFaultSum).arg(name_, names.join(QLatin1String(", ")));
        }
    }
    if (modems_.empty()) {
        errors_ << txt(str::SimCfgNoModems).arg(name_);
    }
    std::map<QByteArray, int> numbers;
    for (auto& [port, draft] : modems_) {
        const QByteArray& number = draft.spec.number;
        if (!number.isEmpty()) {
            const auto [it, fresh] = numbers.emplace(number, port);
            if (!fresh) {
                errors_ << txt(str::SimCfgDuplicateNumber)
                               .arg(name_, QString::fromLatin1(number))
                               .arg(it->second)
                               .arg(port);
            }
        }
        draft.spec.profile = resolveProfile(draft);
        config_.modems.push_back(draft.spec);
    }
    SimConfigResult result;
    result.errors = errors_;
    result.warnings = secondDialToneWarnings();
    if (errors_.isEmpty()) {
        result.config = config_;
    }
    return result;
}

}  // namespace

SimConfig SimConfig::demo() {
    SimConfig c;
    c.network.attenuationDb = 6.0;
    c.network.dialToneDbm = -10.0;
    c.network.ringbackDbm = -10.0;
    c.network.busyDbm = -10.0;
    c.network.congestionDbm = -10.0;
    c.network.clearBackDbm = -10.0;

    SimModemSpec caller;
    caller.port = 1;
    caller.number = kDemoCaller;
    c.modems.push_back(caller);

    SimModemSpec station;
    station.port = 2;
    station.number = kDemoStation;
    AnswerSettingsSpec answer;  // 2 rings, 1020 Hz, -10 dBm, 2.5 / 3.0 / 4.0 s
    applyAnswerSettings(station.profile, answer);
    c.modems.push_back(station);
    return c;
}

SimConfigResult parseSimConfig(const QByteArray& text, const QString& name) {
    ConfigParser parser(name);
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        parser.parseLine(static_cast<int>(i + 1), QString::fromUtf8(lines[i]));
    }
    return parser.finish();
}

SimConfigResult loadSimConfig(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {std::nullopt, {txt(str::SimCfgCannotRead).arg(path, file.errorString())}, {}};
    }
    if (file.size() > kMaxSimConfigBytes) {
        return {std::nullopt, {txt(str::SimCfgTooLarge).arg(path).arg(kMaxSimConfigBytes)}, {}};
    }
    return parseSimConfig(file.read(kMaxSimConfigBytes), path);
}

std::unique_ptr<SimNetwork> buildNetwork(const SimConfig& config, Clock& clock) {
    auto network = std::make_unique<SimNetwork>(clock, config.network);
    for (const SimModemSpec& spec : config.modems) {
        network->addModem(spec);
    }
    return network;
}

}  // namespace zev7
