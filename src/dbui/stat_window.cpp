#include "dbui/stat_window.h"

#include "core/ini_file.h"
#include "core/strings.h"
#include "dbquery/stat_table_model.h"
#include "scenario/user_messages.h"
#include "ui/frame/grid_column_widths.h"

#include <QBoxLayout>
#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>

#include <algorithm>

namespace zev7 {

namespace {

constexpr StatWindowKind kKinds[] = {StatWindowKind::CycleStat, StatWindowKind::CycleCalls,
                                     StatWindowKind::CycleSettings, StatWindowKind::Summary,
                                     StatWindowKind::ParamStats};
// The speed buttons' faces: short, the hint says the rest.
constexpr const char* kFaces[] = {"Ц", "В", "Н", "Σ", "П"};
constexpr int kRowHeight = 20;
constexpr int kTitlePadding = 16;
// Header titles are drawn bold by the style, which the header's own font does not say yet.
constexpr double kBoldWidening = 1.1;
constexpr int kMinColumnWidth = 84;  // a date "dd.mm.yyyy" in full
constexpr int kMaxColumnWidth = 260;
// The rows a window opens showing: the longest list of one cycle (the thirteen losses and the
// call counts) whole.
constexpr int kOpeningRows = 20;
constexpr int kMaxOpeningWidth = 1100;

}  // namespace

QString statWindowCaption(StatWindowKind kind) {
    switch (kind) {
        case StatWindowKind::CycleStat:
            return txt(str::StatCycleCaption);
        case StatWindowKind::CycleCalls:
            return txt(str::StatCallsCaption);
        case StatWindowKind::CycleSettings:
            return txt(str::StatSettingsCaption);
        case StatWindowKind::Summary:
            return txt(str::StatSummaryCaption);
        case StatWindowKind::ParamStats:
            return txt(str::StatParamsCaption);
    }
    return {};
}

StatWindow::StatWindow(const QString& caption, IniFile* ini, UserMessages* messages,
                       QWidget* parent)
    : MdiChild(caption, kHelpContext, ini, parent), messages_(messages) {
    main_ = new QVBoxLayout(this);
    main_->setContentsMargins(4, 4, 4, 4);
    auto* bar = new QHBoxLayout;
    bar->setSpacing(2);
    for (StatWindowKind kind : kKinds) {
        auto* b = new QToolButton(this);
        const int i = static_cast<int>(kind);
        b->setText(QString::fromUtf8(kFaces[i]));
        b->setToolTip(statWindowCaption(kind));
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, [this, kind] { emit openRequested(kind); });
        bar->addWidget(b);
        buttons_[i] = b;
    }
    bar->addStretch(1);
    main_->addLayout(bar);
    top_ = new QVBoxLayout;
    main_->addLayout(top_);
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("Grid"));
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grid_->verticalHeader()->hide();
    main_->addWidget(grid_, 1);
}

QSize StatWindow::sizeHint() const {
    const QSize own = MdiChild::sizeHint();
    const int frame = 2 * grid_->frameWidth();
    int columns = frame + grid_->verticalScrollBar()->sizeHint().width();
    if (grid_->model() != nullptr) {
        for (int c = 0; c < grid_->model()->columnCount(); ++c) {
            columns += grid_->isColumnHidden(c) ? 0 : grid_->columnWidth(c);
        }
    }
    const QMargins m = main_->contentsMargins();
    const int width = std::min(columns + m.left() + m.right(), kMaxOpeningWidth);
    const int rows = grid_->horizontalHeader()->sizeHint().height() + kOpeningRows * kRowHeight +
                     frame + grid_->horizontalScrollBar()->sizeHint().height();
    const int height = own.height() - grid_->sizeHint().height() + rows;
    return own.expandedTo({width, height});
}

QToolButton* StatWindow::speedButton(StatWindowKind kind) const {
    return buttons_[static_cast<int>(kind)];
}

void StatWindow::setModel(StatTableModel* model, const QList<int>& wider) {
    grid_->setModel(model);
    widths_ = new GridColumnWidths(grid_);
    const QFontMetrics metrics(grid_->horizontalHeader()->font());
    QList<int> defaults;
    for (int c = 0; c < model->columnCount(); ++c) {
        const QString title = model->headerData(c, Qt::Horizontal).toString();
        const int widest = static_cast<int>(metrics.horizontalAdvance(title) * kBoldWidening);
        defaults << std::clamp(widest + kTitlePadding, kMinColumnWidth, kMaxColumnWidth);
    }
    for (int c = 0; c < wider.size() && c < defaults.size(); ++c) {
        if (wider[c] > 0) {
            defaults[c] = wider[c];
        }
    }
    widths_->setDefaults(defaults);
}

bool StatWindow::reportQuery(bool ok, const StatTableModel& model) {
    if (!ok && messages_ != nullptr) {
        messages_->error(txt(str::DbQueryFailed).arg(model.lastError()));
    }
    return ok;
}

void StatWindow::writeSettings(IniFile& ini, const QString& section) {
    if (widths_ != nullptr) {
        widths_->write(ini, section);
    }
}

void StatWindow::readSettings(const IniFile& ini, const QString& section) {
    if (widths_ != nullptr) {
        widths_->read(ini, section);
    }
}

}  // namespace zev7
