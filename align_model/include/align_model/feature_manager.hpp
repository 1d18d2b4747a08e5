#ifndef ALIGN_MODEL__FEATURE_MANAGER_HPP_
#define ALIGN_MODEL__FEATURE_MANAGER_HPP_

#include <deque>
#include <memory>
#include <vector>

#include "align_model/feature.hpp"
#include "align_model/pose.hpp"

namespace align_model
{

// Longest smoothing history that a node accepts: minutes of scans at any
// scanner rate. The history is allocated at start-up, so a value in the
// billions would take gigabytes and end the program without a word.
inline constexpr int kMaxSmoothingTimes = 10000;

// Chooses one candidate per scan by weighted softmax scores (angle match,
// direction behind the robot, nearness to the previous choice), keeps the
// choices of the last `times` scans and smooths the chosen pose over them.
class FeatureManager
{
public:
  // `times` must be at least 1 (the node rejects smaller values at start-up);
  // smaller values throw std::invalid_argument.
  FeatureManager(double weights_angle_error, double weights_distance_anti_x,
    double weights_distance_last_f, int times);

  void add_feature(std::shared_ptr<Feature> feature);
  FeatureManager & evaluate();
  std::shared_ptr<Pose> get_pose();
  void next_frame();

  // For inspection in tests and tools.
  const std::deque<std::shared_ptr<Pose>> & history() const {return history_;}
  const std::vector<float> & scores() const {return scores_;}
  const std::vector<std::shared_ptr<Feature>> & features() const {return features_;}

private:
  std::shared_ptr<Pose> pose_;
  std::deque<std::shared_ptr<Pose>> history_;
  std::vector<std::shared_ptr<Feature>> features_;
  std::vector<float> scores_;
  float weights_angle_error_;
  float weights_distance_anti_x_;
  float weights_distance_last_f_;
};

}  // namespace align_model

#endif  // ALIGN_MODEL__FEATURE_MANAGER_HPP_
