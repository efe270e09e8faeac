// The open export: what a spreadsheet or a script reading the file gets back, and zev7-db's
// "export" refusing what it cannot do.
#include "dbtransfer/result_export.h"
#include "core/program_dir.h"
#include "transfer_fixture.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace zev7::testing {
namespace {

constexpr int kProcessTimeoutMs = 60000;

// A tiny RFC 4180 reader: records of fields, quoted fields with doubled quotes and line breaks.
QList<QStringList> readCsv(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes);
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record << field;
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            record << field;
            records << record;
            record.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return records;
}

class ResultExportTest : public TransferTest {
protected:
    QByteArray exportOf(const ExportRequest& request) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        ResultExport exporter(DbConnection::main());
        EXPECT_TRUE(exporter.run(request, buffer)) << exporter.lastError().toStdString();
        return buffer.data();
    }
};

TEST(ExportWriter, CsvFieldsAreQuotedOnlyWhereRfc4180AsksForIt) {
    EXPECT_EQ(ExportWriter::csvField(QStringLiteral("Успех")), QByteArray("Успех"));
    EXPECT_EQ(ExportWriter::csvField(QStringLiteral("a,b")), QByteArray("\"a,b\""));
    EXPECT_EQ(ExportWriter::csvField(QStringLiteral("12\" line")), QByteArray("\"12\"\" line\""));
    EXPECT_EQ(ExportWriter::csvField(QStringLiteral("two\nlines")), QByteArray("\"two\nlines\""));
    EXPECT_EQ(ExportWriter::csvField(QString()), QByteArray());

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ExportWriter w(buffer, ExportFormat::Csv, {QStringLiteral("a"), QStringLiteral("b")});
    ASSERT_TRUE(w.writeHead());
    ASSERT_TRUE(w.writeRow({QVariant(), 2.5}));
    EXPECT_EQ(buffer.data(), QByteArray("a,b\r\n,2.5\r\n"));
}

// Calls come back field for field, an outcome text with a comma, quotes and a line break
// included; the cycles carry their counts, norm and the interval of their loss share.
TEST_F(ResultExportTest, CallsAndCyclesComeBackAsStored) {
    storeCycle(outA(), inA(), QDateTime(QDate(2026, 3, 2), QTime(9, 0)), 3, true);
    storeCycle(outB(), inA(), QDateTime(QDate(2026, 3, 5), QTime(10, 0)), 2, false);
    ASSERT_TRUE(
        sql(QStringLiteral("UPDATE TABLE_RESCALLPARAMSEANS SET CONNECT_STR="
                           "'Успех, \"чистый\"\nвызов' WHERE CONNECT_ID=0")));

    ExportRequest request;
    request.rows = ExportRows::Calls;
    const QList<QStringList> calls = readCsv(exportOf(request));
    ASSERT_EQ(calls.size(), 1 + 3 + 2);
    EXPECT_EQ(calls[0], ResultExport::callFields());
    const QStringList& first = calls[1];
    ASSERT_EQ(first.size(), ResultExport::callFields().size());
    EXPECT_EQ(first[0], "1");
    EXPECT_EQ(first[1], "1");
    EXPECT_EQ(first[2], "-/-/495/-/111/1111/-");
    EXPECT_EQ(first[3], "-/-/812/-/333/3333/-");
    EXPECT_EQ(first[4], "2026-03-02T09:01:00");
    EXPECT_EQ(first[5], "2026-03-02T09:01:20");
    EXPECT_EQ(first[6], "20");
    EXPECT_EQ(first[7], "0");
    EXPECT_EQ(first[8], QString::fromUtf8("Успех, \"чистый\"\nвызов"));
    EXPECT_EQ(first[10], "-12");
    EXPECT_EQ(first[11], "-15");
    EXPECT_EQ(calls[5][0], "2");
    EXPECT_EQ(calls[5][1], "2");

    // 0 losses of 3 calls: 0.00-56.1497 % (3.841459 / 6.841459, to 4 decimals); the norm at the
    // minimum, 10 %, is proved after 3.841459 * 0.1 * 0.9 / 0.1^2 = 34.6 -> 35 calls, 32 more. The
    // open cycle is judged against the norm at the maximum, 12.5 %.
    request.rows = ExportRows::Cycles;
    const QList<QStringList> cycles = readCsv(exportOf(request));
    ASSERT_EQ(cycles.size(), 3);
    EXPECT_EQ(cycles[0], ResultExport::cycleFields());
    EXPECT_EQ(cycles[1].mid(6), (QStringList{"3", "0", "0", "10", QString::fromUtf8("Норма"), "0",
                                             "56.1497", "", "32", QString::fromUtf8("—")}));
    EXPECT_EQ(cycles[2][9], "12.5");

    // The second cycle measured by another station: --station keeps the rows of one station, a
    // cycle stored without one being this (unnamed) station's.
    ASSERT_TRUE(sql(QStringLiteral("UPDATE Table_Cycle SET STATION='Самара' WHERE CYCLE_ID=2")));
    request.station = QStringLiteral("Самара");
    const QList<QStringList> there = readCsv(exportOf(request));
    ASSERT_EQ(there.size(), 2);
    EXPECT_EQ(there[1][0], "2");
    EXPECT_EQ(there[1].last(), QStringLiteral("Самара"));
    request.rows = ExportRows::Calls;
    request.station = QString::fromUtf8("—");
    EXPECT_EQ(readCsv(exportOf(request)).size(), 1 + 3);
    request.rows = ExportRows::Cycles;
    request.station.clear();

    // JSON Lines: one object per line; the span of days leaves the second cycle out.
    request.format = ExportFormat::JsonLines;
    request.to = QDate(2026, 3, 4);
    const QList<QByteArray> lines = exportOf(request).split('\n');
    ASSERT_EQ(lines.size(), 2);  // one object and the empty rest after the last line feed
    const QJsonObject cycle = QJsonDocument::fromJson(lines[0]).object();
    EXPECT_EQ(cycle.value("attempts").toInt(), 3);
    EXPECT_EQ(cycle.value("calls_needed").toInt(), 32);
    EXPECT_TRUE(cycle.value("proven").isNull());
}

