#pragma once

#include <charconv>

namespace ui {

// Decimal text of floating-point numbers, exactly as std::from_chars and the
// shortest std::to_chars do it. Every build reads and writes numbers through
// these, so a caption, a script or a dump gives the same bytes whichever
// standard library the game was built with: where the library lacks the
// floating-point conversions (the WebAssembly build's), the portable ones
// below stand in.
std::from_chars_result readDecimal(const char* first, const char* last, double& value);
std::from_chars_result readDecimal(const char* first, const char* last, float& value);
std::to_chars_result writeShortest(char* first, char* last, double value);
std::to_chars_result writeShortest(char* first, char* last, float value);

// The same conversions without the standard library's: what the functions
// above use where it has none. Tests hold them to the library's.
namespace portable {
std::from_chars_result readDecimal(const char* first, const char* last, double& value);
std::from_chars_result readDecimal(const char* first, const char* last, float& value);
std::to_chars_result writeShortest(char* first, char* last, double value);
std::to_chars_result writeShortest(char* first, char* last, float value);
}  // namespace portable

}  // namespace ui
