#include "tf2/buffer_core.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <mutex>

#include "rcutils/logging_macros.h"
#include "tf2/LinearMath/Transform.h"
#include "tf2_frame_graph.h"

namespace tf2
{

namespace
{

using detail::FrameId;
using detail::kNoFrame;

// How far |q|^2 may stray from 1 before a received rotation is refused.
constexpr double kQuaternionNormalizationTolerance = 10e-3;
constexpr int64_t kNanosecondsPerSecond = 1000000000LL;

// Senders may still use the old "/frame" spelling; only one leading slash is dropped.
std::string strip_slash(const std::string & frame_id)
{
  if (!frame_id.empty() && frame_id[0] == '/') {
    return frame_id.substr(1);
  }
  return frame_id;
}

TimePoint from_time_msg(const builtin_interfaces::msg::Time & stamp)
{
  return TimePoint(std::chrono::seconds(stamp.sec) + std::chrono::nanoseconds(stamp.nanosec));
}

builtin_interfaces::msg::Time to_time_msg(TimePoint time)
{
  const int64_t count = time.time_since_epoch().count();
  int64_t sec = count / kNanosecondsPerSecond;
  int64_t nanosec = count % kNanosecondsPerSecond;
  if (nanosec < 0) {
    sec -= 1;
    nanosec += kNanosecondsPerSecond;
  }
  builtin_interfaces::msg::Time msg;
  msg.sec = static_cast<int32_t>(sec);
  msg.nanosec = static_cast<uint32_t>(nanosec);
  return msg;
}

geometry_msgs::msg::TransformStamped to_transform_msg(
  const Quaternion & rotation, const Vector3 & translation, TimePoint time,
  const std::string & target_frame, const std::string & source_frame)
{
  geometry_msgs::msg::TransformStamped msg;
  msg.header.stamp = to_time_msg(time);
  msg.header.frame_id = target_frame;
  msg.child_frame_id = source_frame;
  msg.transform.translation.x = translation.x();
  msg.transform.translation.y = translation.y();
  msg.transform.translation.z = translation.z();
  msg.transform.rotation.x = rotation.x();
  msg.transform.rotation.y = rotation.y();
  msg.transform.rotation.z = rotation.z();
  msg.transform.rotation.w = rotation.w();
  return msg;
}

Transform to_transform(const geometry_msgs::msg::TransformStamped & msg)
{
  const auto & r = msg.transform.rotation;
  const auto & t = msg.transform.translation;
  return Transform(Quaternion(r.x, r.y, r.z, r.w), Vector3(t.x, t.y, t.z));
}

// Empty text when the name may be used in a lookup.
std::string frame_id_problem(const char * function_name_arg, const std::string & frame_id)
{
  if (frame_id.empty()) {
    return std::string("Invalid argument passed to ") + function_name_arg +
           " in tf2 frame_ids cannot be empty";
  }
  if (frame_id[0] == '/') {
    return "Invalid argument \"" + frame_id + "\" passed to " + function_name_arg +
           " - in tf2 frame_ids cannot start with a '/' like: ";
  }
  return std::string();
}

bool has_nan(const geometry_msgs::msg::Transform & t)
{
  return std::isnan(t.translation.x) || std::isnan(t.translation.y) ||
         std::isnan(t.translation.z) || std::isnan(t.rotation.x) ||
         std::isnan(t.rotation.y) || std::isnan(t.rotation.z) || std::isnan(t.rotation.w);
}

bool is_near_unit(const geometry_msgs::msg::Quaternion & q)
{
  const double norm2 = q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z;
  return std::abs(norm2 - 1.0) < kQuaternionNormalizationTolerance;
}

// Logs every reason to refuse a received transform; true when there is none.
bool is_acceptable(
  const std::string & frame_id, const std::string & child_frame_id,
  const geometry_msgs::msg::Transform & transform, const std::string & authority)
{
  bool acceptable = true;
  if (child_frame_id == frame_id) {
    RCUTILS_LOG_ERROR(
      "TF_SELF_TRANSFORM: Ignoring transform from authority \"%s\" with frame_id and "
      "child_frame_id  \"%s\" because they are the same", authority.c_str(), child_frame_id.c_str());
    acceptable = false;
  }
  if (child_frame_id.empty()) {
    RCUTILS_LOG_ERROR(
      "TF_NO_CHILD_FRAME_ID: Ignoring transform from authority \"%s\" because child_frame_id not set ",
      authority.c_str());
    acceptable = false;
  }
  if (frame_id.empty()) {
    RCUTILS_LOG_ERROR(
      "TF_NO_FRAME_ID: Ignoring transform with child_frame_id \"%s\"  from authority \"%s\" "
      "because frame_id not set", child_frame_id.c_str(), authority.c_str());
    acceptable = false;
  }
  if (has_nan(transform)) {
    RCUTILS_LOG_ERROR(
      "TF_NAN_INPUT: Ignoring transform for child_frame_id \"%s\" from authority \"%s\" because "
      "of a nan value in the transform (%f %f %f) (%f %f %f %f)",
      child_frame_id.c_str(), authority.c_str(),
      transform.translation.x, transform.translation.y, transform.translation.z,
      transform.rotation.x, transform.rotation.y, transform.rotation.z, transform.rotation.w);
    acceptable = false;
  }
  if (!is_near_unit(transform.rotation)) {
    RCUTILS_LOG_ERROR(
      "TF_DENORMALIZED_QUATERNION: Ignoring transform for child_frame_id \"%s\" from authority "
      "\"%s\" because of an invalid quaternion in the transform (%f %f %f %f)",
      child_frame_id.c_str(), authority.c_str(),
      transform.rotation.x, transform.rotation.y, transform.rotation.z, transform.rotation.w);
    acceptable = false;
  }
  return acceptable;
}

void throw_for(TF2Error error, const std::string & error_string)
{
  switch (error) {
    case TF2Error::TF2_NO_ERROR:
      return;
    case TF2Error::TF2_LOOKUP_ERROR:
      throw LookupException(error_string);
    case TF2Error::TF2_CONNECTIVITY_ERROR:
      throw ConnectivityException(error_string);
    case TF2Error::TF2_EXTRAPOLATION_ERROR:
      throw ExtrapolationException(error_string);
    case TF2Error::TF2_INVALID_ARGUMENT_ERROR:
      throw InvalidArgumentException(error_string);
    case TF2Error::TF2_TIMEOUT_ERROR:
      throw TimeoutException(error_string);
    case TF2Error::TF2_TRANSFORM_ERROR:
      break;
  }
  throw TransformException(error_string);
}

}  // namespace

class BufferCore::Impl
{
public:
  explicit Impl(Duration cache_time)
  : cache_time(cache_time), graph(cache_time)
  {
  }

