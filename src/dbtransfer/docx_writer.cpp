#include "dbtransfer/docx_writer.h"

#include "core/file_writes.h"
#include "core/strings.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>
#include <QBuffer>
#include <QXmlStreamWriter>

#include <algorithm>
#include <numeric>

namespace zev7 {

namespace {

// The shortest a column may be, in characters, so a narrow one still shows its title's start.
constexpr int kLeastColumnChars = 3;

// Column widths in twentieths of a point that share the text width by what each column holds:
// its longest cell, or its title's longest word (a title wraps between words), so that dates
// and numbers keep their width and are not broken in the middle.
QList<int> columnWidths(const WordDocument& d, int textWidth) {
    const int columns = static_cast<int>(d.header.size());
    QList<int> chars(columns, kLeastColumnChars);
    for (int c = 0; c < columns; ++c) {
        for (const QString& word : d.header[c].split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            chars[c] = std::max(chars[c], static_cast<int>(word.size()));
        }
        for (const QStringList& row : d.rows) {
            chars[c] = std::max(chars[c], static_cast<int>(row.value(c).size()));
        }
    }
    const qint64 total = std::accumulate(chars.begin(), chars.end(), qint64{0});
    QList<int> widths(columns, 0);
    for (int c = 0; c < columns; ++c) {
        widths[c] = static_cast<int>(textWidth * chars[c] / std::max<qint64>(total, 1));
    }
    return widths;
}

const QString kW = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");

// A4 in twentieths of a point, margins of 2 cm.
constexpr int kA4Short = 11906;
constexpr int kA4Long = 16838;
constexpr int kMargin = 1134;
constexpr int kBorderEighthsOfPoint = 4;
constexpr int kFontHalfPoints = 20;  // 10 pt: a wide grid still fits the page

const char kContentTypes[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
    R"(<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>)"
    R"(</Types>)";

const char kPackageRels[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)"
    R"(</Relationships>)";

const char kDocumentRels[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(</Relationships>)";

// Characters XML 1.0 cannot hold are left out; a tab reads as a blank.
QString xmlSafe(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('\t')) {
            out += QLatin1Char(' ');
        } else if (c.unicode() >= 0x20 || c == QLatin1Char('\n')) {
            out += c;
        }
    }
    return out;
}

class DocumentXml {
public:
    explicit DocumentXml(QByteArray* out) : x_(out) {}

    void write(const WordDocument& d) {
        x_.writeStartDocument(QStringLiteral("1.0"), true);
        x_.writeNamespace(kW, QStringLiteral("w"));
        x_.writeStartElement(kW, QStringLiteral("document"));
        x_.writeStartElement(kW, QStringLiteral("body"));
        for (const QString& p : d.paragraphs) {
            paragraph(p, false);
        }
        const bool landscape = d.orientation == PageOrientation::Landscape;
        const int pageWidth = landscape ? kA4Long : kA4Short;
        if (!d.header.isEmpty()) {
            table(d, pageWidth - 2 * kMargin);
        }
        paragraph(QString(), false);
        section(landscape, pageWidth);
        x_.writeEndElement();  // body
        x_.writeEndElement();  // document
        x_.writeEndDocument();
    }

private:
    void attribute(const char* name, const QString& value) {
        x_.writeAttribute(kW, QLatin1String(name), value);
    }
    void attribute(const char* name, int value) { attribute(name, QString::number(value)); }
    void empty(const char* name) { x_.writeEmptyElement(kW, QLatin1String(name)); }
    void start(const char* name) { x_.writeStartElement(kW, QLatin1String(name)); }
    void end() { x_.writeEndElement(); }

    void paragraph(const QString& text, bool bold) {
        start("p");
        const QStringList lines = xmlSafe(text).split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i == 0 && lines[i].isEmpty() && lines.size() == 1) {
                break;
            }
            start("r");
            if (bold) {
                start("rPr");
                empty("b");
                end();
            }
            if (i > 0) {
                empty("br");
            }
            start("t");
            x_.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
            x_.writeCharacters(lines[i]);
            end();  // t
            end();  // r
        }
        end();  // p
    }

    void border(const char* side) {
        empty(side);
        attribute("val", QStringLiteral("single"));
        attribute("sz", kBorderEighthsOfPoint);
        attribute("space", 0);
        attribute("color", QStringLiteral("000000"));
    }

    void cell(const QString& text, int width, bool bold) {
        start("tc");
        start("tcPr");
        empty("tcW");
        attribute("w", width);
        attribute("type", QStringLiteral("dxa"));
        end();
        paragraph(text, bold);
        end();
    }

