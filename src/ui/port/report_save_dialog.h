// The save dialog that names a port's final report when its run ends: the port's title, the
// "Result" folder, the proposed name and the two filters. The port thread waits for the answer;
// the dialog itself lives on the user-interface thread.
#pragma once

#include "engine/report/result_report_finish.h"

#include <QString>
#include <optional>

class QWidget;

namespace zev7 {

// Shows the dialog over `parent`; the chosen path, or nothing when the user cancelled or the
// parent went away meanwhile (the program closing). An existing file is not questioned here:
// the finish asks "уже существует! Перезаписать?" itself.
std::optional<QString> askReportSavePath(QWidget* parent, const ReportSaveDialog& dialog);

}  // namespace zev7
