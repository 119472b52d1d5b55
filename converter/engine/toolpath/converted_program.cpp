#include "engine/toolpath/converted_program.h"

#include "engine/toolpath/source_lines.h"

namespace pathshift {

bool ConvertedProgram::convert(TextSource& source, const ConversionOptions& options, ConversionReport& report,
                               PreviewError& error) {
    if (!file_.open()) {
        error = {0, file_.error()};
        return false;
    }
    ConversionError conversionError;
    lines_ = LineIndex();
    IndexedOutput output(file_, lines_);
    if (!convertProgram(source, options, output, report, conversionError)) {
        error = {conversionError.line, conversionError.reason};
        if (!file_.error().empty()) error = {0, file_.error()};
        return false;
    }
    return true;
}

bool ConvertedProgram::replay(MoveSink& sink, PreviewError& error) {
    ReplayError replayError;
    return replayed(replaySelvix(file_, sink, replayError), replayError, error);
}

bool ConvertedProgram::replayWithSourceLines(TextSource& source, const ConversionOptions& options, MoveSink& sink,
                                             PreviewError& error) {
    ReplayError sourceError, targetError;
    if (pathshift::replayWithSourceLines(source, options, file_, sink, sourceError, targetError)) return true;
    if (!sourceError.reason.empty()) {
        error = {sourceError.line, sourceError.reason};
        return false;
    }
    return replayed(false, targetError, error);
}

bool ConvertedProgram::replayed(bool done, const ReplayError& replayError, PreviewError& error) {
    if (done) return true;
    // The converted program is the engine's own: one that cannot be read back is a fault worth naming.
    error = {0, "cannot read the converted program back (line " + std::to_string(replayError.line) +
                    "): " + replayError.reason};
    return false;
}

}  // namespace pathshift
