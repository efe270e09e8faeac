// The program the operator named in "Command=" of "[Оповещение]", started for every alert of
// every port with the alert in its environment:
//   ZEV7_PORT   the port number
//   ZEV7_EVENT  loss-streak, category-streak, failed-cycles, thread-error or recovery
//   ZEV7_TEXT   the alert as the protocol says it
//   ZEV7_OUT    the scenario's outgoing number
//   ZEV7_IN     the incoming number of the cycle under way (empty outside a cycle)
//   ZEV7_TIME   the moment on the port's clock, ISO 8601
// The command line is split into the program and its arguments as a shell would quote them,
// but no shell runs it. A relative program path with a folder in it is taken from the program
// directory (where ZEV7.ini lives); a bare name is looked for in PATH. The program runs in the
// program directory, detached: nobody waits for it, neither the port nor the program's end, and
// its end leaves no zombie behind.
#pragma once

#include <QDateTime>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace zev7 {

enum class AlertKind;

// One alert of one port.
struct PortAlert {
    int port = 0;
    AlertKind kind{};
    QString text;       // as the protocol line says it, without date, time and port
    QString outNumber;  // display texts of the numbers
    QString inNumber;
    QDateTime time;  // on the port's clock
};

// A program to start.
struct DetachedProgram {
    QString program;
    QStringList arguments;
    QProcessEnvironment environment;
    QString workingDirectory;
};

// Starts a program and does not wait for it. Called on the port's thread.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // False with the system's reason when the program could not be started.
    virtual bool startDetached(const DetachedProgram& program, QString& error) = 0;
};

// QProcess::startDetached: the program is started apart from this process (on POSIX a
// grandchild adopted by init), so its end needs no one to collect it.
class QtProcessStarter : public ProcessStarter {
public:
    bool startDetached(const DetachedProgram& program, QString& error) override;
};

// The command line and the alert as the program to start; the current environment with the
// ZEV7_* variables added.
DetachedProgram alertProgram(const QString& commandLine, const PortAlert& alert);

}  // namespace zev7
