// The program's help: short Russian pages, one per help context number, in the folder "help"
// beside the program or in the installation's data ("help/17.html"; "help/index.html" is the
// contents). F1 and the help
// buttons open the help window at the topic of the window or page the user is in.
#pragma once

class QWidget;

namespace zev7 {

// Marks a widget (window, tab page, dialog) with its help context number.
void setHelpContext(QWidget* widget, int context);
// The context of the widget or of its nearest marked parent; 0 when none is marked.
int helpContextOf(const QWidget* widget);
// Opens (or raises) the help window at the topic; 0 opens the contents.
void showHelp(int context);

}  // namespace zev7
