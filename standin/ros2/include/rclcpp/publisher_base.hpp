// Stand-in for rclcpp/publisher_base.hpp: the type-erased part of a
// publisher, i.e. its endpoint in the in-process graph.
#ifndef STANDIN_RCLCPP__PUBLISHER_BASE_HPP_
#define STANDIN_RCLCPP__PUBLISHER_BASE_HPP_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "rclcpp/context.hpp"
#include "rclcpp/detail/graph.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/qos.hpp"

namespace rclcpp
{

class PublisherBase : public std::enable_shared_from_this<PublisherBase>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(PublisherBase)

  PublisherBase(const PublisherBase &) = delete;
  PublisherBase & operator=(const PublisherBase &) = delete;
  virtual ~PublisherBase();

  const char * get_topic_name() const;
  std::size_t get_subscription_count() const;
  // Every subscription of the stand-in lives in this process.
  std::size_t get_intra_process_subscription_count() const;
  rclcpp::QoS get_actual_qos() const;

protected:
  PublisherBase(detail::TopicEndpoint endpoint, rclcpp::Context::SharedPtr context);

  // Hands the message to the graph; after shutdown it is dropped silently,
  // as rclcpp does when the publisher's context is no longer valid.
  void publish_erased(
    const detail::ErasedMessage & message, std::optional<std::int64_t> clock_nanoseconds);

private:
  detail::TopicEndpoint endpoint_;
  rclcpp::Context::SharedPtr context_;
  std::uint64_t graph_id_ = 0;
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__PUBLISHER_BASE_HPP_
