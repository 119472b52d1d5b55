#pragma once
// An append-only table of 32-bit floats whose memory stays bounded however long it grows: the first
// values are held in memory, the rest go to a nameless temporary file in blocks and are read back
// through a window of one block, which suits a reader going forward.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace pathshift {

class ScratchFile;

class FloatTable {
public:
    // A megabyte of values in memory, and 64 KB written or read back at a time.
    static constexpr std::size_t kInMemory = std::size_t{1} << 18;
    static constexpr std::size_t kBlock = std::size_t{1} << 14;

    explicit FloatTable(std::size_t inMemory = kInMemory, std::size_t block = kBlock);
    ~FloatTable();
    FloatTable(const FloatTable&) = delete;
    FloatTable& operator=(const FloatTable&) = delete;

    void clear();
    void append(float value);
    std::size_t size() const { return size_; }
    // The k-th value appended (k < size()). One that could not be kept or read back is 0, and
    // error() says why.
    float at(std::size_t k) const { return k < held_.size() ? held_[k] : beyondMemory(k); }
    const std::string& error() const { return error_; }

private:
    void spill();
    float beyondMemory(std::size_t k) const;
    void load(std::size_t k) const;

    std::size_t inMemory_;
    std::size_t block_;
    std::size_t size_ = 0;
    std::vector<float> held_;              // values [0, held_.size())
    std::unique_ptr<ScratchFile> file_;    // values [inMemory_, inMemory_ + spilled_)
    std::size_t spilled_ = 0;
    std::vector<float> pending_;           // the values after those, not yet written
    mutable std::vector<float> window_;    // values [windowStart_, windowStart_ + window_.size())
    mutable std::size_t windowStart_ = 0;
    mutable std::string error_;
};

}  // namespace pathshift
