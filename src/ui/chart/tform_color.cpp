#include "ui/chart/tform_color.h"

#include "core/strings.h"
#include "scenario/result_code.h"
#include "ui/chart/chart_axes.h"
#include "ui/chart/chart_output.h"
#include "ui/frame/set_button.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCheckBox>
#include <QCursor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QXYSeries>

namespace zev7 {

namespace {

constexpr int kLivePointsMin = 5;
constexpr int kLivePointsMax = 1000;
constexpr int kIntervalsMin = 1;
constexpr int kIntervalsMax = 20;
// Database kinds: 4..8 count intervals and recompute, 9..31 count points, above 31 no count.
constexpr int kFirstDbGraphKind = 4;
constexpr int kLastDbIntervalKind = 8;
constexpr int kLastDbCountKind = 31;
constexpr QSize kShapeSize{40, 18};

QPieSeries* pieOf(QAbstractSeries* s) {
    return qobject_cast<QPieSeries*>(s);
}
QBarSet* barSetOf(QAbstractSeries* s) {
    auto* bars = qobject_cast<QAbstractBarSeries*>(s);
    return (bars != nullptr && bars->count() > 0) ? bars->barSets().first() : nullptr;
}
QXYSeries* lineOf(QAbstractSeries* s) {
    return qobject_cast<QXYSeries*>(s);
}

QColor seriesColour(QAbstractSeries* s) {
    if (QBarSet* set = barSetOf(s)) {
        return set->color();
    }
    if (QXYSeries* line = lineOf(s)) {
        return line->color();
    }
    return {};
}

void paintShape(QPushButton* shape, const QColor& colour) {
    shape->setStyleSheet(
        QStringLiteral("background-color: %1; border: 1px solid black;").arg(colour.name()));
}

}  // namespace

Qt::BrushStyle slicePattern(int slice) {
    static constexpr Qt::BrushStyle kPatterns[] = {
        Qt::BDiagPattern, Qt::FDiagPattern, Qt::CrossPattern,  Qt::DiagCrossPattern,
        Qt::HorPattern,   Qt::VerPattern,   Qt::Dense4Pattern, Qt::Dense6Pattern};
    return kPatterns[slice % std::size(kPatterns)];
}

TForm_Color::TForm_Color(QAbstractSeries* series, QChart* chart, int kind, ChartOwner owner,
                         QWidget* parent)
    : QDialog(parent), series_(series), chart_(chart), kind_(kind), owner_(owner) {
    setObjectName(QStringLiteral("Form_Color"));
    setWindowTitle(series->name());
    const bool db = owner == ChartOwner::DatabaseGraph;
    if (db ? (kind == 0 || kind == 2) : kind == 0) {
        panel_ = Panel::TwoSlices;
    } else if (db ? (kind == 1 || kind == 3) : kind == 1) {
        panel_ = Panel::LossSlices;
    }

    auto* layout = new QVBoxLayout(this);
    auto* shapesGrid = new QGridLayout;
    QStringList labels;
    if (panel_ == Panel::TwoSlices) {
        labels = {txt(str::ColorSuccessCalls), txt(str::ColorLostCalls)};
    } else if (panel_ == Panel::LossSlices) {
        for (ResultCode outcome : kLossOutcomes) {
            labels << resultCodeText(outcome);
        }
    } else {
        labels = {txt(str::ColorGraph)};
    }
    for (int i = 0; i < labels.size(); ++i) {
        auto* shape = new QPushButton;
        shape->setObjectName(
            QStringLiteral("NShape%1")
                .arg(panel_ == Panel::Graph ? 1 : (panel_ == Panel::TwoSlices ? 2 + i : 4 + i)));
        shape->setFixedSize(kShapeSize);
        connect(shape, &QPushButton::clicked, this, [this, i] { pickShape(i); });
        shapes_ << shape;
        shapesGrid->addWidget(shape, i, 0);
        shapesGrid->addWidget(new QLabel(labels[i]), i, 1);
    }
    layout->addLayout(shapesGrid);
    if (panel_ == Panel::Graph) {
        marks_ = new QCheckBox(txt(str::ColorMarks));
        marks_->setObjectName(QStringLiteral("CBox_Mark"));
        connect(marks_, &QCheckBox::clicked, this, &TForm_Color::updateSetButton);
        layout->addWidget(marks_);
        auto* count = new QHBoxLayout;
        const bool intervals = db && kind <= kLastDbIntervalKind;
        countLabel_ = new QLabel(txt(intervals ? str::ColorIntervalCount : str::ColorPointCount));
        countPoints_ = new QSpinBox;
        countPoints_->setObjectName(QStringLiteral("CountPoints"));
        countPoints_->setRange(intervals ? kIntervalsMin : kLivePointsMin,
                               intervals ? kIntervalsMax : kLivePointsMax);
        connect(countPoints_, &QSpinBox::valueChanged, this, &TForm_Color::updateSetButton);
        count->addWidget(countLabel_);
        count->addWidget(countPoints_);
        layout->addLayout(count);
        countLabel_->setVisible(countShown());
        countPoints_->setVisible(countShown());
    } else {
        fillPie_ = new QCheckBox(txt(str::ColorFillPie));
        fillPie_->setObjectName(QStringLiteral("CB_FillPie"));
        connect(fillPie_, &QCheckBox::clicked, this, &TForm_Color::updateSetButton);
        layout->addWidget(fillPie_);
    }
    auto* buttons = new QHBoxLayout;
    set_ = new QPushButton(txt(str::ButtonSet));
    set_->setObjectName(QStringLiteral("BitBtn1"));
    auto* cancel = new QPushButton(txt(str::ColorCancel));
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    connect(set_, &QPushButton::clicked, this, &TForm_Color::apply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(set_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    load();
}

bool TForm_Color::countShown() const {
    if (owner_ == ChartOwner::LiveGraph) {
        return true;
    }
    return kind_ >= kFirstDbGraphKind && kind_ <= kLastDbCountKind;
}

QList<QColor> TForm_Color::seriesColours() const {
    QList<QColor> colours;
    if (QPieSeries* pie = pieOf(series_)) {
        for (int i = 0; i < shapes_.size(); ++i) {
            colours << (i < pie->count() ? pie->slices().at(i)->brush().color() : QColor());
        }
    } else {
        colours << seriesColour(series_);
    }
    // One colour per shape, whatever the series holds.
    colours.resize(shapes_.size());
    return colours;
}

bool TForm_Color::seriesPatterns() const {
    QPieSeries* pie = pieOf(series_);
    return pie != nullptr && pie->count() > 0 &&
           pie->slices().first()->brush().style() != Qt::SolidPattern;
}

bool TForm_Color::seriesMarks() const {
    if (auto* bars = qobject_cast<QAbstractBarSeries*>(series_)) {
        return bars->isLabelsVisible();
    }
    if (QXYSeries* line = lineOf(series_)) {
        return line->pointLabelsVisible();
    }
    return false;
}

void TForm_Color::load() {
    colours_ = seriesColours();
    for (int i = 0; i < shapes_.size(); ++i) {
        paintShape(shapes_[i], colours_[i]);
    }
    if (fillPie_ != nullptr) {
        fillPie_->setChecked(!seriesPatterns());
    }
    if (marks_ != nullptr) {
        marks_->setChecked(seriesMarks());
        countPoints_->setValue(chartPointsPerPage(chart_));
    }
    updateSetButton();
}

void TForm_Color::pickShape(int index) {
    const QColor chosen = ChartDialogs::instance().colour(this, colours_.value(index));
    if (chosen.isValid()) {
        setShapeColour(index, chosen);
    }
}

void TForm_Color::setShapeColour(int index, const QColor& colour) {
    if (index < 0 || index >= shapes_.size()) {
        return;
    }
    colours_[index] = colour;
    paintShape(shapes_[index], colour);
    updateSetButton();
}

bool TForm_Color::changed() const {
    if (colours_ != seriesColours()) {
        return true;
    }
    if (fillPie_ != nullptr) {
        return fillPie_->isChecked() == seriesPatterns();
    }
    return marks_->isChecked() != seriesMarks() ||
           (countShown() && countPoints_->value() != chartPointsPerPage(chart_));
}

void TForm_Color::updateSetButton() {
    colourSetButton(set_, changed());
}

void TForm_Color::apply() {
    if (QPieSeries* pie = pieOf(series_)) {
        const bool patterns = !fillPie_->isChecked();
        for (int i = 0; i < pie->count() && i < colours_.size(); ++i) {
            pie->slices().at(i)->setBrush(
                QBrush(colours_[i], patterns ? slicePattern(i) : Qt::SolidPattern));
        }
        accept();
        return;
    }
    const QColor colour = colours_.value(0);
    if (auto* bars = qobject_cast<QAbstractBarSeries*>(series_)) {
        bars->setLabelsVisible(marks_->isChecked());
        for (QBarSet* set : bars->barSets()) {
            set->setColor(colour);
            set->setBorderColor(colour);
        }
    } else if (QXYSeries* line = lineOf(series_)) {
        line->setPointLabelsVisible(marks_->isChecked());
        line->setColor(colour);
        if (owner_ == ChartOwner::DatabaseGraph) {
            line->setBrush(colour);
        }
    }
    // A graph in the background's colour could not be seen anyway.
    series_->setVisible(colour != chart_->backgroundBrush().color());
    if (countShown() && countPoints_->value() != chartPointsPerPage(chart_)) {
        setChartPointsPerPage(chart_, countPoints_->value());
        const bool intervals = owner_ == ChartOwner::DatabaseGraph && kind_ <= kLastDbIntervalKind;
        if (intervals && recompute) {
            recompute();
        }
    }
    accept();
}

void AddSeriesMenuItems(QChart* chart, const QList<QAbstractSeries*>& excluded, QMenu* menu,
                        const std::function<void(QAction*)>& handler) {
    int number = 0;
    for (QAbstractSeries* series : chart->series()) {
        if (excluded.contains(series)) {
            continue;
        }
        QAction* item = menu->addAction(series->name());
        item->setData(number++);
        QObject::connect(item, &QAction::triggered, menu, [handler, item] { handler(item); });
    }
}

int OpenSeriesSettings(QAction* item, QWidget* owner, QChart* chart,
                       const QList<QAbstractSeries*>& excluded, int kind, ChartOwner chartOwner) {
    int number = 0;
    for (QAbstractSeries* series : chart->series()) {
        if (excluded.contains(series)) {
            continue;
        }
        if (number++ != item->data().toInt()) {
            continue;
        }
        TForm_Color dialog(series, chart, kind, chartOwner, owner);
        dialog.adjustSize();
        const QPoint at = QCursor::pos();
        dialog.move(at.x() - dialog.width() / 2, at.y());
        return dialog.exec();
    }
    return QDialog::Rejected;
}

}  // namespace zev7
