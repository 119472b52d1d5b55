#pragma once
// Plain decimal arithmetic on the digits glibc prints (glibc formats exactly, ties to even): the
// reference the word texts are checked against.

#include <cstdio>
#include <cstdlib>
#include <string>

namespace pathshift::testing {

// The value with `precision` significant digits, as %e prints it.
inline std::string scientific(double value, int precision) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*e", precision - 1, value);
    return text;
}

// The number those digits name, read back by the C library.
inline double readBack(double value, int precision) { return std::strtod(scientific(value, precision).c_str(), nullptr); }

// The four-decimal text of the value's `precision` significant digits: rounded half away from zero
// at the fifth decimal, no trailing zeros, no point without decimals, never "-0".
inline std::string referenceFourDecimals(double value, int precision) {
    const std::string text = scientific(value, precision);
    const char* p = text.c_str();
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    std::string digits;
    for (; *p && *p != 'e'; ++p)
        if (*p != '.') digits += *p;
    const int before = std::atoi(p + 1) + 1;  // digits before the point
    std::string integer, fraction;
    if (before <= 0) {
        integer = "0";
        fraction = std::string(static_cast<std::size_t>(-before), '0') + digits;
    } else if (static_cast<std::size_t>(before) >= digits.size()) {
        integer = digits + std::string(static_cast<std::size_t>(before) - digits.size(), '0');
    } else {
        integer = digits.substr(0, static_cast<std::size_t>(before));
        fraction = digits.substr(static_cast<std::size_t>(before));
    }
    const bool up = fraction.size() > 4 && fraction[4] >= '5';
    if (fraction.size() > 4) fraction.resize(4);
    std::string number = integer + fraction;
    if (up) {
        std::size_t i = number.size();
        while (i > 0 && number[i - 1] == '9') number[--i] = '0';
        if (i == 0)
            number.insert(number.begin(), '1');
        else
            ++number[i - 1];
    }
    integer = number.substr(0, number.size() - fraction.size());
    fraction = number.substr(number.size() - fraction.size());
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    const std::size_t firstNonZero = integer.find_first_not_of('0');
    integer = firstNonZero == std::string::npos ? "0" : integer.substr(firstNonZero);
    const bool zero = integer == "0" && fraction.empty();
    return (negative && !zero ? "-" : "") + integer + (fraction.empty() ? "" : "." + fraction);
}

}  // namespace pathshift::testing
