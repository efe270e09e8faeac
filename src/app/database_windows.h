// The database windows in the frame: the selection window and the list of selected cycles
// (each exists once), the hidden measurement monitor, the compaction behind the database
// guard, and the choice of the database. The list window's statistics buttons are connected where
// those windows are made.
#pragma once

#include "dbquery/selection_criteria.h"

#include <QObject>
#include <functional>

class QDate;
class QKeySequence;

namespace zev7 {

class DbGraphWindows;
class DbLocation;
class IniFile;
class StatWindows;
class TForm_BD;
class TForm_InterfaceBD;
class TForm_ViewBD1;
class TMainForm;
class UserMessages;

// The key that reaches the measurement monitor: it has no visible menu item.
QKeySequence monitorShortcut();

class DatabaseWindows : public QObject {
    Q_OBJECT

public:
    DatabaseWindows(TMainForm& window, IniFile& ini, UserMessages& messages,
                    std::function<QDate()> today, QObject* parent = nullptr);

    // Menu items N14, N13 (hidden, reached by its key) and N16.
    void provideMenuItems();

    // "Интерфейс БД": shows the open window or makes it.
    TForm_InterfaceBD* openSelection();
    // "Показать циклы": the list window (made when needed) loads the selection.
    TForm_ViewBD1* showCycles(const SelectionCriteria& criteria);
    TForm_BD* openMonitor();
    // "Сжатие БД": after the database guard, the modal progress window.
    void compact();
    // "Настройки БД": the dialog; its OK rebinds the database (applyLocation).
    void openSettings();
    // After the database guard (no port running, the windows over the database closed), binds
    // the program to `place` and writes "[База данных]" of ZEV7.ini. When the new database
    // cannot be set up the user is told, the previous one is bound again and false returned.
    bool applyLocation(const DbLocation& place);

    // The five statistics windows the list window opens and drives.
    void setStatWindows(StatWindows* stats) { stats_ = stats; }
    // The statistical graphs the list window and the statistics windows open.
    void setGraphWindows(DbGraphWindows* graphs) { graphs_ = graphs; }

    // The windows that follow the list window and close with it.
    static QStringList statisticsWindowNames();

private:
    void connectStatWindows(TForm_ViewBD1* list);
    template <class W>
    W* existing() const;

    TMainForm& window_;
    IniFile& ini_;
    UserMessages& messages_;
    std::function<QDate()> today_;
    StatWindows* stats_ = nullptr;
    DbGraphWindows* graphs_ = nullptr;
};

}  // namespace zev7
