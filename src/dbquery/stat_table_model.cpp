#include "dbquery/stat_table_model.h"

#include "core/count_text.h"
#include "core/strings.h"
#include "db/db_dialect.h"
#include "db/db_transaction.h"

#include <QColor>
#include <QSqlRecord>

namespace zev7 {

StatTableModel::StatTableModel(QSqlDatabase db, QObject* parent)
    : QSqlQueryModel(parent), db_(std::move(db)) {}

int StatTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant StatTableModel::value(int row, const QString& field) const {
    const auto it = fieldIndex_.constFind(field.toUpper());
    if (it == fieldIndex_.constEnd() || row < 0 || row >= rowCount()) {
        return {};
    }
    return QSqlQueryModel::data(createIndex(row, it.value()), Qt::DisplayRole);
}

int StatTableModel::columnOf(const QString& field) const {
    for (int c = 0; c < columns_.size(); ++c) {
        if (columns_[c].field == field) {
            return c;
        }
    }
    return -1;
}

QVariant StatTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= columns_.size()) {
        return {};
    }
    const StatColumn& col = columns_[index.column()];
    switch (role) {
        case Qt::DisplayRole: {
            if (col.format == CellFormat::LossInterval || col.format == CellFormat::LossDecision) {
                const std::optional<LossConfidence> c = confidenceAt(index.row());
                if (!c) {
                    return QString();
                }
                return col.format == CellFormat::LossInterval ? c->intervalText()
                                                              : c->decisionText();
            }
            const QVariant v = value(index.row(), col.field);
            if (v.isNull()) {
                return QString();
            }
            if (col.format == CellFormat::Fixed2) {
                return QString::number(v.toDouble(), 'f', 2);
            }
            if (col.format == CellFormat::Date) {
                return dbDialect().toDate(v).toString(QStringLiteral("dd.MM.yyyy"));
            }
            // The counts are stored as floating-point numbers; the view's own format would
            // show a million calls as "1e+06".
            return countText(v);
        }
        case Qt::ToolTipRole:
            // The decision in full where its column is narrower than the text.
            return col.format == CellFormat::LossDecision ? data(index, Qt::DisplayRole)
                                                          : QVariant();
        case Qt::TextAlignmentRole:
            return static_cast<int>(col.align);
        case Qt::BackgroundRole: {
            const QVariant row = rowBackground(index.row());
            if (row.isValid()) {
                return row;
            }
            return isRed(index.row(), index.column()) ? QVariant::fromValue(alarmColour())
                                                      : QVariant();
        }
        case Qt::ForegroundRole:
            return rowForeground(index.row());
        default:
            return {};
    }
}

QVariant StatTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columns_.size()) {
        return columns_[section].title;
    }
    return QSqlQueryModel::headerData(section, orientation, role);
}

bool StatTableModel::isRed(int, int) const {
    return false;
}

std::optional<LossConfidence> StatTableModel::confidenceAt(int) const {
    return std::nullopt;
}

std::optional<LossConfidence> confidenceOf(const QVariant& losses, const QVariant& calls,
                                           const QVariant& norm) {
    if (losses.isNull() || calls.isNull() || norm.isNull()) {
        return std::nullopt;
    }
    return LossConfidence(losses.toDouble(), calls.toDouble(), norm.toDouble());
}

QColor StatTableModel::alarmColour() {
    return QColor(Qt::red);
}

QVariant StatTableModel::rowBackground(int) const {
    return {};
}

QVariant StatTableModel::rowForeground(int) const {
    return {};
}

bool StatTableModel::run(const SqlFragment& sql) {
    error_.clear();
    QSqlQuery q(db_);
    if (!execFragment(q, sql, &error_)) {
        clear();
        fieldIndex_.clear();
        return false;
    }
    // The field positions change with the query; the model's reset below tells the views.
    fieldIndex_.clear();
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i) {
        // A server gives the names in small letters.
        fieldIndex_.insert(rec.fieldName(i).toUpper(), i);
    }
    setQuery(std::move(q));
    return true;
}

void StatTableModel::setColumns(const QList<StatColumn>& columns) {
    beginResetModel();
    columns_ = columns;
    endResetModel();
}

QString rowOfText(int row, int count) {
    return QStringLiteral("%1 %2 %3").arg(row).arg(txt(str::DbRowOf)).arg(count);
}

}  // namespace zev7
