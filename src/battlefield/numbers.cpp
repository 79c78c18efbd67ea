#include <cmath>
#include <string>

#include "battlefield/form1.h"
#include "ui/decimal.h"

namespace game {

// The castle's life lives only in the bar's caption; every reader parses it.
// A caption that is not a number is a run-time error of the handler reading it.
double Form1::castleLifeOf(const ui::Label& bar)
{
    const std::string& s = bar.Caption;
    std::size_t b = s.find_first_not_of(" \t");
    std::size_t e = s.find_last_not_of(" \t");
    if (b == std::string::npos) throw ui::RuntimeError("type mismatch");
    const char* first = s.data() + b;
    const char* last = s.data() + e + 1;
    if (*first == '+') ++first;
    double value = 0;
    auto [ptr, ec] = ui::readDecimal(first, last, value);
    if (ec != std::errc() || ptr != last || !std::isfinite(value)) throw ui::RuntimeError("type mismatch");
    return value;
}

// Plain decimal text: no leading blank, no group separators, a leading minus
// when negative.
std::string Form1::numberText(double value)
{
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    char buf[64];
    auto [ptr, ec] = ui::writeShortest(buf, buf + sizeof buf, value);
    return std::string(buf, ec == std::errc() ? ptr : buf);
}

}  // namespace game
