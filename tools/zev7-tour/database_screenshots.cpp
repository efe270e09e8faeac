#include "database_screenshots.h"

#include "app/main_window.h"
#include "dbui/tform_interface_bd.h"
#include "dbui/tform_view_bd1.h"
#include "tour_placement.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QPushButton>

namespace zev7 {

namespace {
constexpr QRect kSelectionPlace{0, 0, 760, 640};
constexpr QRect kListPlace{0, 0, 1230, 420};

void place(QWidget* window, const QRect& where) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        tourPlace(sub, where);
    }
}

void click(QWidget* window, const char* button) {
    if (auto* b = window->findChild<QPushButton*>(QString::fromLatin1(button))) {
        b->click();
    }
}
}  // namespace

void shootDatabaseWindows(TMainForm& window, const std::function<void(const QString&)>& shoot) {
    if (auto* item = window.findChild<QAction*>(QStringLiteral("N14"))) {
        item->trigger();
    }
    QWidget* selection = window.childWindow(TForm_InterfaceBD::windowName());
    if (selection == nullptr) {
        return;
    }
    place(selection, kSelectionPlace);
    click(selection, "Button2");  // "Выбор"
    shoot(QStringLiteral("db-selection"));
    click(selection, "Button1");  // "Показать циклы"
    QWidget* list = window.childWindow(TForm_ViewBD1::windowName());
    if (list == nullptr) {
        return;
    }
    place(list, kListPlace);
    click(list, "Itog_Button");
    shoot(QStringLiteral("db-cycles"));
}

}  // namespace zev7
