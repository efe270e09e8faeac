// A piece of SQL with the values it needs, bound in order to its '?' placeholders. Whatever the
// user types or picks travels as such a value, never as text inside the statement.
#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

namespace zev7 {

struct SqlFragment {
    QString sql;
    QVariantList values;

    SqlFragment() = default;
    SqlFragment(const QString& text, const QVariantList& bound = {}) : sql(text), values(bound) {}
    SqlFragment(const char* text) : sql(QString::fromLatin1(text)) {}

    SqlFragment& operator+=(const SqlFragment& other) {
        sql += other.sql;
        values += other.values;
        return *this;
    }
    SqlFragment& operator+=(const QString& text) {
        sql += text;
        return *this;
    }
    bool isEmpty() const { return sql.trimmed().isEmpty(); }
};

inline SqlFragment operator+(SqlFragment a, const SqlFragment& b) {
    a += b;
    return a;
}

// Prepares the statement on db, binds its values and runs it. false with the engine's text in
// *error when any of that fails.
bool execFragment(QSqlQuery& query, const SqlFragment& statement, QString* error = nullptr);
bool execFragment(QSqlDatabase& db, const SqlFragment& statement, QString* error = nullptr);

// Identifiers joined by "," for an IN list: numbers the program itself read from the database.
QString idList(const QList<int>& ids);

}  // namespace zev7
