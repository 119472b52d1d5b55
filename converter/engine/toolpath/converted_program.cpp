#include "engine/toolpath/converted_program.h"

namespace pathshift {

bool ConvertedProgram::convert(TextSource& source, const ConversionOptions& options, ConversionReport& report,
                               PreviewError& error) {
    if (!file_.open()) {
        error = {0, file_.error()};
        return false;
    }
    ConversionError conversionError;
    if (!convertProgram(source, options, file_, report, conversionError)) {
        error = {conversionError.line, conversionError.reason};
        if (!file_.error().empty()) error = {0, file_.error()};
        return false;
    }
    return true;
}

bool ConvertedProgram::replay(MoveSink& sink, PreviewError& error) {
    ReplayError replayError;
    if (replaySelvix(file_, sink, replayError)) return true;
    // The converted program is the engine's own: one that cannot be read back is a fault worth naming.
    error = {0, "cannot read the converted program back (line " + std::to_string(replayError.line) +
                    "): " + replayError.reason};
    return false;
}

}  // namespace pathshift
