// The measuring station a cycle was measured by (Table_Cycle.STATION), as the windows, their
// exports and the tools show it and as the selection compares it. A cycle stored without a
// station (NULL or empty: written before the station was named, or by a version that knew no
// stations, or brought in from such a file) reads as the own station's, DbOptions::station:
// those rows were measured here or come from this station's older files. When the own station
// has no name either, they read as "—". So a station that starts naming itself sees its older
// cycles as its own, and a database of one unnamed station shows a single "—".
#pragma once

#include <QString>

namespace zev7 {

// The name a cycle without a station reads as: the own station's, else "—".
QString ownStationName();

// The SQL expression of the name a cycle reads as, for the station column given; it takes one
// bound value, ownStationName().
QString stationShownSql(const QString& column);

}  // namespace zev7
