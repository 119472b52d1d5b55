#pragma once
// A G word read for what it does, with the code of one or two plain digits taken without the
// general number reading: the measuring pass meets one in most lines.

#include <array>
#include <string_view>

#include "engine/reading/number_text.h"
#include "engine/reading/tarvo_rules.h"

namespace pathshift {

struct GWord {
    GEffect effect = GEffect::None;
    bool overflow = false;  // the number lies beyond a 64-bit float: a fault
};

namespace detail {

// The bytes a number's text may go on with after its first digits: more digits, or what goes on
// after all of them.
inline constexpr std::array<bool, 256> kGoesOnAfterDigits = [] {
    std::array<bool, 256> goesOn = kNumberGoesOn;
    for (char c = '0'; c <= '9'; ++c) goesOn[static_cast<unsigned char>(c)] = true;
    return goesOn;
}();

inline constexpr std::array<GEffect, 100> kCodeEffects = [] {
    std::array<GEffect, 100> effects{};
    for (int code = 0; code < 100; ++code) effects[static_cast<std::size_t>(code)] = gEffect(code);
    return effects;
}();

}  // namespace detail

// The G word whose number starts at `p`; `end` as for readWordValue(). One or two digits followed
// by a byte that cannot go on with a number are the integer they spell, which is what
// readLeadingNumber() reads for that text; every other text is read by it.
inline GWord readGWord(const char* p, const char* end) {
    if (end - p >= 3) {
        const unsigned first = static_cast<unsigned char>(p[0]) - unsigned{'0'};
        if (first < 10) {
            const auto second = static_cast<unsigned char>(p[1]);
            if (!detail::kGoesOnAfterDigits[second]) return {detail::kCodeEffects[first], false};
            const unsigned digit = second - unsigned{'0'};
            if (digit < 10 && !detail::kGoesOnAfterDigits[static_cast<unsigned char>(p[2])])
                return {detail::kCodeEffects[first * 10 + digit], false};
        }
    }
    const NumberRead read = readLeadingNumber(std::string_view(p, static_cast<std::size_t>(end - p)));
    return {read.overflow ? GEffect::None : gEffect(read.value), read.overflow};
}

}  // namespace pathshift
