#include "engine/translation/conversion_report.h"

namespace pathshift {

void ConversionReport::warn(std::size_t line, WarningKind kind, std::string text) {
    if (!lists(kind)) return countUnlisted(kind);
    ++perKind[static_cast<int>(kind)];
    warnings.push_back({line, kind, std::move(text)});
}

}  // namespace pathshift
