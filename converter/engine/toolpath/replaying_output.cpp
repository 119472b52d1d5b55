#include "engine/toolpath/replaying_output.h"

#include <cstring>

namespace pathshift {

bool ReplayingOutput::write(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (!failed_ && !stopped_ && p < end) {
        const void* found = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (!found) {
            partLine_.append(p, end);
            break;
        }
        const char* const lineEnd = static_cast<const char*>(found);
        if (partLine_.empty()) {
            readLine(std::string_view(p, static_cast<std::size_t>(lineEnd - p)));
        } else {
            partLine_.append(p, lineEnd);
            readLine(partLine_);
            partLine_.clear();
        }
        p = lineEnd + 1;
    }
    return output_.write(text);
}

void ReplayingOutput::readLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    Move move;
    switch (reader_.readLine(line, ++lineNumber_, move)) {
        case SelvixReader::Step::Started: moves_.begin(reader_.info()); break;
        case SelvixReader::Step::Move: stopped_ = !moves_.move(move); break;
        case SelvixReader::Step::Failed: failed_ = true; break;
        case SelvixReader::Step::Nothing: break;
    }
}

bool ReplayingOutput::finish() {
    if (!failed_ && !stopped_ && !partLine_.empty()) readLine(partLine_);
    partLine_.clear();
    return !failed_ && reader_.started();
}

}  // namespace pathshift
