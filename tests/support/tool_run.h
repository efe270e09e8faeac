// One of the command-line tools run as a user runs it: to its end, with what it printed.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace zev7::testing {

struct ToolRun {
    int exitCode = -1;  // -1: it did not end by itself within the time given
    QString out;
    QString err;
};

inline ToolRun runTool(const QString& program, const QStringList& arguments,
                       int timeoutMs = 60000) {
    QProcess p;
    p.start(program, arguments);
    ToolRun r;
    if (p.waitForFinished(timeoutMs) && p.exitStatus() == QProcess::NormalExit) {
        r.exitCode = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
    }
    return r;
}

}  // namespace zev7::testing
