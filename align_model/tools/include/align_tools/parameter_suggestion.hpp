#ifndef ALIGN_TOOLS__PARAMETER_SUGGESTION_HPP_
#define ALIGN_TOOLS__PARAMETER_SUGGESTION_HPP_

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "align_tools/scan_analysis.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_tools
{

// What counts as a V-shaped candidate when nothing is known about the
// target yet: two straight legs of some length whose facing ends nearly meet,
// at a clear angle, forming a corner that opens towards the laser (and, for
// the feature program, towards +x of its frame, which that program demands).
struct CandidateRules
{
  double min_leg = 0.05;  // m
  double max_gap = 0.10;  // m
  double min_turn = 0.3490658503988659;  // 20 degrees between the legs' directions
  double max_turn = 2.792526803190927;  // 160 degrees
  // A target that the recording really shows is seen in at least this share
  // of the scans; fewer is noise, not a target.
  double min_scan_share = 0.3;
};

// The best V candidate of one scan (the one with the longest legs).
struct VCandidate
{
  double leg_a = 0.0;
  double leg_b = 0.0;
  double gap = 0.0;
  double tested_angle = 0.0;  // as the program compares it with target_angle
};

std::vector<VCandidate> v_candidates(
  const std::vector<sensor_msgs::msg::LaserScan> & scans, const AnalysisSettings & settings,
  const CandidateRules & rules = CandidateRules());

enum class ValueKind
{
  kDouble,
  kBool,
  kInteger,
};

struct SuggestedValue
{
  SuggestedValue(std::string name, double value, std::string comment, ValueKind kind = ValueKind::kDouble)
  : name(std::move(name)), value(value), comment(std::move(comment)), kind(kind) {}

  std::string name;
  double value = 0.0;  // a bool as 0 or 1, an integer exactly
  std::string comment;  // what the value was derived from
  ValueKind kind = ValueKind::kDouble;
};

struct ParameterSuggestion
{
  bool found = false;
  std::string problem;  // why nothing is suggested, when not found
  std::size_t scans = 0;
  std::size_t scans_with_candidate = 0;
  std::vector<SuggestedValue> values;
  // One line: the band and the splitting this suggestion took.
  std::string summary;
};

// Every suggestion worth proving by a replay, the most promising first. For
// each intensity band, the current one first and then ever wider ones around
// the brightest compact returns, the segment splittings (the neighbour-gap
// cut, the split threshold, the points-per-line minimums) are searched
// before a wider band is tried; each splitting that shows a V candidate in
// enough scans gives a suggestion, the splittings with more such scans and
// longer legs first. The gates (lengths, gap, angle) come from the middle
// 90 % of the candidates, and the angle tolerance never exceeds 15 degrees.
// Empty, with the reason in `problem`, when the scans hold no intensities or
// no V candidate.
std::vector<ParameterSuggestion> suggestion_candidates(
  const std::vector<sensor_msgs::msg::LaserScan> & scans, const AnalysisSettings & current,
  std::string & problem, const CandidateRules & rules = CandidateRules(), std::size_t max_count = 6);

// The first of suggestion_candidates(), or the reason there is none: values
// that let the recorded target through, the window (feature program) from
// the scans' coverage.
ParameterSuggestion suggest_parameters(
  const std::vector<sensor_msgs::msg::LaserScan> & scans, const AnalysisSettings & current,
  const CandidateRules & rules = CandidateRules());

// A ROS 2 parameter file for the program's node (any namespace), each value
// with its comment.
std::string suggestion_yaml(
  const ParameterSuggestion & suggestion, const std::string & node_name, const std::string & recording);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__PARAMETER_SUGGESTION_HPP_
