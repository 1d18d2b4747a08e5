#include "align_nav2_dock/detection_demand.hpp"

namespace align_nav2_dock
{

DetectionDemand::DetectionDemand(double release_after)
: release_after_(release_after)
{
}

bool DetectionDemand::request(double now)
{
  const bool starts = !active_;
  active_ = true;
  last_request_ = now;
  return starts;
}

bool DetectionDemand::release_due(double now) const
{
  if (!active_) {
    return false;
  }
  const double silence = now - last_request_;
  return silence >= release_after_ || silence < 0.0;
}

void DetectionDemand::release()
{
  active_ = false;
}

}  // namespace align_nav2_dock
