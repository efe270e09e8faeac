#include "db/db_location.h"

#include "core/ini_file.h"
#include "core/program_dir.h"
#include "core/strings.h"

#include <QUrl>
#include <algorithm>

namespace zev7 {

namespace {

const QString kDriverKey = QStringLiteral("Driver");
const QString kHostKey = QStringLiteral("Host");
const QString kPortKey = QStringLiteral("Port");
const QString kNameKey = QStringLiteral("Name");
const QString kUserKey = QStringLiteral("User");
const QString kStationKey = QStringLiteral("Station");
const QString kSqliteWord = QStringLiteral("SQLite");
const QString kPostgresWord = QStringLiteral("PostgreSQL");
const QString kScheme = QStringLiteral("postgresql://");
const QString kShortScheme = QStringLiteral("postgres://");

QString section() {
    return QString::fromUtf8(kDbIniSection);
}

bool hasControl(const QString& text) {
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format) {
            return true;
        }
    }
    return false;
}

bool validHost(const QString& host) {
    if (host.size() > DbLocation::kHostMaxChars) {
        return false;
    }
    // An IPv6 address is kept without its brackets.
    const bool ipv6 = host.contains(u':');
    for (const QChar c : host) {
        const bool ok = ipv6 ? (c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f') ||
                                c == u':' || c == u'.')
                             : ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                                c.isDigit() || c == u'.' || c == u'-' || c == u'_');
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool validServerName(const QString& name) {
    return name.toUtf8().size() <= DbLocation::kServerNameMaxBytes && !hasControl(name);
}

// The port as written: empty is libpq's choice (0); anything else a number 1..65535.
std::optional<int> parsePort(const QString& text) {
    if (text.isEmpty()) {
        return 0;
    }
    bool ok = false;
    const int port = text.toInt(&ok);
    for (const QChar c : text) {
        ok = ok && c.isDigit();
    }
    if (!ok || port < 1 || port > DbLocation::kMaxPort) {
        return std::nullopt;
    }
    return port;
}

QString decoded(const QString& part) {
    return QUrl::fromPercentEncoding(part.toUtf8());
}

QString encoded(const QString& part) {
    return QString::fromLatin1(QUrl::toPercentEncoding(part));
}

bool fail(QString* error, const QString& text) {
    if (error != nullptr) {
        *error = text;
    }
    return false;
}

// The station of the section alone: a tool's --db or ZEV7_DB names the place, the station is
// still this one's.
std::optional<QString> stationFromIni(const IniFile& ini, QString* error) {
    DbLocation probe;
    probe.station = ini.readString(section(), kStationKey);
    const QString problem = probe.problem();
    if (!problem.isEmpty()) {
        fail(error, txt(str::DbLocIniAt).arg(section(), problem));
        return std::nullopt;
    }
    return probe.station;
}

}  // namespace

QString DbLocation::problem() const {
    if (station.size() > kStationMaxChars || hasControl(station)) {
        return txt(str::DbLocBadStation).arg(station).arg(kStationMaxChars);
    }
    if (!onServer()) {
        return {};
    }
    if (!validHost(host)) {
        return txt(str::DbLocBadHost).arg(host);
    }
    if (port < 0 || port > kMaxPort) {
        return txt(str::DbLocBadPort).arg(port);
    }
    if (!validServerName(name)) {
        return txt(str::DbLocBadName).arg(name).arg(kServerNameMaxBytes);
    }
    if (!validServerName(user)) {
        return txt(str::DbLocBadUser).arg(user).arg(kServerNameMaxBytes);
    }
    return {};
}

std::optional<DbLocation> DbLocation::fromIni(const IniFile& ini, QString* error) {
    const auto refuse = [&](const QString& problem) {
        fail(error, txt(str::DbLocIniAt).arg(section(), problem));
        return std::nullopt;
    };
    DbLocation loc;
    const QString driver = ini.readString(section(), kDriverKey).trimmed();
    if (driver.compare(kPostgresWord, Qt::CaseInsensitive) == 0) {
        loc.driver = Driver::Postgres;
    } else if (!driver.isEmpty() && driver.compare(kSqliteWord, Qt::CaseInsensitive) != 0) {
        return refuse(txt(str::DbLocBadDriver).arg(driver));
    }
    loc.station = ini.readString(section(), kStationKey);
    if (loc.onServer()) {
        loc.host = ini.readString(section(), kHostKey);
        const QString portText = ini.readString(section(), kPortKey);
        const std::optional<int> port = parsePort(portText);
        if (!port) {
            return refuse(txt(str::DbLocBadPort).arg(portText));
        }
        loc.port = *port;
        loc.name = ini.readString(section(), kNameKey);
        loc.user = ini.readString(section(), kUserKey);
    }
    const QString problem = loc.problem();
    if (!problem.isEmpty()) {
        return refuse(problem);
    }
    return loc;
}

void DbLocation::toIni(IniFile& ini) const {
    ini.writeString(section(), kDriverKey, onServer() ? kPostgresWord : kSqliteWord);
    ini.writeString(section(), kHostKey, host);
    ini.writeString(section(), kPortKey, port > 0 ? QString::number(port) : QString());
    ini.writeString(section(), kNameKey, name);
    ini.writeString(section(), kUserKey, user);
    ini.writeString(section(), kStationKey, station);
}

