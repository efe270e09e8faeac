// What every value of a source table must be before anything of the source is written: the
// type and size of its column in the own database (a 20-character number part is no longer
// than 20 characters, a date is a date of the calendar), present where the own table needs
// it, and within the range the program ever writes (days of the week 1..7, the cycle states,
// the test-call outcomes, identifiers from 1).
#pragma once

#include "dbtransfer/source_layout.h"

#include <QList>
#include <QString>
#include <QVariantList>

namespace zev7 {

class RowRules {
public:
    // table: a result table; layout: the fields as the source has them (also the older layout).
    RowRules(const QString& table, const TableLayout& layout);

    // The problem of the row, numbered `record` from 1, as one line; empty when it is sound.
    QString check(const QVariantList& row, qint64 record) const;

    // The longest text a column may hold, 0 for a column that is no text.
    int textLimit(int column) const { return rules_.value(column).length; }

private:
    enum class Kind { Integer, Real, Date, Time, Text, Any };
    struct Rule {
        QString name;
        Kind kind = Kind::Any;
        int length = 0;
        bool required = false;
        qint64 min = 0;
        qint64 max = 0;
        bool outcome = false;  // a test-call outcome code
    };

    QList<Rule> rules_;
};

}  // namespace zev7
