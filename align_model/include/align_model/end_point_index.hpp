#ifndef ALIGN_MODEL__END_POINT_INDEX_HPP_
#define ALIGN_MODEL__END_POINT_INDEX_HPP_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "tuw_geometry/point2d.hpp"

namespace align_model
{

// The first point of the list at or after `from` whose distanceTo(end) is at
// most `tolerance`: the plain walk, the reference for every answer below.
std::optional<std::size_t> first_point_within(
  const std::vector<tuw::Point2D> & points, const tuw::Point2D & end, std::size_t from, double tolerance);

// Answers "which is the first point of the list, from index `from` on, whose
// distanceTo(end) is at most `tolerance`" with exactly the answer of a linear
// search over the list, without walking the whole list for every question.
//
// The points are bucketed on a grid of cells much wider than the tolerance, so
// a match can only lie in the end's own cell or one of its eight neighbours;
// within a cell the points are chained in list order. Points and ends far from
// the origin (or not finite) are left to the linear search, which stays the
// reference for every answer. The storage is kept between build() calls.
class EndPointIndex
{
public:
  explicit EndPointIndex(double tolerance);

  // Indexes the list; it must stay unchanged while first_match() is used.
  void build(const std::vector<tuw::Point2D> & points);

  std::optional<std::size_t> first_match(const tuw::Point2D & end, std::size_t from) const;

private:
  struct Cell
  {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::size_t head = kNone;
  };

  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  static bool is_indexable(const tuw::Point2D & point, double margin);
  static std::int64_t cell_of(double coordinate);
  std::size_t slot_of(std::int64_t x, std::int64_t y) const;
  std::size_t first_in_cell(std::int64_t x, std::int64_t y, const tuw::Point2D & end, std::size_t from, std::size_t best) const;

  double tolerance_;
  const std::vector<tuw::Point2D> * points_ = nullptr;
  std::vector<Cell> cells_;
  std::vector<std::size_t> next_in_cell_;
  std::size_t mask_ = 0;
};

}  // namespace align_model

#endif  // ALIGN_MODEL__END_POINT_INDEX_HPP_
