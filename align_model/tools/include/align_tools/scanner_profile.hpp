// Named error models of real 2-D laser scanners for the simulator: range
// noise that may grow with range, a fixed error per beam, mixed pixels at
// depth edges and intensities that depend on range, incidence and surface,
// with saturation. A profile sets only the errors; the beam geometry and the
// intensity scale stay the scene's (or the command line's).
#ifndef ALIGN_TOOLS__SCANNER_PROFILE_HPP_
#define ALIGN_TOOLS__SCANNER_PROFILE_HPP_

#include <string>
#include <vector>

#include "align_tools/surface_scan.hpp"

namespace align_tools
{

struct ScannerProfile
{
  std::string name;
  // false: the scanner keeps its own noise and fixed intensities (ideal).
  bool sets_errors = false;
  double range_noise = 0.0;
  ScannerErrors errors;
};

// Every profile, "ideal" first.
const std::vector<ScannerProfile> & scanner_profiles();

// The profile of that name; throws std::invalid_argument naming the known
// ones for any other.
const ScannerProfile & scanner_profile(const std::string & name);

// The profile's errors on the scanner; the intensity model keeps the
// scanner's full scale.
void apply_scanner_profile(const ScannerProfile & profile, ScannerModel & scanner);

// "ideal, recorded, ..." for messages and usage texts.
std::string scanner_profile_names();

}  // namespace align_tools

#endif  // ALIGN_TOOLS__SCANNER_PROFILE_HPP_
