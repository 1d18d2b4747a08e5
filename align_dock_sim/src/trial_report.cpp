#include "align_dock_sim/trial_report.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "align_tools/json_writer.hpp"

namespace align_dock_sim
{
namespace
{

constexpr double kDegreesPerRadian = 57.29577951308232;

using align_tools::json_double;

std::string pose_json(const Pose2D & pose)
{
  return "{\"x\": " + json_double(pose.x) + ", \"y\": " + json_double(pose.y) + ", \"yaw\": " +
         json_double(pose.yaw) + "}";
}

std::string format(const char * pattern, double a, double b, double c)
{
  char text[160];
  std::snprintf(text, sizeof(text), pattern, a, b, c);
  return text;
}

// Median and largest of the absolute values.
std::pair<double, double> median_and_worst(std::vector<double> values)
{
  if (values.empty()) {
    return {0.0, 0.0};
  }
  for (double & v : values) {
    v = std::fabs(v);
  }
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  const double median = n % 2 == 1 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
  return {median, values.back()};
}

std::vector<double> collect(
  const std::vector<TrialResult> & results, const std::function<double(const TrialResult &)> & value)
{
  std::vector<double> values;
  for (const auto & result : results) {
    values.push_back(value(result));
  }
  return values;
}

}  // namespace

std::string trial_json(const TrialResult & result)
{
  const GoalError & error = result.final_error;
  return "{\"trial\": " + std::to_string(result.trial) +
         ", \"start\": " + pose_json(result.start) +
         ", \"docked\": " + (result.docked ? "true" : "false") +
         ", \"end\": " + align_tools::json_string(result.end) +
         ", \"time_s\": " + json_double(result.time_s) +
         ", \"poses\": " + std::to_string(result.poses) +
         ", \"final_true_pose\": " + pose_json(result.final_true_pose) +
         ", \"docked_pose\": " + pose_json(result.docked_pose) +
         ", \"final_error\": {\"along_m\": " + json_double(error.along) +
         ", \"across_m\": " + json_double(error.across) +
         ", \"heading_deg\": " + json_double(error.heading * kDegreesPerRadian) + "}}";
}

std::string trial_line(const TrialResult & result)
{
  const GoalError & error = result.final_error;
  return "trial " + std::to_string(result.trial) + ": " + result.end +
         format(" after %.2f s, ", result.time_s, 0.0, 0.0) + std::to_string(result.poses) + " poses;" +
         format(
    " final error along %+.4f m, across %+.4f m, heading %+.2f deg", error.along, error.across,
    error.heading * kDegreesPerRadian);
}

std::string trials_summary(const std::vector<TrialResult> & results)
{
  const auto docked = std::count_if(
    results.begin(), results.end(), [](const TrialResult & r) {return r.docked;});
  const auto along = median_and_worst(collect(results, [](const TrialResult & r) {return r.final_error.along;}));
  const auto across = median_and_worst(collect(results, [](const TrialResult & r) {return r.final_error.across;}));
  const auto heading = median_and_worst(
    collect(results, [](const TrialResult & r) {return r.final_error.heading * kDegreesPerRadian;}));
  return "docked " + std::to_string(docked) + " of " + std::to_string(results.size()) + " trials\n" +
         format("final error, median: along %.4f m, across %.4f m, heading %.2f deg\n", along.first, across.first,
    heading.first) +
         format("final error, worst:  along %.4f m, across %.4f m, heading %.2f deg\n", along.second, across.second,
    heading.second);
}

}  // namespace align_dock_sim
