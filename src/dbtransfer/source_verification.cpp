// The second check of a source, after the layouts: every row of every table read once, each
// value against its column's rules, every cycle's numbers present, every measurement's cycle
// present, no identifier twice. Only the identifiers are kept, never the rows.
#include "core/strings.h"
#include "db/db_schema.h"
#include "dbtransfer/result_import.h"
#include "dbtransfer/source_rules.h"

#include <QSet>

namespace zev7 {

namespace {

constexpr int kGaugeFull = 100;

QString refusal(ImportSource& source, const QString& table, const QString& problem) {
    return source.tableName(table) + QStringLiteral(" : ") + txt(str::ImportBadStructure) +
           QLatin1Char('\n') + problem;
}

}  // namespace

QString ResultImporter::checkRows(ImportSource& source, const ImportCallbacks& callbacks) {
    QSet<int> outIds;
    QSet<int> inIds;
    QSet<int> cycleIds;
    for (const char* t : {table::Out, table::In, table::Cycle, table::Seans, table::ResSeans,
                          table::ResCycle, table::SettCycleDec}) {
        const QString name = QLatin1String(t);
        QString problem;
        const TableLayout layout = source.layout(name, &problem).value_or(TableLayout{});
        const RowRules rules(name, layout);
        const int outAt = fieldIndex(layout, QStringLiteral("OUT_ID"));
        const int inAt = fieldIndex(layout, QStringLiteral("IN_ID"));
        const bool numbers = name == QLatin1String(table::Out) || name == QLatin1String(table::In);
        const bool cycles = name == QLatin1String(table::Cycle);
        QSet<int>& keys = name == QLatin1String(table::Out)  ? outIds
                          : name == QLatin1String(table::In) ? inIds
                                                             : cycleIds;
        const QString stage = txt(str::ImportChecking).arg(source.tableName(name));
        const qint64 count = std::max<qint64>(1, source.rowCount(name));
        int gauge = -1;
        const auto visit = [&](const SourceRow& row, qint64 record) {
            problem = rules.check(row, record);
            if (problem.isEmpty() && (numbers || cycles)) {
                // The key is the first field: the number's or the cycle's identifier.
                const int key = row.value(0).toInt();
                if (keys.contains(key)) {
                    problem = txt(str::RowDuplicate).arg(record).arg(layout[0].name).arg(key);
                }
                keys.insert(key);
            }
            if (problem.isEmpty() && cycles) {
                const int out = row.value(outAt).toInt();
                const int in = row.value(inAt).toInt();
                if (!outIds.contains(out)) {
                    problem = txt(str::RowNoNumber)
                                  .arg(record)
                                  .arg(QStringLiteral("OUT_ID"))
                                  .arg(out)
                                  .arg(source.tableName(QLatin1String(table::Out)));
                } else if (!inIds.contains(in)) {
                    problem = txt(str::RowNoNumber)
                                  .arg(record)
                                  .arg(QStringLiteral("IN_ID"))
                                  .arg(in)
                                  .arg(source.tableName(QLatin1String(table::In)));
                }
            }
            if (problem.isEmpty() && !numbers && !cycles &&
                !cycleIds.contains(row.value(0).toInt())) {
                problem = txt(str::RowOrphan).arg(record).arg(row.value(0).toInt());
            }
            const int next = static_cast<int>(record * kGaugeFull / count);
            if (next != gauge && callbacks.progress) {
                gauge = next;
                callbacks.progress(std::min(gauge, kGaugeFull), stage);
            }
            return problem.isEmpty() && !(callbacks.interrupted && callbacks.interrupted());
        };
        if (callbacks.progress) {
            callbacks.progress(0, stage);
        }
        if (!source.scan(name, visit, &problem) || !problem.isEmpty()) {
            return problem.isEmpty() ? QString() : refusal(source, name, problem);
        }
    }
    return {};
}

}  // namespace zev7
