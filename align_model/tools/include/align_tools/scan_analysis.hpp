#ifndef ALIGN_TOOLS__SCAN_ANALYSIS_HPP_
#define ALIGN_TOOLS__SCAN_ANALYSIS_HPP_

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "align_model/corner_search.hpp"
#include "align_model/scan_points.hpp"
#include "align_model/segment_refit.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "tuw_geometry/linesegment2d.hpp"
#include "tuw_geometry/linesegment2d_detector.hpp"

namespace align_tools
{

// How one program turns a scan into segments and pairs, as read from the
// node after a replay; the what-if analyses change single values of it.
struct AnalysisSettings
{
  bool line_program = false;
  align_model::RangeIntensityBand band;
  // Laser to the node's frame: a planar transform (feature program) or the
  // laser_to_base_x, _y, _th offset (line program, when `line_mount` is set).
  align_model::PlanarTransform laser_to_frame;
  std::optional<std::array<double, 3>> line_mount;
  tuw::LineSegment2DDetectorParameter detector;
  bool refit = true;
  align_model::RefitMethod refit_method = align_model::RefitMethod::kLeastSquares;
  align_model::CornerSearchParameters search;
  double min_angle = -3.14;  // the feature program's window
  double max_angle = 3.14;
};

// Points and segments of one scan, made with the same steps the nodes use
// (band, transform, line detector, least-squares refit).
struct ScanSegments
{
  std::size_t points = 0;
  std::vector<tuw::LineSegment2D> segments;
};

ScanSegments segments_of(const sensor_msgs::msg::LaserScan & scan, const AnalysisSettings & settings);

// Where the laser sits in the node's frame.
tuw::Point2D laser_position(const AnalysisSettings & settings);

// Two segments seen as the legs of a corner: l1 ends at the corner, l2
// starts there.
struct PairGeometry
{
  std::size_t i = 0;
  std::size_t j = 0;
  double length_i = 0.0;
  double length_j = 0.0;
  bool in_length_window = false;
  double gap = 0.0;  // distance of the facing ends
  // The turn from l1's direction to l2's, wrapped into [-pi, pi): the
  // feature program tests its absolute value, the line program the signed
  // value.
  double turn = 0.0;
  bool has_corner = false;  // the legs' lines cross (not parallel)
  double corner_x = 0.0;
  double corner_y = 0.0;
  double heading = 0.0;  // bisector into the opening
  bool opens_towards_laser = false;
};

// Every pair (i < j), with the facing ends chosen as the program does: the
// nearest of the four end pairings (feature) or of i's end and j's start
// against i's start and j's end (line).
std::vector<PairGeometry> pairs_of(
  const std::vector<tuw::LineSegment2D> & segments, const AnalysisSettings & settings);

// The angle the program's target_angle is compared with for this pair.
double tested_angle(const PairGeometry & pair, const AnalysisSettings & settings);

// Whether the program's angle test passes the pair: the line program's is
// symmetric, the feature program's one-sided unless two_sided_angle_test.
bool passes_angle_test(const PairGeometry & pair, const AnalysisSettings & settings);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__SCAN_ANALYSIS_HPP_
