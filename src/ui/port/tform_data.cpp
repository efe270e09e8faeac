#include "ui/port/tform_data.h"

#include "core/ini_file.h"
#include "core/program_dir.h"
#include "core/strings.h"
#include "scenario/ole_date.h"
#include "scenario/scenar_class.h"
#include "scenario/scenario_file.h"
#include "scenario/tel_number.h"
#include "scenario/user_messages.h"
#include "ui/frame/panel_bar.h"
#include "ui/frame/set_button.h"
#include "ui/port/port_answer_page.h"
#include "ui/port/port_control.h"
#include "ui/port/port_result_page.h"
#include "ui/settings/port_page_rules.h"
#include "ui/settings/tform_base_time.h"
#include "ui/settings/tftel_num.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace zev7 {

namespace {

constexpr int kCycleColumnWidths[] = {30, 30, 150, 80};
constexpr int kCycleTickColumn = 1;
constexpr int kCycleNumberColumn = 2;
constexpr int kRunCountMax = 999;
constexpr int kRepeatOnce = 0;
constexpr int kRepeatAfterEnd = 1;
constexpr int kRepeatFromBase = 2;
constexpr int kChangedCycles = 1;  // cycles or a number edited since the last Set

QString caption(int port) {
    return txt(str::PortCaptionPrefix) + QString::number(port);
}

QString cycleDurationText(double seconds) {
    const int minutes = static_cast<int>(std::max(0.0, seconds) / 60.0);
    return QString::asprintf(" %02d:%02d", minutes / 60, minutes % 60);
}

bool numberEmpty(const TelNumber& n) {
    for (int f = 0; f < kNumberFieldCount; ++f) {
        if (!DialChars(numberField(n, f)).isEmpty()) {
            return false;
        }
    }
    return true;
}

}  // namespace

