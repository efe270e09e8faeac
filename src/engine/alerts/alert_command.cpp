#include "engine/alerts/alert_command.h"

#include "core/program_dir.h"
#include "engine/alerts/alert_watch.h"

#include <QDir>
#include <QProcess>

namespace zev7 {

bool QtProcessStarter::startDetached(const DetachedProgram& program, QString& error) {
    QProcess process;
    process.setProgram(program.program);
    process.setArguments(program.arguments);
    process.setProcessEnvironment(program.environment);
    process.setWorkingDirectory(program.workingDirectory);
    // The alert program's output is not ours to read, nor to mix into the console of zev7-run.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setStandardInputFile(QProcess::nullDevice());
    if (process.startDetached()) {
        return true;
    }
    error = process.errorString();
    return false;
}

DetachedProgram alertProgram(const QString& commandLine, const PortAlert& alert) {
    DetachedProgram p;
    QStringList parts = QProcess::splitCommand(commandLine);
    if (!parts.isEmpty()) {
        p.program = parts.takeFirst();
    }
    p.arguments = parts;
    const bool hasFolder =
        p.program.contains(QLatin1Char('/')) || p.program.contains(QLatin1Char('\\'));
    if (hasFolder && QDir::isRelativePath(p.program)) {
        p.program = QDir::cleanPath(programPath(p.program));
    }
    p.workingDirectory = programDir();
    p.environment = QProcessEnvironment::systemEnvironment();
    p.environment.insert(QStringLiteral("ZEV7_PORT"), QString::number(alert.port));
    p.environment.insert(QStringLiteral("ZEV7_EVENT"), alertEventName(alert.kind));
    p.environment.insert(QStringLiteral("ZEV7_TEXT"), alert.text);
    p.environment.insert(QStringLiteral("ZEV7_OUT"), alert.outNumber);
    p.environment.insert(QStringLiteral("ZEV7_IN"), alert.inNumber);
    p.environment.insert(QStringLiteral("ZEV7_TIME"), alert.time.toString(Qt::ISODate));
    return p;
}

}  // namespace zev7
