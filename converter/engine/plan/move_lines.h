#pragma once
// The source and target lines of a drawn move, as a tooltip names them: numbers and texts, read
// back from the programs when asked (through their line indexes), never held.

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/io/line_index.h"
#include "engine/io/text_source.h"

namespace pathshift {

// Bytes of a line shown in a tooltip at most; the rest is cut, with an ellipsis.
constexpr std::size_t kShownLineBytes = 160;

// A program line as text any viewer shows as it is: valid UTF-8 kept, every other byte and every
// control or direction-changing character written as \xNN or \u{NNNN}, so that nothing hides or
// reorders what the file holds; cut after kShownLineBytes bytes of the line.
std::string shownLine(std::string_view bytes);

class MoveLineTexts {
public:
    MoveLineTexts(TextSource& source, const LineIndex& sourceLines, TextSource& target, const LineIndex& targetLines)
        : source_(source), sourceLines_(sourceLines), target_(target), targetLines_(targetLines) {}

    // "source line 12: N12G1X1", "source line 12: its text is no longer available (the file has
    // changed)", or "no source line".
    std::string sourceLine(std::size_t number) const { return describe("source", sourceText(number), number); }
    std::string targetLine(std::size_t number) const { return describe("target", targetText(number), number); }
    // A line's text as shown, or why it cannot be.
    std::string sourceText(std::size_t number) const { return text(source_, sourceLines_, number); }
    std::string targetText(std::size_t number) const { return text(target_, targetLines_, number); }
    // Both, one to a line.
    std::string tooltip(std::size_t sourceNumber, std::size_t targetNumber) const {
        return sourceLine(sourceNumber) + "\n" + targetLine(targetNumber);
    }

private:
    static std::string text(TextSource& text, const LineIndex& lines, std::size_t number);
    static std::string describe(std::string_view side, const std::string& text, std::size_t number);

    TextSource& source_;
    const LineIndex& sourceLines_;
    TextSource& target_;
    const LineIndex& targetLines_;
};

}  // namespace pathshift
