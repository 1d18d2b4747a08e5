// align_soak: pushes a long stream of varied simulated scans through the scan
// callback of each node program, in-process, and reports whether memory
// stays bounded and the time per scan stays flat.
//
//   align_soak [--scans N] [--program feature|line|both] [--warmup N]
//              [--block N] [--max-rss-growth-mib M] [--seed S] [--debug] [--per-scan]
//
// Exit status: 0 when every program kept its resident set within the bound,
// published no pose while disabled and found the target at least once; 1
// when a check failed or a program could not be run; 2 on a bad command line.
#include <time.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "align_model/static_frame_listener.hpp"
#include "log_counter.hpp"
#include "process_memory.hpp"
#include "rclcpp/rclcpp.hpp"
#include "soak_rig.hpp"
#include "soak_scans.hpp"

// GCC says __SANITIZE_ADDRESS__, clang __has_feature(address_sanitizer).
#if defined(__SANITIZE_ADDRESS__)
#define ALIGN_SOAK_WITH_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ALIGN_SOAK_WITH_ASAN 1
#endif
#endif

#if defined(ALIGN_SOAK_WITH_ASAN)
// AddressSanitizer keeps freed blocks in a quarantine of 256 MiB by default,
// which would look like growth to the resident-set check; a small one still
// catches a use after free within the last few scans.
extern "C" const char * __asan_default_options()
{
  return "quarantine_size_mb=4";
}
#endif

namespace
{

using align_soak::Program;
using align_soak::ScanKind;

// The enable signal goes off for a while every so many scans; the period is
// prime to the length of the scan cycle, so the programs are disabled and
// re-enabled at ever different places of it.
constexpr std::size_t kTogglePeriod = 4999;
constexpr std::size_t kToggleOffset = 2500;
constexpr std::size_t kDisabledScans = 97;
constexpr std::size_t kShownLogLines = 8;

struct Options
{
  std::size_t scans = 1000000;
  std::size_t warmup = 1000;
  std::size_t block = 0;  // 0: a tenth of the scans, at most 100,000
  double max_rss_growth_mib = 16.0;
  std::uint64_t seed = 1;
  bool debug = false;
  bool per_scan = false;
  std::vector<Program> programs{Program::kFeature, Program::kLine};
};

void print_usage(std::FILE * out)
{
  std::fprintf(
    out,
    "usage: align_soak [--scans N] [--program feature|line|both] [--warmup N] [--block N]\n"
    "                  [--max-rss-growth-mib M] [--seed S] [--debug] [--per-scan]\n"
    "  --scans N               scans per program after the warm-up (default 1000000)\n"
    "  --program P             feature, line or both (default both)\n"
    "  --warmup N              scans before the baseline memory reading (default 1000)\n"
    "  --block N               scans per reported block (default N/10, at most 100000)\n"
    "  --max-rss-growth-mib M  allowed VmRSS growth from warm-up to end (default 16)\n"
    "  --seed S                seed of the simulated scans (default 1)\n"
    "  --debug                 run the programs with debug=true (markers, selected scan)\n"
    "  --per-scan              also list the poses per scan of the cycle (while enabled)\n");
}

bool parse_unsigned(const std::string & text, std::uint64_t & value)
{
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 18) {
    return false;
  }
  value = std::stoull(text);
  return true;
}

bool parse_positive_double(const std::string & text, double & value)
{
  try {
    std::size_t used = 0;
    value = std::stod(text, &used);
    return used == text.size() && value > 0.0 && value < 1e9;
  } catch (const std::exception &) {
    return false;
  }
}

// Returns an error text, empty when the command line is good.
std::string parse_options(int argc, char ** argv, Options & options, bool & help)
{
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--help" || flag == "-h") {
      help = true;
      return "";
    }
    if (flag == "--debug") {
      options.debug = true;
      continue;
    }
    if (flag == "--per-scan") {
      options.per_scan = true;
      continue;
    }
    const bool takes_value = flag == "--scans" || flag == "--warmup" || flag == "--block" || flag == "--seed" ||
      flag == "--max-rss-growth-mib" || flag == "--program";
    if (!takes_value) {
      return "unknown argument '" + flag + "'";
    }
    if (i + 1 >= argc) {
      return "missing value after " + flag;
    }
    const std::string value = argv[++i];
    std::uint64_t number = 0;
    if (flag == "--scans" || flag == "--warmup" || flag == "--block" || flag == "--seed") {
      if (!parse_unsigned(value, number)) {
        return flag + " needs a whole number, got '" + value + "'";
      }
      if (flag == "--scans") {
        options.scans = number;
      } else if (flag == "--warmup") {
        options.warmup = number;
      } else if (flag == "--block") {
        if (number == 0) {
          return "--block must be at least 1";
        }
        options.block = number;
      } else {
        options.seed = number;
      }
    } else if (flag == "--max-rss-growth-mib") {
      if (!parse_positive_double(value, options.max_rss_growth_mib)) {
        return "--max-rss-growth-mib needs a positive number, got '" + value + "'";
      }
    } else {
      if (value == "feature") {
        options.programs = {Program::kFeature};
      } else if (value == "line") {
        options.programs = {Program::kLine};
      } else if (value == "both") {
        options.programs = {Program::kFeature, Program::kLine};
      } else {
        return "--program must be feature, line or both, got '" + value + "'";
      }
    }
  }
  if (options.block == 0) {
    options.block = std::max<std::size_t>(1, std::min<std::size_t>(100000, options.scans / 10));
  }
  return "";
}

