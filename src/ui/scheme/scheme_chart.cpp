#include "ui/scheme/scheme_chart.h"

#include "core/strings.h"
#include "scenario/ole_date.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace zev7 {

namespace {

// The port axis: rows at whole port numbers, the first at the top, never fewer than six rows.
constexpr double kPortAxisMin = 0.2;
constexpr double kPortAxisTail = 0.8;
constexpr double kPortAxisLeast = 6.0;
constexpr double kBarHalfHeight = 0.3;  // of a row

// Margins of the plot, pixels.
constexpr int kLeftMargin = 64;
constexpr int kBottomMargin = 42;
constexpr int kTopMargin = 8;
constexpr int kRightMargin = 8;
constexpr int kLegendSwatch = 12;
constexpr int kMinBarPixels = 3;

// Label steps of the time axis, in minutes; the labels never come closer than their width.
constexpr double kLabelStepsMinutes[] = {1,   2,   5,   10,   15,   30,    60,    120,
                                         180, 360, 720, 1440, 2880, 10080, 43200, 525600};
constexpr int kLabelGapPixels = 12;
const char kTimeLabelFormat[] = "hh:mm dd.MM.yy";

// Wheel and keys.
constexpr double kZoomStep = 0.8;
constexpr double kScrollStep = 0.1;

}  // namespace

