#include "dbtransfer/source_rules.h"

#include "core/strings.h"
#include "db/db_dialect.h"
#include "db/db_schema.h"
#include "scenario/result_code.h"

#include <QDate>
#include <QTime>
#include <cmath>
#include <limits>

namespace zev7 {

namespace {

constexpr qint64 kIntMax = std::numeric_limits<qint32>::max();
constexpr qint64 kIntMin = std::numeric_limits<qint32>::min();
constexpr int kFirstYear = 1900;  // no telephone network was measured by this system earlier
constexpr int kDaysInWeek = 7;
constexpr int kLastState = 2;

bool isIntegerVariant(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            return true;
        default:
            return false;
    }
}

// The own table's declaration of the column says NOT NULL.
bool declaredRequired(const QString& table, const QString& column) {
    const TableDef* def = DbSchema::find(table);
    if (def == nullptr) {
        return false;
    }
    for (const QString& decl : def->columns) {
        if (decl.section(QLatin1Char(' '), 0, 0).compare(column, Qt::CaseInsensitive) == 0) {
            return decl.contains(QLatin1String("NOT NULL")) &&
                   !decl.contains(QLatin1String("DEFAULT"));
        }
    }
    return false;
}

}  // namespace

RowRules::RowRules(const QString& table, const TableLayout& layout) {
    const TableLayout own = installedLayout(table);
    for (const FieldDef& f : layout) {
        // The own table's field of that name sets the kind; a field only the older layout has
        // is taken as the source declares it.
        const int at = fieldIndex(own, f.name);
        const FieldDef& def = at >= 0 ? own[at] : f;
        Rule r;
        r.name = f.name;
        switch (def.type) {
            case FieldType::AutoIncrement:
            case FieldType::Integer:
            case FieldType::Short:
                r.kind = Kind::Integer;
                r.min = kIntMin;
                r.max = kIntMax;
                break;
            case FieldType::Real:
                r.kind = Kind::Real;
                break;
            case FieldType::Date:
                r.kind = Kind::Date;
                break;
            case FieldType::Time:
                r.kind = Kind::Time;
                break;
            case FieldType::Text:
                r.kind = Kind::Text;
                r.length = def.size;
                break;
            case FieldType::Other:
                break;
        }
        r.required = r.kind != Kind::Text && declaredRequired(table, f.name);
        const QString name = f.name.toUpper();
        if (name == QLatin1String("CYCLE_ID") || name == QLatin1String("OUT_ID") ||
            name == QLatin1String("IN_ID") || name == QLatin1String("SEANS_ID") ||
            name == QLatin1String("PARAM_RES_ID") || name == QLatin1String("PARAM_CYCLE_ID")) {
            r.min = 1;
        } else if (name.startsWith(QLatin1String("DAY_WEEK"))) {
            r.min = 1;
            r.max = kDaysInWeek;
        } else if (name == QLatin1String("STATE_ID")) {
            r.min = 0;
            r.max = kLastState;
        } else if (name == QLatin1String("CONNECT_ID")) {
            r.outcome = true;
        }
        rules_ << r;
    }
}

QString RowRules::check(const QVariantList& row, qint64 record) const {
    // A source row holds dates and times as a ZEV7 file does, whatever engine receives them.
    const DbDialect& d = sqliteDialect();
    for (int i = 0; i < rules_.size(); ++i) {
        const Rule& r = rules_[i];
        const QVariant v = row.value(i);
        if (v.isNull()) {
            if (r.required) {
                return txt(str::RowEmpty).arg(record).arg(r.name);
            }
            continue;
        }
        bool sound = true;
        switch (r.kind) {
            case Kind::Integer: {
                const qint64 n = v.toLongLong();
                sound = isIntegerVariant(v) && n >= r.min && n <= r.max;
                if (sound && r.outcome) {
                    const int code = static_cast<int>(n);
                    sound = code == resultCodeValue(ResultCode::None) ||
                            resultCodeFromValue(code) != ResultCode::None;
                }
                break;
            }
            case Kind::Real:
                sound = (isIntegerVariant(v) || v.typeId() == QMetaType::Double) &&
                        std::isfinite(v.toDouble());
                break;
            case Kind::Date: {
                const QDate date = v.typeId() == QMetaType::QString ? d.toDate(v) : QDate();
                sound = date.isValid() && date.year() >= kFirstYear;
                break;
            }
            case Kind::Time:
                sound = v.typeId() == QMetaType::QString && d.toTime(v).isValid();
                break;
            case Kind::Text:
                if (v.typeId() != QMetaType::QString) {
                    sound = false;
                } else if (r.length > 0 && v.toString().size() > r.length) {
                    return txt(str::RowTooLong).arg(record).arg(r.name).arg(r.length);
                }
                break;
            case Kind::Any:
                break;
        }
        if (!sound) {
            return txt(str::RowBadValue).arg(record).arg(r.name);
        }
    }
    return {};
}

}  // namespace zev7