struct Tally
{
  std::array<std::size_t, align_soak::kScanKinds> scans{};  // processed while enabled
  std::array<std::size_t, align_soak::kScanKinds> poses{};  // poses of those scans
  std::size_t disabled_scans = 0;
  std::size_t disabled_poses = 0;
  std::size_t toggles = 0;
  // Per scan of the cycle, while enabled.
  std::vector<std::size_t> plays_of;
  std::vector<std::size_t> poses_of;
  std::vector<std::size_t> errors_of;  // ERROR and FATAL log lines
};

// Plays the scan cycle through one program, switching it off and on by the
// schedule, and counts each pose against the scan that produced it.
class Player
{
public:
  Player(
    align_soak::SoakRig & rig, std::vector<align_soak::SoakScan> & scans, const align_soak::LogCounter & log)
  : rig_(rig), scans_(scans), log_(log) {reset_tally();}

  void play(std::size_t count)
  {
    for (std::size_t i = 0; i < count; ++i, ++step_) {
      const std::size_t phase = step_ % kTogglePeriod;
      if (phase == kToggleOffset || phase == kToggleOffset + kDisabledScans) {
        toggle(phase == kToggleOffset + kDisabledScans);
      }
      const std::size_t index = step_ % scans_.size();
      align_soak::SoakScan & next = scans_[index];
      // A live laser stamps every scan anew, 10 Hz.
      next.scan.header.stamp.sec = static_cast<std::int32_t>(1700000000 + step_ / 10);
      next.scan.header.stamp.nanosec = static_cast<std::uint32_t>((step_ % 10) * 100000000);
      const std::size_t before = rig_.poses_received();
      const std::size_t errors_before = errors_logged();
      rig_.process_scan(next.scan);
      count_poses(rig_.poses_received() - before);
      // The callback logs while it runs, so these lines are this scan's.
      tally_.errors_of[index] += errors_logged() - errors_before;
      count_scan(index, enabled_);
      previous_ = {true, index, enabled_};
    }
  }

  void finish()
  {
    const std::size_t before = rig_.poses_received();
    rig_.drain();
    count_poses(rig_.poses_received() - before);
    previous_.valid = false;
  }

  // Starts counting afresh; a pose of the scan before still on its way is
  // left out, as that scan is not counted either.
  void reset_tally()
  {
    previous_.valid = false;
    tally_ = Tally();
    tally_.plays_of.assign(scans_.size(), 0);
    tally_.poses_of.assign(scans_.size(), 0);
    tally_.errors_of.assign(scans_.size(), 0);
  }
  const Tally & tally() const {return tally_;}

private:
  struct Previous
  {
    bool valid = false;
    std::size_t index = 0;  // in the cycle
    bool enabled = true;
  };

  std::size_t errors_logged() const
  {
    const align_soak::LogCounts counts = log_.peek();
    return counts[3] + counts[4];
  }

  void toggle(bool enabled)
  {
    const std::size_t before = rig_.poses_received();
    rig_.set_enabled(enabled);
    count_poses(rig_.poses_received() - before);
    enabled_ = enabled;
    ++tally_.toggles;
  }

  // A pose reaches the probe one spin after it was published, i.e. while the
  // next scan or signal is handled: it belongs to the scan before.
  void count_poses(std::size_t delivered)
  {
    if (!previous_.valid) {
      return;
    }
    if (previous_.enabled) {
      tally_.poses[static_cast<std::size_t>(scans_[previous_.index].kind)] += delivered;
      tally_.poses_of[previous_.index] += delivered;
    } else {
      tally_.disabled_poses += delivered;
    }
  }

  void count_scan(std::size_t index, bool enabled)
  {
    if (enabled) {
      ++tally_.scans[static_cast<std::size_t>(scans_[index].kind)];
      ++tally_.plays_of[index];
    } else {
      ++tally_.disabled_scans;
    }
  }

  align_soak::SoakRig & rig_;
  std::vector<align_soak::SoakScan> & scans_;
  const align_soak::LogCounter & log_;
  std::size_t step_ = 0;
  bool enabled_ = true;
  Previous previous_;
  Tally tally_;
};

