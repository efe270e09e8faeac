// Copying, saving and printing a chart or a whole window, the chart's background colour, and
// the 16-colour bitmap of a chart that the result report shows. A chart is saved as a bitmap
// (.bmp), a PNG picture or an SVG drawing (the vector form this platform has where the users'
// Windows machines wrote metafiles); any other extension gets a message, never a silent nothing.
#pragma once

#include <QColor>
#include <QString>
#include <functional>

class QByteArray;
class QChart;
class QImage;
class QSize;
class QKeyEvent;
class QMenu;
class QPrinter;
class QWidget;

namespace zev7 {

class UserMessages;

// How a picture is scaled on the printed page.
enum class PrintScale {
    Proportional,  // printer resolution over screen resolution, within the page
    FitToPage,     // as large as the page allows, aspect kept
    OneToOne,      // one picture pixel per printer pixel
};

// Asks the user for a file name to save under (the save dialog); empty when cancelled.
using SaveNameChooser =
    std::function<QString(QWidget* parent, const QString& proposedPath, const QString& filter)>;
// Asks for a colour starting from `current`; an invalid colour when cancelled.
using ColourChooser = std::function<QColor(QWidget* parent, const QColor& current)>;
// Shows the print dialog on `printer`; true on OK.
using PrintChooser = std::function<bool(QWidget* parent, QPrinter& printer)>;

// The dialogs the chart tools open; tests put their own answers here.
struct ChartDialogs {
    SaveNameChooser saveName;
    ColourChooser colour;
    PrintChooser print;
    static ChartDialogs& instance();
};

// Writes a picture of `view` by the file's extension: .bmp, .png, .svg. False with a message
// when the extension is another or the file cannot be written.
bool writeChartFile(QWidget* view, const QString& path, UserMessages& messages);
// The chart drawn at `size` whatever the size of its window (a picture of the report reads the
// same from a small window as from a large one); the window's chart is left as it was.
QImage renderChartAt(QChart* chart, QSize size);
// Puts a picture's bytes in place whole: a full disk keeps the previous file and gives a message
// naming the file and the reason.
bool writePictureFile(const QString& path, const QByteArray& bytes, UserMessages& messages);
// The save dialog ("graphic.bmp" in the "Picture" folder) with the overwrite question, then the
// file. Declining to overwrite asks for another name. False when cancelled or not written.
bool SaveChartToFile(QWidget* window, QWidget* view, UserMessages& messages);
void CopyChartToClipboard(QWidget* view);
// The print dialog, then the header line and the picture of the chart.
bool PrintChart(QWidget* window, QWidget* view, PrintScale scale = PrintScale::Proportional);
// Prints `picture` under the header " dd.mm.yyyy  hh:mm:ss caption" on `printer`.
void printPicture(QPrinter& printer, const QImage& picture, const QString& caption,
                  PrintScale scale);
// The colour dialog on the chart's background colour; true when a colour was taken.
bool ChooseChartBackColour(QWidget* window, QChart* chart);
void setChartBackColour(QChart* chart, const QColor& colour);
// The chart's pop-up menu (object name "PopupMenu_Chart"): background colour, copy, save as
// picture, print. `backgroundChosen` runs after the user took a new background colour.
QMenu* makeChartMenu(QWidget* window, QChart* chart, QWidget* view, UserMessages* messages,
                     const std::function<void()>& backgroundChosen = {});
// Ctrl+C copies a picture of the whole window, Ctrl+P prints it; true when the key was taken.
bool HandleWindowKeys(QKeyEvent* event, QWidget* window);

// Colours in "ZEV7.ini" are stored as the users' files always held them: one integer with blue
// in the high byte and red in the low one. A value that is no colour gives `fallback`.
int colourToIni(const QColor& colour);
QColor colourFromIni(int value, const QColor& fallback);

// The picture of a chart for the result report: 16 colours, 4 bits per pixel, Windows bitmap.
bool saveBitmap16(const QImage& picture, const QString& path);

}  // namespace zev7
