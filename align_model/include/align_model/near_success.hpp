#ifndef ALIGN_MODEL__NEAR_SUCCESS_HPP_
#define ALIGN_MODEL__NEAR_SUCCESS_HPP_

#include <vector>

namespace align_model
{

// Whether each of the last 12 evaluated scans produced a target pose.
struct NearSuccess
{
  static constexpr int kSize = 12;

  std::vector<bool> near_success_ = std::vector<bool>(kSize, true);
  int near_success_count_ = kSize;
  int near_success_index_ = 0;

  // Records one evaluated scan and returns the success rate over the record.
  double record(bool found);
};

}  // namespace align_model

#endif  // ALIGN_MODEL__NEAR_SUCCESS_HPP_
