// Services and clients inside one process.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "graph_fixture.hpp"
#include "rclcpp/rclcpp.hpp"
#include "std_srvs/srv/set_bool.hpp"

namespace
{

using graph_test::RosTest;
using std_srvs::srv::SetBool;
using namespace std::chrono_literals;

class ServiceTest : public RosTest
{
protected:
  void SetUp() override
  {
    RosTest::SetUp();
    server_ = std::make_shared<rclcpp::Node>("server");
    caller_ = std::make_shared<rclcpp::Node>("caller");
  }

  std::shared_ptr<SetBool::Request> request(bool data)
  {
    auto req = std::make_shared<SetBool::Request>();
    req->data = data;
    return req;
  }

  rclcpp::Node::SharedPtr server_;
  rclcpp::Node::SharedPtr caller_;
};

TEST_F(ServiceTest, CallRunsWhenTheServiceNodeSpinsAndCompletesWhenTheClientSpins)
{
  int calls = 0;
  auto service = server_->create_service<SetBool>(
    "align_enable",
    [&calls](const std::shared_ptr<SetBool::Request> req,
    std::shared_ptr<SetBool::Response> res) {
      ++calls;
      res->success = req->data;
      res->message = req->data ? "on" : "off";
    });
  auto client = caller_->create_client<SetBool>("align_enable");
  EXPECT_TRUE(client->service_is_ready());
  EXPECT_TRUE(client->wait_for_service(0s));

  auto pending = client->async_send_request(request(true));
  EXPECT_EQ(pending.request_id, 1);
  rclcpp::spin_some(caller_);
  EXPECT_EQ(calls, 0) << "the request waits for the service's node";
  rclcpp::spin_some(server_);
  EXPECT_EQ(calls, 1);
  EXPECT_NE(pending.future.wait_for(0s), std::future_status::ready);
  ASSERT_EQ(
    rclcpp::spin_until_future_complete(caller_, pending.future, 2s),
    rclcpp::FutureReturnCode::SUCCESS);
  auto response = pending.future.get();
  EXPECT_TRUE(response->success);
  EXPECT_EQ(response->message, "on");
}

TEST_F(ServiceTest, OneExecutorServesBothSidesAndCallbackOverloadRuns)
{
  auto service = server_->create_service<SetBool>(
    "toggle",
    [](std::shared_ptr<rmw_request_id_t> header, std::shared_ptr<SetBool::Request> req,
    std::shared_ptr<SetBool::Response> res) {
      res->success = !req->data;
      res->message = std::to_string(header->sequence_number);
    });
  auto client = caller_->create_client<SetBool>("/toggle");
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(server_);
  executor.add_node(caller_);
  std::string seen;
  auto with_callback = client->async_send_request(
    request(false), [&seen](rclcpp::Client<SetBool>::SharedFuture future) {
      seen = future.get()->message;
    });
  auto plain = client->async_send_request(request(true));
  EXPECT_EQ(
    executor.spin_until_future_complete(plain, 2s), rclcpp::FutureReturnCode::SUCCESS);
  EXPECT_FALSE(plain.get()->success);
  EXPECT_EQ(seen, "1");
  executor.remove_node(server_);
  executor.remove_node(caller_);
}

TEST_F(ServiceTest, DeferredResponseIsSentLater)
{
  rclcpp::Service<SetBool>::SharedPtr handle;
  std::shared_ptr<rmw_request_id_t> saved;
  auto service = server_->create_service<SetBool>(
    "deferred",
    [&](std::shared_ptr<rclcpp::Service<SetBool>> self, std::shared_ptr<rmw_request_id_t> header,
    std::shared_ptr<SetBool::Request>) {
      handle = self;
      saved = header;
    });
  auto client = caller_->create_client<SetBool>("deferred");
  auto pending = client->async_send_request(request(true));
  rclcpp::spin_some(server_);
  ASSERT_TRUE(saved);
  EXPECT_EQ(
    rclcpp::spin_until_future_complete(caller_, pending.future, 50ms),
    rclcpp::FutureReturnCode::TIMEOUT);
  SetBool::Response response;
  response.message = "later";
  handle->send_response(*saved, response);
  ASSERT_EQ(
    rclcpp::spin_until_future_complete(caller_, pending.future, 2s),
    rclcpp::FutureReturnCode::SUCCESS);
  EXPECT_EQ(pending.future.get()->message, "later");
}

TEST_F(ServiceTest, NameErrorsAndDuplicates)
{
  const auto callback =
    [](std::shared_ptr<SetBool::Request>, std::shared_ptr<SetBool::Response>) {};
  EXPECT_THROW(
    server_->create_service<SetBool>("bad name", callback),
    rclcpp::exceptions::InvalidServiceNameError);
  auto first = server_->create_service<SetBool>("unique", callback);
  try {
    caller_->create_service<SetBool>("/unique", callback);
    FAIL() << "a second service of the same name must be refused";
  } catch (const rclcpp::exceptions::RCLError & error) {
    EXPECT_EQ(std::string(error.what()).rfind("could not create service: ", 0), 0u);
  }
  std::function<void(std::shared_ptr<SetBool::Request>, std::shared_ptr<SetBool::Response>)> none;
  EXPECT_THROW(server_->create_service<SetBool>("null_callback", none), std::invalid_argument);
}

TEST_F(ServiceTest, WaitForServiceTimesOutThenSeesALateService)
{
  auto client = caller_->create_client<SetBool>("late_service");
  EXPECT_FALSE(client->service_is_ready());
  EXPECT_FALSE(client->wait_for_service(20ms));
  std::thread creator([this] {
      std::this_thread::sleep_for(20ms);
      auto service = server_->create_service<SetBool>(
        "late_service", [](std::shared_ptr<SetBool::Request>, std::shared_ptr<SetBool::Response>) {});
      std::this_thread::sleep_for(200ms);
    });
  EXPECT_TRUE(client->wait_for_service(5s));
  creator.join();
  EXPECT_FALSE(client->service_is_ready()) << "the service was destroyed with its owner";
}

}  // namespace
