// Runtime diagnostics of a node program (parameter `diagnostics`): one
// diagnostic_msgs/msg/DiagnosticArray on "/diagnostics" per second, with one
// status named after the node. The rules live in align_model::DetectionHealth;
// this class only owns the timer and the publisher and fills the message.
#ifndef PROGRAM__DETECTION_DIAGNOSTICS_HPP_
#define PROGRAM__DETECTION_DIAGNOSTICS_HPP_

#include <chrono>
#include <functional>
#include <memory>
#include <utility>

#include "align_model/detection_funnel.hpp"
#include "align_model/detection_health.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "rclcpp/rclcpp.hpp"

namespace align_program
{

class DetectionDiagnostics
{
public:
  // `enabled` reads the node's enable flag; `funnel` is the node's own record
  // and must outlive this object (both are members of the node).
  DetectionDiagnostics(
    rclcpp::Node & node, std::function<bool()> enabled, const align_model::DetectionFunnel & funnel)
  : node_(node), enabled_(std::move(enabled)), funnel_(funnel), health_(seconds_now())
  {
    publisher_ = node.create_publisher<diagnostic_msgs::msg::DiagnosticArray>("/diagnostics", rclcpp::QoS(1));
    timer_ = node.create_wall_timer(std::chrono::seconds(1), [this]() {publish();});
  }

  DetectionDiagnostics(const DetectionDiagnostics &) = delete;
  DetectionDiagnostics & operator=(const DetectionDiagnostics &) = delete;

  // One scan left the pipeline at `stage`.
  void record(align_model::FunnelStage stage) {health_.record(seconds_now(), stage);}

private:
  // The wall timer runs on the steady clock; the windows use the same one.
  static double seconds_now()
  {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  }

  void publish()
  {
    const align_model::HealthReport report = health_.report(seconds_now(), enabled_(), funnel_);
    diagnostic_msgs::msg::DiagnosticStatus status;
    status.level = report.level == align_model::HealthLevel::kWarn ?
      diagnostic_msgs::msg::DiagnosticStatus::WARN : diagnostic_msgs::msg::DiagnosticStatus::OK;
    status.name = node_.get_name();
    status.message = report.message;
    status.hardware_id = node_.get_name();
    for (const auto & entry : report.values) {
      diagnostic_msgs::msg::KeyValue value;
      value.key = entry.first;
      value.value = entry.second;
      status.values.push_back(value);
    }
    diagnostic_msgs::msg::DiagnosticArray array;
    array.header.stamp = node_.now();
    array.status.push_back(status);
    publisher_->publish(array);
  }

  rclcpp::Node & node_;
  std::function<bool()> enabled_;
  const align_model::DetectionFunnel & funnel_;
  align_model::DetectionHealth health_;
  rclcpp::Publisher<diagnostic_msgs::msg::DiagnosticArray>::SharedPtr publisher_;
  rclcpp::TimerBase::SharedPtr timer_;
};

}  // namespace align_program

#endif  // PROGRAM__DETECTION_DIAGNOSTICS_HPP_
