// "Экспорт в CSV" of the list window: the cycles of the selection, or their calls, written to a
// file the engineer picks, through the same ResultExport as zev7-db's "export". A long export
// shows its progress and can be stopped; the file is then incomplete, and the engineer is told.
#pragma once

#include "dbtransfer/result_export.h"

#include <QSqlDatabase>
#include <functional>
#include <optional>

class QWidget;

namespace zev7 {

class UserMessages;

// Where the rows go, and whether one per call rather than one per cycle.
struct CsvTarget {
    QString path;
    bool calls = false;
};

class SelectionCsvExport {
public:
    SelectionCsvExport(QSqlDatabase db, UserMessages& messages);

    // Asks for the file (the dialog's file type chooses cycles or calls) and writes the
    // selection's rows; false when cancelled, stopped or failed (the message shown).
    bool run(QWidget* parent, const SqlFilter& filter, const QList<int>& excludedCycleIds);

    // Stands in for the save dialog: the target, nothing to cancel. Unset: the dialog in
    // "Result".
    std::function<std::optional<CsvTarget>()> chooseTarget;

private:
    std::optional<CsvTarget> askTarget(QWidget* parent) const;

    QSqlDatabase db_;
    UserMessages& messages_;
};

}  // namespace zev7
