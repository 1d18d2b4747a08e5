#include "align_model/softmax_shares.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>

namespace align_model
{
namespace
{

constexpr float kInfinity = std::numeric_limits<float>::infinity();

std::optional<float> largest_value(const std::vector<float> & values)
{
  std::optional<float> largest;
  for (const float value : values) {
    if (!std::isnan(value) && (!largest || value > *largest)) {
      largest = value;
    }
  }
  return largest;
}

// Fills `terms` with expf(v_k - shift) and returns their sum. A value equal to
// the shift gives exactly 1, also when both are -infinity.
float exponentials(const std::vector<float> & values, float shift, std::vector<float> & terms)
{
  float sum = 0.0f;
  for (std::size_t k = 0; k < values.size(); ++k) {
    const float value = values[k];
    if (std::isnan(value)) {
      terms[k] = 0.0f;
    } else if (value == shift) {
      terms[k] = 1.0f;
    } else {
      terms[k] = std::exp(value - shift);
    }
    sum += terms[k];
  }
  return sum;
}

void share_among_unbounded(
  const std::vector<float> & values, float weight, std::size_t unbounded, std::vector<float> & scores)
{
  const float share = weight / static_cast<float>(unbounded);
  for (std::size_t k = 0; k < values.size(); ++k) {
    if (values[k] == kInfinity) {
      scores[k] += share;
    }
  }
}

}  // namespace

void add_softmax_shares(const std::vector<float> & values, float weight, std::vector<float> & scores)
{
  const auto unbounded = static_cast<std::size_t>(std::count(values.begin(), values.end(), kInfinity));
  if (unbounded > 0) {
    share_among_unbounded(values, weight, unbounded, scores);
    return;
  }

  // The shift starts at 0 rather than at the largest value, so that the
  // choices stay those of the established scoring wherever its sum is usable.
  float shift = 0.0f;
  for (const float value : values) {
    if (value > shift) {
      shift = value;
    }
  }
  std::vector<float> terms(values.size());
  float sum = exponentials(values, shift, terms);
  if (!(sum > 0.0f)) {
    const auto largest = largest_value(values);
    if (!largest) {
      return;
    }
    sum = exponentials(values, *largest, terms);
  }
  for (std::size_t k = 0; k < values.size(); ++k) {
    scores[k] += weight * terms[k] / sum;
  }
}

}  // namespace align_model
