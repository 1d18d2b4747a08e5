#include "align_model/static_frame_listener.hpp"

#include <exception>
#include <system_error>
#include <thread>
#include <utility>

#include "tf2/LinearMath/Matrix3x3.h"
#include "tf2/LinearMath/Quaternion.h"
#include "tf2/LinearMath/Vector3.h"
#include "tf2/exceptions.h"
#include "tf2/time.h"
#include "tf2_ros/buffer.h"
#include "tf2_ros/transform_listener.h"

namespace align_model
{
namespace
{

constexpr std::chrono::nanoseconds kWorkerWindow{4999999999};
constexpr std::chrono::milliseconds kRetryPause{20};
constexpr std::chrono::seconds kBufferCacheTime{10};
// A Humble transform listener destroyed right after its construction loses
// the cancel of its spin thread (the executor re-arms its flag when it starts
// spinning) and then blocks until the context shuts down. Observed in almost
// every run without a pause, never with 20 ms between the two.
constexpr std::chrono::milliseconds kListenerMinimumLifetime{20};

// Workers of every listener that are still alive, counted from their start
// request until their last access to shared state.
std::atomic<int> & live_workers()
{
  static std::atomic<int> count{0};
  return count;
}

tf2::Transform to_transform(const geometry_msgs::msg::TransformStamped & stamped)
{
  const auto & q = stamped.transform.rotation;
  const auto & t = stamped.transform.translation;
  tf2::Matrix3x3 basis;
  basis.setRotation(tf2::Quaternion(q.x, q.y, q.z, q.w));
  return tf2::Transform(basis, tf2::Vector3(t.x, t.y, t.z));
}

// Keeps the transform listener alive for at least kListenerMinimumLifetime.
class ListenerLifetimeGuard
{
public:
  ListenerLifetimeGuard()
  : created_(std::chrono::steady_clock::now()) {}
  ~ListenerLifetimeGuard()
  {
    const auto age = std::chrono::steady_clock::now() - created_;
    if (age < kListenerMinimumLifetime) {
      std::this_thread::sleep_for(kListenerMinimumLifetime - age);
    }
  }

private:
  std::chrono::steady_clock::time_point created_;
};

}  // namespace

std::string transform_key(const std::string & target_frame, const std::string & source_frame)
{
  return source_frame + "_" + target_frame;
}

StaticFrameListenerImpl::StaticFrameListenerImpl(rclcpp::Node * node)
: node_(node) {}

bool StaticFrameListenerImpl::has_transform(
  const std::string & target_frame, const std::string & source_frame)
{
  std::lock_guard<std::mutex> lock(mutex_);
  const bool stored = stamped_transforms_.count(transform_key(target_frame, source_frame)) > 0;
  if (!stored && !running_.load()) {
    prepare(target_frame, source_frame);
  }
  return stored;
}

tf2::Transform StaticFrameListenerImpl::get_transform(
  const std::string & target_frame, const std::string & source_frame) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  const auto entry = transforms_.find(transform_key(target_frame, source_frame));
  if (entry == transforms_.end()) {
    return tf2::Transform::getIdentity();
  }
  return entry->second;
}

bool StaticFrameListenerImpl::is_stored(
  const std::string & target_frame, const std::string & source_frame) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return stamped_transforms_.count(transform_key(target_frame, source_frame)) > 0;
}

void StaticFrameListenerImpl::prepare(
  const std::string & target_frame, const std::string & source_frame)
{
  // Taken here, on the executor thread, so that the worker never touches the
  // node, which may be destroyed while the worker still runs.
  rclcpp::Clock::SharedPtr clock = node_->get_clock();
  ++live_workers();
  try {
    std::thread(&StaticFrameListenerImpl::run_worker, shared_from_this(), std::move(clock),
      target_frame, source_frame).detach();
    ++worker_starts_;
  } catch (const std::system_error &) {
    // No thread to be had: the scan is dropped anyway and a later one retries.
    --live_workers();
  }
}

void StaticFrameListenerImpl::request_stop()
{
  stop_requested_.store(true);
}

bool StaticFrameListenerImpl::is_running() const
{
  return running_.load();
}

std::size_t StaticFrameListenerImpl::worker_starts() const
{
  return worker_starts_.load();
}

void StaticFrameListenerImpl::run_worker(
  std::shared_ptr<StaticFrameListenerImpl> self, rclcpp::Clock::SharedPtr clock,
  std::string target_frame, std::string source_frame)
{
  self->running_.store(true);
  try {
    self->look_up_until_stored(clock, target_frame, source_frame);
  } catch (const std::exception &) {
    // Typically the context was shut down under us; a later scan retries.
  }
  self->running_.store(false);
  self.reset();
  clock.reset();
  --live_workers();
}

void StaticFrameListenerImpl::look_up_until_stored(
  const rclcpp::Clock::SharedPtr & clock, const std::string & target_frame,
  const std::string & source_frame)
{
  const auto start = std::chrono::system_clock::now();
  tf2_ros::Buffer buffer(clock, tf2::Duration(kBufferCacheTime));
  tf2_ros::TransformListener listener(buffer, true);
  // Declared after the listener, so it is destroyed (and waits) before it.
  ListenerLifetimeGuard lifetime_guard;
  while (!stop_requested_.load()) {
    if (std::chrono::system_clock::now() - start > kWorkerWindow) {
      return;
    }
    try {
      store_result(
        transform_key(target_frame, source_frame),
        buffer.lookupTransform(target_frame, source_frame, tf2::TimePointZero));
      return;
    } catch (const tf2::TransformException &) {
      std::this_thread::sleep_for(kRetryPause);
    }
  }
}

void StaticFrameListenerImpl::store_result(
  const std::string & key, const geometry_msgs::msg::TransformStamped & stamped)
{
  const tf2::Transform transform = to_transform(stamped);
  std::lock_guard<std::mutex> lock(mutex_);
  stamped_transforms_[key] = stamped;
  transforms_[key] = transform;
}

StaticFrameListener::StaticFrameListener(rclcpp::Node * node)
: impl_(std::make_shared<StaticFrameListenerImpl>(node)) {}

StaticFrameListener::~StaticFrameListener()
{
  impl_->request_stop();
}

bool StaticFrameListener::has_transform(
  const std::string & target_frame, const std::string & source_frame)
{
  return impl_->has_transform(target_frame, source_frame);
}

tf2::Transform StaticFrameListener::get_transform(
  const std::string & target_frame, const std::string & source_frame) const
{
  return impl_->get_transform(target_frame, source_frame);
}

bool StaticFrameListener::is_stored(
  const std::string & target_frame, const std::string & source_frame) const
{
  return impl_->is_stored(target_frame, source_frame);
}

bool StaticFrameListener::is_worker_running() const
{
  return impl_->is_running();
}

std::size_t StaticFrameListener::worker_starts() const
{
  return impl_->worker_starts();
}

bool StaticFrameListener::wait_for_workers(std::chrono::milliseconds timeout)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (live_workers().load() > 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace align_model
