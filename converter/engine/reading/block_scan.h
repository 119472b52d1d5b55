#pragma once
// One scan of a source as blocks: every line read once into a block and handed on in file order.

#include <cstddef>
#include <string_view>

#include "engine/reading/line_scanner.h"
#include "engine/reading/tarvo_block.h"

namespace pathshift {

// Calls take(block, lineNumber) for every line until it returns false. The block reader finds each
// line's end in the pass that reads its words; scanner.offsetOf(block.text.data()) is where the
// line starts. False when the source could not be read (the scanner's error() says why).
template <class Take>
bool scanBlocks(LineScanner& scanner, TarvoBlockReader& reader, Take&& take) {
    if (!scanner.rewind()) return false;
    std::size_t line = 0;
    std::string_view lines;
    while (scanner.nextLines(lines)) {
        const char* p = lines.data();
        const char* const end = p + lines.size();
        do {
            if (!take(reader.readLine(p, end), ++line)) return true;
        } while (p < end);
    }
    return scanner.error().empty();
}

}  // namespace pathshift