TForm_Data::TForm_Data(int port, const PortWindowContext& context, QWidget* parent)
    : MdiChild(caption(port), kHelpScenario, context.ini, parent),
      port_(port),
      context_(context),
      document_(new PortScenarioDocument(port, context.messages, context.programStart, this)),
      scenario_(&document_->scenario()),
      runModel_(new PortRunModel(this)) {
    setObjectName("TForm_Data");
    pages_ = new QTabWidget;
    pages_->setObjectName("PageControl1");
    pages_->addTab(buildScenarioPage(), txt(str::PageScenario));
    pages_->addTab(buildAnswerPage(), txt(str::PageAnswerModem));
    pages_->addTab(buildProtocolPage(), txt(str::PageProtocol));
    results_ = new PortResultPage(*runModel_);
    results_->setObjectName("TabSheet_Res");
    buildGraphCommands();
    pages_->addTab(results_, txt(str::PageResults));
    connect(pages_, &QTabWidget::currentChanged, this, [this](int page) {
        static constexpr int contexts[] = {kHelpScenario, kHelpAnswerModem, kHelpProtocol,
                                           kHelpResults};
        setHelpContext(contexts[qBound(0, page, 3)]);
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pages_);

    connect(runModel_, &PortRunModel::repaintDue, this, &TForm_Data::showProtocol);
    closeDeadline_ = new QTimer(this);
    closeDeadline_->setSingleShot(true);
    closeDeadline_->setInterval(kCloseWaitMs);
    connect(closeDeadline_, &QTimer::timeout, this, &TForm_Data::closeWaitExpired);
    leaveTimer_ = new QTimer(this);
    leaveTimer_->setInterval(kLeavePollMs);
    connect(leaveTimer_, &QTimer::timeout, this, &TForm_Data::leaveAnsweringWait);

    if (!document_->loadWorkingCopy() && context_.messages.batchMode()) {
        context_.messages.error(txt(str::PortWindowNoScenario).arg(document_->workingCopyPath()));
        context_.messages.abortBatch(-5);
    }
    connect(document_, &PortScenarioDocument::changed, this, &TForm_Data::onDocumentChanged);
    showScenario();
    setMonitoring(false);
    setModeText(ModePanel::NotSet);
    if (context_.route) {
        context_.route(port_, this, this);
    }
}

TForm_Data::~TForm_Data() = default;

TForm_Data* createPortWindow(int port, const PortWindowContext& context, QWidget* parent) {
    if (port < 1 || port > 64) {
        return nullptr;
    }
    return new TForm_Data(port, context, parent);
}

// ---- Building the pages ------------------------------------------------------------------------

QWidget* TForm_Data::buildScenarioPage() {
    auto* page = new QWidget;
    page->setObjectName("Scenar_TabSheet");
    bar1_ = new PanelBar({70, 0, 95, 100});
    bar1_->setObjectName("StatusBar1");
    bar1_->setText(0, txt(str::BarOutgoing));
    bar1_->setText(2, txt(str::BarBaseTime));
    bar1_->setHint(1, txt(str::HintOutNumber));
    bar1_->setHint(3, txt(str::HintBaseTime));
    connect(bar1_, &PanelBar::panelPressed, this, &TForm_Data::onScenarioBarPressed);

    auto* tools = new QToolBar;
    speaker_ = new QToolButton;
    speaker_->setObjectName("Tlb_SoundModem");
    speaker_->setCheckable(true);
    speaker_->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    speaker_->setToolTip(txt(str::SpeakerHint));
    connect(speaker_, &QToolButton::clicked, this, [this] {
        if (context_.control.answerStationRunning(port_)) {
            context_.control.postAnswerCommand(port_, AnswerCommand::Speaker);
        }
    });
    modemBetweenCycles_ = new QToolButton;
    modemBetweenCycles_->setObjectName("Tlb_ModemAA");
    modemBetweenCycles_->setCheckable(true);
    modemBetweenCycles_->setIcon(style()->standardIcon(QStyle::SP_DialogYesButton));
    modemBetweenCycles_->setToolTip(txt(str::AnswerModeBetweenCyclesHint).remove(u'\r'));
    connect(modemBetweenCycles_, &QToolButton::clicked, this, [this] {
        if (scenario_->running()) {
            modemBetweenCycles_->setChecked(scenario_->header().aaBetweenCycles != 0);
            return;
        }
        checkSet();
    });
    autoRepeat_ = new QToolButton;
    autoRepeat_->setObjectName("Tlb_AutoRepeat");
    autoRepeat_->setPopupMode(QToolButton::InstantPopup);
    repeatMenu_ = new QMenu(autoRepeat_);
    repeatMenu_->setObjectName("PopupMenu1");
    const char* modes[] = {str::RepeatOnce, str::RepeatAfterEnd, str::RepeatFromBaseTime};
    for (int m = 0; m < 3; ++m) {
        repeatMenu_->addAction(txt(modes[m]), this, [this, m] {
            setRepeatMode(m);
            checkSet();
        });
    }
    autoRepeat_->setMenu(repeatMenu_);
    interval_ = new QLineEdit(QStringLiteral("000:00"));
    interval_->setObjectName("DDHHMM_MaskEdit");
    interval_->setInputMask(QStringLiteral("999:99; "));
    interval_->setToolTip(txt(str::RepeatIntervalLabel));
    interval_->setMaximumWidth(70);
    connect(interval_, &QLineEdit::textEdited, this, &TForm_Data::onIntervalEdited);
    runCount_ = new QSpinBox;
    runCount_->setObjectName("TArWhile");
    runCount_->setRange(1, kRunCountMax);
    runCount_->setToolTip(txt(str::RunCountLabel));
    connect(runCount_, &QSpinBox::valueChanged, this, [this] { checkSet(); });
    viewRepeat_ = new PanelBar({40});
    viewRepeat_->setObjectName("Panel_ViewRepeat");
    viewRepeat_->setText(0, QStringLiteral("0"));
    tools->addWidget(speaker_);
    tools->addWidget(modemBetweenCycles_);
    tools->addWidget(autoRepeat_);
    // On a tool bar a widget is shown and hidden through its action.
    repeatActions_ = {tools->addWidget(interval_), tools->addWidget(runCount_),
                      tools->addWidget(viewRepeat_)};

    cycleTable_ = new QTableWidget(1, 4);
    cycleTable_->setObjectName("TableCycle");
    const char* heads[] = {str::CycleColNumber, str::CycleColRun, str::CycleColNumberText,
                           str::CycleColDuration};
    for (int c = 0; c < 4; ++c) {
        cycleTable_->setHorizontalHeaderItem(c, new QTableWidgetItem(txt(heads[c])));
        // A heading wider than the column ("Исполнять цикл") widens it rather than being cut.
        cycleTable_->setColumnWidth(
            c,
            std::max(kCycleColumnWidths[c], cycleTable_->horizontalHeader()->sectionSizeHint(c)));
    }
    cycleTable_->verticalHeader()->hide();
    cycleTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    cycleTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    cycleTable_->viewport()->installEventFilter(this);
    cycleTable_->installEventFilter(this);
    connect(cycleTable_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!showing_ && item->column() == kCycleTickColumn) {
            onCycleTicked(item->row(), item->checkState() == Qt::Checked);
        }
    });
    connect(cycleTable_, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!showing_ && row >= 0 && row < scenario_->cycleCount()) {
            const QScopedValueRollback<bool> own(ownEdit_, true);
            document_->setCurrentIndex(row);
            emit cycleSettingsWanted(this, false);
        }
    });
    connect(cycleTable_, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        if (row >= 0 && row < scenario_->cycleCount()) {
            const QScopedValueRollback<bool> own(ownEdit_, true);
            document_->setCurrentIndex(row);
        }
        emit cycleSettingsWanted(this, true);
    });

    setCycle_ = new QPushButton(txt(str::ButtonCycleSettings));
    setCycle_->setObjectName("BitBtn_SetCycle");
    connect(setCycle_, &QPushButton::clicked, this,
            [this] { emit cycleSettingsWanted(this, true); });
    setScen_ = new QPushButton(txt(str::ButtonSet));
    setScen_->setObjectName("SetScen_Button");
    connect(setScen_, &QPushButton::clicked, this, &TForm_Data::setScenario);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(setCycle_);
    buttons->addStretch(1);
    buttons->addWidget(setScen_);
    buttons->setContentsMargins(0, 0, 5, 0);

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(bar1_);
    layout->addWidget(tools);
    layout->addWidget(cycleTable_, 1);
    layout->addLayout(buttons);
    return page;
}

