#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "console.h"

namespace pathshift::cli {

void useBinaryMode(std::FILE* stream) { _setmode(_fileno(stream), _O_BINARY); }

// A console takes the redraw codes once asked to; one that refuses gets no progress line.
bool standardErrorIsTerminal() {
    const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (!_isatty(_fileno(stderr)) || !GetConsoleMode(console, &mode)) return false;
    return SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace pathshift::cli