  // Caller holds mutex. Throws InvalidArgumentException or LookupException.
  FrameId validateFrameId(const char * function_name_arg, const std::string & frame_id) const
  {
    const std::string problem = frame_id_problem(function_name_arg, frame_id);
    if (!problem.empty()) {
      throw InvalidArgumentException(problem);
    }
    const FrameId id = graph.lookupFrameNumber(frame_id);
    if (id == kNoFrame) {
      throw LookupException(
              "\"" + frame_id + "\" passed to " + function_name_arg + " does not exist. ");
    }
    return id;
  }

  // Caller holds mutex.
  geometry_msgs::msg::TransformStamped lookupNoLock(
    const std::string & target_frame, const std::string & source_frame, TimePoint time) const
  {
    if (target_frame == source_frame) {
      return identity(target_frame, source_frame, time);
    }
    const FrameId target_id = validateFrameId("lookupTransform argument target_frame", target_frame);
    const FrameId source_id = validateFrameId("lookupTransform argument source_frame", source_frame);
    detail::TransformAccumulator accumulator;
    std::string error_string;
    throw_for(graph.walkToTopParent(target_id, source_id, time, accumulator, &error_string), error_string);
    return to_transform_msg(
      accumulator.result_quat, accumulator.result_vec, accumulator.time, target_frame, source_frame);
  }

  // Caller holds mutex.
  bool canTransformNoLock(
    const std::string & target_frame, const std::string & source_frame, TimePoint time,
    std::string * error_msg) const
  {
    if (target_frame == source_frame) {
      return true;
    }
    if (!frameUsable("canTransform argument target_frame", target_frame, error_msg) ||
      !frameUsable("canTransform argument source_frame", source_frame, error_msg))
    {
      return false;
    }
    const FrameId target_id = graph.lookupFrameNumber(target_frame);
    const FrameId source_id = graph.lookupFrameNumber(source_frame);
    std::string missing;
    if (target_id == kNoFrame) {
      missing = "canTransform: target_frame " + target_frame + " does not exist.";
    }
    if (source_id == kNoFrame) {
      missing += (missing.empty() ? "" : " ");
      missing += "canTransform: source_frame " + source_frame + " does not exist.";
    }
    if (!missing.empty()) {
      if (error_msg != nullptr) {
        *error_msg = missing;
      }
      return false;
    }
    detail::TransformAccumulator accumulator;
    return graph.walkToTopParent(target_id, source_id, time, accumulator, error_msg) ==
           TF2Error::TF2_NO_ERROR;
  }

  Duration cache_time;
  mutable std::mutex mutex;
  detail::FrameGraph graph;
  std::atomic<bool> using_dedicated_thread{false};

private:
  // The identity needs no valid names; its stamp is the frame's newest data if asked
  // for the latest time.
  geometry_msgs::msg::TransformStamped identity(
    const std::string & target_frame, const std::string & source_frame, TimePoint time) const
  {
    TimePoint stamp = time;
    if (time == TimePointZero) {
      const FrameId id = graph.lookupFrameNumber(target_frame);
      stamp = id == kNoFrame ? time : graph.latestTimestamp(id);
    }
    return to_transform_msg(
      Quaternion::getIdentity(), Vector3(0.0, 0.0, 0.0), stamp, target_frame, source_frame);
  }

