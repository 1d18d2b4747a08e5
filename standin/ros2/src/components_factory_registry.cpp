#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp_components/detail/factory_registry.hpp"

namespace rclcpp_components
{
namespace detail
{
namespace
{

struct Registry
{
  std::mutex mutex;
  std::map<std::string, NodeFactoryMaker> makers;
};

// Constructed on first use: registrations run during static initialisation,
// in no fixed order with other translation units.
Registry & registry()
{
  static Registry * instance = new Registry();
  return *instance;
}

}  // namespace

bool register_node_factory(const std::string & key, NodeFactoryMaker make_factory)
{
  Registry & r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.makers.emplace(key, std::move(make_factory));
  return true;
}

std::shared_ptr<NodeFactory> find_node_factory(const std::string & key)
{
  Registry & r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto found = r.makers.find(key);
  return found == r.makers.end() ? nullptr : found->second();
}

std::vector<std::string> registered_node_factory_keys()
{
  Registry & r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::vector<std::string> keys;
  for (const auto & entry : r.makers) {
    keys.push_back(entry.first);
  }
  return keys;
}

}  // namespace detail
}  // namespace rclcpp_components
