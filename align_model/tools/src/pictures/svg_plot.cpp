#include "align_tools/svg_plot.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace align_tools
{
namespace
{

constexpr double kCanvas = 760.0;  // plot area, pixels
constexpr double kMargin = 60.0;
constexpr double kLegendWidth = 250.0;

std::string number(double value)
{
  char text[32];
  std::snprintf(text, sizeof(text), "%.2f", value);
  return text;
}

std::string escape(const std::string & text)
{
  std::string out;
  for (char c : text) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// Dark blue through green to yellow, like common perceptual colour maps.
std::string ramp_colour(double fraction)
{
  const double f = std::clamp(fraction, 0.0, 1.0);
  const double stops[4][3] = {{48, 18, 120}, {33, 145, 140}, {120, 200, 80}, {250, 230, 30}};
  const double position = f * 3.0;
  const int index = std::min(2, static_cast<int>(position));
  const double t = position - index;
  char text[16];
  std::snprintf(
    text, sizeof(text), "#%02x%02x%02x",
    static_cast<int>(stops[index][0] + t * (stops[index + 1][0] - stops[index][0])),
    static_cast<int>(stops[index][1] + t * (stops[index + 1][1] - stops[index][1])),
    static_cast<int>(stops[index][2] + t * (stops[index + 1][2] - stops[index][2])));
  return text;
}

double nice_step(double extent)
{
  const double candidates[] = {0.05, 0.1, 0.2, 0.25, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0};
  for (double step : candidates) {
    if (extent / step <= 12.0) {
      return step;
    }
  }
  return 100.0;
}

// Maps metres to pixels with equal scales and x to the right, y up.
class View
{
public:
  explicit View(const PlotScene & scene)
  {
    include(0.0, 0.0);
    include(scene.laser.x, scene.laser.y);
    for (const auto & p : scene.accepted) {include(p.x, p.y);}
    for (const auto & s : scene.segments) {include(s.x0, s.y0); include(s.x1, s.y1);}
    for (const auto & t : scene.targets) {include(t.x, t.y);}
    for (const auto & r : scene.returns) {
      if (std::hypot(r.x - scene.laser.x, r.y - scene.laser.y) <= scene.view_radius) {
        include(r.x, r.y);
      }
    }
    const double extent = std::max({max_x_ - min_x_, max_y_ - min_y_, 0.5}) * 1.1;
    const double cx = (min_x_ + max_x_) / 2.0;
    const double cy = (min_y_ + max_y_) / 2.0;
    min_x_ = cx - extent / 2.0; max_x_ = cx + extent / 2.0;
    min_y_ = cy - extent / 2.0; max_y_ = cy + extent / 2.0;
    scale_ = kCanvas / extent;
  }

  double px(double x) const {return kMargin + (x - min_x_) * scale_;}
  double py(double y) const {return kMargin + (max_y_ - y) * scale_;}
  bool contains(double x, double y) const {return x >= min_x_ && x <= max_x_ && y >= min_y_ && y <= max_y_;}
  double scale() const {return scale_;}
  double min_x() const {return min_x_;}
  double max_x() const {return max_x_;}
  double min_y() const {return min_y_;}
  double max_y() const {return max_y_;}

private:
  void include(double x, double y)
  {
    if (!std::isfinite(x) || !std::isfinite(y)) {
      return;
    }
    min_x_ = std::min(min_x_, x); max_x_ = std::max(max_x_, x);
    min_y_ = std::min(min_y_, y); max_y_ = std::max(max_y_, y);
  }

  double min_x_ = 0.0, max_x_ = 0.0, min_y_ = 0.0, max_y_ = 0.0, scale_ = 1.0;
};

void draw_grid(std::ostream & out, const View & view, const std::string & frame)
{
  const double step = nice_step(view.max_x() - view.min_x());
  out << "<g stroke='#dddddd' stroke-width='1'>\n";
  for (double x = std::ceil(view.min_x() / step) * step; x <= view.max_x(); x += step) {
    out << "<line x1='" << number(view.px(x)) << "' y1='" << number(view.py(view.min_y())) << "' x2='" <<
      number(view.px(x)) << "' y2='" << number(view.py(view.max_y())) << "'/>\n";
  }
  for (double y = std::ceil(view.min_y() / step) * step; y <= view.max_y(); y += step) {
    out << "<line x1='" << number(view.px(view.min_x())) << "' y1='" << number(view.py(y)) << "' x2='" <<
      number(view.px(view.max_x())) << "' y2='" << number(view.py(y)) << "'/>\n";
  }
  out << "</g>\n<g font-size='11' fill='#555555' font-family='sans-serif'>\n";
  for (double x = std::ceil(view.min_x() / step) * step; x <= view.max_x(); x += step) {
    out << "<text x='" << number(view.px(x)) << "' y='" << number(kMargin + kCanvas + 16) <<
      "' text-anchor='middle'>" << number(std::fabs(x) < 1e-9 ? 0.0 : x) << "</text>\n";
  }
  for (double y = std::ceil(view.min_y() / step) * step; y <= view.max_y(); y += step) {
    out << "<text x='" << number(kMargin - 6) << "' y='" << number(view.py(y) + 4) <<
      "' text-anchor='end'>" << number(std::fabs(y) < 1e-9 ? 0.0 : y) << "</text>\n";
  }
  out << "<text x='" << number(kMargin + kCanvas / 2) << "' y='" << number(kMargin + kCanvas + 36) <<
    "' text-anchor='middle'>x [m] in " << escape(frame) << "</text>\n";
  out << "<text x='16' y='" << number(kMargin + kCanvas / 2) << "' text-anchor='middle' transform='rotate(-90 16 " <<
    number(kMargin + kCanvas / 2) << ")'>y [m] in " << escape(frame) << "</text>\n</g>\n";
  out << "<rect x='" << kMargin << "' y='" << kMargin << "' width='" << kCanvas << "' height='" << kCanvas <<
    "' fill='none' stroke='#888888'/>\n";
}

void draw_arrow(
  std::ostream & out, const View & view, const Pose2D & from, double length, const std::string & colour,
  double width)
{
  const double x1 = from.x + length * std::cos(from.yaw);
  const double y1 = from.y + length * std::sin(from.yaw);
  out << "<line x1='" << number(view.px(from.x)) << "' y1='" << number(view.py(from.y)) << "' x2='" <<
    number(view.px(x1)) << "' y2='" << number(view.py(y1)) << "' stroke='" << colour << "' stroke-width='" <<
    width << "' marker-end='url(#head-" << colour.substr(1) << ")'/>\n";
}

void arrow_head_definition(std::ostream & out, const std::string & colour)
{
  out << "<marker id='head-" << colour.substr(1) << "' viewBox='0 0 10 10' refX='8' refY='5' markerWidth='5' "
    "markerHeight='5' orient='auto-start-reverse'><path d='M0,0 L10,5 L0,10 z' fill='" << colour << "'/></marker>\n";
}

const char kSegmentColour[] = "#2e9e2e";
const char kRejectedColour[] = "#b0006e";
const char kTargetColour[] = "#e0301e";
const char kAxisX[] = "#d62728";
const char kAxisY[] = "#1f77b4";
const char kLaserColour[] = "#444444";

float intensity_scale(const PlotScene & scene)
{
  float highest = 0.0f;
  for (const auto & r : scene.returns) {
    if (std::isfinite(r.intensity)) {
      highest = std::max(highest, r.intensity);
    }
  }
  return highest;
}

void draw_line(std::ostream & out, const View & view, const PlotSegment & s)
{
  out << "<line x1='" << number(view.px(s.x0)) << "' y1='" << number(view.py(s.y0)) << "' x2='" <<
    number(view.px(s.x1)) << "' y2='" << number(view.py(s.y1)) << "'/>\n";
}

// Rejected candidate pairs: dashed over their legs, the reason in words.
void draw_rejected(std::ostream & out, const PlotScene & scene, const View & view)
{
  if (scene.rejected.empty()) {
    return;
  }
  out << "<g stroke='" << kRejectedColour << "' stroke-width='2' stroke-dasharray='6 4' fill='none'>\n";
  for (const auto & pair : scene.rejected) {
    draw_line(out, view, pair.a);
    draw_line(out, view, pair.b);
  }
  out << "</g>\n<g font-family='sans-serif' font-size='12' fill='" << kRejectedColour << "'>\n";
  for (const auto & pair : scene.rejected) {
    out << "<text x='" << number(view.px(pair.x) + 6) << "' y='" << number(view.py(pair.y) - 6) << "'>" <<
      escape(pair.reason) << "</text>\n";
  }
  out << "</g>\n";
}

void draw_scene(std::ostream & out, const PlotScene & scene, const View & view, float highest)
{
  const double frame_axis = std::max(0.1, 40.0 / view.scale());
  draw_arrow(out, view, {0.0, 0.0, 0.0}, frame_axis, kAxisX, 2.5);
  draw_arrow(out, view, {0.0, 0.0, 1.5707963267948966}, frame_axis, kAxisY, 2.5);
  out << "<g>\n";
  for (const auto & r : scene.returns) {
    if (view.contains(r.x, r.y)) {
      out << "<circle cx='" << number(view.px(r.x)) << "' cy='" << number(view.py(r.y)) << "' r='1.8' fill='" <<
        ramp_colour(highest > 0.0f ? r.intensity / highest : 0.0) << "'/>\n";
    }
  }
  out << "</g>\n<g fill='none' stroke='#000000' stroke-width='1.2'>\n";
  for (const auto & p : scene.accepted) {
    out << "<circle cx='" << number(view.px(p.x)) << "' cy='" << number(view.py(p.y)) << "' r='4'/>\n";
  }
  out << "</g>\n<g stroke='" << kSegmentColour << "' stroke-width='3' stroke-linecap='round' opacity='0.85'>\n";
  for (const auto & s : scene.segments) {
    out << "<line x1='" << number(view.px(s.x0)) << "' y1='" << number(view.py(s.y0)) << "' x2='" <<
      number(view.px(s.x1)) << "' y2='" << number(view.py(s.y1)) << "'/>\n";
  }
  out << "</g>\n";
  draw_rejected(out, scene, view);
  const double arrow = std::max(0.1, 60.0 / view.scale());
  for (const auto & t : scene.targets) {
    out << "<circle cx='" << number(view.px(t.x)) << "' cy='" << number(view.py(t.y)) << "' r='5' fill='" <<
      kTargetColour << "'/>\n";
    draw_arrow(out, view, t, arrow, kTargetColour, 2.5);
  }
  // The laser: a small square with a tick along its own x axis.
  out << "<rect x='" << number(view.px(scene.laser.x) - 5) << "' y='" << number(view.py(scene.laser.y) - 5) <<
    "' width='10' height='10' fill='" << kLaserColour << "'/>\n";
  draw_arrow(out, view, scene.laser, frame_axis * 0.7, kLaserColour, 1.5);
}

void draw_legend(std::ostream & out, const PlotScene & scene, float highest)
{
  const double x = kMargin + kCanvas + 25;
  double y = kMargin + 10;
  out << "<g font-family='sans-serif' font-size='13'>\n";
  auto label = [&](const std::string & text) {
      out << "<text x='" << number(x + 30) << "' y='" << number(y + 4) << "'>" << escape(text) << "</text>\n";
      y += 26;
    };
  out << "<text x='" << number(x) << "' y='" << number(y) << "' font-weight='bold'>Legend</text>\n";
  y += 26;
  for (int i = 0; i < 20; ++i) {
    out << "<rect x='" << number(x + i * 9) << "' y='" << number(y - 6) << "' width='9' height='12' fill='" <<
      ramp_colour(i / 19.0) << "'/>\n";
  }
  y += 22;
  out << "<text x='" << number(x) << "' y='" << number(y) << "'>returns, intensity 0 .. " <<
    number(highest) << "</text>\n";
  y += 30;
  out << "<circle cx='" << number(x + 10) << "' cy='" << number(y) << "' r='4' fill='none' stroke='#000000'/>\n";
  label("accepted (inside bands): " + std::to_string(scene.accepted.size()));
  out << "<line x1='" << number(x) << "' y1='" << number(y) << "' x2='" << number(x + 20) << "' y2='" << number(y) <<
    "' stroke='" << kSegmentColour << "' stroke-width='3'/>\n";
  label("segments: " + std::to_string(scene.segments.size()));
  out << "<circle cx='" << number(x + 10) << "' cy='" << number(y) << "' r='5' fill='" << kTargetColour << "'/>\n";
  label("target corner + heading: " + std::to_string(scene.targets.size()));
  out << "<line x1='" << number(x) << "' y1='" << number(y) << "' x2='" << number(x + 20) << "' y2='" << number(y) <<
    "' stroke='" << kRejectedColour << "' stroke-width='2' stroke-dasharray='6 4'/>\n";
  label("rejected candidate pair (why): " + std::to_string(scene.rejected.size()));
  out << "<line x1='" << number(x) << "' y1='" << number(y) << "' x2='" << number(x + 20) << "' y2='" << number(y) <<
    "' stroke='" << kAxisX << "' stroke-width='2.5'/>\n";
  label(scene.frame + " x axis");
  out << "<line x1='" << number(x) << "' y1='" << number(y) << "' x2='" << number(x + 20) << "' y2='" << number(y) <<
    "' stroke='" << kAxisY << "' stroke-width='2.5'/>\n";
  label(scene.frame + " y axis");
  out << "<rect x='" << number(x + 5) << "' y='" << number(y - 5) << "' width='10' height='10' fill='" <<
    kLaserColour << "'/>\n";
  label("laser (tick: its x axis)");
  out << "</g>\n";
}

}  // namespace

std::string render_svg(const PlotScene & scene)
{
  const View view(scene);
  const float highest = intensity_scale(scene);
  std::ostringstream out;
  const double width = kMargin * 2 + kCanvas + kLegendWidth;
  const double height = kMargin * 2 + kCanvas + 10;
  out << "<?xml version='1.0' encoding='UTF-8'?>\n<svg xmlns='http://www.w3.org/2000/svg' width='" << width <<
    "' height='" << height << "' viewBox='0 0 " << width << " " << height << "'>\n<defs>\n";
  for (const char * colour : {kTargetColour, kAxisX, kAxisY, kLaserColour}) {
    arrow_head_definition(out, colour);
  }
  out << "</defs>\n<rect width='100%' height='100%' fill='#ffffff'/>\n";
  out << "<text x='" << kMargin << "' y='24' font-family='sans-serif' font-size='16' font-weight='bold'>" <<
    escape(scene.title) << "</text>\n";
  out << "<text x='" << kMargin << "' y='44' font-family='sans-serif' font-size='12' fill='#333333'>" <<
    escape(scene.subtitle) << "</text>\n";
  draw_grid(out, view, scene.frame);
  draw_scene(out, scene, view, highest);
  draw_legend(out, scene, highest);
  out << "</svg>\n";
  return out.str();
}

}  // namespace align_tools