QWidget* TForm_Data::buildAnswerPage() {
    auto* page = new QWidget;
    page->setObjectName("ModemAA_TabSheet");
    bar4_ = new PanelBar({30, 30, 30, 30, 0});
    bar4_->setObjectName("StatusBar4");
    const QStyle::StandardPixmap icons[] = {QStyle::SP_ArrowDown, QStyle::SP_DialogApplyButton,
                                            QStyle::SP_MediaPause, QStyle::SP_DialogCancelButton};
    const char* hints[] = {str::HintGetSettings, str::HintSetAndMonitor, str::HintStopMonitoring,
                           str::HintLeaveAnswering};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QToolButton;
        b->setIcon(style()->standardIcon(icons[i]));
        b->setAutoRaise(true);
        b->setToolTip(txt(hints[i]));
        connect(b, &QToolButton::clicked, this,
                [this, i] { onModemBarPressed(i, Qt::LeftButton); });
        bar4_->setWidget(i, b);
        bar4_->setHint(i, txt(hints[i]));
        modemButtons_[i] = b;
    }
    bar4_->setHint(4, txt(str::HintModemMode));
    bar4_->label(4)->setAutoFillBackground(true);

    answerPage_ = new AnswerPage;
    connect(answerPage_, &AnswerPage::edited, this, &TForm_Data::checkSetAA);
    setAnswer_ = new QPushButton(txt(str::ButtonSet));
    setAnswer_->setObjectName("SetModemAA_BitBtn");
    setAnswer_->setToolTip(txt(str::SetAnswerHint).remove(u'\r'));
    connect(setAnswer_, &QPushButton::clicked, this, &TForm_Data::setAnswerSettingsClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(setAnswer_);
    buttons->setContentsMargins(0, 0, 5, 0);

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(bar4_);
    layout->addWidget(answerPage_);
    layout->addStretch(1);
    layout->addLayout(buttons);
    return page;
}

