#pragma once
// The target program being built: lines are appended with AppendLine; a sink, when given, takes the
// text in large pieces so that a long program never needs to be held whole.

#include <cstddef>
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

class OutputText {
public:
    explicit OutputText(OutputSink* sink = nullptr) : sink_(sink) {}

    void clear() { text_.clear(); }
    void append(std::string_view text) { text_.append(text); }
    void append(char c) { text_.push_back(c); }
    void endLine() {
        text_.append("\r\n", 2);
        if (sink_ && text_.size() >= kFlushSize) flush();
    }
    void AppendLine(std::string_view line) {
        append(line);
        endLine();
    }

    // Hands the buffered text to the sink; false when the sink refused it (then it stays refused).
    bool flush();
    bool failed() const { return failed_; }
    // Without a sink: the whole text.
    std::string& text() { return text_; }

private:
    // Pieces of about a megabyte keep writes large and memory small.
    static constexpr std::size_t kFlushSize = std::size_t{1} << 20;

    std::string text_;
    OutputSink* sink_;
    bool failed_ = false;
};

}  // namespace pathshift
