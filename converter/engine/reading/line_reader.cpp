#include "engine/reading/line_reader.h"

#include <cstring>

namespace pathshift {

bool LineReader::rewind() {
    started_ = true;
    lineNumber_ = 0;
    error_.clear();
    if (!source_) {
        begin_ = text_.data();
        end_ = text_.data() + text_.size();
        atEnd_ = true;
        return true;
    }
    if (!source_->rewind(error_)) return false;
    if (!buffer_) {
        bufferSize_ = pieceSize_;
        buffer_.reset(new char[bufferSize_]);
    }
    begin_ = end_ = buffer_.get();
    atEnd_ = false;
    return true;
}

// Moves the unread rest to the front of the buffer (growing it when one line fills it) and reads
// behind it.
bool LineReader::refill() {
    const std::size_t kept = static_cast<std::size_t>(end_ - begin_);
    if (kept == bufferSize_) {
        std::unique_ptr<char[]> larger(new char[bufferSize_ * 2]);
        std::memcpy(larger.get(), begin_, kept);
        buffer_ = std::move(larger);
        bufferSize_ *= 2;
    } else if (kept > 0 && begin_ != buffer_.get()) {
        std::memmove(buffer_.get(), begin_, kept);
    }
    const long got = source_->read(buffer_.get() + kept, bufferSize_ - kept, error_);
    if (got < 0) return false;
    if (got == 0) atEnd_ = true;
    begin_ = buffer_.get();
    end_ = begin_ + kept + got;
    return true;
}

bool LineReader::next(std::string_view& line) {
    if (!started_ && !rewind()) return false;
    for (;;) {
        const char* lineEnd = begin_;
        while (lineEnd < end_ && *lineEnd != '\n' && *lineEnd != '\r') ++lineEnd;
        // A line is complete with its line end in hand, including the LF that may follow a CR.
        const bool complete = lineEnd < end_ && (*lineEnd == '\n' || lineEnd + 1 < end_);
        if (complete || atEnd_) {
            if (begin_ == end_) return false;  // the text ended with the previous line's end
            line = std::string_view(begin_, static_cast<std::size_t>(lineEnd - begin_));
            const char* next = lineEnd;
            if (next < end_) {
                if (*next == '\r' && next + 1 < end_ && next[1] == '\n') ++next;
                ++next;
            }
            begin_ = next;
            ++lineNumber_;
            return true;
        }
        if (!refill()) return false;
    }
}

}  // namespace pathshift
