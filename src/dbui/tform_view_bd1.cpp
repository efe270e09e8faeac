#include "dbui/tform_view_bd1.h"

#include "core/count_text.h"
#include "core/strings.h"
#include "dbquery/stat_table_model.h"
#include "dbui/marked_cell_delegate.h"
#include "dbui/tform_filter_rec.h"
#include "dbui/tform_interface_bd.h"
#include "dbui/wait_cursor.h"
#include "dbui/word_export.h"
#include "scenario/user_messages.h"
#include "ui/frame/grid_column_widths.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace zev7 {

namespace {
constexpr int kTotalsColumns = 7;  // the designed five, the interval and its decision
constexpr int kFixedDecimals = 2;
constexpr int kButtonGroupGap = 16;  // between the selection's commands and its windows
constexpr int kCellMargin = 12;      // around a cell's text

QString fixed2(const QVariant& v) {
    return v.isNull() ? QString() : QString::number(v.toDouble(), 'f', kFixedDecimals);
}
}  // namespace

TForm_ViewBD1::TForm_ViewBD1(QSqlDatabase db, UserMessages& messages, IniFile* ini, QWidget* parent)
    : MdiChild(txt(str::DbViewCaption), kDatabaseHelpContext, ini, parent),
      db_(db),
      messages_(messages),
      selection_(db),
      csvExport_(db, messages) {
    setObjectName(windowName());
    list_ = new CycleListModel(db, this);

    auto* layout = new QVBoxLayout(this);
    auto* period = new QHBoxLayout;
    const char* labels[] = {str::DbSelDateFrom, str::DbSelUntil, str::DbSelTimeFrom,
                            str::DbSelUntil};
    const char* names[] = {"DateOn_Edit", "DateOff_Edit", "TimeOn_Edit", "TimeOff_Edit"};
    for (int i = 0; i < 4; ++i) {
        period->addWidget(new QLabel(txt(labels[i]), this));
        periodEdits_[i] = new QLineEdit(this);
        periodEdits_[i]->setObjectName(QString::fromLatin1(names[i]));
        periodEdits_[i]->setReadOnly(true);
        period->addWidget(periodEdits_[i]);
    }
    period->addStretch(1);
    layout->addLayout(period);
    layout->addWidget(makeButtons());

    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    grid_->setModel(list_);
    grid_->setItemDelegate(new MarkedCellDelegate(grid_));
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    // The decision, last, takes whatever width the grid has left, so that it is shown whole
    // wherever there is room for it.
    grid_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(grid_, 1);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TForm_ViewBD1::rowChanged);
    listWidths_ = new GridColumnWidths(grid_);

    auto* under = new QHBoxLayout;
    included_ = new QCheckBox(txt(str::DbViewCycleIncluded), this);
    included_->setObjectName(QStringLiteral("CycleCheck_CB"));
    rowLabel_ = new QLabel(this);
    rowLabel_->setObjectName(QStringLiteral("Row_Label"));
    under->addWidget(included_);
    under->addStretch(1);
    under->addWidget(rowLabel_);
    layout->addLayout(under);
    connect(included_, &QCheckBox::toggled, this, &TForm_ViewBD1::includedToggled);

    totalsGrid_ = new QTableWidget(1, kTotalsColumns, this);
    totalsGrid_->setObjectName(QStringLiteral("DBGrid2"));
    totalsGrid_->setHorizontalHeaderLabels(SelectionTotals::headers());
    totalsGrid_->verticalHeader()->hide();
    // The decision takes the row's free width: its text is whole also where the column widths
    // were stored by a version without it.
    totalsGrid_->horizontalHeader()->setStretchLastSection(true);
    totalsGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    totalsGrid_->setFixedHeight(totalsGrid_->horizontalHeader()->sizeHint().height() +
                                totalsGrid_->verticalHeader()->defaultSectionSize() + 4);
    layout->addWidget(totalsGrid_);
    totalsWidths_ = new GridColumnWidths(totalsGrid_, totalsGrid_->objectName());
    updateCommands();
}

