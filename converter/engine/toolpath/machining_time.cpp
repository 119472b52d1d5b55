#include "engine/toolpath/machining_time.h"

#include <cmath>
#include <cstdio>

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
    if (!move.arc()) return detail::straightLength(move);
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

bool MachiningTimeSink::arcMove(const Move& move) { return take(move, pathLength(move)); }

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
