// Stand-in for pluginlib/class_loader.hpp: creates the classes that
// PLUGINLIB_EXPORT_CLASS registered in this program, by the name given
// there. The package and its plugins.xml are not read: the stand-in has no
// shared libraries to load.
#ifndef PLUGINLIB__CLASS_LOADER_HPP_
#define PLUGINLIB__CLASS_LOADER_HPP_

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace pluginlib
{

class PluginlibException : public std::runtime_error
{
public:
  explicit PluginlibException(const std::string & error_desc)
  : std::runtime_error(error_desc) {}
};

class CreateClassException : public PluginlibException
{
public:
  using PluginlibException::PluginlibException;
};

namespace standin
{

template<class Base>
std::map<std::string, std::function<std::shared_ptr<Base>()>> & factories()
{
  static std::map<std::string, std::function<std::shared_ptr<Base>()>> registered;
  return registered;
}

template<class Derived, class Base>
bool register_class(const char * name)
{
  factories<Base>()[name] = []() {return std::make_shared<Derived>();};
  return true;
}

}  // namespace standin

template<class T>
class ClassLoader
{
public:
  ClassLoader(
    std::string package, std::string base_class, std::string attrib_name = std::string("plugin"),
    std::vector<std::string> plugin_xml_paths = std::vector<std::string>())
  : package_(std::move(package)), base_class_(std::move(base_class))
  {
    (void)attrib_name;
    (void)plugin_xml_paths;
  }

  bool isClassAvailable(const std::string & lookup_name) const
  {
    return standin::factories<T>().count(lookup_name) != 0;
  }

  std::shared_ptr<T> createSharedInstance(const std::string & lookup_name)
  {
    const auto found = standin::factories<T>().find(lookup_name);
    if (found == standin::factories<T>().end()) {
      throw CreateClassException(
              "According to the loaded plugin descriptions the class " + lookup_name + " with base class type " +
              base_class_ + " does not exist.");
    }
    return found->second();
  }

private:
  std::string package_;
  std::string base_class_;
};

}  // namespace pluginlib

#endif  // PLUGINLIB__CLASS_LOADER_HPP_
