#include "db/station_name.h"

#include "core/strings.h"
#include "db/db_connection.h"

namespace zev7 {

QString ownStationName() {
    const QString own = DbConnection::options().station;
    return own.isEmpty() ? txt(str::DbNoStationName) : own;
}

QString stationShownSql(const QString& column) {
    return QStringLiteral("COALESCE(NULLIF(%1, ''), ?)").arg(column);
}

}  // namespace zev7
