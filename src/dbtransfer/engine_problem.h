// The database engine's answer as the user reads it: what went wrong in a few words of the
// program's own and the engine's code, never the engine's English text.
#pragma once

#include "db/db_dialect.h"

#include <QSqlError>
#include <QString>

namespace zev7 {

// engine: the dialect of the database that answered; the results database's by default, a
// SQLite file's for an import source. A server answers with its SQLSTATE ("23505").
QString engineProblemText(const QSqlError& error, const DbDialect& engine = dbDialect());
// The same for a failure already told as text with its code in brackets ("... [5]: BEGIN").
QString engineProblemText(const QString& engineText, const DbDialect& engine = dbDialect());

}  // namespace zev7
