#include "rclcpp/detail/graph.hpp"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <set>
#include <utility>

#include "rclcpp/detail/names.hpp"
#include "rclcpp/detail/wake_signal.hpp"
#include "rclcpp/exceptions/exceptions.hpp"
#include "rclcpp/subscription_base.hpp"
#include "rmw/qos_profiles.h"

namespace rclcpp
{
namespace detail
{
namespace
{

const char * const kParameterServiceSuffixes[] = {
  "/describe_parameters", "/get_parameter_types", "/get_parameters",
  "/list_parameters", "/set_parameters", "/set_parameters_atomically"};
const char * const kParameterServiceTypes[] = {
  "rcl_interfaces/srv/DescribeParameters", "rcl_interfaces/srv/GetParameterTypes",
  "rcl_interfaces/srv/GetParameters", "rcl_interfaces/srv/ListParameters",
  "rcl_interfaces/srv/SetParameters", "rcl_interfaces/srv/SetParametersAtomically"};

bool is_reliable(const rmw_qos_profile_t & qos)
{
  return qos.reliability != RMW_QOS_POLICY_RELIABILITY_BEST_EFFORT;
}

bool is_transient_local(const rmw_qos_profile_t & qos)
{
  return qos.durability == RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL;
}

bool keeps_all(const rmw_qos_profile_t & qos)
{
  return qos.history == RMW_QOS_POLICY_HISTORY_KEEP_ALL;
}

std::int64_t system_now_nanoseconds()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
    std::chrono::system_clock::now().time_since_epoch()).count();
}

void fill_gid(rmw_gid_t & gid, std::uint64_t publisher_id)
{
  gid.implementation_identifier = "rmw_standin";
  std::memset(gid.data, 0, sizeof(gid.data));
  std::memcpy(gid.data, &publisher_id, sizeof(publisher_id));
}

void add_type(
  std::map<std::string, std::vector<std::string>> & names, const std::string & name,
  const std::string & type)
{
  auto & types = names[name];
  if (std::find(types.begin(), types.end(), type) == types.end()) {
    types.push_back(type);
    std::sort(types.begin(), types.end());
  }
}

// The topics that `node_ids` have endpoints on among `records` (publishers
// or subscriptions), counting only endpoints discovery has announced.
template<typename Records>
std::map<std::string, std::vector<std::string>> announced_topics_of(
  const Records & records, const std::set<std::uint64_t> & node_ids,
  bool (* announced)(std::chrono::steady_clock::time_point))
{
  std::map<std::string, std::vector<std::string>> names;
  for (const auto & entry : records) {
    if (node_ids.count(entry.second.endpoint.node_id) != 0 && announced(entry.second.created)) {
      add_type(names, entry.second.endpoint.topic, entry.second.endpoint.type);
    }
  }
  return names;
}

}  // namespace

bool qos_compatible(const rmw_qos_profile_t & offered, const rmw_qos_profile_t & requested)
{
  if (is_reliable(requested) && !is_reliable(offered)) {
    return false;
  }
  return !(is_transient_local(requested) && !is_transient_local(offered));
}

Graph & Graph::instance()
{
  // Never destroyed: entities released during static destruction still
  // unregister from it.
  static Graph * graph = new Graph();
  return *graph;
}

std::uint64_t Graph::add_node(
  const std::string & name, const std::string & namespace_, const BuiltinEndpoints & builtins,
  std::size_t domain_id)
{
  std::lock_guard<std::mutex> lock(mutex_);
  const std::uint64_t id = next_id_locked();
  nodes_[id] = NodeRecord{name, namespace_, domain_id};
  add_builtin_endpoints_locked(id, fully_qualified_name(name, namespace_), builtins);
  notify_changed_locked();
  return id;
}