double thread_cpu_seconds()
{
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct BlockFigures
{
  double wall_us_per_scan = 0.0;
  double cpu_us_per_scan = 0.0;
};

// Runs one program through warm-up and the measured blocks; prints as it
// goes and returns whether every check passed.
bool soak_program(
  Program program, const Options & options, std::vector<align_soak::SoakScan> scans,
  align_soak::LogCounter & log)
{
  const char * name = align_soak::program_name(program);
  char a[32];
  char b[32];
  log.show(kShownLogLines);
  std::printf("[%s] start: VmRSS %s, VmHWM %s\n", name,
    align_soak::format_mib(align_soak::read_process_memory().rss_kib, a),
    align_soak::format_mib(align_soak::read_process_memory().peak_rss_kib, b));
  std::fflush(stdout);

  const auto first_target = std::find_if(
    scans.begin(), scans.end(), [](const align_soak::SoakScan & s) {return s.kind == ScanKind::kTarget;});
  align_soak::SoakRig rig(program, options.debug, first_target->scan);
  Player player(rig, scans, log);

  player.play(options.warmup);
  const align_soak::ProcessMemory baseline = align_soak::read_process_memory();
  std::printf("[%s] after %zu warm-up scans: VmRSS %s, VmHWM %s\n", name, options.warmup,
    align_soak::format_mib(baseline.rss_kib, a), align_soak::format_mib(baseline.peak_rss_kib, b));
  std::fflush(stdout);
  player.reset_tally();
  // The figures below are of the measured scans only.
  log.take();

  std::vector<BlockFigures> blocks;
  const auto soak_start = std::chrono::steady_clock::now();
  std::size_t done = 0;
  while (done < options.scans) {
    const std::size_t count = std::min(options.block, options.scans - done);
    const std::size_t poses_before = rig.poses_received();
    const double cpu_start = thread_cpu_seconds();
    const auto wall_start = std::chrono::steady_clock::now();
    player.play(count);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wall_start;
    const double cpu = thread_cpu_seconds() - cpu_start;
    BlockFigures figures;
    figures.wall_us_per_scan = wall.count() * 1e6 / static_cast<double>(count);
    figures.cpu_us_per_scan = cpu * 1e6 / static_cast<double>(count);
    blocks.push_back(figures);
    const align_soak::ProcessMemory now = align_soak::read_process_memory();
    std::printf(
      "[%s] block %3zu: scans %8zu..%-8zu %8.2f us/scan wall %8.2f us/scan cpu %9.0f scans/s  poses %7zu  "
      "VmRSS %s\n",
      name, blocks.size(), done, done + count - 1, figures.wall_us_per_scan, figures.cpu_us_per_scan,
      1e6 / std::max(figures.wall_us_per_scan, 1e-9), rig.poses_received() - poses_before,
      align_soak::format_mib(now.rss_kib, a));
    std::fflush(stdout);
    done += count;
  }
  player.finish();
  const std::chrono::duration<double> soak_wall = std::chrono::steady_clock::now() - soak_start;
  const align_soak::ProcessMemory end = align_soak::read_process_memory();
  const align_soak::LogCounts logs = log.take();
  const Tally & tally = player.tally();

  const double growth_mib = static_cast<double>(end.rss_kib - baseline.rss_kib) / 1024.0;
  std::printf("[%s] end: VmRSS %s, VmHWM %s, VmRSS growth since warm-up %+.2f MiB (limit %.1f)\n", name,
    align_soak::format_mib(end.rss_kib, a), align_soak::format_mib(end.peak_rss_kib, b), growth_mib,
    options.max_rss_growth_mib);
  if (!blocks.empty()) {
    const auto by_wall = [](const BlockFigures & x, const BlockFigures & y) {
        return x.wall_us_per_scan < y.wall_us_per_scan;
      };
    const auto fastest = std::min_element(blocks.begin(), blocks.end(), by_wall);
    const auto slowest = std::max_element(blocks.begin(), blocks.end(), by_wall);
    std::printf(
      "[%s] time: %zu scans in %.1f s, %.2f us/scan overall (%.0f scans/s); blocks %.2f..%.2f us/scan wall, "
      "last/first %.3f wall, %.3f cpu\n",
      name, done, soak_wall.count(), soak_wall.count() * 1e6 / static_cast<double>(std::max<std::size_t>(done, 1)),
      static_cast<double>(done) / std::max(soak_wall.count(), 1e-9), fastest->wall_us_per_scan,
      slowest->wall_us_per_scan, blocks.back().wall_us_per_scan / std::max(blocks.front().wall_us_per_scan, 1e-9),
      blocks.back().cpu_us_per_scan / std::max(blocks.front().cpu_us_per_scan, 1e-9));
  }
  const auto kind = [](ScanKind k) {return static_cast<std::size_t>(k);};
  std::printf(
    "[%s] poses: target %zu/%zu scans, no_target %zu/%zu, malformed %zu/%zu, disabled %zu/%zu; "
    "%zu enable toggles\n",
    name, tally.poses[kind(ScanKind::kTarget)], tally.scans[kind(ScanKind::kTarget)],
    tally.poses[kind(ScanKind::kNoTarget)], tally.scans[kind(ScanKind::kNoTarget)],
    tally.poses[kind(ScanKind::kMalformed)], tally.scans[kind(ScanKind::kMalformed)],
    tally.disabled_poses, tally.disabled_scans, tally.toggles);
  std::printf(
    "[%s] log lines: debug %zu, info %zu, warn %zu, error %zu, fatal %zu; transform lookup workers started %zu\n",
    name, logs[0], logs[1], logs[2], logs[3], logs[4], rig.lookup_worker_starts());
  if (options.per_scan) {
    for (std::size_t i = 0; i < scans.size(); ++i) {
      std::printf(
        "[%s] scan %3zu %-34s %-9s %5zu readings: poses %zu/%zu, error lines %zu\n", name, i,
        scans[i].name.c_str(), align_soak::kind_name(scans[i].kind), scans[i].scan.ranges.size(),
        tally.poses_of[i], tally.plays_of[i], tally.errors_of[i]);
    }
  }

  bool ok = true;
  if (baseline.rss_kib < 0 || end.rss_kib < 0) {
    std::printf("[%s] FAIL: /proc/self/status has no VmRSS\n", name);
    ok = false;
  } else if (growth_mib > options.max_rss_growth_mib) {
    std::printf("[%s] FAIL: VmRSS grew by %.2f MiB, more than %.1f MiB\n", name, growth_mib,
      options.max_rss_growth_mib);
    ok = false;
  }
  if (tally.disabled_poses > 0) {
    std::printf("[%s] FAIL: %zu poses published while disabled\n", name, tally.disabled_poses);
    ok = false;
  }
  if (tally.scans[kind(ScanKind::kTarget)] > 0 && tally.poses[kind(ScanKind::kTarget)] == 0) {
    std::printf("[%s] FAIL: no pose in %zu scans with the target in view\n", name,
      tally.scans[kind(ScanKind::kTarget)]);
    ok = false;
  }
  std::printf("[%s] %s\n", name, ok ? "PASS" : "FAIL");
  std::fflush(stdout);
  return ok;
}

}  // namespace