TEST_F(ResultExportTest, Zev7DbExportWritesTheFileAndRefusesWhatItCannotRead) {
    storeCycle(outA(), inA(), QDateTime(QDate(2026, 3, 2), QTime(9, 0)), 3, true);
    // The tool reads the database the test wrote: the file, or the test's server.
    const QString server = DbConnection::options().server;
    const QString db = server.isEmpty() ? QStringLiteral("sqlite") : server;
    DbConnection::shutdown();
    const auto run = [&db](const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral(ZEV7_DB_PATH),
                QStringList{QStringLiteral("--home"), programDir(), QStringLiteral("--db"), db,
                            QStringLiteral("export")} +
                    args);
        p.waitForFinished(kProcessTimeoutMs);
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardError()));
    };
    QTemporaryDir out;
    const QString file = out.filePath(QStringLiteral("calls.csv"));
    EXPECT_EQ(run({"--calls", "--from", "01.03.26", "--output", file}).first, 0);
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(readCsv(written.readAll()).size(), 1 + 3);

    const auto format = run({"--format", "xml"});
    EXPECT_EQ(format.first, 2);
    EXPECT_TRUE(format.second.contains(QString::fromUtf8("Неизвестный формат выгрузки: xml")));
    const auto day = run({"--from", "31.02.26"});
    EXPECT_EQ(day.first, 2);
    EXPECT_TRUE(day.second.contains(QString::fromUtf8("Неверная дата: 31.02.26")));
    EXPECT_EQ(run({"--calls", "--cycles"}).first, 2);
    EXPECT_EQ(run({"--station", " "}).first, 2);
    EXPECT_EQ(run({"--station", QStringLiteral("x").repeated(200)}).first, 2);
    const QString stationFile = out.filePath(QStringLiteral("station.csv"));
    EXPECT_EQ(run({"--station", "Elsewhere", "--output", stationFile}).first, 0);
    QFile none(stationFile);
    ASSERT_TRUE(none.open(QIODevice::ReadOnly));
    EXPECT_EQ(readCsv(none.readAll()).size(), 1);  // the head alone
    EXPECT_EQ(run({"--output", out.filePath(QStringLiteral("no/such/dir/x.csv"))}).first, 1);
}

}  // namespace
}  // namespace zev7::testing
