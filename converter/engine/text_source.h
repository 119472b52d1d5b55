#pragma once
// Where the line scanner reads a program from when it is not held in memory: a file read in pieces
// from its start at every scan, so that a program of any size needs only a small buffer.

#include <cstddef>
#include <filesystem>
#include <string>

namespace pathshift {

class TextSource {
public:
    // Goes back to the start; false with error set when that fails.
    virtual bool rewind(std::string& error) = 0;
    // Reads up to size bytes; 0 at the end, negative with error set on failure.
    virtual long read(char* into, std::size_t size, std::string& error) = 0;
    // The size expected, for progress.
    virtual std::size_t size() const = 0;

protected:
    ~TextSource() = default;
};

// Reads a whole file; false with `error` set (the system's reason) when it cannot be read.
bool readWholeFile(const std::filesystem::path& path, std::string& text, std::string& error);

class SourceFile final : public TextSource {
public:
    SourceFile() = default;
    ~SourceFile();
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    // Opens a regular file; false with error set otherwise.
    bool open(const std::filesystem::path& path, std::string& error);
    // Every scan must see the same file: one that changed since it was opened is refused.
    bool rewind(std::string& error) override;
    long read(char* into, std::size_t size, std::string& error) override;
    std::size_t size() const override { return size_; }

private:
    int fd_ = -1;
    std::size_t size_ = 0;
    long long modified_ = 0;  // nanoseconds
};

}  // namespace pathshift