int main(int argc, char ** argv)
{
  Options options;
  bool help = false;
  const std::string error = parse_options(argc, argv, options, help);
  if (help) {
    print_usage(stdout);
    return 0;
  }
  if (!error.empty()) {
    std::fprintf(stderr, "align_soak: %s\n", error.c_str());
    print_usage(stderr);
    return 2;
  }

  // ROS arguments are not taken: the soak sets the programs' parameters.
  rclcpp::init(1, argv);
  bool ok = true;
  {
    align_soak::LogCounter log;
    std::vector<align_soak::SoakScan> scans = align_soak::build_soak_scans(options.seed);
    std::array<std::size_t, align_soak::kScanKinds> kinds{};
    std::array<std::size_t, 3> readings{};
    for (const auto & scan : scans) {
      ++kinds[static_cast<std::size_t>(scan.kind)];
      const std::size_t count = scan.scan.ranges.size();
      ++readings[count >= 3600 ? 2 : count >= 1081 ? 1 : 0];
    }
    std::printf(
      "align_soak: %zu scans per program after %zu warm-up scans, blocks of %zu, debug %s\n"
      "align_soak: cycle of %zu simulated scans (target %zu, no_target %zu, malformed %zu; "
      "<=360 readings %zu, 1081 %zu, 3600 %zu); disabled for %zu of every %zu scans\n",
      options.scans, options.warmup, options.block, options.debug ? "on" : "off", scans.size(),
      kinds[0], kinds[1], kinds[2], readings[0], readings[1], readings[2], kDisabledScans, kTogglePeriod);
    std::fflush(stdout);
    for (const Program program : options.programs) {
      try {
        ok = soak_program(program, options, scans, log) && ok;
      } catch (const std::exception & failure) {
        std::printf("[%s] FAIL: %s\n", align_soak::program_name(program), failure.what());
        ok = false;
      }
    }
    // A lookup worker of the feature program may still be running (the
    // malformed scans name a laser without a mount); let it end first.
    align_model::StaticFrameListener::wait_for_workers(std::chrono::milliseconds(6000));
  }
  rclcpp::shutdown();
  std::printf("align_soak: %s\n", ok ? "PASS" : "FAIL");
  return ok ? 0 : 1;
}
