// zev7-dbgen: fills the results database with generated cycles, for trying out and timing the
// statistics windows on a database of realistic size. The database is the one --db names, else
// ZEV7_DB, else "[База данных]" of the program directory's ZEV7.ini, else the file under it.
#include "core/program_dir.h"
#include "core/strings.h"
#include "db/db_connection.h"
#include "db/db_location.h"
#include "db/demo_copies.h"
#include "db/demo_database.h"
#include "scenario/user_messages.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

constexpr int kExitUsage = 2;
constexpr double kMsPerSecond = 1000.0;
constexpr double kBytesPerMiB = 1024.0 * 1024.0;

int intOption(const QCommandLineParser& parser, const QString& name, int fallback) {
    bool ok = false;
    const int v = parser.value(name).toInt(&ok);
    return ok && v > 0 ? v : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Fills the results database with generated cycles. The database: --db, else the "
        "variable ZEV7_DB, else [База данных] of ZEV7.ini in the program directory, else "
        "ZEV7DBASE/ZEV7.sqlite under it."));
    parser.addHelpOption();
    parser.addOption(
        {QStringLiteral("home"), QStringLiteral("Program directory."), QStringLiteral("dir")});
    parser.addOption({QStringLiteral("cycles"), QStringLiteral("Cycles (default 1000)."),
                      QStringLiteral("n"), QStringLiteral("1000")});
    parser.addOption({QStringLiteral("calls"),
                      QStringLiteral("Test calls per cycle (default 100)."), QStringLiteral("n"),
                      QStringLiteral("100")});
    parser.addOption({QStringLiteral("seed"), QStringLiteral("Random seed (default 2006)."),
                      QStringLiteral("n"), QStringLiteral("2006")});
    parser.addOption({QStringLiteral("copies"),
                      QStringLiteral("Then repeat the cycles until the database holds n times as "
                                     "many, each repetition weeks later (default 1)."),
                      QStringLiteral("n"), QStringLiteral("1")});
    parser.addOption(
        {QStringLiteral("fresh"), QStringLiteral("Start from an empty database (the file only).")});
    parser.addOption(
        {QStringLiteral("db"), zev7::txt(zev7::str::DbToolOptionDb), QStringLiteral("URL")});
    parser.addOption({QStringLiteral("station"), zev7::txt(zev7::str::DbToolOptionStation),
                      QStringLiteral("NAME")});
    parser.process(app);

    if (parser.isSet(QStringLiteral("home"))) {
        zev7::setProgramDir(parser.value(QStringLiteral("home")));
    }
    QString placeError;
    const std::optional<zev7::DbLocation> place = zev7::DbLocation::forTool(
        parser.value(QStringLiteral("db")), parser.value(QStringLiteral("station")), &placeError);
    if (!place) {
        std::fprintf(stderr, "%s\n", qPrintable(placeError));
        return kExitUsage;
    }
    if (place->onServer() && parser.isSet(QStringLiteral("fresh"))) {
        std::fprintf(stderr, "%s\n", qPrintable(zev7::txt(zev7::str::DbGenNoFreshOnServer)));
        return kExitUsage;
    }
    zev7::ConsoleMessages messages;
    if (parser.isSet(QStringLiteral("fresh"))) {
        for (const char* suffix : {"", "-wal", "-shm"}) {
            QFile::remove(zev7::DbConnection::filePath() + QLatin1String(suffix));
        }
    }
    if (!zev7::DbConnection::setup(&messages, place->toOptions())) {
        return 1;
    }

    zev7::DemoDatabaseSpec spec;
    spec.cycles = intOption(parser, QStringLiteral("cycles"), spec.cycles);
    spec.callsPerCycle = intOption(parser, QStringLiteral("calls"), spec.callsPerCycle);
    spec.seed = static_cast<std::uint32_t>(intOption(parser, QStringLiteral("seed"), 2006));

    QElapsedTimer timer;
    timer.start();
    zev7::DemoDatabaseReport report = zev7::fillDemoDatabase(spec, messages, [&](int done) {
        if (done % 100 == 0) {
            std::fprintf(stderr, "\r%d / %d cycles", done, spec.cycles);
        }
    });
    const int copies = intOption(parser, QStringLiteral("copies"), 1);
    if (copies > 1 && report.failures == 0) {
        const zev7::DemoCopiesReport grown = zev7::repeatDemoCycles(
            copies, [&](int done) { std::fprintf(stderr, "\r%d / %d copies", done + 1, copies); });
        if (!grown.error.isEmpty()) {
            std::fprintf(stderr, "\n%s\n", qPrintable(grown.error));
            ++report.failures;
        }
        report.cycles = grown.cycles;
        report.calls = static_cast<int>(grown.calls);
    }
    const double seconds = static_cast<double>(timer.elapsed()) / kMsPerSecond;
    zev7::DbConnection::shutdown();

    const QString path = zev7::DbConnection::filePath();
    std::printf("\n%d cycles, %d test calls in %.1f s (%.0f calls/s); %d failed writes\n",
                report.cycles, report.calls, seconds, seconds > 0 ? report.calls / seconds : 0.0,
                report.failures);
    if (place->onServer()) {
        std::printf("%s\n", qPrintable(place->url()));
    } else {
        std::printf("%s: %.1f MiB\n", qPrintable(path),
                    static_cast<double>(QFileInfo(path).size()) / kBytesPerMiB);
    }
    return report.failures == 0 ? 0 : 2;
}
