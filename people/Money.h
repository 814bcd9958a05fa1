#pragma once
// Money as the pay calculation keeps it: a 64-bit count of ten-thousandths.
// Products and sums are worked out in floating point and rounded once to the
// unit, halves to the even neighbour, so that a week's amounts do not drift
// with the order in which days are added.
#include <cmath>
#include <compare>
#include <cstdint>
#include <limits>

namespace hv {

inline constexpr std::int64_t kMoneyScale = 10000;

// The whole count nearest to x, halves to the even neighbour. Done by hand
// rather than with std::nearbyint so that a caller's rounding mode cannot
// change a pay amount. A value that is not a number gives 0 (an undefined
// amount must not become a huge one); values beyond the range are clamped.
inline std::int64_t RoundUnits(double x)
{
    if (std::isnan(x))
        return 0;
    // 2^63 is the first value beyond the range; every double below it is a
    // whole number from 2^52 on, so the +1 below never runs past the top.
    constexpr double kBeyond = 9223372036854775808.0;
    if (x >= kBeyond)
        return std::numeric_limits<std::int64_t>::max();
    if (x < -kBeyond)
        return std::numeric_limits<std::int64_t>::min();
    double whole = std::floor(x);
    double rest = x - whole;
    auto n = static_cast<std::int64_t>(whole);
    if (rest > 0.5 || (rest == 0.5 && (n % 2 != 0)))
        ++n;
    return n;
}

class Money {
public:
    constexpr Money() = default;
    static constexpr Money FromUnits(std::int64_t units) { return Money(units); }
    // The amount rounded to the nearest ten-thousandth.
    static Money FromAmount(double amount) { return Money(RoundUnits(amount * double(kMoneyScale))); }

    constexpr std::int64_t Units() const { return m_units; }
    constexpr double Amount() const { return double(m_units) / double(kMoneyScale); }

    constexpr Money operator+(Money other) const { return Money(m_units + other.m_units); }
    constexpr Money operator-(Money other) const { return Money(m_units - other.m_units); }
    constexpr Money& operator+=(Money other)
    {
        m_units += other.m_units;
        return *this;
    }
    constexpr auto operator<=>(const Money&) const = default;

private:
    constexpr explicit Money(std::int64_t units) : m_units(units) {}
    std::int64_t m_units = 0;
};

} // namespace hv
