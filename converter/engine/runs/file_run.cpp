#include "engine/runs/file_run.h"

#include <set>
#include <system_error>

#include "engine/io/atomic_file.h"
#include "engine/io/quoted_name.h"
#include "engine/toolpath/written_program_replay.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;

class DiscardSink final : public OutputSink {
public:
    bool write(std::string_view) override { return true; }
};

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    const bool same = fs::equivalent(a, b, ec);
    return !ec && same;
}

// The conversion into `output`, timed on the way.
bool convertTimed(TextSource& text, const ConversionOptions& options, const MachiningRates& rates,
                  const ConversionProgress& progress, OutputSink& output, FileResult& result) {
    MachiningTimeSink timer(withFeedsOf(rates, options));
    WrittenProgramReplay replay(timer);
    if (!convertProgram(text, options, output, result.report, result.error, progress, &replay)) return false;
    if (replay.finished()) result.time = timer.time();
    return true;
}

}  // namespace

bool RunResult::allConverted() const {
    if (refusal || stopped) return false;
    for (const FileResult& file : files)
        if (!file.converted) return false;
    return true;
}

FileResult convertFile(const fs::path& source, const fs::path& destinationFolder, const ConversionOptions& options,
                       const ConversionProgress& progress, const MachiningRates& rates) {
    FileResult result;
    result.source = source;
    SourceFile text;
    std::string readError;
    if (!text.open(source, readError)) {
        result.error.reason = readError;
        return result;
    }
    if (destinationFolder.empty()) {
        DiscardSink sink;
        result.converted = convertTimed(text, options, rates, progress, sink, result);
        return result;
    }

    result.target = destinationFolder / source.filename();
    if (sameFile(source, result.target)) {
        result.error.reason = "the destination " + quotedName(result.target) +
                              " is the source file itself; choose another destination folder";
        return result;
    }
    std::error_code ec;
    if (!fs::is_directory(destinationFolder, ec)) {
        result.error.reason = fs::exists(destinationFolder, ec)
                                  ? "the destination " + quotedName(destinationFolder) + " is not a folder"
                                  : "the destination folder " + quotedName(destinationFolder) + " does not exist";
        return result;
    }
    AtomicFile file(result.target);
    if (!file.open()) {
        result.error.reason = file.error();
        return result;
    }
    if (!convertTimed(text, options, rates, progress, file, result)) {
        if (!file.error().empty()) result.error = {0, file.error()};
        return result;
    }
    if (!file.commit()) {
        result.error = {0, file.error()};
        return result;
    }
    result.converted = true;
    return result;
}

FileResult sameNameClash(const fs::path& source, const fs::path& target) {
    FileResult clash;
    clash.source = source;
    clash.error.reason = "another source of this run has the same name and was already written to " +
                         quotedName(target) + "; convert it into another folder";
    return clash;
}

RunResult convertFiles(const std::vector<fs::path>& sources, const fs::path& destinationFolder,
                       const ConversionOptions& options, const RunProgressFn& progress, const FileDoneFn& fileDone,
                       const StopFn& stop, const MachiningRates& rates) {
    RunResult run;
    if (!thicknessValue(options.thickness)) {
        run.refusal = thicknessRefusal(options.thickness);
        return run;
    }
    run.files.reserve(sources.size());
    std::set<fs::path> written;  // two sources of one name would otherwise overwrite each other's output
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (stop && stop()) {
            run.stopped = true;
            break;
        }
        ConversionProgress fileProgress;
        if (progress) {
            fileProgress = [&, i](std::size_t done, std::size_t total) {
                progress(RunProgress{i, sources.size(), &sources[i], done, total});
            };
            progress(RunProgress{i, sources.size(), &sources[i], 0, 1});
        }
        const fs::path target = destinationFolder.empty() ? fs::path() : destinationFolder / sources[i].filename();
        if (!target.empty() && written.count(target) > 0) {
            run.files.push_back(sameNameClash(sources[i], target));
        } else {
            run.files.push_back(convertFile(sources[i], destinationFolder, options, fileProgress, rates));
            if (run.files.back().converted) written.insert(target);
        }
        if (fileDone) fileDone(run.files.back());
    }
    return run;
}

}  // namespace pathshift
