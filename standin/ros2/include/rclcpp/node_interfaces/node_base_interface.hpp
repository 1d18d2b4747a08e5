// Stand-in for rclcpp/node_interfaces/node_base_interface.hpp. Real rclcpp
// splits this into an interface and an implementation; the stand-in has one
// concrete class that also keeps the node's entities for its executor.
#ifndef STANDIN_RCLCPP__NODE_INTERFACES__NODE_BASE_INTERFACE_HPP_
#define STANDIN_RCLCPP__NODE_INTERFACES__NODE_BASE_INTERFACE_HPP_

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/client.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/detail/graph.hpp"
#include "rclcpp/detail/wake_signal.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/service.hpp"
#include "rclcpp/subscription_base.hpp"
#include "rclcpp/timer.hpp"

namespace rclcpp
{
namespace node_interfaces
{

class NodeBaseInterface
{
public:
  RCLCPP_SMART_PTR_ALIASES_ONLY(NodeBaseInterface)

  // The name and namespace are final (remapped, validated, namespace absolute).
  NodeBaseInterface(
    const std::string & node_name, const std::string & namespace_,
    rclcpp::Context::SharedPtr context, const detail::Graph::BuiltinEndpoints & builtins);
  NodeBaseInterface(const NodeBaseInterface &) = delete;
  NodeBaseInterface & operator=(const NodeBaseInterface &) = delete;
  virtual ~NodeBaseInterface();

  const char * get_name() const {return name_.c_str();}
  const char * get_namespace() const {return namespace_.c_str();}
  const char * get_fully_qualified_name() const {return fully_qualified_name_.c_str();}
  rclcpp::Context::SharedPtr get_context() {return context_;}
  rclcpp::CallbackGroup::SharedPtr get_default_callback_group() {return default_callback_group_;}
  std::atomic_bool & get_associated_with_executor_atomic() {return associated_with_executor_;}

  // Stand-in internals: what the node's executor needs.
  const std::shared_ptr<detail::NodeNotifier> & get_notifier() const {return notifier_;}
  std::uint64_t get_graph_id() const {return graph_id_;}

  // The node keeps weak references only: an entity lives as long as its
  // owner holds it, as in rclcpp.
  void add_timer(const rclcpp::TimerBase::SharedPtr & timer);
  void add_subscription(const rclcpp::SubscriptionBase::SharedPtr & subscription);
  void add_service(const rclcpp::ServiceBase::SharedPtr & service);
  void add_client(const rclcpp::ClientBase::SharedPtr & client);

  struct Entities
  {
    std::vector<rclcpp::TimerBase::SharedPtr> timers;
    std::vector<rclcpp::SubscriptionBase::SharedPtr> subscriptions;
    std::vector<rclcpp::ServiceBase::SharedPtr> services;
    std::vector<rclcpp::ClientBase::SharedPtr> clients;
  };
  // The live entities in creation order (expired ones are dropped).
  Entities collect_entities();

private:
  std::string name_;
  std::string namespace_;
  std::string fully_qualified_name_;
  rclcpp::Context::SharedPtr context_;
  rclcpp::CallbackGroup::SharedPtr default_callback_group_;
  std::atomic_bool associated_with_executor_{false};
  std::shared_ptr<detail::NodeNotifier> notifier_;
  std::uint64_t graph_id_ = 0;

  std::mutex entities_mutex_;
  std::vector<std::weak_ptr<rclcpp::TimerBase>> timers_;
  std::vector<std::weak_ptr<rclcpp::SubscriptionBase>> subscriptions_;
  std::vector<std::weak_ptr<rclcpp::ServiceBase>> services_;
  std::vector<std::weak_ptr<rclcpp::ClientBase>> clients_;
};

}  // namespace node_interfaces
}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__NODE_INTERFACES__NODE_BASE_INTERFACE_HPP_
