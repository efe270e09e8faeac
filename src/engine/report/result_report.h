// The port's HTML result report "Result\ResultComPort" N ".html", written while the scenario
// runs: the head when the port starts, for each cycle its paragraph with the settings table,
// the call table that grows by one row per test call, and at the cycle's end the result table
// and the pictures of the open graph windows. Windows-1251, appended section by section; each
// line reaches the file before the next is written, so a report cut short by a crash holds
// every call up to it.
//
// Every section is written under the report mutex that all ports share, together with the
// database step the caller hands in (run first, inside the same lock), so that the report and
// the database receive a port's cycles and calls in the same order and the sections of two
// ports never interleave. The mutex ("hMutexNameStr_ZEV7", PortRegistry::resultFilesMutex()) is
// waited for at most its 60000 ms; after that the section is written all the same.
//
// A report that cannot be opened or written is reported ("Ошибка!"; in batch mode logged and
// the batch ended with -5); the section is lost, the scenario goes on.
#pragma once

#include "engine/cycle/cycle_result_texts.h"
#include "scenario/records.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace zev7 {

class Clock;
class GraphBitmapSource;
class NamedMutex;
class UserMessages;

// "Result\ResultComPort" N ".html" under the program directory.
QString workingReportPath(int port);

// Appends the lines to the port's working report (created when missing), each followed by a
// line feed, as Windows-1251 bytes. Reports a report that cannot be opened, and once a line
// that cannot be written (the following lines are still tried). True when every line is in.
bool appendToWorkingReport(int port, const QStringList& lines, UserMessages& messages);

// The start of a run on the port: its working report and its bitmaps 1, 2, 3 ... up to the
// first missing number are deleted. (The protocol file is the port thread's.)
void removeOldResultFiles(int port);

class ResultReport {
public:
    // What a section stores in the database; runs inside the report mutex before the section's
    // lines are written. An empty step stores nothing.
    using DatabaseStep = std::function<void()>;

    // reportMutex: the mutex every port's report and database writing shares (none:
    // unguarded); its wait is measured on `clock`. graphs: where mode 4 gets the port's graph
    // windows from (none: no pictures).
    ResultReport(int port, UserMessages& messages, NamedMutex* reportMutex, const Clock& clock,
                 GraphBitmapSource* graphs = nullptr);

    int port() const { return port_; }
    QString path() const { return workingReportPath(port_); }

    // Mode 0, once when the port starts: the HTML head, the program, the outgoing number.
    bool writeHead(const ScenarHeader& header, const DatabaseStep& databaseStep = {});
    // Mode 1, when a cycle starts: its running number, start (OLE date-time), incoming number
    // and its settings table.
    bool writeCycleHead(int cycleNumber, double cycleStartOle, const CycleRecord& cycle,
                        const DatabaseStep& databaseStep = {});
    // Mode 2, right after mode 1: the head of the test-call table.
    bool writeCallTableHead(const DatabaseStep& databaseStep = {});
    // Mode 3, after each accounted test call: its row.
    bool writeCallRow(const CallRowTexts& cells, const DatabaseStep& databaseStep = {});
    // Mode 4, at the end of a cycle (or when the scenario is stopped in a cycle that made at
    // least one call): closes the call table, writes the result table, saves and shows the
    // pictures of the port's open graph windows; the confidence line goes under the table.
    bool writeCycleEnd(const ResultGrid& grid, const DatabaseStep& databaseStep = {},
                       const QString& confidenceLine = {});

private:
    bool writeSection(const DatabaseStep& databaseStep, const std::function<QStringList()>& lines);

    int port_;
    UserMessages& messages_;
    NamedMutex* mutex_;
    const Clock& clock_;
    GraphBitmapSource* graphs_;
};

}  // namespace zev7
