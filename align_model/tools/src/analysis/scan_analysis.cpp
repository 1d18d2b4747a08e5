#include "align_tools/scan_analysis.hpp"

#include <cmath>

#include "align_model/angles.hpp"
#include "align_model/detector_configuration.hpp"
#include "align_model/segment_refit.hpp"

namespace align_tools
{
namespace
{

tuw::LineSegment2D reversed(const tuw::LineSegment2D & line)
{
  tuw::LineSegment2D out;
  out.set(line.x1(), line.y1(), line.x0(), line.y0());
  return out;
}

struct Legs
{
  tuw::LineSegment2D l1;
  tuw::LineSegment2D l2;
  double gap;
};

// The feature program's order of trying the end pairings; a later one wins
// only when strictly nearer.
Legs feature_legs(const tuw::LineSegment2D & a, const tuw::LineSegment2D & b)
{
  Legs legs{a, b, a.p1().distanceTo(b.p0())};
  const double tail_to_head = a.p0().distanceTo(b.p1());
  if (legs.gap > tail_to_head) {
    legs = Legs{b, a, tail_to_head};
  }
  const double head_to_head = legs.l1.p1().distanceTo(legs.l2.p1());
  if (legs.gap > head_to_head) {
    legs.l2 = reversed(legs.l2);
    legs.gap = head_to_head;
  }
  const double tail_to_tail = legs.l1.p0().distanceTo(legs.l2.p0());
  if (legs.gap > tail_to_tail) {
    legs.l1 = reversed(legs.l1);
    legs.gap = tail_to_tail;
  }
  return legs;
}

Legs line_legs(const tuw::LineSegment2D & a, const tuw::LineSegment2D & b)
{
  const double forward = a.p1().distanceTo(b.p0());
  const double backward = a.p0().distanceTo(b.p1());
  return forward <= backward ? Legs{a, b, forward} : Legs{b, a, backward};
}

void set_corner(const Legs & legs, const tuw::Point2D & laser, PairGeometry & pair)
{
  const tuw::LineSegment2D & l1 = legs.l1;
  const tuw::LineSegment2D & l2 = legs.l2;
  const double d = (l1.x0() - l1.x1()) * (l2.y0() - l2.y1()) - (l1.y0() - l1.y1()) * (l2.x0() - l2.x1());
  if (!std::isfinite(d) || std::fabs(d) < 1e-5) {
    return;
  }
  const double a = l1.x0() * l1.y1() - l1.y0() * l1.x1();
  const double b = l2.x0() * l2.y1() - l2.y0() * l2.x1();
  pair.has_corner = true;
  pair.corner_x = (a * (l2.x0() - l2.x1()) - b * (l1.x0() - l1.x1())) / d;
  pair.corner_y = (a * (l2.y0() - l2.y1()) - b * (l1.y0() - l1.y1())) / d;
  const double a1 = l1.angle();
  const double a2 = l2.angle();
  pair.heading = std::atan2(
    std::sin(a2) + std::sin(a1 - align_model::kPi), std::cos(a2) + std::cos(a1 - align_model::kPi));
  const double to_laser_x = laser.x() - pair.corner_x;
  const double to_laser_y = laser.y() - pair.corner_y;
  pair.opens_towards_laser = std::cos(pair.heading) * to_laser_x + std::sin(pair.heading) * to_laser_y > 0.0;
}

}  // namespace

ScanSegments segments_of(const sensor_msgs::msg::LaserScan & scan, const AnalysisSettings & settings)
{
  std::vector<tuw::Point2D> points;
  align_model::extract_points(scan, settings.band, points);
  if (settings.line_mount) {
    const auto & m = *settings.line_mount;
    align_model::transform_points_to_base(m[0], m[1], m[2], points);
  } else {
    align_model::transform_points(settings.laser_to_frame, points);
  }
  tuw::LineSegment2DDetector detector;
  detector.config_ = align_model::detector_configuration_from(settings.detector);
  ScanSegments result;
  result.points = points.size();
  detector.start(points, result.segments);
  if (settings.refit) {
    align_model::RefitWorkspace workspace;
    align_model::refit_segments(points, result.segments, workspace, settings.refit_method);
  }
  return result;
}

tuw::Point2D laser_position(const AnalysisSettings & settings)
{
  if (settings.line_mount) {
    return tuw::Point2D((*settings.line_mount)[0], (*settings.line_mount)[1]);
  }
  return tuw::Point2D(settings.laser_to_frame.tx, settings.laser_to_frame.ty);
}

std::vector<PairGeometry> pairs_of(
  const std::vector<tuw::LineSegment2D> & segments, const AnalysisSettings & settings)
{
  const tuw::Point2D laser = laser_position(settings);
  std::vector<PairGeometry> pairs;
  for (std::size_t i = 0; i < segments.size(); ++i) {
    for (std::size_t j = i + 1; j < segments.size(); ++j) {
      PairGeometry pair;
      pair.i = i;
      pair.j = j;
      pair.length_i = segments[i].length();
      pair.length_j = segments[j].length();
      const auto & s = settings.search;
      pair.in_length_window = s.min_line_len <= pair.length_i && pair.length_i <= s.max_line_len &&
        s.min_line_len <= pair.length_j && pair.length_j <= s.max_line_len;
      const Legs legs = settings.line_program ?
        line_legs(segments[i], segments[j]) : feature_legs(segments[i], segments[j]);
      pair.gap = legs.gap;
      pair.turn = align_model::normalize_angle(legs.l2.angle() - legs.l1.angle());
      set_corner(legs, laser, pair);
      pairs.push_back(pair);
    }
  }
  return pairs;
}

double tested_angle(const PairGeometry & pair, const AnalysisSettings & settings)
{
  return settings.line_program ? pair.turn : std::fabs(pair.turn);
}

bool passes_angle_test(const PairGeometry & pair, const AnalysisSettings & settings)
{
  const auto & s = settings.search;
  const double tolerance = std::fabs(s.target_angle * s.angle_error);
  if (settings.line_program) {
    return std::fabs(align_model::normalize_angle(pair.turn - s.target_angle)) <= tolerance;
  }
  const double error = std::fabs(pair.turn) - s.target_angle;
  return error <= tolerance && (!s.two_sided_angle_test || -error <= tolerance);
}

}  // namespace align_tools
