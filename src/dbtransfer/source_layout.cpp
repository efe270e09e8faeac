#include "dbtransfer/source_layout.h"

#include "db/db_schema.h"

namespace zev7 {

namespace {

constexpr int kIntegerSize = 4;
constexpr int kRealSize = 8;

FieldDef autoKey(const char* name) {
    return {QLatin1String(name), FieldType::AutoIncrement, kIntegerSize};
}
FieldDef integer(const char* name) {
    return {QLatin1String(name), FieldType::Integer, kIntegerSize};
}
FieldDef date(const char* name) {
    return {QLatin1String(name), FieldType::Date, kIntegerSize};
}
FieldDef time(const char* name) {
    return {QLatin1String(name), FieldType::Time, kIntegerSize};
}
FieldDef real(const char* name) {
    return {QLatin1String(name), FieldType::Real, kRealSize};
}
FieldDef text(const char* name, int length) {
    return {QLatin1String(name), FieldType::Text, length};
}

TableLayout numberTable(const char* key) {
    TableLayout t{autoKey(key)};
    for (const char* part :
         {"HIER_ATX", "BEF_CALL", "CODE_CITY", "ADD_CODE", "NUM_ATX", "NUM_ON_ATX", "ADD_CALL"}) {
        t << text(part, kNumberPartLength);
    }
    return t;
}

}  // namespace

QString sourceFileName(const QString& table) {
    return table + QStringLiteral(".db");
}

TableLayout installedLayout(const QString& table) {
    const TableDef* def = DbSchema::find(table);
    if (def == nullptr) {
        return {};
    }
    const QString& name = def->name;
    if (name == QLatin1String(table::Out)) {
        return numberTable("OUT_ID");
    }
    if (name == QLatin1String(table::In)) {
        return numberTable("IN_ID");
    }
    if (name == QLatin1String(table::Cycle)) {
        return {autoKey("CYCLE_ID"),
                integer("OUT_ID"),
                integer("IN_ID"),
                date("DATE_ON"),
                time("TIME_ON"),
                integer("DAY_WEEK_ON_ID"),
                date("DATE_OFF"),
                time("TIME_OFF"),
                integer("DAY_WEEK_OFF_ID"),
                integer("STATE_ID"),
                text("OUT_TELNUM", kTelNumTextLength),
                text("IN_TELNUM", kTelNumTextLength)};
    }
    if (name == QLatin1String(table::Seans)) {
        return {integer("CYCLE_ID"), integer("SEANS_ID"),    date("DATE_ON"),
                time("TIME_ON"),     integer("DAY_WEEK_ID"), date("DATE_OFF"),
                time("TIME_OFF"),    time("DURATION_SEANS"), integer("CONNECT_ID")};
    }
    if (name == QLatin1String(table::ResSeans)) {
        return {integer("CYCLE_ID"), integer("SEANS_ID"), real("RES_ATT"), real("RES_AS_LEV"),
                real("RES_DC_LEV")};
    }
    if (name == QLatin1String(table::ResCycle)) {
        return {integer("CYCLE_ID"), integer("PARAM_RES_ID"), real("RESCYC_VALUE_CNT"),
                real("RESCYC_VALUE_PERC")};
    }
    if (name == QLatin1String(table::SettCycleDec)) {
        return {integer("CYCLE_ID"), integer("PARAM_CYCLE_ID"), real("SETCYC_VALUE")};
    }
    return {};
}

int fieldIndex(const TableLayout& layout, const QString& name) {
    for (int i = 0; i < layout.size(); ++i) {
        if (layout[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

bool isOldResCycleLayout(const TableLayout& layout) {
    constexpr int kFields = 4;
    constexpr int kKindField = 2;
    return layout.size() == kFields &&
           (layout[kKindField].type == FieldType::Integer ||
            layout[kKindField].type == FieldType::Short) &&
           layout[kKindField].name.compare(QLatin1String("PARAM_RESCYC_ID"), Qt::CaseInsensitive) ==
               0 &&
           fieldIndex(layout, QStringLiteral("CYCLE_ID")) >= 0 &&
           fieldIndex(layout, QStringLiteral("PARAM_RES_ID")) >= 0 &&
           fieldIndex(layout, QStringLiteral("RESCYC_VALUE")) >= 0;
}

bool isOldResSeansLayout(const TableLayout& layout) {
    constexpr int kFields = 7;
    constexpr int kMarkField = 4;
    // The measurements copied from it must be there under their names too.
    return layout.size() == kFields &&
           layout[kMarkField].name.compare(QLatin1String("RES_AS_DEL"), Qt::CaseInsensitive) == 0 &&
           fieldIndex(layout, QStringLiteral("CYCLE_ID")) >= 0 &&
           fieldIndex(layout, QStringLiteral("SEANS_ID")) >= 0 &&
           fieldIndex(layout, QStringLiteral("RES_ATT")) >= 0 &&
           fieldIndex(layout, QStringLiteral("RES_AS_LEV")) >= 0 &&
           fieldIndex(layout, QStringLiteral("RES_DC_LEV")) >= 0;
}

}  // namespace zev7
