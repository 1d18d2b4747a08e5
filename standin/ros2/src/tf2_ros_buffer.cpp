#include "tf2_ros/buffer.h"

#include <sstream>
#include <stdexcept>
#include <thread>
#include <utility>

namespace tf2_ros
{

namespace
{

constexpr std::chrono::milliseconds kPollInterval{10};

void append_timeout_info(
  std::string * errstr, const rclcpp::Time & start_time, const rclcpp::Time & current_time,
  const rclcpp::Duration & timeout)
{
  if (errstr == nullptr) {
    return;
  }
  std::stringstream text;
  text << ". canTransform returned after " << (current_time - start_time).seconds() <<
    " timeout was " << timeout.seconds() << ".";
  *errstr += text.str();
}

}  // namespace

Buffer::Buffer(rclcpp::Clock::SharedPtr clock, tf2::Duration cache_time, rclcpp::Node::SharedPtr node)
: BufferCore(cache_time), clock_(std::move(clock)), node_(std::move(node))
{
  if (clock_ == nullptr) {
    throw std::invalid_argument("clock must be a valid instance");
  }
}

bool Buffer::checkAndErrorDedicatedThreadPresent(std::string * errstr) const
{
  if (isUsingDedicatedThread()) {
    return true;
  }
  if (errstr != nullptr) {
    *errstr = threading_error;
  }
  return false;
}

template<typename ReadyT>
bool Buffer::waitUntil(ReadyT ready, const tf2::Duration timeout, std::string * errstr) const
{
  if (!checkAndErrorDedicatedThreadPresent(errstr)) {
    return false;
  }
  const rclcpp::Duration rclcpp_timeout(timeout);
  const rclcpp::Time start_time = clock_->now();
  while (clock_->now() < start_time + rclcpp_timeout && !ready(nullptr) && rclcpp::ok()) {
    std::this_thread::sleep_for(kPollInterval);
  }
  const bool result = ready(errstr);
  append_timeout_info(errstr, start_time, clock_->now(), rclcpp_timeout);
  return result;
}

geometry_msgs::msg::TransformStamped Buffer::lookupTransform(
  const std::string & target_frame, const std::string & source_frame,
  const tf2::TimePoint & time, const tf2::Duration timeout) const
{
  // Only waits; the lookup itself reports why it fails.
  canTransform(target_frame, source_frame, time, timeout);
  return lookupTransform(target_frame, source_frame, time);
}

geometry_msgs::msg::TransformStamped Buffer::lookupTransform(
  const std::string & target_frame, const std::string & source_frame,
  const rclcpp::Time & time, const rclcpp::Duration timeout) const
{
  return lookupTransform(target_frame, source_frame, fromRclcpp(time), fromRclcpp(timeout));
}

geometry_msgs::msg::TransformStamped Buffer::lookupTransform(
  const std::string & target_frame, const tf2::TimePoint & target_time,
  const std::string & source_frame, const tf2::TimePoint & source_time,
  const std::string & fixed_frame, const tf2::Duration timeout) const
{
  canTransform(target_frame, target_time, source_frame, source_time, fixed_frame, timeout);
  return lookupTransform(target_frame, target_time, source_frame, source_time, fixed_frame);
}

geometry_msgs::msg::TransformStamped Buffer::lookupTransform(
  const std::string & target_frame, const rclcpp::Time & target_time,
  const std::string & source_frame, const rclcpp::Time & source_time,
  const std::string & fixed_frame, const rclcpp::Duration timeout) const
{
  return lookupTransform(
    target_frame, fromRclcpp(target_time), source_frame, fromRclcpp(source_time),
    fixed_frame, fromRclcpp(timeout));
}

bool Buffer::canTransform(
  const std::string & target_frame, const std::string & source_frame,
  const tf2::TimePoint & target_time, const tf2::Duration timeout, std::string * errstr) const
{
  return waitUntil(
    [&](std::string * error) {
      return canTransform(target_frame, source_frame, target_time, error);
    }, timeout, errstr);
}

bool Buffer::canTransform(
  const std::string & target_frame, const std::string & source_frame,
  const rclcpp::Time & time, const rclcpp::Duration timeout, std::string * errstr) const
{
  return canTransform(target_frame, source_frame, fromRclcpp(time), fromRclcpp(timeout), errstr);
}

bool Buffer::canTransform(
  const std::string & target_frame, const tf2::TimePoint & target_time,
  const std::string & source_frame, const tf2::TimePoint & source_time,
  const std::string & fixed_frame, const tf2::Duration timeout, std::string * errstr) const
{
  return waitUntil(
    [&](std::string * error) {
      return canTransform(target_frame, target_time, source_frame, source_time, fixed_frame, error);
    }, timeout, errstr);
}

bool Buffer::canTransform(
  const std::string & target_frame, const rclcpp::Time & target_time,
  const std::string & source_frame, const rclcpp::Time & source_time,
  const std::string & fixed_frame, const rclcpp::Duration timeout, std::string * errstr) const
{
  return canTransform(
    target_frame, fromRclcpp(target_time), source_frame, fromRclcpp(source_time),
    fixed_frame, fromRclcpp(timeout), errstr);
}

}  // namespace tf2_ros
