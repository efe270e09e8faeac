#include "dbui/tform_bd.h"

#include "core/count_text.h"
#include "core/strings.h"
#include "db/db_maintenance.h"
#include "db/db_schema.h"
#include "db/demo_database.h"
#include "dbui/tform_interface_bd.h"
#include "dbui/wait_cursor.h"
#include "scenario/user_messages.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace zev7 {

namespace {
constexpr int kMaxScenarios = 64;
constexpr int kMaxCycles = 1000;
constexpr int kMaxCalls = 1000;
constexpr int kDefaultCycles = 10;
constexpr int kDefaultCalls = 20;
// The generated cycles start early on the day before `today`.
constexpr int kFillStartHour = 1;

QSpinBox* spin(int max, int value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(1, max);
    box->setValue(value);
    return box;
}

// The rows as stored: a count or a level held as a floating-point number shows all its digits
// (the general format would turn a million calls into "1e+06").
class StoredValueDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override {
        const int type = value.typeId();
        return type == QMetaType::Double || type == QMetaType::Float
                   ? countText(value)
                   : QStyledItemDelegate::displayText(value, locale);
    }
};
}  // namespace

TForm_BD::TForm_BD(QSqlDatabase db, UserMessages& messages, IniFile* ini, const QDate& today,
                   QWidget* parent)
    : MdiChild(txt(str::DbMonitorCaption), kDatabaseHelpContext, ini, parent),
      db_(std::move(db)),
      messages_(messages),
      today_(today) {
    setObjectName(windowName());
    model_ = new QSqlQueryModel(this);
    auto* layout = new QVBoxLayout(this);
    auto* pages = new QTabWidget(this);
    pages->addTab(makeMonitorPage(), txt(str::DbMonitorPage));
    layout->addWidget(pages);

    timer_ = new QTimer(this);
    timer_->setInterval(kMonitorRefreshMs);
    connect(timer_, &QTimer::timeout, this, &TForm_BD::refresh);
    timer_->start();
    showTable(tables_->currentText());
}

QWidget* TForm_BD::makeMonitorPage() {
    auto* page = new QWidget(this);
    auto* v = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    tables_ = new QComboBox(page);
    tables_->setObjectName(QStringLiteral("Tables_CBox"));
    for (const TableDef& def : DbSchema::tables()) {
        tables_->addItem(def.name);
    }
    top->addWidget(new QLabel(txt(str::DbMonitorTable), page));
    top->addWidget(tables_, 1);
    connect(tables_, &QComboBox::currentTextChanged, this, &TForm_BD::showTable);

    // The navigator: first, previous, next, last record.
    const std::pair<Qt::ArrowType, int> moves[] = {
        {Qt::UpArrow, -2}, {Qt::LeftArrow, -1}, {Qt::RightArrow, 1}, {Qt::DownArrow, 2}};
    for (const auto& [arrow, step] : moves) {
        auto* b = new QToolButton(page);
        b->setArrowType(arrow);
        top->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, step = step] {
            while (step == 2 && model_->canFetchMore()) {
                model_->fetchMore();
            }
            const int last = model_->rowCount() - 1;
            const int row = grid_->currentIndex().row();
            move(step == -2 ? 0 : step == 2 ? last : row + step);
        });
    }
    record_ = new QLabel(page);
    top->addWidget(record_);
    v->addLayout(top);

    grid_ = new QTableView(page);
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    grid_->setModel(model_);
    grid_->setItemDelegate(new StoredValueDelegate(grid_));
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->addWidget(grid_, 1);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TForm_BD::updateRecordLabel);

    auto* bottom = new QHBoxLayout;
    scenarios_ = spin(kMaxScenarios, 1, page);
    cycles_ = spin(kMaxCycles, kDefaultCycles, page);
    calls_ = spin(kMaxCalls, kDefaultCalls, page);
    bottom->addWidget(new QLabel(txt(str::DbMonitorScenarios), page));
    bottom->addWidget(scenarios_);
    bottom->addWidget(new QLabel(txt(str::DbMonitorCycles), page));
    bottom->addWidget(cycles_);
    bottom->addWidget(new QLabel(txt(str::DbMonitorCalls), page));
    bottom->addWidget(calls_);
    fill_ = new QPushButton(txt(str::DbMonitorFill), page);
    fill_->setObjectName(QStringLiteral("Fill_Button"));
    clear_ = new QPushButton(txt(str::DbMonitorClear), page);
    clear_->setObjectName(QStringLiteral("Clear_Button"));
    bottom->addWidget(fill_);
    bottom->addStretch(1);
    bottom->addWidget(clear_);
    v->addLayout(bottom);
    connect(fill_, &QPushButton::clicked, this,
            [this] { fillDatabase(scenarios_->value(), cycles_->value(), calls_->value()); });
    connect(clear_, &QPushButton::clicked, this, &TForm_BD::clearResults);
    return page;
}

