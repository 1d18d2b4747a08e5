#include "align_dock_sim/trial_plot.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace align_dock_sim
{
namespace
{

constexpr double kPixelsPerMetre = 300.0;  // the overview
constexpr double kMargin = 60.0;  // px around a drawing, room for labels
constexpr double kHeader = 90.0;  // px above the drawings: title and legend
constexpr double kInsetHalfWidth = 0.025;  // m: the close-ups show +-2.5 cm
constexpr double kInsetPixels = 300.0;
constexpr char kDockedColour[] = "#2e9e44";
constexpr char kFailedColour[] = "#d1343b";
constexpr char kDetectionColour[] = "#2b6cd1";

std::string number(double value)
{
  char text[32];
  std::snprintf(text, sizeof(text), "%.1f", value);
  return text;
}

// A rectangle of the world drawn at `scale` px/m with its top-left corner at
// (left, top) px; y points up in the world and down on the page.
class View
{
public:
  View(double scale, double left, double top)
  : scale_(scale), left_(left), top_(top) {}

  void include(double x, double y)
  {
    min_x_ = std::min(min_x_, x); max_x_ = std::max(max_x_, x);
    min_y_ = std::min(min_y_, y); max_y_ = std::max(max_y_, y);
  }
  void pad(double metres)
  {
    min_x_ -= metres; max_x_ += metres; min_y_ -= metres; max_y_ += metres;
  }
  double px(double x) const {return left_ + (x - min_x_) * scale_;}
  double py(double y) const {return top_ + (max_y_ - y) * scale_;}
  double width() const {return (max_x_ - min_x_) * scale_;}
  double height() const {return (max_y_ - min_y_) * scale_;}
  double left() const {return left_;}
  double top() const {return top_;}
  double min_x() const {return min_x_;}
  double max_x() const {return max_x_;}
  double min_y() const {return min_y_;}
  double max_y() const {return max_y_;}

private:
  double scale_;
  double left_;
  double top_;
  double min_x_ = std::numeric_limits<double>::infinity();
  double max_x_ = -std::numeric_limits<double>::infinity();
  double min_y_ = std::numeric_limits<double>::infinity();
  double max_y_ = -std::numeric_limits<double>::infinity();
};

std::string line(const View & v, double x0, double y0, double x1, double y1, const std::string & style)
{
  return "<line x1=\"" + number(v.px(x0)) + "\" y1=\"" + number(v.py(y0)) + "\" x2=\"" + number(v.px(x1)) +
         "\" y2=\"" + number(v.py(y1)) + "\" " + style + "/>\n";
}

std::string text(double x, double y, const std::string & content, const std::string & style = "font-size=\"12\"")
{
  return "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" " + style + ">" + content + "</text>\n";
}

// A pose as a circle with a heading stroke of `length` px.
std::string arrow(const View & v, const Pose2D & pose, double length, const std::string & colour, bool filled)
{
  const double x = v.px(pose.x);
  const double y = v.py(pose.y);
  return "<circle cx=\"" + number(x) + "\" cy=\"" + number(y) + "\" r=\"4\" stroke=\"" + colour +
         "\" stroke-width=\"1.5\" fill=\"" + (filled ? colour : "white") + "\"/>\n" +
         "<line x1=\"" + number(x) + "\" y1=\"" + number(y) + "\" x2=\"" +
         number(x + length * std::cos(pose.yaw)) + "\" y2=\"" + number(y - length * std::sin(pose.yaw)) +
         "\" stroke=\"" + colour + "\" stroke-width=\"2\"/>\n";
}

std::string dot(const View & v, const Pose2D & p, double radius, const std::string & colour)
{
  return "<circle cx=\"" + number(v.px(p.x)) + "\" cy=\"" + number(v.py(p.y)) + "\" r=\"" + number(radius) +
         "\" fill=\"" + colour + "\" fill-opacity=\"0.6\"/>\n";
}

// Grid lines every `step` metres, labelled every other line with the
// distance from `origin` times `label_scale`, a frame, and a clip path for
// what is drawn inside.
std::string frame(
  const View & v, double step, const std::string & clip_id, double label_scale, const Pose2D & origin = Pose2D{})
{
  std::string svg = "<clipPath id=\"" + clip_id + "\"><rect x=\"" + number(v.left()) + "\" y=\"" +
    number(v.top()) + "\" width=\"" + number(v.width()) + "\" height=\"" + number(v.height()) +
    "\"/></clipPath>\n";
  const auto label = [label_scale](double value) {
      char t[32];
      std::snprintf(t, sizeof(t), label_scale == 1.0 ? "%.1f" : "%+.0f", value * label_scale);
      return std::string(t);
    };
  const auto labelled = [step](double value) {
      return std::fmod(std::fabs(std::round(value / step)), 2.0) == 0.0;
    };
  for (double x = std::ceil((v.min_x() - origin.x) / step) * step; origin.x + x <= v.max_x() + 1e-9; x += step) {
    svg += line(v, origin.x + x, v.min_y(), origin.x + x, v.max_y(), "stroke=\"#e4e4e4\"");
    if (labelled(x)) {
      svg += text(v.px(origin.x + x), v.top() + v.height() + 16, label(x), "font-size=\"11\" text-anchor=\"middle\"");
    }
  }
  for (double y = std::ceil((v.min_y() - origin.y) / step) * step; origin.y + y <= v.max_y() + 1e-9; y += step) {
    svg += line(v, v.min_x(), origin.y + y, v.max_x(), origin.y + y, "stroke=\"#e4e4e4\"");
    if (labelled(y)) {
      svg += text(v.left() - 6, v.py(origin.y + y) + 4, label(y), "font-size=\"11\" text-anchor=\"end\"");
    }
  }
  return svg + "<rect x=\"" + number(v.left()) + "\" y=\"" + number(v.top()) + "\" width=\"" +
         number(v.width()) + "\" height=\"" + number(v.height()) + "\" fill=\"none\" stroke=\"#999999\"/>\n";
}

std::string surfaces_svg(const View & v, const std::vector<align_tools::Surface> & surfaces)
{
  std::string svg;
  for (std::size_t i = 0; i < surfaces.size(); ++i) {
    // The first two surfaces are the target's plates.
    svg += line(
      v, surfaces[i].ax, surfaces[i].ay, surfaces[i].bx, surfaces[i].by,
      i < 2 ? "stroke=\"#f08c00\" stroke-width=\"4\"" : "stroke=\"#888888\" stroke-width=\"3\"");
  }
  return svg;
}

std::string colour_of(const TrialResult & result)
{
  return result.docked ? kDockedColour : kFailedColour;
}

std::string path_svg(const View & v, const TrialResult & result)
{
  std::string points;
  for (std::size_t i = 0; i < result.path.size(); ++i) {
    points += (i == 0 ? "" : " ") + number(v.px(result.path[i].x)) + "," + number(v.py(result.path[i].y));
  }
  return "<polyline points=\"" + points + "\" fill=\"none\" stroke=\"" + colour_of(result) +
         "\" stroke-width=\"1.5\" stroke-opacity=\"0.8\"/>\n";
}

// The overview: scene, paths, start and end poses, target poses.
std::string overview(const View & v, const Scene & scene, const std::vector<TrialResult> & results)
{
  std::string svg = frame(v, 0.25, "overview", 1.0) + "<g clip-path=\"url(#overview)\">\n";
  svg += surfaces_svg(v, scene_surfaces(scene));
  for (const auto & result : results) {
    svg += path_svg(v, result);
    for (const auto & detection : result.detections) {
      svg += dot(v, detection, 1.5, kDetectionColour);
    }
    svg += arrow(v, result.start, 18, colour_of(result), false);
    svg += arrow(v, result.final_true_pose, 18, colour_of(result), true);
  }
  svg += arrow(v, docked_pose_in_world(scene), 30, "black", false);
  return svg + "</g>\n" + text(v.left(), v.top() - 8, "overview (m, world frame)");
}

// A close-up of +-2.5 cm around `centre`, labelled in millimetres.
View close_up(const Pose2D & centre, double left, double top)
{
  View v(kInsetPixels / (2 * kInsetHalfWidth), left, top);
  v.include(centre.x - kInsetHalfWidth, centre.y - kInsetHalfWidth);
  v.include(centre.x + kInsetHalfWidth, centre.y + kInsetHalfWidth);
  return v;
}

std::string final_poses(const View & v, const Scene & scene, const std::vector<TrialResult> & results)
{
  const Pose2D docked = docked_pose_in_world(scene);
  std::string svg = frame(v, 0.005, "finals", 1000.0, docked) + "<g clip-path=\"url(#finals)\">\n";
  svg += arrow(v, docked, 60, "black", false);
  for (const auto & result : results) {
    svg += arrow(v, result.final_true_pose, 40, colour_of(result), true);
  }
  return svg + "</g>\n" + text(v.left(), v.top() - 8, "final true poses: mm from the docked pose");
}

std::string target_poses(const View & v, const Scene & scene, const std::vector<TrialResult> & results)
{
  std::string svg = frame(v, 0.005, "targets", 1000.0, scene.target.apex) + "<g clip-path=\"url(#targets)\">\n";
  svg += surfaces_svg(v, scene_surfaces(scene));
  for (const auto & result : results) {
    for (const auto & detection : result.detections) {
      svg += dot(v, detection, 2.0, kDetectionColour);
    }
  }
  return svg + "</g>\n" + text(v.left(), v.top() - 8, "target poses received: mm from the apex");
}

std::string legend(const std::string & title, std::size_t docked, std::size_t total)
{
  return text(kMargin, 24, title, "font-size=\"16\" font-weight=\"bold\"") +
         text(
    kMargin, 44, std::to_string(docked) + " of " + std::to_string(total) +
    " docked. Lines: the true path of base_footprint (green: docked, red: failed); open circle: start, "
    "filled: end, with the heading.") +
         text(
    kMargin, 60, "Blue: every target pose the controller received, placed in the world with the true pose at "
    "its scan's stamp. Black: the docked pose. Orange: the plates; grey: walls and boxes.");
}

}  // namespace

std::string render_trials_svg(const Scene & scene, const std::vector<TrialResult> & results, const std::string & title)
{
  View view(kPixelsPerMetre, kMargin, kHeader);
  // The overview shows the target and the paths; the room around is cut off.
  const std::vector<align_tools::Surface> surfaces = scene_surfaces(scene);
  for (std::size_t i = 0; i < std::min<std::size_t>(surfaces.size(), 2); ++i) {
    view.include(surfaces[i].ax, surfaces[i].ay);
    view.include(surfaces[i].bx, surfaces[i].by);
  }
  for (const auto & result : results) {
    for (const auto & p : result.path) {
      view.include(p.x, p.y);
    }
  }
  view.pad(0.3);
  const double insets_left = view.left() + view.width() + kMargin;
  const View finals = close_up(docked_pose_in_world(scene), insets_left, kHeader);
  const View targets = close_up(scene.target.apex, insets_left, kHeader + kInsetPixels + kMargin);
  const double width = std::max(insets_left + kInsetPixels + kMargin, 1100.0);
  const double height = std::max(view.top() + view.height(), targets.top() + kInsetPixels) + kMargin;

  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(width) + "\" height=\"" +
    number(height) + "\" font-family=\"sans-serif\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  std::size_t docked = 0;
  for (const auto & result : results) {
    docked += result.docked ? 1 : 0;
  }
  svg += legend(title, docked, results.size());
  svg += overview(view, scene, results);
  svg += final_poses(finals, scene, results);
  svg += target_poses(targets, scene, results);
  return svg + "</svg>\n";
}

}  // namespace align_dock_sim
