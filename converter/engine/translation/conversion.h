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
#include "engine/reading/tarvo_rules.h"
#include "engine/translation/conversion_report.h"
#include "engine/translation/selvix_words.h"
#include "engine/translation/tool_table.h"

namespace pathshift {

struct ConversionOptions {
    std::string thickness;   // the part thickness as typed; read strictly, copied as text into the header
    Head head = Head::One;   // head 1 knows tools 1001 to 1009, head 2 tools 2001 to 2019
    bool dfs = false;        // the D digit of the tool call
    bool ipsFeed = false;    // inch feeds converted from per minute to per second
    bool strict = false;     // a warning fails the file
    ToolTable tools;
};

// The thickness as a number, or empty when its text does not convert strictly or is too large for
// the depths to keep their ten-thousandths.
std::optional<double> thicknessValue(std::string_view text);
// The message that refuses a run with an unusable thickness.
std::string thicknessRefusal(std::string_view text);

// Progress through one conversion: work done and work in all (both scans of the source).
using ConversionProgress = std::function<void(std::size_t done, std::size_t total)>;

// Converts one program; the target text goes to `sink` in order. Returns false with `error` set
// when the program cannot be converted (the sink then holds part of a text and must be discarded).
bool convertProgram(std::string_view source, const ConversionOptions& options, OutputSink& sink,
                    ConversionReport& report, ConversionError& error,
                    const ConversionProgress& progress = {});

// The same for a program read from a source (a file), in pieces, once per scan; `lines`, when given,
// is told of every line written.
bool convertProgram(TextSource& source, const ConversionOptions& options, OutputSink& sink,
                    ConversionReport& report, ConversionError& error, const ConversionProgress& progress = {},
                    TargetLines* lines = nullptr);

struct ConversionResult {
    bool converted = false;
    std::string text;  // the whole target program when converted
    ConversionReport report;
    ConversionError error;
};

// Converts one program held in memory into a target program held in memory.
ConversionResult convertProgram(std::string_view source, const ConversionOptions& options);

}  // namespace pathshift