TForm_ViewBD1::~TForm_ViewBD1() {
    // A window closed by the program (not by the user) still leaves the working tables empty.
    if (!emptied_) {
        closeQueries();
        selection_.clear();
    }
}

QWidget* TForm_ViewBD1::makeButtons() {
    // The whole selection's commands and windows on the first row, the current cycle's on the
    // second: two rows that fit a window narrower than the screen.
    auto* bar = new QWidget(this);
    auto* rows = new QVBoxLayout(bar);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    rows->addLayout(row);
    const auto button = [&](const char* name, const char* text) {
        auto* b = new QPushButton(txt(text), bar);
        b->setObjectName(QString::fromLatin1(name));
        row->addWidget(b);
        return b;
    };
    QPushButton* refresh = button("Refresh_Button", str::DbSelRefresh);
    QPushButton* itog = button("Itog_Button", str::DbViewTotals);
    QPushButton* filterOn = button("FilterOn_Button", str::DbViewFilterOn);
    filterOff_ = button("FilterOff_Button", str::DbViewFilterOff);
    row->addSpacing(kButtonGroupGap);
    QPushButton* summary = button("StatItog_Button", str::DbViewSummary);
    QPushButton* params = button("StatParams_Button", str::DbViewParamStats);
    QPushButton* itogDiagram = button("ItogDiagram_Button", str::GraphDbSummaryDiagram);
    row->addStretch(1);
    row = new QHBoxLayout;
    rows->addLayout(row);
    QPushButton* stat = button("StatCycle_Button", str::DbViewCycleStat);
    QPushButton* calls = button("SeansCycle_Button", str::DbViewCycleCalls);
    QPushButton* settings = button("SetCycle_Button", str::DbViewCycleSettings);
    QPushButton* diagram = button("Diagram_Button", str::GraphDbCycleDiagram);
    // The export of the whole list at the second row's end, where the first row, full of the
    // selection's windows, has no room left in a window of the older, narrower size.
    row->addStretch(1);
    QPushButton* csv = button("ExportCsv_Button", str::CsvExportButton);
    cycleButtons_ = {stat, calls, settings, diagram};

    connect(refresh, &QPushButton::clicked, this, &TForm_ViewBD1::refreshSelection);
    connect(itog, &QPushButton::clicked, this, &TForm_ViewBD1::computeTotals);
    connect(filterOn, &QPushButton::clicked, this, &TForm_ViewBD1::openFilterDialog);
    connect(csv, &QPushButton::clicked, this,
            [this] { csvExport_.run(this, filter_, excludedCycleIds()); });
    connect(filterOff_, &QPushButton::clicked, this, &TForm_ViewBD1::clearFilter);
    connect(stat, &QPushButton::clicked, this,
            [this] { emit cycleStatRequested(currentCycleId()); });
    connect(calls, &QPushButton::clicked, this,
            [this] { emit cycleCallsRequested(currentCycleId()); });
    connect(settings, &QPushButton::clicked, this,
            [this] { emit cycleSettingsRequested(currentCycleId()); });
    // The windows of the selection start from its totals.
    const auto withTotals = [this](void (TForm_ViewBD1::*request)()) {
        if (!totalsShown_) {
            computeTotals();
        }
        emit(this->*request)();
    };
    connect(summary, &QPushButton::clicked, this,
            [withTotals] { withTotals(&TForm_ViewBD1::summaryRequested); });
    connect(params, &QPushButton::clicked, this, &TForm_ViewBD1::paramStatsRequested);
    connect(diagram, &QPushButton::clicked, this,
            [this] { emit cycleDiagramRequested(currentCycleId()); });
    connect(itogDiagram, &QPushButton::clicked, this,
            [withTotals] { withTotals(&TForm_ViewBD1::summaryDiagramRequested); });
    return bar;
}

