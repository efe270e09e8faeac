// The exported document: its table, its page, and what LibreOffice makes of it.
#include "dbtransfer/docx_writer.h"
#include "docx_reader.h"
#include "support/file_size_limit.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace zev7 {
namespace {

using testing::documentXml;

WordDocument sample(PageOrientation orientation, int records) {
    WordDocument d;
    d.paragraphs = exportParagraphs(QStringLiteral("Выбранные циклы"),
                                    QStringLiteral("Дата: с 01.01.26 по 31.01.26"));
    d.header = {QStringLiteral("Исходящая"), QStringLiteral("КПВ, %")};
    for (int i = 0; i < records; ++i) {
        d.rows << QStringList{QStringLiteral("495/1<&>%1").arg(i), QString::number(i * 1.5)};
    }
    d.orientation = orientation;
    return d;
}

TEST(DocxWriterTest, TheTableHasAHeaderRowAndOneRowPerRecordOnTheRightPage) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.docx"));
    QString error;
    ASSERT_TRUE(writeDocx(path, sample(PageOrientation::Landscape, 3), &error))
        << error.toStdString();
    const QString xml = documentXml(path);
    EXPECT_EQ(xml.count(QStringLiteral("<w:tbl>")), 1);
    EXPECT_EQ(xml.count(QStringLiteral("<w:tr>")), 4);
    EXPECT_TRUE(xml.contains(QStringLiteral("w:orient=\"landscape\"")));
    EXPECT_TRUE(xml.contains(QStringLiteral("495/1&lt;&amp;&gt;2")));
    EXPECT_TRUE(xml.contains(QStringLiteral("V2.08 от 04.03.2006")));
    EXPECT_TRUE(xml.contains(QStringLiteral("insideH")));

    ASSERT_TRUE(writeDocx(path, sample(PageOrientation::Portrait, 0), &error));
    const QString empty = documentXml(path);
    EXPECT_EQ(empty.count(QStringLiteral("<w:tr>")), 1);
    EXPECT_FALSE(empty.contains(QStringLiteral("landscape")));
    EXPECT_TRUE(empty.contains(QStringLiteral("w:w=\"11906\" w:h=\"16838\"")));

    EXPECT_FALSE(writeDocx(dir.filePath(QStringLiteral("no/such/dir/t.docx")),
                           sample(PageOrientation::Portrait, 1), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(DocxWriterTest, ColumnsAreAsWideAsWhatTheyHold) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("w.docx"));
    WordDocument d;
    d.header = {QStringLiteral("Дата начала"), QStringLiteral("N"), QStringLiteral("Номер")};
    d.rows << QStringList{QStringLiteral("09.12.2026"), QStringLiteral("1"),
                          QStringLiteral("(495)1234567")};
    QString error;
    ASSERT_TRUE(writeDocx(path, d, &error)) << error.toStdString();
    const QString xml = documentXml(path);
    QList<int> widths;
    static const QRegularExpression gridCol(QStringLiteral("<w:gridCol w:w=\"(\\d+)\""));
    for (auto it = gridCol.globalMatch(xml); it.hasNext();) {
        widths << it.next().captured(1).toInt();
    }
    ASSERT_EQ(widths.size(), 3);
    // A date and a number are not broken for a one-digit column's sake.
    EXPECT_GT(widths[0], 2 * widths[1]);
    EXPECT_GT(widths[2], widths[0]);
}

TEST(DocxWriterTest, AFullDiskKeepsThePreviousDocumentAndSaysWhy) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.docx"));
    QString error;
    ASSERT_TRUE(writeDocx(path, sample(PageOrientation::Landscape, 1), &error));
    QFile before(path);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray good = before.readAll();
    before.close();

    const int result = test::runWithFileSizeLimit(100, [&] {
        QString why;
        const bool written = writeDocx(path, sample(PageOrientation::Landscape, 300), &why);
        return !written && !why.isEmpty() ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    EXPECT_EQ(before.readAll(), good);
}

TEST(DocxWriterTest, LibreOfficeReadsTheCellsAndTheLandscapePage) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        GTEST_SKIP() << "soffice is not installed";
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.docx"));
    QString error;
    ASSERT_TRUE(writeDocx(path, sample(PageOrientation::Landscape, 2), &error));
    QProcess p;
    p.start(soffice, {QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                      QStringLiteral("fodt"), QStringLiteral("--outdir"), dir.path(), path});
    ASSERT_TRUE(p.waitForFinished(120000));
    QFile converted(dir.filePath(QStringLiteral("t.fodt")));
    ASSERT_TRUE(converted.open(QIODevice::ReadOnly));
    const QString flat = QString::fromUtf8(converted.readAll());
    EXPECT_TRUE(flat.contains(QStringLiteral("495/1&lt;&amp;&gt;1")));
    EXPECT_TRUE(flat.contains(QStringLiteral("КПВ, %")));
    EXPECT_TRUE(flat.contains(QStringLiteral("style:print-orientation=\"landscape\"")));
}

}  // namespace
}  // namespace zev7
