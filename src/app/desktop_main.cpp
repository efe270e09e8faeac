#include "app/desktop_main.h"

#include "app/command_line.h"
#include "app/gui_messages.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/qt_translations.h"
#include "app/single_instance.h"
#include "app/tpackage_work.h"
#include "core/clocks.h"
#include "core/process_signals.h"
#include "core/program_dir.h"
#include "core/strings.h"
#include "db/db_connection.h"
#include "db/db_location.h"
#include "engine/registry/port_registry.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTimer>
#include <cstdio>

namespace zev7 {

namespace {
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;
}  // namespace

int runDesktopProgram(int argc, char** argv, const DesktopHooks& hooks) {
    if (const auto information = informationRequested(argc, argv)) {
        std::fputs((*information + u'\n').toUtf8().constData(), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zev7"));
    installFaultReport("zev7");
    // Logout, shutdown, a closed terminal or Ctrl+C: kept from now on and answered below, once
    // the window exists, with the close that needs no question.
    catchStopSignals();
    // No display name: the window manager would add it to every caption ("Внимание! — ...").
    installQtRussian(app);
    GuiMessages boxes;

    QStringList arguments = QApplication::arguments().mid(1);
    if (hooks.takeArguments) {
        hooks.takeArguments(arguments);
    }
    QStringList errors;
    const auto line = parseCommandLine(arguments, errors);
    if (!line) {
        boxes.error(errors.join(u'\n') + u'\n' + txt(str::AppUsage));
        return kExitUsage;
    }
    // A batch run has nobody to close a box (offscreen it would wait for ever), and no log
    // before the program exists: what goes wrong before then goes to standard error, and to
    // the log in place of the previous run's, whose last line would otherwise stand for this
    // run's outcome.
    ConsoleMessages console;
    const bool batch = !line->batchList.isEmpty();
    UserMessages& messages = batch ? static_cast<UserMessages&>(console) : boxes;
    const auto refuse = [&](const QString& text, int code) {
        messages.error(text);
        if (batch) {
            TPackageWork::logStartFailure(txt(str::CaptionError) + u' ' + text);
        }
        return code;
    };

    if (!ensureProgramFolders()) {
        return refuse(txt(str::CannotMakeFolders).arg(QDir::toNativeSeparators(programDir())),
                      kExitRefused);
    }
    SingleInstance instance(programDir());
    switch (instance.acquire()) {
        case SingleInstance::Result::Acquired:
            break;
        case SingleInstance::Result::AlreadyRunning:
            // The log belongs to the copy that runs.
            messages.warning(txt(str::AlreadyRunning));
            return kExitRefused;
        case SingleInstance::Result::Failed:
            return refuse(
                txt(str::CannotLockInstance).arg(instance.lockPath(), instance.errorText()),
                kExitRefused);
    }
    const QString scaleText = qEnvironmentVariable("ZEV7_TIME_SCALE");
    const double scale = ScaledClock::scaleFromEnvironment();
    if (!scaleText.isEmpty() && scaleText.toDouble() != scale) {
        return refuse(txt(str::SimBadScale).arg(scaleText), kExitUsage);
    }
    // Numbers with a decimal point, whatever the desktop's language says.
    QLocale::setDefault(QLocale::c());
    QDir::setCurrent(programDir());
    QFile::remove(TPackageWork::logPath());
    // A database that cannot be set up is reported; the ports still measure and write reports.
    // Settings of "[База данных]" that do not read switch the database part off with their
    // reason: no result goes to another database than the one the user chose.
    QString placeError;
    if (const auto place = DbLocation::fromProgramIni(&placeError)) {
        DbConnection::setup(&messages, place->toOptions());
    } else {
        messages.error(txt(str::DbLocRefused).arg(placeError));
        DbConnection::refuse(placeError);
    }

    RealClock realClock;
    ScaledClock scaledClock(scale);
    Clock& clock = scale > 1.0 ? static_cast<Clock&>(scaledClock) : realClock;
    Program program(ProgramSetup{clock, PortRegistry::instance()});
    TMainForm& window = program.mainWindow();
    window.show();
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &window, [&window, &program] {
        // Nobody is there to answer a box or a dialog on the screen: each is cancelled, as Esc
        // would, so that none keeps the program open.
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QDialog*>(w);
                dialog != nullptr && dialog->isVisible()) {
                dialog->reject();
            }
        }
        // A campaign stopped from outside is no success: its log says it was broken off.
        if (TPackageWork* batch = program.batch();
            batch != nullptr && batch->resultCode() == kBatchRunning) {
            batch->Finish(kBatchBroken);
        }
        QMetaObject::invokeMethod(&window, &TMainForm::closeWithoutAsking, Qt::QueuedConnection);
    });
    // Said once, over the window, when the last run ended by a fault.
    QTimer::singleShot(0, &window, [&messages] {
        const QString report = takeUnmentionedFaultReport();
        if (!report.isEmpty()) {
            messages.warning(txt(str::LastRunFaulted).arg(QDir::toNativeSeparators(report)));
        }
    });
    program.start(*line);

    if (hooks.started) {
        hooks.started(program, *line);
    }
    const int rc = QApplication::exec();
    // In batch mode the exit code tells the outcome too (0 only for success).
    return batch ? program.finishBatch() : rc;
}

}  // namespace zev7
