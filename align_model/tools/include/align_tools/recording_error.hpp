#ifndef ALIGN_TOOLS__RECORDING_ERROR_HPP_
#define ALIGN_TOOLS__RECORDING_ERROR_HPP_

#include <stdexcept>
#include <string>

namespace align_tools
{

// A recording that cannot be read as asked: the text says which file, and
// which scan or record, went wrong.
class RecordingError : public std::runtime_error
{
public:
  explicit RecordingError(const std::string & what)
  : std::runtime_error(what) {}
};

}  // namespace align_tools

#endif  // ALIGN_TOOLS__RECORDING_ERROR_HPP_
