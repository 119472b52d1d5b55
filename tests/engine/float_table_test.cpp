// FloatTable: every value read back as appended, from memory, from its temporary file or from the
// block not yet written, in any order, and again after clear(). The depth table kept in one, past
// the values held in memory.

#include <gtest/gtest.h>

#include <vector>

#include "engine/io/float_table.h"
#include "engine/reading/tarvo_machine.h"

namespace pathshift {
namespace {

TEST(FloatTable, ReadsBackEveryValueWhereverItIsKept) {
    struct Case {
        std::size_t inMemory, block, count;
    } const cases[] = {{8, 4, 0}, {8, 4, 5}, {8, 4, 8}, {8, 4, 11}, {8, 4, 12}, {8, 4, 103}, {0, 1, 9}, {3, 7, 50}};
    for (const Case& c : cases) {
        FloatTable table(c.inMemory, c.block);
        for (int round = 0; round < 2; ++round) {
            table.clear();
            for (std::size_t k = 0; k < c.count; ++k) table.append(static_cast<float>(k) * 0.5f - 3.25f + round);
            ASSERT_EQ(table.size(), c.count);
            std::vector<std::size_t> order;  // forward, then backward, then two at a time
            for (std::size_t k = 0; k < c.count; ++k) order.push_back(k);
            for (std::size_t k = c.count; k-- > 0;) order.push_back(k);
            for (std::size_t k = 0; k + 1 < c.count; ++k) order.insert(order.end(), {k + 1, k});
            for (std::size_t k : order)
                ASSERT_EQ(table.at(k), static_cast<float>(k) * 0.5f - 3.25f + round)
                    << "in memory " << c.inMemory << ", block " << c.block << ", count " << c.count << ", k " << k;
            EXPECT_EQ(table.error(), "");
        }
    }
}

TEST(SegmentLevels, HoldEveryLevelOfALongProgramExactly) {
    const std::size_t plunges = FloatTable::kInMemory + FloatTable::kBlock * 2 + 3;
    const auto levelOf = [](std::size_t k) { return k % 7 == 0 ? kNoZLevel : -0.001 * static_cast<double>(k); };
    SegmentLevels levels;
    levels.begin();
    TarvoMachine machine(Head::One);
    machine.motion = 1;
    for (std::size_t k = 0; k <= plunges; ++k) {
        machine.zSeen = k % 7 != 0;
        machine.pos.z = static_cast<float>(levelOf(k));
        levels.measure(machine);
        if (k < plunges) levels.plunge();
    }
    levels.end();
    for (std::size_t k = 0; k <= plunges; ++k)
        ASSERT_EQ(levels.level(k), static_cast<double>(static_cast<float>(levelOf(k)))) << k;
    EXPECT_TRUE(levels.holds(plunges + 1));
    EXPECT_FALSE(levels.holds(plunges + 2));
    EXPECT_EQ(levels.level(plunges + 1), 0.0);
}

}  // namespace
}  // namespace pathshift
