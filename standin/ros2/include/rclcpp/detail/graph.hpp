// The in-process stand-in for the ROS graph: one registry per process of the
// nodes, topic endpoints and services, which also carries messages from
// publishers to matching subscriptions. A single mutex serialises every change
// and every delivery, so publications get one process-wide order.
// Subscriptions, services and clock listeners are held weakly: the registry
// never keeps an entity alive, and entities unregister themselves when
// destroyed.
//
// Like DDS, it matches endpoints only within one domain (the context's domain
// ID) and only a short discovery delay after both exist: a volatile
// subscription misses what was published before it matched, and a
// transient-local one receives the publisher's history, each message once,
// when it matches, not when it is created. The graph queries (counts) see an
// endpoint when discovery announces it, shortly after its creation.
#ifndef STANDIN_RCLCPP__DETAIL__GRAPH_HPP_
#define STANDIN_RCLCPP__DETAIL__GRAPH_HPP_

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <typeindex>
#include <utility>
#include <vector>

#include "rclcpp/detail/qos_incompatibility.hpp"
#include "rmw/types.h"

namespace rclcpp
{
class SubscriptionBase;
class ServiceBase;

namespace detail
{
class WakeSignal;

using ErasedMessage = std::shared_ptr<const void>;

// Receives every rosgraph_msgs/msg/Clock published on "/clock", synchronously
// inside the publish call.
class ClockListener
{
public:
  virtual ~ClockListener() = default;
  virtual void on_clock_message(std::int64_t nanoseconds) = 0;
  // Whether the node uses simulated time: real rclcpp has a "/clock"
  // subscription exactly then, and publishers and graph counts see it.
  virtual bool listening() const = 0;
};

struct TopicEndpoint
{
  std::string topic;             // fully qualified
  std::string type;              // "pkg/msg/Name"
  std::type_index cpp_type = std::type_index(typeid(void));
  rmw_qos_profile_t qos{};
  std::uint64_t node_id = 0;
  bool ignore_local_publications = false;
};

struct ServiceEndpoint
{
  std::string name;              // fully qualified
  std::string type;              // "pkg/srv/Name"
  std::type_index cpp_type = std::type_index(typeid(void));
  std::uint64_t node_id = 0;
};

class Graph
{
public:
  static Graph & instance();

  // What every real node owns besides its own entities.
  struct BuiltinEndpoints
  {
    bool parameter_services = true;          // six "<fqn>/..._parameters" services
    bool parameter_event_publisher = true;   // "/parameter_events"
    bool rosout_publisher = true;            // "/rosout"
    // rclcpp's time source listens to "/parameter_events" in every node.
    bool parameter_event_subscription = true;
  };
  std::uint64_t add_node(
    const std::string & name, const std::string & namespace_, const BuiltinEndpoints & builtins,
    std::size_t domain_id = 0);
  void remove_node(std::uint64_t node_id);
  std::vector<std::string> node_names() const;

  std::uint64_t add_publisher(const TopicEndpoint & endpoint);
  void remove_publisher(std::uint64_t publisher_id);
  // Stamps the message (source timestamp strictly increasing over the process,
  // sequence number per publisher), queues it on every matching subscription,
  // keeps it for late joiners if the publisher is transient-local, and feeds
  // clock listeners when it is a clock message on "/clock".
  void publish(
    std::uint64_t publisher_id, const ErasedMessage & message,
    std::optional<std::int64_t> clock_nanoseconds);

  // Also replays the caches of matching transient-local publishers when the
  // subscription is transient-local.
  std::uint64_t add_subscription(
    const TopicEndpoint & endpoint, const std::weak_ptr<SubscriptionBase> & subscription);
  void remove_subscription(std::uint64_t subscription_id);

  // Logs both sides' warnings for every endpoint that the new one cannot
  // match because of QoS (qos_incompatibility.hpp). Called by the entity
  // right after it registered, outside the graph's lock.
  void warn_incompatible_qos_of_publisher(std::uint64_t publisher_id) const;
  void warn_incompatible_qos_of_subscription(std::uint64_t subscription_id) const;

  // Endpoints on the topic in the domain that discovery has announced, a
  // discovery delay after their creation (rmw's graph cache is fed by
  // discovery, for the process's own endpoints too), matched or not.
  std::size_t count_publishers(const std::string & topic, std::size_t domain_id) const;
  std::size_t count_subscribers(const std::string & topic, std::size_t domain_id) const;
  std::size_t matched_subscriptions(std::uint64_t publisher_id) const;
  std::size_t matched_publishers(std::uint64_t subscription_id) const;
  std::map<std::string, std::vector<std::string>> topic_names_and_types() const;

  // Throws RCLError "could not create service: ..." when the name is taken.
  std::uint64_t add_service(
    const ServiceEndpoint & endpoint, const std::weak_ptr<ServiceBase> & service);
  void remove_service(std::uint64_t service_id);
  std::shared_ptr<ServiceBase> find_service(
    const std::string & name, const std::type_index & cpp_type) const;
  bool service_available(const std::string & name, const std::type_index & cpp_type) const;
  // Waits at most `timeout` for the graph to change (any registration).
  void wait_for_change(std::chrono::nanoseconds timeout) const;
  std::map<std::string, std::vector<std::string>> service_names_and_types() const;
  // Clients only show in the graph; requests find their service directly.
  std::uint64_t add_client(const ServiceEndpoint & endpoint);
  void remove_client(std::uint64_t client_id);

