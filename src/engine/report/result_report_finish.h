// The end of a scenario on a port: the working report "Result\ResultComPort" N ".html" becomes
// the final report the user keeps. Interactively the user names it in a save dialog; in batch
// mode the schedule names it. The copy gives the cycle pictures names of the final report's
// own ("<final name>_Graphic" K ".bmp") and moves them beside it, wherever it was saved, with
// the report's references changed to match; then the working report is deleted.
//
// Runs on the user-interface thread (the port thread waits), after the scenario ended without
// an error.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace zev7 {

class UserMessages;

// What the save dialog of the final report shows.
struct ReportSaveDialog {
    QString title;      // "Сохранить файл результатов -Порт:3"
    QString directory;  // the "Result" folder under the program directory
    QStringList filters;  // "Файл результата (*.html)", "Все файлы (*.*)"; the first selected
    QString fileName;  // "Result_Port_3"
};
ReportSaveDialog reportSaveDialog(int port);

// Shows the save dialog; the chosen path, or nothing when the user cancelled. It is asked again
// after a No to the overwrite question and after a failed copy, so it must be a dialog the user
// can cancel: where nobody answers, name the report the batch way.
using AskReportSavePath = std::function<std::optional<QString>(const ReportSaveDialog&)>;

// The name the final report gets when the schedule (or the command line) names none.
QString defaultReportName(int port);

// Interactive end: asks for the final name (".html" added to a name without an extension;
// an existing file only after "уже существует! Перезаписать?" is answered Yes, No asks for
// another name), closes the report with "</BODY>" and "</HTML>" and copies it. Returns the
// final report's path; nothing when the user cancelled (the working report then stays as it
// is until the port's next run deletes it) or the working report is missing.
std::optional<QString> FinishResultReport(int port, UserMessages& messages,
                                          const AskReportSavePath& askPath);

// Batch end: the final report is reportName under the "Result" folder (an empty name gives
// defaultReportName), replacing a file of that name; no closing tags. Returns its path, or
// nothing when it could not be written (reported; in batch mode the run ends with -5).
std::optional<QString> FinishBatchResultReport(int port, UserMessages& messages,
                                               const QString& reportName);
// Where the batch end puts the final report of reportName.
QString batchReportPath(int port, const QString& reportName);

// The base of the final report's bitmap names: its file name with the five characters from
// its last "." on removed ("Cycle.html" -> "Cycle", "Cycle.htm" -> "Cycle").
QString bitmapBaseName(const QString& finalPath);

// Writes the final report from the working one, each image reference renamed for the final
// report, then moves the bitmaps beside it and deletes the working report. The final file
// appears only complete; on failure nothing is moved or deleted and error says why.
bool copyReportWithBitmaps(const QString& workingPath, const QString& finalPath, QString* error);

}  // namespace zev7
