// The tree of frames behind tf2::BufferCore: frame numbering, per-frame caches and
// the walk that composes transforms between two frames. Not thread-safe by itself.
#ifndef TF2_FRAME_GRAPH_H_
#define TF2_FRAME_GRAPH_H_

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "tf2/exceptions.h"
#include "tf2_frame_cache.h"

namespace tf2
{
namespace detail
{

enum class WalkEnding { Identity, TargetParentOfSource, SourceParentOfTarget, FullPath };

// Collects the transforms met while walking from both frames up to their common
// ancestor and combines them. Quaternion arithmetic (not matrices) keeps the results
// identical to the original for the usual single-hop lookups.
class TransformAccumulator
{
public:
  TransformAccumulator();

  // Reads cache at time; returns the parent frame, or kNoFrame with error_msg.
  FrameId gather(const FrameCache & cache, TimePoint time, std::string * error_msg);
  // Appends the last gathered transform to the source or the target side.
  void accum(bool source);
  void finalize(WalkEnding end, TimePoint time);

  TimePoint time;
  Quaternion result_quat;
  Vector3 result_vec;

private:
  TransformStorage gathered_;
  Quaternion source_to_top_quat_;
  Vector3 source_to_top_vec_;
  Quaternion target_to_top_quat_;
  Vector3 target_to_top_vec_;
};

class FrameGraph
{
public:
  explicit FrameGraph(Duration cache_time);

  FrameId lookupFrameNumber(const std::string & name) const;
  FrameId lookupOrInsertFrameNumber(const std::string & name);
  const std::string & frameName(FrameId id) const;

  // Stores data under data.child_id; false when a dynamic cache rejects it as too old.
  bool insert(const TransformStorage & data, bool is_static, const std::string & authority);
  void clear();
  // Newest stamp stored for the frame; TimePoint() for static data or roots.
  TimePoint latestTimestamp(FrameId id) const;

  // Fills out with the transform mapping source into target (TimePointZero: latest
  // common time); any other result than TF2_NO_ERROR comes with error_msg.
  TF2Error walkToTopParent(
    FrameId target_id, FrameId source_id, TimePoint time,
    TransformAccumulator & out, std::string * error_msg) const;

  std::vector<std::string> frameNames() const;
  std::string allFramesAsString() const;
  std::string allFramesAsYAML(double current_time) const;

private:
  Duration cache_time_;
  // Indexed by FrameId; entry 0 stands for "no frame". A null cache marks a frame
  // that was only seen as a parent (a root).
  std::vector<std::unique_ptr<FrameCache>> caches_;
  std::vector<std::string> names_;
  std::vector<std::string> authorities_;
  std::unordered_map<std::string, FrameId> ids_;

  const FrameCache * getFrame(FrameId id) const;
  TF2Error getLatestCommonTime(
    FrameId target_id, FrameId source_id, TimePoint & time, std::string * error_msg) const;
  std::string connectivityError(FrameId source_id, FrameId target_id) const;
  std::string loopError() const;
  std::string lookupDescription(FrameId source_id, FrameId target_id) const;
};

}  // namespace detail
}  // namespace tf2

#endif  // TF2_FRAME_GRAPH_H_
