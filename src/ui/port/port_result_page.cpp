#include "ui/port/port_result_page.h"

#include "core/strings.h"
#include "scenario/result_code.h"
#include "ui/frame/grid_fit.h"
#include "ui/frame/panel_bar.h"
#include "ui/model/port_run_model.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace zev7 {

namespace {

constexpr int kSeparatorRow = 6;
constexpr int kResultColumnWidths[] = {210, 75, 75};
// The columns after the designed three: the verdict row shows there the 95 % interval of the
// loss share and what it proves.
constexpr int kDesignedResultColumns = 3;
constexpr int kIntervalColumn = 3;
constexpr int kDecisionColumn = 4;
constexpr int kResultColumns = 5;
constexpr int kCallColumnWidths[] = {40, 150, 100, 65, 75, 65, 65, 65};
const QColor kSeparatorColour(192, 192, 192);
constexpr int kRowHeight = 18;
constexpr int kCellMargin = 12;

// The widest outcome a call can end with, as the call table writes it.
int widestOutcome(const QFontMetrics& metrics) {
    int widest = metrics.horizontalAdvance(resultCodeText(ResultCode::Success));
    for (ResultCode outcome : kLossOutcomes) {
        widest = std::max(widest, metrics.horizontalAdvance(resultCodeText(outcome)));
    }
    return widest;
}

// The full width of a grid's columns with its frame and a vertical scroll bar.
int gridWidth(const QTableWidget* t) {
    int width = 2 * t->frameWidth() + t->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < t->columnCount(); ++c) {
        width += t->columnWidth(c);
    }
    return width;
}

void setCell(QTableWidget* t, int row, int col, const QString& text) {
    QTableWidgetItem* item = t->item(row, col);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        t->setItem(row, col, item);
    }
    if (item->text() != text) {
        item->setText(text);
    }
}

}  // namespace

PortResultPage::PortResultPage(const PortRunModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    outBar_ = new PanelBar({40, 220, 110, 40, 0});
    outBar_->setObjectName("StatusBar5");
    outBar_->setText(0, txt(str::BarOut));
    outBar_->setText(1, txt(str::EmptyNumberText));
    outBar_->setText(2, txt(str::EmptyCycleStart));
    outBar_->setText(3, QStringLiteral("0"));
    outBar_->setHint(1, txt(str::HintResOutNumber));
    outBar_->setHint(2, txt(str::HintResCycleStart));
    outBar_->setHint(3, txt(str::HintResCycleNumber));

    inBar_ = new PanelBar({40, 220, 30, 30, 60, 0});
    inBar_->setObjectName("StatusBar6");
    inBar_->setText(0, txt(str::BarIn));
    inBar_->setText(1, txt(str::EmptyNumberText));
    inBar_->setHint(1, txt(str::HintResInNumber));
    const char* graphHints[] = {str::GraphCalls, str::GraphLosses, str::HintGraphParams};
    const QStyle::StandardPixmap icons[] = {QStyle::SP_FileDialogInfoView,
                                            QStyle::SP_FileDialogContentsView,
                                            QStyle::SP_FileDialogDetailedView};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QToolButton;
        b->setIcon(style()->standardIcon(icons[i]));
        b->setAutoRaise(true);
        b->setToolTip(txt(graphHints[i]));
        inBar_->setWidget(2 + i, b);
        inBar_->setHint(2 + i, b->toolTip());
        graphButtons_[i] = b;
    }
    graphButtons_[2]->setObjectName("Menu_Param");

    cycleTable_ = new QTableWidget(kResultGridRows, kResultColumns);
    cycleTable_->setObjectName("TableCallCycle");
    callTable_ = new QTableWidget(0, kCallColumns);
    callTable_->setObjectName("Table_Session");
    for (QTableWidget* t : {cycleTable_, callTable_}) {
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->verticalHeader()->hide();
        t->verticalHeader()->setDefaultSectionSize(kRowHeight);
    }
    cycleTable_->horizontalHeader()->hide();
    for (int c = 0; c < kDesignedResultColumns; ++c) {
        cycleTable_->setColumnWidth(c, kResultColumnWidths[c]);
    }
    const SummaryTexts blank{};
    const ResultGrid grid = resultGrid(blank);
    for (int r = 0; r < kResultGridRows; ++r) {
        for (int c = 0; c < kDesignedResultColumns; ++c) {
            setCell(cycleTable_, r, c, grid[r][c]);
        }
    }
    setCell(cycleTable_, 0, kIntervalColumn, txt(str::ConfidenceHead));
    setCell(cycleTable_, 0, kDecisionColumn, txt(str::ConfidenceDecisionHead));
    for (int c = 1; c < kResultColumns; ++c) {
        setCell(cycleTable_, kSeparatorRow, c, QString());
        cycleTable_->item(kSeparatorRow, c)->setBackground(kSeparatorColour);
    }
    // Room for the widest interval and for a decision still waiting for many calls.
    const QFontMetrics metrics = cycleTable_->fontMetrics();
    cycleTable_->setColumnWidth(
        kIntervalColumn,
        metrics.horizontalAdvance(
            txt(str::ConfidenceInterval).arg(QStringLiteral("100.00"), QStringLiteral("100.00"))) +
            kCellMargin);
    cycleTable_->setColumnWidth(
        kDecisionColumn,
        metrics.horizontalAdvance(txt(str::ConfidenceUndecided).arg(QStringLiteral("99999"))) +
            kCellMargin);
    // A label longer than the usual width ("Превышена длит. сигнала АО" in a large font) widens
    // its column rather than being cut.
    FitGridColumn(cycleTable_, 0, GridFit::WholeCells);
    cycleTable_->setColumnWidth(0, std::max(kResultColumnWidths[0], cycleTable_->columnWidth(0)));

    const char* heads[] = {str::CallColNumber,   str::CallColResult,   str::CallColAttenuation,
                           str::CallColDialTone, str::CallColRingback, str::CallColDuration,
                           str::CallColStart,    str::CallColEnd};
    const char* hints[] = {str::CallHintNumber,   str::CallHintResult,   str::CallHintAttenuation,
                           str::CallHintDialTone, str::CallHintRingback, str::CallHintDuration,
                           str::CallHintStart,    str::CallHintEnd};
    for (int c = 0; c < kCallColumns; ++c) {
        auto* head = new QTableWidgetItem(txt(heads[c]));
        head->setToolTip(txt(hints[c]));
        callTable_->setHorizontalHeaderItem(c, head);
        callTable_->setColumnWidth(
            c, std::max(kCallColumnWidths[c], callTable_->horizontalHeader()->sectionSizeHint(c)));
    }
    const int outcomeWidth = widestOutcome(callTable_->fontMetrics()) + kCellMargin;
    callTable_->setColumnWidth(1, std::max(callTable_->columnWidth(1), outcomeWidth));

    tabs_ = new QTabWidget;
    tabs_->setObjectName("PageControl4");
    tabs_->addTab(cycleTable_, txt(str::PageResultCycle));
    tabs_->addTab(callTable_, txt(str::PageResultCalls));
    tabs_->setCurrentIndex(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(outBar_);
    layout->addWidget(inBar_);
    layout->addWidget(tabs_, 1);
    connect(&model, &PortRunModel::repaintDue, this, &PortResultPage::showRun);
}

