// Stand-in for rclcpp/service.hpp and any_service_callback.hpp. A request
// from a client of the same process is queued here and handled when the
// service's node is spun; the response goes back to the client's queue.
#ifndef STANDIN_RCLCPP__SERVICE_HPP_
#define STANDIN_RCLCPP__SERVICE_HPP_

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <typeindex>
#include <utility>

#include "rclcpp/detail/graph.hpp"
#include "rclcpp/detail/wake_signal.hpp"
#include "rclcpp/macros.hpp"
#include "rmw/types.h"
#include "rosidl_runtime_cpp/traits.hpp"

namespace rclcpp
{

class ClientBase;

namespace detail
{

// "pkg/srv/Name" from the request's "pkg/srv/Name_Request".
template<typename ServiceT>
std::string service_type_name()
{
  std::string name = rosidl_generator_traits::name<typename ServiceT::Request>();
  const std::string suffix = "_Request";
  if (name.size() > suffix.size() &&
    name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
  {
    name.erase(name.size() - suffix.size());
  }
  return name;
}

// Null std::function objects and null function pointers are refused, as
// rclcpp does; other callables cannot be null.
template<typename CallbackT>
bool is_null_callable(const CallbackT & callback)
{
  if constexpr (std::is_pointer_v<CallbackT>) {
    return callback == nullptr;
  } else if constexpr (std::is_constructible_v<bool, const CallbackT &> &&
    !std::is_class_v<CallbackT>)
  {
    return !static_cast<bool>(callback);
  } else {
    return false;
  }
}

template<typename Signature>
bool is_null_callable(const std::function<Signature> & callback)
{
  return !callback;
}

}  // namespace detail

class ServiceBase : public std::enable_shared_from_this<ServiceBase>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(ServiceBase)

  ServiceBase(const ServiceBase &) = delete;
  ServiceBase & operator=(const ServiceBase &) = delete;
  virtual ~ServiceBase();

  // Non-const, as in this rclcpp release.
  const char * get_service_name();

  // Stand-in internals used by clients and executors.
  void register_in_graph();
  void enqueue_request(
    const rmw_request_id_t & header, std::shared_ptr<void> request,
    std::weak_ptr<ClientBase> client);
  bool has_request() const;
  bool execute_one();

protected:
  ServiceBase(detail::ServiceEndpoint endpoint, std::shared_ptr<detail::NodeNotifier> notifier);
  virtual void dispatch(
    std::shared_ptr<rmw_request_id_t> header, std::shared_ptr<void> request) = 0;
  // Routes a response to the client that sent the request; a response for a
  // request that was already answered, or whose client is gone, is dropped.
  void send_response_erased(const rmw_request_id_t & header, std::shared_ptr<void> response);

private:
  struct PendingRequest
  {
    rmw_request_id_t header;
    std::shared_ptr<void> request;
  };
  using RequestKey = std::pair<std::string, std::int64_t>;
  static RequestKey key_of(const rmw_request_id_t & header);

  detail::ServiceEndpoint endpoint_;
  std::shared_ptr<detail::NodeNotifier> notifier_;
  std::uint64_t graph_id_ = 0;
  mutable std::mutex mutex_;
  std::deque<PendingRequest> requests_;
  std::map<RequestKey, std::weak_ptr<ClientBase>> awaiting_response_;
};

template<typename ServiceT>
class Service : public ServiceBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Service)

  using Request = typename ServiceT::Request;
  using Response = typename ServiceT::Response;
  using SharedRequest = std::shared_ptr<Request>;
  using SharedResponse = std::shared_ptr<Response>;
  using SharedHeader = std::shared_ptr<rmw_request_id_t>;

  // Built by Node::create_service, which also registers it in the graph.
  template<typename CallbackT>
  Service(
    const std::string & fully_qualified_name, CallbackT && callback, std::uint64_t node_id,
    std::shared_ptr<detail::NodeNotifier> notifier)
  : ServiceBase(make_endpoint(fully_qualified_name, node_id), std::move(notifier))
  {
    using Callable = std::decay_t<CallbackT>;
    if (detail::is_null_callable(callback)) {
      throw std::invalid_argument("AnyServiceCallback::set(): callback cannot be nullptr");
    }
    static_assert(
      std::is_invocable_v<Callable &, SharedRequest, SharedResponse>||
      std::is_invocable_v<Callable &, SharedHeader, SharedRequest, SharedResponse>||
      std::is_invocable_v<Callable &, SharedHeader, SharedRequest>||
      std::is_invocable_v<Callable &, std::shared_ptr<Service>, SharedHeader, SharedRequest>,
      "service callback signature is not supported for this service type");
    handler_ = make_handler(Callable(std::forward<CallbackT>(callback)));
  }

  void send_response(rmw_request_id_t & req_id, Response & response)
  {
    send_response_erased(req_id, std::make_shared<Response>(response));
  }

protected:
  void dispatch(SharedHeader header, std::shared_ptr<void> request) override
  {
    handler_(header, std::static_pointer_cast<Request>(request));
  }

private:
  using Handler = std::function<void (const SharedHeader &, const SharedRequest &)>;

  template<typename Callable>
  Handler make_handler(Callable callback)
  {
    return [this, callback = std::move(callback)](
      const SharedHeader & header, const SharedRequest & request) mutable {
             if constexpr (std::is_invocable_v<Callable &, SharedRequest, SharedResponse>) {
               auto response = std::make_shared<Response>();
               callback(request, response);
               send_response(*header, *response);
             } else if constexpr (
               std::is_invocable_v<Callable &, SharedHeader, SharedRequest, SharedResponse>)
             {
               auto response = std::make_shared<Response>();
               callback(header, request, response);
               send_response(*header, *response);
             } else if constexpr (std::is_invocable_v<Callable &, SharedHeader, SharedRequest>) {
               callback(header, request);
             } else {
               callback(
                 std::static_pointer_cast<Service>(shared_from_this()), header, request);
             }
           };
  }

  static detail::ServiceEndpoint make_endpoint(const std::string & name, std::uint64_t node_id)
  {
    detail::ServiceEndpoint endpoint;
    endpoint.name = name;
    endpoint.type = detail::service_type_name<ServiceT>();
    endpoint.cpp_type = std::type_index(typeid(ServiceT));
    endpoint.node_id = node_id;
    return endpoint;
  }

  Handler handler_;
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__SERVICE_HPP_
