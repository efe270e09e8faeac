// Qt's own dialogs and buttons (Yes/No of every question, the file, colour and print dialogs)
// speak Russian like the rest of the program: Qt's Russian translations of the system
// (Debian's qt6-translations-l10n), whatever language the desktop is set to.
#pragma once

class QCoreApplication;
class QTranslator;

namespace zev7 {

// Installs Qt's Russian translations into `app`, which owns them; nullptr when they are not
// installed on this machine (Qt's dialogs then stay English).
QTranslator* installQtRussian(QCoreApplication& app);

}  // namespace zev7
