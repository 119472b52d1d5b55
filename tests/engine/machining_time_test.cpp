// The machining-time estimate against programs timed by hand: mm programs at a rapid rate of
// 6000 mm/min (100 mm/s), feeds 600 mm/min (10 mm/s) unless named otherwise, tool calls 10 s.

#include <gtest/gtest.h>

#include <numbers>
#include <string>

#include "engine/io/output_text.h"
#include "engine/toolpath/machining_time.h"
#include "engine/toolpath/replaying_output.h"

namespace pathshift {
namespace {

constexpr double kPi = std::numbers::pi;

struct TimedProgram {
    const char* name;
    const char* units;  // the header's units line
    const char* body;   // lines joined by '|'
    bool feedsPerSecond;
    double cutting, rapid, toolChanges;
    std::size_t cutsWithoutFeed;
};

const TimedProgram kPrograms[] = {
    {"straight cuts, one feed", "G71", "G1X30Y40F600|G1X30Y0", false, 5 + 4, 0, 0, 0},
    {"a feed change", "G71", "G1X100F1200|G1X0F600", false, 5 + 10, 0, 0, 0},
    {"a counter-clockwise quarter", "G71", "G0X10|G3X0Y10I0J0F600", false, 0.5 * kPi, 0.1, 0, 0},
    {"a clockwise three quarters", "G71", "G0X10|G2X0Y10I0J0F600", false, 1.5 * kPi, 0.1, 0, 0},
    {"a full circle", "G71", "G0X10|G2X10Y0I0J0F600", false, 2 * kPi, 0.1, 0, 0},
    {"a rapid and a plunge", "G71", "G0X30Y40|G1Z-5F600", false, 0.5, 0.5, 0, 0},
    {"inch feeds per minute", "G70", "G0X10|G1X10Y10F60", false, 10, 2.54, 0, 0},
    {"inch feeds per second", "G70", "G1X10Y10F1", true, 10 * std::numbers::sqrt2, 0, 0, 0},
    {"mm feeds stay per minute", "G71", "G1X10F600", true, 1, 0, 0, 0},
    {"tool calls, also of the tool in hand", "G71",
     "G0Z2M5|G306T3h3S18000D1Z-0.25|M93|G0X10|G1Z0F600|G0Z2M5|G306T3h3S18000D1Z-0.25|M93", false, 0.2,
     0.02 + 0.1 + 0.02, 20, 0},
    {"cuts before any feed", "G71", "G1X10|G1X20|G1X30F600", false, 1, 0, 0, 2},
};

std::string programText(const TimedProgram& p) {
    std::string body = p.body;
    for (char& c : body)
        if (c == '|') c = '\n';
    return std::string(p.units) + "\r\nE3= 0.75   ;THICKNESS Z\r\n\"START\"\r\n" + body + "\r\nG79G0Z0W0\r\n\"END\"\r\n";
}

class Discard final : public OutputSink {
public:
    bool write(std::string_view) override { return true; }
};

TEST(MachiningTime, HandTimedPrograms) {
    MachiningRates rates;
    rates.rapidRate = 6000;
    rates.toolChangeTime = 10;
    for (const TimedProgram& p : kPrograms) {
        SCOPED_TRACE(p.name);
        rates.feedsPerSecond = p.feedsPerSecond;
        const std::string text = programText(p);
        // Read back whole, and pushed through a written output in pieces that cut lines apart.
        MachiningTimeSink read(rates), pushed(rates);
        ReplayError error;
        ASSERT_TRUE(replaySelvix(text, read, error)) << error.reason;
        Discard discard;
        ReplayingOutput output(discard, pushed);
        for (std::size_t at = 0; at < text.size(); at += 7) output.write(std::string_view(text).substr(at, 7));
        ASSERT_TRUE(output.finish()) << output.error().reason;
        for (const MachiningTimeSink* sink : {&read, &pushed}) {
            const MachiningTime& t = sink->time();
            EXPECT_NEAR(t.cutting, p.cutting, 1e-9);
            EXPECT_NEAR(t.rapid, p.rapid, 1e-9);
            EXPECT_NEAR(t.toolChanges, p.toolChanges, 1e-9);
            EXPECT_EQ(t.cutsWithoutFeed, p.cutsWithoutFeed);
        }
    }
}

TEST(MachiningTime, TextRoundsEachPartAndAddsThem) {
    MachiningTime t;
    t.cutting = 3725.4;
    t.rapid = 59.6;
    t.toolChanges = 20;
    EXPECT_EQ(machiningTimeText(t),
              "estimated machining time 1:03:25 (cutting 1:02:05, rapid 0:01:00, tool changes 0:00:20)");
    t.cutsWithoutFeed = 2;
    EXPECT_EQ(machiningTimeText(t), "estimated machining time 1:03:25 (cutting 1:02:05, rapid 0:01:00, tool changes "
                                    "0:00:20; 2 cuts without a feed not timed)");
}

}  // namespace
}  // namespace pathshift
