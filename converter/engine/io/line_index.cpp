#include "engine/io/line_index.h"

#include <algorithm>
#include <cstring>

namespace pathshift {

void LineIndex::add(std::string_view text) {
    // The next LF and the next CR, each searched for again only once passed: a long text costs two
    // fast scans, not a test of every byte.
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const auto find = [end](const char* from, char c) {
        const void* at = from < end ? std::memchr(from, c, static_cast<std::size_t>(end - from)) : nullptr;
        return at ? static_cast<const char*>(at) : end;
    };
    const char* lf = find(begin, '\n');
    const char* cr = find(begin, '\r');
    while (lf != end || cr != end) {
        const char* at = std::min(lf, cr);
        const std::size_t offset = bytes_ + static_cast<std::size_t>(at - begin);
        if (at == lf) lf = find(at + 1, '\n');
        if (at == cr) cr = find(at + 1, '\r');
        if (*at == '\n' && afterCr_ && (at == begin || at[-1] == '\r')) {
            // The LF of a CR LF ends the line the CR ended: a mark just made starts after it.
            afterCr_ = false;
            if (marks_.back().offset == offset) ++marks_.back().offset;
            continue;
        }
        afterCr_ = *at == '\r';
        ++line_;
        const Mark& last = marks_.back();
        if (line_ - last.line >= kLinesPerMark || offset + 1 - last.offset >= kBytesPerMark)
            marks_.push_back({line_, offset + 1});
    }
    afterCr_ = !text.empty() && text.back() == '\r';
    bytes_ += text.size();
}

bool LineIndex::line(TextSource& text, std::size_t number, std::size_t maxBytes, std::string& into,
                     std::string& error) const {
    into.clear();
    if (number == 0 || number > line_) {
        error = "no such line";
        return false;
    }
    const auto next = std::upper_bound(marks_.begin(), marks_.end(), number,
                                       [](std::size_t n, const Mark& m) { return n < m.line; });
    const Mark& mark = *std::prev(next);
    // Usually one read: up to the next mark, and the line's shown part beyond it.
    const std::size_t span = (next == marks_.end() ? bytes_ : next->offset) - mark.offset + maxBytes + 2;
    std::string buffer(std::min<std::size_t>(span, 65536), '\0');
    std::size_t line = mark.line;
    std::size_t offset = mark.offset;
    bool afterCr = false;
    while (offset < bytes_) {
        const long got = text.readAt(offset, buffer.data(), std::min(buffer.size(), bytes_ - offset), error);
        if (got < 0) return false;
        if (got == 0) break;
        for (long i = 0; i < got; ++i) {
            const char c = buffer[static_cast<std::size_t>(i)];
            const bool crLf = afterCr && c == '\n';
            afterCr = c == '\r';
            if (crLf) continue;
            if (c == '\n' || c == '\r') {
                if (line == number) return true;
                ++line;
            } else if (line == number) {
                if (into.size() == maxBytes) return true;
                into += c;
            }
        }
        offset += static_cast<std::size_t>(got);
    }
    if (line == number) return true;
    error = "no such line";
    return false;
}

bool IndexedSource::rewind(std::string& error) {
    at_ = 0;
    return source_.rewind(error);
}

long IndexedSource::read(char* into, std::size_t size, std::string& error) {
    const long got = source_.read(into, size, error);
    if (got <= 0) return got;
    // Only bytes past what an earlier scan marked: every scan reads the same text.
    const std::size_t end = at_ + static_cast<std::size_t>(got);
    if (end > index_.bytes() && at_ <= index_.bytes())
        index_.add(std::string_view(into + (index_.bytes() - at_), end - index_.bytes()));
    at_ = end;
    return got;
}

}  // namespace pathshift
