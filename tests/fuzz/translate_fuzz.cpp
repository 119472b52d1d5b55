// Fuzz target: any bytes as a source program, under several options. The conversion must never
// crash, and a converted program always ends with the trailer.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/translation/conversion.h"
#include "engine/reading/line_scanner.h"
#include "engine/reading/tarvo_block.h"

namespace {

class CountingEvents final : public pathshift::LineScanner::Events {
public:
    explicit CountingEvents(pathshift::LineScanner& s) : scanner(s) {}
    void beginOfFile() override {}
    void line() override {
        for (char separator : {'G', 'X', '(', '\0'}) {
            scanner.setSeparator(separator);
            const int count = scanner.fieldCount();
            std::size_t total = 0;
            for (int k = 1; k <= count; ++k) total += scanner.field(k).size();
            if (total + static_cast<std::size_t>(count - 1) != scanner.currentLine().size()) std::abort();
        }
        // Every word the block reader finds lies inside the line.
        const std::string_view text = scanner.currentLine();
        const pathshift::TarvoBlock& block = reader.read(text);
        for (int i = 0; i < pathshift::kTarvoLetters; ++i) {
            const char* const word = block.words[i].text;
            if (block.has(static_cast<pathshift::TarvoLetter>(i)) && (word <= text.data() || word > text.data() + text.size()))
                std::abort();
        }
    }
    void endOfFile() override {}
    pathshift::LineScanner& scanner;
    pathshift::TarvoBlockReader reader;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view source(reinterpret_cast<const char*>(data), size);

    pathshift::LineScanner scanner(source);
    CountingEvents events(scanner);
    scanner.start(events);

    pathshift::ConversionOptions options;
    options.thickness = "0.75";
    options.head = size % 2 ? pathshift::Head::One : pathshift::Head::Two;
    options.ipsFeed = size % 3 == 0;
    options.tools.appendRow({"1005", "3"});
    options.tools.appendRow({"2005", "1e9"});
    pathshift::ConversionResult result = pathshift::convertProgram(source, options);
    constexpr std::string_view kEnd = "\"END\"\r\n\r\n";
    if (result.converted && (result.text.size() < kEnd.size() || result.text.substr(result.text.size() - kEnd.size()) != kEnd))
        std::abort();
    return 0;
}
