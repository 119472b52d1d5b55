#pragma once
// Proof that a converted program cuts what its source cuts: both toolpaths replayed and laid over
// each other, every cutting move of the source matched with the target's move in the same order
// at the same place, with the same kind, centre, tool and depth.
//
// Tolerance: the target carries four decimals, so every value it writes may be off by half of the
// last one, 0.00005, and the engine first writes a 32-bit float to 7 significant digits, which
// costs up to half a unit in the 7th digit. A value is therefore taken as the same within
// 0.00005 for each target value it is made of (one for X, Y and arc centres; two for Z and the
// depth: the motion line's Z and the tool call's depth) plus one millionth of its size.
//
// Both programs are streamed and only a few moves of either are held at a time, so a program of
// any size is verified in a small, fixed amount of memory.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/translation/conversion.h"
#include "engine/io/text_source.h"
#include "engine/toolpath/machining_time.h"
#include "engine/toolpath/move_compare.h"
#include "engine/toolpath/toolpath.h"

namespace pathshift {

struct VerifyDifference {
    std::size_t sourceLine = 0;  // 0 when the target has a move the source has not
    std::size_t targetLine = 0;  // 0 when the difference is not tied to a target line
    std::string text;
};

struct VerifyReport {
    // Differences listed; the rest are only counted, so a wrong depth in a long segment cannot flood.
    static constexpr std::size_t kListed = 100;

    std::size_t movesChecked = 0;  // cutting moves of the source
    std::size_t differenceCount = 0;
    std::vector<VerifyDifference> differences;
    bool same() const { return differenceCount == 0; }
    void add(std::size_t sourceLine, std::size_t targetLine, std::string text);
};

// Lays the target over its source (converted with `options`). False with `error` set when either
// program cannot be replayed.
bool verifyConversion(TextSource& source, TextSource& target, const ConversionOptions& options,
                      VerifyReport& report, ReplayError& error);
bool verifyConversion(std::string_view source, std::string_view target, const ConversionOptions& options,
                      VerifyReport& report, ReplayError& error);

struct VerifyResult {
    bool verified = false;  // the program converted and both sides were replayed
    ConversionError error;  // why not
    ConversionReport conversion;
    VerifyReport report;
    std::optional<MachiningTime> time;  // the files' verifications only: the target's estimated run
};

// Converts a program held in memory and verifies the result.
VerifyResult verifyProgram(std::string_view source, const ConversionOptions& options);
// Converts a file into a nameless temporary file and verifies it: memory stays small for a
// program of any size. The target is timed at `rates` as it is written.
VerifyResult verifyFile(const std::filesystem::path& source, const ConversionOptions& options,
                        const MachiningRates& rates = {});
// Verifies a program converted earlier (perhaps edited since) against its source, and times it.
VerifyResult verifyFile(const std::filesystem::path& source, const std::filesystem::path& converted,
                        const ConversionOptions& options, const MachiningRates& rates = {});

}  // namespace pathshift
