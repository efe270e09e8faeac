#include "dbtransfer/engine_problem.h"

#include "core/strings.h"

#include <sqlite3.h>
#include <QRegularExpression>

namespace zev7 {

QString engineProblemText(const QSqlError& error) {
    bool known = false;
    const int code = error.nativeErrorCode().toInt(&known);
    // The primary code is the low byte of an extended one.
    switch (known ? code & 0xFF : -1) {
        case SQLITE_CORRUPT:
            return txt(str::EngineCorrupt).arg(code);
        case SQLITE_NOTADB:
            return txt(str::EngineNotDatabase).arg(code);
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return txt(str::EngineBusy).arg(code);
        case SQLITE_FULL:
            return txt(str::EngineFull).arg(code);
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_CANTOPEN:
            return txt(str::EngineReadOnly).arg(code);
        case SQLITE_CONSTRAINT:
        case SQLITE_MISMATCH:
        case SQLITE_TOOBIG:
            return txt(str::EngineConstraint).arg(code);
        default:
            return txt(str::EngineOther).arg(known ? code : -1);
    }
}

QString engineProblemText(const QString& engineText) {
    static const QRegularExpression code(QStringLiteral("\\[(\\d+)\\]"));
    const QRegularExpressionMatch m = code.match(engineText);
    return engineProblemText(
        QSqlError({}, {}, QSqlError::UnknownError, m.hasMatch() ? m.captured(1) : QString()));
}

}  // namespace zev7
