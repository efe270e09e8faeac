#include "dbui/graph_param_button.h"

#include "dbquery/graph_data.h"

#include <QActionGroup>
#include <QMenu>

namespace zev7 {

namespace {

constexpr GraphLevel kLevels[] = {GraphLevel::Attenuation, GraphLevel::DialTone,
                                  GraphLevel::Ringback};

QList<QPair<QString, int>> levelParams(int (*kindOf)(GraphLevel)) {
    QList<QPair<QString, int>> out;
    for (GraphLevel level : kLevels) {
        const int kind = kindOf(level);
        out.append({graphSeriesTitle(kind), kind});
    }
    return out;
}

}  // namespace

GraphParamButton::GraphParamButton(const QString& text, const QList<QPair<QString, int>>& params,
                                   QWidget* parent)
    : QToolButton(parent), group_(new QActionGroup(this)) {
    setText(text);
    setToolTip(text);
    setPopupMode(QToolButton::MenuButtonPopup);
    auto* menu = new QMenu(this);
    for (const auto& [caption, kind] : params) {
        QAction* item = menu->addAction(caption.trimmed());
        item->setCheckable(true);
        item->setData(kind);
        group_->addAction(item);
        connect(item, &QAction::triggered, this, [this, kind] { choose(kind); });
    }
    if (!group_->actions().isEmpty()) {
        group_->actions().first()->setChecked(true);
    }
    setMenu(menu);
    connect(this, &QToolButton::clicked, this, [this] { emit graphRequested(chosenKind()); });
}

int GraphParamButton::chosenKind() const {
    QAction* item = group_->checkedAction();
    return item != nullptr ? item->data().toInt() : -1;
}

void GraphParamButton::choose(int kind) {
    for (QAction* item : group_->actions()) {
        if (item->data().toInt() == kind) {
            item->setChecked(true);
            emit graphRequested(kind);
            return;
        }
    }
}

QList<QPair<QString, int>> histogramParams() {
    return levelParams(&histogramKind);
}

QList<QPair<QString, int>> perCallParams() {
    return levelParams(&perCallKind);
}

QList<QPair<QString, int>> byCycleParams() {
    QList<QPair<QString, int>> out;
    for (int kind = GraphFirstResult; kind <= GraphLastResult; ++kind) {
        out.append({graphSeriesTitle(kind), kind});
    }
    for (const auto& level : levelParams(&meanKind)) {
        out.append(level);
    }
    return out;
}

}  // namespace zev7
