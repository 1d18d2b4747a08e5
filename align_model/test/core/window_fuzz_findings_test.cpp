// Scans found by fuzzing the feature program (scripts/fuzz feature_node)
// that break the window selection.
#include <gtest/gtest.h>

#include <memory>

#include "align_model/select_scan_data_from_angle.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace
{

using align_model::TurnCount;

// angle_min 60 rad and an increment of 2.15 rad (three readings per turn
// under the feature program's count) with the default window -3.14..3.14:
// the offset of angle_min from itself rounds to a few ulps instead of 2pi, so
// one turn counts a single reading; the window wraps through the first
// reading and starts beyond that turn, and copying "start..turn-1" threw
// std::length_error out of the scan callback (the program ended). It is
// refused like any window that does not fit.
TEST(WindowFuzzFindings, WrappingWindowStartingPastOneTurnIsNotThrown)
{
  auto scan = std::make_shared<sensor_msgs::msg::LaserScan>();
  scan->angle_min = 60.0f;
  scan->angle_max = 0.0043633231f;
  scan->angle_increment = 2.15f;
  scan->ranges.assign(3938, 0.0f);
  scan->intensities.assign(3938, 0.0f);

  const auto window = align_model::compute_scan_window(
    scan->angle_min, scan->angle_increment, -3.14, 3.14, TurnCount::kOffsetOfAngleMin);
  ASSERT_TRUE(window.has_value());
  RecordProperty("window", std::to_string(window->start) + ".." + std::to_string(window->end) + " turn " +
    std::to_string(window->turn));

  auto selected = std::make_shared<sensor_msgs::msg::LaserScan>();
  bool accepted = false;
  EXPECT_NO_THROW(accepted = align_model::select_scan_data_from_angle(scan, selected, -3.14, 3.14))
    << "window " << window->start << ".." << window->end << ", turn " << window->turn;
  EXPECT_FALSE(accepted);
  EXPECT_TRUE(selected->ranges.empty());
  EXPECT_LT(window->turn, window->start);
}

}  // namespace
