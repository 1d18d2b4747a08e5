// The optional output of the target pose in the standard docking form
// (align_model/dock_pose.hpp), switched on by the parameter `dock_pose_topic`.
#ifndef PROGRAM__DOCK_POSE_TOPIC_HPP_
#define PROGRAM__DOCK_POSE_TOPIC_HPP_

namespace align_program
{

constexpr char kDockPoseTopicParameter[] = "dock_pose_topic";
constexpr char kDockPoseTopicDescription[] =
  "When not empty, every published pose is also published on this topic as a standard PoseStamped "
  "for docking controllers: same frame and x, y, position.z 0, orientation the yaw quaternion of "
  "the heading, stamp of the scan it was computed from. Read at start-up; empty (the default) "
  "publishes nothing extra";

}  // namespace align_program

#endif  // PROGRAM__DOCK_POSE_TOPIC_HPP_
