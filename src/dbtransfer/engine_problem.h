// The database engine's answer as the user reads it: what went wrong in a few words of the
// program's own and the engine's code, never the engine's English text.
#pragma once

#include <QSqlError>
#include <QString>

namespace zev7 {

QString engineProblemText(const QSqlError& error);
// The same for a failure already told as text with its code in brackets ("... [5]: BEGIN").
QString engineProblemText(const QString& engineText);

}  // namespace zev7
