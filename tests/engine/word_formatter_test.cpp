// FormatWord: the text of every address word, and which words are left out as unchanged.

#include "engine/translation/word_formatter.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cstdint>
#include <cmath>
#include <iterator>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "engine/reading/tarvo_block.h"
#include "support/decimal_reference.h"

#ifndef PATHSHIFT_RANDOM_VALUES
#define PATHSHIFT_RANDOM_VALUES 100000
#endif

namespace pathshift {
namespace {

class FormatWordTest : public ::testing::Test {
protected:
    void SetUp() override { words.reset(); }

    std::string word(Letter letter, float value) { return std::string(words.FormatWord(letter, value)); }
    std::string word(Letter letter, double value) { return std::string(words.FormatWord(letter, value)); }
    std::string word(Letter letter, std::int16_t value) { return std::string(words.FormatWord(letter, value)); }

    WordFormatter words;
};

TEST_F(FormatWordTest, WritesTheLetterAndUpToFourDecimals) {
    EXPECT_EQ(word(Letter::X, 12.0), "X12");
    EXPECT_EQ(word(Letter::X, 0.5), "X0.5");
    EXPECT_EQ(word(Letter::X, -1.23456), "X-1.2346");
    EXPECT_EQ(word(Letter::X, 1000.5), "X1000.5");
    EXPECT_EQ(word(Letter::Y, -0.25f), "Y-0.25");
    EXPECT_EQ(word(Letter::Z, 123456789.0), "Z123456789");
    EXPECT_EQ(word(Letter::F, 1e20), "F100000000000000000000");
    EXPECT_EQ(word(Letter::I, 7.0f), "I7");
    EXPECT_EQ(word(Letter::J, -0.0001), "J-0.0001");
    EXPECT_EQ(word(Letter::S, 18000.0f), "S18000");
}

TEST_F(FormatWordTest, IntegerWordsAreWrittenInDecimal) {
    EXPECT_EQ(word(Letter::T, std::int16_t{3}), "T3");
    EXPECT_EQ(word(Letter::h, std::int16_t{3}), "h3");
    EXPECT_EQ(word(Letter::T, std::int16_t{0}), "T0");
    EXPECT_EQ(word(Letter::T, std::int16_t{-32768}), "T-32768");
    EXPECT_EQ(word(Letter::h, std::int16_t{32767}), "h32767");
}

TEST_F(FormatWordTest, FloatsKeepSevenSignificantDigitsAndDoublesFifteen) {
    EXPECT_EQ(word(Letter::X, 0.1f), "X0.1");
    EXPECT_EQ(word(Letter::X, 123456789.0f), "X123456800");
    EXPECT_EQ(word(Letter::X, 3.4028235e38f), "X340282300000000000000000000000000000000");
    // 0.00005 as a 32-bit float is 4.99999987e-05, but its seven digits are 5.000000e-05: a half.
    EXPECT_EQ(word(Letter::Y, 0.00005f), "Y0.0001");
    EXPECT_EQ(word(Letter::Y, -0.00015f), "Y-0.0002");
    // 2.00005 as a 64-bit float is 2.0000499999999998...; its fifteen digits are a half.
    EXPECT_EQ(word(Letter::Z, 2.00005), "Z2.0001");
    EXPECT_EQ(word(Letter::Z, 9999.99995), "Z10000");
    EXPECT_EQ(word(Letter::Z, -9999.99995), "Z-10000");
    EXPECT_EQ(word(Letter::Z, 0.99995), "Z1");
    EXPECT_EQ(word(Letter::I, 1.00000005f), "I1");
}

TEST_F(FormatWordTest, NeverWritesMinusZero) {
    EXPECT_EQ(word(Letter::X, -0.0), "X0");
    EXPECT_EQ(word(Letter::Y, -0.0f), "Y0");
    EXPECT_EQ(word(Letter::Z, -0.00004), "Z0");
    EXPECT_EQ(word(Letter::I, -0.0000499999f), "I0");
    EXPECT_EQ(word(Letter::J, -1e-300), "J0");
    EXPECT_EQ(word(Letter::S, -FLT_TRUE_MIN), "S0");
    EXPECT_EQ(word(Letter::DepthZ, -0.00001), "Z0");
}

TEST_F(FormatWordTest, UnchangedCoordinatesAreLeftOut) {
    EXPECT_EQ(word(Letter::X, 12.0f), "X12");
    EXPECT_EQ(word(Letter::Y, 5.0f), "Y5");
    EXPECT_EQ(word(Letter::Y, 6.0f), "Y6");
    EXPECT_EQ(word(Letter::X, 12.0f), "");  // Y words in between do not matter
    EXPECT_EQ(word(Letter::X, 13.0f), "X13");
    EXPECT_EQ(word(Letter::X, 12.0f), "X12");
    EXPECT_EQ(word(Letter::Z, -0.5), "Z-0.5");
    EXPECT_EQ(word(Letter::Z, -0.5), "");
    EXPECT_EQ(word(Letter::Y, 6.0f), "");
}

TEST_F(FormatWordTest, ComparesTheDigitValueNotTheRawValueNorTheText) {
    // 0.1f and 0.1 have the same seven and fifteen digits.
    EXPECT_EQ(word(Letter::X, 0.1f), "X0.1");
    EXPECT_EQ(word(Letter::X, 0.1), "");
    // 1 + 2^-52 has fifteen digits 1.00000000000000.
    EXPECT_EQ(word(Letter::Y, 1.0), "Y1");
    EXPECT_EQ(word(Letter::Y, 1.0000000000000002), "");
    // Different values with the same text are both written.
    EXPECT_EQ(word(Letter::Z, 1.00001), "Z1");
    EXPECT_EQ(word(Letter::Z, 1.00002), "Z1");
    // Zero and minus zero are the same value.
    EXPECT_EQ(word(Letter::X, 0.0f), "X0");
    EXPECT_EQ(word(Letter::X, -0.0f), "");
}

TEST_F(FormatWordTest, TheFirstWordOfEachKindIsWrittenWhateverItsValue) {
    EXPECT_EQ(word(Letter::X, 0.0), "X0");
    EXPECT_EQ(word(Letter::Y, 0.0), "Y0");
    EXPECT_EQ(word(Letter::Z, 0.0), "Z0");
    EXPECT_EQ(word(Letter::F, 0.0), "F0");
    words.reset();
    EXPECT_EQ(word(Letter::X, -9999.0), "X-9999");
    EXPECT_EQ(word(Letter::Y, -9999.0f), "Y-9999");
    EXPECT_EQ(word(Letter::Z, -9999.0), "Z-9999");
    EXPECT_EQ(word(Letter::F, -9999.0), "F-9999");
}

TEST_F(FormatWordTest, FeedOfFortyIsNeverWritten) {
    EXPECT_EQ(word(Letter::F, 40.0f), "");
    EXPECT_EQ(word(Letter::F, 40.0), "");
    EXPECT_EQ(word(Letter::F, 40.000001f), "");  // seven digits: 40.00000
    EXPECT_EQ(word(Letter::F, 100.0f), "F100");
    EXPECT_EQ(word(Letter::F, 100.0f), "");
    EXPECT_EQ(word(Letter::F, 40.0f), "");
    EXPECT_EQ(word(Letter::F, 100.0f), "");  // 40 was not remembered
    EXPECT_EQ(word(Letter::F, 40.00000001), "F40");  // not exactly 40
    EXPECT_EQ(word(Letter::F, -40.0f), "F-40");
}

TEST_F(FormatWordTest, CentresToolsAndSpindleSpeedsAreAlwaysWritten) {
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(word(Letter::I, -2.0f), "I-2");
        EXPECT_EQ(word(Letter::J, -1.5f), "J-1.5");
        EXPECT_EQ(word(Letter::T, std::int16_t{3}), "T3");
        EXPECT_EQ(word(Letter::h, std::int16_t{3}), "h3");
        EXPECT_EQ(word(Letter::S, 18000.0f), "S18000");
        EXPECT_EQ(word(Letter::I, -9999.0f), "I-9999");
    }
}

TEST_F(FormatWordTest, OtherLettersDoNotTouchTheCoordinateMemory) {
    EXPECT_EQ(word(Letter::X, 5.0f), "X5");
    EXPECT_EQ(word(Letter::Y, 6.0f), "Y6");
    EXPECT_EQ(word(Letter::F, 7.0f), "F7");
    EXPECT_EQ(word(Letter::I, 1.0f), "I1");
    EXPECT_EQ(word(Letter::J, 2.0f), "J2");
    EXPECT_EQ(word(Letter::S, 3.0f), "S3");
    EXPECT_EQ(word(Letter::T, std::int16_t{4}), "T4");
    EXPECT_EQ(word(Letter::h, std::int16_t{4}), "h4");
    EXPECT_EQ(word(Letter::X, 5.0f), "");
    EXPECT_EQ(word(Letter::Y, 6.0f), "");
    EXPECT_EQ(word(Letter::F, 7.0f), "");
    // Nor do the coordinates each other's.
    EXPECT_EQ(word(Letter::Z, 5.0f), "Z5");
    EXPECT_EQ(word(Letter::F, 5.0f), "F5");
    EXPECT_EQ(word(Letter::Y, 5.0f), "Y5");
}

TEST_F(FormatWordTest, TheDepthWordIsNeverLeftOutButIsTheLastZ) {
    EXPECT_EQ(word(Letter::DepthZ, -0.25), "Z-0.25");
    EXPECT_EQ(word(Letter::DepthZ, -0.25), "Z-0.25");
    EXPECT_EQ(word(Letter::Z, -0.25), "");
    EXPECT_EQ(word(Letter::Z, 1.5), "Z1.5");
    EXPECT_EQ(word(Letter::DepthZ, 1.5), "Z1.5");
    EXPECT_EQ(word(Letter::DepthZ, -1.0), "Z-1");
    EXPECT_EQ(word(Letter::Z, 1.5), "Z1.5");
    EXPECT_EQ(word(Letter::DepthZ, -9999.0), "Z-9999");
}

TEST_F(FormatWordTest, EachCallFormatsItsOwnValue) {
    // A float followed by a double whose bits hold the float's bits (a value near 2e-314).
    const double tiny = std::bit_cast<double>(std::uint64_t{1} << 32 | std::bit_cast<std::uint32_t>(1.0f));
    EXPECT_EQ(word(Letter::I, 1.0f), "I1");
    EXPECT_EQ(word(Letter::I, tiny), "I0");
    EXPECT_EQ(word(Letter::X, 1.0f), "X1");
    EXPECT_EQ(word(Letter::X, tiny), "X0");
    EXPECT_EQ(word(Letter::X, 1.0f), "X1");
    // The same value as a float and as a double, one after the other.
    EXPECT_EQ(word(Letter::J, 0.1f), "J0.1");
    EXPECT_EQ(word(Letter::J, 0.1), "J0.1");
    EXPECT_EQ(word(Letter::J, 2.00005f), "J2.0001");
    EXPECT_EQ(word(Letter::J, 2.00005), "J2.0001");
    EXPECT_EQ(word(Letter::J, 2.00004f), "J2");
}

TEST_F(FormatWordTest, ResetForgetsTheLastWords) {
    EXPECT_EQ(word(Letter::X, 12.0f), "X12");
    EXPECT_EQ(word(Letter::Y, 1.0f), "Y1");
    EXPECT_EQ(word(Letter::Z, 2.0), "Z2");
    EXPECT_EQ(word(Letter::F, 3.0f), "F3");
    words.reset();
    EXPECT_EQ(word(Letter::X, 12.0f), "X12");
    EXPECT_EQ(word(Letter::Y, 1.0f), "Y1");
    EXPECT_EQ(word(Letter::Z, 2.0), "Z2");
    EXPECT_EQ(word(Letter::F, 3.0f), "F3");
}

TEST_F(FormatWordTest, IntegerValuesFollowTheSameMemoryRules) {
    EXPECT_EQ(word(Letter::X, std::int16_t{7}), "X7");
    EXPECT_EQ(word(Letter::X, 7.0f), "");
    EXPECT_EQ(word(Letter::F, std::int16_t{40}), "");
    EXPECT_EQ(word(Letter::DepthZ, std::int16_t{2}), "Z2");
    EXPECT_EQ(word(Letter::Z, 2.0), "");
}

// The rules written out plainly, with the C library's digits, against random sequences of words.
class WordRules {
public:
    std::string word(Letter letter, double n, const std::string& digits) {
        double* last = nullptr;
        switch (letter) {
            case Letter::X: last = &lastX_; break;
            case Letter::Y: last = &lastY_; break;
            case Letter::Z: last = &lastZ_; break;
            case Letter::F: last = &lastF_; break;
            default: break;
        }
        if (last && n == *last) return "";
        if (letter == Letter::F && n == 40) return "";
        if (last) *last = n;
        if (letter == Letter::DepthZ) lastZ_ = n;
        return std::string(1, "XYZFIJThSZ"[static_cast<int>(letter)]) + digits;
    }

private:
    double lastX_ = -9999, lastY_ = -9999, lastZ_ = -9999, lastF_ = -9999;
};

TEST(FormatWordRules, HoldForRandomSequencesOfWords) {
    // Few values, so that repeats and near-repeats are common.
    constexpr double kValues[] = {0,       -0.0,   0.1,    0.25,  -1.23456, 40,        40.000001, 100,
                                  2.00005, 9999.99995, 1e-5, 5e-5, 12,      1000.5,    -9999,     1.0000001,
                                  123456.789, 0.30000001, 1e20, -0.00015, 3,    18000,     -40,       0.99995};
    std::mt19937 random(12);
    WordRules rules;
    WordFormatter words;
    words.reset();
    int failures = 0;
    for (int i = 0; i < PATHSHIFT_RANDOM_VALUES / 5 && failures < 10; ++i) {
        const double value = kValues[random() % std::size(kValues)];
        const auto letter = static_cast<Letter>(random() % 10);
        std::string got, expected, shown;
        switch (random() % 3) {
            case 0: {
                const float f = static_cast<float>(value);
                got = std::string(words.FormatWord(letter, f));
                expected = rules.word(letter, testing::readBack(f, 7), testing::referenceFourDecimals(f, 7));
                shown = testing::scientific(f, 9) + "f";
                break;
            }
            case 1:
                got = std::string(words.FormatWord(letter, value));
                expected = rules.word(letter, testing::readBack(value, 15), testing::referenceFourDecimals(value, 15));
                shown = testing::scientific(value, 17);
                break;
            default: {
                const auto n = static_cast<std::int16_t>(std::lround(std::fmod(value, 30000.0)));
                got = std::string(words.FormatWord(letter, n));
                expected = rules.word(letter, n, std::to_string(n));
                shown = std::to_string(n) + " (16-bit)";
                break;
            }
        }
        if (got != expected) {
            ++failures;
            ADD_FAILURE() << "word " << i << ": letter " << static_cast<int>(letter) << " value " << shown << " gave \""
                          << got << "\", expected \"" << expected << "\"";
        }
    }
}

std::uint64_t bitsOf(double value) { return std::bit_cast<std::uint64_t>(value); }

// Every decimal whose source digits are copied: at most seven digits and four decimals. Read as the
// nearest 64-bit float and held as a 32-bit one, each keeps its seven digits (signs play no part).
TEST(SourceDigits, EveryCopiedDecimalKeepsItsDigitsInAFloat) {
    int failures = 0;
    for (int places = 0; places <= 4; ++places) {
        int length = 1;
        for (std::uint64_t digits = 1; digits < 10000000 && failures < 10; ++digits) {
            if (digits == kIntegerPowersOfTen[length]) ++length;
            if (places > 0 && digits % 10 == 0) continue;
            const auto held = static_cast<float>(static_cast<double>(digits) / kExactPowersOfTen[places]);
            RoundedDecimal got;
            if (!roundFloatDigits(held, got)) got = roundSignificant(held, 7);
            if ((got.digits != digits * kIntegerPowersOfTen[7 - length] || got.exponent != length - 7 - places) &&
                ++failures < 10)
                ADD_FAILURE() << digits << "e-" << places << " came back as " << got.digits << "e" << got.exponent;
        }
    }
}

// A source word written from its digits gives the text and values of its held value written the
// general way, and the same memory: words that end the line, are followed by others, stand in a line
// of a few bytes or far from its end.
TEST(SourceDigits, GiveTheWordsOfTheHeldValue) {
    std::vector<std::string> texts = {"27.3527", "-0.5", "0", "-0", "0.0001", "-9999999", "123.4567", "1234.5678",
                                      "12.30", "05", "-00.5", ".5", "5.", "1.5e3", "1.5 ", "+2", "1.23456", "40",
                                      "12345678", "0.00005", "7.25-1", "99.9999", "1e", "-", ""};
    std::mt19937 random(8);
    for (int i = 0; i < PATHSHIFT_RANDOM_VALUES / 4; ++i) {
        std::string text(random() % 11, '0');
        for (char& c : text) c = "0123456789012345.-e"[random() % 19];
        texts.push_back(text);
    }
    TarvoBlockReader reader;
    char out[WordFormatter::kMaxWord];
    for (const std::string& text : texts) {
        for (const std::string& line : {"N1X" + text + "Y" + text + "F" + text, "N" + text + "X" + text,
                                        "N1X" + text + "Y" + text + "F" + text + "M3S18000T1001H1"}) {
            const TarvoBlock& block = reader.read(line);
            if (block.fault) continue;
            WordFormatter copied, general;
            for (const auto& [letter, source, negate] : {std::tuple{Letter::X, TarvoLetter::X, true},
                                                        std::tuple{Letter::Y, TarvoLetter::Y, true},
                                                        std::tuple{Letter::F, TarvoLetter::F, false},
                                                        std::tuple{Letter::F, TarvoLetter::F, false}}) {
                const float held = block.has(source) ? block.word(source).held : 0.0f;
                const std::string expected(general.FormatWord(letter, negate ? -held : held));
                if (!block.has(source)) continue;
                EXPECT_EQ(std::string(out, copied.write(letter, block, source, negate, out)), expected) << line;
                EXPECT_EQ(bitsOf(copied.writtenValue()), bitsOf(general.writtenValue())) << line;
                // Then the general way (blocks without the letter): the same value, another, the same.
                for (const float again : {held, held + 1.0f, held}) {
                    const float value = negate ? -again : again;
                    EXPECT_EQ(std::string(out, copied.write(letter, value, out)),
                              std::string(general.FormatWord(letter, value)))
                        << line;
                }
            }
        }
    }
}

// The value of each word written is what its text reads back as; a text beyond the range of a
// 64-bit float reads as an overflow, and its value is infinite.
TEST(WrittenValue, IsWhatTheWordsTextReadsBackAs) {
    std::mt19937_64 random(9);
    WordFormatter words;
    int failures = 0;
    const auto check = [&](std::string_view word) {
        const NumberRead back = readLeadingNumber(word.substr(1));
        const double expected = back.overflow ? std::copysign(HUGE_VAL, words.writtenValue()) : back.value;
        if (bitsOf(words.writtenValue()) != bitsOf(expected) && ++failures < 10)
            ADD_FAILURE() << word << " has the value " << testing::scientific(words.writtenValue(), 17);
    };
    for (double value : {0.0, -0.0, DBL_MAX, -DBL_MAX, DBL_TRUE_MIN, 1e22, 1e23, 9999.99995, -0.00005, 0.00004999}) {
        check(words.FormatWord(Letter::I, value));
        check(words.FormatWord(Letter::J, static_cast<float>(value)));
    }
    for (int i = 0; i < PATHSHIFT_RANDOM_VALUES / 4; ++i) {
        const std::uint64_t bits = random();
        const double any = std::bit_cast<double>(bits), scaled = std::ldexp(static_cast<std::int32_t>(bits), static_cast<int>(bits % 64) - 50);
        if (std::isfinite(any)) check(words.FormatWord(Letter::I, any));
        check(words.FormatWord(Letter::I, scaled));
        check(words.FormatWord(Letter::J, static_cast<float>(scaled)));
        const auto narrow = std::bit_cast<float>(static_cast<std::uint32_t>(bits >> 32));
        if (std::isfinite(narrow)) check(words.FormatWord(Letter::J, narrow));
        check(words.FormatWord(Letter::T, static_cast<std::int16_t>(bits)));
    }
}

}  // namespace
}  // namespace pathshift
