#include "dbui/wait_cursor.h"

#include <QApplication>
#include <QCursor>

namespace zev7 {

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}

}  // namespace zev7
