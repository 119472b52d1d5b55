#pragma once
// A nameless temporary file: written once as a sink, then read back as often as wanted. It is
// created without a name (or its name is removed at once where the filesystem cannot), so nothing
// is left behind whatever happens to the process.

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/io/output_text.h"
#include "engine/io/text_source.h"

namespace pathshift {

class ScratchFile final : public OutputSink, public TextSource {
public:
    ScratchFile() = default;
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Creates the file in the system's temporary folder; false with error() set when it cannot.
    bool open();
    bool write(std::string_view text) override;
    bool rewind(std::string& error) override;
    long read(char* into, std::size_t size, std::string& error) override;
    long readAt(std::size_t offset, char* into, std::size_t size, std::string& error) override;
    std::size_t size() const override { return size_; }
    // The whole text copied to the file descriptor `out` by the system, without passing through
    // this process. Unsupported, with nothing sent, where `out` does not take a copy that way.
    enum class CopyOut { Sent, Unsupported, Failed };
    CopyOut copyTo(int out, std::string& error);
    const std::string& error() const { return error_; }

private:
    int fd_ = -1;
    std::size_t size_ = 0;
    std::string error_;
};

}  // namespace pathshift
