#include "align_dock_sim/scene.hpp"

#include <yaml-cpp/yaml.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <optional>
#include <tuple>
#include <set>
#include <sstream>

#include "align_tools/scanner_profile.hpp"

namespace align_dock_sim
{
namespace
{

// Walks one YAML map, knows the dotted path of its keys for messages, and
// refuses keys that nobody asked for.
class MapReader
{
public:
  MapReader(const YAML::Node & node, std::string path, const std::string & source)
  : node_(node), path_(std::move(path)), source_(source)
  {
    if (!node_.IsMap()) {
      fail(path_.empty() ? "the file" : path_, "must be a map of keys");
    }
  }

  bool has(const std::string & key) const {return static_cast<bool>(node_[key]);}

  double number(const std::string & key, double fallback, const std::function<bool(double)> & valid, const char * what)
  {
    const YAML::Node value = take(key);
    if (!value) {
      return fallback;
    }
    double result = 0.0;
    if (!value.IsScalar() || !YAML::convert<double>::decode(value, result) || !std::isfinite(result) ||
      !valid(result))
    {
      fail(name(key), std::string("must be ") + what + " (got '" + text_of(value) + "')");
    }
    return result;
  }

  double any_number(const std::string & key, double fallback)
  {
    return number(key, fallback, [](double) {return true;}, "a finite number");
  }
  double positive(const std::string & key, double fallback)
  {
    return number(key, fallback, [](double v) {return v > 0.0;}, "a positive number");
  }
  double non_negative(const std::string & key, double fallback)
  {
    return number(key, fallback, [](double v) {return v >= 0.0;}, "a number of at least 0");
  }
  double fraction(const std::string & key, double fallback)
  {
    return number(key, fallback, [](double v) {return v >= 0.0 && v <= 1.0;}, "a number from 0 to 1");
  }

  int count(const std::string & key, int fallback)
  {
    const YAML::Node value = take(key);
    if (!value) {
      return fallback;
    }
    long long result = 0;
    if (!value.IsScalar() || !YAML::convert<long long>::decode(value, result) || result < 1 || result > 100000) {
      fail(name(key), "must be a whole number from 1 to 100000 (got '" + text_of(value) + "')");
    }
    return static_cast<int>(result);
  }

  std::string text(const std::string & key, const std::string & fallback)
  {
    const YAML::Node value = take(key);
    if (!value) {
      return fallback;
    }
    if (!value.IsScalar() || value.Scalar().empty()) {
      fail(name(key), "must be a non-empty name");
    }
    return value.Scalar();
  }

  // [low, high] with low <= high.
  std::pair<double, double> range(const std::string & key, std::pair<double, double> fallback)
  {
    const YAML::Node value = take(key);
    if (!value) {
      return fallback;
    }
    std::pair<double, double> result;
    if (!value.IsSequence() || value.size() != 2 ||
      !YAML::convert<double>::decode(value[0], result.first) ||
      !YAML::convert<double>::decode(value[1], result.second) ||
      !std::isfinite(result.first) || !std::isfinite(result.second) || result.first > result.second)
    {
      fail(name(key), "must be a list of two numbers [low, high] with low <= high");
    }
    return result;
  }

  // A map that may be left out.
  std::optional<MapReader> optional_map(const std::string & key)
  {
    if (!has(key)) {
      take(key);
      return std::nullopt;
    }
    return map(key);
  }

  MapReader map(const std::string & key)
  {
    const YAML::Node value = take(key);
    if (!value) {
      fail(name(key), "is required");
    }
    return MapReader(value, name(key), source_);
  }

  // {x, y, yaw}; all three required.
  Pose2D pose(const std::string & key)
  {
    MapReader pose_map = map(key);
    Pose2D pose;
    pose.x = pose_map.required_number("x");
    pose.y = pose_map.required_number("y");
    pose.yaw = pose_map.required_number("yaw");
    pose_map.finish();
    return pose;
  }

  double required_number(const std::string & key)
  {
    if (!has(key)) {
      fail(name(key), "is required");
    }
    return any_number(key, 0.0);
  }

  // Each element of a list of maps.
  void each(const std::string & key, const std::function<void(MapReader &)> & read)
  {
    const YAML::Node value = take(key);
    if (!value || value.IsNull()) {
      return;
    }
    if (!value.IsSequence()) {
      fail(name(key), "must be a list");
    }
    for (std::size_t i = 0; i < value.size(); ++i) {
      MapReader element(value[i], name(key) + "[" + std::to_string(i) + "]", source_);
      read(element);
      element.finish();
    }
  }

