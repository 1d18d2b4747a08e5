// When the plugin listens to the laser: from the first refinement request of
// a docking action until requests stop coming. The docking server asks for
// the refined pose every control cycle while it perceives or approaches the
// dock, and not at all between actions, so a silence of a few control
// periods means the action has ended (or backs off to retry). Times are the
// server clock's, in seconds.
#ifndef ALIGN_NAV2_DOCK__DETECTION_DEMAND_HPP_
#define ALIGN_NAV2_DOCK__DETECTION_DEMAND_HPP_

namespace align_nav2_dock
{

class DetectionDemand
{
public:
  // `release_after`: seconds without a request after which the scans are no
  // longer needed.
  explicit DetectionDemand(double release_after);

  // A refinement request at `now`. True when it starts a demand: the caller
  // subscribes to the scan (and starts the detection afresh).
  bool request(double now);
  // True while a demand is open and its last request is `release_after` or
  // more in the past (or in the future: a clock that jumped back, as
  // simulated time does on a restart, must not keep the laser forever).
  bool release_due(double now) const;
  // The caller unsubscribed: the demand is closed.
  void release();
  bool active() const {return active_;}

private:
  double release_after_;
  bool active_ = false;
  double last_request_ = 0.0;
};

}  // namespace align_nav2_dock

#endif  // ALIGN_NAV2_DOCK__DETECTION_DEMAND_HPP_
