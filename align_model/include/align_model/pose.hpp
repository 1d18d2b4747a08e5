#ifndef ALIGN_MODEL__POSE_HPP_
#define ALIGN_MODEL__POSE_HPP_

namespace align_model
{

// A target pose in the publish frame: position in metres, heading in radians.
struct Pose
{
  float x = 0.0f;
  float y = 0.0f;
  float theta = 0.0f;
};

}  // namespace align_model

#endif  // ALIGN_MODEL__POSE_HPP_
