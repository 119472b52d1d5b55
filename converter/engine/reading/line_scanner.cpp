#include "engine/reading/line_scanner.h"

#include <algorithm>
#include <cstring>

#include "engine/reading/line_ends.h"

namespace pathshift {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

bool LineScanner::rewind() {
    lineNumber_ = 0;
    error_.clear();
    if (source_) {
        if (!source_->rewind(error_)) return false;
        if (!buffer_) {
            bufferSize_ = pieceSize_;  // a longer line makes the buffer grow to hold it
            buffer_.reset(new char[bufferSize_]);
        }
        windowBegin_ = windowEnd_ = buffer_.get();
        atEnd_ = false;
    } else {
        windowBegin_ = text_.data();
        windowEnd_ = text_.data() + text_.size();
        atEnd_ = true;
    }
    windowOffset_ = 0;
    next_ = windowBegin_;
    line_ = std::string_view(windowBegin_, 0);
    return true;
}

bool LineScanner::start(Events& events) {
    stopped_ = false;
    if (!rewind()) return false;
    events.beginOfFile();
    std::string_view lines;
    while (!stopped_ && nextLines(lines)) {
        const char* p = lines.data();
        const char* const end = p + lines.size();
        do {
            bool nul = false;
            const char* const lineEnd = findLineEnd(p, end, nul);
            line_ = std::string_view(p, static_cast<std::size_t>(lineEnd - p));
            ++lineNumber_;
            cachedField_ = 0;
            events.line();
            p = afterLineEnd(lineEnd, end);
        } while (!stopped_ && p < end);
    }
    if (!error_.empty()) return false;
    if (!stopped_) events.endOfFile();
    return true;
}

bool LineScanner::nextLines(std::string_view& lines) {
    for (;;) {
        const char* const begin = next_;
        const char* const end = endOfWholeLines(begin);
        if (end != begin) {
            next_ = end;
            lines = std::string_view(begin, static_cast<std::size_t>(end - begin));
            // A UTF-8 byte-order mark in front of the first line is not part of it.
            if (windowOffset_ == 0 && begin == windowBegin_ && lines.starts_with(kByteOrderMark))
                lines.remove_prefix(kByteOrderMark.size());
            return true;
        }
        if (atEnd_ || !refill()) return false;
    }
}

// The end of the whole lines at p that the window holds: just after a line end whose CR LF is not
// cut by the window's end, or the end of the text. In memory the run stops after about a piece.
const char* LineScanner::endOfWholeLines(const char* p) const {
    const char* limit = windowEnd_;
    if (atEnd_) {
        if (!source_ && static_cast<std::size_t>(limit - p) > pieceSize_) {
            limit = p + pieceSize_;
        } else {
            return limit;
        }
    }
    for (const char* q = limit; q > p;) {
        --q;
        if (!isLineEnd(*q)) continue;
        if (*q == '\r') {
            if (q + 1 < windowEnd_) return q + 1 + (q[1] == '\n');
            if (!atEnd_) continue;  // an LF may follow in the next piece
        }
        return q + 1;
    }
    return atEnd_ ? windowEnd_ : p;  // in memory, a line longer than a piece comes whole
}

// Keeps the unread part of the window (a line cut by the end of a piece), moves it to the start of
// the buffer and reads on behind it.
bool LineScanner::refill() {
    const char* const p = next_;
    const std::size_t kept = static_cast<std::size_t>(windowEnd_ - p);
    char* buffer = buffer_.get();
    windowOffset_ += static_cast<std::size_t>(p - windowBegin_);
    if (kept == bufferSize_) {  // one line fills the buffer: make room for more of it
        std::unique_ptr<char[]> larger(new char[bufferSize_ * 2]);
        std::memcpy(larger.get(), buffer, kept);
        buffer_ = std::move(larger);
        bufferSize_ *= 2;
        buffer = buffer_.get();
    } else if (kept > 0 && p != buffer) {
        std::memmove(buffer, p, kept);
    }
    const long got = source_->read(buffer + kept, bufferSize_ - kept, error_);
    if (got < 0) return false;
    if (got == 0) atEnd_ = true;
    windowBegin_ = buffer;
    windowEnd_ = buffer + kept + got;
    next_ = buffer;
    return true;
}

int LineScanner::countOccurrences() const {
    return static_cast<int>(std::count(line_.begin(), line_.end(), separator_));
}

const char* LineScanner::occurrence(int k) const {
    const char* const end = line_.data() + line_.size();
    const char* at;
    int found;
    if (cachedField_ != 0 && cachedField_ <= k) {
        at = cachedAt_;
        found = cachedField_;
    } else {
        at = static_cast<const char*>(std::memchr(line_.data(), separator_, line_.size()));
        if (!at) return nullptr;
        found = 1;
    }
    while (found < k) {
        at = static_cast<const char*>(std::memchr(at + 1, separator_, static_cast<std::size_t>(end - at - 1)));
        if (!at) return nullptr;
        ++found;
    }
    cachedField_ = found;
    cachedAt_ = at;
    return at;
}

std::string_view LineScanner::anyField(int n) const {
    if (n < 1) return {};
    const char* const end = line_.data() + line_.size();
    const char* begin = line_.data();
    if (n >= 2) {
        const char* before = occurrence(n - 1);
        if (!before) return {};
        begin = before + 1;
    }
    const char* after = static_cast<const char*>(std::memchr(begin, separator_, static_cast<std::size_t>(end - begin)));
    return std::string_view(begin, static_cast<std::size_t>((after ? after : end) - begin));
}

}  // namespace pathshift
