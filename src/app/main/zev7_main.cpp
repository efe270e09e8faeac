// zev7: the desktop program "ВЕРСА-ТЛ".
//   zev7 [SCHEDULE.LST] [--open PORT[:SCENARIO]]... [--answer PORT[:SCENARIO]]... [--screenshots
//   DIR]
// ZEV7_HOME names the program directory (by default the executable's, or the user's data folder
// for an installed program), ZEV7_TIME_SCALE runs the clock K times faster to agree with zev7-sim.
#include "app/command_line.h"
#include "app/gui_messages.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/qt_translations.h"
#include "app/screenshot_tour.h"
#include "app/single_instance.h"
#include "app/tpackage_work.h"
#include "core/clocks.h"
#include "core/program_dir.h"
#include "core/strings.h"
#include "db/db_connection.h"
#include "engine/registry/port_registry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <cstdio>

using namespace zev7;

namespace {
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;
}  // namespace

int main(int argc, char** argv) {
    if (const auto information = informationRequested(argc, argv)) {
        std::fputs((*information + u'\n').toUtf8().constData(), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zev7"));
    // No display name: the window manager would add it to every caption ("Внимание! — ...").
    installQtRussian(app);
    GuiMessages boxes;

    QStringList arguments = QApplication::arguments().mid(1);
    QString screenshots;
    const qsizetype shotsAt = arguments.indexOf(QStringLiteral("--screenshots"));
    if (shotsAt >= 0 && shotsAt + 1 < arguments.size()) {
        screenshots = arguments.at(shotsAt + 1);
        arguments.remove(shotsAt, 2);
    }
    QStringList errors;
    const auto line = parseCommandLine(arguments, errors);
    if (!line) {
        boxes.error(errors.join(u'\n') + u'\n' + txt(str::AppUsage));
        return kExitUsage;
    }
    // A batch run has nobody to close a box (offscreen it would wait for ever), and no log
    // before the program exists: what goes wrong before then goes to standard error.
    ConsoleMessages console;
    UserMessages& messages =
        line->batchList.isEmpty() ? static_cast<UserMessages&>(boxes) : console;
    const QString scaleText = qEnvironmentVariable("ZEV7_TIME_SCALE");
    const double scale = ScaledClock::scaleFromEnvironment();
    if (!scaleText.isEmpty() && scaleText.toDouble() != scale) {
        messages.error(txt(str::SimBadScale).arg(scaleText));
        return kExitUsage;
    }

    if (!ensureProgramFolders()) {
        messages.error(txt(str::CannotMakeFolders).arg(QDir::toNativeSeparators(programDir())));
        return kExitRefused;
    }
    SingleInstance instance(programDir());
    switch (instance.acquire()) {
        case SingleInstance::Result::Acquired:
            break;
        case SingleInstance::Result::AlreadyRunning:
            messages.warning(txt(str::AlreadyRunning));
            return kExitRefused;
        case SingleInstance::Result::Failed:
            messages.error(
                txt(str::CannotLockInstance).arg(instance.lockPath(), instance.errorText()));
            return kExitRefused;
    }
    // Numbers with a decimal point, whatever the desktop's language says.
    QLocale::setDefault(QLocale::c());
    QDir::setCurrent(programDir());
    QFile::remove(TPackageWork::logPath());
    // A database that cannot be set up is reported; the ports still measure and write reports.
    DbConnection::setup(&messages);

    RealClock realClock;
    ScaledClock scaledClock(scale);
    Clock& clock = scale > 1.0 ? static_cast<Clock&>(scaledClock) : realClock;
    Program program(ProgramSetup{clock, PortRegistry::instance()});
    TMainForm& window = program.mainWindow();
    window.show();
    program.start(*line);

    ScreenshotTour tour(window, line->windows.empty() ? 1 : line->windows.front().port, screenshots,
                        &program.statWindows());
    if (!screenshots.isEmpty()) {
        tour.start();
    }
    const int rc = QApplication::exec();
    return rc;
}
