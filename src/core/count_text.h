// Counts of calls, losses and cycles as the users read them: every digit, never an exponent
// ("1e+06") and never rounded ("1.00012e+06"). The database keeps its counts as floating-point
// numbers, so a count read from it is a double, and a double left to Qt's general format
// loses its digits from a million calls on.
#pragma once

#include <QString>

class QVariant;

namespace zev7 {

QString countText(double count);
// A count read from the database: empty when it is null, a text as it stands.
QString countText(const QVariant& count);

}  // namespace zev7
