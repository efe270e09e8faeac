#include "dbui/cycle_stat_windows.h"

#include "core/strings.h"
#include "dbquery/cycle_stat_models.h"
#include "dbui/cycle_heading.h"
#include "dbui/graph_param_button.h"
#include "dbui/wait_cursor.h"

#include <QBoxLayout>
#include <QCloseEvent>

namespace zev7 {

namespace {

// The result and setting names as the dictionaries hold them, in full.
constexpr int kNameWidth = 330;
// The loss row's 95 % interval and what it proves, after the count, percentage and norm, which
// keep the widths of their titles (0).
constexpr int kIntervalWidth = 120;
constexpr int kDecisionWidth = 220;
constexpr int kSettingNameWidth = 560;
constexpr int kCallNoWidth = 60;
constexpr int kOutcomeWidth = 220;

}  // namespace

CycleWindow::CycleWindow(const QString& caption, QSqlDatabase db, IniFile* ini,
                         UserMessages* messages, QWidget* parent)
    : StatWindow(caption, ini, messages, parent), db_(std::move(db)) {
    heading_ = new CycleHeading(this);
    topLayout()->addWidget(heading_);
}

void CycleWindow::showCycle(int cycleId) {
    WaitCursor wait;
    header_ = cycleId < 0 ? CycleHeader{} : readCycleHeader(db_, cycleId);
    heading_->display(header_);
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

QString CycleWindow::exportHeading() const {
    if (!header_.isValid()) {
        return {};
    }
    return QStringList{txt(str::ReportOutgoing), header_.outNumber, txt(str::ReportIncoming),
                       header_.inNumber,
                       QStringLiteral("%1: %2").arg(txt(str::DbColStart), cycleStartText(header_))}
        .join(QLatin1Char(' '));
}

TFormBD_StatCycle::TFormBD_StatCycle(QSqlDatabase db, IniFile* ini, UserMessages* messages,
                                     QWidget* parent)
    : CycleWindow(txt(str::StatCycleCaption), db, ini, messages, parent),
      model_(new CycleStatModel(db, this)) {
    setObjectName(QStringLiteral("TFormBD_StatCycle"));
    setCycleModel(model_, [m = model_](int id) { return m->showCycle(id); },
                  {kNameWidth, 0, 0, 0, kIntervalWidth, kDecisionWidth});
}

TFormBD_SeansCycle::TFormBD_SeansCycle(QSqlDatabase db, IniFile* ini, UserMessages* messages,
                                       QWidget* parent)
    : CycleWindow(txt(str::StatCallsCaption), db, ini, messages, parent),
      model_(new CycleCallsModel(db, this)) {
    setObjectName(QStringLiteral("TFormBD_SeansCycle"));
    setCycleModel(model_, [m = model_](int id) { return m->showCycle(id); },
                  {kCallNoWidth, kOutcomeWidth});
    addGraphButtons();
}

void TFormBD_SeansCycle::addGraphButtons() {
    auto* histogram = new GraphParamButton(txt(str::GraphDbHistogram), histogramParams(), this);
    histogram->setObjectName(QStringLiteral("Histogram_Button"));
    auto* perCall = new GraphParamButton(txt(str::GraphDbPerCall), perCallParams(), this);
    perCall->setObjectName(QStringLiteral("PerCall_Button"));
    auto* row = new QHBoxLayout;
    row->addWidget(histogram);
    row->addWidget(perCall);
    row->addStretch(1);
    topLayout()->addLayout(row);
    for (GraphParamButton* b : {histogram, perCall}) {
        connect(b, &GraphParamButton::graphRequested, this, &TFormBD_SeansCycle::graphRequested);
    }
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
           header().inNumber + QStringLiteral("] ") + cycleStartText(header());
}

}  // namespace zev7
