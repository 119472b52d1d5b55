#include "trace_log.h"

namespace pathshift::app {
namespace {
QStringList* traceLog = nullptr;
}

void setTraceLog(QStringList* log) { traceLog = log; }

void trace(const QString& event) {
    if (traceLog) traceLog->append(event);
}

}  // namespace pathshift::app
