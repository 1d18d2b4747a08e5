#include "align_latency/container_probe.hpp"

#include <chrono>
#include <fstream>
#include <stdexcept>

#include "align_latency/interleaved_report.hpp"

namespace align_latency
{
namespace
{

std::chrono::nanoseconds from_ms(double milliseconds)
{
  return std::chrono::nanoseconds(static_cast<long long>(milliseconds * 1e6));
}

long long positive_integer(const rclcpp::Parameter & parameter)
{
  const long long value = parameter.as_int();
  if (value < 1) {
    throw std::invalid_argument("parameter '" + parameter.get_name() + "' must be at least 1");
  }
  return value;
}

}  // namespace

ContainerProbeSettings container_probe_settings(const std::vector<rclcpp::Parameter> & overrides)
{
  ContainerProbeSettings settings;
  for (const auto & parameter : overrides) {
    const std::string & name = parameter.get_name();
    if (name == "targets") {
      for (const auto & text : parameter.as_string_array()) {
        settings.targets.push_back(parse_target(text));
      }
    } else if (name == "count") {
      settings.rounds = static_cast<std::size_t>(positive_integer(parameter));
    } else if (name == "period_ms") {
      settings.period_ms = parameter.as_double();
    } else if (name == "readings") {
      settings.readings = static_cast<std::size_t>(positive_integer(parameter));
    } else if (name == "seed") {
      settings.seed = static_cast<std::uint64_t>(parameter.as_int());
    } else if (name == "blocks") {
      settings.blocks = static_cast<std::size_t>(positive_integer(parameter));
    } else if (name == "wait_s") {
      settings.wait_s = parameter.as_double();
    } else if (name == "output") {
      settings.output = parameter.as_string();
    } else if (name == "shutdown_when_done") {
      settings.shutdown_when_done = parameter.as_bool();
    }
  }
  if (settings.targets.empty()) {
    throw std::invalid_argument("parameter 'targets' must name at least one LABEL=PREFIX:pose|scan");
  }
  if (!(settings.period_ms > 0.0) || !(settings.wait_s > 0.0) || settings.readings < 2) {
    throw std::invalid_argument("parameters 'period_ms' and 'wait_s' must be positive, 'readings' at least 2");
  }
  return settings;
}

ContainerProbe::ContainerProbe(const rclcpp::NodeOptions & options)
: settings_(container_probe_settings(options.parameter_overrides()))
{
  probe_ = std::make_shared<LatencyProbe>(settings_.targets, settings_.readings, options);
  worker_ = std::thread([this] {run();});
}

ContainerProbe::~ContainerProbe()
{
  if (worker_.joinable()) {
    worker_.join();
  }
}

void ContainerProbe::run()
{
  const auto run = run_interleaved(
    *probe_, nullptr, settings_.rounds, from_ms(settings_.period_ms), from_ms(settings_.wait_s * 1000.0),
    settings_.seed, settings_.blocks);
  if (!run) {
    RCLCPP_ERROR(probe_->get_logger(), "Not every target answered within %.0f s", settings_.wait_s);
  }
  const std::vector<std::string> lines = run.value_or(std::vector<std::string>());
  if (!settings_.output.empty()) {
    std::ofstream out(settings_.output);
    for (const auto & line : lines) {
      out << line << "\n";
    }
  }
  for (const auto & line : lines) {
    RCLCPP_INFO(probe_->get_logger(), "%s", line.c_str());
  }
  done_ = true;
  if (settings_.shutdown_when_done) {
    rclcpp::shutdown(probe_->get_node_base_interface()->get_context(), "latency run done");
  }
}

}  // namespace align_latency
