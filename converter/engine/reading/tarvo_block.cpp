#include "engine/reading/tarvo_block.h"

#include <array>
#include <cstring>

namespace pathshift {
namespace {

// What each byte means to the reading: nothing, a letter's index + 1, a G, a comment or a NUL.
constexpr std::uint8_t kG = 32, kComment = 33, kNul = 34;
constexpr std::array<std::uint8_t, 256> byteClasses() {
    std::array<std::uint8_t, 256> classes{};
    const char letters[] = "MPXYZIJKFSHT";
    for (int i = 0; i < kTarvoLetters; ++i) classes[static_cast<unsigned char>(letters[i])] = std::uint8_t(i + 1);
    classes['G'] = kG;
    classes['('] = kComment;
    classes[0] = kNul;
    return classes;
}
constexpr std::array<std::uint8_t, 256> kByteClass = byteClasses();

constexpr TarvoLetters kFloatLetters = letterBit(TarvoLetter::X) | letterBit(TarvoLetter::Y) |
                                       letterBit(TarvoLetter::Z) | letterBit(TarvoLetter::I) |
                                       letterBit(TarvoLetter::J) | letterBit(TarvoLetter::F) |
                                       letterBit(TarvoLetter::S);
constexpr char kLetterChars[] = "MPXYZIJKFSHT";

}  // namespace

// The value as the machine holds it: 32-bit floats for coordinates, feed and speed, a 16-bit tool.
void TarvoBlockReader::readWord(TarvoLetter letter, const char* after, const char* end) {
    TarvoWord& word = block_.words[static_cast<int>(letter)];
    word.text = std::string_view(after, static_cast<std::size_t>(end - after));
    const NumberRead read = readLeadingNumber(word.text);
    word.value = read.value;
    WordFault fault;
    const char c = kLetterChars[static_cast<int>(letter)];
    if (read.overflow) [[unlikely]] {
        fault = {WordFault::Kind::Number, c, 0};
    } else if (letterBit(letter) & kFloatLetters) {
        const std::optional<float> held = narrowToFloat(read.value);
        if (held) word.held = *held;
        else fault = {WordFault::Kind::Float, c, read.value};
    } else if (letter == TarvoLetter::T) {
        const std::optional<std::int16_t> tool = roundToInt16(read.value);
        if (tool) word.tool = *tool;
        else fault = {WordFault::Kind::Tool, c, read.value};
    }
    // Letters are met in line order, faults are named in the letters' order.
    if (fault && (!block_.fault || static_cast<int>(letter) < faultLetter_)) {
        block_.fault = fault;
        faultLetter_ = static_cast<int>(letter);
    }
}

const TarvoBlock& TarvoBlockReader::read(std::string_view line) {
    TarvoBlock& b = block_;
    b.text = line;
    b.fault = {};
    b.present = 0;
    b.gCount = 0;
    g_.clear();
    const char* p = line.data();
    const char* const end = p + line.size();
    if (line.empty() || line[0] != 'N') {
        b.kind = TarvoBlock::Kind::Unnumbered;
        if (std::memchr(p, 0, line.size())) b.fault = {WordFault::Kind::Nul, 0, 0};
        return b;
    }
    b.kind = TarvoBlock::Kind::Numbered;
    for (++p; p < end; ++p) {
        const std::uint8_t c = kByteClass[static_cast<unsigned char>(*p)];
        if (c == 0) continue;
        if (c <= kTarvoLetters) {
            const auto letter = static_cast<TarvoLetter>(c - 1);
            const TarvoLetters bit = letterBit(letter);
            if ((letters_ & bit) && !(b.present & bit)) {
                b.present |= bit;
                readWord(letter, p + 1, end);
            }
        } else if (c == kG) {
            g_.push_back(readLeadingNumber(std::string_view(p + 1, static_cast<std::size_t>(end - p - 1))));
        } else if (c == kComment) {
            b.kind = TarvoBlock::Kind::Commented;
            b.fault = {};  // the words of a dropped line do not count
            if (std::memchr(p, 0, static_cast<std::size_t>(end - p))) b.fault = {WordFault::Kind::Nul, 0, 0};
            return b;
        } else {
            b.fault = {WordFault::Kind::Nul, 0, 0};
            return b;
        }
    }
    b.g = g_.data();
    b.gCount = g_.size();
    return b;
}

}  // namespace pathshift
