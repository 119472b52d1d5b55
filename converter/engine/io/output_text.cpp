#include "engine/io/output_text.h"

#include <algorithm>

namespace pathshift {

void OutputText::grow(std::size_t needed) {
    constexpr std::size_t kFirstCapacity = std::size_t{1} << 14;  // most programs are small
    const std::size_t capacity = std::max({capacity_ * 2, size_ + needed, kFirstCapacity});
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
