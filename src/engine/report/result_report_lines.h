// The lines of the port's HTML result report, section by section, from plain values. Each
// element is one line of the file; the writer adds the line feed.
#pragma once

#include "engine/cycle/cycle_result_texts.h"
#include "scenario/loss_confidence.h"
#include "scenario/records.h"

#include <QString>
#include <QStringList>

namespace zev7 {

// The start of every table of the report.
inline constexpr char kReportTableStart[] =
    "<table align=center border=\"1\" cellpadding=\"1\" width=\"100%\">";
// The row of the result table that separates the verdict from the loss categories.
inline constexpr int kResultGridSeparatorRow = 6;

// Mode 0: the HTML head, the program and its version, the outgoing number.
QStringList reportHeadLines(const ScenarHeader& header);
// Mode 1: the cycle paragraph (number, start "dd.mm.yy hh:mm", incoming number) and the
// cycle's settings table.
QStringList cycleHeadLines(int cycleNumber, double cycleStartOle, const CycleRecord& cycle);
// The table of the 24 settings the cycle runs with, in two sections.
void WriteCycleSettingsTable(const CycleRecord& cycle, QStringList& lines);
// Mode 2: the heading and the column heads of the test-call table.
QStringList callTableHeadLines();
// Mode 3: one test call.
QString callRowLine(const CallRowTexts& cells);
// Mode 4 without its pictures: closes the call table and writes the cycle result table, then
// the line of the verdict's confidence when there is one.
QStringList cycleResultLines(const ResultGrid& grid, const QString& confidenceLine = {});
// The line under the result table: the 95 % interval of the loss share and what it proves.
QString confidenceLine(const LossConfidence& confidence);
// Closes the report when it is finished by hand.
QStringList reportClosingLines();

// A setting with fractions as the table shows it: rounded to 5 significant digits, then with
// 2 decimals ("-43.50", "2100.00").
QString settingRealText(double value);

}  // namespace zev7
