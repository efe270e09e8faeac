// The common frame of the statistics windows: the speed buttons that open the other statistics
// windows, one grid over a statistics model whose column widths live in the window's section,
// and the report of a query that failed.
#pragma once

#include "dbui/word_export.h"
#include "ui/frame/mdi_child.h"

class QBoxLayout;
class QTableView;
class QToolButton;

namespace zev7 {

class GridColumnWidths;
class StatTableModel;
class UserMessages;

enum class StatWindowKind { CycleStat, CycleCalls, CycleSettings, Summary, ParamStats };

// Each window's grid can be exported; the window says under which heading and on which page.
class StatWindow : public MdiChild, public ExportableGrid {
    Q_OBJECT

public:
    // The help topic of the statistics windows.
    static constexpr int kHelpContext = 52;

    StatWindow(const QString& caption, IniFile* ini, UserMessages* messages,
               QWidget* parent = nullptr);

    QTableView* grid() const { return grid_; }
    QToolButton* speedButton(StatWindowKind kind) const;
    const QTableView& exportGrid() const override { return *grid_; }

    // Every column of the grid and a page of its rows: the window opens showing them.
    QSize sizeHint() const override;

signals:
    // A speed button asks for another statistics window.
    void openRequested(StatWindowKind kind);

protected:
    // Puts the grid over the model (made by the subclass, child of this window) below the
    // subclass's own controls, which go into topLayout() before or after.
    // Columns start as wide as their titles; `wider` gives the first ones (names, numbers)
    // their own widths (0: the title's).
    void setModel(StatTableModel* model, const QList<int>& wider = {});
    QBoxLayout* topLayout() const { return top_; }
    QBoxLayout* mainLayout() const { return main_; }
    // After a query: false and the engine's text shown when it failed.
    bool reportQuery(bool ok, const StatTableModel& model);

    void writeSettings(IniFile& ini, const QString& section) override;
    void readSettings(const IniFile& ini, const QString& section) override;

private:
    UserMessages* messages_;
    QBoxLayout* main_;
    QBoxLayout* top_;
    QTableView* grid_;
    GridColumnWidths* widths_ = nullptr;
    QToolButton* buttons_[5] = {};
};

// The window's title and hint of each kind.
QString statWindowCaption(StatWindowKind kind);

}  // namespace zev7
