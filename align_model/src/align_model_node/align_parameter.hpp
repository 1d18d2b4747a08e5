#ifndef ALIGN_MODEL_NODE__ALIGN_PARAMETER_HPP_
#define ALIGN_MODEL_NODE__ALIGN_PARAMETER_HPP_

#include <cstdint>
#include <map>
#include <string>

#include "rclcpp/rclcpp.hpp"
#include "tuw_geometry/linesegment2d_detector.hpp"

namespace align_node
{

// Plain copies of the processing parameters of align_node. They are refreshed
// from the node's parameters every second by a wall timer on the executor
// thread, so a scan callback always sees one consistent set without locking.
class AlignParameter
{
public:
  // Declares the holder's parameters on `node`, copies them once and starts
  // the refresh timer. `node` must outlive the holder (the node owns it).
  explicit AlignParameter(rclcpp::Node * node);

  AlignParameter(const AlignParameter &) = delete;
  AlignParameter & operator=(const AlignParameter &) = delete;

  // Copies every holder parameter into its member; a parameter that is not
  // set leaves its member as it was. An integer outside 32 bits also leaves
  // its member as it was and is logged as an ERROR naming the parameter
  // (once per refused value, not at every refresh).
  void update_parameters();

  // Overwritten by the first refresh; these are the detector library's own
  // defaults, kept so that the holder never starts from indeterminate values.
  tuw::LineSegment2DDetectorParameter detector_parameter = initial_detector_parameter();
  double laser_to_base_x = 0.0;
  double laser_to_base_y = 0.0;
  double laser_to_base_th = 0.0;
  double min_intensity = 0.0;
  double max_intensity = 0.0;
  double min_range = 0.0;
  double max_range = 0.0;
  double points_max_distance = 0.0;
  double min_line_len = 0.0;
  double max_line_len = 0.0;
  double target_angle = 0.0;
  double angle_error = 0.0;
  int angle_type = 0;
  bool anti_pose_angle = false;
  bool orthogonal_refit = false;
  std::string base_frame_id;

private:
  static tuw::LineSegment2DDetectorParameter initial_detector_parameter();
  void declare_parameters();
  // Throws std::out_of_range for an integer override outside 32 bits, as
  // align_feature_node does: the program refuses to start with it.
  void refuse_integers_outside_32_bits() const;
  void copy_int32(const std::string & name, int & member);
  template<typename ParameterT>
  void declare(const char * name, const ParameterT & default_value, const char * description);

  rclcpp::Node * node_ = nullptr;
  rclcpp::TimerBase::SharedPtr timer_;
  // The value last refused per integer parameter, so that a bad value left
  // in place is reported once.
  std::map<std::string, std::int64_t> refused_;
};

}  // namespace align_node

#endif  // ALIGN_MODEL_NODE__ALIGN_PARAMETER_HPP_
