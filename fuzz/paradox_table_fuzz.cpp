// A Paradox table file from an old disk: its structure checked, then every record read. A file
// the check passes is never read past its end, whatever its header says.
#include "dbtransfer/paradox_table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zev7;
    static QTemporaryDir folder;
    static const QString path = QDir(folder.path()).filePath(QStringLiteral("Table_Cycle.db"));
    {
        QFile file(path);
        if (!folder.isValid() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return 0;
        }
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    ParadoxTable table;
    if (!table.open(path)) {
        if (table.problem().isEmpty()) {
            __builtin_trap();  // a refusal always says why
        }
        return 0;
    }
    if (table.layout().isEmpty() || table.recordCount() < 0) {
        __builtin_trap();
    }
    QVariantList row;
    for (qint64 r = 0; r < table.recordCount(); ++r) {
        if (!table.record(r, &row)) {
            break;
        }
        if (row.size() != table.layout().size()) {
            __builtin_trap();
        }
    }
    return 0;
}
