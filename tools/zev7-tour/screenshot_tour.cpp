#include "screenshot_tour.h"

#include "app/main_window.h"
#include "app/transfer_windows.h"
#include "database_screenshots.h"
#include "graph_window_shots.h"
#include "scheme_screenshot.h"
#include "screenshot_graphs.h"
#include "screenshot_settings.h"
#include "stat_window_shots.h"
#include "tour_placement.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTabWidget>

namespace zev7 {

namespace {
// Real time: the window settles, then the simulator (20 times faster) makes a few calls.
constexpr int kSettleMs = 1500;
constexpr int kRunMs = 25000;
constexpr int kPageSettleMs = 300;
// The picture: the main window, the photographed port's window large on the left, the other
// port windows beside it.
constexpr QSize kMainSize{1240, 800};
constexpr QRect kPortPlace{0, 0, 800, 640};
constexpr QRect kOthersPlace{805, 0, 430, 640};

// The page controls of a window that are not inside another page control, in order.
QList<QTabWidget*> outerTabs(QWidget* window) {
    QList<QTabWidget*> outer;
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        bool nested = false;
        for (QWidget* p = tabs->parentWidget(); p != nullptr && p != window;
             p = p->parentWidget()) {
            nested = nested || qobject_cast<QTabWidget*>(p) != nullptr;
        }
        if (!nested) {
            outer.append(tabs);
        }
    }
    return outer;
}

void settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
}
}  // namespace

ScreenshotTour::ScreenshotTour(TMainForm& window, int port, QString directory, StatWindows* stats,
                               QObject* parent)
    : QObject(parent),
      window_(window),
      port_(port),
      directory_(std::move(directory)),
      stats_(stats) {}

void ScreenshotTour::start() {
    QDir().mkpath(directory_);
    window_.showNormal();
    window_.resize(kMainSize);
    for (QMdiSubWindow* sub : window_.mdiArea()->subWindowList()) {
        const bool photographed = sub->widget() == window_.portWindow(port_);
        tourPlace(sub, photographed ? kPortPlace : kOthersPlace);
    }
    window_.openPortWindow(port_);
    openTourGraphs(window_, port_);
    QTimer::singleShot(kSettleMs, this, [this] {
        if (QWidget* w = window_.openPortWindow(port_)) {
            shootRepeatBar(w);
            window_.portWindows().command(w, ScenarioCommand::Start);
        }
        QTimer::singleShot(kRunMs, this, &ScreenshotTour::takePictures);
    });
}

void ScreenshotTour::shoot(const QString& name) {
    settle();
    tourSubject(window_)->grab().save(QDir(directory_).filePath(name + QStringLiteral(".png")));
}

void ScreenshotTour::shootRepeatBar(QWidget* portWindow) {
    // The tool bar in a repeating mode shows the interval, the run count and the runs done;
    // the scenario then runs once, as set.
    auto* modes = portWindow->findChild<QMenu*>(QStringLiteral("PopupMenu1"));
    if (modes == nullptr || modes->actions().size() < 2) {
        return;
    }
    modes->actions()[1]->trigger();
    shoot(QStringLiteral("port-repeat"));
    modes->actions()[0]->trigger();
}

void ScreenshotTour::takePictures() {
    QWidget* w = window_.openPortWindow(port_);
    if (w != nullptr) {
        const QList<QTabWidget*> tabs = outerTabs(w);
        if (!tabs.isEmpty()) {
            QTabWidget* pages = tabs.first();
            for (int i = 0; i < pages->count(); ++i) {
                pages->setCurrentIndex(i);
                const QList<QTabWidget*> inner = outerTabs(pages->widget(i));
                if (inner.isEmpty()) {
                    shoot(QStringLiteral("port-page%1").arg(i + 1));
                    continue;
                }
                for (int j = 0; j < inner.first()->count(); ++j) {
                    inner.first()->setCurrentIndex(j);
                    shoot(QStringLiteral("port-page%1-%2").arg(i + 1).arg(j + 1));
                }
            }
            pages->setCurrentIndex(0);
        }
        shootCycleSettings(window_, port_, directory_);
    }
    shootTourGraphs(window_, port_, directory_);
    photographScheme(window_, [this](const QString& name) { shoot(name); });
    // The selection first, over the demo runs alone: the statistics pictures may add
    // generated cycles to a database that holds too few.
    shootDatabaseWindows(window_, [this](const QString& name) { shoot(name); });
    if (stats_ != nullptr) {
        shootStatWindows(window_, *stats_, [this](const QString& name) { shoot(name); });
    }
    shootGraphWindows(window_, [this](const QString& name) { shoot(name); });
    shootTransferWindows(directory_);
    QTimer::singleShot(kPageSettleMs, &window_, &TMainForm::closeWithoutAsking);
}

}  // namespace zev7
