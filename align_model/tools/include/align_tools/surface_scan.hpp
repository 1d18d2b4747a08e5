// Ray casting of a 2-D laser against flat surfaces, with the scanner's noise,
// dropouts and intensities: the rendering step that both the scan simulator
// (a target seen along an approach) and the simulated robot (a whole scene
// seen from the robot's true pose) use.
#ifndef ALIGN_TOOLS__SURFACE_SCAN_HPP_
#define ALIGN_TOOLS__SURFACE_SCAN_HPP_

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "builtin_interfaces/msg/time.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_tools
{

// x, y in metres and a heading in radians.
struct Pose2D
{
  double x = 0.0;
  double y = 0.0;
  double yaw = 0.0;
};

// pose of `inner` given in the frame whose pose in the outer frame is `frame`
Pose2D compose(const Pose2D & frame, const Pose2D & inner);
// the pose of the outer frame's origin seen from `frame`: compose(frame, inverse(frame)) is the identity
Pose2D inverse(const Pose2D & frame);

// How returned light becomes an intensity reading. Off (the default), every
// surface returns its own intensity, +- its jitter, at every range and angle.
// On, a surface returns its intensity head-on at `reference_range`, falling
// as (reference_range / range)^range_exponent and as cos(incidence)^n, where n
// is small for retro-reflective plates (they return light towards its source
// at almost any angle) and 1 for ordinary, diffusely scattering surfaces; no
// reading exceeds `full_scale`, where the receiver saturates.
struct IntensityModel
{
  bool physical = false;
  double full_scale = 255.0;
  double reference_range = 1.5;  // m
  double range_exponent = 0.5;
  double retro_incidence_exponent = 0.2;
  double ordinary_incidence_exponent = 1.0;
};

// What a real scanner adds to the constant range noise; all off by default
// (the ideal scanner). The scanner profiles are sets of these.
struct ScannerErrors
{
  double range_noise_per_metre = 0.0;  // the standard deviation grows by this per metre of range
  // Bright returns are measured more precisely: the sd on retro-reflective
  // surfaces is this share of the sd on ordinary ones.
  double retro_noise_scale = 1.0;
  double range_bias = 0.0;  // sd of a fixed offset per beam, drawn once per run (systematic error), m
  // A beam whose footprint (`beam_width`, rad) spans a depth edge returns,
  // with this probability, a range between the near and the far surface and
  // an intensity between theirs.
  double mixed_pixel_rate = 0.0;
  double beam_width = 0.0;
  IntensityModel intensity;
};

struct ScannerModel
{
  std::string frame_id = "back_laser";
  float angle_min = -2.35619449f;
  float angle_increment = 0.00872664626f;  // 0.5 degrees
  int count = 541;
  float range_min = 0.02f;
  float range_max = 30.0f;
  float scan_time = 0.1f;
  double range_noise = 0.003;  // standard deviation, m
  ScannerErrors errors;
  double dropout_rate = 0.0;  // beam lost: +inf, intensity 0
  double nan_rate = 0.0;  // beam reports NaN, intensity 0
};

enum class SurfaceKind
{
  kOrdinary,
  kRetroReflective,
};

// One flat reflecting surface, the segment from a to b.
struct Surface
{
  double ax, ay, bx, by;
  float intensity;
  float jitter;  // uniform, +-
  SurfaceKind kind;
};

// A seeded generator with its own (portable) distributions, so that a seed
// gives the same numbers on every standard library.
class PortableRandom
{
public:
  explicit PortableRandom(std::uint64_t seed)
  : engine_(seed) {}
  double uniform();  // [0, 1)
  double gaussian();  // standard normal

private:
  std::mt19937_64 engine_;
};

// The surfaces, given in a frame whose pose in the laser frame is
// `frame_in_laser`, in the laser frame.
std::vector<Surface> place_surfaces(const std::vector<Surface> & surfaces, const Pose2D & frame_in_laser);

// The fixed range offset of every beam for one run (empty when the scanner
// has none), from a generator of its own: turning the bias on changes no
// other random number of the run.
std::vector<double> draw_beam_bias(const ScannerModel & scanner, std::uint64_t seed);

// One ray per beam against the surfaces (in the laser frame); the nearest hit
// gives range and intensity. Every beam draws the same random numbers
// whatever it hits, so one surface changes no other beam's noise.
// `beam_bias` is draw_beam_bias()'s result for this scanner (or empty).
sensor_msgs::msg::LaserScan cast_scan(
  const ScannerModel & scanner, const std::vector<Surface> & surfaces_in_laser, PortableRandom & random,
  const builtin_interfaces::msg::Time & stamp, const std::vector<double> & beam_bias = {});

}  // namespace align_tools

#endif  // ALIGN_TOOLS__SURFACE_SCAN_HPP_
