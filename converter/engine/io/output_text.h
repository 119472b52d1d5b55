#pragma once
// The target program being built: lines are appended with AppendLine; a sink, when given, takes the
// text in large pieces so that a long program never needs to be held whole, and a watcher, when
// given, is shown every line as it ends.

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace pathshift {

class OutputSink {
public:
    // Returns false when the text could not be taken; the conversion then fails.
    virtual bool write(std::string_view text) = 0;

protected:
    ~OutputSink() = default;
};

class LineWatcher {
public:
    // One line without its line end.
    virtual void textLine(std::string_view line) = 0;

protected:
    ~LineWatcher() = default;
};

class OutputText {
public:
    explicit OutputText(OutputSink* sink = nullptr, LineWatcher* watcher = nullptr) : sink_(sink), watcher_(watcher) {}

    void clear() { end_ = lineStart_ = buffer_.get(); }
    void append(std::string_view text) {
        if (text.size() > room()) grow(text.size());
        // Words are a few bytes: a plain loop beats a call to memcpy.
        if (text.size() <= kShortText) {
            for (char c : text) *end_++ = c;
        } else {
            std::memcpy(end_, text.data(), text.size());
            end_ += text.size();
        }
    }
    void append(char c) {
        if (room() == 0) grow(1);
        *end_++ = c;
    }
    void endLine() { endLine(lineRoom(0)); }
    // Room for a line of up to `size` bytes, written in place from the returned position;
    // endLine(end) then ends the line where its text ends.
    char* lineRoom(std::size_t size) {
        if (size + kLineEnd.size() > room()) grow(size + kLineEnd.size());
        return end_;
    }
    // Text written in place that the line goes on after.
    void extendLine(char* end) { end_ = end; }
    void endLine(char* end) {
        if (watcher_) watcher_->textLine(std::string_view(lineStart_, static_cast<std::size_t>(end - lineStart_)));
        endLineUnwatched(end);
    }
    // The end of a line whose writer tells the watcher of it in its own way.
    void endLineUnwatched(char* end) {
        std::memcpy(end, kLineEnd.data(), kLineEnd.size());
        end_ = lineStart_ = end + kLineEnd.size();
        if (end_ > flushLast_) flush();
    }
    void AppendLine(std::string_view line) {
        append(line);
        endLine();
    }

    // Hands the buffered text to the sink; false when the sink refused it (then it stays refused).
    bool flush();
    // The text not yet handed to a sink (without a sink: the whole text).
    std::string_view text() const { return std::string_view(buffer_.get(), size()); }

private:
    // Pieces of about a megabyte keep writes large and memory small.
    static constexpr std::size_t kFlushSize = std::size_t{1} << 20;
    static constexpr std::size_t kShortText = 16;
    static constexpr std::string_view kLineEnd{"\r\n", 2};

    std::size_t size() const { return static_cast<std::size_t>(end_ - buffer_.get()); }
    std::size_t room() const { return static_cast<std::size_t>(limit_ - end_); }
    void grow(std::size_t needed);

    // The text is [buffer_, end_), its last line begun at lineStart_, the buffer's end at limit_:
    // pointers, so that a line is begun and ended without adding its offset.
    std::unique_ptr<char[]> buffer_;
    char* end_ = nullptr;
    char* limit_ = nullptr;
    char* lineStart_ = nullptr;
    // The last byte a text may end at before it is handed to the sink (kFlushSize - 1); without a
    // sink the buffer's end, which no text passes, so the text is never handed on.
    char* flushLast_ = nullptr;
    OutputSink* sink_;
    LineWatcher* watcher_;
    bool failed_ = false;
};

}  // namespace pathshift
