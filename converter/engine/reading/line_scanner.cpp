#include "engine/reading/line_scanner.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pathshift {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

inline bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

}  // namespace

bool LineScanner::start(Events& events) {
    stopped_ = false;
    lineNumber_ = 0;
    error_.clear();
    if (source_) {
        if (!source_->rewind(error_)) return false;
        if (!buffer_) {
            bufferSize_ = pieceSize_;  // a longer line makes the buffer grow to hold it
            buffer_.reset(new char[bufferSize_]);
        }
        windowBegin_ = windowEnd_ = buffer_.get();
        windowOffset_ = 0;
        atEnd_ = false;
    } else {
        windowBegin_ = text_.data();
        windowEnd_ = text_.data() + text_.size();
        windowOffset_ = 0;
        atEnd_ = true;
    }
    line_ = std::string_view(windowBegin_, 0);
    events.beginOfFile();
    const char* p = windowBegin_;
    while (!stopped_) {
        if (p == windowEnd_ || !readLine(p)) {
            if (atEnd_) break;
            if (!refill(p)) return false;
            continue;
        }
        events.line();
        p = next_;
    }
    if (!stopped_) events.endOfFile();
    return true;
}

// Keeps the unread part of the window (a line cut by the end of a piece), moves it to the start of
// the buffer and reads on behind it.
bool LineScanner::refill(const char*& p) {
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
    p = buffer;
    return true;
}

// Reads the line at begin. False when the window ends before the line does and more text follows.
bool LineScanner::readLine(const char* begin) {
    const char* const end = windowEnd_;
    ++lineNumber_;
    cachedField_ = 0;
    const char* p = begin;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    while (end - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto ends = static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, lf), _mm_cmpeq_epi8(block, cr))));
        if (ends) {
            p += std::countr_zero(ends);
            break;
        }
        p += 16;
    }
#endif
    while (p < end && !isLineEnd(*p)) ++p;
    const char* const lineEnd = p;
    // Without its line end in the window, or with a CR whose LF may follow, the line is not complete.
    if (!atEnd_ && (lineEnd == end || (*lineEnd == '\r' && lineEnd + 1 == end))) {
        --lineNumber_;
        return false;
    }
    line_ = std::string_view(begin, static_cast<std::size_t>(lineEnd - begin));
    // A UTF-8 byte-order mark in front of the first line is not part of it.
    if (lineNumber_ == 1 && line_.starts_with(kByteOrderMark)) line_.remove_prefix(kByteOrderMark.size());
    const char* next = lineEnd;
    if (next < end) {
        if (*next == '\r' && next + 1 < end && next[1] == '\n') ++next;
        ++next;
    }
    next_ = next;
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
