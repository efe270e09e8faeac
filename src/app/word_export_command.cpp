#include "app/word_export_command.h"

#include "app/main_window.h"
#include "dbui/stat_windows.h"
#include "dbui/word_export.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace zev7 {

namespace {

ExportableGrid* exportable(QWidget* window) {
    return dynamic_cast<ExportableGrid*>(window);
}

}  // namespace

WordExportCommand::WordExportCommand(TMainForm& frame, UserMessages& messages, StatWindows* stats)
    : QObject(&frame),
      frame_(frame),
      messages_(messages),
      // The frame's own item; the windows' pop-up entries of the same name lie deeper.
      item_(frame.findChild<QAction*>(QStringLiteral("Word1"), Qt::FindDirectChildrenOnly)) {
    if (item_ != nullptr) {
        connect(item_, &QAction::triggered, this, &WordExportCommand::ExportDo);
    }
    if (stats != nullptr) {
        connect(stats, &StatWindows::exportRequested, this, &WordExportCommand::exportWindow);
    }
    connect(frame_.mdiArea(), &QMdiArea::subWindowActivated, this, &WordExportCommand::updateItem);
    updateItem();
}

void WordExportCommand::ExportDo() {
    exportWindow(frame_.activeChild());
}

void WordExportCommand::exportWindow(QWidget* window) {
    const ExportableGrid* source = exportable(window);
    if (source == nullptr) {
        return;
    }
    const QString caption = window->windowTitle();
    QString path;
    if (choosePath) {
        path = choosePath(caption);
        if (path.isEmpty()) {
            return;
        }
    }
    exportGridToWord(&frame_, source->exportGrid(), caption, source->exportHeading(),
                     source->exportOrientation(), messages_, path);
}

void WordExportCommand::updateItem() {
    if (item_ != nullptr) {
        item_->setEnabled(exportable(frame_.activeChild()) != nullptr);
    }
}

}  // namespace zev7