  static bool frameUsable(
    const char * function_name_arg, const std::string & frame_id, std::string * error_msg)
  {
    const std::string problem = frame_id_problem(function_name_arg, frame_id);
    if (problem.empty()) {
      return true;
    }
    RCUTILS_LOG_WARN("%s", problem.c_str());
    if (error_msg != nullptr) {
      *error_msg = problem;
    }
    return false;
  }
};

BufferCore::BufferCore(tf2::Duration cache_time_)
: impl_(std::make_unique<Impl>(cache_time_))
{
}

BufferCore::~BufferCore(void) = default;

void BufferCore::clear()
{
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->graph.clear();
}

bool BufferCore::setTransform(
  const geometry_msgs::msg::TransformStamped & transform,
  const std::string & authority, bool is_static)
{
  const std::string frame_id = strip_slash(transform.header.frame_id);
  const std::string child_frame_id = strip_slash(transform.child_frame_id);
  if (!is_acceptable(frame_id, child_frame_id, transform.transform, authority)) {
    return false;
  }
  const auto & r = transform.transform.rotation;
  const auto & t = transform.transform.translation;
  const TimePoint stamp = from_time_msg(transform.header.stamp);

  std::lock_guard<std::mutex> lock(impl_->mutex);
  detail::TransformStorage data{
    stamp, Quaternion(r.x, r.y, r.z, r.w), Vector3(t.x, t.y, t.z),
    impl_->graph.lookupOrInsertFrameNumber(frame_id),
    impl_->graph.lookupOrInsertFrameNumber(child_frame_id)};
  if (!impl_->graph.insert(data, is_static, authority)) {
    RCUTILS_LOG_WARN(
      "TF_OLD_DATA ignoring data from the past for frame %s at time %g according to authority %s",
      child_frame_id.c_str(), timeToSec(stamp), authority.c_str());
    return false;
  }
  return true;
}

geometry_msgs::msg::TransformStamped BufferCore::lookupTransform(
  const std::string & target_frame, const std::string & source_frame,
  const TimePoint & time) const
{
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->lookupNoLock(target_frame, source_frame, time);
}

geometry_msgs::msg::TransformStamped BufferCore::lookupTransform(
  const std::string & target_frame, const TimePoint & target_time,
  const std::string & source_frame, const TimePoint & source_time,
  const std::string & fixed_frame) const
{
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->validateFrameId("lookupTransform argument target_frame", target_frame);
  impl_->validateFrameId("lookupTransform argument source_frame", source_frame);
  impl_->validateFrameId("lookupTransform argument fixed_frame", fixed_frame);
  const auto fixed_from_source = impl_->lookupNoLock(fixed_frame, source_frame, source_time);
  const auto target_from_fixed = impl_->lookupNoLock(target_frame, fixed_frame, target_time);
  const Transform combined = to_transform(target_from_fixed) * to_transform(fixed_from_source);
  return to_transform_msg(
    combined.getRotation(), combined.getOrigin(), from_time_msg(target_from_fixed.header.stamp),
    target_frame, source_frame);
}

bool BufferCore::canTransform(
  const std::string & target_frame, const std::string & source_frame,
  const TimePoint & time, std::string * error_msg) const
{
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->canTransformNoLock(target_frame, source_frame, time, error_msg);
}

bool BufferCore::canTransform(
  const std::string & target_frame, const TimePoint & target_time,
  const std::string & source_frame, const TimePoint & source_time,
  const std::string & fixed_frame, std::string * error_msg) const
{
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->canTransformNoLock(fixed_frame, source_frame, source_time, error_msg) &&
         impl_->canTransformNoLock(target_frame, fixed_frame, target_time, error_msg);
}

std::vector<std::string> BufferCore::getAllFrameNames() const
{
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->graph.frameNames();
}

std::string BufferCore::allFramesAsYAML(TimePoint current_time) const
{
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->graph.allFramesAsYAML(timeToSec(current_time));
}

std::string BufferCore::allFramesAsYAML() const
{
  return allFramesAsYAML(TimePoint());
}

std::string BufferCore::allFramesAsString() const
{
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->graph.allFramesAsString();
}

void BufferCore::setUsingDedicatedThread(bool value)
{
  impl_->using_dedicated_thread = value;
}

bool BufferCore::isUsingDedicatedThread() const
{
  return impl_->using_dedicated_thread;
}

tf2::Duration BufferCore::getCacheLength()
{
  return impl_->cache_time;
}

}  // namespace tf2
