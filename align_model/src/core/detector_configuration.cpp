#include "align_model/detector_configuration.hpp"

namespace align_model
{

tuw::LineSegment2DDetectorParameter detector_configuration_from(
  const tuw::LineSegment2DDetectorParameter & parameters)
{
  tuw::LineSegment2DDetectorParameter configuration = parameters;
  if (configuration.threshold_split < 0.0) {
    configuration.threshold_split = 0.0;
  }
  return configuration;
}

}  // namespace align_model
