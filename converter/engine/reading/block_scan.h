#pragma once
// One scan of a source as blocks: every line read once into a block and handed on in file order.

#include <cstddef>

#include "engine/reading/line_scanner.h"
#include "engine/reading/tarvo_block.h"

namespace pathshift {

// Calls take(block, lineNumber) for every line until it returns false. False when the source
// could not be read (the scanner's error() says why).
template <class Take>
bool scanBlocks(LineScanner& scanner, TarvoBlockReader& reader, Take&& take) {
    class Events final : public LineScanner::Events {
    public:
        Events(LineScanner& scanner, TarvoBlockReader& reader, Take& take)
            : scanner_(scanner), reader_(reader), take_(take) {}
        void beginOfFile() override {}
        void line() override {
            if (!take_(reader_.read(scanner_.currentLine()), scanner_.lineNumber())) scanner_.stop();
        }
        void endOfFile() override {}

    private:
        LineScanner& scanner_;
        TarvoBlockReader& reader_;
        Take& take_;
    };
    Events events(scanner, reader, take);
    return scanner.start(events);
}

}  // namespace pathshift
