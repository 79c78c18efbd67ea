#pragma once

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <type_traits>

#include "ui/decimal.h"

// Just enough JSON for the state dump: numbers that read back exactly, and
// strings escaped as the standard asks.
namespace json {

inline std::string quoted(const std::string& s)
{
    std::string out = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
}

// Shortest text that reads back to the same value; non-finite values as strings.
template <typename T>
std::string number(T v)
{
    if (std::isnan(v)) return "\"nan\"";
    if (std::isinf(v)) return v > 0 ? "\"inf\"" : "\"-inf\"";
    char buf[64];
    char* end = nullptr;
    if constexpr (std::is_floating_point_v<T>)
        end = ui::writeShortest(buf, buf + sizeof buf, v).ptr;
    else
        end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    return std::string(buf, end);
}

template <typename T>
std::string number(const std::optional<T>& v)
{
    return v ? number(*v) : std::string("null");
}

}  // namespace json
