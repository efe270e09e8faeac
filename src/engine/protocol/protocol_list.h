// The protocol list of a port window: the lines of the running protocol on screen. It never
// holds more than 301 lines: a line arriving at a full list first empties it. The protocol
// file keeps every line.
#pragma once

#include <QStringList>

namespace zev7 {

inline constexpr int kProtocolListLimit = 300;  // more than this and the next line clears it

class ProtocolList {
public:
    void append(const QString& line);
    void clear() { lines_.clear(); }
    const QStringList& lines() const { return lines_; }
    qsizetype size() const { return lines_.size(); }

private:
    QStringList lines_;
};

}  // namespace zev7
