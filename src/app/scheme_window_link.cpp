#include "app/scheme_window_link.h"

#include "app/main_window.h"
#include "engine/registry/port_registry.h"
#include "ui/port/tform_data.h"
#include "ui/scheme/tftest_scenar.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace zev7 {

namespace {
const QString kObjectName = QStringLiteral("TFTestScenar");
}  // namespace

SchemeWindowLink::SchemeWindowLink(TMainForm& main, IniFile& ini, PortRegistry& registry,
                                   double programStart, QObject* parent)
    : QObject(parent), main_(main), ini_(ini), registry_(registry), programStart_(programStart) {
    main_.provideWindow("NShemaScen", [this] { open(); });
    connect(main_.mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        TFTestScenar* scheme = window();
        if (scheme == nullptr) {
            return;
        }
        if (sub != nullptr && sub->widget() == scheme) {
            scheme->activate();
        } else {
            scheme->scheduleRebuild();  // a port window may have come or gone
        }
    });
}

TFTestScenar* SchemeWindowLink::window() const {
    return qobject_cast<TFTestScenar*>(main_.childWindow(kObjectName));
}

TFTestScenar* SchemeWindowLink::open() {
    if (TFTestScenar* scheme = window()) {
        main_.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(scheme->frameWindow()));
        return scheme;
    }
    SchemeWindowContext context;
    context.ini = &ini_;
    context.programStart = programStart_;
    TMainForm* main = &main_;
    context.documents = [main] {
        QList<PortScenarioDocument*> documents;
        for (int port : main->openPorts()) {
            if (auto* w = qobject_cast<TForm_Data*>(main->portWindow(port))) {
                documents.append(&w->document());
            }
        }
        return documents;
    };
    PortRegistry* registry = &registry_;
    context.portFree = [registry](int port) {
        return registry->runState(port) == PortRunState::Free;
    };
    auto* scheme = new TFTestScenar(std::move(context));
    if (main_.addChildWindow(scheme) == nullptr) {
        return nullptr;
    }
    scheme->activate();
    return scheme;
}

void SchemeWindowLink::refreshScheme() {
    if (TFTestScenar* scheme = window()) {
        scheme->scheduleRebuild();
    }
}

}  // namespace zev7
