#include "engine/io/output_text.h"

#include <algorithm>

namespace pathshift {

void OutputText::grow(std::size_t needed) {
    constexpr std::size_t kFirstCapacity = std::size_t{1} << 14;  // most programs are small
    // Text for a sink is handed on at kFlushSize: room for that and a long line more at once, so
    // that the buffer is not copied into one twice that size (pages not written take no memory).
    const std::size_t first = sink_ ? kFlushSize + (kFlushSize >> 4) : kFirstCapacity;
    const std::size_t capacity = std::max({capacity_ * 2, size_ + needed, first});
    std::unique_ptr<char[]> buffer(new char[capacity]);
    if (size_ > 0) std::memcpy(buffer.get(), buffer_.get(), size_);
    buffer_ = std::move(buffer);
    capacity_ = capacity;
}

bool OutputText::flush() {
    if (!sink_ || size_ == 0) return !failed_;
    if (!failed_ && !sink_->write(text())) failed_ = true;
    size_ = lineStart_ = 0;
    return !failed_;
}

}  // namespace pathshift
