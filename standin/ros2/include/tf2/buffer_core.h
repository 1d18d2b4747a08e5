// Thread-safe store of the transforms between named frames, with lookups through the
// frame tree. Dynamic transforms are kept for cache_time per frame; static ones forever.
#ifndef TF2__BUFFER_CORE_H_
#define TF2__BUFFER_CORE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "geometry_msgs/msg/transform_stamped.hpp"
#include "tf2/buffer_core_interface.h"
#include "tf2/exceptions.h"
#include "tf2/time.h"

namespace tf2
{

static constexpr Duration BUFFER_CORE_DEFAULT_CACHE_TIME = std::chrono::seconds(10);

class BufferCore : public BufferCoreInterface
{
public:
  static const uint32_t MAX_GRAPH_DEPTH = 1000UL;

  explicit BufferCore(tf2::Duration cache_time_ = BUFFER_CORE_DEFAULT_CACHE_TIME);
  virtual ~BufferCore(void);

  BufferCore(const BufferCore &) = delete;
  BufferCore & operator=(const BufferCore &) = delete;

  // Drops all dynamic data; frames stay known and static transforms stay.
  void clear() override;

  // Returns false (and logs why) for rejected data: empty or equal frame names,
  // NaN values, a quaternion far from unit length, or data older than the cache.
  bool setTransform(
    const geometry_msgs::msg::TransformStamped & transform,
    const std::string & authority, bool is_static = false);

  // Never waits. TimePointZero asks for the latest time common to the whole chain.
  geometry_msgs::msg::TransformStamped
  lookupTransform(
    const std::string & target_frame, const std::string & source_frame,
    const TimePoint & time) const override;

  // Source at source_time into fixed_frame, then fixed_frame at target_time into target.
  geometry_msgs::msg::TransformStamped
  lookupTransform(
    const std::string & target_frame, const TimePoint & target_time,
    const std::string & source_frame, const TimePoint & source_time,
    const std::string & fixed_frame) const override;

  bool canTransform(
    const std::string & target_frame, const std::string & source_frame,
    const TimePoint & time, std::string * error_msg = nullptr) const override;

  bool canTransform(
    const std::string & target_frame, const TimePoint & target_time,
    const std::string & source_frame, const TimePoint & source_time,
    const std::string & fixed_frame, std::string * error_msg = nullptr) const override;

  std::vector<std::string> getAllFrameNames() const override;

  std::string allFramesAsYAML(TimePoint current_time) const;
  std::string allFramesAsYAML() const;
  std::string allFramesAsString() const;

  void setUsingDedicatedThread(bool value);
  bool isUsingDedicatedThread() const;

  tf2::Duration getCacheLength();

private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tf2

#endif  // TF2__BUFFER_CORE_H_
