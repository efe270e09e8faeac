// zev7-scn: prepares and inspects scenario files for batch runs without the windows.
#include "scn_commands.h"

#include "scenario/user_messages.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    zev7::ConsoleMessages messages;
    return zev7::runScnCommand(QCoreApplication::arguments().mid(1), messages);
}
