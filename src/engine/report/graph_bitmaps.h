// The pictures of a port's live graph windows that the result report shows at the end of each
// cycle: one bitmap file per open graph window, numbered by one counter for the whole program
// so that two ports never write the same file.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zev7 {

// The counter behind "Result\ResultComPort" N "_Graphic" K ".bmp": 0 at program start, raised
// before each bitmap is saved, never reset, shared by every port.
int nextGraphNumber();
int GraphCounter();

// "ResultComPort" N "_Graphic" K ".bmp", and the same file under the "Result" folder.
QString graphBitmapFileName(int port, int number);
QString graphBitmapPath(int port, int number);

// One graph window of the port that is open and not minimised.
struct GraphWindowInfo {
    int kind = 0;     // 0..4: calls pie, losses pie, attenuation, dial-tone level, ringback level
    QString caption;  // the window's caption, "Порт:3  Затухание"
};

// Where the port thread gets its graph windows' pictures. Called on the port thread; the
// windows live on the UI thread, so the program hands over a UiGraphBitmaps, which makes each
// call there. Never called inside the report mutex.
class GraphBitmapSource {
public:
    virtual ~GraphBitmapSource() = default;
    // The port's open, not minimised graph windows, in their fixed order (kind 0 first).
    virtual QList<GraphWindowInfo> openGraphWindows(int port) = 0;
    // Saves the chart of the port's graph window of this kind as a 16-colour bitmap file at
    // `path`; false when it could not be saved.
    virtual bool saveGraphBitmap(int port, int kind, const QString& path) = 0;
};

// Saves a bitmap of every open graph window of the port and returns the report lines that show
// them: the caption, then the picture by its file name (the report and its bitmaps lie side by
// side). A picture that could not be saved is left out of the report. No source: no lines.
QStringList SaveGraphBitmaps(int port, GraphBitmapSource* source);

// The report's reference to a bitmap beside it.
QString graphImageLine(const QString& bitmapFileName);

// Deletes the port's bitmaps 1, 2, 3 ... of an earlier run, up to the first number that does
// not exist. Returns how many were deleted.
int removeOldGraphBitmaps(int port);

}  // namespace zev7
