#include "engine/translation/conversion_report.h"

namespace pathshift {

void ConversionReport::warn(std::size_t line, WarningKind kind, std::string text) {
    ++perKind[static_cast<int>(kind)];
    if (perKind[static_cast<int>(kind)] > kListedPerKind) {
        ++unlistedWarnings;
        return;
    }
    warnings.push_back({line, kind, std::move(text)});
}

}  // namespace pathshift