QWidget* TForm_Data::buildProtocolPage() {
    protocol_ = new QPlainTextEdit;
    protocol_->setObjectName("Protocol_ListBox");
    protocol_->setReadOnly(true);
    protocol_->setLineWrapMode(QPlainTextEdit::NoWrap);
    protocol_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(protocol_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu;
        menu.setObjectName("PopupMenu2");
        menu.addAction(txt(str::DeleteAll), this, &TForm_Data::deleteProtocol);
        menu.exec(protocol_->mapToGlobal(at));
    });
    return protocol_;
}

// ---- Showing and setting the scenario ----------------------------------------------------------

void TForm_Data::showScenario() {
    showing_ = true;
    ScenarHeader& h = scenario_->header();
    bar1_->setText(1, numberText(h.outNumber));
    changedFlags_ = 0;
    // The base time is kept in whole minutes, as shown.
    h.baseTime = toWholeMinutes(h.baseTime);
    editedBaseTime_ = h.baseTime;
    bar1_->setText(3, formatDateTimeMinutes(fromOleDate(h.baseTime)));
    runCount_->setValue(qBound(1, h.runCount, kRunCountMax));
    setRepeatMode(qBound(0, h.repeatMode, 2));
    runCount_->setValue(qBound(1, h.runCount, kRunCountMax));
    editedInterval_ = qMax(0, h.repeatInterval);
    interval_->setText(repeatIntervalText(editedInterval_));
    modemBetweenCycles_->setChecked(h.aaBetweenCycles != 0);
    answerPage_->showSettings(AnswerSettings::fromHeader(h));
    showing_ = false;
    showCycles();
    colourSetButton(setScen_, false);
    colourSetButton(setAnswer_, false);
    applyCommandState();
    emit cycleSettingsWanted(this, false);
}

void TForm_Data::showCycles() {
    showing_ = true;
    const int n = scenario_->cycleCount();
    cycleTable_->setRowCount(qMax(1, n));
    for (int r = 0; r < qMax(1, n); ++r) {
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            cycleTable_->setItem(r, c, item);
        }
        if (r >= n) {
            continue;  // an empty scenario shows one empty row
        }
        const CycleRecord& cycle = scenario_->cycle(r);
        cycleTable_->item(r, 0)->setText(QString::number(r + 1));
        QTableWidgetItem* tick = cycleTable_->item(r, kCycleTickColumn);
        tick->setFlags(tick->flags() | Qt::ItemIsUserCheckable);
        tick->setCheckState(cycle.state == static_cast<int>(CycleState::Excluded) ? Qt::Unchecked
                                                                                  : Qt::Checked);
        QTableWidgetItem* number = cycleTable_->item(r, kCycleNumberColumn);
        number->setText(numberText(cycle.inNumber));
        number->setToolTip(txt(str::CycleTableHint).remove(u'\r'));
        cycleTable_->item(r, 3)->setText(cycleDurationText(cycle.estimatedDuration));
    }
    if (n > 0) {
        cycleTable_->setCurrentCell(qBound(0, scenario_->currentIndex(), n - 1), 0);
    }
    showing_ = false;
}

