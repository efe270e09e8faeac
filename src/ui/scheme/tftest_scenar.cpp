#include "ui/scheme/tftest_scenar.h"

#include "core/strings.h"
#include "scenario/scenar_class.h"
#include "ui/model/port_scenario_document.h"
#include "ui/scheme/scheme_chart.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <vector>

namespace zev7 {

namespace {
constexpr QSize kInitialSize{600, 400};
constexpr double kRangeMargin = 0.02;

QString pageText(int page, int count) {
    return txt(str::SchemePage) + QLatin1Char(' ') + QString::number(page) + QLatin1Char(' ') +
           txt(str::SchemePageOf) + QLatin1Char(' ') + QString::number(count);
}
}  // namespace

TFTestScenar::TFTestScenar(SchemeWindowContext context, QWidget* parent)
    : MdiChild(txt(str::MenuScheme), kHelpContext, context.ini, parent),
      context_(std::move(context)) {
    setObjectName(QStringLiteral("TFTestScenar"));
    chart_ = new SchemeChart(scheme_, this);
    chart_->setVisible({context_.programStart, context_.programStart + kEmptySpanDays});

    prev_ = new QToolButton;
    prev_->setObjectName(QStringLiteral("PrevBitBtn"));
    prev_->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    prev_->setToolTip(txt(str::SchemePrevHint));
    next_ = new QToolButton;
    next_->setObjectName(QStringLiteral("NextBitBtn"));
    next_->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    next_->setToolTip(txt(str::SchemeNextHint));
    label1_ = new QLabel(pageText(0, 0));
    label1_->setObjectName(QStringLiteral("Label1"));
    connect(prev_, &QToolButton::clicked, this, &TFTestScenar::prevPage);
    connect(next_, &QToolButton::clicked, this, &TFTestScenar::nextPage);

    auto* pages = new QHBoxLayout;
    pages->addStretch(1);
    pages->addWidget(prev_);
    pages->addWidget(label1_);
    pages->addWidget(next_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(chart_, 1);
    layout->addLayout(pages);
    resize(kInitialSize);

    connect(chart_, &SchemeChart::visibleChanged, this, &TFTestScenar::updatePageLabel);
    connect(chart_, &SchemeChart::wholeRangeRequested, this, &TFTestScenar::showWholeRange);
    connect(chart_, &SchemeChart::cycleMoved, this, &TFTestScenar::applyMove);
    connect(chart_, &SchemeChart::dragFinished, this, &TFTestScenar::scheduleRebuild);
    rebuild();
}

void TFTestScenar::watch(PortScenarioDocument* document) {
    for (const QPointer<PortScenarioDocument>& d : watched_) {
        if (d == document) {
            return;
        }
    }
    watched_.append(document);
    using D = PortScenarioDocument;
    connect(document, &D::changed, this, [this](D::Changes what) {
        if (what & (D::Header | D::Cycles | D::Times | D::Running)) {
            scheduleRebuild();
        }
    });
    connect(document, &QObject::destroyed, this, &TFTestScenar::scheduleRebuild);
}

void TFTestScenar::rebuild() {
    rebuildPending_ = false;
    watched_.removeAll(nullptr);
    std::vector<SchemeSource> sources;
    for (PortScenarioDocument* d : context_.documents()) {
        if (d == nullptr) {
            continue;
        }
        watch(d);
        const TScenarClass& s = std::as_const(*d).scenario();
        sources.push_back(
            {d->port(), context_.portFree(d->port()), s.running(), &s.header(), s.cycles()});
    }
    scheme_.build(sources);
    chart_->rowsChanged();
}

void TFTestScenar::scheduleRebuild() {
    if (rebuildPending_) {
        return;
    }
    rebuildPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (!rebuildPending_) {
            return;
        }
        if (scheme_.dragging()) {
            rebuildPending_ = false;  // the end of the drag asks again
            return;
        }
        rebuild();
        updatePageLabel();
    });
}

void TFTestScenar::activate() {
    rebuild();
    showWholeRange();
}

TimeSpan TFTestScenar::dataSpan() const {
    if (const std::optional<TimeSpan> data = scheme_.dataSpan()) {
        return *data;
    }
    return {context_.programStart, context_.programStart + kEmptySpanDays};
}

void TFTestScenar::showWholeRange() {
    // A margin on both sides, so the first start and the last end stand clear of the frame.
    const TimeSpan data = dataSpan();
    const double margin = data.length() * kRangeMargin;
    chart_->setVisible({data.first - margin, data.last + margin});
}

void TFTestScenar::zoomChart(ChartZoom command) {
    if (command == ChartZoom::Restore) {
        showWholeRange();
        return;
    }
    const TimeSpan v = chart_->visible();
    const AxisWindow w = zoomWindow({v.first, v.last}, command, false);
    chart_->setVisible({w.min, w.max});
}

void TFTestScenar::updatePageLabel() {
    const SchemePage p = ScenarioScheme::page(dataSpan(), chart_->visible());
    label1_->setText(pageText(p.page, p.count));
}

void TFTestScenar::showPage(int page) {
    const TimeSpan data = dataSpan();
    const double length = chart_->visible().length();
    const SchemePage p = ScenarioScheme::page(data, chart_->visible());
    chart_->setVisible(ScenarioScheme::pageWindow(data, length, std::clamp(page, 1, p.count)));
}

void TFTestScenar::prevPage() {
    showPage(ScenarioScheme::page(dataSpan(), chart_->visible()).page - 1);
}

void TFTestScenar::nextPage() {
    showPage(ScenarioScheme::page(dataSpan(), chart_->visible()).page + 1);
}

void TFTestScenar::applyMove(const CycleMove& move) {
    for (PortScenarioDocument* d : context_.documents()) {
        if (d != nullptr && d->port() == move.port) {
            d->moveCycleStart(move.cycle, move.startFrom, move.startUntil);
            return;
        }
    }
}

}  // namespace zev7
