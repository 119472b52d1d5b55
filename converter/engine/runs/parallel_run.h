#pragma once
// A conversion run over files on several threads. Every file converts independently, so workers
// take files in list order; the caller's thread still sees progress and results exactly as a serial
// run shows them: progress of the first file not yet done, and each result in list order.

#include <cstddef>
#include <filesystem>
#include <vector>

#include "engine/runs/file_run.h"

namespace pathshift {

// Threads a run uses when the operator names no count: one per core, at least one.
unsigned defaultJobCount();

// Same results, written files, and order of calls to `progress` and `fileDone` as convertFiles();
// both callbacks run on the caller's thread. A job count of 0 or 1 is a serial run.
RunResult convertFilesInParallel(const std::vector<std::filesystem::path>& sources,
                                 const std::filesystem::path& destinationFolder, const ConversionOptions& options,
                                 unsigned jobs, const RunProgressFn& progress = {}, const FileDoneFn& fileDone = {},
                                 const MachiningRates& rates = {});

}  // namespace pathshift
