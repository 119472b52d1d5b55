#pragma once
// A Selvix program replayed while it is written: the text passes on to the real output unchanged
// and its lines are read as the machine reads them on the way, so what the program does is known
// without reading the written file again.

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/io/output_text.h"
#include "engine/toolpath/selvix_reader.h"
#include "engine/toolpath/toolpath.h"

namespace pathshift {

class ReplayingOutput final : public OutputSink {
public:
    ReplayingOutput(OutputSink& output, MoveSink& moves) : output_(output), moves_(moves), reader_(std::string_view(), &moves) {}

    // The output's answer; a text the replay cannot read is still passed on (see replayed()).
    bool write(std::string_view text) override;
    // Reads a last line left without its line end. True when the whole text was replayed: a
    // program the engine writes, header and all.
    bool finish();
    const ReplayError& error() const { return reader_.error(); }

private:
    void readLine(std::string_view line);

    OutputSink& output_;
    MoveSink& moves_;
    SelvixReader reader_;
    std::string partLine_;  // the start of a line the last piece cut off
    std::size_t lineNumber_ = 0;
    bool failed_ = false;
    bool stopped_ = false;  // the sink wanted no more moves
};

}  // namespace pathshift
