#include "align_model/angles.hpp"

#include <cmath>

namespace align_model
{

double normalize_angle(double angle)
{
  return angle - kTwoPi * std::floor((angle + kPi) / kTwoPi);
}

}  // namespace align_model
