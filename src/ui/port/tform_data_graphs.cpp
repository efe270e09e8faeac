// The port window's graph commands: the two pie buttons and Menu_Param of the result page open
// the port's graph windows, which show the data this window keeps as calls are accounted.
#include "core/strings.h"
#include "ui/chart/graph_windows.h"
#include "ui/model/port_graph_data.h"
#include "ui/port/port_result_page.h"
#include "ui/port/tform_data.h"

#include <QActionGroup>
#include <QMenu>
#include <QToolButton>

namespace zev7 {

void TForm_Data::buildGraphCommands() {
    connect(results_->graphButton(0), &QToolButton::clicked, this, [this] { openGraph(CallsPie); });
    connect(results_->graphButton(1), &QToolButton::clicked, this,
            [this] { openGraph(LossesPie); });
    graphMenu_ = new QMenu(this);
    graphMenu_->setObjectName(QStringLiteral("Menu_Param"));
    auto* group = new QActionGroup(graphMenu_);
    const std::pair<const char*, const char*> items[] = {{"N_Att", str::GraphAttenuation},
                                                         {"N_LevAS", str::GraphDialTone},
                                                         {"N_LevDC", str::GraphRingback}};
    for (int i = 0; i < 3; ++i) {
        QAction* item = graphMenu_->addAction(txt(items[i].second));
        item->setObjectName(QString::fromLatin1(items[i].first));
        item->setCheckable(true);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] { openGraph(AttenuationBars + i); });
    }
    QToolButton* params = results_->graphButton(2);
    connect(params, &QToolButton::clicked, this, [this, params] {
        graphMenu_->popup(params->mapToGlobal(QPoint(0, params->height())));
    });
    const bool available = context_.graphs != nullptr;
    for (int i = 0; i < 3; ++i) {
        results_->graphButton(i)->setEnabled(available);
    }
}

void TForm_Data::openGraph(int kind) {
    if (context_.graphs == nullptr || kind < 0 || kind >= kGraphKinds) {
        return;
    }
    if (kind >= AttenuationBars) {
        graphMenu_->actions().at(kind - AttenuationBars)->setChecked(true);
    }
    context_.graphs->open(port_, kind, runModel_->graphs(), context_.messages, context_.ini);
}

void TForm_Data::reopenGraphs() {
    for (int kind = 0; kind < kGraphKinds; ++kind) {
        if (graphFlags_[static_cast<std::size_t>(kind)]) {
            openGraph(kind);
        }
    }
}

}  // namespace zev7
