// Pieces of SQL that every dialect writes alike.
#pragma once

#include <QString>
#include <QStringList>

namespace zev7::dialect_sql {

inline const QString kListSeparator = QStringLiteral(", ");

inline QString placeholders(int count) {
    QStringList marks;
    marks.reserve(count);
    for (int i = 0; i < count; ++i) {
        marks << QStringLiteral("?");
    }
    return marks.join(kListSeparator);
}

// "INSERT INTO t (a, b) VALUES (?, ?)".
inline QString insertRow(const QString& table, const QStringList& columns) {
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(table, columns.join(kListSeparator), placeholders(static_cast<int>(columns.size())));
}

inline QString conflictTarget(const QStringList& keyColumns) {
    return keyColumns.isEmpty() ? QString()
                                : QStringLiteral(" (%1)").arg(keyColumns.join(kListSeparator));
}

}  // namespace zev7::dialect_sql