    void table(const WordDocument& d, int textWidth) {
        const QList<int> widths = columnWidths(d, textWidth);
        const int columns = static_cast<int>(widths.size());
        start("tbl");
        start("tblPr");
        empty("tblW");
        attribute("w", std::accumulate(widths.begin(), widths.end(), 0));
        attribute("type", QStringLiteral("dxa"));
        start("tblBorders");
        for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
            border(side);
        }
        end();  // tblBorders
        empty("tblLayout");
        attribute("type", QStringLiteral("fixed"));
        end();  // tblPr
        start("tblGrid");
        for (int c = 0; c < columns; ++c) {
            empty("gridCol");
            attribute("w", widths[c]);
        }
        end();
        // The header row repeats on every page.
        start("tr");
        start("trPr");
        empty("tblHeader");
        end();
        for (int c = 0; c < columns; ++c) {
            cell(d.header[c], widths[c], true);
        }
        end();
        for (const QStringList& row : d.rows) {
            start("tr");
            for (int c = 0; c < columns; ++c) {
                cell(row.value(c), widths[c], false);
            }
            end();
        }
        end();  // tbl
    }

    void section(bool landscape, int pageWidth) {
        start("sectPr");
        empty("pgSz");
        attribute("w", pageWidth);
        attribute("h", landscape ? kA4Short : kA4Long);
        if (landscape) {
            attribute("orient", QStringLiteral("landscape"));
        }
        empty("pgMar");
        for (const char* side : {"top", "right", "bottom", "left"}) {
            attribute(side, kMargin);
        }
        attribute("header", 0);
        attribute("footer", 0);
        attribute("gutter", 0);
        end();
    }

    QXmlStreamWriter x_;
};

QByteArray stylesXml() {
    return QByteArray(
               R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
               R"(<w:styles xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
               R"(<w:docDefaults><w:rPrDefault><w:rPr>)"
               R"(<w:rFonts w:ascii="Times New Roman" w:hAnsi="Times New Roman" w:cs="Times New Roman"/>)"
               R"(<w:sz w:val=")") +
           QByteArray::number(kFontHalfPoints) +
           QByteArray(
               R"("/><w:lang w:val="ru-RU"/></w:rPr></w:rPrDefault>)"
               R"(<w:pPrDefault><w:pPr><w:spacing w:after="0" w:line="240" w:lineRule="auto"/></w:pPr></w:pPrDefault>)"
               R"(</w:docDefaults></w:styles>)");
}

bool addEntry(QuaZip& zip, const QString& name, const QByteArray& data, QString* error) {
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(name)) || file.write(data) != data.size()) {
        *error = file.errorString();
        return false;
    }
    file.close();
    if (file.getZipError() != 0) {
        *error = QStringLiteral("zip %1").arg(file.getZipError());
        return false;
    }
    return true;
}

}  // namespace

QStringList exportParagraphs(const QString& caption, const QString& heading) {
    const QString banner = txt(str::ReportProduct) + txt(str::ProgramVersion) + QLatin1Char(' ') +
                           txt(str::ReportVersionFrom) + QLatin1Char(' ') + txt(str::ProgramDate);
    return {banner, QString(), caption, heading, QString()};
}

bool writeDocx(const QString& path, const WordDocument& document, QString* error) {
    QByteArray documentXml;
    DocumentXml(&documentXml).write(document);

    QBuffer buffer;
    {
        QuaZip zip(&buffer);
        if (!zip.open(QuaZip::mdCreate)) {
            *error = QStringLiteral("zip %1").arg(zip.getZipError());
            return false;
        }
        if (!addEntry(zip, QStringLiteral("[Content_Types].xml"), kContentTypes, error) ||
            !addEntry(zip, QStringLiteral("_rels/.rels"), kPackageRels, error) ||
            !addEntry(zip, QStringLiteral("word/_rels/document.xml.rels"), kDocumentRels, error) ||
            !addEntry(zip, QStringLiteral("word/styles.xml"), stylesXml(), error) ||
            !addEntry(zip, QStringLiteral("word/document.xml"), documentXml, error)) {
            return false;
        }
        zip.close();
        if (zip.getZipError() != 0) {
            *error = QStringLiteral("zip %1").arg(zip.getZipError());
            return false;
        }
    }
    *error = replaceFileContent(path, buffer.data());
    return error->isEmpty();
}

}  // namespace zev7
