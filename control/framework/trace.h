// Call tracing in the manner of debug channels: compiled in only when QZ_TRACE_ENABLED is defined,
// printed only when the environment variable QZ_TRACE is set, so a failing test shows the call order.
#pragma once

namespace qzf {
void TraceLine(const char* function, const char* format, ...) __attribute__((format(printf, 2, 3)));
}

#ifdef QZ_TRACE_ENABLED
#define QZ_TRACE(...) ::qzf::TraceLine(__func__, __VA_ARGS__)
#else
#define QZ_TRACE(...) ((void)0)
#endif
