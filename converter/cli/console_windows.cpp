#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "console.h"

namespace pathshift::cli {
namespace {

HANDLE consoleOf(std::FILE* stream) {
    const int descriptor = _fileno(stream);
    if (descriptor < 0 || !_isatty(descriptor)) return INVALID_HANDLE_VALUE;
    return reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
}

}  // namespace

// A console takes the redraw codes once asked to; one that refuses gets no progress line.
void setUpConsole() {
    const HANDLE console = consoleOf(stderr);
    DWORD mode = 0;
    if (console != INVALID_HANDLE_VALUE && GetConsoleMode(console, &mode))
        SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

void useBinaryMode(std::FILE* stream) {
    if (const int descriptor = _fileno(stream); descriptor >= 0) _setmode(descriptor, _O_BINARY);
}

bool takesRedrawCodes(std::FILE* stream) {
    const HANDLE console = consoleOf(stream);
    DWORD mode = 0;
    return console != INVALID_HANDLE_VALUE && GetConsoleMode(console, &mode) &&
           (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace pathshift::cli
