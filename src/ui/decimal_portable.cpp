// The conversions the standard library gives, built from fast_float (reading)
// and Dragonbox (the shortest digits), for a library that lacks them.

#include <dragonbox/dragonbox.h>
#include <fast_float/fast_float.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "ui/decimal.h"

namespace ui::portable {

namespace {

// The library says a number too large for the type, or too small to be told
// from zero, is out of range, and leaves the value as it was; fast_float
// rounds it to infinity or zero.
template <typename T>
std::from_chars_result read(const char* first, const char* last, T& value)
{
    T v = 0;
    const fast_float::from_chars_result r = fast_float::from_chars(first, last, v);
    if (r.ec != std::errc()) return {r.ptr, r.ec};
    const char* p = first;
    if (p != last && *p == '-') ++p;
    const bool wordy = p != r.ptr && (*p == 'i' || *p == 'I' || *p == 'n' || *p == 'N');
    if (!wordy) {
        if (std::isinf(v)) return {r.ptr, std::errc::result_out_of_range};
        if (v == 0) {
            // Zero only when every digit before the exponent is.
            for (const char* q = p; q != r.ptr && *q != 'e' && *q != 'E'; ++q)
                if (*q >= '1' && *q <= '9') return {r.ptr, std::errc::result_out_of_range};
        }
    }
    value = v;
    return {r.ptr, std::errc()};
}

// Whole numbers of up to 23 digits (a double's in fixed notation).
__extension__ typedef unsigned __int128 Wide;

template <typename U>
int digitCount(U n)
{
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

// Writes n's decimal digits at `at`, `count` of them.
template <typename U>
void putDigits(char* at, U n, int count)
{
    for (int i = count - 1; i >= 0; --i) {
        at[i] = static_cast<char>('0' + static_cast<int>(n % 10));
        n /= 10;
    }
}

// As std::to_chars(first, last, value): the shortest digits that read back to
// the value, in fixed or scientific notation, whichever is shorter (fixed on a
// tie). A whole number in fixed notation shows its exact digits, as the
// library prints it.
template <typename T>
std::to_chars_result write(char* first, char* last, T value)
{
    char text[64];
    char* out = text;
    if (std::signbit(value)) *out++ = '-';
    if (std::isnan(value) || std::isinf(value)) {
        const char* word = std::isnan(value) ? "nan" : "inf";
        std::memcpy(out, word, 3);
        out += 3;
    } else if (value == 0) {
        *out++ = '0';
    } else {
        const auto decimal = jkj::dragonbox::to_decimal(value);
        const auto sig = decimal.significand;
        const int exp = decimal.exponent;
        const int digits = digitCount(sig);
        const int sciExp = exp + digits - 1;
        const int sciExpDigits = std::max(2, digitCount(static_cast<unsigned>(sciExp < 0 ? -sciExp : sciExp)));
        const int sciLength = digits + (digits > 1 ? 1 : 0) + 2 + sciExpDigits;
        const int fixedLength = exp >= 0 ? digits + exp : (-exp < digits ? digits + 1 : 2 - exp);
        if (fixedLength <= sciLength) {
            if (exp >= 0) {
                const auto whole = static_cast<Wide>(std::fabs(static_cast<double>(value)));
                putDigits(out, whole, digits + exp);
                out += digits + exp;
            } else if (-exp < digits) {
                const int intDigits = digits + exp;
                char all[24];
                putDigits(all, sig, digits);
                std::memcpy(out, all, static_cast<std::size_t>(intDigits));
                out += intDigits;
                *out++ = '.';
                std::memcpy(out, all + intDigits, static_cast<std::size_t>(-exp));
                out += -exp;
            } else {
                *out++ = '0';
                *out++ = '.';
                std::memset(out, '0', static_cast<std::size_t>(-exp - digits));
                out += -exp - digits;
                putDigits(out, sig, digits);
                out += digits;
            }
        } else {
            char all[24];
            putDigits(all, sig, digits);
            *out++ = all[0];
            if (digits > 1) {
                *out++ = '.';
                std::memcpy(out, all + 1, static_cast<std::size_t>(digits - 1));
                out += digits - 1;
            }
            *out++ = 'e';
            *out++ = sciExp < 0 ? '-' : '+';
            putDigits(out, static_cast<unsigned>(sciExp < 0 ? -sciExp : sciExp), sciExpDigits);
            out += sciExpDigits;
        }
    }
    const auto n = out - text;
    if (last - first < n) return {last, std::errc::value_too_large};
    std::memcpy(first, text, static_cast<std::size_t>(n));
    return {first + n, std::errc()};
}

}  // namespace

std::from_chars_result readDecimal(const char* first, const char* last, double& value)
{
    return read(first, last, value);
}
std::from_chars_result readDecimal(const char* first, const char* last, float& value)
{
    return read(first, last, value);
}
std::to_chars_result writeShortest(char* first, char* last, double value)
{
    return write(first, last, value);
}
std::to_chars_result writeShortest(char* first, char* last, float value)
{
    return write(first, last, value);
}

}  // namespace ui::portable
