// Windows: no fault report yet (it would use SetUnhandledExceptionFilter and the debug help
// library's stack walk), and the console's stop events are not caught; the functions exist so
// that the programs build unchanged.
#include <QtGlobal>

#if defined(Q_OS_WIN)

#include "core/process_signals.h"

namespace zev7 {

void installFaultReport(const char*) {}

void ignoreBrokenPipe() {}

void catchStopSignals() {}

StopSignals::StopSignals(QObject* parent) : QObject(parent) {}

StopSignals::~StopSignals() = default;

void StopSignals::take() {}

}  // namespace zev7

#endif