  // What one node owns, as discovery announces it. Each throws RCLError when
  // no such node exists.
  std::map<std::string, std::vector<std::string>> service_names_and_types_by_node(
    const std::string & node_name, const std::string & namespace_) const;
  std::map<std::string, std::vector<std::string>> client_names_and_types_by_node(
    const std::string & node_name, const std::string & namespace_) const;
  std::map<std::string, std::vector<std::string>> publisher_names_and_types_by_node(
    const std::string & node_name, const std::string & namespace_) const;
  std::map<std::string, std::vector<std::string>> subscriber_names_and_types_by_node(
    const std::string & node_name, const std::string & namespace_) const;
  // Names and namespaces of every node.
  std::vector<std::pair<std::string, std::string>> node_names_and_namespaces() const;

  std::uint64_t add_clock_listener(const std::weak_ptr<ClockListener> & listener, std::size_t domain_id = 0);
  void remove_clock_listener(std::uint64_t listener_id);

  // How long two endpoints exist before they match.
  static constexpr std::chrono::milliseconds kDiscoveryDelay{30};
  // How long after its creation an endpoint shows in the graph counts. Local
  // endpoints reach rmw's graph cache through its own discovery topic, which
  // is quicker than matching.
  static constexpr std::chrono::milliseconds kAnnounceDelay{5};
  // Delivers the history of transient-local publishers to the subscriptions
  // that have matched them by now. Executors call it before looking for work.
  void discover();
  // Executors register how to wake them: a new pending match must wake an
  // executor that went to sleep before it existed.
  std::uint64_t add_executor_wake(const std::weak_ptr<WakeSignal> & wake);
  void remove_executor_wake(std::uint64_t wake_id);
  // When the next pending match happens, if any is pending.
  std::optional<std::chrono::steady_clock::time_point> next_discovery() const;

private:
  using SteadyTime = std::chrono::steady_clock::time_point;
  struct NodeRecord
  {
    std::string name;
    std::string namespace_;
    std::size_t domain_id = 0;
  };
  struct CachedMessage
  {
    ErasedMessage message;
    rmw_message_info_t info;
  };
  struct PublisherRecord
  {
    TopicEndpoint endpoint;
    std::size_t domain_id = 0;
    SteadyTime created;
    std::uint64_t sequence_number = 0;
    std::deque<CachedMessage> cache;   // transient-local publishers only
  };
  struct SubscriptionRecord
  {
    TopicEndpoint endpoint;
    std::size_t domain_id = 0;
    SteadyTime created;
    std::weak_ptr<SubscriptionBase> subscription;
  };
  struct ClockListenerRecord
  {
    std::weak_ptr<ClockListener> listener;
    std::size_t domain_id = 0;
    SteadyTime created;
  };
  // A transient-local publisher and subscription that will match at `due`.
  struct PendingMatch
  {
    std::uint64_t publisher_id = 0;
    std::uint64_t subscription_id = 0;
    SteadyTime due;
  };
  struct ServiceRecord
  {
    ServiceEndpoint endpoint;
    std::weak_ptr<ServiceBase> service;   // empty for the parameter services
  };

  Graph() = default;
  std::uint64_t next_id_locked() {return ++last_id_;}
  std::int64_t next_source_timestamp_locked();
  void add_builtin_endpoints_locked(
    std::uint64_t node_id, const std::string & fqn, const BuiltinEndpoints & builtins);
  std::size_t domain_of_locked(std::uint64_t node_id) const;
  static bool compatible(const PublisherRecord & publisher, const SubscriptionRecord & subscription);
  static bool discovered(SteadyTime created);
  static SteadyTime match_time(SteadyTime a, SteadyTime b) {return std::max(a, b) + kDiscoveryDelay;}
  // Nodes on simulated time in `domain_id` that a "/clock" publisher
  // created at `publisher_created` has matched by `now` (or, without a
  // publisher, that the graph has announced).
  std::size_t clock_subscribers_locked(
    std::size_t domain_id, const SteadyTime * publisher_created, SteadyTime now) const;
  std::shared_ptr<SubscriptionBase> matching_live_subscription_locked(
    const PublisherRecord & publisher, const SubscriptionRecord & subscription, SteadyTime now) const;
  // Returns whether the pair will match later (both transient-local).
  bool add_pending_match_locked(std::uint64_t publisher_id, std::uint64_t subscription_id);
  void wake_executors_locked() const;
  // Holds the subscriptions it enqueued to, so that they are released only
  // after the mutex.
  void discover_locked(SteadyTime now, std::vector<std::shared_ptr<SubscriptionBase>> & receivers);
  void notify_changed_locked();
  void collect_qos_warnings_locked(
    const TopicEndpoint & offered, const TopicEndpoint & requested,
    std::vector<QosWarning> & warnings) const;
  std::string logger_name_locked(std::uint64_t node_id) const;
  // Throws RCLError naming `query` when no node has this name and namespace.
  std::set<std::uint64_t> node_ids_locked(
    const std::string & node_name, const std::string & namespace_, const char * query) const;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::uint64_t last_id_ = 0;
  std::int64_t last_source_timestamp_ = 0;
  std::map<std::uint64_t, NodeRecord> nodes_;
  std::map<std::uint64_t, PublisherRecord> publishers_;
  std::map<std::uint64_t, SubscriptionRecord> subscriptions_;
  std::map<std::uint64_t, ServiceRecord> services_;
  std::map<std::uint64_t, ServiceEndpoint> clients_;
  std::map<std::uint64_t, ClockListenerRecord> clock_listeners_;
  std::vector<PendingMatch> pending_matches_;
  std::map<std::uint64_t, std::weak_ptr<WakeSignal>> executor_wakes_;
};

// Whether a publisher with `offered` QoS reaches a subscription asking for
// `requested`, by the DDS rules for reliability and durability.
bool qos_compatible(const rmw_qos_profile_t & offered, const rmw_qos_profile_t & requested);

}  // namespace detail
}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__DETAIL__GRAPH_HPP_
