#pragma once
// Powers of ten for number reading and writing.

#include <cstdint>

namespace pathshift {

// 10^0 .. 10^22 are exact in a 64-bit float: one multiplication or division of an exact mantissa
// below 2^53 by one of them is correctly rounded.
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr int kLargestExactPower = 22;

// 10^0 .. 10^19, every power of ten a 64-bit unsigned integer holds.
inline constexpr std::uint64_t kIntegerPowersOfTen[] = {1ull,
                                                        10ull,
                                                        100ull,
                                                        1000ull,
                                                        10000ull,
                                                        100000ull,
                                                        1000000ull,
                                                        10000000ull,
                                                        100000000ull,
                                                        1000000000ull,
                                                        10000000000ull,
                                                        100000000000ull,
                                                        1000000000000ull,
                                                        10000000000000ull,
                                                        100000000000000ull,
                                                        1000000000000000ull,
                                                        10000000000000000ull,
                                                        100000000000000000ull,
                                                        1000000000000000000ull,
                                                        10000000000000000000ull};

}  // namespace pathshift
