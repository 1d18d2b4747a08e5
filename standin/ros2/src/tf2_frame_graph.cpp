#include "tf2_frame_graph.h"

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <utility>

namespace tf2
{
namespace detail
{

namespace
{

// Longest chain followed before a walk gives up on a tree that contains a loop.
constexpr std::uint32_t kMaxGraphDepth = 1000;

void set_error(std::string * error_msg, const std::string & text)
{
  if (error_msg != nullptr) {
    *error_msg = text;
  }
}

}  // namespace

TransformAccumulator::TransformAccumulator()
: time(TimePointZero),
  result_quat(0.0, 0.0, 0.0, 1.0),
  result_vec(0.0, 0.0, 0.0),
  gathered_{TimePointZero, Quaternion(0.0, 0.0, 0.0, 1.0), Vector3(0.0, 0.0, 0.0), kNoFrame, kNoFrame},
  source_to_top_quat_(0.0, 0.0, 0.0, 1.0),
  source_to_top_vec_(0.0, 0.0, 0.0),
  target_to_top_quat_(0.0, 0.0, 0.0, 1.0),
  target_to_top_vec_(0.0, 0.0, 0.0)
{
}

FrameId TransformAccumulator::gather(
  const FrameCache & cache, TimePoint at_time, std::string * error_msg)
{
  if (!cache.getData(at_time, gathered_, error_msg)) {
    return kNoFrame;
  }
  return gathered_.parent_id;
}

void TransformAccumulator::accum(bool source)
{
  if (source) {
    source_to_top_vec_ = quatRotate(gathered_.rotation, source_to_top_vec_) + gathered_.translation;
    source_to_top_quat_ = gathered_.rotation * source_to_top_quat_;
  } else {
    target_to_top_vec_ = quatRotate(gathered_.rotation, target_to_top_vec_) + gathered_.translation;
    target_to_top_quat_ = gathered_.rotation * target_to_top_quat_;
  }
}

void TransformAccumulator::finalize(WalkEnding end, TimePoint at_time)
{
  switch (end) {
    case WalkEnding::Identity:
      break;
    case WalkEnding::TargetParentOfSource:
      result_vec = source_to_top_vec_;
      result_quat = source_to_top_quat_;
      break;
    case WalkEnding::SourceParentOfTarget: {
        const Quaternion inv_target_quat = target_to_top_quat_.inverse();
        result_vec = quatRotate(inv_target_quat, -target_to_top_vec_);
        result_quat = inv_target_quat;
        break;
      }
    case WalkEnding::FullPath: {
        const Quaternion inv_target_quat = target_to_top_quat_.inverse();
        const Vector3 inv_target_vec = quatRotate(inv_target_quat, -target_to_top_vec_);
        result_vec = quatRotate(inv_target_quat, source_to_top_vec_) + inv_target_vec;
        result_quat = inv_target_quat * source_to_top_quat_;
        break;
      }
  }
  time = at_time;
}

FrameGraph::FrameGraph(Duration cache_time)
: cache_time_(cache_time)
{
  caches_.emplace_back();
  names_.emplace_back("NO_PARENT");
  authorities_.emplace_back();
}

FrameId FrameGraph::lookupFrameNumber(const std::string & name) const
{
  const auto found = ids_.find(name);
  return found == ids_.end() ? kNoFrame : found->second;
}

FrameId FrameGraph::lookupOrInsertFrameNumber(const std::string & name)
{
  const FrameId known = lookupFrameNumber(name);
  if (known != kNoFrame) {
    return known;
  }
  const auto id = static_cast<FrameId>(names_.size());
  caches_.emplace_back();
  names_.push_back(name);
  authorities_.emplace_back();
  ids_.emplace(name, id);
  return id;
}

const std::string & FrameGraph::frameName(FrameId id) const
{
  return id < names_.size() ? names_[id] : names_[kNoFrame];
}

const FrameCache * FrameGraph::getFrame(FrameId id) const
{
  return id < caches_.size() ? caches_[id].get() : nullptr;
}

bool FrameGraph::insert(
  const TransformStorage & data, bool is_static, const std::string & authority)
{
  std::unique_ptr<FrameCache> & cache = caches_.at(data.child_id);
  // A frame switching between static and dynamic starts over with the new kind.
  if (!cache || cache->isStatic() != is_static) {
    cache = make_frame_cache(is_static, cache_time_, data);
  } else if (!cache->insertData(data)) {
    return false;
  }
  authorities_.at(data.child_id) = authority;
  return true;
}

void FrameGraph::clear()
{
  for (auto & cache : caches_) {
    if (cache) {
      cache->clearList();
    }
  }
}

TimePoint FrameGraph::latestTimestamp(FrameId id) const
{
  const FrameCache * cache = getFrame(id);
  return cache == nullptr ? TimePoint() : cache->getLatestTimestamp();
}

TF2Error FrameGraph::getLatestCommonTime(
  FrameId target_id, FrameId source_id, TimePoint & time, std::string * error_msg) const
{
  // Newest stamp and parent of each frame on the way from source to its root.
  std::vector<std::pair<TimePoint, FrameId>> source_chain;
  TimePoint common_time = TimePoint::max();
  auto take_stamp = [&common_time](TimePoint stamp) {
      if (stamp != TimePoint()) {  // static data has no time limit
        common_time = std::min(common_time, stamp);
      }
    };
  auto result_time = [&common_time]() {
      return common_time == TimePoint::max() ? TimePoint() : common_time;
    };

  FrameId frame = source_id;
  for (std::uint32_t depth = 0; ; ++depth) {
    const FrameCache * cache = getFrame(frame);
    if (cache == nullptr) {
      break;
    }
    const auto latest = cache->getLatestTimeAndParent();
    if (latest.second == kNoFrame) {
      break;
    }
    take_stamp(latest.first);
    source_chain.push_back(latest);
    frame = latest.second;
    if (frame == target_id) {
      time = result_time();
      return TF2Error::TF2_NO_ERROR;
    }
    if (depth > kMaxGraphDepth) {
      set_error(error_msg, loopError());
      return TF2Error::TF2_LOOKUP_ERROR;
    }
  }

  frame = target_id;
  common_time = TimePoint::max();
  FrameId common_parent = kNoFrame;
  for (std::uint32_t depth = 0; ; ++depth) {
    const FrameCache * cache = getFrame(frame);
    if (cache == nullptr) {
      break;
    }
    const auto latest = cache->getLatestTimeAndParent();
    if (latest.second == kNoFrame) {
      break;
    }
    take_stamp(latest.first);
    const auto meeting = std::find_if(
      source_chain.begin(), source_chain.end(),
      [&latest](const std::pair<TimePoint, FrameId> & link) {return link.second == latest.second;});
    if (meeting != source_chain.end()) {
      common_parent = meeting->second;
      break;
    }
    frame = latest.second;
    if (frame == source_id) {
      time = result_time();
      return TF2Error::TF2_NO_ERROR;
    }
    if (depth > kMaxGraphDepth) {
      set_error(error_msg, loopError());
      return TF2Error::TF2_LOOKUP_ERROR;
    }
  }

  if (common_parent == kNoFrame) {
    set_error(error_msg, connectivityError(source_id, target_id));
    return TF2Error::TF2_CONNECTIVITY_ERROR;
  }
  for (const auto & link : source_chain) {
    take_stamp(link.first);
    if (link.second == common_parent) {
      break;
    }
  }
  time = result_time();
  return TF2Error::TF2_NO_ERROR;
}

TF2Error FrameGraph::walkToTopParent(
  FrameId target_id, FrameId source_id, TimePoint time,
  TransformAccumulator & out, std::string * error_msg) const
{
  if (source_id == target_id) {
    out.finalize(WalkEnding::Identity, time);
    return TF2Error::TF2_NO_ERROR;
  }
  if (time == TimePointZero) {
    const TF2Error common_time_error = getLatestCommonTime(target_id, source_id, time, error_msg);
    if (common_time_error != TF2Error::TF2_NO_ERROR) {
      return common_time_error;
    }
  }

  // Up from the source until its root, or until the target turns out to be an ancestor.
  FrameId frame = source_id;
  FrameId top_parent = frame;
  bool extrapolation_might_have_occurred = false;
  std::string extrapolation_error;
  for (std::uint32_t depth = 0; frame != kNoFrame; ++depth) {
    const FrameCache * cache = getFrame(frame);
    if (cache == nullptr) {
      top_parent = frame;
      break;
    }
    const FrameId parent = out.gather(*cache, time, &extrapolation_error);
    if (parent == kNoFrame) {
      top_parent = frame;
      extrapolation_might_have_occurred = true;
      break;
    }
    if (frame == target_id) {
      out.finalize(WalkEnding::TargetParentOfSource, time);
      return TF2Error::TF2_NO_ERROR;
    }
    out.accum(true);
    top_parent = frame;
    frame = parent;
    if (depth > kMaxGraphDepth) {
      set_error(error_msg, loopError());
      return TF2Error::TF2_LOOKUP_ERROR;
    }
  }

  // Up from the target until the source's root, or until the source is an ancestor.
  frame = target_id;
  for (std::uint32_t depth = 0; frame != top_parent; ++depth) {
    const FrameCache * cache = getFrame(frame);
    if (cache == nullptr) {
      break;
    }
    std::string gather_error;
    const FrameId parent = out.gather(*cache, time, &gather_error);
    if (parent == kNoFrame) {
      set_error(error_msg, gather_error + lookupDescription(source_id, target_id));
      return TF2Error::TF2_EXTRAPOLATION_ERROR;
    }
    if (frame == source_id) {
      out.finalize(WalkEnding::SourceParentOfTarget, time);
      return TF2Error::TF2_NO_ERROR;
    }
    out.accum(false);
    frame = parent;
    if (depth > kMaxGraphDepth) {
      set_error(error_msg, loopError());
      return TF2Error::TF2_LOOKUP_ERROR;
    }
  }

  if (frame != top_parent) {
    if (extrapolation_might_have_occurred) {
      set_error(error_msg, extrapolation_error + lookupDescription(source_id, target_id));
      return TF2Error::TF2_EXTRAPOLATION_ERROR;
    }
    set_error(error_msg, connectivityError(source_id, target_id));
    return TF2Error::TF2_CONNECTIVITY_ERROR;
  }
  out.finalize(WalkEnding::FullPath, time);
  return TF2Error::TF2_NO_ERROR;
}

std::vector<std::string> FrameGraph::frameNames() const
{
  return std::vector<std::string>(names_.begin() + 1, names_.end());
}

std::string FrameGraph::allFramesAsString() const
{
  std::string text;
  for (FrameId id = 1; id < caches_.size(); ++id) {
    const auto latest = caches_[id] ? caches_[id]->getLatestTimeAndParent() :
      std::pair<TimePoint, FrameId>(TimePoint(), kNoFrame);
    if (latest.second != kNoFrame) {
      text += "Frame " + names_[id] + " exists with parent " + names_[latest.second] + ".\n";
    }
  }
  return text;
}

std::string FrameGraph::allFramesAsYAML(double current_time) const
{
  std::stringstream yaml;
  yaml.precision(3);
  yaml << std::fixed;
  bool any_frame = false;
  for (FrameId id = 1; id < caches_.size(); ++id) {
    const FrameCache * cache = caches_[id].get();
    if (cache == nullptr || cache->getLatestTimeAndParent().second == kNoFrame) {
      continue;
    }
    any_frame = true;
    const double latest = timeToSec(cache->getLatestTimestamp());
    const double oldest = timeToSec(cache->getOldestTimestamp());
    const double span = latest - oldest;
    const double rate = static_cast<double>(cache->getListLength()) / std::max(span, 0.0001);
    yaml << names_[id] << ": \n";
    yaml << "  parent: '" << names_[cache->getLatestTimeAndParent().second] << "'\n";
    yaml << "  broadcaster: '" << authorities_[id] << "'\n";
    yaml << "  rate: " << rate << "\n";
    yaml << "  most_recent_transform: " << latest << "\n";
    yaml << "  oldest_transform: " << oldest << "\n";
    if (current_time > 0) {
      yaml << "  transform_delay: " << current_time - latest << "\n";
    }
    yaml << "  buffer_length: " << span << "\n";
  }
  if (!any_frame) {
    yaml << "[]";
  }
  return yaml.str();
}

std::string FrameGraph::connectivityError(FrameId source_id, FrameId target_id) const
{
  return "Could not find a connection between '" + frameName(target_id) + "' and '" +
         frameName(source_id) + "' because they are not part of the same tree." +
         "Tf has two or more unconnected trees.";
}

std::string FrameGraph::loopError() const
{
  return "The tf tree is invalid because it contains a loop.\n" + allFramesAsString() + "\n";
}

std::string FrameGraph::lookupDescription(FrameId source_id, FrameId target_id) const
{
  return ", when looking up transform from frame [" + frameName(source_id) + "] to frame [" +
         frameName(target_id) + "]";
}

}  // namespace detail
}  // namespace tf2
