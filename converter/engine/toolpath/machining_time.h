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

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/toolpath/toolpath.h"

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

class MachiningTimeSink final : public MoveSink {
public:
    explicit MachiningTimeSink(const MachiningRates& rates = {}) : rates_(rates) {}
    void begin(const ToolpathInfo& info) override;
    bool move(const Move& move) override;
    void toolCall(std::int16_t tool) override;

    const MachiningTime& time() const { return time_; }
    const MachiningRates& rates() const { return rates_; }

private:
    bool arcMove(const Move& move);
    bool take(const Move& move, double length);

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
