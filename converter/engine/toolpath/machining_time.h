#pragma once
// How long a converted program runs on the Selvix machine, from its moves as the machine reads
// them: cuts along their path (arcs by their length, Z included) at the feed in effect, rapids
// along the straight line at the machine's rapid rate, and a fixed time for every tool call (each
// one also stops and restarts the spindle, so a call of the tool in hand costs its time too).
//
// Feeds are per minute in the program's units. An inch program converted with the IPS feed option
// holds its feeds per second: the option exists for a machine that reads inch feeds that way, so
// the estimate reads them so too. The rapid rate is one speed of the machine whatever a program's
// units, so it is given in millimetres per minute and an inch program's rapids are timed at
// the same speed in inches; a program that names no units is taken as millimetres.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/toolpath/toolpath.h"
#if defined(__SSE2__) && !defined(__GNUC__)
#include <emmintrin.h>
#endif

namespace pathshift {

struct MachiningRates {
    static constexpr double kDefaultRapidRate = 25000;     // mm per minute
    static constexpr double kDefaultToolChangeTime = 10;  // seconds

    double rapidRate = kDefaultRapidRate;
    double toolChangeTime = kDefaultToolChangeTime;
    bool feedsPerSecond = false;  // the program was converted with the IPS feed option
};

// The rates with feeds read as the options convert them.
MachiningRates withFeedsOf(MachiningRates rates, const ConversionOptions& options);

// A rapid rate or tool-change time as typed: a finite number, the rate above 0, the time 0 or more.
std::optional<double> rapidRateValue(std::string_view text);
std::optional<double> toolChangeTimeValue(std::string_view text);

struct MachiningTime {
    double cutting = 0;  // seconds
    double rapid = 0;
    double toolChanges = 0;
    std::size_t toolCalls = 0;
    std::size_t cutsWithoutFeed = 0;  // cuts before the first F word (or at F0): not timed

    MachiningTime& operator+=(const MachiningTime& other);
};

// The length of a move's path in the program's units: an arc along its turn (a full circle when it
// ends where it starts), rising or falling evenly in Z; a rapid or a line along the straight line.
double pathLength(const Move& move);

namespace detail {

// The square root of a sum of squares, never below zero: no call that would set errno is needed.
inline double rootOfSquares(double sum) {
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
inline double straightLength(double x, double y, double z) {
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

// A straight move's length: pathLength's own for moves that are no arcs.
inline double straightLength(const Move& move) {
    return straightLength(move.end.x - move.start.x, move.end.y - move.start.y, move.end.z - move.start.z);
}

}  // namespace detail

class MachiningTimeSink final : public MoveSink {
public:
    explicit MachiningTimeSink(const MachiningRates& rates = {}) : rates_(rates) {}
    void begin(const ToolpathInfo& info) override;
    // Inline: a replay that knows its sink is this one calls it directly.
    bool move(const Move& move) override {
        if (move.arc()) [[unlikely]]
            return arcMove(move);
        return take(move, detail::straightLength(move));
    }
    void toolCall(std::int16_t tool) override;

    const MachiningTime& time() const { return time_; }
    const MachiningRates& rates() const { return rates_; }

private:
    // Arcs in a call of their own, so that a straight move needs fewer registers.
    [[gnu::noinline]] bool arcMove(const Move& move);
    bool take(const Move& move, double length) {
        if (!move.cutting()) {
            time_.rapid += length / rapidPerSecond_;
        } else if (move.feed > 0) {
            time_.cutting += length / move.feed * feedSeconds_;
        } else {
            ++time_.cutsWithoutFeed;
        }
        return true;
    }

    MachiningRates rates_;
    MachiningTime time_;
    double rapidPerSecond_ = 0;  // program units
    double feedSeconds_ = 60;    // seconds per unit of a feed word's time base
};

// "estimated machining time 1:02:03 (cutting 0:50:00, rapid 0:10:03, tool changes 0:02:00)", each
// part rounded to the second and the total their sum; cuts without a feed are named after them.
std::string machiningTimeText(const MachiningTime& time);
// "1:02:03"
std::string clockText(double seconds);

}  // namespace pathshift
