#include "dbui/tform_interface_bd.h"

#include "core/ini_file.h"
#include "core/strings.h"
#include "dbui/check_list.h"
#include "dbui/period_edits.h"
#include "dbui/wait_cursor.h"
#include "scenario/user_messages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zev7 {

namespace {
const char* const kCodeListNames[kCodePartCount] = {"ChListBox_CodCity", "ChListBox_AddCod",
                                                    "ChListBox_NumATX"};

QList<bool> ticksOf(const CodeList& list) {
    QList<bool> ticks;
    for (const CodeItem& c : list) {
        ticks << c.ticked;
    }
    return ticks;
}

QString dayKey(int dayWeekId) {
    return QStringLiteral("Day_CBox%1").arg(dayWeekId);
}
}  // namespace

TForm_InterfaceBD::TForm_InterfaceBD(QSqlDatabase db, UserMessages& messages, IniFile* ini,
                                     const QDate& today, QWidget* parent)
    : MdiChild(txt(str::DbSelCaption), kDatabaseHelpContext, ini, parent),
      lists_(std::move(db)),
      messages_(messages) {
    setObjectName(windowName());
    criteria_.period = PeriodTexts::lastThirtyDays(today);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(makePeriodBox());
    top->addWidget(makeSideBox());
    top->addWidget(makeStationBox(), 1);
    layout->addLayout(top);
    layout->addWidget(makeCodeBox(), 1);
    layout->addWidget(makeNumberBox(), 2);
    auto* buttons = new QHBoxLayout;
    refresh_ = new QPushButton(txt(str::DbSelRefresh), this);
    refresh_->setObjectName(QStringLiteral("BitBtn1"));
    auto* choose = new QPushButton(txt(str::DbSelChoose), this);
    choose->setObjectName(QStringLiteral("Button2"));
    auto* show = new QPushButton(txt(str::DbSelShowCycles), this);
    show->setObjectName(QStringLiteral("Button1"));
    buttons->addWidget(refresh_);
    buttons->addStretch(1);
    buttons->addWidget(choose);
    buttons->addWidget(show);
    layout->addLayout(buttons);
    connect(refresh_, &QPushButton::clicked, this, &TForm_InterfaceBD::reloadCodeLists);
    connect(choose, &QPushButton::clicked, this, &TForm_InterfaceBD::chooseNumbers);
    connect(show, &QPushButton::clicked, this, &TForm_InterfaceBD::showCycles);

    showPeriod();
    showDays();
    chooseSide(SelectionSide::Outgoing);
}

QWidget* TForm_InterfaceBD::makePeriodBox() {
    auto* box = new QGroupBox(txt(str::DbSelPeriod), this);
    auto* grid = new QGridLayout(box);
    period_ = new PeriodEdits(box);
    grid->addWidget(new QLabel(txt(str::DbSelDateFrom), box), 0, 0);
    grid->addWidget(period_->dateOn(), 0, 1);
    grid->addWidget(new QLabel(txt(str::DbSelUntil), box), 0, 2);
    grid->addWidget(period_->dateOff(), 0, 3);
    grid->addWidget(new QLabel(txt(str::DbSelTimeFrom), box), 1, 0);
    grid->addWidget(period_->timeOn(), 1, 1);
    grid->addWidget(new QLabel(txt(str::DbSelUntil), box), 1, 2);
    grid->addWidget(period_->timeOff(), 1, 3);
    connect(period_, &PeriodEdits::edited, this, &TForm_InterfaceBD::periodEdited);

    auto* days = new QHBoxLayout;
    days->addWidget(new QLabel(txt(str::DbSelDays), box));
    for (int d = 1; d <= 7; ++d) {
        auto* check = new QCheckBox(txt(str::DbSelDayNames[d - 1]), box);
        check->setObjectName(dayKey(d));
        days_[static_cast<std::size_t>(d - 1)] = check;
        days->addWidget(check);
        connect(check, &QCheckBox::toggled, this, [this, d](bool on) { dayToggled(d, on); });
    }
    grid->addLayout(days, 2, 0, 1, 4);
    return box;
}

QWidget* TForm_InterfaceBD::makeSideBox() {
    auto* box = new QGroupBox(txt(str::DbSelSide), this);
    auto* v = new QVBoxLayout(box);
    out_ = new QRadioButton(txt(str::DbSelOutgoing), box);
    out_->setObjectName(QStringLiteral("RBtn_Out"));
    in_ = new QRadioButton(txt(str::DbSelIncoming), box);
    in_->setObjectName(QStringLiteral("RBtn_In"));
    v->addWidget(out_);
    v->addWidget(in_);
    v->addStretch(1);
    connect(out_, &QRadioButton::clicked, this, [this] { chooseSide(SelectionSide::Outgoing); });
    connect(in_, &QRadioButton::clicked, this, [this] { chooseSide(SelectionSide::Incoming); });
    return box;
}

