#pragma once
// Writing a file so that readers see either the old file or the whole new one: the text goes into
// a temporary file beside the target, which is flushed to disk and then renamed over it.

#include <filesystem>
#include <string>
#include <string_view>

#include "engine/output_text.h"

namespace pathshift {

class AtomicFile final : public OutputSink {
public:
    explicit AtomicFile(std::filesystem::path target);
    ~AtomicFile();  // discards the temporary file unless commit() succeeded
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; false with error() set when the folder does not take it.
    bool open();
    bool write(std::string_view text) override;
    // Flushes, closes and renames the temporary file over the target.
    bool commit();
    void discard();
    const std::string& error() const { return error_; }

private:
    bool failWith(const char* what);

    std::filesystem::path target_;
    std::string temporary_;
    int fd_ = -1;
    std::string error_;
};

}  // namespace pathshift
