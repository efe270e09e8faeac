// The simulator's traffic log: one line per command line a modem received and per reply it
// sent, with the time, the port and the bytes, control characters made visible ("<CR>").
#pragma once

#include "sim/modem_line.h"

#include <QFile>
#include <QMutex>
#include <QString>

namespace zev7 {

// "ATS50=205\r" as "ATS50=205<CR>"; other control bytes as "<0x07>".
QString visibleBytes(const QByteArray& bytes);
// "   12.345 COM2 > ATS50=205<CR>" (">" to the modem, "<" from it; seconds of the sim's clock).
QString formatTrafficEntry(const TrafficEntry& entry);

class TrafficLogFile {
public:
    // Opens (truncating) the file; false with the reason.
    bool open(const QString& path, QString* error);
    // Writes one line and flushes it, so that the log can be followed while the sim runs.
    void write(const TrafficEntry& entry);

private:
    QMutex mutex_;
    QFile file_;
};

}  // namespace zev7
