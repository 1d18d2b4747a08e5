#ifndef ALIGN_TOOLS__SVG_PLOT_HPP_
#define ALIGN_TOOLS__SVG_PLOT_HPP_

#include <string>
#include <vector>

#include "align_tools/scan_simulator.hpp"

namespace align_tools
{

struct PlotReturn
{
  double x = 0.0;
  double y = 0.0;
  float intensity = 0.0f;
};

struct PlotSegment
{
  double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
};

// A pair of segments that looked like the target's corner but failed one of
// the node's tests; drawn dashed with the reason at its facing ends.
struct PlotRejectedPair
{
  PlotSegment a;
  PlotSegment b;
  double x = 0.0;  // between the facing ends
  double y = 0.0;
  std::string reason;  // "too long", "too short", "too far apart", "wrong angle", "faces away"
};

// Everything drawn, in the base (publish) frame, metres and radians.
struct PlotScene
{
  std::string title;
  std::string subtitle;
  std::string frame = "base_footprint";
  Pose2D laser;  // the laser's pose in the frame
  std::vector<PlotReturn> returns;  // every finite return
  std::vector<PlotReturn> accepted;  // returns inside the range and intensity bands
  std::vector<PlotSegment> segments;  // as the node extracted them
  std::vector<Pose2D> targets;  // chosen corners with their headings
  std::vector<PlotRejectedPair> rejected;
  // Returns farther than this from the laser are left out of the view so
  // that a 60 m wall does not shrink the target to a dot.
  double view_radius = 3.0;
};

// A self-contained SVG: grid with metre labels, returns coloured by
// intensity, accepted points, segments, target arrows, base frame axes,
// the laser, and a legend.
std::string render_svg(const PlotScene & scene);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__SVG_PLOT_HPP_