void TForm_Data::checkSet() {
    if (showing_) {
        return;
    }
    const ScenarHeader& h = scenario_->header();
    const bool changed = changedFlags_ != 0 || editedBaseTime_ != h.baseTime ||
                         modemBetweenCycles_->isChecked() != (h.aaBetweenCycles != 0) ||
                         repeatMode_ != h.repeatMode || editedInterval_ != h.repeatInterval ||
                         runCount_->value() != h.runCount;
    colourSetButton(setScen_, changed);
}

void TForm_Data::checkSetAA() {
    colourSetButton(setAnswer_, answerPage_->differsFrom(scenario_->header()));
}

void TForm_Data::setScenario() {
    ScenarHeader h = scenario_->header();
    changedFlags_ = 0;
    h.baseTime = editedBaseTime_;
    h.aaBetweenCycles = modemBetweenCycles_->isChecked() ? 1 : 0;
    h.repeatMode = repeatMode_;
    h.repeatInterval = editedInterval_;
    h.runCount = runCount_->value();
    colourSetButton(setScen_, false);
    const QScopedValueRollback<bool> own(ownEdit_, true);
    document_->storeHeader(h);
}

void TForm_Data::setRepeatMode(int mode) {
    repeatMode_ = mode;
    autoRepeat_->setText(repeatMenu_->actions().value(mode)->text());
    autoRepeat_->setToolTip(autoRepeat_->text());
    const bool repeats = mode != kRepeatOnce;
    if (!repeats) {
        runCount_->setValue(1);
    }
    for (QAction* a : repeatActions_) {
        a->setVisible(repeats);
        a->setEnabled(repeats);
    }
    if (mode == kRepeatAfterEnd) {
        viewRepeat_->setText(0, QStringLiteral("0"));
    }
}

void TForm_Data::onIntervalEdited() {
    const int cursor = interval_->cursorPosition();
    const RepeatInterval r = normalizeRepeatInterval(interval_->text());
    if (r.text != interval_->text()) {
        interval_->setText(r.text);
        interval_->setCursorPosition(cursor);
    }
    editedInterval_ = r.minutes;
    checkSet();
}

void TForm_Data::onDocumentChanged(PortScenarioDocument::Changes what) {
    if (ownEdit_) {
        return;
    }
    using D = PortScenarioDocument;
    if (what & (D::Cycles | D::Times | D::CurrentCycle)) {
        showCycles();  // a stored cycle shows its new estimate
    }
    if (what & D::Running) {
        applyCommandState();
    }
}

void TForm_Data::ownEdit(PortScenarioDocument::Changes what) {
    const QScopedValueRollback<bool> own(ownEdit_, true);
    document_->edited(what);
}

// ---- Editing the scenario page -----------------------------------------------------------------

bool TForm_Data::editNumber(int cycleIndex) {
    return TFTelNum::edit(*scenario_, cycleIndex, context_.messages, this);
}

void TForm_Data::onScenarioBarPressed(int panel, Qt::MouseButton button) {
    if (button != Qt::RightButton || scenario_->running()) {
        return;
    }
    if (panel == 1 && editNumber(-1)) {
        changedFlags_ |= kChangedCycles;
        bar1_->setText(1, numberText(scenario_->header().outNumber));
        ownEdit(PortScenarioDocument::Header);
    }
    if (panel == 3 && TFormBaseTime::edit(editedBaseTime_, this)) {
        bar1_->setText(3, formatDateTimeMinutes(fromOleDate(editedBaseTime_)));
    }
    applyCommandState();
    checkSet();
}

void TForm_Data::onCycleTableMouse(int row, int column, Qt::MouseButton button) {
    Q_UNUSED(column);
    if (button != Qt::RightButton || scenario_->running()) {
        return;
    }
    if (scenario_->cycleCount() == 0) {
        addCycle();
        return;
    }
    if (row < 0 || row >= scenario_->cycleCount()) {
        return;
    }
    {
        const QScopedValueRollback<bool> own(ownEdit_, true);
        document_->setCurrentIndex(row);
    }
    if (editNumber(row)) {
        changedFlags_ |= kChangedCycles;
        scenario_->updateEstimates();
        showCycles();
        ownEdit(PortScenarioDocument::Cycles);
        checkSet();
    }
}