SchemeChart::SchemeChart(ScenarioScheme& scheme, QWidget* parent)
    : QWidget(parent), scheme_(scheme) {
    setObjectName(QStringLiteral("Chart1"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setAutoFillBackground(true);
    setToolTip(txt(str::SchemeChartHint));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void SchemeChart::setVisible(const TimeSpan& window) {
    double length = std::clamp(window.length(), kMinVisibleDays, kMaxVisibleDays);
    if (!std::isfinite(length)) {
        length = kMinVisibleDays;
    }
    const double middle = (window.first + window.last) / 2.0;
    visible_ =
        window.length() == length ? window : TimeSpan{middle - length / 2, middle + length / 2};
    update();
    emit visibleChanged();
}

void SchemeChart::rowsChanged() {
    portAxisMax_ = std::max(kPortAxisLeast, scheme_.lastPort() + kPortAxisTail);
    update();
}

void SchemeChart::zoom(double factor, double anchor) {
    const double length = std::clamp(visible_.length() * factor, kMinVisibleDays, kMaxVisibleDays);
    const double share =
        visible_.length() > 0 ? (anchor - visible_.first) / visible_.length() : 0.5;
    const double first = anchor - share * length;
    setVisible({first, first + length});
}

void SchemeChart::scroll(double fraction) {
    const double shift = visible_.length() * fraction;
    setVisible({visible_.first + shift, visible_.last + shift});
}

QColor SchemeChart::colourOf(const SchemeRow& row, const SchemeBar& bar) {
    if (bar.clash) {
        return kClashColour;
    }
    switch (bar.colour) {
        case BarColour::Enumerated:
            return kEnumeratedColour;
        case BarColour::Repeat:
            return kRepeatColour;
        case BarColour::Series:
            break;
    }
    return row.free ? kFreeColour : kBusyColour;
}

int SchemeChart::legendWidth() const {
    int widest = 0;
    for (const SchemeRow& row : scheme_.rows()) {
        if (!row.legend.isEmpty()) {
            widest = std::max(widest, fontMetrics().horizontalAdvance(row.legend));
        }
    }
    return widest == 0 ? 0 : std::min(widest + kLegendSwatch + 16, width() / 2);
}

QRectF SchemeChart::plotArea() const {
    return QRectF(kLeftMargin, kTopMargin, width() - kLeftMargin - kRightMargin - legendWidth(),
                  height() - kTopMargin - kBottomMargin);
}

double SchemeChart::xOf(double time) const {
    const QRectF plot = plotArea();
    return plot.left() + (time - visible_.first) / visible_.length() * plot.width();
}

double SchemeChart::timeAt(double x) const {
    const QRectF plot = plotArea();
    return visible_.first + (x - plot.left()) / plot.width() * visible_.length();
}

double SchemeChart::yOf(double axisValue) const {
    const QRectF plot = plotArea();
    return plot.top() + (axisValue - kPortAxisMin) / (portAxisMax_ - kPortAxisMin) * plot.height();
}

QRectF SchemeChart::barRect(int row, int bar) const {
    const SchemeRow& r = scheme_.rows().at(static_cast<std::size_t>(row));
    const SchemeBar& b = r.bars.at(static_cast<std::size_t>(bar));
    const double left = xOf(b.start);
    const double right = std::max(xOf(b.end), left + kMinBarPixels);
    const double top = yOf(r.port - kBarHalfHeight);
    return QRectF(QPointF(left, top), QPointF(right, yOf(r.port + kBarHalfHeight)));
}

int SchemeChart::rowAt(double y) const {
    const QRectF plot = plotArea();
    const double value =
        kPortAxisMin + (y - plot.top()) / plot.height() * (portAxisMax_ - kPortAxisMin);
    const double port = std::round(value);
    if (std::abs(value - port) > kBarHalfHeight) {
        return -1;
    }
    const auto& rows = scheme_.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].port == static_cast<int>(port)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// ---- Painting ----------------------------------------------------------------------------------

void SchemeChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRectF plot = plotArea();
    if (plot.width() < 10 || plot.height() < 10) {
        return;
    }
    paintTimeAxis(p, plot);
    paintPortAxis(p, plot);
    p.setPen(Qt::black);
    p.drawRect(plot);
    p.save();
    p.setClipRect(plot);
    paintBars(p, plot);
    p.restore();
    paintLegend(p, plot);
}

void SchemeChart::paintTimeAxis(QPainter& p, const QRectF& plot) {
    const QFontMetrics fm = fontMetrics();
    const int labelWidth = fm.horizontalAdvance(QStringLiteral("00:00 00.00.00")) + kLabelGapPixels;
    const double daysPerPixel = visible_.length() / plot.width();
    double step = kLabelStepsMinutes[std::size(kLabelStepsMinutes) - 1] / kMinutesPerDay;
    for (double minutes : kLabelStepsMinutes) {
        if (minutes / kMinutesPerDay / daysPerPixel >= labelWidth) {
            step = minutes / kMinutesPerDay;
            break;
        }
    }
    // Whole multiples of the step fall on whole local minutes, hours and days.
    for (double t = std::ceil(visible_.first / step) * step; t <= visible_.last; t += step) {
        const double x = xOf(t);
        p.setPen(QColor(225, 225, 225));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        p.setPen(Qt::black);
        p.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 4));
        const QString label = fromOleDate(t).toString(QString::fromLatin1(kTimeLabelFormat));
        p.drawText(QRectF(x - labelWidth / 2.0, plot.bottom() + 5, labelWidth, fm.height()),
                   Qt::AlignHCenter | Qt::AlignTop, label);
    }
    p.drawText(QRectF(plot.left(), plot.bottom() + 5 + fm.height(), plot.width(), fm.height()),
               Qt::AlignHCenter | Qt::AlignTop, txt(str::SchemeTimeAxis));
}

void SchemeChart::paintPortAxis(QPainter& p, const QRectF& plot) {
    const QFontMetrics fm = fontMetrics();
    const int last = static_cast<int>(std::floor(portAxisMax_));
    const double rowPixels = plot.height() / (portAxisMax_ - kPortAxisMin);
    // Every port while the rows are tall enough for their number, else every few.
    const int every = std::max(1, static_cast<int>(std::ceil(fm.height() / rowPixels)));
    p.setPen(Qt::black);
    for (int port = 1; port <= last; port += every) {
        const double y = yOf(port);
        p.drawLine(QPointF(plot.left() - 4, y), QPointF(plot.left(), y));
        p.drawText(QRectF(plot.left() - 34, y - fm.height() / 2.0, 28, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(port));
    }
    p.save();
    p.translate(fm.height() / 2.0 + 2, plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot.height() / 2, -fm.height() / 2.0, plot.height(), fm.height()),
               Qt::AlignCenter, txt(str::SchemeChannel));
    p.restore();
}

