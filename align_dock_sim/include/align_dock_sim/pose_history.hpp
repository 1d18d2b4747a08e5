// Where the robot was, by odometry, at a given time: a scan's pose is
// brought into the odom frame with the odometry of the moment the scan was
// taken, not of the moment its pose arrived.
#ifndef ALIGN_DOCK_SIM__POSE_HISTORY_HPP_
#define ALIGN_DOCK_SIM__POSE_HISTORY_HPP_

#include <cstdint>
#include <deque>
#include <optional>

#include "align_tools/surface_scan.hpp"

namespace align_dock_sim
{

using align_tools::Pose2D;

class PoseHistory
{
public:
  // Keeps the poses of the last `span_ns`; a lookup may run `tolerance_ns`
  // past the newest pose (it then gives the newest).
  PoseHistory(std::int64_t span_ns, std::int64_t tolerance_ns)
  : span_ns_(span_ns), tolerance_ns_(tolerance_ns) {}

  // Times must increase; an older or equal time starts the history over.
  void add(std::int64_t time_ns, const Pose2D & pose);
  void clear() {entries_.clear();}

  // The pose at `time_ns`, interpolated between the two poses around it
  // (the heading along the shorter turn); nullopt outside the history.
  std::optional<Pose2D> at(std::int64_t time_ns) const;
  std::optional<Pose2D> newest() const;

private:
  struct Entry
  {
    std::int64_t time_ns;
    Pose2D pose;
  };
  std::int64_t span_ns_;
  std::int64_t tolerance_ns_;
  std::deque<Entry> entries_;
};

}  // namespace align_dock_sim

#endif  // ALIGN_DOCK_SIM__POSE_HISTORY_HPP_
