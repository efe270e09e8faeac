#include "scheme_screenshot.h"

#include "app/main_window.h"
#include "tour_placement.h"
#include "ui/frame/mdi_child.h"

#include <QAction>

namespace zev7 {

namespace {
constexpr QRect kSchemePlace{0, 0, 1000, 560};
}  // namespace

void photographScheme(TMainForm& main, const std::function<void(const QString&)>& shoot) {
    auto* open = main.findChild<QAction*>(QStringLiteral("NShemaScen"));
    if (open == nullptr || !open->isEnabled()) {
        return;
    }
    open->trigger();
    auto* scheme = qobject_cast<MdiChild*>(main.childWindow(QStringLiteral("TFTestScenar")));
    if (scheme == nullptr) {
        return;
    }
    tourPlace(scheme->frameWindow(), kSchemePlace);
    shoot(QStringLiteral("scheme"));
}

}  // namespace zev7
