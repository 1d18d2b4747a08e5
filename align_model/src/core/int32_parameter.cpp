#include "align_model/int32_parameter.hpp"

#include <limits>

namespace align_model
{

std::optional<std::int32_t> narrow_to_int32(std::int64_t value)
{
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

std::string int32_range_error(const std::string & name, std::int64_t value)
{
  return "parameter '" + name + "' does not fit a 32-bit integer: " + std::to_string(value);
}

}  // namespace align_model
