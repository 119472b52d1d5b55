#pragma once
// A program held in memory but handed out like a file, in short reads, failing on demand.

#include <algorithm>
#include <optional>
#include <string>

#include "engine/io/text_source.h"

namespace pathshift::testing {

// A text handed out in reads of at most `chunk` bytes; it can fail a read or a rewind on demand, or
// hand out another text from its second scan on, as a file changed unnoticed between scans would.
class PieceSource final : public TextSource {
public:
    PieceSource(std::string text, std::size_t chunk) : text_(std::move(text)), chunk_(chunk) {}

    bool rewind(std::string& error) override {
        ++rewinds;
        if (failRewind) {
            error = "rewind refused";
            return false;
        }
        if (rewinds == 2 && laterText) text_ = *laterText;
        at_ = 0;
        return true;
    }
    long read(char* into, std::size_t size, std::string& error) override {
        if (failAfterReads >= 0 && reads_++ >= failAfterReads) {
            error = "read failed";
            return -1;
        }
        const std::size_t n = std::min({size, chunk_, text_.size() - at_});
        std::copy_n(text_.data() + at_, n, into);
        at_ += n;
        return static_cast<long>(n);
    }
    std::size_t size() const override { return text_.size(); }
    long readAt(std::size_t offset, char* into, std::size_t size, std::string&) override {
        const std::size_t n = offset < text_.size() ? std::min({size, chunk_, text_.size() - offset}) : 0;
        std::copy_n(text_.data() + offset, n, into);
        return static_cast<long>(n);
    }

    std::optional<std::string> laterText;
    int failAfterReads = -1;
    bool failRewind = false;
    int rewinds = 0;

private:
    std::string text_;
    std::size_t chunk_;
    std::size_t at_ = 0;
    int reads_ = 0;
};

}  // namespace pathshift::testing