  // Every key of the map must have been read.
  void finish() const
  {
    for (const auto & entry : node_) {
      const std::string key = entry.first.as<std::string>();
      if (taken_.count(key) == 0) {
        fail(name(key), "is not a key of a scene file (misspelt?)");
      }
    }
  }

  [[noreturn]] void fail(const std::string & key, const std::string & problem) const
  {
    throw SceneError("scene file " + source_ + ": key '" + key + "' " + problem);
  }

private:
  YAML::Node take(const std::string & key)
  {
    taken_.insert(key);
    return node_[key];
  }
  std::string name(const std::string & key) const {return path_.empty() ? key : path_ + "." + key;}
  static std::string text_of(const YAML::Node & value)
  {
    if (value.IsScalar()) {
      return value.Scalar();
    }
    std::ostringstream out;
    out << value;
    return out.str();
  }

  YAML::Node node_;
  std::string path_;
  std::string source_;
  std::set<std::string> taken_;
};

void read_target(MapReader & file, Scene & scene)
{
  MapReader target = file.map("target");
  scene.target.apex = target.pose("apex");
  scene.target.plate_length = target.positive("plate_length", scene.target.plate_length);
  scene.target.opening = target.number(
    "opening", scene.target.opening, [](double v) {return v > 0.0 && v < 3.141592653589793;},
    "an angle between 0 and pi (radians)");
  scene.target.intensity = static_cast<float>(target.non_negative("intensity", scene.target.intensity));
  scene.target.intensity_jitter =
    static_cast<float>(target.non_negative("intensity_jitter", scene.target.intensity_jitter));
  target.finish();
}

void read_staging(MapReader & file, Scene & scene)
{
  auto staging = file.optional_map("staging");
  if (!staging) {
    return;
  }
  StagingRegion & region = scene.staging;
  std::tie(region.along_min, region.along_max) = staging->range("along", {region.along_min, region.along_max});
  std::tie(region.across_min, region.across_max) =
    staging->range("across", {region.across_min, region.across_max});
  std::tie(region.yaw_min, region.yaw_max) = staging->range("yaw", {region.yaw_min, region.yaw_max});
  staging->finish();
}

// What walls and boxes share: where they stand and how bright they are.
template<typename ItemT>
void read_placement(MapReader & item, ItemT & placed)
{
  placed.pose.x = item.required_number("x");
  placed.pose.y = item.required_number("y");
  placed.pose.yaw = item.any_number("yaw", 0.0);
  placed.intensity = static_cast<float>(item.non_negative("intensity", placed.intensity));
  placed.intensity_jitter = static_cast<float>(item.non_negative("intensity_jitter", placed.intensity_jitter));
}

void read_obstacles(MapReader & file, Scene & scene)
{
  file.each(
    "walls", [&scene](MapReader & item) {
      SceneWall wall;
      read_placement(item, wall);
      wall.length = item.positive("length", wall.length);
      scene.walls.push_back(wall);
    });
  file.each(
    "boxes", [&scene](MapReader & item) {
      SceneBox box;
      read_placement(item, box);
      box.length = item.positive("length", box.length);
      box.width = item.positive("width", box.width);
      scene.boxes.push_back(box);
    });
}

void read_laser(MapReader & file, Scene & scene)
{
  MapReader laser = file.map("laser");
  align_tools::ScannerModel & model = scene.laser;
  model.frame_id = laser.text("frame", model.frame_id);
  scene.laser_mount = laser.pose("mount");
  model.angle_min = static_cast<float>(laser.any_number("angle_min", model.angle_min));
  model.angle_increment = static_cast<float>(laser.positive("angle_increment", model.angle_increment));
  model.count = laser.count("readings", model.count);
  model.range_min = static_cast<float>(laser.non_negative("range_min", model.range_min));
  model.range_max = static_cast<float>(laser.positive("range_max", model.range_max));
  model.range_noise = laser.non_negative("range_noise", model.range_noise);
  model.dropout_rate = laser.fraction("dropout_rate", model.dropout_rate);
  model.nan_rate = laser.fraction("nan_rate", model.nan_rate);
  scene.scanner_profile = laser.text("scanner", scene.scanner_profile);
  try {
    align_tools::scanner_profile(scene.scanner_profile);
  } catch (const std::invalid_argument & error) {
    laser.fail("laser.scanner", error.what());
  }
  model.errors.intensity.full_scale = laser.positive("intensity_scale", model.errors.intensity.full_scale);
  if (model.range_min >= model.range_max) {
    laser.fail("laser.range_min", "must be below laser.range_max");
  }
  if (model.dropout_rate + model.nan_rate > 1.0) {
    laser.fail("laser.dropout_rate", "and laser.nan_rate must add up to at most 1");
  }
  laser.finish();
}

void read_robot(MapReader & file, Scene & scene)
{
  auto robot = file.optional_map("robot");
  if (!robot) {
    return;
  }
  RobotLimits & limits = scene.robot;
  limits.max_linear_speed = robot->positive("max_linear_speed", limits.max_linear_speed);
  limits.max_angular_speed = robot->positive("max_angular_speed", limits.max_angular_speed);
  limits.max_linear_acceleration = robot->positive("max_linear_acceleration", limits.max_linear_acceleration);
  limits.max_angular_acceleration = robot->positive("max_angular_acceleration", limits.max_angular_acceleration);
  robot->finish();
}

Scene read_scene(const YAML::Node & root, const std::string & source)
{
  MapReader file(root, "", source);
  Scene scene;
  scene.world_frame = file.text("world_frame", scene.world_frame);
  read_target(file, scene);
  scene.docked = file.pose("docked");
  read_staging(file, scene);
  read_obstacles(file, scene);
  read_laser(file, scene);
  read_robot(file, scene);
  file.finish();
  return scene;
}

// Both ends of a segment from its centre, direction and length.
align_tools::Surface segment(const Pose2D & centre, double length, float intensity, float jitter)
{
  const double dx = 0.5 * length * std::cos(centre.yaw);
  const double dy = 0.5 * length * std::sin(centre.yaw);
  return {centre.x - dx, centre.y - dy, centre.x + dx, centre.y + dy, intensity, jitter,
    align_tools::SurfaceKind::kOrdinary};
}

}  // namespace

Scene parse_scene(const std::string & yaml_text, const std::string & source)
{
  YAML::Node root;
  try {
    root = YAML::Load(yaml_text);
  } catch (const YAML::Exception & error) {
    throw SceneError("scene file " + source + ": not valid YAML: " + error.what());
  }
  if (!root || root.IsNull()) {
    throw SceneError("scene file " + source + ": the file is empty");
  }
  return read_scene(root, source);
}

Scene load_scene(const std::string & path)
{
  std::ifstream in(path);
  if (!in) {
    throw SceneError("scene file " + path + ": cannot be read");
  }
  std::ostringstream text;
  text << in.rdbuf();
  return parse_scene(text.str(), path);
}

void apply_scanner_profile(Scene & scene, const std::string & name)
{
  if (!name.empty()) {
    scene.scanner_profile = name;
  }
  align_tools::apply_scanner_profile(align_tools::scanner_profile(scene.scanner_profile), scene.laser);
}

Pose2D docked_pose_in_world(const Scene & scene)
{
  return align_tools::compose(scene.target.apex, scene.docked);
}

std::vector<align_tools::Surface> scene_surfaces(const Scene & scene)
{
  std::vector<align_tools::Surface> surfaces;
  const SceneTarget & target = scene.target;
  for (double side : {1.0, -1.0}) {
    const Pose2D end = align_tools::compose(
      target.apex, {target.plate_length * std::cos(side * target.opening / 2.0),
        target.plate_length * std::sin(side * target.opening / 2.0), 0.0});
    surfaces.push_back(
      {target.apex.x, target.apex.y, end.x, end.y, target.intensity, target.intensity_jitter,
        align_tools::SurfaceKind::kRetroReflective});
  }
  for (const auto & wall : scene.walls) {
    surfaces.push_back(segment(wall.pose, wall.length, wall.intensity, wall.intensity_jitter));
  }
  for (const auto & box : scene.boxes) {
    // Four sides: the two of `length` run along yaw, the two of `width` across it.
    const double c = std::cos(box.pose.yaw);
    const double s = std::sin(box.pose.yaw);
    const double hl = 0.5 * box.length;
    const double hw = 0.5 * box.width;
    const double corners[5][2] = {{-hl, -hw}, {hl, -hw}, {hl, hw}, {-hl, hw}, {-hl, -hw}};
    for (int k = 0; k < 4; ++k) {
      surfaces.push_back(
        {box.pose.x + c * corners[k][0] - s * corners[k][1], box.pose.y + s * corners[k][0] + c * corners[k][1],
          box.pose.x + c * corners[k + 1][0] - s * corners[k + 1][1],
          box.pose.y + s * corners[k + 1][0] + c * corners[k + 1][1], box.intensity, box.intensity_jitter,
          align_tools::SurfaceKind::kOrdinary});
    }
  }
  return surfaces;
}

}  // namespace align_dock_sim
