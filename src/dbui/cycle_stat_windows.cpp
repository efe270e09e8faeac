#include "dbui/cycle_stat_windows.h"

#include "core/strings.h"
#include "dbquery/cycle_stat_models.h"
#include "dbui/wait_cursor.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QLabel>

namespace zev7 {

namespace {

// The result and setting names as the dictionaries hold them, in full.
constexpr int kNameWidth = 330;
constexpr int kSettingNameWidth = 560;
constexpr int kCallNoWidth = 60;
constexpr int kOutcomeWidth = 220;

QString startText(const CycleHeader& h) {
    return h.dateOn.toString(QStringLiteral("dd.MM.yyyy")) + QLatin1Char(' ') +
           h.timeOn.toString(QStringLiteral("hh:mm:ss"));
}

QLabel* headingLabel(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

}  // namespace

CycleWindow::CycleWindow(const QString& caption, QSqlDatabase db, IniFile* ini,
                         UserMessages* messages, QWidget* parent)
    : StatWindow(caption, ini, messages, parent), db_(std::move(db)) {
    numbers_ = headingLabel(this, "Numbers");
    state_ = headingLabel(this, "State");
    attempts_ = headingLabel(this, "Attempts");
    start_ = headingLabel(this, "Start");
    auto* row = new QHBoxLayout;
    row->addWidget(state_);
    row->addSpacing(16);
    row->addWidget(attempts_);
    row->addSpacing(16);
    row->addWidget(start_);
    row->addStretch(1);
    topLayout()->addWidget(numbers_);
    topLayout()->addLayout(row);
    showHeader();
}

void CycleWindow::showCycle(int cycleId) {
    WaitCursor wait;
    header_ = cycleId < 0 ? CycleHeader{} : readCycleHeader(db_, cycleId);
    showHeader();
    if (!header_.isValid()) {
        clearGrid();
        return;
    }
    reportQuery(show_(cycleId), *model_);
}

void CycleWindow::setCycleModel(StatTableModel* model, std::function<bool(int)> show,
                                const QList<int>& wider) {
    model_ = model;
    show_ = std::move(show);
    setModel(model, wider);
}

void CycleWindow::clearGrid() {
    model_->clear();
}

void CycleWindow::showHeader() {
    if (!header_.isValid()) {
        numbers_->setText(txt(str::StatHeadNoCycle));
        state_->clear();
        attempts_->clear();
        start_->clear();
        return;
    }
    numbers_->setText(QStringLiteral("%1 %2    %3 %4")
                          .arg(txt(str::ReportOutgoing), header_.outNumber,
                               txt(str::ReportIncoming), header_.inNumber));
    state_->setText(QStringLiteral("%1: %2").arg(txt(str::DbColState), header_.state));
    attempts_->setText(
        QStringLiteral("%1: %2").arg(txt(str::StatHeadAttempts)).arg(header_.attempts));
    start_->setText(QStringLiteral("%1: %2").arg(txt(str::DbColStart), startText(header_)));
}

QString CycleWindow::exportHeading() const {
    if (!header_.isValid()) {
        return {};
    }
    return QStringList{txt(str::ReportOutgoing), header_.outNumber, txt(str::ReportIncoming),
                       header_.inNumber, start_->text()}
        .join(QLatin1Char(' '));
}

TFormBD_StatCycle::TFormBD_StatCycle(QSqlDatabase db, IniFile* ini, UserMessages* messages,
                                     QWidget* parent)
    : CycleWindow(txt(str::StatCycleCaption), db, ini, messages, parent),
      model_(new CycleStatModel(db, this)) {
    setObjectName(QStringLiteral("TFormBD_StatCycle"));
    setCycleModel(model_, [m = model_](int id) { return m->showCycle(id); }, {kNameWidth});
}

TFormBD_SeansCycle::TFormBD_SeansCycle(QSqlDatabase db, IniFile* ini, UserMessages* messages,
                                       QWidget* parent)
    : CycleWindow(txt(str::StatCallsCaption), db, ini, messages, parent),
      model_(new CycleCallsModel(db, this)) {
    setObjectName(QStringLiteral("TFormBD_SeansCycle"));
    setCycleModel(model_, [m = model_](int id) { return m->showCycle(id); },
                  {kCallNoWidth, kOutcomeWidth});
}

void TFormBD_SeansCycle::clearGrid() {
    CycleWindow::clearGrid();
    model_->clearWorkingTable();
}

void TFormBD_SeansCycle::closeEvent(QCloseEvent* event) {
    CycleWindow::closeEvent(event);
    // The grid reads the working table lazily: it lets go of it before the table is emptied.
    clearGrid();
}

TFormDB_SetCycle::TFormDB_SetCycle(QSqlDatabase db, IniFile* ini, UserMessages* messages,
                                   QWidget* parent)
    : CycleWindow(txt(str::StatSettingsCaption), db, ini, messages, parent),
      model_(new CycleSettingsModel(db, this)) {
    setObjectName(QStringLiteral("TFormDB_SetCycle"));
    setCycleModel(model_, [m = model_](int id) { return m->showCycle(id); }, {kSettingNameWidth});
}

QString TFormDB_SetCycle::exportHeading() const {
    if (!header().isValid()) {
        return {};
    }
    return txt(str::ReportOutgoing) + QStringLiteral(" [") + header().outNumber +
           QStringLiteral("] ") + txt(str::ReportIncoming) + QStringLiteral(" [") +
           header().inNumber + QStringLiteral("] ") + startText(header());
}

}  // namespace zev7