bool DbLocation::keepIniSection(const IniFile& from, IniFile& to) {
    const QStringList keys{kDriverKey, kHostKey, kPortKey, kNameKey, kUserKey, kStationKey};
    const bool same = from.hasSection(section()) == to.hasSection(section()) &&
                      std::all_of(keys.begin(), keys.end(), [&](const QString& key) {
                          return from.hasKey(section(), key) == to.hasKey(section(), key) &&
                                 from.readString(section(), key) == to.readString(section(), key);
                      });
    if (same) {
        return false;
    }
    to.eraseSection(section());
    for (const QString& key : keys) {
        if (from.hasKey(section(), key)) {
            to.writeString(section(), key, from.readString(section(), key));
        }
    }
    return true;
}

std::optional<DbLocation> DbLocation::fromUrl(const QString& url, QString* error) {
    const QString text = url.trimmed();
    DbLocation loc;
    if (text.compare(QLatin1String(kDbUrlSqlite), Qt::CaseInsensitive) == 0) {
        return loc;
    }
    const auto bad = [&] {
        fail(error, txt(str::DbLocBadUrl).arg(url));
        return std::nullopt;
    };
    QString rest;
    if (text.startsWith(kScheme, Qt::CaseInsensitive)) {
        rest = text.mid(kScheme.size());
    } else if (text.startsWith(kShortScheme, Qt::CaseInsensitive)) {
        rest = text.mid(kShortScheme.size());
    } else {
        return bad();
    }
    // Connection parameters after "?" would open another door than the one checked here.
    if (rest.contains(u'?') || rest.contains(u'#') || rest.contains(u' ')) {
        return bad();
    }
    loc.driver = Driver::Postgres;
    const qsizetype slash = rest.indexOf(u'/');
    QString authority = rest.left(slash);
    if (slash >= 0) {
        const QString path = rest.mid(slash + 1);
        if (path.contains(u'/')) {
            return bad();
        }
        loc.name = decoded(path);
    }
    const qsizetype at = authority.lastIndexOf(u'@');
    if (at >= 0) {
        const QString userInfo = authority.left(at);
        if (userInfo.contains(u':')) {
            fail(error, txt(str::DbLocPasswordInUrl));
            return std::nullopt;
        }
        loc.user = decoded(userInfo);
        authority = authority.mid(at + 1);
    }
    QString portText;
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        if (close < 0) {
            return bad();
        }
        loc.host = authority.mid(1, close - 1);
        const QString after = authority.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(u':')) {
            return bad();
        }
        portText = after.mid(1);
        if (after == QLatin1String(":")) {
            return bad();
        }
    } else {
        const QStringList parts = authority.split(u':');
        if (parts.size() > 2 || (parts.size() == 2 && parts[1].isEmpty())) {
            return bad();
        }
        loc.host = parts[0];
        portText = parts.value(1);
    }
    const std::optional<int> port = parsePort(portText);
    if (!port) {
        fail(error, txt(str::DbLocBadPort).arg(portText));
        return std::nullopt;
    }
    loc.port = *port;
    const QString problem = loc.problem();
    if (!problem.isEmpty()) {
        fail(error, problem);
        return std::nullopt;
    }
    return loc;
}

QString DbLocation::url() const {
    if (!onServer()) {
        return {};
    }
    QString url = kScheme;
    if (!user.isEmpty()) {
        url += encoded(user) + u'@';
    }
    url += host.contains(u':') ? u'[' + host + u']' : host;
    if (port > 0) {
        url += u':' + QString::number(port);
    }
    if (!name.isEmpty()) {
        url += u'/' + encoded(name);
    }
    return url;
}

DbLocation DbLocation::fromOptions(const DbOptions& options) {
    DbLocation loc;
    if (!options.server.isEmpty()) {
        if (const auto parsed = fromUrl(options.server, nullptr)) {
            loc = *parsed;
        } else {
            // Never the file in place of a server that was named.
            loc.driver = Driver::Postgres;
        }
    }
    loc.station = options.station;
    return loc;
}

DbOptions DbLocation::toOptions(DbOptions base) const {
    base.server = url();
    base.station = station;
    return base;
}

std::optional<DbLocation> DbLocation::forTool(const QString& dbOption, const QString& stationOption,
                                              QString* error) {
    IniFile ini(programPath(QString::fromLatin1(kConfigFileName)));
    ini.load();
    const QString environment = qEnvironmentVariable(kDbUrlEnvironment).trimmed();
    std::optional<DbLocation> loc;
    if (!dbOption.isEmpty() || !environment.isEmpty()) {
        QString problem;
        loc = fromUrl(dbOption.isEmpty() ? environment : dbOption, &problem);
        if (!loc) {
            fail(error, dbOption.isEmpty() ? txt(str::DbLocEnvAt).arg(problem) : problem);
            return std::nullopt;
        }
        if (stationOption.isEmpty()) {
            const std::optional<QString> station = stationFromIni(ini, error);
            if (!station) {
                return std::nullopt;
            }
            loc->station = *station;
        }
    } else {
        loc = fromIni(ini, error);
        if (!loc) {
            return std::nullopt;
        }
    }
    if (!stationOption.isEmpty()) {
        loc->station = stationOption.trimmed();
        const QString problem = loc->problem();
        if (!problem.isEmpty()) {
            fail(error, problem);
            return std::nullopt;
        }
    }
    return loc;
}

std::optional<DbLocation> DbLocation::fromProgramIni(QString* error) {
    IniFile ini(programPath(QString::fromLatin1(kConfigFileName)));
    ini.load();
    return fromIni(ini, error);
}

}  // namespace zev7