void Graph::add_builtin_endpoints_locked(
  std::uint64_t node_id, const std::string & fqn, const BuiltinEndpoints & builtins)
{
  const auto add_publisher = [&](const char * topic, const char * type) {
      PublisherRecord record;
      record.endpoint.topic = topic;
      record.endpoint.type = type;
      record.endpoint.node_id = node_id;
      record.domain_id = domain_of_locked(node_id);
      record.created = std::chrono::steady_clock::now();
      publishers_[next_id_locked()] = std::move(record);
    };
  if (builtins.parameter_event_publisher) {
    add_publisher("/parameter_events", "rcl_interfaces/msg/ParameterEvent");
  }
  if (builtins.rosout_publisher) {
    add_publisher("/rosout", "rcl_interfaces/msg/Log");
  }
  if (builtins.parameter_event_subscription) {
    // Held by no live subscription: it receives nothing and only shows.
    SubscriptionRecord record;
    record.endpoint.topic = "/parameter_events";
    record.endpoint.type = "rcl_interfaces/msg/ParameterEvent";
    record.endpoint.qos = rmw_qos_profile_parameter_events;
    record.endpoint.node_id = node_id;
    record.domain_id = domain_of_locked(node_id);
    record.created = std::chrono::steady_clock::now();
    subscriptions_[next_id_locked()] = std::move(record);
  }
  for (std::size_t i = 0; builtins.parameter_services && i < std::size(kParameterServiceSuffixes); ++i) {
    ServiceRecord record;
    record.endpoint.name = fqn + kParameterServiceSuffixes[i];
    record.endpoint.type = kParameterServiceTypes[i];
    record.endpoint.node_id = node_id;
    services_[next_id_locked()] = std::move(record);
  }
}

void Graph::remove_node(std::uint64_t node_id)
{
  std::lock_guard<std::mutex> lock(mutex_);
  nodes_.erase(node_id);
  // Only the built-in endpoints have no C++ type; the node's own entities
  // unregister themselves whenever they are destroyed.
  for (auto it = publishers_.begin(); it != publishers_.end(); ) {
    const bool builtin = it->second.endpoint.cpp_type == std::type_index(typeid(void));
    it = (builtin && it->second.endpoint.node_id == node_id) ? publishers_.erase(it) : std::next(it);
  }
  for (auto it = services_.begin(); it != services_.end(); ) {
    const bool builtin = it->second.endpoint.cpp_type == std::type_index(typeid(void));
    it = (builtin && it->second.endpoint.node_id == node_id) ? services_.erase(it) : std::next(it);
  }
  for (auto it = subscriptions_.begin(); it != subscriptions_.end(); ) {
    const bool builtin = it->second.endpoint.cpp_type == std::type_index(typeid(void));
    it = (builtin && it->second.endpoint.node_id == node_id) ? subscriptions_.erase(it) : std::next(it);
  }
  notify_changed_locked();
}

std::vector<std::string> Graph::node_names() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> names;
  for (const auto & node : nodes_) {
    names.push_back(fully_qualified_name(node.second.name, node.second.namespace_));
  }
  return names;
}

std::size_t Graph::domain_of_locked(std::uint64_t node_id) const
{
  auto node = nodes_.find(node_id);
  return node == nodes_.end() ? 0 : node->second.domain_id;
}

bool Graph::compatible(const PublisherRecord & publisher, const SubscriptionRecord & subscription)
{
  const TopicEndpoint & offered = publisher.endpoint;
  const TopicEndpoint & requested = subscription.endpoint;
  return publisher.domain_id == subscription.domain_id && offered.topic == requested.topic &&
         offered.cpp_type == requested.cpp_type && qos_compatible(offered.qos, requested.qos);
}

bool Graph::add_pending_match_locked(std::uint64_t publisher_id, std::uint64_t subscription_id)
{
  const PublisherRecord & publisher = publishers_.at(publisher_id);
  const SubscriptionRecord & subscription = subscriptions_.at(subscription_id);
  if (!compatible(publisher, subscription) || !is_transient_local(publisher.endpoint.qos) ||
    !is_transient_local(subscription.endpoint.qos))
  {
    return false;
  }
  pending_matches_.push_back(
    {publisher_id, subscription_id, match_time(publisher.created, subscription.created)});
  return true;
}

