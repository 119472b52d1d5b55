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
    explicit OutputText(OutputSink* sink = nullptr, LineWatcher* watcher = nullptr)
        : sink_(sink), watcher_(watcher), flushAt_(sink ? kFlushSize : ~std::size_t{0}) {}

    void clear() { size_ = lineStart_ = 0; }
    void append(std::string_view text) {
        if (text.size() > capacity_ - size_) grow(text.size());
        // Words are a few bytes: a plain loop beats a call to memcpy.
        char* to = buffer_.get() + size_;
        if (text.size() <= kShortText) {
            for (char c : text) *to++ = c;
        } else {
            std::memcpy(to, text.data(), text.size());
        }
        size_ += text.size();
    }
    void append(char c) {
        if (size_ == capacity_) grow(1);
        buffer_[size_++] = c;
    }
    void endLine() { endLine(lineRoom(0)); }
    // Room for a line of up to `size` bytes, written in place from the returned position;
    // endLine(end) then ends the line where its text ends.
    char* lineRoom(std::size_t size) {
        if (size + kLineEnd.size() > capacity_ - size_) grow(size + kLineEnd.size());
        return buffer_.get() + size_;
    }
    // Text written in place that the line goes on after.
    void extendLine(char* end) { size_ = static_cast<std::size_t>(end - buffer_.get()); }
    void endLine(char* end) {
        if (watcher_)
            watcher_->textLine(std::string_view(buffer_.get() + lineStart_,
                                                static_cast<std::size_t>(end - buffer_.get()) - lineStart_));
        endLineUnwatched(end);
    }
    // The end of a line whose writer tells the watcher of it in its own way.
    void endLineUnwatched(char* end) {
        std::memcpy(end, kLineEnd.data(), kLineEnd.size());
        size_ = static_cast<std::size_t>(end - buffer_.get()) + kLineEnd.size();
        lineStart_ = size_;
        if (size_ >= flushAt_) flush();
    }
    void AppendLine(std::string_view line) {
        append(line);
        endLine();
    }

    // Hands the buffered text to the sink; false when the sink refused it (then it stays refused).
    bool flush();
    // The text not yet handed to a sink (without a sink: the whole text).
    std::string_view text() const { return std::string_view(buffer_.get(), size_); }

private:
    // Pieces of about a megabyte keep writes large and memory small.
    static constexpr std::size_t kFlushSize = std::size_t{1} << 20;
    static constexpr std::size_t kShortText = 16;
    static constexpr std::string_view kLineEnd{"\r\n", 2};

    void grow(std::size_t needed);

    std::unique_ptr<char[]> buffer_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::size_t lineStart_ = 0;
    OutputSink* sink_;
    LineWatcher* watcher_;
    std::size_t flushAt_;  // kFlushSize with a sink; without one the text is never handed on
    bool failed_ = false;
};

}  // namespace pathshift
