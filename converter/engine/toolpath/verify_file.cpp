// Verifying a program file: converted into a scratch file that the target's replay streams from,
// so that neither program is ever held whole.

#include "engine/io/quoted_name.h"
#include "engine/io/scratch_file.h"
#include "engine/toolpath/written_program_replay.h"
#include "engine/toolpath/verifier.h"

namespace pathshift {
namespace {

VerifyResult& compareSides(TextSource& source, TextSource& target, const ConversionOptions& options,
                           VerifyResult& result) {
    ReplayError replayError;
    if (!verifyConversion(source, target, options, result.report, replayError))
        result.error = {replayError.line, replayError.reason};
    else if (source.sameAsLastScan(result.error.reason))  // the replay is the source's last scan
        result.verified = true;
    return result;
}

}  // namespace

VerifyResult verifyFile(const std::filesystem::path& sourcePath, const ConversionOptions& options,
                        const MachiningRates& rates) {
    VerifyResult result;
    SourceFile source;
    std::string error;
    if (!source.open(sourcePath, error)) {
        result.error.reason = error;
        return result;
    }
    ScratchFile target;
    if (!target.open()) {
        result.error.reason = target.error();
        return result;
    }
    MachiningTimeSink timer(withFeedsOf(rates, options));
    WrittenProgramReplay timed(timer);
    if (!convertProgram(source, options, target, result.conversion, result.error, {}, &timed)) {
        if (!target.error().empty()) result.error = {0, target.error()};
        return result;
    }
    if (timed.finished()) result.time = timer.time();
    return compareSides(source, target, options, result);
}

VerifyResult verifyFile(const std::filesystem::path& sourcePath, const std::filesystem::path& convertedPath,
                        const ConversionOptions& options, const MachiningRates& rates) {
    VerifyResult result;
    SourceFile source;
    SourceFile target;
    std::string error;
    if (!source.open(sourcePath, error)) {
        result.error.reason = error;
        return result;
    }
    if (!target.open(convertedPath, error, "a converted program")) {
        result.error.reason = quotedName(convertedPath) + ": " + error;
        return result;
    }
    if (!compareSides(source, target, options, result).verified) return result;
    // A program edited by hand is timed as it now stands, in a reading of its own.
    MachiningTimeSink timer(withFeedsOf(rates, options));
    ReplayError timingError;
    if (replaySelvix(target, timer, timingError)) result.time = timer.time();
    return result;
}

}  // namespace pathshift
