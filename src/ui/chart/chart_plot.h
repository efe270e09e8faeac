// The part of a chart window that draws a graph other than a pie: the live bars a call
// (BarPlot) or the database's lines and histograms (LinePlot). The window gives it the chart;
// it keeps its axes inside their limits and tells the window where its pages stand.
#pragma once

#include "ui/chart/chart_axes.h"
#include "ui/chart/chart_zoom.h"

#include <QList>
#include <QObject>
#include <QPointF>

class QAbstractSeries;
class QValueAxis;

namespace zev7 {

class IniFile;

class ChartPlot : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The series the settings dialog edits first.
    virtual QAbstractSeries* mainSeries() const = 0;
    // The helper series the series menu leaves out (an axis holder, a histogram's area).
    virtual QList<QAbstractSeries*> unlisted() const = 0;
    virtual QValueAxis* bottomAxis() const = 0;
    virtual QValueAxis* leftAxis() const = 0;

    // The data changed.
    virtual void draw() = 0;
    // The look returns to the graph's own (before the stored look is read).
    virtual void applyDefaults() {}
    virtual BarPages pages() const = 0;
    virtual void showPage(int page) = 0;
    // The toolbar: Restore goes back to the whole range, the rest move or zoom both axes.
    virtual void restore() = 0;
    virtual void zoom(ChartZoom command) = 0;
    virtual void wheel(double /*notches*/) {}
    virtual void rightDragged(QPointF /*from*/, QPointF /*to*/) {}
    // The series settings were applied; `pointsChanged` when the points per page changed.
    virtual void seriesEdited(bool pointsChanged) = 0;
    virtual void writeLook(IniFile& ini, const QString& section) const = 0;
    virtual void readLook(const IniFile& ini, const QString& section) = 0;

signals:
    // The page or the number of pages changed.
    void pagesChanged();
};

}  // namespace zev7
