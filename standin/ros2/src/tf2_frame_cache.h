// Per-frame storage of the transforms to a frame's parent, for tf2::BufferCore.
#ifndef TF2_FRAME_CACHE_H_
#define TF2_FRAME_CACHE_H_

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>

#include "tf2/LinearMath/Quaternion.h"
#include "tf2/LinearMath/Vector3.h"
#include "tf2/time.h"

namespace tf2
{
namespace detail
{

// Frames are numbered from 1 in the order they are first seen; 0 means "no frame".
using FrameId = std::uint32_t;
constexpr FrameId kNoFrame = 0;

// Pose of child_id in parent_id at stamp.
struct TransformStorage
{
  TimePoint stamp;
  Quaternion rotation;
  Vector3 translation;
  FrameId parent_id;
  FrameId child_id;
};

class FrameCache
{
public:
  virtual ~FrameCache() = default;

  // Fills data_out for time (TimePointZero: the newest); false with error_msg otherwise.
  virtual bool getData(TimePoint time, TransformStorage & data_out, std::string * error_msg) const = 0;
  // False when the data is too old to be kept.
  virtual bool insertData(const TransformStorage & new_data) = 0;
  virtual void clearList() = 0;
  virtual bool isStatic() const = 0;
  virtual std::size_t getListLength() const = 0;
  // Newest stamp (TimePoint() for static data) and the parent at that stamp.
  virtual std::pair<TimePoint, FrameId> getLatestTimeAndParent() const = 0;
  virtual TimePoint getLatestTimestamp() const = 0;
  virtual TimePoint getOldestTimestamp() const = 0;
};

// Time-stamped history, interpolated between samples, pruned to max_storage_time
// behind the newest sample.
class DynamicFrameCache : public FrameCache
{
public:
  explicit DynamicFrameCache(Duration max_storage_time);

  bool getData(TimePoint time, TransformStorage & data_out, std::string * error_msg) const override;
  bool insertData(const TransformStorage & new_data) override;
  void clearList() override;
  bool isStatic() const override {return false;}
  std::size_t getListLength() const override {return storage_.size();}
  std::pair<TimePoint, FrameId> getLatestTimeAndParent() const override;
  TimePoint getLatestTimestamp() const override;
  TimePoint getOldestTimestamp() const override;

private:
  // Newest first.
  std::deque<TransformStorage> storage_;
  Duration max_storage_time_;

  void pruneList();
};

// One transform valid at every time; clear() keeps it.
class StaticFrameCache : public FrameCache
{
public:
  explicit StaticFrameCache(const TransformStorage & data);

  bool getData(TimePoint time, TransformStorage & data_out, std::string * error_msg) const override;
  bool insertData(const TransformStorage & new_data) override;
  void clearList() override {}
  bool isStatic() const override {return true;}
  std::size_t getListLength() const override {return 1;}
  std::pair<TimePoint, FrameId> getLatestTimeAndParent() const override;
  TimePoint getLatestTimestamp() const override {return TimePoint();}
  TimePoint getOldestTimestamp() const override {return TimePoint();}

private:
  TransformStorage storage_;
};

std::unique_ptr<FrameCache> make_frame_cache(bool is_static, Duration max_storage_time,
  const TransformStorage & first_data);

}  // namespace detail
}  // namespace tf2

#endif  // TF2_FRAME_CACHE_H_
