// Scalar type, constants and math wrappers of the tf2 linear-math types.
#ifndef TF2__LINEARMATH__SCALAR_H_
#define TF2__LINEARMATH__SCALAR_H_

#include <cfloat>
#include <cmath>

// The original library compiles its assertions out on every platform: neither index
// checks nor zero-length checks happen at run time, and callers must not rely on them.
#define tf2Assert(x)
#define tf2FullAssert(x)

#define TF2SIMD_FORCE_INLINE inline
#define ATTRIBUTE_ALIGNED16(a) a __attribute__((aligned(16)))
#define TF2_ATTRIBUTE_ALIGNED16(a) a __attribute__((aligned(16)))

typedef double tf2Scalar;

#define TF2SIMD_2_PI tf2Scalar(6.283185307179586232)
#define TF2SIMD_PI (TF2SIMD_2_PI * tf2Scalar(0.5))
#define TF2SIMD_HALF_PI (TF2SIMD_2_PI * tf2Scalar(0.25))
#define TF2SIMD_RADS_PER_DEG (TF2SIMD_2_PI / tf2Scalar(360.0))
#define TF2SIMD_DEGS_PER_RAD (tf2Scalar(360.0) / TF2SIMD_2_PI)
#define TF2SIMDSQRT12 tf2Scalar(0.7071067811865475244008443621048490)
#define TF2SIMD_EPSILON DBL_EPSILON
#define TF2SIMD_INFINITY DBL_MAX

TF2SIMD_FORCE_INLINE tf2Scalar tf2Sqrt(tf2Scalar x) {return std::sqrt(x);}
TF2SIMD_FORCE_INLINE tf2Scalar tf2Fabs(tf2Scalar x) {return std::fabs(x);}
TF2SIMD_FORCE_INLINE tf2Scalar tf2Cos(tf2Scalar x) {return std::cos(x);}
TF2SIMD_FORCE_INLINE tf2Scalar tf2Sin(tf2Scalar x) {return std::sin(x);}
TF2SIMD_FORCE_INLINE tf2Scalar tf2Tan(tf2Scalar x) {return std::tan(x);}
TF2SIMD_FORCE_INLINE tf2Scalar tf2Atan(tf2Scalar x) {return std::atan(x);}
TF2SIMD_FORCE_INLINE tf2Scalar tf2Atan2(tf2Scalar x, tf2Scalar y) {return std::atan2(x, y);}
TF2SIMD_FORCE_INLINE tf2Scalar tf2Exp(tf2Scalar x) {return std::exp(x);}
TF2SIMD_FORCE_INLINE tf2Scalar tf2Log(tf2Scalar x) {return std::log(x);}
TF2SIMD_FORCE_INLINE tf2Scalar tf2Pow(tf2Scalar x, tf2Scalar y) {return std::pow(x, y);}
TF2SIMD_FORCE_INLINE tf2Scalar tf2Fmod(tf2Scalar x, tf2Scalar y) {return std::fmod(x, y);}

// Rounding can push a cosine a hair outside [-1, 1]; clamping keeps acos/asin finite.
TF2SIMD_FORCE_INLINE tf2Scalar tf2Acos(tf2Scalar x)
{
  if (x < tf2Scalar(-1)) {x = tf2Scalar(-1);}
  if (x > tf2Scalar(1)) {x = tf2Scalar(1);}
  return std::acos(x);
}

TF2SIMD_FORCE_INLINE tf2Scalar tf2Asin(tf2Scalar x)
{
  if (x < tf2Scalar(-1)) {x = tf2Scalar(-1);}
  if (x > tf2Scalar(1)) {x = tf2Scalar(1);}
  return std::asin(x);
}

TF2SIMD_FORCE_INLINE tf2Scalar tf2Atan2Fast(tf2Scalar y, tf2Scalar x)
{
  tf2Scalar coeff_1 = TF2SIMD_PI / 4.0;
  tf2Scalar coeff_2 = 3.0 * coeff_1;
  tf2Scalar abs_y = tf2Fabs(y);
  tf2Scalar angle;
  if (x >= 0.0) {
    tf2Scalar r = (x - abs_y) / (x + abs_y);
    angle = coeff_1 - coeff_1 * r;
  } else {
    tf2Scalar r = (x + abs_y) / (abs_y - x);
    angle = coeff_2 - coeff_1 * r;
  }
  return (y < 0.0) ? -angle : angle;
}

TF2SIMD_FORCE_INLINE bool tf2FuzzyZero(tf2Scalar x) {return tf2Fabs(x) < TF2SIMD_EPSILON;}
TF2SIMD_FORCE_INLINE bool tf2Equal(tf2Scalar a, tf2Scalar eps) {return (a <= eps) && !(a < -eps);}
TF2SIMD_FORCE_INLINE bool tf2GreaterEqual(tf2Scalar a, tf2Scalar eps) {return !(a <= eps);}
TF2SIMD_FORCE_INLINE int tf2IsNegative(tf2Scalar x) {return x < tf2Scalar(0.0) ? 1 : 0;}
TF2SIMD_FORCE_INLINE tf2Scalar tf2Radians(tf2Scalar x) {return x * TF2SIMD_RADS_PER_DEG;}
TF2SIMD_FORCE_INLINE tf2Scalar tf2Degrees(tf2Scalar x) {return x * TF2SIMD_DEGS_PER_RAD;}
TF2SIMD_FORCE_INLINE tf2Scalar tf2Fsel(tf2Scalar a, tf2Scalar b, tf2Scalar c)
{
  return a >= 0 ? b : c;
}

// Wraps an angle into [-pi, pi].
TF2SIMD_FORCE_INLINE tf2Scalar tf2NormalizeAngle(tf2Scalar angleInRadians)
{
  angleInRadians = tf2Fmod(angleInRadians, TF2SIMD_2_PI);
  if (angleInRadians < -TF2SIMD_PI) {
    return angleInRadians + TF2SIMD_2_PI;
  } else if (angleInRadians > TF2SIMD_PI) {
    return angleInRadians - TF2SIMD_2_PI;
  }
  return angleInRadians;
}

#endif  // TF2__LINEARMATH__SCALAR_H_