void SchemeChart::paintBars(QPainter& p, const QRectF& plot) {
    const QFontMetrics fm = fontMetrics();
    const auto& rows = scheme_.rows();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const SchemeRow& row = rows[r];
        double aboveFreeFrom = plot.left();  // where the next mark above this row may begin
        for (std::size_t b = 0; b < row.bars.size(); ++b) {
            const SchemeBar& bar = row.bars[b];
            if (bar.end < visible_.first || bar.start > visible_.last) {
                continue;
            }
            const QRectF rect = barRect(static_cast<int>(r), static_cast<int>(b));
            p.setPen(Qt::black);
            p.setBrush(colourOf(row, bar));
            p.drawRect(rect);
            // The mark: the cycle and its number, inside the bar when it fits, else above it
            // when it runs into no other mark and stays in the chart; never cut short.
            const int width = fm.horizontalAdvance(bar.label);
            const double room = std::max(rect.width() - 6, 0.0);
            const bool inside = width <= room && rect.height() >= fm.height();
            const QRectF text = inside ? rect.adjusted(3, 0, -3, 0)
                                       : QRectF(rect.left(), rect.top() - fm.height(),
                                                width + kLabelGapPixels / 2.0, fm.height());
            if (!inside && (text.top() < plot.top() || text.left() < aboveFreeFrom ||
                            text.right() > plot.right())) {
                continue;
            }
            if (!inside) {
                aboveFreeFrom = text.right();
            }
            p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, bar.label);
        }
    }
}

void SchemeChart::paintLegend(QPainter& p, const QRectF& plot) {
    const int w = legendWidth();
    if (w == 0) {
        return;
    }
    const QFontMetrics fm = fontMetrics();
    double y = plot.top();
    const double x = plot.right() + 8;
    p.setPen(Qt::black);
    for (const SchemeRow& row : scheme_.rows()) {
        if (row.legend.isEmpty()) {
            continue;
        }
        p.setBrush(row.free ? kFreeColour : kBusyColour);
        p.drawRect(
            QRectF(x, y + (fm.height() - kLegendSwatch) / 2.0, kLegendSwatch, kLegendSwatch));
        const double textLeft = x + kLegendSwatch + 4;
        p.drawText(
            QRectF(textLeft, y, width() - textLeft - 2, fm.height()),
            Qt::AlignLeft | Qt::AlignVCenter,
            fm.elidedText(row.legend, Qt::ElideRight, static_cast<int>(width() - textLeft - 2)));
        y += fm.height() + 2;
    }
}

// ---- Mouse and keys ----------------------------------------------------------------------------

void SchemeChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPointF at = event->position();
    const int row = rowAt(at.y());
    const double time = timeAt(at.x());
    if (scheme_.beginDrag(row, scheme_.barAt(row, time), time)) {
        setCursor(Qt::SizeHorCursor);
    }
}

void SchemeChart::mouseMoveEvent(QMouseEvent* event) {
    if (scheme_.dragging()) {
        scheme_.dragTo(timeAt(event->position().x()));
        update();
    }
}

void SchemeChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !scheme_.dragging()) {
        return;
    }
    scheme_.dragTo(timeAt(event->position().x()));
    unsetCursor();
    const std::optional<CycleMove> move = scheme_.endDrag();
    update();
    if (move) {
        emit cycleMoved(*move);
    }
    emit dragFinished();
}

void SchemeChart::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        return;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        scroll(delta > 0 ? -kScrollStep : kScrollStep);
    } else {
        zoom(delta > 0 ? kZoomStep : 1.0 / kZoomStep, timeAt(event->position().x()));
    }
    event->accept();
}

void SchemeChart::keyPressEvent(QKeyEvent* event) {
    const double middle = (visible_.first + visible_.last) / 2.0;
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            zoom(kZoomStep, middle);
            break;
        case Qt::Key_Minus:
            zoom(1.0 / kZoomStep, middle);
            break;
        case Qt::Key_Left:
            scroll(-kScrollStep);
            break;
        case Qt::Key_Right:
            scroll(kScrollStep);
            break;
        case Qt::Key_Home:
            emit wholeRangeRequested();
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

}  // namespace zev7
