#include "align_model/end_point_index.hpp"

#include <cmath>

namespace align_model
{
namespace
{

// Cells are 1 mm wide, ten times the widest tolerance in use: two points within
// the tolerance are at most one cell apart whatever the rounding of x * 1000.
constexpr double kCellsPerMetre = 1000.0;
// Beyond this (and for NaN or infinity) the linear search answers; the margin
// keeps an end near the border from missing a point just outside it.
constexpr double kIndexedExtent = 1.0e6;
constexpr double kQueryMargin = 1.0;

}  // namespace

EndPointIndex::EndPointIndex(double tolerance)
: tolerance_(tolerance)
{
}

bool EndPointIndex::is_indexable(const tuw::Point2D & point, double margin)
{
  const double limit = kIndexedExtent - margin;
  return std::fabs(point.x()) <= limit && std::fabs(point.y()) <= limit;
}

std::int64_t EndPointIndex::cell_of(double coordinate)
{
  return static_cast<std::int64_t>(std::floor(coordinate * kCellsPerMetre));
}

std::size_t EndPointIndex::slot_of(std::int64_t x, std::int64_t y) const
{
  std::uint64_t hash = static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ULL;
  hash ^= static_cast<std::uint64_t>(y) * 0xC2B2AE3D27D4EB4FULL;
  hash ^= hash >> 29;
  return static_cast<std::size_t>(hash) & mask_;
}

void EndPointIndex::build(const std::vector<tuw::Point2D> & points)
{
  points_ = &points;
  std::size_t slots = 16;
  while (slots < 2 * points.size()) {
    slots *= 2;
  }
  cells_.assign(slots, Cell{});
  mask_ = slots - 1;
  next_in_cell_.assign(points.size(), kNone);
  // Backwards, each point pushed in front of its cell's chain: the chains come
  // out in list order.
  for (std::size_t i = points.size(); i-- > 0;) {
    if (!is_indexable(points[i], 0.0)) {
      continue;
    }
    const std::int64_t x = cell_of(points[i].x());
    const std::int64_t y = cell_of(points[i].y());
    std::size_t slot = slot_of(x, y);
    while (cells_[slot].head != kNone && (cells_[slot].x != x || cells_[slot].y != y)) {
      slot = (slot + 1) & mask_;
    }
    Cell & cell = cells_[slot];
    cell.x = x;
    cell.y = y;
    next_in_cell_[i] = cell.head;
    cell.head = i;
  }
}

std::size_t EndPointIndex::first_in_cell(
  std::int64_t x, std::int64_t y, const tuw::Point2D & end, std::size_t from, std::size_t best) const
{
  std::size_t slot = slot_of(x, y);
  while (cells_[slot].head != kNone) {
    const Cell & cell = cells_[slot];
    if (cell.x == x && cell.y == y) {
      for (std::size_t i = cell.head; i != kNone && i < best; i = next_in_cell_[i]) {
        if (i >= from && (*points_)[i].distanceTo(end) <= tolerance_) {
          return i;
        }
      }
      return best;
    }
    slot = (slot + 1) & mask_;
  }
  return best;
}

std::optional<std::size_t> EndPointIndex::first_match(const tuw::Point2D & end, std::size_t from) const
{
  if (points_ == nullptr) {
    return std::nullopt;
  }
  if (!is_indexable(end, kQueryMargin)) {
    return first_point_within(*points_, end, from, tolerance_);
  }
  const std::int64_t x = cell_of(end.x());
  const std::int64_t y = cell_of(end.y());
  std::size_t best = kNone;
  for (std::int64_t dx = -1; dx <= 1; ++dx) {
    for (std::int64_t dy = -1; dy <= 1; ++dy) {
      best = first_in_cell(x + dx, y + dy, end, from, best);
    }
  }
  if (best == kNone) {
    return std::nullopt;
  }
  return best;
}

std::optional<std::size_t> first_point_within(
  const std::vector<tuw::Point2D> & points, const tuw::Point2D & end, std::size_t from, double tolerance)
{
  for (std::size_t i = from; i < points.size(); ++i) {
    if (points[i].distanceTo(end) <= tolerance) {
      return i;
    }
  }
  return std::nullopt;
}

}  // namespace align_model
