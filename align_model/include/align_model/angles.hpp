#ifndef ALIGN_MODEL__ANGLES_HPP_
#define ALIGN_MODEL__ANGLES_HPP_

namespace align_model
{

// The constants both programs compute with, as literals so that every build
// rounds them the same way.
constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kTwoPi = 6.283185307179586;

// Maps an angle into [-pi, pi): a - 2pi * floor((a + pi) / 2pi), in double.
double normalize_angle(double angle);

}  // namespace align_model

#endif  // ALIGN_MODEL__ANGLES_HPP_
