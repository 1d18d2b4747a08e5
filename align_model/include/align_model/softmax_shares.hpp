#ifndef ALIGN_MODEL__SOFTMAX_SHARES_HPP_
#define ALIGN_MODEL__SOFTMAX_SHARES_HPP_

#include <vector>

namespace align_model
{

// Splits `weight` among the candidates by a softmax of their criterion values
// and adds each share to the candidate's score (same positions in both lists;
// `scores` must be at least as long as `values`).
//
// The usual case: m = max(0, values...), e_k = expf(v_k - m), share_k =
// weight * e_k / sum(e). Two cases would otherwise turn the scores into NaN
// for good (they are carried from scan to scan):
// - values of +infinity (a division by zero upstream) take the whole weight,
//   shared equally among them;
// - when every term underflows to 0 (all values far below zero), the largest
//   value is the shift instead of 0.
// A NaN value takes no share.
void add_softmax_shares(const std::vector<float> & values, float weight, std::vector<float> & scores);

}  // namespace align_model

#endif  // ALIGN_MODEL__SOFTMAX_SHARES_HPP_
