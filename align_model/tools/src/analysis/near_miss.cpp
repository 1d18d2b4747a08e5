#include "align_tools/near_miss.hpp"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>

#include "align_model/angles.hpp"

namespace align_tools
{
namespace
{

using align_model::FunnelStage;

constexpr double kDegrees = 180.0 / align_model::kPi;

std::string format(const char * pattern, ...) __attribute__((format(printf, 1, 2)));

std::string format(const char * pattern, ...)
{
  char text[512];
  va_list arguments;
  va_start(arguments, pattern);
  std::vsnprintf(text, sizeof(text), pattern, arguments);
  va_end(arguments);
  return text;
}

std::string spread_text(const ValueSpread & spread, double scale, const char * number_format)
{
  const std::string f = std::string(number_format) + "/" + number_format + "/" + number_format;
  char text[160];
  std::snprintf(text, sizeof(text), f.c_str(), spread.min * scale, spread.median * scale, spread.max * scale);
  return text;
}

std::vector<std::string> band_lines(const MissedScans & missed, const AnalysisSettings & settings)
{
  const auto & band = settings.band;
  std::vector<double> intensities_in_range;
  std::vector<double> ranges_in_intensity_band;
  std::size_t without_intensities = 0;
  for (const auto * scan : missed.scans) {
    if (scan->intensities.size() < scan->ranges.size()) {
      ++without_intensities;
    }
    const std::size_t n = std::min(scan->ranges.size(), scan->intensities.size());
    for (std::size_t i = 0; i < n; ++i) {
      const double r = scan->ranges[i];
      const double q = scan->intensities[i];
      if (band.min_range < r && r < band.max_range && std::isfinite(q)) {
        intensities_in_range.push_back(q);
      }
      if (band.min_intensity < q && q < band.max_intensity && std::isfinite(r)) {
        ranges_in_intensity_band.push_back(r);
      }
    }
  }
  std::vector<std::string> lines;
  if (without_intensities == missed.scans.size()) {
    lines.push_back(
      "near miss: the scans carry no intensities, so no reading can pass min_intensity..max_intensity; "
      "these programs need a scanner that reports intensities");
    return lines;
  }
  if (intensities_in_range.empty()) {
    lines.push_back(format(
        "near miss: no return lies inside the range band min_range %.3g .. max_range %.3g m",
        band.min_range, band.max_range));
  } else {
    const ValueSpread q = spread_of(intensities_in_range);
    lines.push_back(format(
        "near miss: intensity of the returns within min_range..max_range (%.3g..%.3g m) min/median/max %s "
        "against min_intensity %.6g and max_intensity %.6g",
        band.min_range, band.max_range, spread_text(q, 1.0, "%.1f").c_str(), band.min_intensity, band.max_intensity));
  }
  if (ranges_in_intensity_band.empty()) {
    lines.push_back(format(
        "near miss: no return has an intensity strictly between min_intensity %.6g and max_intensity %.6g",
        band.min_intensity, band.max_intensity));
  } else {
    const ValueSpread r = spread_of(ranges_in_intensity_band);
    lines.push_back(format(
        "near miss: range of the returns within the intensity band min/median/max %s m against "
        "min_range %.3g and max_range %.3g",
        spread_text(r, 1.0, "%.3f").c_str(), band.min_range, band.max_range));
  }
  return lines;
}

std::vector<std::string> segment_count_lines(const MissedScans & missed, const AnalysisSettings & settings)
{
  std::vector<double> points, segments;
  for (const auto * scan : missed.scans) {
    const ScanSegments seen = segments_of(*scan, settings);
    points.push_back(static_cast<double>(seen.points));
    segments.push_back(static_cast<double>(seen.segments.size()));
  }
  return {format(
      "near miss: points in the band per scan min/median/max %s, segments %s; the line detector keeps "
      "segments of at least min_points_per_line %d points and min_length %.3g m (threshold_split %.3g m)",
      spread_text(spread_of(points), 1.0, "%.0f").c_str(), spread_text(spread_of(segments), 1.0, "%.0f").c_str(),
      settings.detector.min_points_per_line, settings.detector.min_length, settings.detector.threshold_split)};
}

std::vector<std::string> length_lines(const MissedScans & missed, const AnalysisSettings & settings)
{
  std::vector<double> lengths;
  std::size_t inside = 0;
  for (const auto * scan : missed.scans) {
    for (const auto & segment : segments_of(*scan, settings).segments) {
      const double length = segment.length();
      lengths.push_back(length);
      inside += settings.search.min_line_len <= length && length <= settings.search.max_line_len ? 1 : 0;
    }
  }
  std::string note;
  if (settings.search.min_line_len > settings.search.max_line_len) {
    note = " (min_line_len above max_line_len: no length can pass)";
  }
  return {format(
      "near miss: segment lengths min/median/max %s m over %zu segments (%zu inside) against min_line_len %.3g "
      "and max_line_len %.3g%s",
      spread_text(spread_of(lengths), 1.0, "%.3f").c_str(), lengths.size(), inside,
      settings.search.min_line_len, settings.search.max_line_len, note.c_str())};
}

std::vector<std::string> gap_lines(const MissedScans & missed, const AnalysisSettings & settings)
{
  std::vector<double> gaps;
  for (const auto * scan : missed.scans) {
    double closest = std::numeric_limits<double>::infinity();
    for (const auto & pair : pairs_of(segments_of(*scan, settings).segments, settings)) {
      if (pair.in_length_window) {
        closest = std::min(closest, pair.gap);
      }
    }
    if (std::isfinite(closest)) {
      gaps.push_back(closest);
    }
  }
  return {format(
      "near miss: end gap of the closest pair in the length window per scan min/median/max %s m against "
      "points_max_distance %.3g (the gap must be smaller)",
      spread_text(spread_of(gaps), 1.0, "%.3f").c_str(), settings.search.points_max_distance)};
}

std::vector<std::string> angle_lines(const MissedScans & missed, const AnalysisSettings & settings)
{
  std::vector<double> angles;
  for (const auto * scan : missed.scans) {
    for (const auto & pair : pairs_of(segments_of(*scan, settings).segments, settings)) {
      if (pair.in_length_window && pair.gap < settings.search.points_max_distance) {
        angles.push_back(tested_angle(pair, settings));
      }
    }
  }
  const double tolerance = std::fabs(settings.search.target_angle * settings.search.angle_error);
  const char * rule = settings.line_program ?
    "the signed turn between the legs must lie within target_angle +- tolerance" :
    settings.search.two_sided_angle_test ?
    "the turn between the legs must lie within target_angle +- tolerance (two_sided_angle_test), and the corner "
    "must open towards +x" :
    "the turn between the legs may exceed target_angle by at most the tolerance, and the corner must open towards +x";
  return {format(
      "near miss: turn between the legs of the %zu near pairs min/median/max %s deg against target_angle %.2f deg "
      "+- %.2f deg (angle_error %.3g); %s",
      angles.size(), spread_text(spread_of(angles), kDegrees, "%.1f").c_str(),
      settings.search.target_angle * kDegrees, tolerance * kDegrees, settings.search.angle_error, rule)};
}

std::vector<std::string> window_lines(const MissedScans & missed, const AnalysisSettings & settings)
{
  const auto * scan = missed.scans.front();
  const double first = scan->angle_min;
  const double last = scan->angle_min + scan->angle_increment * (static_cast<double>(scan->ranges.size()) - 1.0);
  if (settings.line_program) {
    return {format(
        "near miss: the scans cover %.2f..%.2f deg in %zu readings; the line program's fixed window -90..90 deg "
        "must lie inside them", first * kDegrees, last * kDegrees, scan->ranges.size())};
  }
  return {format(
      "near miss: the scans cover %.4f..%.4f rad; the window min_angle %.4f .. max_angle %.4f must lie inside "
      "(min_angle above the first reading's angle)", first, last, settings.min_angle, settings.max_angle)};
}

}  // namespace

ValueSpread spread_of(std::vector<double> values)
{
  ValueSpread spread;
  spread.count = values.size();
  if (values.empty()) {
    return spread;
  }
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  spread.min = values.front();
  spread.max = values.back();
  spread.median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
  return spread;
}

std::vector<std::string> near_miss_lines(const MissedScans & missed, const AnalysisSettings & settings)
{
  if (missed.scans.empty()) {
    return {};
  }
  switch (missed.stage) {
    case FunnelStage::kDisabled:
      return {"near miss: the program was disabled (an Align message with enable 0, or SetBool false)"};
    case FunnelStage::kNoTransform:
      return {"near miss: no transform from the scan's frame into the node's frame: give --tf X Y YAW "
        "or record /tf_static"};
    case FunnelStage::kWindowFailed: return window_lines(missed, settings);
    case FunnelStage::kNoReadingInBand: return band_lines(missed, settings);
    case FunnelStage::kFewerThanTwoSegments: return segment_count_lines(missed, settings);
    case FunnelStage::kNoPairInLengthWindow: return length_lines(missed, settings);
    case FunnelStage::kNoPairNearEnough: return gap_lines(missed, settings);
    case FunnelStage::kNoPairAtAngle: return angle_lines(missed, settings);
    case FunnelStage::kFound: return {};
  }
  return {};
}

}  // namespace align_tools
