// "Экспорт таблицы в Word": a database window's grid as a document. The visible columns with
// their titles and the texts the grid shows, under the program banner, the window caption and
// the window's heading; the file goes to a save dialog (folder "Result") and then opens in the
// desktop's word processor, or the program says where it is.
#pragma once

#include "dbquery/period_text.h"
#include "dbtransfer/docx_writer.h"

#include <QString>
#include <functional>

class QTableView;
class QWidget;

namespace zev7 {

class UserMessages;

// A database window whose grid the export command hands over as a document: the grid, the
// text under the window caption that says which cycles it shows, and the page it fits.
class ExportableGrid {
public:
    virtual ~ExportableGrid() = default;
    virtual const QTableView& exportGrid() const = 0;
    virtual QString exportHeading() const = 0;
    virtual PageOrientation exportOrientation() const = 0;
};

// The heading of the windows over a period: "Дата: с d1 по d2 Время: c t1 по t2".
QString periodHeading(const PeriodTexts& period);

// The document of a grid: every record of the model (fetched to the end), the columns the
// view shows, each cell as the view's delegate displays it.
WordDocument gridDocument(const QTableView& view, const QString& caption, const QString& heading,
                          PageOrientation orientation);

// Hands a written document to the desktop's program for its type. `notOpened` is called when no
// program took it, perhaps later: the desktop's opener tells only when it has ended (xdg-open
// ends with 3 when the desktop knows no program for the type).
using DocumentOpener =
    std::function<void(const QString& path, const std::function<void()>& notOpened)>;
// The opener the export uses from now on; an empty one brings back the desktop's.
void setDocumentOpener(DocumentOpener opener);

// Asks for the file (unless path is given), writes it and opens it. false when nothing was
// written (cancelled, or the file could not be written, which the user is told).
bool exportGridToWord(QWidget* parent, const QTableView& view, const QString& caption,
                      const QString& heading, PageOrientation orientation, UserMessages& messages,
                      QString path = {});

}  // namespace zev7
