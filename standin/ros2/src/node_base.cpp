#include "rclcpp/node_interfaces/node_base_interface.hpp"

#include <utility>

#include "rclcpp/detail/graph.hpp"
#include "rclcpp/detail/names.hpp"

namespace rclcpp
{
namespace node_interfaces
{
namespace
{

template<typename T>
void add_weak(std::vector<std::weak_ptr<T>> & list, const std::shared_ptr<T> & entity)
{
  if (entity) {
    list.push_back(entity);
  }
}

template<typename T>
std::vector<std::shared_ptr<T>> lock_and_prune(std::vector<std::weak_ptr<T>> & list)
{
  std::vector<std::shared_ptr<T>> live;
  std::vector<std::weak_ptr<T>> kept;
  for (const auto & weak : list) {
    if (auto entity = weak.lock()) {
      live.push_back(std::move(entity));
      kept.push_back(weak);
    }
  }
  list.swap(kept);
  return live;
}

}  // namespace

NodeBaseInterface::NodeBaseInterface(
  const std::string & node_name, const std::string & namespace_,
  rclcpp::Context::SharedPtr context, const detail::Graph::BuiltinEndpoints & builtins)
: name_(node_name), namespace_(namespace_),
  fully_qualified_name_(detail::fully_qualified_name(node_name, namespace_)),
  context_(std::move(context)),
  default_callback_group_(
    std::make_shared<rclcpp::CallbackGroup>(rclcpp::CallbackGroupType::MutuallyExclusive)),
  notifier_(std::make_shared<detail::NodeNotifier>())
{
  graph_id_ = detail::Graph::instance().add_node(name_, namespace_, builtins, context_->get_domain_id());
}

NodeBaseInterface::~NodeBaseInterface()
{
  detail::Graph::instance().remove_node(graph_id_);
}

void NodeBaseInterface::add_timer(const rclcpp::TimerBase::SharedPtr & timer)
{
  if (timer) {
    timer->set_notifier(notifier_);
  }
  {
    std::lock_guard<std::mutex> lock(entities_mutex_);
    add_weak(timers_, timer);
  }
  notifier_->notify();
}

void NodeBaseInterface::add_subscription(const rclcpp::SubscriptionBase::SharedPtr & subscription)
{
  {
    std::lock_guard<std::mutex> lock(entities_mutex_);
    add_weak(subscriptions_, subscription);
  }
  // Work may have been queued before the entity became visible here.
  notifier_->notify();
}

void NodeBaseInterface::add_service(const rclcpp::ServiceBase::SharedPtr & service)
{
  {
    std::lock_guard<std::mutex> lock(entities_mutex_);
    add_weak(services_, service);
  }
  // Work may have been queued before the entity became visible here.
  notifier_->notify();
}

void NodeBaseInterface::add_client(const rclcpp::ClientBase::SharedPtr & client)
{
  {
    std::lock_guard<std::mutex> lock(entities_mutex_);
    add_weak(clients_, client);
  }
  // Work may have been queued before the entity became visible here.
  notifier_->notify();
}

NodeBaseInterface::Entities NodeBaseInterface::collect_entities()
{
  std::lock_guard<std::mutex> lock(entities_mutex_);
  Entities entities;
  entities.timers = lock_and_prune(timers_);
  entities.subscriptions = lock_and_prune(subscriptions_);
  entities.services = lock_and_prune(services_);
  entities.clients = lock_and_prune(clients_);
  return entities;
}

}  // namespace node_interfaces
}  // namespace rclcpp