QWidget* TForm_InterfaceBD::makeStationBox() {
    stationBox_ = new QGroupBox(txt(str::DbSelMeasuringStations), this);
    auto* v = new QVBoxLayout(stationBox_);
    stationList_ = new QListWidget(stationBox_);
    stationList_->setObjectName(QStringLiteral("ChListBox_Station"));
    // As tall as the boxes beside it: a longer list scrolls rather than pushing the lists
    // of numbers down.
    stationList_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    v->addWidget(stationList_);
    connect(stationList_, &QListWidget::itemChanged, this, &TForm_InterfaceBD::stationTicked);
    stationBox_->hide();
    return stationBox_;
}

QWidget* TForm_InterfaceBD::makeCodeBox() {
    codeBox_ = new QGroupBox(this);
    auto* grid = new QGridLayout(codeBox_);
    for (int p = 0; p < kCodePartCount; ++p) {
        auto* list = new QListWidget(codeBox_);
        list->setObjectName(QString::fromLatin1(kCodeListNames[p]));
        codeLists_[static_cast<std::size_t>(p)] = list;
        grid->addWidget(new QLabel(txt(str::DbSelCodeTitles[p]), codeBox_), 0, p);
        grid->addWidget(list, 1, p);
        const auto part = static_cast<CodePart>(p);
        connect(list, &QListWidget::itemChanged, this,
                [this, part](QListWidgetItem* item) { codeTicked(part, item); });
    }
    return codeBox_;
}

QWidget* TForm_InterfaceBD::makeNumberBox() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    firstTitle_ = new QLabel(box);
    secondTitle_ = new QLabel(box);
    first_ = new QListWidget(box);
    first_->setObjectName(QStringLiteral("CheckListBox1"));
    second_ = new QListWidget(box);
    second_->setObjectName(QStringLiteral("CheckListBox2"));
    grid->addWidget(firstTitle_, 0, 0);
    grid->addWidget(secondTitle_, 0, 1);
    grid->addWidget(first_, 1, 0);
    grid->addWidget(second_, 1, 1);
    connect(first_, &QListWidget::currentRowChanged, this, &TForm_InterfaceBD::fillSecondList);
    connect(first_, &QListWidget::itemChanged, this, &TForm_InterfaceBD::firstTicked);
    connect(second_, &QListWidget::itemChanged, this, &TForm_InterfaceBD::secondTicked);
    return box;
}

void TForm_InterfaceBD::periodEdited() {
    criteria_.period = period_->period();
    refresh_->setEnabled(true);
}

void TForm_InterfaceBD::dayToggled(int dayWeekId, bool on) {
    criteria_.setDayTicked(dayWeekId, on);
    showDays();
    refresh_->setEnabled(true);
}

void TForm_InterfaceBD::chooseSide(SelectionSide side) {
    criteria_.side = side;
    (side == SelectionSide::Outgoing ? out_ : in_)->setChecked(true);
    showSideCaptions();
    reloadCodeLists();
}

void TForm_InterfaceBD::reloadCodeLists() {
    {
        const WaitCursor wait;
        lists_.loadStations(criteria_);
        lists_.loadCodeLists(criteria_);
    }
    reportQueryError();
    showStations();
    showCodeLists();
    clearNumberLists();
    refresh_->setEnabled(false);
}

void TForm_InterfaceBD::codeTicked(CodePart part, QListWidgetItem* item) {
    QListWidget* list = codeLists_[static_cast<std::size_t>(part)];
    CodeList& codes = criteria_.codeList(criteria_.side, part);
    SelectionCriteria::setCodeTicked(codes, list->row(item), isTicked(item));
    setChecks(list, ticksOf(codes));
}

void TForm_InterfaceBD::stationTicked(QListWidgetItem* item) {
    SelectionCriteria::setCodeTicked(criteria_.stations, stationList_->row(item), isTicked(item));
    setChecks(stationList_, ticksOf(criteria_.stations));
}

void TForm_InterfaceBD::chooseNumbers() {
    {
        const WaitCursor wait;
        lists_.loadFirstList(criteria_);
    }
    reportQueryError();
    QList<CheckEntry> entries;
    for (const NumberItem& n : criteria_.numbers) {
        entries.append({n.text, n.ticked});
    }
    fillCheckList(first_, entries);
    fillCheckList(second_, {});
    secondIds_.clear();
    if (first_->count() > 0) {
        first_->setCurrentRow(0);
    }
}

