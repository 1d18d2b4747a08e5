// The opt-in refinements that both programs offer beyond their original
// pipeline, described alike in both.
#ifndef PROGRAM__REFINEMENT_PARAMETERS_HPP_
#define PROGRAM__REFINEMENT_PARAMETERS_HPP_

namespace align_program
{

inline constexpr const char * kOrthogonalRefitDescription =
  "Refit each segment by orthogonal (total least squares) regression instead of y = kx + b; "
  "removes the bias that range noise gives the plates' directions and the corner (false keeps the original refit)";

inline constexpr const char * kTwoSidedAngleTestDescription =
  "Accept a pair only when its turn lies within the angle tolerance on both sides of target_angle "
  "(false: any turn smaller than target_angle passes, as originally)";

}  // namespace align_program

#endif  // PROGRAM__REFINEMENT_PARAMETERS_HPP_
