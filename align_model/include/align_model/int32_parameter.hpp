#ifndef ALIGN_MODEL__INT32_PARAMETER_HPP_
#define ALIGN_MODEL__INT32_PARAMETER_HPP_

#include <cstdint>
#include <optional>
#include <string>

namespace align_model
{

// ROS 2 integer parameters are 64 bits wide, while both programs keep their
// integer settings in 32-bit members. One rule for both: a value outside 32
// bits is refused, never wrapped.

// The value when a 32-bit integer holds it, nothing otherwise.
std::optional<std::int32_t> narrow_to_int32(std::int64_t value);

// "parameter 'NAME' does not fit a 32-bit integer: VALUE"
std::string int32_range_error(const std::string & name, std::int64_t value);

}  // namespace align_model

#endif  // ALIGN_MODEL__INT32_PARAMETER_HPP_