void Graph::wake_executors_locked() const
{
  for (const auto & entry : executor_wakes_) {
    if (auto wake = entry.second.lock()) {
      wake->notify();
    }
  }
}

std::uint64_t Graph::add_executor_wake(const std::weak_ptr<WakeSignal> & wake)
{
  std::lock_guard<std::mutex> lock(mutex_);
  const std::uint64_t id = next_id_locked();
  executor_wakes_[id] = wake;
  return id;
}

void Graph::remove_executor_wake(std::uint64_t wake_id)
{
  std::lock_guard<std::mutex> lock(mutex_);
  executor_wakes_.erase(wake_id);
}

std::uint64_t Graph::add_publisher(const TopicEndpoint & endpoint)
{
  std::lock_guard<std::mutex> lock(mutex_);
  const std::uint64_t id = next_id_locked();
  PublisherRecord & record = publishers_[id];
  record.endpoint = endpoint;
  record.domain_id = domain_of_locked(endpoint.node_id);
  record.created = std::chrono::steady_clock::now();
  bool pending = false;
  for (const auto & subscription : subscriptions_) {
    pending = add_pending_match_locked(id, subscription.first) || pending;
  }
  if (pending) {
    wake_executors_locked();
  }
  notify_changed_locked();
  return id;
}

void Graph::remove_publisher(std::uint64_t publisher_id)
{
  std::lock_guard<std::mutex> lock(mutex_);
  publishers_.erase(publisher_id);
  notify_changed_locked();
}

void Graph::discover()
{
  std::vector<std::shared_ptr<SubscriptionBase>> receivers;
  std::lock_guard<std::mutex> lock(mutex_);
  discover_locked(std::chrono::steady_clock::now(), receivers);
}

std::optional<std::chrono::steady_clock::time_point> Graph::next_discovery() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  std::optional<SteadyTime> next;
  for (const auto & pending : pending_matches_) {
    next = next ? std::min(*next, pending.due) : pending.due;
  }
  return next;
}

void Graph::discover_locked(SteadyTime now, std::vector<std::shared_ptr<SubscriptionBase>> & receivers)
{
  std::vector<PendingMatch> still_pending;
  for (const auto & pending : pending_matches_) {
    if (pending.due > now) {
      still_pending.push_back(pending);
      continue;
    }
    auto publisher = publishers_.find(pending.publisher_id);
    auto subscription = subscriptions_.find(pending.subscription_id);
    if (publisher == publishers_.end() || subscription == subscriptions_.end()) {
      continue;
    }
    auto live = matching_live_subscription_locked(publisher->second, subscription->second, now);
    if (!live) {
      continue;
    }
    // Everything still cached was published before the match: every publish
    // discovers first, so nothing published after it is cached unseen.
    for (const auto & cached : publisher->second.cache) {
      live->enqueue(cached.message, cached.info);
    }
    receivers.push_back(std::move(live));
  }
  pending_matches_.swap(still_pending);
}

std::int64_t Graph::next_source_timestamp_locked()
{
  last_source_timestamp_ = std::max(system_now_nanoseconds(), last_source_timestamp_ + 1);
  return last_source_timestamp_;
}

std::shared_ptr<SubscriptionBase> Graph::matching_live_subscription_locked(
  const PublisherRecord & publisher, const SubscriptionRecord & subscription, SteadyTime now) const
{
  const TopicEndpoint & offered = publisher.endpoint;
  const TopicEndpoint & requested = subscription.endpoint;
  if (!compatible(publisher, subscription) || now < match_time(publisher.created, subscription.created)) {
    return nullptr;
  }
  if (requested.ignore_local_publications && requested.node_id == offered.node_id) {
    return nullptr;
  }
  return subscription.subscription.lock();
}

