#ifndef ALIGN_MODEL__STATIC_FRAME_LISTENER_HPP_
#define ALIGN_MODEL__STATIC_FRAME_LISTENER_HPP_

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "geometry_msgs/msg/transform_stamped.hpp"
#include "rclcpp/rclcpp.hpp"
#include "tf2/LinearMath/Transform.h"

namespace align_model
{

// Key under which a frame pair is stored: source, "_", target. Distinct pairs
// may share a key (source "a_b" / target "c" and source "a" / target "b_c").
std::string transform_key(const std::string & target_frame, const std::string & source_frame);

// The state shared between the node's listener and its background workers.
// Workers hold it through a shared_ptr, so it lives until the last worker has
// ended even when the node is gone.
class StaticFrameListenerImpl : public std::enable_shared_from_this<StaticFrameListenerImpl>
{
public:
  explicit StaticFrameListenerImpl(rclcpp::Node * node);

  StaticFrameListenerImpl(const StaticFrameListenerImpl &) = delete;
  StaticFrameListenerImpl & operator=(const StaticFrameListenerImpl &) = delete;

  bool has_transform(const std::string & target_frame, const std::string & source_frame);
  tf2::Transform get_transform(const std::string & target_frame, const std::string & source_frame) const;
  bool is_stored(const std::string & target_frame, const std::string & source_frame) const;

  // Starts a detached worker for the pair. Called with mutex_ held, on the
  // executor thread (it reads the node's clock there).
  void prepare(const std::string & target_frame, const std::string & source_frame);

  // Asks a running worker to give up at its next loop step.
  void request_stop();

  bool is_running() const;
  std::size_t worker_starts() const;

private:
  static void run_worker(
    std::shared_ptr<StaticFrameListenerImpl> self, rclcpp::Clock::SharedPtr clock,
    std::string target_frame, std::string source_frame);
  void look_up_until_stored(
    const rclcpp::Clock::SharedPtr & clock, const std::string & target_frame,
    const std::string & source_frame);
  void store_result(const std::string & key, const geometry_msgs::msg::TransformStamped & stamped);

  rclcpp::Node * node_;
  std::unordered_map<std::string, geometry_msgs::msg::TransformStamped> stamped_transforms_;
  std::unordered_map<std::string, tf2::Transform> transforms_;
  mutable std::mutex mutex_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stop_requested_{false};
  std::atomic<std::size_t> worker_starts_{0};
};

// Looks up the static laser-to-base transform once, on a background thread,
// so that the scan callback never waits for the transform tree.
class StaticFrameListener
{
public:
  explicit StaticFrameListener(rclcpp::Node * node);
  // Does not wait for a running worker: it only asks it to stop early.
  ~StaticFrameListener();

  StaticFrameListener(const StaticFrameListener &) = delete;
  StaticFrameListener & operator=(const StaticFrameListener &) = delete;

  // True when the pair is stored; otherwise starts a worker unless one runs.
  bool has_transform(const std::string & target_frame, const std::string & source_frame);
  // The stored transform of the pair (identity if nothing is stored).
  tf2::Transform get_transform(const std::string & target_frame, const std::string & source_frame) const;
  // Same test as has_transform, without ever starting a worker.
  bool is_stored(const std::string & target_frame, const std::string & source_frame) const;

  bool is_worker_running() const;
  // How many workers this listener has started so far.
  std::size_t worker_starts() const;

  // Waits until no worker of any listener in the process is alive any more, at
  // most `timeout`; true when none is. Lets a program end without a worker
  // still tearing down its transform listener under the exiting process.
  static bool wait_for_workers(std::chrono::milliseconds timeout);

private:
  std::shared_ptr<StaticFrameListenerImpl> impl_;
};

}  // namespace align_model

#endif  // ALIGN_MODEL__STATIC_FRAME_LISTENER_HPP_