void TForm_Data::onCycleTicked(int row, bool ticked) {
    if (row < 0 || row >= scenario_->cycleCount()) {
        return;
    }
    if (scenario_->running()) {
        showCycles();  // a running scenario's cycles are the port thread's
        return;
    }
    scenario_->cycle(row).state =
        static_cast<int>(ticked ? CycleState::TakenUp : CycleState::Excluded);
    ownEdit(PortScenarioDocument::Cycles);
    changedFlags_ |= kChangedCycles;
    checkSet();
    applyCommandState();
}

bool TForm_Data::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cycleTable_->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::RightButton) {
            const QModelIndex at = cycleTable_->indexAt(e->position().toPoint());
            onCycleTableMouse(at.isValid() ? at.row() : -1, at.column(), e->button());
            return true;
        }
    } else if (watched == cycleTable_ && event->type() == QEvent::KeyPress) {
        auto* e = static_cast<QKeyEvent*>(event);
        if (e->key() == Qt::Key_Delete) {
            deleteCycle();
            return true;
        }
        if (e->key() == Qt::Key_Insert) {
            insertCycle();
            return true;
        }
    }
    return MdiChild::eventFilter(watched, event);
}

// ---- Scenario commands
// ---------------------------------------------------------------------------

void TForm_Data::newScenario() {
    if (scenario_->running()) {
        return;
    }
    {
        const QScopedValueRollback<bool> own(ownEdit_, true);
        document_->clear();
    }
    showScenario();
}

bool TForm_Data::openScenario(const QString& path) {
    {
        const QScopedValueRollback<bool> own(ownEdit_, true);
        if (!document_->load(path)) {
            return false;
        }
    }
    showScenario();
    return true;
}

bool TForm_Data::saveScenarioAs(const QString& path) {
    return scenario_->SaveToFile(path);
}

void TForm_Data::addCycle() {
    if (!scenario_->running() && scenario_->AddCycle()) {
        cycleAdded();
    }
}

void TForm_Data::insertCycle() {
    if (!scenario_->running() && scenario_->InsertCycle(qMax(0, cycleTable_->currentRow()))) {
        cycleAdded();
    }
}

void TForm_Data::cycleAdded() {
    // A new cycle without a number to call gets one at once.
    const int index = scenario_->currentIndex();
    showCycles();
    if (numberEmpty(scenario_->cycle(index).inNumber)) {
        editNumber(index);
    }
    changedFlags_ |= kChangedCycles;
    scenario_->updateEstimates();
    showCycles();
    ownEdit(PortScenarioDocument::Cycles | PortScenarioDocument::CurrentCycle);
    checkSet();
    applyCommandState();
}

void TForm_Data::deleteCycle() {
    if (scenario_->running() || scenario_->cycleCount() == 0) {
        return;
    }
    QList<int> rows;
    for (const QModelIndex& i : cycleTable_->selectionModel()->selectedRows()) {
        rows.append(i.row());
    }
    if (rows.isEmpty()) {
        rows.append(cycleTable_->currentRow());
    }
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (int r : rows) {
        scenario_->DeleteCycle(r);
    }
    changedFlags_ |= kChangedCycles;
    showCycles();
    ownEdit(PortScenarioDocument::Cycles | PortScenarioDocument::CurrentCycle);
    checkSet();
    applyCommandState();
}

PortCommandState TForm_Data::commandState() const {
    const bool r = scenario_->running();
    const bool p = context_.portsAvailable();
    const bool c = scenario_->cycleCount() > 0;
    PortCommandState s;
    s.newOpenAdd = !r;
    s.save = true;
    s.deleteCycle = !r && c;
    s.start = !r && p && c;
    s.restart = s.start && scenario_->canRestart();
    s.stop = r && p;
    return s;
}

