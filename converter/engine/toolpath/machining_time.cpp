#include "engine/toolpath/machining_time.h"

#include <cmath>
#include <cstdio>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/reading/number_text.h"
#include "engine/toolpath/arc_angles.h"

namespace pathshift {
namespace {

constexpr double kMillimetresPerInch = 25.4;

// A clock shows at most a million hours. Longer times, infinities and NaN (a program whose Z words
// come near the range of a 64-bit float) are said to be over it, not shown as garbage.
constexpr long long kLongestClock = 1'000'000LL * 3600;

long long wholeSeconds(double seconds) {
    return seconds < static_cast<double>(kLongestClock) ? std::llround(seconds) : kLongestClock;
}

std::string clockOf(long long seconds) {
    if (seconds >= kLongestClock) return "over 1000000:00:00";
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

// The square root of a sum of squares, never below zero: no call that would set errno is needed.
double rootOfSquares(double sum) {
#if defined(__SSE2__) && defined(__GNUC__)
    // The instruction alone: the intrinsics would first clear the register's upper half.
    double root;
    asm("sqrtsd %1, %0" : "=x"(root) : "x"(sum));
    return root;
#elif defined(__SSE2__)
    return _mm_cvtsd_f64(_mm_sqrt_sd(_mm_setzero_pd(), _mm_set_sd(sum)));
#else
    return std::sqrt(sum);
#endif
}

// std::hypot(x, y, z) as the C++ library works it out: the largest part scaled out, the scaled
// squares added in this order. A level move leaves out its Z term, which would add an exact +0 to a
// sum that is at least +0 (or NaN, and then stays so).
double straightLength(double x, double y, double z) {
    x = std::abs(x);
    y = std::abs(y);
    if (z == 0) {
        const double a = x < y ? y : x;
        if (a == 0) return 0;
        return a * rootOfSquares((x / a) * (x / a) + (y / a) * (y / a));
    }
    z = std::abs(z);
    const double a = x < y ? (y < z ? z : y) : (x < z ? z : x);
    if (a == 0) return 0;
    return a * rootOfSquares((x / a) * (x / a) + (y / a) * (y / a) + (z / a) * (z / a));
}

}  // namespace

MachiningRates withFeedsOf(MachiningRates rates, const ConversionOptions& options) {
    rates.feedsPerSecond = options.ipsFeed;
    return rates;
}

std::optional<double> rapidRateValue(std::string_view text) {
    const std::optional<double> value = readStrictNumber(text);
    if (!value || !std::isfinite(*value) || *value <= 0) return std::nullopt;
    return value;
}

std::optional<double> toolChangeTimeValue(std::string_view text) {
    const std::optional<double> value = readStrictNumber(text);
    if (!value || !std::isfinite(*value) || *value < 0) return std::nullopt;
    return value;
}

MachiningTime& MachiningTime::operator+=(const MachiningTime& other) {
    cutting += other.cutting;
    rapid += other.rapid;
    toolChanges += other.toolChanges;
    toolCalls += other.toolCalls;
    cutsWithoutFeed += other.cutsWithoutFeed;
    return *this;
}

double pathLength(const Move& move) {
    if (!move.arc())
        return straightLength(move.end.x - move.start.x, move.end.y - move.start.y, move.end.z - move.start.z);
    const ArcAngles a = arcAngles(move);
    const double around = a.radius * std::abs(a.sweep);
    const double dz = move.end.z - move.start.z;
    // hypot(v, ±0) is |v| (the C library's annex F), which is v here; most arcs stay level.
    return dz == 0 ? around : std::hypot(around, dz);
}

void MachiningTimeSink::begin(const ToolpathInfo& info) {
    const bool inch = info.units == Units::Inch;
    rapidPerSecond_ = rates_.rapidRate / 60 / (inch ? kMillimetresPerInch : 1);
    feedSeconds_ = inch && rates_.feedsPerSecond ? 1 : 60;
}

bool MachiningTimeSink::move(const Move& move) {
    // Arcs in a call of their own, so that a straight move needs fewer registers.
    if (move.arc()) [[unlikely]]
        return arcMove(move);
    return take(move, pathLength(move));
}

[[gnu::noinline]] bool MachiningTimeSink::arcMove(const Move& move) { return take(move, pathLength(move)); }

inline bool MachiningTimeSink::take(const Move& move, double length) {
    if (!move.cutting()) {
        time_.rapid += length / rapidPerSecond_;
    } else if (move.feed > 0) {
        time_.cutting += length / move.feed * feedSeconds_;
    } else {
        ++time_.cutsWithoutFeed;
    }
    return true;
}

void MachiningTimeSink::toolCall(std::int16_t) {
    ++time_.toolCalls;
    time_.toolChanges += rates_.toolChangeTime;
}

std::string clockText(double seconds) { return clockOf(wholeSeconds(seconds)); }

std::string machiningTimeText(const MachiningTime& time) {
    const long long cutting = wholeSeconds(time.cutting), rapid = wholeSeconds(time.rapid),
                    tools = wholeSeconds(time.toolChanges);
    std::string text = "estimated machining time " + clockOf(cutting + rapid + tools) + " (cutting " +
                       clockOf(cutting) + ", rapid " + clockOf(rapid) + ", tool changes " + clockOf(tools);
    if (time.cutsWithoutFeed > 0)
        text += "; " + std::to_string(time.cutsWithoutFeed) +
                (time.cutsWithoutFeed == 1 ? " cut without a feed not timed" : " cuts without a feed not timed");
    return text + ")";
}

}  // namespace pathshift
