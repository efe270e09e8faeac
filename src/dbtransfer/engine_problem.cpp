#include "dbtransfer/engine_problem.h"

#include "core/strings.h"

#include <sqlite3.h>
#include <QRegularExpression>

namespace zev7 {

namespace {

// A server's SQLSTATE: five letters and digits, the first two naming the class.
QString serverProblemText(const QString& state) {
    const QString cls = state.left(2);
    if (cls == QLatin1String("XX")) {
        return txt(str::EngineCorrupt).arg(state);
    }
    if (postgresDialect().isBusyError(state)) {
        return txt(str::EngineBusy).arg(state);
    }
    if (cls == QLatin1String("53")) {
        return txt(str::EngineFull).arg(state);
    }
    if (state == QLatin1String("25006") || state == QLatin1String("42501") ||
        cls == QLatin1String("28")) {
        return txt(str::EngineReadOnly).arg(state);
    }
    if (cls == QLatin1String("22") || cls == QLatin1String("23")) {
        return txt(str::EngineConstraint).arg(state);
    }
    return txt(str::EngineOther).arg(state);
}

}  // namespace

QString engineProblemText(const QSqlError& error, const DbDialect& engine) {
    const QString native = error.nativeErrorCode().trimmed();
    if (&engine == &postgresDialect()) {
        return serverProblemText(native);
    }
    bool known = false;
    const int code = native.toInt(&known);
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

QString engineProblemText(const QString& engineText, const DbDialect& engine) {
    static const QRegularExpression code(QStringLiteral("\\[([0-9A-Z]+)\\]"));
    const QRegularExpressionMatch m = code.match(engineText);
    return engineProblemText(
        QSqlError({}, {}, QSqlError::UnknownError, m.hasMatch() ? m.captured(1) : QString()),
        engine);
}

}  // namespace zev7
