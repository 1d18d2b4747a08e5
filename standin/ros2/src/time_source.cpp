#include "rclcpp/detail/time_source.hpp"

#include <utility>

namespace rclcpp
{
namespace detail
{

std::shared_ptr<TimeSource> TimeSource::create(rclcpp::Clock::SharedPtr clock, std::size_t domain_id)
{
  std::shared_ptr<TimeSource> source(new TimeSource(std::move(clock)));
  source->listener_id_ = Graph::instance().add_clock_listener(source, domain_id);
  return source;
}

TimeSource::TimeSource(rclcpp::Clock::SharedPtr clock)
: clock_(std::move(clock))
{}

TimeSource::~TimeSource()
{
  Graph::instance().remove_clock_listener(listener_id_);
}

void TimeSource::set_use_sim_time(bool use_sim_time)
{
  std::lock_guard<std::mutex> lock(mutex_);
  use_sim_time_ = use_sim_time;
  set_ros_time_override(*clock_, use_sim_time_, last_clock_nanoseconds_);
}

void TimeSource::on_clock_message(std::int64_t nanoseconds)
{
  std::lock_guard<std::mutex> lock(mutex_);
  // Real rclcpp only subscribes to "/clock" while sim time is on.
  if (!use_sim_time_) {
    return;
  }
  last_clock_nanoseconds_ = nanoseconds;
  set_ros_time_override(*clock_, true, nanoseconds);
}

bool TimeSource::listening() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return use_sim_time_;
}

}  // namespace detail
}  // namespace rclcpp
