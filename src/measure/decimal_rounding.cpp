#include "measure/decimal_rounding.h"

#include <cmath>

namespace tonalyx::detail::measurement {

// The exact product a x b as hi + lo (Dekker's, by halves of 26 bits; no
// fused multiply-add, which not every platform has).
static void exactProduct(double a, double b, double& hi, double& lo)
{
    const auto split = [](double x, double& high, double& low) {
        const double c = 134217729.0 * x;  // 2^27 + 1
        high = c - (c - x);
        low = x - high;
    };
    double ah, al, bh, bl;
    split(a, ah, al);
    split(b, bh, bl);
    hi = a * b;
    lo = ((ah * bh - hi) + ah * bl + al * bh) + al * bl;
}

double scaledRounded(double value, int decimals)
{
    double scale = 1.0;
    for (int i = 0; i < decimals; ++i)
        scale *= 10.0;
    double hi, lo;
    exactProduct(value, scale, hi, lo);
    const double whole = std::floor(hi);
    const double fraction = hi - whole;  // exact
    // hi is a multiple of its last place, and so is 0.5: lo (at most half
    // that place) decides only where hi lies exactly halfway.
    const bool odd = whole - 2.0 * std::floor(whole * 0.5) != 0.0;
    const bool up = fraction > 0.5 || (fraction == 0.5 && (lo > 0.0 || (lo == 0.0 && odd)));
    return up ? whole + 1.0 : whole;
}

}  // namespace tonalyx::detail::measurement
