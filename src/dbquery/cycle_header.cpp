#include "dbquery/cycle_header.h"

#include "db/db_dialect.h"
#include "dbquery/selection_lists.h"
#include "dbquery/sql_fragment.h"

#include <QSqlQuery>

namespace zev7 {

CycleHeader readCycleHeader(QSqlDatabase db, int cycleId, QString* error) {
    // The stored cycle, not the working copy: the heading stays right for a cycle that has left
    // the selection while its window was open.
    QSqlQuery q(db);
    if (!execFragment(
            q,
            SqlFragment(QStringLiteral("SELECT CYC.OUT_TELNUM, CYC.IN_TELNUM, STATE1.STATE_STR, "
                                       "(SELECT RESCYC1.RESCYC_VALUE_CNT FROM TABLE_RESCYCLE "
                                       "RESCYC1 WHERE RESCYC1.CYCLE_ID=CYC.CYCLE_ID AND "
                                       "RESCYC1.PARAM_RES_ID=1), CYC.DATE_ON, CYC.TIME_ON FROM "
                                       "TABLE_CYCLE CYC LEFT JOIN TABLE_CYCLESTATE STATE1 ON "
                                       "STATE1.STATE_ID=CYC.STATE_ID WHERE CYC.CYCLE_ID=?"),
                        {cycleId}),
            error) ||
        !q.next()) {
        return {};
    }
    CycleHeader h;
    h.cycleId = cycleId;
    h.outNumber = displayNumber(q.value(0).toString().trimmed());
    h.inNumber = displayNumber(q.value(1).toString().trimmed());
    h.state = q.value(2).toString();
    h.attempts = q.value(3).toInt();
    h.dateOn = dbDialect().toDate(q.value(4));
    h.timeOn = dbDialect().toTime(q.value(5));
    return h;
}

}  // namespace zev7
