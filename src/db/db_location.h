// Where the results are kept, as the user writes it: the section "[База данных]" of ZEV7.ini
// (Driver, Host, Port, Name, User, Station), or an address "postgresql://user@host:port/name"
// (the tools' --db and the variable ZEV7_DB). Both turn into the same DbOptions. Every value is
// checked before it is used; a value that does not pass is refused with the table's message
// and never replaced by a default, so that no result is written anywhere but where the user
// meant. The password is never part of it: libpq takes it from ~/.pgpass or PGPASSWORD.
#pragma once

#include "db/db_connection.h"
#include "db/db_schema.h"

#include <QString>
#include <optional>

namespace zev7 {

class IniFile;

inline constexpr char kDbIniSection[] = "База данных";
inline constexpr char kDbUrlEnvironment[] = "ZEV7_DB";
// The one word of --db and ZEV7_DB that names the file under the program directory (and so
// sets aside a server named in ZEV7.ini).
inline constexpr char kDbUrlSqlite[] = "sqlite";

class DbLocation {
public:
    enum class Driver { Sqlite, Postgres };

    // A station's name is shown in the tables beside each cycle: a short word, as long as its
    // column holds.
    static constexpr int kStationMaxChars = kStationLength;
    // The server cuts longer names of databases and users (its NAMEDATALEN less one).
    static constexpr int kServerNameMaxBytes = 63;
    static constexpr int kHostMaxChars = 253;
    static constexpr int kMaxPort = 65535;

    Driver driver = Driver::Sqlite;
    // Empty parts and port 0: libpq's own choice (PGHOST, PGPORT, PGUSER, PGDATABASE, then the
    // local server on 5432).
    QString host;
    int port = 0;
    QString name;
    QString user;
    QString station;

    bool onServer() const { return driver == Driver::Postgres; }
    // The first value that is not allowed, as the user reads it; empty when all are.
    QString problem() const;

    // "[База данных]" of the file; a missing section or key is the default (SQLite, no
    // station). nullopt, with the message in *error, for any value that does not pass.
    static std::optional<DbLocation> fromIni(const IniFile& ini, QString* error);
    // Writes every key of the section (the server's keys stay when SQLite is chosen, so that
    // switching back needs no retyping).
    void toIni(IniFile& ini) const;

    // The section of `from` put in place of the one in `to`, value for value, whatever they
    // hold: a configuration set brings the windows' places, never another database. False when
    // `to` held the same already (and was left as it was).
    static bool keepIniSection(const IniFile& from, IniFile& to);

    // "postgresql://user@host:port/name" (also "postgres://"; every part may be left out) or
    // "sqlite". The station is not part of an address and stays empty.
    static std::optional<DbLocation> fromUrl(const QString& url, QString* error);
    // The address of the server; empty for SQLite.
    QString url() const;

    static DbLocation fromOptions(const DbOptions& options);
    // `base` with this place and station; its time-outs and commit safety kept.
    DbOptions toOptions(DbOptions base = {}) const;

    // A tool's choice, highest first: the --db value, the variable ZEV7_DB, "[База данных]" of
    // ZEV7.ini in the program directory, the file. The --station value, when given, replaces
    // the station. nullopt with the message (naming where the bad value stood) in *error.
    static std::optional<DbLocation> forTool(const QString& dbOption, const QString& stationOption,
                                             QString* error);
    // The desktop program's choice: ZEV7.ini of the program directory only.
    static std::optional<DbLocation> fromProgramIni(QString* error);

    bool operator==(const DbLocation&) const = default;
};

}  // namespace zev7
