// A table handed to a colleague as a word-processor document: a .docx file (WordprocessingML in
// a zip) with the heading paragraphs, the table with its header row and borders, on an A4 page
// in the orientation asked for. Word and LibreOffice open it; nothing needs to be installed.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zev7 {

enum class PageOrientation { Portrait, Landscape };

struct WordDocument {
    // Paragraphs before the table; a line break inside one stays a line break, an empty
    // text is an empty line.
    QStringList paragraphs;
    QStringList header;       // the column titles
    QList<QStringList> rows;  // the cells' texts, one list per record
    PageOrientation orientation = PageOrientation::Portrait;
};

// The paragraphs the export puts above a grid: the program banner of the result report, the
// window caption, the window's heading text, each followed by the empty lines of the banner.
QStringList exportParagraphs(const QString& caption, const QString& heading);

// Writes the document; false with the reason in *error when the file cannot be written. An
// existing file is replaced only once the new one is complete.
bool writeDocx(const QString& path, const WordDocument& document, QString* error);

}  // namespace zev7
