// The toolpath model: Tarvo programs replayed as the translator reads them, Selvix programs as the
// engine writes them, both into moves in the source's coordinates.

#include "engine/toolpath/toolpath.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/piece_source.h"
#include "support/program_text.h"

namespace pathshift {
namespace {

using testing::crlfLines;
using testing::selvixProgram;

constexpr double kNear = 1e-6;

ConversionOptions options(std::string thickness = "0.75") {
    ConversionOptions o;
    o.thickness = std::move(thickness);
    o.tools.appendRow({"1005", "3"});
    o.tools.appendRow({"2012", "8"});
    return o;
}

Toolpath tarvo(std::string_view text, const ConversionOptions& o = options()) {
    ReplayError error;
    std::optional<Toolpath> path = replayTarvo(text, o, error);
    EXPECT_TRUE(path) << error.line << ": " << error.reason;
    return path.value_or(Toolpath{});
}

Toolpath selvix(std::string_view text) {
    ReplayError error;
    std::optional<Toolpath> path = replaySelvix(text, error);
    EXPECT_TRUE(path) << error.line << ": " << error.reason;
    return path.value_or(Toolpath{});
}

void expectPoint(const Point3& p, double x, double y, double z) {
    EXPECT_NEAR(p.x, x, kNear);
    EXPECT_NEAR(p.y, y, kNear);
    EXPECT_NEAR(p.z, z, kNear);
}

// A slot, then a clockwise and a counter-clockwise half circle, in millimetres.
constexpr std::string_view kArcs =
    "%\nN1G21\nN2T1005\nN3G0X1Y1\nN4Z5\nN5G1Z-2F900\nN6G2X3Y1I1J0\nN7G3X5Y1I1J0\nN8G0Z5\n";

TEST(tarvo_replay, arcs_both_directions_with_centres_from_the_start_point) {
    const Toolpath path = tarvo(kArcs, options("18"));
    EXPECT_EQ(path.info.units, Units::Millimetre);
    EXPECT_EQ(path.info.thickness, 18.0);
    ASSERT_EQ(path.moves.size(), 6u);
    EXPECT_EQ(path.moves[0].kind, MoveKind::Rapid);
    expectPoint(path.moves[0].end, 1, 1, 0);
    EXPECT_EQ(path.moves[1].kind, MoveKind::Rapid);
    expectPoint(path.moves[1].end, 1, 1, 5);

    const Move& plunge = path.moves[2];
    EXPECT_EQ(plunge.kind, MoveKind::Line);
    expectPoint(plunge.start, 1, 1, 5);
    expectPoint(plunge.end, 1, 1, -2);
    EXPECT_EQ(plunge.sourceLine, 6u);
    EXPECT_EQ(plunge.targetLine, 0u);

    const Move& clockwise = path.moves[3];
    EXPECT_EQ(clockwise.kind, MoveKind::ArcClockwise);
    expectPoint(clockwise.start, 1, 1, -2);
    expectPoint(clockwise.end, 3, 1, -2);
    EXPECT_NEAR(clockwise.centreX, 2, kNear);
    EXPECT_NEAR(clockwise.centreY, 1, kNear);
    const Move& counter = path.moves[4];
    EXPECT_EQ(counter.kind, MoveKind::ArcCounterClockwise);
    EXPECT_NEAR(counter.centreX, 4, kNear);
    EXPECT_NEAR(counter.centreY, 1, kNear);
    EXPECT_EQ(counter.sourceLine, 8u);

    for (int k = 2; k <= 4; ++k) {
        EXPECT_EQ(path.moves[k].tool, 3);  // 1005 through the table
        EXPECT_NEAR(path.moves[k].depth, -2 - 18, kNear);
        EXPECT_TRUE(path.moves[k].depthKnown);
    }
    EXPECT_EQ(path.moves[5].kind, MoveKind::Rapid);
}

TEST(tarvo_replay, inch_units_and_the_last_units_word_wins) {
    EXPECT_EQ(tarvo("N1G20\nN2G0X1\n").info.units, Units::Inch);
    EXPECT_EQ(tarvo("N1G21\nN2G0X1\nN3G20\n").info.units, Units::Inch);
    EXPECT_EQ(tarvo("N1G0X1\n").info.units, Units::Unknown);
}

TEST(tarvo_replay, reads_only_the_blocks_the_translator_accepts) {
    const Toolpath path = tarvo(
        "N1T1005G0X1Y1\nN2G1Z-0.5F100\n(N3G1X9)\nn4G1X9\n N5G1X9\nN6(COMMENT)G1X9\nN7X2\nN8M3\n");
    ASSERT_EQ(path.moves.size(), 4u);
    EXPECT_EQ(path.moves[1].sourceLine, 2u);
    EXPECT_EQ(path.moves[2].sourceLine, 7u);
    expectPoint(path.moves[2].end, 2, 1, -0.5);
    // A cutting block that moves nowhere is still a move: the translator writes a line for it.
    EXPECT_EQ(path.moves[3].sourceLine, 8u);
    expectPoint(path.moves[3].start, 2, 1, -0.5);
    expectPoint(path.moves[3].end, 2, 1, -0.5);
}

TEST(tarvo_replay, segments_take_their_lowest_level_and_their_own_tool) {
    const Toolpath path = tarvo(
        "N1T1005\nN2G0X0Y0\nN3G1Z-0.25F100\nN4Z-0.5\nN5G0Z1\nN6T1007\nN7G0X1\nN8G1Z-0.1\nN9X2\n");
    std::vector<const Move*> cuts;
    for (const Move& m : path.moves)
        if (m.cutting()) cuts.push_back(&m);
    ASSERT_EQ(cuts.size(), 4u);
    EXPECT_NEAR(cuts[0]->depth, -0.5 - 0.75, kNear);
    EXPECT_NEAR(cuts[1]->depth, -0.5 - 0.75, kNear);
    EXPECT_EQ(cuts[1]->tool, 3);
    EXPECT_NEAR(cuts[2]->depth, -0.1 - 0.75, 1e-6);
    EXPECT_EQ(cuts[2]->tool, 7);  // not in the table: its last digit
}

TEST(tarvo_replay, head_two_knows_its_own_tools) {
    ConversionOptions o = options();
    o.head = Head::Two;
    const Toolpath path = tarvo("N1T1005\nN2T2012\nN3G0X1\nN4G1Z-1\n", o);
    ASSERT_EQ(path.moves.size(), 2u);
    EXPECT_EQ(path.moves[1].tool, 8);
}

TEST(tarvo_replay, refuses_what_the_translator_refuses) {
    ReplayError error;
    EXPECT_FALSE(replayTarvo("N1G0X1\n", options("three quarters"), error));
    EXPECT_NE(error.reason.find("thickness"), std::string::npos);
    EXPECT_FALSE(replayTarvo("N1G0X1\nN2T40000\n", options(), error));
    EXPECT_EQ(error.line, 2u);
    EXPECT_FALSE(replayTarvo("N1G0X1\nN2G1X1e39\n", options(), error));
    EXPECT_EQ(error.line, 2u);
}

// The engine's own worked example, written out by hand: inch, thickness 0.75, depth -0.25.
TEST(selvix_replay, mirrors_back_and_makes_z_absolute_from_the_tool_call) {
    const std::string program = selvixProgram(
        "G70", "0.75",
        crlfLines({"G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S18000D1Z-0.25", "M93", "G0X-1Y-2Z0.75", "G1Z0F100",
                   "G1X-3"}));
    const Toolpath path = selvix(program);
    EXPECT_EQ(path.info.units, Units::Inch);
    EXPECT_EQ(path.info.thickness, 0.75);
    std::vector<const Move*> cuts;
    for (const Move& m : path.moves)
        if (m.cutting()) cuts.push_back(&m);
    ASSERT_EQ(cuts.size(), 2u);
    // Level = depth + thickness = 0.5: Z0 is the source's 0.5.
    expectPoint(cuts[0]->start, 1, 2, 1.25);
    expectPoint(cuts[0]->end, 1, 2, 0.5);
    expectPoint(cuts[1]->end, 3, 2, 0.5);
    EXPECT_EQ(cuts[1]->tool, 3);
    EXPECT_NEAR(cuts[1]->depth, -0.25, kNear);
    EXPECT_EQ(cuts[0]->targetLine, 26u);  // 19 header lines, then the plunge block
    EXPECT_EQ(cuts[1]->targetLine, 27u);
    EXPECT_EQ(cuts[1]->sourceLine, 0u);
    // The trailer's retract is the last move; the park in machine coordinates is none.
    EXPECT_EQ(path.moves.back().kind, MoveKind::Rapid);
    expectPoint(path.moves.back().end, 3, 2, 2.5);
}

TEST(selvix_replay, arcs_both_directions_with_absolute_centres) {
    const std::string program = selvixProgram(
        "G71", "18",
        crlfLines({"G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S0D0Z-20", "M93", "G0X-1Y-1Z20.5", "G1Z0F900",
                   "G2X-3I-2J-1", "G3X-5I-4J-1", "G1", "G2X-3I-4J-1F40"}));
    const Toolpath path = selvix(program);
    EXPECT_EQ(path.info.units, Units::Millimetre);
    std::vector<const Move*> cuts;
    for (const Move& m : path.moves)
        if (m.cutting()) cuts.push_back(&m);
    ASSERT_EQ(cuts.size(), 5u);
    EXPECT_EQ(cuts[1]->kind, MoveKind::ArcClockwise);
    expectPoint(cuts[1]->start, 1, 1, -2);
    expectPoint(cuts[1]->end, 3, 1, -2);
    EXPECT_NEAR(cuts[1]->centreX, 2, kNear);
    EXPECT_NEAR(cuts[1]->centreY, 1, kNear);
    EXPECT_EQ(cuts[2]->kind, MoveKind::ArcCounterClockwise);
    EXPECT_NEAR(cuts[2]->centreX, 4, kNear);
    // A bare G1 is a move that goes nowhere; every word left out keeps its axis.
    EXPECT_EQ(cuts[3]->kind, MoveKind::Line);
    expectPoint(cuts[3]->start, 5, 1, -2);
    expectPoint(cuts[3]->end, 5, 1, -2);
    EXPECT_EQ(cuts[4]->kind, MoveKind::ArcClockwise);
    expectPoint(cuts[4]->end, 3, 1, -2);
}

TEST(selvix_replay, a_cut_before_any_tool_call_has_no_known_depth) {
    const Toolpath path = selvix(selvixProgram("", "0.75", crlfLines({"G1X-1Z0F100"})));
    EXPECT_EQ(path.info.units, Units::Unknown);
    ASSERT_FALSE(path.moves.empty());
    EXPECT_TRUE(path.moves[0].cutting());
    EXPECT_FALSE(path.moves[0].depthKnown);
    EXPECT_EQ(path.moves[0].tool, 0);
}

class CountingSink final : public MoveSink {
public:
    explicit CountingSink(std::size_t stopAfter = ~std::size_t{0}) : stopAfter_(stopAfter) {}
    bool move(const Move& m) override {
        moves.push_back(m);
        return moves.size() < stopAfter_;
    }
    std::vector<Move> moves;

private:
    std::size_t stopAfter_;
};

TEST(selvix_replay, refuses_text_that_is_no_converted_program) {
    CountingSink sink;
    ReplayError error;
    EXPECT_FALSE(replaySelvix("G1X1\r\n", sink, error));
    EXPECT_NE(error.reason.find("START"), std::string::npos);
    EXPECT_FALSE(replaySelvix("G70\r\n\"START\"\r\nG1X1\r\n", sink, error));
    EXPECT_NE(error.reason.find("thickness"), std::string::npos);
    EXPECT_FALSE(replaySelvix(selvixProgram("G70", "0.75", crlfLines({"G1X-1", "G1X#2"})), sink, error));
    EXPECT_EQ(error.line, 21u);
    EXPECT_FALSE(replaySelvix(selvixProgram("G70", "0.75", crlfLines({"G2X-1Y-1"})), sink, error));
    EXPECT_EQ(error.line, 20u);
    EXPECT_NE(error.reason.find("centre"), std::string::npos);
    for (const auto& [line, reason] : std::vector<std::pair<std::string, std::string>>{
             {"G306h2Z-1", "the tool call \"G306h2Z-1\" lacks its T or Z word"},
             {"G306T2.5Z-1", "the tool call \"G306T2.5Z-1\" names no tool number"},
             {"G3X-1I-1", "the arc \"G3X-1I-1\" lacks its centre (I and J)"}}) {
        EXPECT_FALSE(replaySelvix(selvixProgram("G70", "0.75", crlfLines({line})), sink, error));
        EXPECT_EQ(error.reason, reason);
    }
}

TEST(toolpath_replay, a_sink_may_end_the_replay_early) {
    CountingSink tarvoSink(2);
    ReplayError error;
    EXPECT_TRUE(replayTarvo(kArcs, options(), tarvoSink, error));
    EXPECT_EQ(tarvoSink.moves.size(), 2u);
    const ConversionResult converted = convertProgram(kArcs, options());
    ASSERT_TRUE(converted.converted);
    CountingSink selvixSink(1);
    EXPECT_TRUE(replaySelvix(converted.text, selvixSink, error));
    EXPECT_EQ(selvixSink.moves.size(), 1u);
}

// Read in pieces of a few bytes, a program gives the same moves as held whole.
TEST(toolpath_replay, streamed_in_pieces_gives_the_same_moves) {
    const std::string source(kArcs);
    const ConversionResult converted = convertProgram(source, options());
    ASSERT_TRUE(converted.converted);
    for (std::size_t chunk : {1u, 3u, 7u, 64u}) {
        testing::PieceSource tarvoPieces(source, chunk);
        testing::PieceSource selvixPieces(converted.text, chunk);
        CountingSink fromTarvo, fromSelvix;
        ReplayError error;
        ASSERT_TRUE(replayTarvo(tarvoPieces, options(), fromTarvo, error)) << error.reason;
        ASSERT_TRUE(replaySelvix(selvixPieces, fromSelvix, error)) << error.reason;
        const Toolpath wholeTarvo = tarvo(source);
        const Toolpath wholeSelvix = selvix(converted.text);
        ASSERT_EQ(fromTarvo.moves.size(), wholeTarvo.moves.size());
        ASSERT_EQ(fromSelvix.moves.size(), wholeSelvix.moves.size());
        for (std::size_t k = 0; k < fromTarvo.moves.size(); ++k) {
            EXPECT_EQ(fromTarvo.moves[k].sourceLine, wholeTarvo.moves[k].sourceLine);
            EXPECT_EQ(fromTarvo.moves[k].end.z, wholeTarvo.moves[k].end.z);
        }
        for (std::size_t k = 0; k < fromSelvix.moves.size(); ++k) {
            EXPECT_EQ(fromSelvix.moves[k].targetLine, wholeSelvix.moves[k].targetLine);
            EXPECT_EQ(fromSelvix.moves[k].end.x, wholeSelvix.moves[k].end.x);
        }
    }
}

TEST(toolpath_replay, a_source_that_cannot_be_read_is_an_error) {
    testing::PieceSource broken(std::string(kArcs), 4);
    broken.failAfterReads = 2;
    CountingSink sink;
    ReplayError error;
    EXPECT_FALSE(replayTarvo(broken, options(), sink, error));
    EXPECT_EQ(error.reason, "read failed");
    testing::PieceSource unrewindable(std::string(kArcs), 4);
    unrewindable.failRewind = true;
    EXPECT_FALSE(replaySelvix(unrewindable, sink, error));
    EXPECT_EQ(error.reason, "rewind refused");
}

}  // namespace
}  // namespace pathshift
