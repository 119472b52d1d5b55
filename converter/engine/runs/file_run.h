#pragma once
// A conversion run over files: every source converted into the destination folder under its own
// name, one after the other. A file that fails is reported and the run goes on with the next.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/toolpath/machining_time.h"
#include "engine/translation/conversion.h"

namespace pathshift {

struct FileResult {
    std::filesystem::path source;
    std::filesystem::path target;  // empty when nothing would be written (check runs)
    bool converted = false;
    ConversionError error;  // why the file failed
    ConversionReport report;
    std::optional<MachiningTime> time;  // when converted: the target program's estimated run on the machine
};

struct RunProgress {
    std::size_t fileIndex = 0;  // from 0
    std::size_t fileCount = 0;
    const std::filesystem::path* source = nullptr;
    std::size_t done = 0;   // work done in this file
    std::size_t total = 0;  // and in all
};
using RunProgressFn = std::function<void(const RunProgress&)>;
// Told after each file, in order, when its result is known.
using FileDoneFn = std::function<void(const FileResult&)>;

// Asked before each file; true ends the run there, after the file in hand.
using StopFn = std::function<bool()>;

struct RunResult {
    std::optional<std::string> refusal;  // the run was refused before any file was touched
    std::vector<FileResult> files;       // the files the run reached, in order
    bool stopped = false;                // ended on request before the last file
    bool allConverted() const;
};

// Converts one file; with an empty destination folder nothing is written (a check). The target
// text is replayed as it is written, for its machining time at `rates` (feeds read per second
// when the options convert them so).
FileResult convertFile(const std::filesystem::path& source, const std::filesystem::path& destinationFolder,
                       const ConversionOptions& options, const ConversionProgress& progress = {},
                       const MachiningRates& rates = {});

// The failure of a source whose output name an earlier source of the run has written.
FileResult sameNameClash(const std::filesystem::path& source, const std::filesystem::path& target);

// Converts the sources in order. A thickness that does not convert refuses the whole run.
RunResult convertFiles(const std::vector<std::filesystem::path>& sources,
                       const std::filesystem::path& destinationFolder, const ConversionOptions& options,
                       const RunProgressFn& progress = {}, const FileDoneFn& fileDone = {},
                       const StopFn& stop = {}, const MachiningRates& rates = {});

}  // namespace pathshift
