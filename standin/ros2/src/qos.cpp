// rclcpp::QoS: a builder over rmw_qos_profile_t, and the predefined profiles.
#include <string>

#include "rclcpp/qos.hpp"

namespace rclcpp
{

std::string qos_policy_name_from_kind(int policy_kind)
{
  switch (policy_kind) {
    case 1: return "DURABILITY_QOS_POLICY";
    case 2: return "DEADLINE_QOS_POLICY";
    case 3: return "LIVELINESS_QOS_POLICY";
    case 4: return "RELIABILITY_QOS_POLICY";
    case 5: return "HISTORY_QOS_POLICY";
    case 6: return "LIFESPAN_QOS_POLICY";
    default: return "INVALID_QOS_POLICY";
  }
}

QoSInitialization::QoSInitialization(rmw_qos_history_policy_t history_policy_arg, size_t depth_arg)
: history_policy(history_policy_arg), depth(depth_arg) {}

QoSInitialization QoSInitialization::from_rmw(const rmw_qos_profile_t & rmw_qos)
{
  switch (rmw_qos.history) {
    case RMW_QOS_POLICY_HISTORY_KEEP_ALL:
      return KeepAll();
    case RMW_QOS_POLICY_HISTORY_KEEP_LAST:
    case RMW_QOS_POLICY_HISTORY_SYSTEM_DEFAULT:
    case RMW_QOS_POLICY_HISTORY_UNKNOWN:
    default:
      return KeepLast(rmw_qos.depth);
  }
}

KeepAll::KeepAll()
: QoSInitialization(RMW_QOS_POLICY_HISTORY_KEEP_ALL, 0) {}

KeepLast::KeepLast(size_t depth)
: QoSInitialization(RMW_QOS_POLICY_HISTORY_KEEP_LAST, depth) {}

QoS::QoS(const QoSInitialization & qos_initialization, const rmw_qos_profile_t & initial_profile)
: rmw_qos_profile_(initial_profile)
{
  rmw_qos_profile_.history = qos_initialization.history_policy;
  rmw_qos_profile_.depth = qos_initialization.depth;
}

QoS::QoS(size_t history_depth)
: QoS(KeepLast(history_depth)) {}

rmw_qos_profile_t & QoS::get_rmw_qos_profile() {return rmw_qos_profile_;}
const rmw_qos_profile_t & QoS::get_rmw_qos_profile() const {return rmw_qos_profile_;}

QoS & QoS::history(rmw_qos_history_policy_t history)
{
  rmw_qos_profile_.history = history;
  return *this;
}

QoS & QoS::history(HistoryPolicy history)
{
  return this->history(static_cast<rmw_qos_history_policy_t>(history));
}

QoS & QoS::keep_last(size_t depth)
{
  rmw_qos_profile_.history = RMW_QOS_POLICY_HISTORY_KEEP_LAST;
  rmw_qos_profile_.depth = depth;
  return *this;
}

QoS & QoS::keep_all()
{
  rmw_qos_profile_.history = RMW_QOS_POLICY_HISTORY_KEEP_ALL;
  rmw_qos_profile_.depth = 0;
  return *this;
}

QoS & QoS::reliability(rmw_qos_reliability_policy_t reliability)
{
  rmw_qos_profile_.reliability = reliability;
  return *this;
}

QoS & QoS::reliability(ReliabilityPolicy reliability)
{
  return this->reliability(static_cast<rmw_qos_reliability_policy_t>(reliability));
}

QoS & QoS::reliable() {return reliability(RMW_QOS_POLICY_RELIABILITY_RELIABLE);}
QoS & QoS::best_effort() {return reliability(RMW_QOS_POLICY_RELIABILITY_BEST_EFFORT);}

QoS & QoS::durability(rmw_qos_durability_policy_t durability)
{
  rmw_qos_profile_.durability = durability;
  return *this;
}

QoS & QoS::durability(DurabilityPolicy durability)
{
  return this->durability(static_cast<rmw_qos_durability_policy_t>(durability));
}

QoS & QoS::durability_volatile() {return durability(RMW_QOS_POLICY_DURABILITY_VOLATILE);}
QoS & QoS::transient_local() {return durability(RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL);}

QoS & QoS::deadline(rmw_time_t deadline)
{
  rmw_qos_profile_.deadline = deadline;
  return *this;
}

QoS & QoS::deadline(const rclcpp::Duration & deadline)
{
  return this->deadline(deadline.to_rmw_time());
}

QoS & QoS::lifespan(rmw_time_t lifespan)
{
  rmw_qos_profile_.lifespan = lifespan;
  return *this;
}

QoS & QoS::lifespan(const rclcpp::Duration & lifespan)
{
  return this->lifespan(lifespan.to_rmw_time());
}

QoS & QoS::liveliness(rmw_qos_liveliness_policy_t liveliness)
{
  rmw_qos_profile_.liveliness = liveliness;
  return *this;
}

QoS & QoS::liveliness(LivelinessPolicy liveliness)
{
  return this->liveliness(static_cast<rmw_qos_liveliness_policy_t>(liveliness));
}

QoS & QoS::liveliness_lease_duration(rmw_time_t liveliness_lease_duration)
{
  rmw_qos_profile_.liveliness_lease_duration = liveliness_lease_duration;
  return *this;
}

QoS & QoS::liveliness_lease_duration(const rclcpp::Duration & liveliness_lease_duration)
{
  return this->liveliness_lease_duration(liveliness_lease_duration.to_rmw_time());
}

QoS & QoS::avoid_ros_namespace_conventions(bool avoid_ros_namespace_conventions)
{
  rmw_qos_profile_.avoid_ros_namespace_conventions = avoid_ros_namespace_conventions;
  return *this;
}

HistoryPolicy QoS::history() const {return static_cast<HistoryPolicy>(rmw_qos_profile_.history);}
size_t QoS::depth() const {return rmw_qos_profile_.depth;}

ReliabilityPolicy QoS::reliability() const
{
  return static_cast<ReliabilityPolicy>(rmw_qos_profile_.reliability);
}

DurabilityPolicy QoS::durability() const
{
  return static_cast<DurabilityPolicy>(rmw_qos_profile_.durability);
}

rclcpp::Duration QoS::deadline() const {return Duration::from_rmw_time(rmw_qos_profile_.deadline);}
rclcpp::Duration QoS::lifespan() const {return Duration::from_rmw_time(rmw_qos_profile_.lifespan);}

LivelinessPolicy QoS::liveliness() const
{
  return static_cast<LivelinessPolicy>(rmw_qos_profile_.liveliness);
}

rclcpp::Duration QoS::liveliness_lease_duration() const
{
  return Duration::from_rmw_time(rmw_qos_profile_.liveliness_lease_duration);
}

bool QoS::avoid_ros_namespace_conventions() const
{
  return rmw_qos_profile_.avoid_ros_namespace_conventions;
}

namespace
{
bool same_time(const rmw_time_t & left, const rmw_time_t & right)
{
  return left.sec == right.sec && left.nsec == right.nsec;
}
}  // namespace

bool operator==(const QoS & left, const QoS & right)
{
  const rmw_qos_profile_t & l = left.get_rmw_qos_profile();
  const rmw_qos_profile_t & r = right.get_rmw_qos_profile();
  return l.history == r.history && l.depth == r.depth && l.reliability == r.reliability &&
         l.durability == r.durability && same_time(l.deadline, r.deadline) &&
         same_time(l.lifespan, r.lifespan) && l.liveliness == r.liveliness &&
         same_time(l.liveliness_lease_duration, r.liveliness_lease_duration) &&
         l.avoid_ros_namespace_conventions == r.avoid_ros_namespace_conventions;
}

bool operator!=(const QoS & left, const QoS & right) {return !(left == right);}

ClockQoS::ClockQoS(const QoSInitialization & qos_initialization)
: QoS(qos_initialization, rmw_qos_profile_sensor_data) {}

SensorDataQoS::SensorDataQoS(const QoSInitialization & qos_initialization)
: QoS(qos_initialization, rmw_qos_profile_sensor_data) {}

ParametersQoS::ParametersQoS(const QoSInitialization & qos_initialization)
: QoS(qos_initialization, rmw_qos_profile_parameters) {}

ServicesQoS::ServicesQoS(const QoSInitialization & qos_initialization)
: QoS(qos_initialization, rmw_qos_profile_services_default) {}

ParameterEventsQoS::ParameterEventsQoS(const QoSInitialization & qos_initialization)
: QoS(qos_initialization, rmw_qos_profile_parameter_events) {}

RosoutQoS::RosoutQoS(const QoSInitialization & rosout_qos_initialization)
: QoS(rosout_qos_initialization, rmw_qos_profile_default)
{
  transient_local();
  lifespan(rmw_time_t{10, 0});
}

SystemDefaultsQoS::SystemDefaultsQoS(const QoSInitialization & qos_initialization)
: QoS(qos_initialization, rmw_qos_profile_system_default) {}

}  // namespace rclcpp
