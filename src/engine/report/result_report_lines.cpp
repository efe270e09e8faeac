#include "engine/report/result_report_lines.h"

#include "core/strings.h"
#include "scenario/ole_date.h"
#include "scenario/tel_number.h"

#include <cmath>

namespace zev7 {

namespace {

constexpr int kSettingPrecision = 5;  // significant digits
constexpr int kSettingDecimals = 2;

const QString kBlueHeadingStart = QStringLiteral("<h4 align=center><FONT COLOR=\"#0000FF\">");
const QString kBlueHeadingEnd = QStringLiteral("</FONT></h4>");
const QString kCellBreakCentred = QStringLiteral("</td><td align=center>");

QString blueHeading(const char* text) {
    return kBlueHeadingStart + txt(text) + kBlueHeadingEnd;
}

QString flagText(std::uint8_t flag) {
    return txt(flag != 0 ? str::ReportOn : str::ReportOff);
}

QString rangeText(double low, double high) {
    return txt(str::ReportRangeFrom) + QLatin1Char(' ') + settingRealText(low) + QLatin1Char(' ') +
           txt(str::ReportRangeTo) + QLatin1Char(' ') + settingRealText(high);
}

QString settingRow(const char* name, const QString& value) {
    return QStringLiteral("<tr><td align=left>") + txt(name) + kCellBreakCentred + value +
           QStringLiteral("</td>");
}

QString sectionRow(const char* title) {
    return QStringLiteral("<tr><td COLSPAN=2 align=center><FONT COLOR=\"#006400\">") + txt(title) +
           QStringLiteral("</FONT></td>");
}

QString gridCell(const char* open, const QString& text) {
    return QLatin1String(open) + (text.isEmpty() ? QStringLiteral("&nbsp") : text) +
           QStringLiteral("</td>");
}

}  // namespace

QString settingRealText(double value) {
    if (!std::isfinite(value)) {
        return QString::number(value);
    }
    // The value as it reads with 5 significant digits; a whole part longer than that is shown
    // in scientific notation, as a fixed notation would invent digits.
    const double rounded = QString::number(value, 'g', kSettingPrecision).toDouble();
    if (rounded != 0.0 && std::floor(std::log10(std::fabs(rounded))) >= kSettingPrecision) {
        return QString::number(rounded, 'E', kSettingPrecision - 1);
    }
    QString text = QString::number(rounded, 'f', kSettingDecimals);
    if (text == QLatin1String("-0.00")) {
        text.remove(0, 1);
    }
    return text;
}

QStringList reportHeadLines(const ScenarHeader& header) {
    return {
        QStringLiteral("<HTML>"),
        QStringLiteral("<HEAD>"),
        QStringLiteral(
            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1251\">"),
        QStringLiteral("</HEAD>"),
        QStringLiteral("<BODY>"),
        QStringLiteral("<p>") + txt(str::ReportProduct) + txt(str::ProgramVersion) +
            QLatin1Char(' ') + txt(str::ReportVersionFrom) + QLatin1Char(' ') +
            txt(str::ProgramDate),
        QStringLiteral("<p>") + txt(str::ReportOutgoing) + numberText(header.outNumber),
    };
}

QStringList cycleHeadLines(int cycleNumber, double cycleStartOle, const CycleRecord& cycle) {
    QStringList lines;
    lines << QStringLiteral("<p>") + txt(str::ReportCycle) + QLatin1Char(' ') +
                 txt(str::ReportNumberSign) + QString::number(cycleNumber) +
                 QStringLiteral("    ") + formatDateTimeMinutes(fromOleDate(cycleStartOle)) +
                 QLatin1Char(' ') + txt(str::ReportIncoming) + QLatin1Char(' ') +
                 numberText(cycle.inNumber);
    WriteCycleSettingsTable(cycle, lines);
    return lines;
}

void WriteCycleSettingsTable(const CycleRecord& c, QStringList& lines) {
    const auto real = [](double v) { return settingRealText(v); };
    const auto whole = [](int v) { return QString::number(v); };
    lines << blueHeading(str::ReportSettingsHeading);
    lines << QLatin1String(kReportTableStart);
    lines << QStringLiteral("<tr><td align=center>") + txt(str::ReportSettingNameHead) +
                 kCellBreakCentred + txt(str::ReportSettingValueHead) + QStringLiteral("</td>");
    lines << settingRow(str::ReportMinAttempts, whole(c.minAttempts));
    lines << settingRow(str::ReportMaxAttempts, whole(c.maxAttempts));
    lines << settingRow(str::ReportNormAtMin, real(c.normAtMin));
    lines << settingRow(str::ReportNormAtMax, real(c.normAtMax));
    lines << settingRow(str::ReportDialToneThreshold, real(c.dialToneThreshold));
    lines << settingRow(str::ReportRingbackCheck, flagText(c.ringbackCheck));
    lines << settingRow(str::ReportRingbackThreshold, real(c.ringbackThreshold));
    lines << settingRow(str::ReportAnswerThreshold, real(c.answerThreshold));
    lines << settingRow(str::ReportAnswerTime, rangeText(c.answerMinTime, c.answerMaxTime));
    lines << settingRow(str::ReportAttenuationCheck, flagText(c.attenuationCheck));
    // The clear-back tone is detected with the ringback threshold; it has none of its own.
    lines << settingRow(str::ReportClearBackThreshold, real(c.ringbackThreshold));
    lines << sectionRow(str::ReportCalledAaSection);
    lines << settingRow(str::ReportAaLevel, real(c.aaNominalLevel));
    lines << settingRow(str::ReportAaFrequency, real(c.aaFrequency));
    lines << settingRow(str::ReportAaRings, whole(c.aaRings));
    lines << settingRow(str::ReportAaDelayOn, real(c.aaDelayOn));
    lines << settingRow(str::ReportAaDelayOff, real(c.aaDelayOff));
    lines << sectionRow(str::ReportMoreSection);
    lines << settingRow(str::ReportPause, real(c.pause));
    lines << settingRow(str::ReportWaitTime, real(c.waitTime));
    lines << settingRow(str::ReportRingbackTime, real(c.ringbackTime));
    lines << settingRow(str::ReportBusyPeriod, rangeText(c.busyPeriodMin, c.busyPeriodMax));
    lines << settingRow(str::ReportOverloadPeriod,
                        rangeText(c.overloadPeriodMin, c.overloadPeriodMax));
    lines << settingRow(str::ReportAttenuationSignalTime, real(c.attenuationSignalTime));
    lines << QStringLiteral("</table>");
}

QStringList callTableHeadLines() {
    QString head = QStringLiteral("<tr><td align=center>");
    for (int i = 0; i < kCallRowColumns; ++i) {
        if (i > 0) {
            head += kCellBreakCentred;
        }
        head += txt(str::ReportCallColumns[i]);
    }
    head += QStringLiteral("</td>");
    return {blueHeading(str::ReportCallsPage), QLatin1String(kReportTableStart), head};
}

QString callRowLine(const CallRowTexts& cells) {
    QString line = QStringLiteral("<tr><td align=center>") + cells[0] +
                   QStringLiteral("</td><td align=left>") + cells[1];
    for (int i = 2; i < kCallRowColumns; ++i) {
        line += kCellBreakCentred + cells[static_cast<std::size_t>(i)];
    }
    return line + QStringLiteral("</td>");
}

QStringList cycleResultLines(const ResultGrid& grid, const QString& confidenceLine) {
    QStringList lines;
    lines << QStringLiteral("</table>");
    lines << blueHeading(str::ReportCyclePage);
    lines << QLatin1String(kReportTableStart);
    const QString notNorm = txt(str::VerdictNotNorm);
    for (int r = 0; r < kResultGridRows; ++r) {
        const auto& row = grid[static_cast<std::size_t>(r)];
        QString line = QStringLiteral("<tr>");
        if (r == kResultGridSeparatorRow) {
            for (int i = 0; i < 3; ++i) {
                line += QStringLiteral("<td align=center bgcolor=\"gainsboro\">&nbsp</td>");
            }
        } else {
            line += gridCell("<td align=left>", row[0]);
            line += gridCell("<td align=center>", row[1]);
            if (row[2].isEmpty()) {
                line += QStringLiteral("<td align=center>&nbsp</td>");
            } else if (r == kSummaryVerdictRow && row[2] == notNorm) {
                line += gridCell("<td align=center bgcolor=\"lightpink\">", row[2]);
            } else {
                line += gridCell("<td align=center >", row[2]);
            }
        }
        lines << line;
    }
    lines << QStringLiteral("</table>");
    if (!confidenceLine.isEmpty()) {
        lines << confidenceLine;
    }
    return lines;
}

QString confidenceLine(const LossConfidence& confidence) {
    return QStringLiteral("<p align=center>") +
           txt(str::ConfidenceReportLine)
               .arg(confidence.intervalText(), confidence.decisionText()) +
           QStringLiteral("</p>");
}

QStringList reportClosingLines() {
    return {QStringLiteral("</BODY>"), QStringLiteral("</HTML>")};
}

}  // namespace zev7
