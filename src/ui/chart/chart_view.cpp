#include "ui/chart/chart_view.h"

#include <QMouseEvent>
#include <QWheelEvent>

namespace zev7 {

namespace {
constexpr double kNotch = 120.0;  // one notch of a mouse wheel in its delta units
}  // namespace

ChartView::ChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::RectangleRubberBand);
    setFocusPolicy(Qt::StrongFocus);
}

void ChartView::setZoomAllowed(bool allowed) {
    zoomAllowed_ = allowed;
    setRubberBand(allowed ? QChartView::RectangleRubberBand : QChartView::NoRubberBand);
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    emit clicked();
    if (event->button() == Qt::RightButton) {
        // The view's own right click would zoom out; here it turns, scrolls or opens the menu.
        rightDown_ = true;
        rightMoved_ = false;
        rightLast_ = event->position();
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    if (rightDown_) {
        if (event->position() != rightLast_) {
            rightMoved_ = true;
            emit rightDragged(rightLast_, event->position());
            rightLast_ = event->position();
        }
        event->accept();
        return;
    }
    QChartView::mouseMoveEvent(event);
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && rightDown_) {
        rightDown_ = false;
        if (!rightMoved_) {
            emit rightClicked(event->globalPosition().toPoint());
        }
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    emit doubleClicked(event->globalPosition().toPoint());
    event->accept();
}

void ChartView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / kNotch;
    if (notches != 0.0) {
        emit wheelTurned(notches);
    }
    event->accept();
}

}  // namespace zev7