void Graph::publish(
  std::uint64_t publisher_id, const ErasedMessage & message,
  std::optional<std::int64_t> clock_nanoseconds)
{
  // Entities locked here may lose their last other owner meanwhile; they are
  // released only after the mutex, because their destructors unregister.
  std::vector<std::shared_ptr<SubscriptionBase>> receivers;
  std::vector<std::shared_ptr<ClockListener>> listeners;
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = publishers_.find(publisher_id);
  if (found == publishers_.end()) {
    return;
  }
  const SteadyTime now = std::chrono::steady_clock::now();
  // Histories due before this message go first, as on DDS.
  discover_locked(now, receivers);
  PublisherRecord & publisher = found->second;
  rmw_message_info_t info{};
  info.source_timestamp = next_source_timestamp_locked();
  info.received_timestamp = info.source_timestamp;
  info.publication_sequence_number = ++publisher.sequence_number;
  info.reception_sequence_number = RMW_MESSAGE_INFO_SEQUENCE_NUMBER_UNSUPPORTED;
  info.from_intra_process = false;
  fill_gid(info.publisher_gid, publisher_id);

  for (const auto & entry : subscriptions_) {
    if (auto subscription = matching_live_subscription_locked(publisher, entry.second, now)) {
      subscription->enqueue(message, info);
      receivers.push_back(std::move(subscription));
    }
  }
  if (is_transient_local(publisher.endpoint.qos)) {
    publisher.cache.push_back({message, info});
    const std::size_t depth = std::max<std::size_t>(publisher.endpoint.qos.depth, 1);
    while (!keeps_all(publisher.endpoint.qos) && publisher.cache.size() > depth) {
      publisher.cache.pop_front();
    }
  }
  if (clock_nanoseconds && publisher.endpoint.topic == "/clock") {
    for (const auto & entry : clock_listeners_) {
      const ClockListenerRecord & record = entry.second;
      if (record.domain_id != publisher.domain_id || now < match_time(publisher.created, record.created)) {
        continue;
      }
      if (auto listener = record.listener.lock()) {
        listener->on_clock_message(*clock_nanoseconds);
        listeners.push_back(std::move(listener));
      }
    }
  }
}

std::uint64_t Graph::add_subscription(
  const TopicEndpoint & endpoint, const std::weak_ptr<SubscriptionBase> & subscription)
{
  std::lock_guard<std::mutex> lock(mutex_);
  const std::uint64_t id = next_id_locked();
  SubscriptionRecord & record = subscriptions_[id];
  record.endpoint = endpoint;
  record.domain_id = domain_of_locked(endpoint.node_id);
  record.created = std::chrono::steady_clock::now();
  record.subscription = subscription;
  bool pending = false;
  for (const auto & publisher : publishers_) {
    pending = add_pending_match_locked(publisher.first, id) || pending;
  }
  if (pending) {
    wake_executors_locked();
  }
  notify_changed_locked();
  return id;
}

void Graph::remove_subscription(std::uint64_t subscription_id)
{
  std::lock_guard<std::mutex> lock(mutex_);
  subscriptions_.erase(subscription_id);
  notify_changed_locked();
}

bool Graph::discovered(SteadyTime created)
{
  return std::chrono::steady_clock::now() >= created + kAnnounceDelay;
}

std::size_t Graph::count_publishers(const std::string & topic, std::size_t domain_id) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<std::size_t>(std::count_if(
           publishers_.begin(), publishers_.end(), [&](const auto & entry) {
             return entry.second.endpoint.topic == topic && entry.second.domain_id == domain_id &&
             discovered(entry.second.created);
           }));
}

std::size_t Graph::count_subscribers(const std::string & topic, std::size_t domain_id) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  const std::size_t clock_subscribers =
    topic == "/clock" ? clock_subscribers_locked(domain_id, nullptr, std::chrono::steady_clock::now()) : 0;
  return clock_subscribers + static_cast<std::size_t>(std::count_if(
           subscriptions_.begin(), subscriptions_.end(), [&](const auto & entry) {
             return entry.second.endpoint.topic == topic && entry.second.domain_id == domain_id &&
             discovered(entry.second.created);
           }));
}

