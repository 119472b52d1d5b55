#pragma once
// An AWK-like line scanner over a text held in memory: it raises begin-of-file, one line event per
// line and end-of-file, and while a line is current splits it into fields on a separator that may
// change at any moment. Lines end in LF, CR LF or a lone CR; a last line without a line end counts.
// Bytes are single-byte characters; separator matching is case-sensitive; fields are not trimmed.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/io/text_source.h"

namespace pathshift {

class LineScanner {
public:
    class Events {
    public:
        virtual void beginOfFile() = 0;
        virtual void line() = 0;
        virtual void endOfFile() = 0;

    protected:
        ~Events() = default;
    };

    // A text held whole in memory.
    explicit LineScanner(std::string_view text) : text_(text) {}
    // A text read in pieces from its source, from the start at every scan.
    static constexpr std::size_t kPieceSize = std::size_t{1} << 20;
    explicit LineScanner(TextSource& source, std::size_t pieceSize = kPieceSize)
        : source_(&source), pieceSize_(pieceSize < 1 ? 1 : pieceSize) {}

    // Runs the whole scan inside the call: begin-of-file, the line events in file order,
    // end-of-file. A scan ended by stop() raises no end-of-file. False when the source could not
    // be read (error() says why; no end-of-file either).
    bool start(Events& events);
    // Ends the scan after the current line event.
    void stop() { stopped_ = true; }

    // The text without events, in runs of whole lines: rewind() goes back to the start (false
    // when the source cannot be rewound), then each nextLines() gives the next run, up to about a
    // piece long, ending just after a line end or at the end of the text; a run holds at least one
    // line (empty only for a text of nothing but a byte-order mark). False at the end or when
    // the source could not be read (error() then says why). A run lives until the next call.
    bool rewind();
    bool nextLines(std::string_view& lines);
    // Where a byte of the current run lies in the whole text.
    std::size_t offsetOf(const char* at) const {
        return windowOffset_ + static_cast<std::size_t>(at - windowBegin_);
    }

    // The current line without its line end, its number (from 1) and its byte offset.
    std::string_view currentLine() const { return line_; }
    std::size_t lineNumber() const { return lineNumber_; }
    std::size_t lineOffset() const { return offsetOf(line_.data()); }
    const std::string& error() const { return error_; }
    // Whether the current line holds a NUL byte, which no text program does.
    bool holdsNul() const { return line_.find('\0') != std::string_view::npos; }

    void setSeparator(char separator) {
        separator_ = separator;
        cachedField_ = 0;
    }
    // Occurrences of the separator in the current line plus one.
    int fieldCount() const { return countOccurrences() + 1; }
    // Field 1 is the text before the first separator; field n the text after the (n-1)-th
    // occurrence up to the n-th one or the line end. Empty beyond the last field.
    std::string_view field(int n) const { return anyField(n); }

private:
    int countOccurrences() const;
    std::string_view anyField(int n) const;
    const char* endOfWholeLines(const char* p) const;
    bool refill();
    const char* occurrence(int k) const;  // k-th occurrence from 1, or nullptr

    std::string_view text_;
    TextSource* source_ = nullptr;
    // The text at hand: all of it in memory, or the part of the source in the buffer.
    const char* windowBegin_ = nullptr;
    const char* windowEnd_ = nullptr;
    std::size_t windowOffset_ = 0;  // where the window starts in the whole text
    bool atEnd_ = true;             // the window reaches the end of the text
    std::size_t pieceSize_ = kPieceSize;
    std::unique_ptr<char[]> buffer_;
    std::size_t bufferSize_ = 0;
    std::string error_;

    std::string_view line_;
    const char* next_ = nullptr;  // where the unread text starts
    std::size_t lineNumber_ = 0;
    bool stopped_ = false;
    char separator_ = ' ';

    // field(n) called for n = 2, 3, ... continues from the previous occurrence.
    mutable int cachedField_ = 0;
    mutable const char* cachedAt_ = nullptr;
};

}  // namespace pathshift
