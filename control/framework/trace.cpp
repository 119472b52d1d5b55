#include "trace.h"

#include <windows.h>
#include <cstdarg>
#include <cstdio>

namespace qzf {

void TraceLine(const char* function, const char* format, ...) {
  static const bool enabled = GetEnvironmentVariableA("QZ_TRACE", nullptr, 0) > 0;
  if (!enabled) return;
  char text[512];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  fprintf(stderr, "trace:%s %s\n", function, text);
}

}  // namespace qzf
