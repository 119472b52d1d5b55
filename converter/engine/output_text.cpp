#include "engine/output_text.h"

namespace pathshift {

bool OutputText::flush() {
    if (!sink_ || text_.empty()) return !failed_;
    if (!failed_ && !sink_->write(text_)) failed_ = true;
    text_.clear();
    return !failed_;
}

}  // namespace pathshift