void TForm_BD::showTable(const QString& name) {
    // Only names of the schema's own tables reach the statement.
    const TableDef* def = DbSchema::find(name);
    if (def == nullptr) {
        model_->clear();
        updateRecordLabel();
        return;
    }
    model_->setQuery(QStringLiteral("SELECT * FROM %1").arg(def->name), db_);
    if (model_->lastError().isValid()) {
        messages_.error(txt(str::DbQueryFailed).arg(model_->lastError().text()));
    }
    // The columns as the program names them; a server gives the names in small letters.
    const QStringList columns = DbSchema::columnNames(*def);
    for (int i = 0; i < columns.size() && i < model_->columnCount(); ++i) {
        model_->setHeaderData(i, Qt::Horizontal, columns[i]);
    }
    updateRecordLabel();
}

void TForm_BD::refresh() {
    const int row = grid_->currentIndex().row();
    showTable(tables_->currentText());
    if (row >= 0) {
        move(row);
    }
}

void TForm_BD::move(int row) {
    while (row >= model_->rowCount() && model_->canFetchMore()) {
        model_->fetchMore();
    }
    row = std::min(row, model_->rowCount() - 1);
    if (row >= 0) {
        grid_->setCurrentIndex(model_->index(row, 0));
    }
    updateRecordLabel();
}

void TForm_BD::updateRecordLabel() {
    const int row = grid_->currentIndex().row();
    QSqlQuery count(db_);
    int total = model_->rowCount();
    const TableDef* def = DbSchema::find(tables_->currentText());
    if (def != nullptr && count.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(def->name)) &&
        count.next()) {
        total = count.value(0).toInt();
    }
    record_->setText(txt(str::DbMonitorRecord).arg(row + 1).arg(total));
}

void TForm_BD::clearResults() {
    if (guard_ && !guard_()) {
        return;
    }
    if (!messages_.askYesNo(txt(str::DbMonitorAskClear))) {
        return;
    }
    timer_->stop();
    model_->clear();
    {
        const WaitCursor wait;
        for (const char* name : {table::ResCycle, table::ResSeans, table::Seans,
                                 table::SettCycleDec, table::Cycle, table::In, table::Out}) {
            // A table another connection holds is emptied but stays unpacked; that is no loss.
            if (ClearTable(QString::fromLatin1(name), db_) == kTableUnavailable) {
                messages_.error(txt(str::DbMonitorClearFailed).arg(QString::fromLatin1(name)));
                break;
            }
        }
    }
    refresh();
    timer_->start();
}

void TForm_BD::fillDatabase(int scenarios, int cycles, int callsPerCycle) {
    DemoDatabaseSpec spec;
    spec.outgoingNumbers = std::clamp(scenarios, 1, kMaxScenarios);
    spec.cycles = spec.outgoingNumbers * std::clamp(cycles, 1, kMaxCycles);
    spec.callsPerCycle = std::clamp(callsPerCycle, 1, kMaxCalls);
    spec.firstStart = QDateTime(today_.addDays(-1), QTime(kFillStartHour, 0));
    fill_->setEnabled(false);
    clear_->setEnabled(false);
    DemoDatabaseReport report;
    {
        const WaitCursor wait;
        report = fillDemoDatabase(spec, messages_, [this, &spec](int done) {
            record_->setText(QStringLiteral("%1 / %2").arg(done).arg(spec.cycles));
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    }
    fill_->setEnabled(true);
    clear_->setEnabled(true);
    refresh();
    if (report.failures > 0) {
        messages_.error(txt(str::DbMonitorFillFailed).arg(report.failures));
    }
}

}  // namespace zev7
