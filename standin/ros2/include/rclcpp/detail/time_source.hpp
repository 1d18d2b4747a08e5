// Simulated time for one node: while the node's use_sim_time parameter is
// true, its ROS clock reports the latest rosgraph_msgs/msg/Clock published on
// "/clock". Real rclcpp receives "/clock" on a dedicated thread, so the clock
// moves without the node being spun; here the graph calls
// on_clock_message synchronously inside the publish call, which is that
// behaviour with an infinitely fast clock thread and keeps replays
// deterministic.
#ifndef STANDIN_RCLCPP__DETAIL__TIME_SOURCE_HPP_
#define STANDIN_RCLCPP__DETAIL__TIME_SOURCE_HPP_

#include <cstdint>
#include <memory>
#include <mutex>

#include "rclcpp/clock.hpp"
#include "rclcpp/detail/graph.hpp"

namespace rclcpp
{
namespace detail
{

class TimeSource : public ClockListener
{
public:
  // Registered with the graph for as long as the returned object lives.
  static std::shared_ptr<TimeSource> create(rclcpp::Clock::SharedPtr clock, std::size_t domain_id);
  ~TimeSource() override;

  void set_use_sim_time(bool use_sim_time);
  void on_clock_message(std::int64_t nanoseconds) override;
  bool listening() const override;

private:
  explicit TimeSource(rclcpp::Clock::SharedPtr clock);

  rclcpp::Clock::SharedPtr clock_;
  mutable std::mutex mutex_;
  bool use_sim_time_ = false;
  // Like rclcpp, the last received time survives switching sim time off and on.
  std::int64_t last_clock_nanoseconds_ = 0;
  std::uint64_t listener_id_ = 0;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__DETAIL__TIME_SOURCE_HPP_
