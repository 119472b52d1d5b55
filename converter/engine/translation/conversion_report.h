#pragma once
// What converting one program met: the counts and warnings of its report, and the error that
// stops it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pathshift {

enum class WarningKind : std::uint8_t {
    CommentedBlock,    // a numbered block dropped because it holds a comment
    UnnumberedWords,   // a line starting with a lower-case n or a blank that holds words
    ArcWithoutCentre,  // an arc block with neither I nor J
    ToolOutsideHead,   // a tool word outside the selected head's range
    ToolNotInTable,    // a tool called by its last digit
    SegmentWithoutZ,   // a cutting segment without any Z word
    CutBeforeRapid,    // cutting moves before the first rapid, with no tool call before them
    NoBlocks,          // not one numbered block: the output is the header and trailer alone
    ToolCellNotANumber,  // the matching tool row's Selvix cell holds no number: tool 0
};
constexpr int kWarningKinds = 9;

// How a file with no numbered block is counted apart from the converted ones.
inline constexpr const char* kNothingToConvert = "nothing to convert: no numbered block";

struct ConversionWarning {
    std::size_t line = 0;  // 0 for a warning about the whole program
    WarningKind kind{};
    std::string text;
};

struct ConversionReport {
    // Warnings listed per kind; the rest are only counted, so a long program cannot flood the report.
    static constexpr std::size_t kListedPerKind = 50;

    std::size_t linesRead = 0;
    std::size_t blocksTranslated = 0;
    std::size_t linesDropped = 0;
    std::size_t plunges = 0;
    std::size_t toolCalls = 0;  // full tool blocks (G306)
    std::vector<ConversionWarning> warnings;
    std::size_t unlistedWarnings = 0;
    std::size_t perKind[kWarningKinds] = {};

    std::size_t warningCount() const { return warnings.size() + unlistedWarnings; }
    // Written as header and trailer alone: worth the operator's attention, not a conversion.
    bool nothingToConvert() const { return blocksTranslated == 0; }
    void warn(std::size_t line, WarningKind kind, std::string text);
    // Whether the next warning of a kind is listed; when not, countUnlisted() takes it without
    // its text.
    bool lists(WarningKind kind) const { return perKind[static_cast<int>(kind)] < kListedPerKind; }
    void countUnlisted(WarningKind kind) {
        ++perKind[static_cast<int>(kind)];
        ++unlistedWarnings;
    }
};

struct ConversionError {
    std::size_t line = 0;  // 0 when the error is not tied to a line
    std::string reason;
};

}  // namespace pathshift
