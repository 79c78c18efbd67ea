#include "ui/decimal.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

namespace {

// The portable conversions stand in for the library's in the WebAssembly
// build; a number text that differs would break the recorded scenarios there.
template <typename T>
std::string library(T v)
{
    char buf[64];
    return {buf, std::to_chars(buf, buf + sizeof buf, v).ptr};
}

template <typename T>
std::string portable(T v)
{
    char buf[64];
    return {buf, ui::portable::writeShortest(buf, buf + sizeof buf, v).ptr};
}

TEST(Decimal, portableWritingMatchesTheLibraryOnEveryKindOfNumber)
{
    std::mt19937_64 random(7);
    for (int i = 0; i < 200000; ++i) {
        const std::uint64_t bits = random();
        const double any = std::bit_cast<double>(bits);
        const float anyFloat = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        // Whole numbers and short decimals, as positions and scores are.
        const double scaled =
            std::ldexp(static_cast<double>(random() % 100000000), static_cast<int>(random() % 140) - 70);
        for (double v : {any, scaled, std::round(scaled)}) ASSERT_EQ(portable(v), library(v)) << v;
        for (float v : {anyFloat, static_cast<float>(scaled)}) ASSERT_EQ(portable(v), library(v)) << v;
    }
    for (double v : {0.0, -0.0, 1e22, 1e23, 123456789012345680000.0, 5e-324, 1e-5, 0.0001, HUGE_VAL, -HUGE_VAL})
        EXPECT_EQ(portable(v), library(v));
}

TEST(Decimal, portableReadingMatchesTheLibraryAtTheEdges)
{
    for (const char* text :
         {"1e400",     "-1e400", "1e-400", "4e-324", "2e-324", "1e-310",       "0e999", "0.000", "inf",
          "-infinity", "nan",    "1.5",    "+1",     "0x10",   " 1",           "1e",    "1e+",   "12.5e3x",
          ".5",        "5.",     "-0",     "1e-46",  "1e39",   "3.4028236e38", "7e-46", ""}) {
        const char* end = text + std::strlen(text);
        double d1 = 7, d2 = 7;
        float f1 = 7, f2 = 7;
        const auto ld = std::from_chars(text, end, d1);
        const auto pd = ui::portable::readDecimal(text, end, d2);
        const auto lf = std::from_chars(text, end, f1);
        const auto pf = ui::portable::readDecimal(text, end, f2);
        EXPECT_TRUE(ld.ptr == pd.ptr && ld.ec == pd.ec &&
                    std::bit_cast<std::uint64_t>(d1) == std::bit_cast<std::uint64_t>(d2))
            << text;
        EXPECT_TRUE(lf.ptr == pf.ptr && lf.ec == pf.ec &&
                    std::bit_cast<std::uint32_t>(f1) == std::bit_cast<std::uint32_t>(f2))
            << text;
    }
}

}  // namespace
