#include "align_dock_sim/pose_history.hpp"

#include <algorithm>

#include "align_model/angles.hpp"

namespace align_dock_sim
{

void PoseHistory::add(std::int64_t time_ns, const Pose2D & pose)
{
  if (!entries_.empty() && time_ns <= entries_.back().time_ns) {
    entries_.clear();
  }
  entries_.push_back({time_ns, pose});
  while (entries_.size() > 2 && entries_.front().time_ns < time_ns - span_ns_) {
    entries_.pop_front();
  }
}

std::optional<Pose2D> PoseHistory::at(std::int64_t time_ns) const
{
  if (entries_.empty() || time_ns < entries_.front().time_ns ||
    time_ns > entries_.back().time_ns + tolerance_ns_)
  {
    return std::nullopt;
  }
  if (time_ns >= entries_.back().time_ns) {
    return entries_.back().pose;
  }
  const auto after = std::upper_bound(
    entries_.begin(), entries_.end(), time_ns,
    [](std::int64_t t, const Entry & entry) {return t < entry.time_ns;});
  const auto before = after - 1;
  const double f = static_cast<double>(time_ns - before->time_ns) /
    static_cast<double>(after->time_ns - before->time_ns);
  const Pose2D & a = before->pose;
  const Pose2D & b = after->pose;
  return Pose2D{
    a.x + f * (b.x - a.x), a.y + f * (b.y - a.y),
    align_model::normalize_angle(a.yaw + f * align_model::normalize_angle(b.yaw - a.yaw))};
}

std::optional<Pose2D> PoseHistory::newest() const
{
  if (entries_.empty()) {
    return std::nullopt;
  }
  return entries_.back().pose;
}

}  // namespace align_dock_sim