void TForm_Data::setRunning(bool running) {
    const QScopedValueRollback<bool> own(ownEdit_, true);
    document_->setRunning(running);
}

void TForm_Data::applyCommandState() {
    const bool r = scenario_->running();
    setScen_->setEnabled(!r && context_.portsAvailable());
    bar1_->setEnabled(!r);
    bar4_->setEnabled(!r);
    autoRepeat_->setEnabled(!r);
    runCount_->setReadOnly(r);
    interval_->setReadOnly(r);
    emit commandStateChanged();
}

void TForm_Data::activate() {
    showScenario();
    if (repeatMode_ == kRepeatAfterEnd && !scenario_->running()) {
        viewRepeat_->setText(0, QStringLiteral("0"));
    }
}

// ---- Start, restart, stop, end of a run --------------------------------------------------------

void TForm_Data::start() {
    startRun(true);
}

void TForm_Data::restart() {
    startRun(false);
}

void TForm_Data::startRun(bool fresh) {
    if (scenario_->running() || context_.control.portRunning(port_)) {
        return;
    }
    // The answering station must give the serial port back first: the start goes on when it
    // has ended. Monitoring resumes after the run.
    if (context_.control.answerStationRunning(port_)) {
        pendingStart_ = fresh ? kPendingStart : kPendingRestart;
        context_.control.stopAnswerStation(port_);
        return;
    }
    pendingStart_ = kNoPendingStart;
    // A Cancel in the editor abandons the start rather than trapping the user in the editor.
    while (!CheckNumber(scenario_->header().outNumber, NumberRole::Outgoing, context_.messages)) {
        if (context_.messages.batchMode() || !editNumber(-1)) {
            applyCommandState();
            return;
        }
        bar1_->setText(1, numberText(scenario_->header().outNumber));
    }
    // Nothing of the run is written before the port is ours: another program running it keeps
    // its working copy.
    if (!document_->takeRunMarker()) {
        applyCommandState();
        return;
    }
    if (fresh) {
        scenario_->prepareStart();
    }
    setScenario();
    const int code = context_.control.startPort(port_);
    setRunning(code == 0);
    if (!context_.control.portRunning(port_)) {
        document_->releaseRunMarker();  // no thread was made: no end will give the marker back
    }
    showCycles();
    applyCommandState();
}

bool TForm_Data::stop() {
    if (!context_.control.portRunning(port_)) {
        return false;
    }
    if (!context_.messages.batchMode() && !context_.messages.askYesNo(txt(str::AskStopScenario))) {
        applyCommandState();
        return false;
    }
    context_.control.stopPort(port_);
    setRunning(false);
    applyCommandState();
    return true;
}

void TForm_Data::runFinished(int, bool resumeMonitoring) {
    runModel_->runEnded();
    repaintNow();
    {
        const QScopedValueRollback<bool> own(ownEdit_, true);
        document_->loadWorkingCopy();
    }
    setRunning(false);
    if (resumeMonitoring) {
        setMonitoring(true);
    }
    viewRepeat_->setText(0, QStringLiteral("0"));
    showScenario();
    if (!monitoring_) {
        setModeText(ModePanel::NotSet);
    }
}

void TForm_Data::portEnded() {
    // The thread has closed the serial port: the port is free for other programs again.
    document_->releaseRunMarker();
    runModel_->runEnded();
    scheduleRepaint();
    setRunning(false);
    applyCommandState();
    // Monitoring resumes once the port thread has given the serial port back.
    if (monitoring_ && !closing_ && !context_.control.answerStationRunning(port_)) {
        setAndMonitor();
    }
    if (closing_ && !threadsRunning()) {
        closeWaitExpired();
    }
}

}  // namespace zev7
