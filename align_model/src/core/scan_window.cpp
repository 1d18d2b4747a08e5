#include <cmath>
#include <cstdint>
#include <optional>

#include "align_model/angles.hpp"
#include "align_model/select_scan_data_from_angle.hpp"

namespace align_model
{
namespace
{

// Window ends further than this from angle_min are refused instead of wrapped:
// the wrap adds or subtracts 2pi one turn at a time, and far away (or at huge
// magnitudes, where adding 2pi no longer changes the value) it would not end.
constexpr double kMaxTurnsFromAngleMin = 1000.0;

// Enough steps for any angle within the bound above; a wrap that has not
// settled by then is not making progress.
constexpr int kMaxWrapSteps = 1100;

// 2^64: the first double that no longer fits an unsigned 64-bit count.
constexpr double kFirstUnrepresentableCount = 18446744073709551616.0;

// The offset d = a - angle_min brought into (0, 2pi] by adding or subtracting
// 2pi to the angle step by step. The steps are taken one by one rather than
// computed in one go, because each addition rounds and the readings counts
// downstream must come out exactly as this stepping produces them.
std::optional<double> offset_from_angle_min(double angle, double angle_min)
{
  if (!std::isfinite(angle) ||
    std::fabs(angle - angle_min) > kMaxTurnsFromAngleMin * kTwoPi)
  {
    return std::nullopt;
  }
  double wrapped = angle;
  for (int step = 0; step < kMaxWrapSteps; ++step) {
    const double offset = wrapped - angle_min;
    if (offset <= 0.0) {
      wrapped += kTwoPi;
    } else if (offset > kTwoPi) {
      wrapped -= kTwoPi;
    } else {
      return offset;
    }
  }
  return std::nullopt;
}

// ceil(offset / increment) as a count of readings. A negative count counts as
// beyond any scan, and a count too large for 64 bits is refused before the
// conversion, which would otherwise be undefined.
std::optional<std::uint64_t> readings_up_to(double offset, double increment)
{
  const double count = std::ceil(offset / increment);
  if (!(count >= 0.0 && count < kFirstUnrepresentableCount)) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(count);
}

std::optional<std::uint64_t> readings_of_one_turn(
  double angle_min, double increment, TurnCount turn_count)
{
  if (turn_count == TurnCount::kTwoPiOverIncrement) {
    return readings_up_to(kTwoPi, increment);
  }
  const auto offset = offset_from_angle_min(angle_min, angle_min);
  if (!offset) {
    return std::nullopt;
  }
  return readings_up_to(*offset, increment);
}

std::optional<std::uint64_t> reading_index(double angle, double angle_min, double increment)
{
  const auto offset = offset_from_angle_min(angle, angle_min);
  if (!offset) {
    return std::nullopt;
  }
  return readings_up_to(*offset, increment);
}

}  // namespace

std::optional<ScanWindow> compute_scan_window(
  float angle_min, float angle_increment, double min_angle, double max_angle, TurnCount turn_count)
{
  const double increment = angle_increment;
  const double first_angle = angle_min;
  if (!std::isfinite(increment) || !(increment > 0.0) || !std::isfinite(first_angle)) {
    return std::nullopt;
  }
  const auto start = reading_index(min_angle, first_angle, increment);
  const auto end = reading_index(max_angle, first_angle, increment);
  const auto turn = readings_of_one_turn(first_angle, increment, turn_count);
  if (!start || !end || !turn) {
    return std::nullopt;
  }
  return ScanWindow{*start, *end, *turn};
}

}  // namespace align_model