void TForm_InterfaceBD::fillSecondList() {
    const int firstIndex = first_->currentRow();
    secondIds_.clear();
    QList<CheckEntry> entries;
    if (firstIndex >= 0) {
        const WaitCursor wait;
        for (const NumberItem& n : lists_.numbers(criteria_, otherSide(criteria_.side))) {
            secondIds_ << n.id;
            entries.append({n.text, criteria_.secondTicked(firstIndex, n.id)});
        }
    }
    reportQueryError();
    fillCheckList(second_, entries);
}

void TForm_InterfaceBD::firstTicked(QListWidgetItem* item) {
    const int row = first_->row(item);
    if (row >= 0 && row < criteria_.numbers.size()) {
        criteria_.numbers[row].ticked = isTicked(item);
    }
}

void TForm_InterfaceBD::secondTicked(QListWidgetItem* item) {
    const int row = second_->row(item);
    if (row >= 0 && row < secondIds_.size()) {
        criteria_.setSecondTicked(first_->currentRow(), secondIds_[row], isTicked(item));
    }
}

void TForm_InterfaceBD::showCycles() {
    const QString refusal = criteria_.validate();
    if (!refusal.isEmpty()) {
        messages_.error(refusal);
        return;
    }
    emit showCyclesRequested(criteria_);
}

void TForm_InterfaceBD::showPeriod() {
    period_->setPeriod(criteria_.period);
    criteria_.period = period_->period();
}

void TForm_InterfaceBD::showDays() {
    for (int d = 1; d <= 7; ++d) {
        QCheckBox* box = days_[static_cast<std::size_t>(d - 1)];
        const QSignalBlocker quiet(box);
        box->setChecked(criteria_.dayTicked(d));
    }
}

void TForm_InterfaceBD::showCodeLists() {
    for (int p = 0; p < kCodePartCount; ++p) {
        QList<CheckEntry> entries;
        for (const CodeItem& c : criteria_.codeList(criteria_.side, static_cast<CodePart>(p))) {
            entries.append({c.value.isEmpty() ? txt(str::DbSelEmptyCode) : c.value, c.ticked});
        }
        fillCheckList(codeLists_[static_cast<std::size_t>(p)], entries);
    }
}

void TForm_InterfaceBD::showStations() {
    QList<CheckEntry> entries;
    for (const CodeItem& c : criteria_.stations) {
        entries.append({c.value, c.ticked});
    }
    fillCheckList(stationList_, entries);
    stationBox_->setVisible(!entries.isEmpty());
}

void TForm_InterfaceBD::showSideCaptions() {
    const bool outgoing = criteria_.side == SelectionSide::Outgoing;
    codeBox_->setTitle(txt(outgoing ? str::DbSelOutgoingCodes : str::DbSelIncomingCodes));
    firstTitle_->setText(txt(outgoing ? str::DbSelOutgoingStation : str::DbSelIncomingStation));
    secondTitle_->setText(txt(outgoing ? str::DbSelIncomingStation : str::DbSelOutgoingStation));
}

void TForm_InterfaceBD::clearNumberLists() {
    criteria_.numbers.clear();
    secondIds_.clear();
    fillCheckList(first_, {});
    fillCheckList(second_, {});
}

void TForm_InterfaceBD::reportQueryError() {
    if (!lists_.lastError().isEmpty()) {
        messages_.error(txt(str::DbQueryFailed).arg(lists_.lastError()));
        lists_.clearError();
    }
}

void TForm_InterfaceBD::writeSettings(IniFile& ini, const QString& section) {
    for (int d = 1; d <= 7; ++d) {
        ini.writeBool(section, dayKey(d), criteria_.dayTicked(d));
    }
    ini.writeBool(section, out_->objectName(), criteria_.side == SelectionSide::Outgoing);
    ini.writeBool(section, in_->objectName(), criteria_.side == SelectionSide::Incoming);
    for (QLineEdit* edit : period_->edits()) {
        ini.writeString(section, edit->objectName(), edit->displayText());
    }
}

void TForm_InterfaceBD::readSettings(const IniFile& ini, const QString& section) {
    // Days are ticked before any is cleared, so the last-day rule keeps what was stored.
    for (int d = 1; d <= 7; ++d) {
        criteria_.setDayTicked(d, true);
    }
    for (int d = 1; d <= 7; ++d) {
        criteria_.setDayTicked(d, ini.readBool(section, dayKey(d), true));
    }
    showDays();
    QString* texts[] = {&criteria_.period.dateOn, &criteria_.period.dateOff,
                        &criteria_.period.timeOn, &criteria_.period.timeOff};
    for (std::size_t i = 0; i < period_->edits().size(); ++i) {
        *texts[i] = ini.readString(section, period_->edits()[i]->objectName(), *texts[i]);
    }
    showPeriod();
    const bool incoming = ini.readBool(section, in_->objectName(), false);
    chooseSide(incoming ? SelectionSide::Incoming : SelectionSide::Outgoing);
}

}  // namespace zev7
