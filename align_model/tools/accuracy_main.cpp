// align_accuracy: per-scan bias and spread of both programs' poses on a still
// target, by range noise and range, with each refit, against the
// Cramer-Rao bound; prints a markdown table.
#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "align_tools/argument_list.hpp"
#include "align_tools/isolated_tool.hpp"
#include "align_tools/still_target_accuracy.hpp"

namespace
{

const char kUsage[] =
  "usage: align_accuracy [--scans N] [--seed S]\n"
  "  renders N still scans (default 100) of the bundled target, head-on, for every range noise\n"
  "  (2, 5, 10, 20 mm, ideal scanner) and range (0.4, 0.8, 1.5 m), replays them through both\n"
  "  programs with the y = kx + b and the orthogonal refit, and prints the per-scan bias and sd of\n"
  "  the poses against the Cramer-Rao bound. The programs keep the plates whole (no neighbour-gap\n"
  "  cut, 0.10 m split threshold); the feature program smooths over one scan (times 1).\n";

constexpr double kPi = 3.141592653589793;
constexpr double kDegree = kPi / 180.0;

struct Options
{
  int scans = 100;
  std::uint64_t seed = 1;
};

Options parse(const std::vector<std::string> & own)
{
  Options options;
  align_tools::ArgumentList arguments(own);
  while (!arguments.done()) {
    const std::string argument = arguments.take();
    if (argument == "--scans") {
      const long long scans = arguments.integer(argument);
      if (scans < 2 || scans > 100000) {
        throw std::invalid_argument("--scans takes a number from 2 to 100000");
      }
      options.scans = static_cast<int>(scans);
    } else if (argument == "--seed") {
      options.seed = static_cast<std::uint64_t>(arguments.integer(argument));
    } else if (argument == "-h" || argument == "--help") {
      throw std::invalid_argument("");
    } else {
      throw std::invalid_argument("unknown option " + argument);
    }
  }
  return options;
}

std::string cell(const align_tools::ErrorSpread & spread, double scale, int digits)
{
  char text[64];
  std::snprintf(text, sizeof(text), "%+.*f ± %.*f", digits, spread.bias * scale, digits, spread.sd * scale);
  return text;
}

void print_row(
  align_tools::NodeKind node, bool orthogonal, double sigma, double range, const align_tools::PoseAccuracy & a,
  const align_tools::PoseBound & bound)
{
  const auto ratio = [](double sd, double limit) {
      char text[16];
      std::snprintf(text, sizeof(text), "%.2f", sd / limit);
      return std::string(text);
    };
  std::printf(
    "| %s | %s | %.0f | %.1f | %zu of %zu | %s | %s | %s | %.2f (%.2f) / %.2f / %.2f | %s (%s) / %s / %s |\n",
    node == align_tools::NodeKind::kFeature ? "feature" : "line", orthogonal ? "orthogonal" : "y = kx + b",
    sigma * 1000.0, range, a.poses, a.scans, cell(a.along, 1000.0, 1).c_str(), cell(a.across, 1000.0, 1).c_str(),
    cell(a.heading, 1.0 / kDegree, 2).c_str(), bound.free_along * 1000.0, bound.along * 1000.0, bound.across * 1000.0,
    bound.heading / kDegree, ratio(a.along.sd, bound.free_along).c_str(), ratio(a.along.sd, bound.along).c_str(),
    ratio(a.across.sd, bound.across).c_str(),
    ratio(a.heading.sd, bound.heading).c_str());
}

int run(const Options & options)
{
  std::printf(
    "| program | refit | noise (mm) | range (m) | poses | along bias ± sd (mm) | across bias ± sd (mm) "
    "| heading bias ± sd (deg) | bound sd: along (known V), across (mm) / heading (deg) "
    "| sd / bound: along (known V) / across / heading |\n"
    "|---|---|---|---|---|---|---|---|---|---|\n");
  for (const auto node : {align_tools::NodeKind::kLine, align_tools::NodeKind::kFeature}) {
    for (const bool orthogonal : {false, true}) {
      for (const double sigma : {0.002, 0.005, 0.010, 0.020}) {
        for (const double range : {0.4, 0.8, 1.5}) {
          align_tools::StillTargetCase still;
          still.node = node;
          still.orthogonal_refit = orthogonal;
          still.sigma = sigma;
          still.range = range;
          still.scans = options.scans;
          still.seed = options.seed;
          const align_tools::StillTargetResult result = align_tools::measure_still_target(still);
          print_row(node, orthogonal, sigma, range, result.accuracy, result.bound);
          std::fflush(stdout);
        }
      }
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char ** argv)
{
  return align_tools::run_isolated_tool<Options>(argc, argv, "align_accuracy", kUsage, parse, run);
}
