#pragma once
// Where the lines of a long text start, marked sparsely (every few lines, and often enough that no
// stretch between two marks is long), so that any line can be read back later with one short read
// instead of holding the text. Line ends are read as the engine reads them: LF, CR LF or a lone CR.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/io/output_text.h"
#include "engine/io/text_source.h"

namespace pathshift {

class LineIndex {
public:
    // The text's bytes, in order from its start.
    void add(std::string_view bytes);
    std::size_t bytes() const { return bytes_; }
    // At most `maxBytes` of line `number` (from 1), without its line end, read from `text` (the text
    // added). False with `error` set when the text has no such line or can no longer be read.
    bool line(TextSource& text, std::size_t number, std::size_t maxBytes, std::string& into,
              std::string& error) const;

private:
    struct Mark {
        std::size_t line;
        std::size_t offset;
    };
    static constexpr std::size_t kLinesPerMark = 16;
    static constexpr std::size_t kBytesPerMark = 16384;

    std::vector<Mark> marks_{{1, 0}};
    std::size_t bytes_ = 0;
    std::size_t line_ = 1;  // the line the next byte belongs to
    bool afterCr_ = false;  // the last byte was a CR, whose LF may follow
};

// A source that marks its lines as it is scanned, for lines looked up after the scans.
class IndexedSource final : public TextSource {
public:
    explicit IndexedSource(TextSource& source) : source_(source) {}
    const LineIndex& index() const { return index_; }

    bool rewind(std::string& error) override;
    long read(char* into, std::size_t size, std::string& error) override;
    std::size_t size() const override { return source_.size(); }
    bool sameAsLastScan(std::string& error) override { return source_.sameAsLastScan(error); }
    long readAt(std::size_t offset, char* into, std::size_t size, std::string& error) override {
        return source_.readAt(offset, into, size, error);
    }

private:
    TextSource& source_;
    LineIndex index_;
    std::size_t at_ = 0;  // bytes read in this scan
};

// An output that marks the lines written through it.
class IndexedOutput final : public OutputSink {
public:
    IndexedOutput(OutputSink& out, LineIndex& index) : out_(out), index_(index) {}
    bool write(std::string_view text) override {
        index_.add(text);
        return out_.write(text);
    }

private:
    OutputSink& out_;
    LineIndex& index_;
};

}  // namespace pathshift
