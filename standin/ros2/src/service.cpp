#include <algorithm>
#include <atomic>
#include <cstring>
#include <utility>

#include "rclcpp/client.hpp"
#include "rclcpp/service.hpp"
#include "rclcpp/utilities.hpp"

namespace rclcpp
{
namespace
{

std::uint64_t next_client_id()
{
  static std::atomic<std::uint64_t> last{0};
  return ++last;
}

rmw_request_id_t make_header(std::uint64_t client_id, std::int64_t sequence_number)
{
  rmw_request_id_t header{};
  std::memcpy(header.writer_guid, &client_id, sizeof(client_id));
  header.sequence_number = sequence_number;
  return header;
}

// Waits on graph changes in short slices so that a shutdown (which does not
// touch the graph) is noticed promptly.
constexpr std::chrono::milliseconds kGraphWaitSlice{10};

}  // namespace

ServiceBase::ServiceBase(
  detail::ServiceEndpoint endpoint, std::shared_ptr<detail::NodeNotifier> notifier)
: endpoint_(std::move(endpoint)), notifier_(std::move(notifier))
{}

ServiceBase::~ServiceBase()
{
  if (graph_id_ != 0) {
    detail::Graph::instance().remove_service(graph_id_);
  }
}

const char * ServiceBase::get_service_name()
{
  return endpoint_.name.c_str();
}

void ServiceBase::register_in_graph()
{
  graph_id_ = detail::Graph::instance().add_service(endpoint_, weak_from_this());
}

ServiceBase::RequestKey ServiceBase::key_of(const rmw_request_id_t & header)
{
  return {std::string(reinterpret_cast<const char *>(header.writer_guid),
      sizeof(header.writer_guid)), header.sequence_number};
}

void ServiceBase::enqueue_request(
  const rmw_request_id_t & header, std::shared_ptr<void> request,
  std::weak_ptr<ClientBase> client)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back({header, std::move(request)});
    awaiting_response_[key_of(header)] = std::move(client);
  }
  notifier_->notify();
}

bool ServiceBase::has_request() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return !requests_.empty();
}

bool ServiceBase::execute_one()
{
  PendingRequest pending;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (requests_.empty()) {
      return false;
    }
    pending = std::move(requests_.front());
    requests_.pop_front();
  }
  dispatch(std::make_shared<rmw_request_id_t>(pending.header), std::move(pending.request));
  return true;
}

void ServiceBase::send_response_erased(
  const rmw_request_id_t & header, std::shared_ptr<void> response)
{
  std::shared_ptr<ClientBase> client;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = awaiting_response_.find(key_of(header));
    if (found == awaiting_response_.end()) {
      return;
    }
    client = found->second.lock();
    awaiting_response_.erase(found);
  }
  if (client) {
    client->enqueue_response(header.sequence_number, std::move(response));
  }
}

namespace
{

std::uint64_t register_client(
  const std::string & name, std::type_index service_type, std::string type_name,
  std::uint64_t node_id)
{
  detail::ServiceEndpoint endpoint;
  endpoint.name = name;
  endpoint.type = std::move(type_name);
  endpoint.cpp_type = service_type;
  endpoint.node_id = node_id;
  return detail::Graph::instance().add_client(endpoint);
}

}  // namespace

ClientBase::ClientBase(
  std::string fully_qualified_name, std::type_index service_type, std::string service_type_name,
  std::uint64_t node_id, std::shared_ptr<detail::NodeNotifier> notifier,
  rclcpp::Context::SharedPtr context)
: service_name_(std::move(fully_qualified_name)), service_type_(service_type),
  notifier_(std::move(notifier)), context_(std::move(context)), client_id_(next_client_id()),
  graph_id_(register_client(service_name_, service_type_, std::move(service_type_name), node_id))
{}

ClientBase::~ClientBase()
{
  detail::Graph::instance().remove_client(graph_id_);
}

const char * ClientBase::get_service_name() const
{
  return service_name_.c_str();
}

bool ClientBase::service_is_ready() const
{
  return detail::Graph::instance().service_available(service_name_, service_type_);
}

bool ClientBase::wait_for_service_nanoseconds(std::chrono::nanoseconds timeout)
{
  const auto start = std::chrono::steady_clock::now();
  while (true) {
    if (service_is_ready()) {
      return true;
    }
    if (!rclcpp::ok(context_)) {
      return false;
    }
    std::chrono::nanoseconds slice = kGraphWaitSlice;
    if (timeout >= std::chrono::nanoseconds::zero()) {
      const auto left = timeout - (std::chrono::steady_clock::now() - start);
      if (left <= std::chrono::nanoseconds::zero()) {
        return false;
      }
      slice = std::min<std::chrono::nanoseconds>(slice, left);
    }
    detail::Graph::instance().wait_for_change(slice);
  }
}

std::int64_t ClientBase::send_request_erased(
  std::shared_ptr<void> request, ResponseHandler on_response)
{
  std::int64_t sequence_number = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    sequence_number = ++last_sequence_number_;
    pending_[sequence_number] = std::move(on_response);
  }
  // Without a service the request stays pending, like one sent into an
  // empty DDS domain.
  auto service = detail::Graph::instance().find_service(service_name_, service_type_);
  if (service) {
    service->enqueue_request(
      make_header(client_id_, sequence_number), std::move(request), weak_from_this());
  }
  return sequence_number;
}

void ClientBase::enqueue_response(std::int64_t sequence_number, std::shared_ptr<void> response)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    responses_.emplace_back(sequence_number, std::move(response));
  }
  notifier_->notify();
}

bool ClientBase::has_response() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return !responses_.empty();
}

bool ClientBase::execute_one()
{
  ResponseHandler handler;
  std::shared_ptr<void> response;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (responses_.empty()) {
      return false;
    }
    auto [sequence_number, payload] = std::move(responses_.front());
    responses_.pop_front();
    auto found = pending_.find(sequence_number);
    if (found == pending_.end()) {
      return true;   // the request was removed meanwhile
    }
    handler = std::move(found->second);
    pending_.erase(found);
    response = std::move(payload);
  }
  handler(std::move(response));
  return true;
}

bool ClientBase::remove_pending_request(std::int64_t request_id)
{
  std::lock_guard<std::mutex> lock(mutex_);
  return pending_.erase(request_id) != 0;
}

std::size_t ClientBase::prune_pending_requests()
{
  std::lock_guard<std::mutex> lock(mutex_);
  const std::size_t count = pending_.size();
  pending_.clear();
  return count;
}

}  // namespace rclcpp
