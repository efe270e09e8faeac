#include "dbui/grid_widths.h"

#include "ui/ini_file.h"

#include <QHeaderView>
#include <QTableView>

namespace zev7 {

namespace {
constexpr int kMinWidth = 8;
constexpr int kMaxWidth = 2000;

QString key(const QTableView& grid, int column) {
    return QStringLiteral("%1_Col%2").arg(grid.objectName()).arg(column);
}
}  // namespace

void writeColumnWidths(const QTableView& grid, IniFile& ini, const QString& section) {
    const QHeaderView* header = grid.horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        ini.writeInt(section, key(grid, c), header->sectionSize(c));
    }
}

bool readColumnWidths(QTableView& grid, const IniFile& ini, const QString& section) {
    QHeaderView* header = grid.horizontalHeader();
    bool all = header->count() > 0;
    for (int c = 0; c < header->count(); ++c) {
        const int width = ini.readInt(section, key(grid, c), 0);
        if (width >= kMinWidth && width <= kMaxWidth) {
            header->resizeSection(c, width);
        } else {
            all = false;
        }
    }
    return all;
}

}  // namespace zev7