std::size_t Graph::clock_subscribers_locked(
  std::size_t domain_id, const SteadyTime * publisher_created, SteadyTime now) const
{
  std::size_t count = 0;
  for (const auto & entry : clock_listeners_) {
    const ClockListenerRecord & record = entry.second;
    const bool visible = publisher_created ?
      now >= match_time(*publisher_created, record.created) : discovered(record.created);
    const auto listener = record.listener.lock();
    if (record.domain_id == domain_id && visible && listener && listener->listening()) {
      ++count;
    }
  }
  return count;
}

std::size_t Graph::matched_subscriptions(std::uint64_t publisher_id) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  auto publisher = publishers_.find(publisher_id);
  if (publisher == publishers_.end()) {
    return 0;
  }
  const SteadyTime now = std::chrono::steady_clock::now();
  const PublisherRecord & record = publisher->second;
  const std::size_t clock_subscribers = record.endpoint.topic == "/clock" ?
    clock_subscribers_locked(record.domain_id, &record.created, now) : 0;
  return clock_subscribers + static_cast<std::size_t>(std::count_if(
           subscriptions_.begin(), subscriptions_.end(), [&](const auto & entry) {
             return compatible(record, entry.second) && now >= match_time(record.created, entry.second.created);
           }));
}

std::size_t Graph::matched_publishers(std::uint64_t subscription_id) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  auto subscription = subscriptions_.find(subscription_id);
  if (subscription == subscriptions_.end()) {
    return 0;
  }
  const SteadyTime now = std::chrono::steady_clock::now();
  return static_cast<std::size_t>(std::count_if(
           publishers_.begin(), publishers_.end(), [&](const auto & entry) {
             return compatible(entry.second, subscription->second) &&
             now >= match_time(entry.second.created, subscription->second.created);
           }));
}

std::map<std::string, std::vector<std::string>> Graph::topic_names_and_types() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  std::map<std::string, std::vector<std::string>> names;
  for (const auto & entry : publishers_) {
    add_type(names, entry.second.endpoint.topic, entry.second.endpoint.type);
  }
  for (const auto & entry : subscriptions_) {
    add_type(names, entry.second.endpoint.topic, entry.second.endpoint.type);
  }
  return names;
}

std::uint64_t Graph::add_service(
  const ServiceEndpoint & endpoint, const std::weak_ptr<ServiceBase> & service)
{
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto & entry : services_) {
    if (entry.second.endpoint.name == endpoint.name) {
      throw rclcpp::exceptions::RCLError(
              "could not create service: a service named '" + endpoint.name +
              "' already exists in this process");
    }
  }
  const std::uint64_t id = next_id_locked();
  services_[id] = ServiceRecord{endpoint, service};
  notify_changed_locked();
  return id;
}

void Graph::remove_service(std::uint64_t service_id)
{
  std::lock_guard<std::mutex> lock(mutex_);
  services_.erase(service_id);
  notify_changed_locked();
}

std::shared_ptr<ServiceBase> Graph::find_service(
  const std::string & name, const std::type_index & cpp_type) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto & entry : services_) {
    if (entry.second.endpoint.name == name && entry.second.endpoint.cpp_type == cpp_type) {
      return entry.second.service.lock();
    }
  }
  return nullptr;
}

bool Graph::service_available(const std::string & name, const std::type_index & cpp_type) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return std::any_of(
    services_.begin(), services_.end(), [&](const auto & entry) {
      return entry.second.endpoint.name == name && entry.second.endpoint.cpp_type == cpp_type;
    });
}

void Graph::wait_for_change(std::chrono::nanoseconds timeout) const
{
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, timeout);
}

