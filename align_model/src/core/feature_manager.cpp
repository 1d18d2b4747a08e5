#include "align_model/feature_manager.hpp"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "align_model/softmax_shares.hpp"

namespace align_model
{
namespace
{

// Weights at or below this switch their criterion off.
constexpr double kMinWeight = 1e-5;

bool criterion_enabled(float weight)
{
  return static_cast<double>(weight) > kMinWeight;
}

// A sharper match of the target angle scores higher.
std::vector<float> angle_match_values(const std::vector<std::shared_ptr<Feature>> & features)
{
  std::vector<float> values(features.size());
  for (std::size_t k = 0; k < features.size(); ++k) {
    values[k] = 1.0f / features[k]->angle_error_;
  }
  return values;
}

// Cosine between -x and the direction to the corner: 1 straight behind.
std::vector<float> direction_values(const std::vector<std::shared_ptr<Feature>> & features)
{
  std::vector<float> values(features.size());
  for (std::size_t k = 0; k < features.size(); ++k) {
    const double x = features[k]->pose_->x;
    const double y = features[k]->pose_->y;
    values[k] = static_cast<float>(-x / std::pow(x * x + y * y, 0.5));
  }
  return values;
}

// Inverse distance to the previous choice.
std::vector<float> nearness_values(
  const std::vector<std::shared_ptr<Feature>> & features, const Pose & previous)
{
  std::vector<float> values(features.size());
  for (std::size_t k = 0; k < features.size(); ++k) {
    const double dx = features[k]->pose_->x - previous.x;
    const double dy = features[k]->pose_->y - previous.y;
    values[k] = static_cast<float>(1.0 / std::pow(dx * dx + dy * dy, 0.5));
  }
  return values;
}

// +1 for every step up through the history, -1 for every other step.
int trend(const std::deque<std::shared_ptr<Pose>> & history, float Pose::* component)
{
  int counter = 0;
  for (std::size_t i = 1; i < history.size(); ++i) {
    counter += (*history[i]).*component > (*history[i - 1]).*component ? 1 : -1;
  }
  return counter;
}

float sum_of(const std::deque<std::shared_ptr<Pose>> & history, float Pose::* component)
{
  float sum = 0.0f;
  for (const auto & pose : history) {
    sum += (*pose).*component;
  }
  return sum;
}

// Averages one component over the history, unless it moved the same way
// through the whole window: a steady approach is not held back by the mean.
void smooth_component(
  const std::deque<std::shared_ptr<Pose>> & history, float Pose::* component, Pose & pose)
{
  const long entries = static_cast<long>(history.size());
  if (entries - std::abs(trend(history, component)) != 1) {
    pose.*component = sum_of(history, component) / static_cast<float>(entries);
  }
}

}  // namespace

FeatureManager::FeatureManager(
  double weights_angle_error, double weights_distance_anti_x,
  double weights_distance_last_f, int times)
: weights_angle_error_(static_cast<float>(weights_angle_error)),
  weights_distance_anti_x_(static_cast<float>(weights_distance_anti_x)),
  weights_distance_last_f_(static_cast<float>(weights_distance_last_f))
{
  if (times < 1) {
    throw std::invalid_argument(
            "FeatureManager: times must be at least 1, got times = " + std::to_string(times));
  }
  history_.assign(static_cast<std::size_t>(times), nullptr);
}

void FeatureManager::add_feature(std::shared_ptr<Feature> feature)
{
  // Only corners with a pose can be scored and chosen.
  if (!feature || !feature->pose_) {
    return;
  }
  features_.push_back(std::move(feature));
}

FeatureManager & FeatureManager::evaluate()
{
  const std::size_t candidates = features_.size();
  if (candidates == 0) {
    history_.push_back(nullptr);
    return *this;
  }
  scores_.resize(candidates, 0.0f);
  if (candidates >= 2) {
    if (criterion_enabled(weights_angle_error_)) {
      add_softmax_shares(angle_match_values(features_), weights_angle_error_, scores_);
    }
    if (criterion_enabled(weights_distance_anti_x_)) {
      add_softmax_shares(direction_values(features_), weights_distance_anti_x_, scores_);
    }
    const bool has_previous = !history_.empty() && history_.back();
    if (criterion_enabled(weights_distance_last_f_) && has_previous) {
      add_softmax_shares(
        nearness_values(features_, *history_.back()), weights_distance_last_f_, scores_);
    }
  }
  // Strict: among equal scores the earliest candidate wins.
  std::size_t best = 0;
  for (std::size_t k = 1; k < candidates; ++k) {
    if (scores_[k] > scores_[best]) {
      best = k;
    }
  }
  history_.push_back(features_[best]->pose_);
  pose_ = std::make_shared<Pose>(*features_[best]->pose_);
  return *this;
}

std::shared_ptr<Pose> FeatureManager::get_pose()
{
  if (!pose_) {
    return nullptr;
  }
  for (const auto & entry : history_) {
    if (!entry) {
      return pose_;
    }
  }
  smooth_component(history_, &Pose::x, *pose_);
  smooth_component(history_, &Pose::y, *pose_);
  smooth_component(history_, &Pose::theta, *pose_);
  return pose_;
}

void FeatureManager::next_frame()
{
  pose_.reset();
  if (!history_.empty()) {
    history_.pop_front();
  }
  features_.clear();
}

}  // namespace align_model
