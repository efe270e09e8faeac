// A serial port with a modem behind it, as the channel needs it. Implemented over Qt's serial
// port for real modems and the simulator's pseudo-terminals, and as an in-process link to a
// simulated modem for tests.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace zev7 {

struct LineSettings {
    enum class Flow { None, RtsCts };
    int baud = 9600;
    int dataBits = 8;
    bool parity = false;
    int stopBits = 2;
    bool dtr = true;
    bool rts = true;  // with Flow::RtsCts the RTS line is the handshake
    Flow flow = Flow::None;

    // The port thread: 9600 8N2, DTR and RTS on, no flow control.
    static LineSettings measuring() { return {}; }
    // The answering station: RTS handshake, CTS output flow control.
    static LineSettings answering() {
        LineSettings s;
        s.flow = Flow::RtsCts;
        return s;
    }
};

class CommPort {
public:
    enum class ModemStatus { CtsOn, CtsOff, Unavailable };

    virtual ~CommPort() = default;

    // Why the last open() failed: the device could not be had (absent, or held by another
    // program), or it opened but refused the line settings.
    enum class OpenFailure { None, Access, Settings };

    // Opens the port exclusively with these settings; false with errorString() set.
    virtual bool open(const LineSettings& settings) = 0;
    virtual OpenFailure openFailure() const { return OpenFailure::Access; }
    virtual bool isOpen() const = 0;
    // Drops whatever waits in both directions.
    virtual bool purge() = 0;
    // Returns the number of bytes written, or -1.
    virtual std::int64_t write(const QByteArray& data) = 0;
    // Waits until all written bytes have left the port.
    virtual bool flush() = 0;
    // Reads up to n bytes, waiting at most timeoutMs (on the engine's clock) for them all;
    // returns what arrived in that time.
    virtual QByteArray read(std::int64_t n, int timeoutMs) = 0;
    // Bytes received and not read yet, or -1 when the port cannot tell.
    virtual std::int64_t bytesPending() = 0;
    virtual ModemStatus modemStatus() = 0;
    virtual void close() = 0;
    virtual QString errorString() const = 0;
};

}  // namespace zev7
