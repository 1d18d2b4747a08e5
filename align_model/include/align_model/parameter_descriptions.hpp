// What `ros2 param describe` says of the detector parameters that more than
// one of our nodes declares: the two programs and the dock plugin share these
// texts so that one parameter reads the same wherever it is set.
#ifndef ALIGN_MODEL__PARAMETER_DESCRIPTIONS_HPP_
#define ALIGN_MODEL__PARAMETER_DESCRIPTIONS_HPP_

namespace align_model::descriptions
{

// The scan's angle window and the band a reading must lie in to become a point.
inline constexpr const char * kMinAngle = "Lower bound of the scan's angle window (rad)";
inline constexpr const char * kMaxAngle = "Upper bound of the scan's angle window (rad)";
inline constexpr const char * kMinIntensity = "A reading becomes a point only above this intensity";
inline constexpr const char * kMaxIntensity = "A reading becomes a point only below this intensity";
inline constexpr const char * kMinRange = "A reading becomes a point only above this range (m)";
inline constexpr const char * kMaxRange = "A reading becomes a point only below this range (m)";

// The line segment detector.
inline constexpr const char * kThresholdSplitNeighbor =
  "Line detector: cut the points into runs where a gap exceeds four times the gap before it";
inline constexpr const char * kThresholdSplit = "Line detector: largest distance of a point from its line (m)";
inline constexpr const char * kMinLength = "Line detector: shortest segment (m)";
inline constexpr const char * kMinPointsPerLine = "Line detector: fewest points of a segment";
inline constexpr const char * kMinPointsPerUnit = "Line detector: fewest points per metre of a segment";

// The corner of two plates, in align_feature_node's words.
inline constexpr const char * kPointsMaxDistance =
  "Largest gap between the facing ends of the two plates of a corner (m)";
inline constexpr const char * kMinLineLen = "Shortest plate segment of a corner (m)";
inline constexpr const char * kMaxLineLen = "Longest plate segment of a corner (m)";
inline constexpr const char * kTargetAngle = "Angle between the directions of the two plates (rad)";
inline constexpr const char * kAngleError = "Admissible deviation from target_angle, as a fraction of it";

// align_feature_node's candidate scoring and smoothing.
inline constexpr const char * kWeightsAngleError = "Candidate scoring: weight of the corner's angle error";
inline constexpr const char * kWeightsDistanceAntiX =
  "Candidate scoring: weight of how nearly straight behind (along -x) the corner lies";
inline constexpr const char * kWeightsDistanceLastF =
  "Candidate scoring: weight of the distance to the previous pose";
inline constexpr const char * kTimes = "Number of scans the pose is smoothed over (1 to 10000)";

// align_node's heading rule.
inline constexpr const char * kAngleType =
  "Above 0: refit the lines and head along the corner's bisector; 0: bisector without refit; "
  "below 0: head from the corner towards the base frame's origin";
inline constexpr const char * kAntiPoseAngle = "Negate the heading of the target pose";

// The opt-in refinements that both programs offer beyond their original
// pipeline.
inline constexpr const char * kOrthogonalRefit =
  "Refit each segment by orthogonal (total least squares) regression instead of y = kx + b; "
  "removes the bias that range noise gives the plates' directions and the corner (false keeps the original refit)";
inline constexpr const char * kTwoSidedAngleTest =
  "Accept a pair only when its turn lies within the angle tolerance on both sides of target_angle "
  "(false: any turn smaller than target_angle passes, as originally)";

}  // namespace align_model::descriptions

#endif  // ALIGN_MODEL__PARAMETER_DESCRIPTIONS_HPP_
