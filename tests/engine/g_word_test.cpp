// A G word read for its effect agrees with the general number reading for every text of one or two
// digits followed by any byte, and for texts at the end of a run.

#include "engine/reading/g_word.h"

#include <gtest/gtest.h>

#include <string>

namespace pathshift {
namespace {

TEST(GWord, AgreesWithTheNumberReading) {
    for (int code = 0; code < 110; ++code) {
        const std::string digits = code < 10 ? std::to_string(code) : std::to_string(code - 10 + 100).substr(1);
        for (int byte = 0; byte < 256; ++byte) {
            for (const std::string tail : {"", "X12345678901234567", " 5", "E400"}) {
                const std::string text = digits + static_cast<char>(byte) + tail;
                for (const std::size_t size : {std::size_t{1}, std::size_t{2}, std::size_t{3}, text.size()}) {
                    const NumberRead read = readLeadingNumber(std::string_view(text.data(), size));
                    const GWord g = readGWord(text.data(), text.data() + size);
                    ASSERT_EQ(g.overflow, read.overflow) << text << " size " << size;
                    ASSERT_EQ(g.effect, read.overflow ? GEffect::None : gEffect(read.value)) << text << " size " << size;
                }
            }
        }
    }
    EXPECT_EQ(readGWord("1X", &"1X"[2]).effect, GEffect::Line);
    EXPECT_EQ(readGWord("20 ", &"20 "[3]).effect, GEffect::Inch);
    EXPECT_TRUE(readGWord("1e400", &"1e400"[5]).overflow);
}

}  // namespace
}  // namespace pathshift
