#include "ui/port/report_save_dialog.h"

#include <QFileDialog>
#include <QPointer>

namespace zev7 {

std::optional<QString> askReportSavePath(QWidget* parent, const ReportSaveDialog& dialog) {
    // On the heap and watched: closing the program closes the port window, and the dialog with
    // it, while the dialog still waits for the user.
    QPointer<QFileDialog> box = new QFileDialog(parent, dialog.title, dialog.directory);
    box->setObjectName(QStringLiteral("ReportSaveDialog"));
    box->setAcceptMode(QFileDialog::AcceptSave);
    box->setFileMode(QFileDialog::AnyFile);
    box->setOption(QFileDialog::DontConfirmOverwrite);
    box->setNameFilters(dialog.filters);
    if (!dialog.filters.isEmpty()) {
        box->selectNameFilter(dialog.filters.first());
    }
    box->selectFile(dialog.fileName);
    const int result = box->exec();
    if (box.isNull()) {
        return std::nullopt;
    }
    const QStringList chosen = box->selectedFiles();
    delete box.data();
    if (result != QDialog::Accepted || chosen.isEmpty() || chosen.first().isEmpty()) {
        return std::nullopt;
    }
    return chosen.first();
}

}  // namespace zev7
