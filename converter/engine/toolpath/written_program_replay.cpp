#include "engine/toolpath/written_program_replay.h"

namespace pathshift {

void WrittenProgramReplay::textLine(std::string_view line) {
    ++lineNumber_;
    if (!halted_) take(reader_.readLine(line, lineNumber_));
}

void WrittenProgramReplay::wordsLine(const SelvixWords& words) {
    ++lineNumber_;
    if (inBody_) [[likely]] {
        take(reader_.readBodyLine(words, lineNumber_));
    } else if (!halted_) {
        take(reader_.readLine(words, lineNumber_));
    }
}

inline void WrittenProgramReplay::take(SelvixReader::Step step) {
    if (step == SelvixReader::Step::Move) [[likely]] {
        if (!(timer_ ? timer_->move(reader_.move()) : moves_.move(reader_.move()))) [[unlikely]]
            halted_ = true, inBody_ = false;
        return;
    }
    if (step == SelvixReader::Step::Started) {
        moves_.begin(reader_.info());
        inBody_ = true;
    }
    if (step == SelvixReader::Step::Failed) failed_ = halted_ = true, inBody_ = false;
}

}  // namespace pathshift
