// "Экспорт таблицы в Word" (menu item Word1): the grid of the active database window handed
// over as a document. The item is enabled only while the active window is one whose table can
// go out (the cycle list and the five statistics windows); with any other window it does
// nothing.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QAction;

namespace zev7 {

class StatWindows;
class TMainForm;
class UserMessages;

class WordExportCommand : public QObject {
    Q_OBJECT

public:
    // Takes over the frame's Word1 item and the export entries of the statistics windows;
    // lives as long as the frame.
    WordExportCommand(TMainForm& frame, UserMessages& messages, StatWindows* stats = nullptr);

    // ExportDo: the active child window's table.
    void ExportDo();
    // The table of that window, when it has one to give (a window's own pop-up entry).
    void exportWindow(QWidget* window);

    // Stands in for the save dialog: the file to write for the window caption, empty to
    // cancel. Unset: the dialog in "Result".
    std::function<QString(const QString& caption)> choosePath;

private:
    void updateItem();

    TMainForm& frame_;
    UserMessages& messages_;
    QAction* item_;
};

}  // namespace zev7
