// Bytes become a sequence of input events played into a started game: keys of
// any code, any button number, presses anywhere (finite coordinates only: the
// window never reports a NaN and the simulator refuses one), resizes from
// 1 x 1 to the largest single, and time steps. After every event and every
// millisecond at which timers fire, the rules of testing/invariants.h
// must hold.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "testing/invariants.h"

namespace {

// Virtual time per input: enough for the third wave (02:05) and a few end
// games, small enough to keep every input fast.
constexpr std::int64_t kMaxVirtualMs = 150'000;
constexpr int kMaxEvents = 2000;

constexpr float kMax = std::numeric_limits<float>::max();

game::KeyCode keyCode(FuzzedDataProvider& in)
{
    static constexpr std::array<game::KeyCode, 16> kCodes{87,
                                                          65,
                                                          83,
                                                          68,
                                                          49,
                                                          50,
                                                          51,
                                                          0,
                                                          255,
                                                          -1,
                                                          256,
                                                          65536,
                                                          -32768,
                                                          std::numeric_limits<game::KeyCode>::min(),
                                                          std::numeric_limits<game::KeyCode>::max(),
                                                          1LL << 40};
    if (in.ConsumeBool()) return kCodes[in.ConsumeIntegralInRange<std::size_t>(0, kCodes.size() - 1)];
    return in.ConsumeIntegral<game::KeyCode>();
}

std::int16_t button(FuzzedDataProvider& in)
{
    static constexpr std::array<std::int16_t, 10> kButtons{1, 2, 4, 1, 2, 0, 3, -1, 32767, -32768};
    if (in.ConsumeIntegralInRange<int>(0, 7) != 0)
        return kButtons[in.ConsumeIntegralInRange<std::size_t>(0, kButtons.size() - 1)];
    return in.ConsumeIntegral<std::int16_t>();
}

float coordinate(FuzzedDataProvider& in, const game::Form1& f, bool horizontal)
{
    static constexpr std::array<float, 12> kPoints{0.0f,  -0.0f, 15.0f, -15.0f, 24120.0f, 13455.0f,
                                                   -1e6f, 1e6f,  1e30f, -1e30f, kMax,     -kMax};
    switch (in.ConsumeIntegralInRange<int>(0, 5)) {
        case 0:
            return kPoints[in.ConsumeIntegralInRange<std::size_t>(0, kPoints.size() - 1)];
        case 1:
            return horizontal ? f.picHero.Left : f.picHero.Top;  // a cast at zero distance
        case 2:
            return std::numeric_limits<float>::denorm_min();
        case 3:
            return in.ConsumeFloatingPoint<float>();  // any finite single
        default:
            return in.ConsumeFloatingPointInRange<float>(-3000.0f, horizontal ? 27000.0f : 15000.0f);
    }
}

float extent(FuzzedDataProvider& in)
{
    // 1 twip, 1 pixel, the design size, the largest real window, the largest single.
    static constexpr std::array<float, 8> kSizes{1.0f, 15.0f, 24120.0f, 13455.0f, 251658225.0f, 1e30f, kMax, 7000.0f};
    if (in.ConsumeBool()) return kSizes[in.ConsumeIntegralInRange<std::size_t>(0, kSizes.size() - 1)];
    return in.ConsumeFloatingPointInRange<float>(std::numeric_limits<float>::denorm_min(), kMax);
}

[[noreturn]] void broken(const std::string& why)
{
    std::fprintf(stderr, "broken rule: %s\n", why.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    zorvane_checks::Session game;
    const game::Form1& f = game.form();
    std::int64_t budget = kMaxVirtualMs;
    auto pass = [&](std::int64_t ms) {
        ms = std::min(ms, budget);
        budget -= ms;
        if (std::string why = game.advance(ms); !why.empty()) broken(why);
    };

    for (int events = 0; events < kMaxEvents && in.remaining_bytes() > 0; ++events) {
        switch (in.ConsumeIntegralInRange<int>(0, 9)) {
            case 0:
                game.apply(game::Input::keyDown(keyCode(in)));
                break;
            case 1:
                game.apply(game::Input::keyUp(keyCode(in)));
                break;
            case 2: {
                const std::int16_t b = button(in);
                const float x = coordinate(in, f, true);
                game.apply(game::Input::mouseDown(b, x, coordinate(in, f, false)));
                break;
            }
            case 3: {
                const std::int16_t b = button(in);
                const float x = coordinate(in, f, true);
                game.apply(game::Input::mouseUp(b, x, coordinate(in, f, false)));
                break;
            }
            case 4: {  // a click: press and release at one point
                const std::int16_t b = button(in);
                const float x = coordinate(in, f, true);
                const float y = coordinate(in, f, false);
                game.apply(game::Input::mouseDown(b, x, y));
                game.apply(game::Input::mouseUp(b, x, y));
                break;
            }
            case 5: {
                const float w = extent(in);
                game.apply(game::Input::fieldSize(w, extent(in)));
                break;
            }
            case 6:
                pass(in.ConsumeIntegralInRange<std::int64_t>(0, 120));
                break;
            case 7:
                pass(in.ConsumeIntegralInRange<std::int64_t>(0, 10'000));
                break;
            default:
                pass(in.ConsumeIntegralInRange<std::int64_t>(0, 1'000));
                break;
        }
        if (std::string why = game.check(); !why.empty()) broken(why);
    }
    return 0;
}
