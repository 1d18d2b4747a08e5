// Stand-in for rclcpp/client.hpp. Requests go straight to the service of the
// same name in this process; the response completes the future when the
// client's node is spun.
#ifndef STANDIN_RCLCPP__CLIENT_HPP_
#define STANDIN_RCLCPP__CLIENT_HPP_

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <typeindex>
#include <utility>

#include "rclcpp/context.hpp"
#include "rclcpp/detail/wake_signal.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/service.hpp"

namespace rclcpp
{

namespace detail
{

// The future of a request together with its sequence number; forwards the
// usual future operations so it can be waited on directly.
template<typename FutureT>
struct FutureAndRequestId
{
  FutureT future;
  std::int64_t request_id;

  FutureAndRequestId(FutureT impl, std::int64_t req_id)
  : future(std::move(impl)), request_id(req_id) {}

  decltype(future.get()) get() {return future.get();}
  bool valid() const noexcept {return future.valid();}
  void wait() const {future.wait();}
  template<class Rep, class Period>
  std::future_status wait_for(const std::chrono::duration<Rep, Period> & timeout_duration) const
  {
    return future.wait_for(timeout_duration);
  }
  template<class Clock, class Duration>
  std::future_status wait_until(const std::chrono::time_point<Clock, Duration> & timeout_time) const
  {
    return future.wait_until(timeout_time);
  }
};

}  // namespace detail

class ClientBase : public std::enable_shared_from_this<ClientBase>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(ClientBase)

  ClientBase(const ClientBase &) = delete;
  ClientBase & operator=(const ClientBase &) = delete;
  virtual ~ClientBase();

  const char * get_service_name() const;
  bool service_is_ready() const;

  // A negative timeout waits until the service appears or the context shuts
  // down (then it returns false).
  template<typename RepT = int64_t, typename RatioT = std::milli>
  bool wait_for_service(
    std::chrono::duration<RepT, RatioT> timeout = std::chrono::duration<RepT, RatioT>(-1))
  {
    return wait_for_service_nanoseconds(
      std::chrono::duration_cast<std::chrono::nanoseconds>(timeout));
  }

  // Stand-in internals used by services and executors.
  void enqueue_response(std::int64_t sequence_number, std::shared_ptr<void> response);
  bool has_response() const;
  bool execute_one();

  bool remove_pending_request(std::int64_t request_id);
  std::size_t prune_pending_requests();

protected:
  using ResponseHandler = std::function<void (std::shared_ptr<void>)>;

  // Shows in the graph as a client of `node_id` while it exists.
  ClientBase(
    std::string fully_qualified_name, std::type_index service_type, std::string service_type_name,
    std::uint64_t node_id, std::shared_ptr<detail::NodeNotifier> notifier,
    rclcpp::Context::SharedPtr context);
  // Sends a request that the service may modify (the caller passes a copy);
  // returns its sequence number.
  std::int64_t send_request_erased(std::shared_ptr<void> request, ResponseHandler on_response);
  bool wait_for_service_nanoseconds(std::chrono::nanoseconds timeout);

private:
  std::string service_name_;
  std::type_index service_type_;
  std::shared_ptr<detail::NodeNotifier> notifier_;
  rclcpp::Context::SharedPtr context_;
  std::uint64_t client_id_;
  std::uint64_t graph_id_;
  mutable std::mutex mutex_;
  std::int64_t last_sequence_number_ = 0;
  std::map<std::int64_t, ResponseHandler> pending_;
  std::deque<std::pair<std::int64_t, std::shared_ptr<void>>> responses_;
};

template<typename ServiceT>
class Client : public ClientBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Client)

  using Request = typename ServiceT::Request;
  using Response = typename ServiceT::Response;
  using SharedRequest = std::shared_ptr<Request>;
  using SharedResponse = std::shared_ptr<Response>;
  using Promise = std::promise<SharedResponse>;
  using SharedPromise = std::shared_ptr<Promise>;
  using Future = std::future<SharedResponse>;
  using SharedFuture = std::shared_future<SharedResponse>;
  using CallbackType = std::function<void (SharedFuture)>;

  struct FutureAndRequestId : detail::FutureAndRequestId<Future>
  {
    using detail::FutureAndRequestId<Future>::FutureAndRequestId;
  };
  struct SharedFutureAndRequestId : detail::FutureAndRequestId<SharedFuture>
  {
    using detail::FutureAndRequestId<SharedFuture>::FutureAndRequestId;
  };

  // Built by Node::create_client.
  Client(
    const std::string & fully_qualified_name, std::uint64_t node_id,
    std::shared_ptr<detail::NodeNotifier> notifier, rclcpp::Context::SharedPtr context)
  : ClientBase(
      fully_qualified_name, std::type_index(typeid(ServiceT)), detail::service_type_name<ServiceT>(),
      node_id, std::move(notifier), std::move(context))
  {}

  FutureAndRequestId async_send_request(SharedRequest request)
  {
    auto promise = std::make_shared<Promise>();
    Future future = promise->get_future();
    const std::int64_t id = send_request_erased(
      copy_of(request), [promise](std::shared_ptr<void> response) {
        promise->set_value(std::static_pointer_cast<Response>(response));
      });
    return FutureAndRequestId(std::move(future), id);
  }

  // The callback runs on the thread that spins the client's node, after the
  // future is ready.
  template<typename CallbackT,
    typename std::enable_if_t<std::is_invocable_v<CallbackT &, SharedFuture>> * = nullptr>
  SharedFutureAndRequestId async_send_request(SharedRequest request, CallbackT && callback)
  {
    auto promise = std::make_shared<Promise>();
    SharedFuture future = promise->get_future().share();
    const std::int64_t id = send_request_erased(
      copy_of(request),
      [promise, future, callback = std::forward<CallbackT>(callback)](
        std::shared_ptr<void> response) mutable {
        promise->set_value(std::static_pointer_cast<Response>(response));
        callback(future);
      });
    return SharedFutureAndRequestId(std::move(future), id);
  }

private:
  // A real service works on its own deserialised copy of the request.
  static std::shared_ptr<void> copy_of(const SharedRequest & request)
  {
    return request ? std::make_shared<Request>(*request) : std::make_shared<Request>();
  }
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__CLIENT_HPP_
