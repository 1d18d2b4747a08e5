#ifndef ALIGN_TOOLS__REPLAY_HPP_
#define ALIGN_TOOLS__REPLAY_HPP_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "align_model/scan_points.hpp"
#include "align_tools/recording.hpp"
#include "align_tools/replay_summary.hpp"
#include "align_tools/scan_analysis.hpp"
#include "align_tools/scan_simulator.hpp"
#include "geometry_msgs/msg/pose_stamped.hpp"
#include "rclcpp/rclcpp.hpp"
#include "visualization_msgs/msg/marker.hpp"

namespace align_tools
{

enum class NodeKind
{
  kFeature,  // align_feature_node
  kLine,  // align_node
};

// The program named on a tool's command line ("feature" or "line"); anything
// else throws std::invalid_argument naming the option.
NodeKind parse_node_kind(const std::string & option, const std::string & text);

struct ReplaySettings
{
  NodeKind node = NodeKind::kFeature;
  // For the feature program: a static transform from the scans' frame into
  // publish_frame. For the line program: laser_to_base_x, _y and _th.
  std::optional<Pose2D> laser_mount;
  // Overrides on top of the command line's ROS arguments (tests use them).
  std::vector<rclcpp::Parameter> parameter_overrides;
  // Run the node in debug mode to collect its segments for a picture; the
  // debug outputs are printed only if the configuration asked for debug.
  bool collect_debug_outputs = false;
};

// One message the node published, in publication order.
struct PublishedMessage
{
  std::size_t scan = 0;  // index of the scan being processed
  std::string topic;  // as resolved
  std::string type;  // "pkg/msg/Type"
  std::string json;  // every field
  std::int64_t source_timestamp = 0;
  bool debug_output = false;  // "align_scan" or "align_marker"
  // The node's own pose output (`pose_stamped_topic`); the standard dock
  // pose of `dock_pose_topic` is printed but kept here only as JSON.
  std::shared_ptr<const geometry_msgs::msg::PoseStamped> pose;
  std::shared_ptr<const visualization_msgs::msg::Marker> marker;
};

// How the node saw the scans: its bands and the laser-to-frame transform it
// used, for drawing.
struct NodeView
{
  std::string frame;
  align_model::RangeIntensityBand band;
  std::optional<align_model::PlanarTransform> laser_to_frame;
  // Everything the what-if analyses need to redo the node's steps.
  AnalysisSettings analysis;
};

struct ReplayRun
{
  std::vector<PublishedMessage> published;
  std::vector<ScanOutcome> outcomes;  // one per scan of the recording
  std::vector<std::string> notes;  // facts the user should know, one line each
  bool debug_requested = false;  // the configuration itself set debug
  NodeView view;
};

// The scan topic a node of this kind subscribes to with the current
// configuration (command-line arguments and the overrides). rclcpp must be
// initialised.
std::string configured_scan_topic(const ReplaySettings & settings);

// Runs the node class in-process and feeds it every scan in order, driving
// its clock from the scan stamps through "/clock". rclcpp must be
// initialised; the node lives only for this call. Throws what the node's
// constructor throws (a wrong parameter type, for example) and
// std::runtime_error when a scan never reaches the node.
ReplayRun replay_recording(const Recording & recording, const ReplaySettings & settings);

// The stdout text: one JSON line per published message, debug outputs only
// when the configuration asked for debug. The target poses, the standard dock
// pose and the debug outputs follow the scans' simulated time and are the
// same on every run; "/diagnostics" (parameter `diagnostics`) comes from the
// node's wall-clock timer, so how many of those lines there are, and their
// rates, vary from run to run.
std::string published_json_lines(const ReplayRun & run);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__REPLAY_HPP_
