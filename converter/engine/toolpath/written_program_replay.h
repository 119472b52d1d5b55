#pragma once
// A Selvix program replayed while it is written: told of every line as the conversion writes it
// (its words, or its text for the lines written as fixed text), it follows the machine as it reads
// the program, so what the program does is known without reading the written file again.

#include <cstddef>
#include <string_view>

#include "engine/toolpath/machining_time.h"
#include "engine/toolpath/selvix_reader.h"
#include "engine/toolpath/toolpath.h"
#include "engine/translation/selvix_words.h"

namespace pathshift {

class WrittenProgramReplay final : public TargetLines {
public:
    explicit WrittenProgramReplay(MoveSink& moves) : moves_(moves), reader_(std::string_view(), &moves) {}
    // Timed: the moves go to the timer without a virtual call.
    explicit WrittenProgramReplay(MachiningTimeSink& timer) : WrittenProgramReplay(static_cast<MoveSink&>(timer)) {
        timer_ = &timer;
    }

    void textLine(std::string_view line) override;
    void wordsLine(const SelvixWords& words) override;
    // True when the whole program was replayed: a program the engine writes, header and all.
    bool finished() const { return !failed_ && reader_.started(); }
    const ReplayError& error() const { return reader_.error(); }

private:
    void take(SelvixReader::Step step);

    MoveSink& moves_;
    MachiningTimeSink* timer_ = nullptr;  // moves_ when it is a timer
    SelvixReader reader_;
    std::size_t lineNumber_ = 0;
    bool halted_ = false;  // failed, or the sink wanted no more moves
    bool inBody_ = false;  // started and not halted
    bool failed_ = false;
};

}  // namespace pathshift
