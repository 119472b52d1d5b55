#pragma once
// Converting one Tarvo program into a Selvix program: the options an operator chooses, the report
// of what the conversion met, and the calls that convert a program held in memory.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/io/output_text.h"
#include "engine/io/text_source.h"
#include "engine/translation/tool_table.h"

namespace pathshift {

enum class Head : std::uint8_t { One = 1, Two = 2 };

struct ConversionOptions {
    std::string thickness;   // the part thickness as typed; read strictly, copied as text into the header
    Head head = Head::One;   // head 1 knows tools 1001 to 1009, head 2 tools 2001 to 2019
    bool dfs = false;        // the D digit of the tool call
    bool ipsFeed = false;    // inch feeds converted from per minute to per second
    bool strict = false;     // a warning fails the file
    ToolTable tools;
};

// The thickness as a number, or empty when its text does not convert strictly.
std::optional<double> thicknessValue(std::string_view text);
// The message that refuses a run with an unusable thickness.
std::string thicknessRefusal(std::string_view text);

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
};

struct ConversionError {
    std::size_t line = 0;  // 0 when the error is not tied to a line
    std::string reason;
};

// Progress through one conversion: work done and work in all (both scans of the source).
using ConversionProgress = std::function<void(std::size_t done, std::size_t total)>;

// Converts one program; the target text goes to `sink` in order. Returns false with `error` set
// when the program cannot be converted (the sink then holds part of a text and must be discarded).
bool convertProgram(std::string_view source, const ConversionOptions& options, OutputSink& sink,
                    ConversionReport& report, ConversionError& error,
                    const ConversionProgress& progress = {});

// The same for a program read from a source (a file), in pieces, once per scan.
bool convertProgram(TextSource& source, const ConversionOptions& options, OutputSink& sink,
                    ConversionReport& report, ConversionError& error, const ConversionProgress& progress = {});

struct ConversionResult {
    bool converted = false;
    std::string text;  // the whole target program when converted
    ConversionReport report;
    ConversionError error;
};

// Converts one program held in memory into a target program held in memory.
ConversionResult convertProgram(std::string_view source, const ConversionOptions& options);

}  // namespace pathshift