void Graph::notify_changed_locked()
{
  changed_.notify_all();
}

std::map<std::string, std::vector<std::string>> Graph::service_names_and_types() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  std::map<std::string, std::vector<std::string>> names;
  for (const auto & entry : services_) {
    add_type(names, entry.second.endpoint.name, entry.second.endpoint.type);
  }
  return names;
}

std::set<std::uint64_t> Graph::node_ids_locked(
  const std::string & node_name, const std::string & namespace_, const char * query) const
{
  std::set<std::uint64_t> node_ids;
  for (const auto & node : nodes_) {
    if (node.second.name == node_name && node.second.namespace_ == namespace_) {
      node_ids.insert(node.first);
    }
  }
  if (node_ids.empty()) {
    throw rclcpp::exceptions::RCLError(
            std::string("failed to ") + query + ": node name '" + node_name +
            "' in namespace '" + namespace_ + "' not found");
  }
  return node_ids;
}

std::map<std::string, std::vector<std::string>> Graph::service_names_and_types_by_node(
  const std::string & node_name, const std::string & namespace_) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  const auto node_ids =
    node_ids_locked(node_name, namespace_, "get_service_names_and_types_by_node");
  std::map<std::string, std::vector<std::string>> names;
  for (const auto & entry : services_) {
    if (node_ids.count(entry.second.endpoint.node_id) != 0) {
      add_type(names, entry.second.endpoint.name, entry.second.endpoint.type);
    }
  }
  return names;
}

std::uint64_t Graph::add_client(const ServiceEndpoint & endpoint)
{
  std::lock_guard<std::mutex> lock(mutex_);
  const std::uint64_t id = next_id_locked();
  clients_[id] = endpoint;
  notify_changed_locked();
  return id;
}

void Graph::remove_client(std::uint64_t client_id)
{
  std::lock_guard<std::mutex> lock(mutex_);
  clients_.erase(client_id);
  notify_changed_locked();
}

std::map<std::string, std::vector<std::string>> Graph::client_names_and_types_by_node(
  const std::string & node_name, const std::string & namespace_) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  const auto node_ids =
    node_ids_locked(node_name, namespace_, "get_client_names_and_types_by_node");
  std::map<std::string, std::vector<std::string>> names;
  for (const auto & entry : clients_) {
    if (node_ids.count(entry.second.node_id) != 0) {
      add_type(names, entry.second.name, entry.second.type);
    }
  }
  return names;
}

std::map<std::string, std::vector<std::string>> Graph::publisher_names_and_types_by_node(
  const std::string & node_name, const std::string & namespace_) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return announced_topics_of(
    publishers_, node_ids_locked(node_name, namespace_, "get_publisher_names_and_types_by_node"),
    &Graph::discovered);
}

std::map<std::string, std::vector<std::string>> Graph::subscriber_names_and_types_by_node(
  const std::string & node_name, const std::string & namespace_) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return announced_topics_of(
    subscriptions_, node_ids_locked(node_name, namespace_, "get_subscriber_names_and_types_by_node"),
    &Graph::discovered);
}

std::vector<std::pair<std::string, std::string>> Graph::node_names_and_namespaces() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::pair<std::string, std::string>> names;
  for (const auto & node : nodes_) {
    names.emplace_back(node.second.name, node.second.namespace_);
  }
  return names;
}

std::uint64_t Graph::add_clock_listener(const std::weak_ptr<ClockListener> & listener, std::size_t domain_id)
{
  std::lock_guard<std::mutex> lock(mutex_);
  const std::uint64_t id = next_id_locked();
  clock_listeners_[id] = ClockListenerRecord{listener, domain_id, std::chrono::steady_clock::now()};
  return id;
}

void Graph::remove_clock_listener(std::uint64_t listener_id)
{
  std::lock_guard<std::mutex> lock(mutex_);
  clock_listeners_.erase(listener_id);
}

}  // namespace detail
}  // namespace rclcpp
