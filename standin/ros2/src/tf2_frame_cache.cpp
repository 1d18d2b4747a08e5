#include "tf2_frame_cache.h"

#include <string>

namespace tf2
{
namespace detail
{

namespace
{

void set_error(std::string * error_msg, const std::string & text)
{
  if (error_msg != nullptr) {
    *error_msg = text;
  }
}

std::string only_one_sample_error(TimePoint requested, TimePoint stored)
{
  return "Lookup would require extrapolation at time " + displayTimePoint(requested) +
         ", but only time " + displayTimePoint(stored) + " is in the buffer";
}

std::string future_error(TimePoint requested, TimePoint latest)
{
  return "Lookup would require extrapolation into the future.  Requested time " +
         displayTimePoint(requested) + " but the latest data is at time " +
         displayTimePoint(latest);
}

std::string past_error(TimePoint requested, TimePoint earliest)
{
  return "Lookup would require extrapolation into the past.  Requested time " +
         displayTimePoint(requested) + " but the earliest data is at time " +
         displayTimePoint(earliest);
}

// Linear in the translation, spherical in the rotation, between older and newer.
TransformStorage interpolate(
  const TransformStorage & older, const TransformStorage & newer, TimePoint time)
{
  TransformStorage result = older;
  const double ratio = static_cast<double>((time - older.stamp).count()) /
    static_cast<double>((newer.stamp - older.stamp).count());
  result.translation.setInterpolate3(older.translation, newer.translation, ratio);
  result.rotation = slerp(older.rotation, newer.rotation, ratio);
  result.stamp = time;
  return result;
}

}  // namespace

DynamicFrameCache::DynamicFrameCache(Duration max_storage_time)
: max_storage_time_(max_storage_time)
{
}

bool DynamicFrameCache::getData(
  TimePoint time, TransformStorage & data_out, std::string * error_msg) const
{
  if (storage_.empty()) {
    set_error(error_msg, "Unable to lookup transform, cache is empty");
    return false;
  }
  const TransformStorage & newest = storage_.front();
  const TransformStorage & oldest = storage_.back();
  if (time == TimePointZero || time == newest.stamp) {
    data_out = newest;
    return true;
  }
  if (storage_.size() == 1) {
    set_error(error_msg, only_one_sample_error(time, newest.stamp));
    return false;
  }
  if (time == oldest.stamp) {
    data_out = oldest;
    return true;
  }
  if (time > newest.stamp) {
    set_error(error_msg, future_error(time, newest.stamp));
    return false;
  }
  if (time < oldest.stamp) {
    set_error(error_msg, past_error(time, oldest.stamp));
    return false;
  }
  // oldest < time < newest, so a sample at or before time exists and is not the first.
  std::size_t older_index = 1;
  while (storage_[older_index].stamp > time) {
    ++older_index;
  }
  const TransformStorage & older = storage_[older_index];
  const TransformStorage & newer = storage_[older_index - 1];
  // A parent change between the two samples cannot be interpolated.
  if (older.parent_id != newer.parent_id || older.stamp == time) {
    data_out = older;
    return true;
  }
  data_out = interpolate(older, newer, time);
  return true;
}

bool DynamicFrameCache::insertData(const TransformStorage & new_data)
{
  // Differences of two message stamps cannot overflow; stamp - cache_time could.
  if (!storage_.empty() && storage_.front().stamp - new_data.stamp > max_storage_time_) {
    return false;
  }
  auto position = storage_.begin();
  while (position != storage_.end() && position->stamp > new_data.stamp) {
    ++position;
  }
  // The first sample received at a stamp wins; repeats are accepted but dropped.
  if (position != storage_.end() && position->stamp == new_data.stamp) {
    return true;
  }
  storage_.insert(position, new_data);
  pruneList();
  return true;
}

void DynamicFrameCache::clearList()
{
  storage_.clear();
}

std::pair<TimePoint, FrameId> DynamicFrameCache::getLatestTimeAndParent() const
{
  if (storage_.empty()) {
    return {TimePoint(), kNoFrame};
  }
  return {storage_.front().stamp, storage_.front().parent_id};
}

TimePoint DynamicFrameCache::getLatestTimestamp() const
{
  return storage_.empty() ? TimePoint() : storage_.front().stamp;
}

TimePoint DynamicFrameCache::getOldestTimestamp() const
{
  return storage_.empty() ? TimePoint() : storage_.back().stamp;
}

void DynamicFrameCache::pruneList()
{
  const TimePoint latest = storage_.front().stamp;
  while (!storage_.empty() && latest - storage_.back().stamp > max_storage_time_) {
    storage_.pop_back();
  }
}

StaticFrameCache::StaticFrameCache(const TransformStorage & data)
: storage_(data)
{
}

bool StaticFrameCache::getData(TimePoint time, TransformStorage & data_out, std::string *) const
{
  data_out = storage_;
  data_out.stamp = time;
  return true;
}

bool StaticFrameCache::insertData(const TransformStorage & new_data)
{
  storage_ = new_data;
  return true;
}

std::pair<TimePoint, FrameId> StaticFrameCache::getLatestTimeAndParent() const
{
  return {TimePoint(), storage_.parent_id};
}

std::unique_ptr<FrameCache> make_frame_cache(
  bool is_static, Duration max_storage_time, const TransformStorage & first_data)
{
  if (is_static) {
    return std::make_unique<StaticFrameCache>(first_data);
  }
  auto cache = std::make_unique<DynamicFrameCache>(max_storage_time);
  cache->insertData(first_data);
  return cache;
}

}  // namespace detail
}  // namespace tf2
