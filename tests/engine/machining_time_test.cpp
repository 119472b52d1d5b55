// The machining-time estimate against programs timed by hand: mm programs at a rapid rate of
// 6000 mm/min (100 mm/s), feeds 600 mm/min (10 mm/s) unless named otherwise, tool calls 10 s.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/toolpath/arc_angles.h"
#include "engine/toolpath/machining_time.h"
#include "engine/toolpath/written_program_replay.h"
#include "support/piece_source.h"

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

TEST(MachiningTime, HandTimedPrograms) {
    MachiningRates rates;
    rates.rapidRate = 6000;
    rates.toolChangeTime = 10;
    for (const TimedProgram& p : kPrograms) {
        SCOPED_TRACE(p.name);
        rates.feedsPerSecond = p.feedsPerSecond;
        const std::string text = programText(p);
        MachiningTimeSink read(rates);
        ReplayError error;
        ASSERT_TRUE(replaySelvix(text, read, error)) << error.reason;
        const MachiningTime& t = read.time();
        EXPECT_NEAR(t.cutting, p.cutting, 1e-9);
        EXPECT_NEAR(t.rapid, p.rapid, 1e-9);
        EXPECT_NEAR(t.toolChanges, p.toolChanges, 1e-9);
        EXPECT_EQ(t.cutsWithoutFeed, p.cutsWithoutFeed);
    }
}

// Level moves take shorter ways to their length; the general forms are hypot's with the rise.
TEST(MachiningTime, PathLengthIsTheGeneralOne) {
    constexpr double kSpecial[] = {0.0, -0.0, 4.9e-324, 1.7e308, std::numeric_limits<double>::infinity(),
                                   std::numeric_limits<double>::quiet_NaN()};
    std::mt19937 random(7);
    for (int k = 0; k < 40000; ++k) {
        const double size = std::pow(10.0, std::uniform_int_distribution<int>(-300, 300)(random));
        auto coordinate = [&] {
            return random() % 16 ? std::uniform_real_distribution<double>(-size, size)(random) : kSpecial[random() % 6];
        };
        Move move;
        move.kind = static_cast<MoveKind>(k % 4);
        move.start = {coordinate(), coordinate(), k % 3 ? 0.0 : -0.0};
        move.end = k % 5 ? Point3{coordinate(), coordinate(), k % 7 ? 0.0 : coordinate()} : move.start;
        move.centreX = coordinate();
        move.centreY = coordinate();
        const double dz = move.end.z - move.start.z;
        const ArcAngles a = move.arc() ? arcAngles(move) : ArcAngles{};
        const double general = move.arc() ? std::hypot(a.radius * std::abs(a.sweep), dz)
                                          : std::hypot(move.end.x - move.start.x, move.end.y - move.start.y, dz);
        // A NaN's sign is no part of the result (the compiler keeps none), and any NaN reads "over".
        const double length = pathLength(move);
        if (std::isnan(general)) {
            ASSERT_TRUE(std::isnan(length)) << k;
        } else {
            ASSERT_EQ(std::bit_cast<std::uint64_t>(length), std::bit_cast<std::uint64_t>(general)) << k;
        }
    }
}

// Every move and tool call, bit for bit.
class Recorder final : public MoveSink {
public:
    void begin(const ToolpathInfo& info) override { record(info.units, info.thickness); }
    bool move(const Move& move) override {
        record(move.kind, move.start, move.end, move.centreX, move.centreY, move.tool, move.depth, move.depthKnown,
               move.feed, move.targetLine);
        return true;
    }
    void toolCall(std::int16_t tool) override { record(tool); }
    std::string bytes;

private:
    template <class... Fields>
    void record(const Fields&... fields) {
        ((bytes.append(reinterpret_cast<const char*>(&fields), sizeof fields)), ...);
    }
};

// Values of every magnitude and length of digits, arcs, tool changes and compensation words.
std::string randomProgram(unsigned seed) {
    std::mt19937 random(seed);
    auto number = [&] {
        std::ostringstream text;
        const int digits = std::uniform_int_distribution<int>(1, 12)(random);
        const double magnitude = std::pow(10.0, std::uniform_int_distribution<int>(-7, 6)(random));
        text.precision(digits);
        text << std::uniform_real_distribution<double>(-magnitude, magnitude)(random);
        return text.str();
    };
    const char* motions[] = {"G0", "G1", "G2", "G3", "G41G1", "G42G2", "G40G3"};
    std::string program = random() % 2 ? "N1G70\n" : "N1G71\n";
    for (int line = 2; line < 3000; ++line) {
        program += 'N';
        program += std::to_string(line);
        program += motions[random() % 7];
        for (const char* letter : {"X", "Y", "Z", "I", "J", "F", "S"})
            if (random() % 3 == 0) {
                program += letter;
                program += number();
            }
        if (random() % 40 == 0) program += "T100" + std::to_string(1 + random() % 9);
        program += "\n";
    }
    return program;
}

// The replay of the words written while converting against the written text read back.
TEST(MachiningTime, WrittenWordsReplayAsTheirText) {
    std::vector<std::string> sources;
    for (const auto& entry : std::filesystem::directory_iterator(PATHSHIFT_EXAMPLES)) {
        if (entry.path().extension() != ".nc") continue;
        std::ifstream file(entry.path(), std::ios::binary);
        sources.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    for (unsigned seed = 1; seed <= 20; ++seed) sources.push_back(randomProgram(seed));
    int converted = 0;
    for (const std::string& source : sources) {
        for (const char* thickness : {"0.75", "18", "-0.5"}) {
            ConversionOptions options;
            options.thickness = thickness;
            options.dfs = source.size() % 2;
            options.ipsFeed = true;
            testing::PieceSource text(source, 4096);
            std::string written;
            struct : OutputSink {
                std::string* into;
                bool write(std::string_view piece) override {
                    into->append(piece);
                    return true;
                }
            } sink;
            sink.into = &written;
            Recorder fromWords, fromText;
            WrittenProgramReplay replay(fromWords);
            ConversionReport report;
            ConversionError error;
            if (!convertProgram(text, options, sink, report, error, {}, &replay)) continue;
            ++converted;
            ASSERT_TRUE(replay.finished()) << replay.error().reason;
            ReplayError replayError;
            ASSERT_TRUE(replaySelvix(written, fromText, replayError)) << replayError.reason;
            EXPECT_FALSE(fromText.bytes.empty());
            EXPECT_TRUE(fromWords.bytes == fromText.bytes) << "thickness " << thickness << ", " << written.substr(0, 400);
        }
    }
    EXPECT_GT(converted, 60);
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
    t.cutsWithoutFeed = 0;
    t.cutting = std::numeric_limits<double>::infinity();
    t.rapid = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(machiningTimeText(t), "estimated machining time over 1000000:00:00 (cutting over 1000000:00:00, rapid "
                                    "over 1000000:00:00, tool changes 0:00:20)");
}

}  // namespace
}  // namespace pathshift
