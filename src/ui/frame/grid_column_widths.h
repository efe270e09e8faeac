// The column widths of a grid, kept in "ZEV7.ini" in its window's section as "Column0",
// "Column1", ...: the user widens the number column once and finds it so next time. Grids whose
// model is reset (a new query, the count/percent switch) get the widths back after every reset.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QTableView;

namespace zev7 {

class IniFile;

class GridColumnWidths : public QObject {
    Q_OBJECT

public:
    // The window's main grid has no `key`; a second grid of the same window names itself
    // ("DBGrid2": "DBGrid2.Column0"). The view must have its model.
    explicit GridColumnWidths(QTableView* grid, QString key = {});

    // Applies the widths stored in the section; a missing or implausible value keeps the
    // grid's own width for that column.
    void read(const IniFile& ini, const QString& section);
    // Stores the widths the grid shows now.
    void write(IniFile& ini, const QString& section) const;
    // The widths a column takes while the user has not chosen one (0: the grid's own).
    void setDefaults(const QList<int>& widths);
    // Some column has a width of the user's (read from the file or dragged since).
    bool hasWidths() const;

    // Narrower than this is a damaged file or a column dragged shut by accident.
    static constexpr int kMinWidth = 8;
    static constexpr int kMaxWidth = 2000;

private:
    QString keyOf(int column) const;
    void remember(int column, int width);
    void apply();

    QTableView* grid_;
    QString key_;
    QList<int> widths_;    // chosen by the user or stored; 0: none
    QList<int> defaults_;  // 0: the grid's own width
    bool applying_ = false;
};

}  // namespace zev7
