#pragma once
// Lines read one at a time on the caller's demand, from a text in memory or from a source read in
// pieces. The scanner drives its reader with events; a reader that is asked for each line lets two
// programs be read side by side. Line ends as the scanner's: LF, CR LF or a lone CR.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "engine/io/text_source.h"

namespace pathshift {

class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}
    explicit LineReader(TextSource& source, std::size_t pieceSize = std::size_t{1} << 20)
        : source_(&source), pieceSize_(pieceSize < 1 ? 1 : pieceSize) {}

    // Goes back to the start; false with error() set when the source cannot be rewound.
    bool rewind();
    // The next line without its line end; false at the end of the text or when the source could
    // not be read (error() then says why). The view lives until the next call.
    bool next(std::string_view& line);
    std::size_t lineNumber() const { return lineNumber_; }  // of the last line returned, from 1
    const std::string& error() const { return error_; }

private:
    bool refill();

    std::string_view text_;
    TextSource* source_ = nullptr;
    std::size_t pieceSize_ = 0;
    std::unique_ptr<char[]> buffer_;
    std::size_t bufferSize_ = 0;
    const char* begin_ = nullptr;  // the unread part of the text at hand
    const char* end_ = nullptr;
    bool atEnd_ = false;    // nothing more to read behind end_
    bool started_ = false;  // rewound at least once
    std::size_t lineNumber_ = 0;
    std::string error_;
};

}  // namespace pathshift
