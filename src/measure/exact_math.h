// Sine, cosine, arc tangent and decimal logarithm from IEEE basic
// operations only, so that every platform gets the same bits: the C
// library's versions differ in their last bits from one library to the
// next. Angles are in turns (1 turn = 2 pi radians), which keeps the
// reduction of large angles exact.
#pragma once

namespace tonalyx::detail::measurement {

struct Phasor {
    double re = 0.0, im = 0.0;
};

// cos(2 pi t) and sin(2 pi t), to within a few units in the last place.
Phasor unitOfTurns(double turns);

// The angle of (x, y) in turns, -0.5 to 0.5 (atan2(y, x) / 2 pi); 0 for
// (0, 0).
double turnsOf(double y, double x);

// log10(value) for a finite value > 0.
double decimalLog(double value);

// value - floor(value): the fraction of a turn.
double fractionOf(double value);

}  // namespace tonalyx::detail::measurement
