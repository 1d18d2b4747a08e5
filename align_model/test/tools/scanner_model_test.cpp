// The simulator's scanner errors and the named profiles, and the calibration
// of the recorded profile against the real recordings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "../support/real_data.hpp"
#include "align_tools/beam_statistics.hpp"
#include "align_tools/recording.hpp"
#include "align_tools/scan_simulator.hpp"
#include "align_tools/scanner_profile.hpp"

namespace
{

constexpr double kPi = 3.141592653589793;

using align_tools::ScannerModel;
using align_tools::Surface;
using align_tools::SurfaceKind;

// A wall across the beam straight ahead (beam 270 of the default scanner) at
// `range`, seen head-on.
std::vector<Surface> wall_ahead(double range, float intensity, SurfaceKind kind)
{
  return {{range, -0.5, range, 0.5, intensity, 0.0f, kind}};
}

constexpr std::size_t kAhead = 270;

std::vector<sensor_msgs::msg::LaserScan> render(
  const ScannerModel & scanner, const std::vector<Surface> & surfaces, int scans, std::uint64_t seed = 7)
{
  align_tools::PortableRandom random(seed);
  const std::vector<double> bias = align_tools::draw_beam_bias(scanner, seed);
  std::vector<sensor_msgs::msg::LaserScan> rendered;
  for (int k = 0; k < scans; ++k) {
    rendered.push_back(align_tools::cast_scan(scanner, surfaces, random, builtin_interfaces::msg::Time(), bias));
  }
  return rendered;
}

ScannerModel with_profile(const std::string & name)
{
  ScannerModel scanner;
  align_tools::apply_scanner_profile(align_tools::scanner_profile(name), scanner);
  return scanner;
}

TEST(ScannerProfiles, IdealKeepsTheScannerAsItWas)
{
  ScannerModel scanner;
  scanner.range_noise = 0.0042;
  const ScannerModel before = scanner;
  align_tools::apply_scanner_profile(align_tools::scanner_profile("ideal"), scanner);
  const auto a = render(before, wall_ahead(1.0, 252.5f, SurfaceKind::kRetroReflective), 3);
  const auto b = render(scanner, wall_ahead(1.0, 252.5f, SurfaceKind::kRetroReflective), 3);
  for (std::size_t k = 0; k < a.size(); ++k) {
    EXPECT_EQ(a[k].ranges, b[k].ranges);
    EXPECT_EQ(a[k].intensities, b[k].intensities);
  }
}

TEST(ScannerProfiles, UnknownNamesAreRefusedWithTheKnownOnes)
{
  try {
    align_tools::scanner_profile("noiseless");
    FAIL() << "no error";
  } catch (const std::invalid_argument & error) {
    EXPECT_NE(std::string(error.what()).find("ideal, recorded, datasheet_10mm, datasheet_20mm"), std::string::npos)
      << error.what();
  }
}

TEST(ScannerModel, NoiseGrowsWithRange)
{
  ScannerModel scanner;
  scanner.range_noise = 0.004;
  scanner.errors.range_noise_per_metre = 0.006;
  for (const double range : {0.5, 2.0}) {
    SCOPED_TRACE(range);
    const auto scans = render(scanner, wall_ahead(range, 100.0f, SurfaceKind::kOrdinary), 400);
    const auto beams = align_tools::static_beam_statistics(scans);
    const double spread = align_tools::median_spread(beams, range + 0.01, 0.0, 1e9);
    // Off-axis beams see the wall a little further away: their sd is a little larger.
    EXPECT_NEAR(spread, 0.004 + 0.006 * range, 0.1 * (0.004 + 0.006 * range));
  }
}

TEST(ScannerModel, BeamBiasIsFixedForARunAndDrawnAnewForAnother)
{
  ScannerModel scanner;
  scanner.range_noise = 0.0;
  scanner.errors.range_bias = 0.01;
  const auto surfaces = wall_ahead(1.0, 100.0f, SurfaceKind::kOrdinary);
  const auto run = render(scanner, surfaces, 2, 3);
  const auto other_run = render(scanner, surfaces, 1, 4);
  EXPECT_EQ(run[0].ranges[kAhead], run[1].ranges[kAhead]);
  EXPECT_NE(run[0].ranges[kAhead], 1.0f);
  EXPECT_NE(run[0].ranges[kAhead], other_run[0].ranges[kAhead]);
  // The bias has a generator of its own: the noise of a run is unchanged.
  scanner.range_noise = 0.003;
  ScannerModel unbiased = scanner;
  unbiased.errors.range_bias = 0.0;
  const auto biased = render(scanner, surfaces, 1, 3);
  const auto plain = render(unbiased, surfaces, 1, 3);
  const std::vector<double> bias = align_tools::draw_beam_bias(scanner, 3);
  EXPECT_FLOAT_EQ(biased[0].ranges[kAhead], static_cast<float>(plain[0].ranges[kAhead] + bias[kAhead]));
}

TEST(ScannerModel, MixedPixelsLieBetweenTheNearAndTheFarSurface)
{
  ScannerModel scanner;
  scanner.range_noise = 0.0;
  scanner.errors.mixed_pixel_rate = 1.0;
  scanner.errors.beam_width = 0.02;
  // A plate ending straight ahead in front of a wall 1 m further back.
  const std::vector<Surface> surfaces{{1.0, -0.5, 1.0, 0.0, 250.0f, 0.0f, SurfaceKind::kRetroReflective},
    {2.0, -2.0, 2.0, 2.0, 100.0f, 0.0f, SurfaceKind::kOrdinary}};
  const auto scan = render(scanner, surfaces, 1)[0];
  int between = 0;
  for (std::size_t i = kAhead - 3; i <= kAhead + 3; ++i) {
    const float range = scan.ranges[i];
    if (range > 1.001f && range < 1.999f) {
      ++between;
      // The intensity blends as the range does.
      const double share = (range - 1.0) / 1.0;
      EXPECT_NEAR(scan.intensities[i], 250.0 - share * 150.0, 0.5);
    }
  }
  EXPECT_GE(between, 1);
  // Away from the edge nothing mixes.
  EXPECT_FLOAT_EQ(scan.ranges[kAhead - 30], static_cast<float>(1.0 / std::cos(30 * 0.00872664626)));
}

TEST(ScannerModel, PhysicalIntensitiesFallWithRangeAndIncidenceAndSaturate)
{
  ScannerModel scanner;
  scanner.range_noise = 0.0;
  scanner.errors.intensity.physical = true;
  scanner.errors.intensity.full_scale = 255.0;
  const auto at = [&scanner](double range, SurfaceKind kind, double incidence) {
      // A wall through the point `range` ahead, turned by `incidence`.
      const double dx = 0.5 * std::sin(incidence);
      const double dy = 0.5 * std::cos(incidence);
      const std::vector<Surface> surfaces{{range - dx, -dy, range + dx, dy, 200.0f, 0.0f, kind}};
      return render(scanner, surfaces, 1)[0].intensities[kAhead];
    };
  // Head-on at the reference range, a surface returns its own intensity.
  EXPECT_NEAR(at(1.5, SurfaceKind::kOrdinary, 0.0), 200.0f, 0.01);
  EXPECT_GT(at(1.0, SurfaceKind::kOrdinary, 0.0), at(2.0, SurfaceKind::kOrdinary, 0.0));
  // At 60 degrees incidence a diffuse surface loses half, a retro-reflector little.
  EXPECT_NEAR(at(1.5, SurfaceKind::kOrdinary, kPi / 3.0), 100.0f, 0.5);
  EXPECT_GT(at(1.5, SurfaceKind::kRetroReflective, kPi / 3.0), 170.0f);
  // Near, the receiver saturates at the scale's top.
  EXPECT_EQ(at(0.3, SurfaceKind::kRetroReflective, 0.0), 255.0f);
}

// The recorded profile against the still scanners of the real recordings:
// per range bin, the profile's sd must match the median measured spread.
TEST(ScannerProfiles, RecordedProfileMatchesTheRealRecordings)
{
  ALIGN_TEST_NEEDS_REAL_DATA();
  const ScannerModel profile = with_profile("recorded");
  struct Source
  {
    const char * file;
    const char * topic;
  };
  std::vector<align_tools::BeamStatistics> all;
  std::vector<align_tools::BeamStatistics> reflectors;
  // The scanners stood still through both recordings.
  for (const Source & source : {Source{"reflcal_ref_1111.bag", "/scan"}, Source{"reflcal_obs2.bag", "/scan_back"}}) {
    align_tools::TopicChoice choice;
    choice.requested = source.topic;
    const auto recording = align_tools::load_recording(align_test::real_data_dir() + "/" + source.file, choice);
    const auto beams = align_tools::static_beam_statistics(recording.scans);
    all.insert(all.end(), beams.begin(), beams.end());
  }
  std::printf("range bin      beams  measured sd  profile sd\n");
  int compared = 0;
  for (const auto & bin : align_tools::noise_by_range(all, 0.5, 3.0, 0.0, 1e9)) {
    const double middle = 0.5 * (bin.range_from + bin.range_to);
    const double modelled = profile.range_noise + profile.errors.range_noise_per_metre * middle;
    std::printf(
      "%.1f-%.1f m  %6zu  %8.2f mm  %8.2f mm\n", bin.range_from, bin.range_to, bin.beams, 1000.0 * bin.median_sd,
      1000.0 * modelled);
    if (bin.beams >= 40) {
      ++compared;
      EXPECT_NEAR(modelled, bin.median_sd, 0.15 * bin.median_sd) << "bin " << bin.range_from << " m";
    }
  }
  EXPECT_GE(compared, 4);
  // The retro-reflectors (raw intensity 3000 and above, at about 1 m) are
  // measured more precisely than the rest.
  const double reflector_sd = align_tools::median_spread(all, 1.2, 3000.0, 1e9);
  const double modelled = (profile.range_noise + profile.errors.range_noise_per_metre * 1.0) * profile.errors.retro_noise_scale;
  std::printf("reflectors: measured %.2f mm, profile %.2f mm\n", 1000.0 * reflector_sd, 1000.0 * modelled);
  EXPECT_NEAR(modelled, reflector_sd, 0.1 * reflector_sd);
}

}  // namespace
