// Another installation's database file as the import reads it: opened read-only, every table's
// layout and every row checked, the rows of a few cycles fetched. Whatever the file holds, the
// reading ends (views and endless queries are refused or stopped) and says why it refuses.
#include "core/program_dir.h"
#include "db/db_connection.h"
#include "dbtransfer/result_import.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zev7;
    static QTemporaryDir home;
    static const bool ready = [] {
        setProgramDir(home.path());
        return home.isValid() && DbConnection::setup() && QDir(home.path()).mkpath("source");
    }();
    if (!ready) {
        return 0;
    }
    const QString path = QDir(home.path()).filePath(QStringLiteral("source/ZEV7.sqlite"));
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        QFile::remove(path + QLatin1String(suffix));
    }
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return 0;
        }
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    SqliteImportSource source(path, DbConnection::main());
    if (!source.openProblem().isEmpty()) {
        return 0;
    }
    bool oldLayout = false;
    if (!ResultImporter::checkStructure(source, &oldLayout).isEmpty() ||
        !ResultImporter::checkRows(source, {}).isEmpty()) {
        return 0;
    }
    QList<SourceRow> rows;
    QString problem;
    for (int key : {1, 2, 3}) {
        source.rowsWithKey(QStringLiteral("Table_Seans"), key, &rows, &problem);
    }
    return 0;
}
