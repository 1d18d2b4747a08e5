#include "align_tools/replay_plot.hpp"

#include <cmath>
#include <cstdio>

#include "align_model/angles.hpp"
#include "align_model/scan_points.hpp"
#include "align_tools/parameter_suggestion.hpp"

namespace align_tools
{
namespace
{

constexpr double kDegreesPerRadian = 57.29577951308232;

align_model::PlanarTransform transform_of(const ReplayRun & run)
{
  return run.view.laser_to_frame.value_or(align_model::PlanarTransform());
}

Pose2D laser_pose(const align_model::PlanarTransform & t)
{
  return {t.tx, t.ty, std::atan2(t.r10, t.r00)};
}

// Every finite return, in the node's frame.
void add_returns(const sensor_msgs::msg::LaserScan & scan, const align_model::PlanarTransform & t, PlotScene & scene)
{
  for (std::size_t i = 0; i < scan.ranges.size(); ++i) {
    const float r = scan.ranges[i];
    if (!std::isfinite(r)) {
      continue;
    }
    // The nodes' own angle arithmetic: float index times float increment.
    const double a = static_cast<float>(i) * scan.angle_increment + scan.angle_min;
    const double x = std::cos(a) * r;
    const double y = std::sin(a) * r;
    const float intensity = i < scan.intensities.size() ? scan.intensities[i] : 0.0f;
    scene.returns.push_back({t.r00 * x + t.r01 * y + t.tx, t.r10 * x + t.r11 * y + t.ty, intensity});
  }
}

void add_accepted(
  const sensor_msgs::msg::LaserScan & scan, const ReplayRun & run, const align_model::PlanarTransform & t,
  PlotScene & scene)
{
  std::vector<tuw::Point2D> points;
  align_model::extract_points(scan, run.view.band, points);
  align_model::transform_points(t, points);
  for (const auto & p : points) {
    scene.accepted.push_back({p.x(), p.y(), 0.0f});
  }
}

void add_outputs(const ReplayRun & run, std::size_t index, bool every_scan, PlotScene & scene)
{
  for (const auto & published : run.published) {
    if (!every_scan && published.scan != index) {
      continue;
    }
    if (published.pose) {
      const auto & p = published.pose->pose.position;
      scene.targets.push_back({p.x, p.y, p.z});
    }
    if (published.marker && published.marker->id == 1) {
      const auto & points = published.marker->points;
      for (std::size_t k = 0; k + 1 < points.size(); k += 2) {
        scene.segments.push_back({points[k].x, points[k].y, points[k + 1].x, points[k + 1].y});
      }
    }
  }
}

// Why the node's search turned a pair down, in the order of its tests; empty
// for a pair that passed them all.
std::string rejection_reason(const PairGeometry & pair, const AnalysisSettings & settings)
{
  const auto & s = settings.search;
  const double longest = std::max(pair.length_i, pair.length_j);
  const double shortest = std::min(pair.length_i, pair.length_j);
  if (longest > s.max_line_len) {
    return "too long";
  }
  if (shortest < s.min_line_len) {
    return "too short";
  }
  if (pair.gap >= s.points_max_distance) {
    return "too far apart";
  }
  if (!passes_angle_test(pair, settings)) {
    return "wrong angle";
  }
  if (!settings.line_program && (!pair.has_corner || std::cos(static_cast<float>(pair.heading)) <= 0.0f)) {
    return "faces away";
  }
  return "";
}

// The pairs of the node's segments that are shaped like the target (legs
// meeting at a clear angle) but failed a test.
void add_rejected(const ReplayRun & run, PlotScene & scene)
{
  std::vector<tuw::LineSegment2D> segments;
  for (const auto & s : scene.segments) {
    segments.emplace_back();
    segments.back().set(s.x0, s.y0, s.x1, s.y1);
  }
  const AnalysisSettings & settings = run.view.analysis;
  const CandidateRules rules;
  const double near = std::max(rules.max_gap, 2.0 * settings.search.points_max_distance);
  for (const auto & pair : pairs_of(segments, settings)) {
    const double turn = std::fabs(pair.turn);
    if (pair.gap >= near || turn < rules.min_turn || turn > rules.max_turn) {
      continue;
    }
    const std::string reason = rejection_reason(pair, settings);
    if (reason.empty()) {
      continue;
    }
    const auto & a = segments[pair.i];
    const auto & b = segments[pair.j];
    PlotRejectedPair rejected;
    rejected.a = {a.x0(), a.y0(), a.x1(), a.y1()};
    rejected.b = {b.x0(), b.y0(), b.x1(), b.y1()};
    rejected.x = pair.has_corner ? pair.corner_x : (a.x1() + b.x0()) / 2.0;
    rejected.y = pair.has_corner ? pair.corner_y : (a.y1() + b.y0()) / 2.0;
    rejected.reason = reason;
    scene.rejected.push_back(rejected);
  }
}

std::string band_text(const ReplayRun & run)
{
  char text[256];
  std::snprintf(
    text, sizeof(text), "bands: %g < range < %g m, %g < intensity < %g",
    run.view.band.min_range, run.view.band.max_range, run.view.band.min_intensity, run.view.band.max_intensity);
  // The opt-in steps are named only when on: a picture of the original
  // pipeline reads as it always did.
  std::string settings = text;
  if (run.view.analysis.refit_method == align_model::RefitMethod::kOrthogonal) {
    settings += "; orthogonal refit";
  }
  if (run.view.analysis.search.two_sided_angle_test) {
    settings += "; two-sided angle test";
  }
  return settings;
}

void prepare(const Recording & recording, const ReplayRun & run, PlotScene & scene)
{
  scene.frame = run.view.laser_to_frame ? run.view.frame :
    (recording.scans.empty() ? "laser" : recording.scans.front().header.frame_id);
  scene.laser = laser_pose(transform_of(run));
  scene.view_radius = std::max(1.0, run.view.band.max_range * 1.5);
}

}  // namespace

PlotScene plot_scan(const Recording & recording, const ReplayRun & run, std::size_t index)
{
  PlotScene scene;
  prepare(recording, run, scene);
  if (index < recording.scans.size()) {
    add_returns(recording.scans[index], transform_of(run), scene);
    add_accepted(recording.scans[index], run, transform_of(run), scene);
  }
  add_outputs(run, index, false, scene);
  add_rejected(run, scene);
  scene.title = recording.path + ", scan " + std::to_string(index) + " of " + std::to_string(recording.scans.size());
  std::string verdict = "no target pose";
  if (!scene.targets.empty()) {
    char text[160];
    const Pose2D & t = scene.targets.back();
    std::snprintf(
      text, sizeof(text), "target pose x %.4f m, y %.4f m, heading %.2f deg", t.x, t.y, t.yaw * kDegreesPerRadian);
    verdict = text;
  }
  scene.subtitle = verdict + "; " + std::to_string(scene.accepted.size()) + " accepted points, " +
    std::to_string(scene.segments.size()) + " segments; " + band_text(run);
  if (!run.view.laser_to_frame) {
    scene.subtitle += "; no laser transform: drawn in the laser frame";
  }
  return scene;
}

PlotScene plot_run(const Recording & recording, const ReplayRun & run)
{
  PlotScene scene;
  prepare(recording, run, scene);
  for (const auto & scan : recording.scans) {
    add_returns(scan, transform_of(run), scene);
    add_accepted(scan, run, transform_of(run), scene);
  }
  add_outputs(run, 0, true, scene);
  scene.title = recording.path + ", all " + std::to_string(recording.scans.size()) + " scans";
  scene.subtitle = std::to_string(scene.targets.size()) + " target poses; " + band_text(run);
  return scene;
}

}  // namespace align_tools
