#ifndef ALIGN_MODEL__DETECTOR_CONFIGURATION_HPP_
#define ALIGN_MODEL__DETECTOR_CONFIGURATION_HPP_

#include "tuw_geometry/linesegment2d_detector.hpp"

namespace align_model
{

// The configuration handed to the line detector: the parameters as given,
// except that a negative threshold_split becomes 0. With a negative threshold
// no piece is ever straight enough, and tuw_geometry's detector then splits a
// piece whose points lie exactly on its chord into itself again and again
// until the stack overflows. 0 splits every other piece at the same point.
tuw::LineSegment2DDetectorParameter detector_configuration_from(
  const tuw::LineSegment2DDetectorParameter & parameters);

}  // namespace align_model

#endif  // ALIGN_MODEL__DETECTOR_CONFIGURATION_HPP_
