// A grid's model over one query of the database windows: the query's rows fetched as the
// view scrolls, the columns the window shows in its order with their titles, formats and
// alignment, and the colours of single cells (a loss above its norm is red).
#pragma once

#include "dbquery/sql_fragment.h"
#include "scenario/loss_confidence.h"

#include <QHash>
#include <QList>
#include <QSqlQueryModel>
#include <optional>

namespace zev7 {

// LossInterval and LossDecision read no field of their own: they show the confidence of the
// row's verdict (see confidenceAt).
enum class CellFormat { Plain, Fixed2, Date, LossInterval, LossDecision };

struct StatColumn {
    QString field;  // the query's column name
    QString title;
    CellFormat format = CellFormat::Plain;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
};

inline constexpr Qt::Alignment kCentred = Qt::AlignCenter;
inline constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

class StatTableModel : public QSqlQueryModel {
    Q_OBJECT
public:
    explicit StatTableModel(QSqlDatabase db, QObject* parent = nullptr);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // A field of the query in a row, also one the grid does not show (the cycle identifier).
    QVariant value(int row, const QString& field) const;
    // The cell is painted red.
    virtual bool isRed(int row, int column) const;
    // The confidence of the verdict a row carries (its losses, calls and norm), or nothing for
    // a row without a verdict.
    virtual std::optional<LossConfidence> confidenceAt(int row) const;
    const QString& lastError() const { return error_; }

    // The colour the grids paint a value above its norm with.
    static QColor alarmColour();

protected:
    // Runs the query; the grid is empty and lastError() set when it fails.
    bool run(const SqlFragment& sql);
    void setColumns(const QList<StatColumn>& columns);
    const QList<StatColumn>& columns() const { return columns_; }
    int columnOf(const QString& field) const;
    // Background and text colour of a whole row (none by default).
    virtual QVariant rowBackground(int row) const;
    virtual QVariant rowForeground(int row) const;

    QSqlDatabase db_;

private:
    QList<StatColumn> columns_;
    QHash<QString, int> fieldIndex_;
    QString error_;
};

// The confidence of losses of calls against a norm as read from the database: nothing when a
// value is missing.
std::optional<LossConfidence> confidenceOf(const QVariant& losses, const QVariant& calls,
                                           const QVariant& norm);

// "N из M", the label under the grids.
QString rowOfText(int row, int count);

}  // namespace zev7