QSize PortResultPage::sizeHint() const {
    const QSize own = QWidget::sizeHint();
    // The page control's tab row and frame around the tables.
    const int tabChrome = tabs_->tabBar()->sizeHint().height() + 8;
    const int width = std::max(gridWidth(cycleTable_), gridWidth(callTable_)) + 8 + 4;
    const int height = outBar_->sizeHint().height() + inBar_->sizeHint().height() + tabChrome +
                       kResultGridRows * kRowHeight + 2 * cycleTable_->frameWidth() + 12;
    return own.expandedTo({width, height});
}

void PortResultPage::showRun(const RunRepaint& what) {
    if (what.cycleStarted) {
        const CycleStartInfo& info = model_.cycle();
        outBar_->setText(1, info.outNumberText);
        outBar_->setText(2, info.startText);
        outBar_->setText(3, QString::number(info.cycleNumber));
        inBar_->setText(1, info.inNumberText);
        callTable_->setRowCount(0);
    }
    const int count = model_.callCount();
    if (callTable_->rowCount() != count) {
        callTable_->setRowCount(count);
    }
    if (what.firstRow >= 0) {
        for (int r = what.firstRow; r < count; ++r) {
            const CallRowTexts cells = model_.callRow(r);
            for (int c = 0; c < kCallColumns; ++c) {
                setCell(callTable_, r, c, cells[static_cast<std::size_t>(c)]);
            }
        }
        callTable_->scrollToBottom();
    }
    if (what.summary) {
        const ResultGrid grid = resultGrid(model_.summary());
        for (int r = 1; r < kResultGridRows; ++r) {
            for (int c = 1; c < kDesignedResultColumns; ++c) {
                setCell(cycleTable_, r, c, grid[r][c]);
            }
        }
        const LossConfidence& confidence = model_.confidence();
        const bool shown = confidence.hasInterval();
        setCell(cycleTable_, kSummaryVerdictRow, kIntervalColumn,
                shown ? confidence.intervalText() : QString());
        setCell(cycleTable_, kSummaryVerdictRow, kDecisionColumn,
                shown ? confidence.decisionText() : QString());
        // The verdict cell, indented like the other values after their bar.
        QTableWidgetItem* verdict = cycleTable_->item(kSummaryVerdictRow, 2);
        verdict->setBackground(complianceColour());
    }
}

QColor PortResultPage::complianceColour() const {
    return model_.meetsNorm() ? kNormColour : kOffNormColour;
}

}  // namespace zev7
