#include "ui/decimal.h"

namespace ui {

#if ZORVANE_PORTABLE_DECIMAL

std::from_chars_result readDecimal(const char* first, const char* last, double& value)
{
    return portable::readDecimal(first, last, value);
}
std::from_chars_result readDecimal(const char* first, const char* last, float& value)
{
    return portable::readDecimal(first, last, value);
}
std::to_chars_result writeShortest(char* first, char* last, double value)
{
    return portable::writeShortest(first, last, value);
}
std::to_chars_result writeShortest(char* first, char* last, float value)
{
    return portable::writeShortest(first, last, value);
}

#else

std::from_chars_result readDecimal(const char* first, const char* last, double& value)
{
    return std::from_chars(first, last, value);
}
std::from_chars_result readDecimal(const char* first, const char* last, float& value)
{
    return std::from_chars(first, last, value);
}
std::to_chars_result writeShortest(char* first, char* last, double value)
{
    return std::to_chars(first, last, value);
}
std::to_chars_result writeShortest(char* first, char* last, float value)
{
    return std::to_chars(first, last, value);
}

#endif

}  // namespace ui