bool TForm_ViewBD1::loadSelection(const SelectionCriteria& criteria) {
    const QString texts[] = {criteria.period.dateOn, criteria.period.dateOff,
                             criteria.period.timeOn, criteria.period.timeOff};
    for (int i = 0; i < 4; ++i) {
        periodEdits_[i]->setText(texts[i]);
    }
    bool loaded = false;
    {
        const WaitCursor wait;
        closeQueries();
        loaded = selection_.load(criteria);
    }
    if (!loaded) {
        reportError(selection_.lastError());
    }
    emptied_ = false;
    reloadList();
    return loaded;
}

QList<int> TForm_ViewBD1::excludedCycleIds() const {
    return list_->excludedCycleIds();
}

int TForm_ViewBD1::currentCycleId() const {
    const int row = grid_->currentIndex().row();
    return row >= 0 && row < list_->rowCount() ? list_->cycleId(row) : 0;
}

void TForm_ViewBD1::computeTotals() {
    {
        const WaitCursor wait;
        totals_ = selection_.totals(excludedCycleIds(), filter_);
    }
    reportError(selection_.lastError());
    totalsShown_ = true;
    showTotals();
    emit selectionChanged(excludedCycleIds(), filter_);
}

void TForm_ViewBD1::refreshSelection() {
    const QList<int> dropped = excludedCycleIds();
    {
        const WaitCursor wait;
        closeQueries();
        if (!selection_.drop(dropped)) {
            reportError(selection_.lastError());
        }
    }
    reloadList();
}

void TForm_ViewBD1::applyFilter(const RecordFilter& filter) {
    const SqlFilter sql = filter.toSql();
    if (!sql.isOn()) {
        return;
    }
    filter_ = sql;
    reloadList();
}

void TForm_ViewBD1::clearFilter() {
    filter_ = SqlFilter{};
    reloadList();
}

void TForm_ViewBD1::openFilterDialog() {
    TForm_FilterRec dialog(db_, messages_, iniFile(), this);
    if (dialog.exec() == QDialog::Accepted) {
        applyFilter(dialog.filter());
    }
}

void TForm_ViewBD1::showCycle(int cycleId) {
    if (cycleId == currentCycleId()) {
        return;
    }
    const int row = list_->rowOfCycle(cycleId);
    if (row >= 0) {
        grid_->setCurrentIndex(list_->index(row, 0));
    }
}

void TForm_ViewBD1::reloadList() {
    {
        const WaitCursor wait;
        if (!list_->load(filter_)) {
            reportError(list_->lastError());
        }
    }
    if (!listWidths_->hasWidths() && list_->rowCount() > 0) {
        // Nothing stored yet: the columns take the width of their titles and first rows, and
        // keep it from then on.
        grid_->resizeColumnsToContents();
        fitListToWidth();
        totalsGrid_->resizeColumnsToContents();
        // The totals row is still empty: its interval and decision get room for their longest
        // texts.
        const QFontMetrics metrics = totalsGrid_->fontMetrics();
        const QString widest[] = {
            txt(str::ConfidenceInterval).arg(QStringLiteral("100.00"), QStringLiteral("100.00")),
            txt(str::ConfidenceUndecided).arg(QStringLiteral("99999"))};
        for (int i = 0; i < 2; ++i) {
            const int column = kTotalsColumns - 2 + i;
            totalsGrid_->setColumnWidth(
                column, std::max(totalsGrid_->columnWidth(column),
                                 metrics.horizontalAdvance(widest[i]) + kCellMargin));
        }
    }
    // The totals row belonged to the previous list; "Получить итог" computes it again.
    totals_ = SelectionTotals{};
    totalsShown_ = false;
    showTotals();
    if (list_->rowCount() > 0) {
        grid_->setCurrentIndex(list_->index(0, 0));
    }
    rowChanged();
    updateCommands();
    emit selectionChanged(excludedCycleIds(), filter_);
}

