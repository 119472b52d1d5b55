#include "engine/reading/tarvo_rules.h"

#include <charconv>

namespace pathshift {
namespace {

std::string number(double value) {
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)ec;
    return std::string(buffer, end);
}

// The converter holds X, Y, I and J with the target's signs.
double heldByConverter(const WordFault& fault) {
    const bool mirrored = fault.letter == 'X' || fault.letter == 'Y' || fault.letter == 'I' || fault.letter == 'J';
    return mirrored ? -fault.value : fault.value;
}

}  // namespace

std::string faultText(const WordFault& fault, FaultWording wording) {
    const bool converter = wording == FaultWording::Converter;
    const std::string letter(1, fault.letter);
    switch (fault.kind) {
        case WordFault::Kind::Number: return "the " + letter + " word is beyond the range of a number";
        case WordFault::Kind::Float:
            return "the " + letter + " value " + (converter ? number(heldByConverter(fault)) + " " : "") +
                   "is beyond the range of a 32-bit float";
        case WordFault::Kind::Tool:
            return converter ? "the tool number T" + number(fault.value) + " is outside -32768 to 32767"
                             : "the tool number is outside -32768 to 32767";
        case WordFault::Kind::GNumber: return "a G word is beyond the range of a number";
        case WordFault::Kind::Nul:
            return converter ? "the line holds a NUL byte: this is not a text program (a binary or damaged file?)"
                             : "the line holds a NUL byte: this is not a text program";
        case WordFault::Kind::None: break;
    }
    return {};
}

}  // namespace pathshift
