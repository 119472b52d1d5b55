#include <unistd.h>

#include "console.h"

namespace pathshift::cli {

void useBinaryMode(std::FILE*) {}  // streams carry bytes unchanged here

bool standardErrorIsTerminal() { return ::isatty(STDERR_FILENO); }

}  // namespace pathshift::cli