void TForm_ViewBD1::fitListToWidth() {
    if (!grid_->isVisible()) {
        return;
    }
    QHeaderView* header = grid_->horizontalHeader();
    int total = 0;
    for (int c = 0; c < header->count(); ++c) {
        total += header->sectionSize(c);
    }
    const int over = total - grid_->viewport()->width();
    // The decision ("не доказано, ещё вызовов: …") is the widest text of a row: it gives up the
    // width that would hide it, down to its title's; its tip shows it whole.
    const int last = header->count() - 1;
    if (over > 0 && last >= 0) {
        header->resizeSection(
            last, std::max(header->sectionSize(last) - over, header->sectionSizeHint(last)));
    }
}

void TForm_ViewBD1::rowChanged() {
    const int row = grid_->currentIndex().row();
    {
        const QSignalBlocker quiet(included_);
        included_->setChecked(row < 0 || list_->isIncluded(row));
    }
    rowLabel_->setText(rowOfText(row < 0 ? 0 : row + 1, list_->totalRows()));
    updateCommands();
    emit currentCycleChanged(currentCycleId());
}

void TForm_ViewBD1::includedToggled(bool on) {
    const int row = grid_->currentIndex().row();
    if (row < 0) {
        return;
    }
    list_->setIncluded(row, on);
    updateCommands();
}

void TForm_ViewBD1::showTotals() {
    const std::optional<LossConfidence> confidence = totals_.confidence();
    const QStringList cells = totalsShown_
                                  ? QStringList{txt(str::DbTotalsCaption),
                                                countText(totals_.attempts),
                                                countText(totals_.losses),
                                                fixed2(totals_.percent),
                                                fixed2(totals_.minNorm),
                                                confidence ? confidence->intervalText() : QString(),
                                                confidence ? confidence->decisionText() : QString()}
                                  : QStringList{txt(str::DbTotalsCaption), {}, {}, {}, {}, {}, {}};
    for (int c = 0; c < kTotalsColumns; ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        item->setTextAlignment(c == 0                    ? kCentred
                               : c == kTotalsColumns - 1 ? Qt::AlignLeft | Qt::AlignVCenter
                                                         : kRight);
        if (c == 3 && totalsShown_ && totals_.aboveNorm()) {
            item->setBackground(StatTableModel::alarmColour());
        }
        totalsGrid_->setItem(0, c, item);
    }
}

void TForm_ViewBD1::updateCommands() {
    const bool hasRow = grid_->currentIndex().isValid();
    for (QPushButton* b : cycleButtons_) {
        b->setEnabled(hasRow);
    }
    included_->setEnabled(hasRow);
    filterOff_->setEnabled(filter_.isOn());
}

void TForm_ViewBD1::reportError(const QString& error) {
    if (!error.isEmpty()) {
        messages_.error(txt(str::DbQueryFailed).arg(error));
    }
}

void TForm_ViewBD1::closeQueries() {
    list_->clear();
}

void TForm_ViewBD1::writeSettings(IniFile& ini, const QString& section) {
    listWidths_->write(ini, section);
    totalsWidths_->write(ini, section);
}

void TForm_ViewBD1::readSettings(const IniFile& ini, const QString& section) {
    listWidths_->read(ini, section);
    totalsWidths_->read(ini, section);
}

const QTableView& TForm_ViewBD1::exportGrid() const {
    return *grid_;
}

QString TForm_ViewBD1::exportHeading() const {
    return periodHeading({periodEdits_[0]->text(), periodEdits_[1]->text(), periodEdits_[2]->text(),
                          periodEdits_[3]->text()});
}

void TForm_ViewBD1::closeEvent(QCloseEvent* event) {
    MdiChild::closeEvent(event);
    if (!event->isAccepted()) {
        return;
    }
    const WaitCursor wait;
    closeQueries();
    if (!selection_.clear()) {
        reportError(selection_.lastError());
    }
    emptied_ = true;
}

}  // namespace zev7
