// TForm_Color, the series settings dialog of every chart window: the slice colours and the fill
// of a pie, or the colour, marks and points per page of a bar or line graph. The chart pop-up
// menu opens it for the series the user picked (AddSeriesMenuItems, OpenSeriesSettings).
#pragma once

#include <QColor>
#include <QDialog>
#include <QList>
#include <functional>

class QAbstractSeries;
class QAction;
class QChart;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QSpinBox;

namespace zev7 {

// Whose series the dialog edits: a live graph window's or a database graph window's; their kind
// numbers differ.
enum class ChartOwner { LiveGraph, DatabaseGraph };

class TForm_Color : public QDialog {
    Q_OBJECT

public:
    // Which panel the dialog shows.
    enum class Panel { TwoSlices, LossSlices, Graph };

    TForm_Color(QAbstractSeries* series, QChart* chart, int kind, ChartOwner owner,
                QWidget* parent = nullptr);

    Panel panel() const { return panel_; }
    int shapeCount() const { return static_cast<int>(shapes_.size()); }
    QColor shapeColour(int index) const { return colours_.value(index); }
    // A shape clicked: the colour dialog on its colour; the chosen one is taken.
    void pickShape(int index);
    void setShapeColour(int index, const QColor& colour);
    QCheckBox* fillPie() const { return fillPie_; }
    QCheckBox* marks() const { return marks_; }
    QSpinBox* countPoints() const { return countPoints_; }
    QPushButton* setButton() const { return set_; }
    // Any shown value differs from the series (the "Установить" text is yellow then).
    bool changed() const;
    // "Установить": the values go to the series and chart, and the dialog closes.
    void apply();

    // A database graph of kinds 4..8 recomputes itself when its interval count changed.
    std::function<void()> recompute;

private:
    void load();
    void updateSetButton();
    QList<QColor> seriesColours() const;
    bool seriesPatterns() const;
    bool seriesMarks() const;
    bool countShown() const;

    QAbstractSeries* series_;
    QChart* chart_;
    int kind_;
    ChartOwner owner_;
    Panel panel_ = Panel::Graph;
    QList<QPushButton*> shapes_;
    QList<QColor> colours_;
    QCheckBox* fillPie_ = nullptr;
    QCheckBox* marks_ = nullptr;
    QLabel* countLabel_ = nullptr;
    QSpinBox* countPoints_ = nullptr;
    QPushButton* set_ = nullptr;
};

// The fill patterns of pie slices drawn "with patterns", one per slice in turn.
Qt::BrushStyle slicePattern(int slice);

// Appends one item per series of the chart (skipping the excluded ones), in series order:
// caption the series' title, data its running number among the added items.
void AddSeriesMenuItems(QChart* chart, const QList<QAbstractSeries*>& excluded, QMenu* menu,
                        const std::function<void(QAction*)>& handler);
// The series of the clicked item, in the dialog at the mouse pointer, shown modally. Returns the
// dialog's result (QDialog::Accepted when applied).
int OpenSeriesSettings(QAction* item, QWidget* owner, QChart* chart,
                       const QList<QAbstractSeries*>& excluded, int kind, ChartOwner chartOwner);

}  // namespace zev7
