#include <unistd.h>

#include "console.h"

namespace pathshift::cli {

void setUpConsole() {}  // terminals take the redraw codes as they are

void useBinaryMode(std::FILE*) {}  // streams carry bytes unchanged here

bool takesRedrawCodes(std::FILE* stream) {
    const int descriptor = ::fileno(stream);  // -1 for a stream in memory
    return descriptor >= 0 && ::isatty(descriptor);
}

}  // namespace pathshift::cli
