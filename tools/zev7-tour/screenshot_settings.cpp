#include "screenshot_settings.h"

#include "app/main_window.h"
#include "scenario/scenar_class.h"
#include "tour_placement.h"
#include "ui/port/tform_data.h"
#include "ui/settings/tform_base_time.h"
#include "ui/settings/tform_set.h"
#include "ui/settings/tform_set_add.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>

namespace zev7 {

namespace {

void settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
}

void save(QWidget& widget, const QString& directory, const QString& name) {
    settle();
    widget.grab().save(QDir(directory).filePath(name + QStringLiteral(".png")));
}

}  // namespace

void shootCycleSettings(TMainForm& window, int port, const QString& directory) {
    auto* portWindow = qobject_cast<TForm_Data*>(window.portWindow(port));
    if (portWindow == nullptr) {
        return;
    }
    emit portWindow->cycleSettingsWanted(portWindow, true);
    auto* settings = qobject_cast<TFormSet*>(window.childWindow(QStringLiteral("TFormSet")));
    if (settings == nullptr) {
        return;
    }
    // Beside the port window, as a user keeps it.
    QWidget* frame = settings->frameWindow();
    if (!tourKeepsDefaultSizes()) {
        frame->move(window.width() - frame->width() - 40, 0);
    }
    tourPlace(frame, frame->geometry());
    for (int i = 0; i < settings->pages()->count(); ++i) {
        settings->pages()->setCurrentIndex(i);
        save(*tourSubject(window), directory, QStringLiteral("settings-page%1").arg(i + 1));
    }
    settings->pages()->setCurrentIndex(0);

    TForm_SetAdd more(portWindow->document(), window.messages(), &window);
    more.show();
    save(more, directory, QStringLiteral("settings-more"));
    more.close();
    TFormBaseTime baseTime(portWindow->scenario().header().baseTime, &window);
    baseTime.show();
    save(baseTime, directory, QStringLiteral("settings-base-time"));
    baseTime.close();
    frame->close();
}

}  // namespace zev7
