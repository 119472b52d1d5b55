#include "engine/toolpath/written_program_replay.h"

namespace pathshift {

void WrittenProgramReplay::textLine(std::string_view line) {
    ++lineNumber_;
    if (!failed_ && !stopped_) take(reader_.readLine(line, lineNumber_, move_), move_);
}

void WrittenProgramReplay::wordsLine(const SelvixWords& words) {
    ++lineNumber_;
    if (!failed_ && !stopped_) take(reader_.readLine(words, lineNumber_, move_), move_);
}

void WrittenProgramReplay::take(SelvixReader::Step step, const Move& move) {
    switch (step) {
        case SelvixReader::Step::Started: moves_.begin(reader_.info()); break;
        case SelvixReader::Step::Move: stopped_ = !moves_.move(move); break;
        case SelvixReader::Step::Failed: failed_ = true; break;
        case SelvixReader::Step::Nothing: break;
    }
}

}  // namespace pathshift
