#pragma once
// A source program converted into a nameless temporary file, to be replayed as the target machine
// reads it as often as wanted. Memory stays small whatever the program's size.

#include <cstddef>
#include <string>

#include "engine/translation/conversion.h"
#include "engine/io/line_index.h"
#include "engine/io/scratch_file.h"
#include "engine/io/text_source.h"
#include "engine/toolpath/toolpath.h"

namespace pathshift {

struct PreviewError {
    std::size_t line = 0;  // the source's line when the conversion failed there
    std::string reason;
};

class ConvertedProgram {
public:
    // False with `error` set when the program does not convert; `report` is the conversion's.
    bool convert(TextSource& source, const ConversionOptions& options, ConversionReport& report,
                 PreviewError& error);
    // The converted program's moves, in order, into `sink`.
    bool replay(MoveSink& sink, PreviewError& error);
    // The same, each move with the line of `source` (the one converted, with the same options) that
    // it was translated from.
    bool replayWithSourceLines(TextSource& source, const ConversionOptions& options, MoveSink& sink,
                               PreviewError& error);
    // The converted text and where its lines start, for a line looked up later.
    TextSource& text() { return file_; }
    const LineIndex& lines() const { return lines_; }

private:
    bool replayed(bool done, const ReplayError& replayError, PreviewError& error);

    ScratchFile file_;
    LineIndex lines_;
};

}  // namespace pathshift
