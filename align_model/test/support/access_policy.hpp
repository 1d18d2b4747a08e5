#ifndef SUPPORT__ACCESS_POLICY_HPP_
#define SUPPORT__ACCESS_POLICY_HPP_

// Reads an access-control policy file (the sros2 policy format, without
// XInclude) into the names each profile allows, resolved the way sros2
// resolves them when it writes the permissions: "/x" is absolute, "~x" lies
// under the node's own name, anything else in the profile's namespace.
#include <map>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace align_test
{

// ("publish" | "subscribe" | "request" | "reply", fully qualified name)
using Grant = std::pair<std::string, std::string>;
using Grants = std::set<Grant>;

struct PolicyProfile
{
  std::string node_fqn;   // "/ns/node"
  Grants grants;
};

inline std::string attribute(const std::string & attributes, const std::string & name)
{
  std::smatch match;
  const std::regex pattern("\\b" + name + "\\s*=\\s*\"([^\"]*)\"");
  return std::regex_search(attributes, match, pattern) ? match[1].str() : std::string();
}

inline std::string resolve_policy_name(
  const std::string & name, const std::string & ns, const std::string & node)
{
  const std::string prefix = ns == "/" ? std::string() : ns;
  if (!name.empty() && name.front() == '/') {
    return name;
  }
  if (!name.empty() && name.front() == '~') {
    return prefix + "/" + node + name.substr(1);
  }
  return prefix + "/" + name;
}

// Every <topics>/<services> block of `profile_body` whose `kind` attribute is
// ALLOW, for the element kinds given (e.g. topics: publish and subscribe).
inline void add_allowed(
  const std::string & profile_body, const std::string & block, const std::string & item,
  const std::vector<std::string> & kinds, const std::string & ns, const std::string & node,
  Grants & grants)
{
  const std::regex block_pattern("<" + block + "\\b([^>]*)>([\\s\\S]*?)</" + block + ">");
  const std::regex item_pattern("<" + item + ">\\s*([^<\\s]+)\\s*</" + item + ">");
  for (std::sregex_iterator it(profile_body.begin(), profile_body.end(), block_pattern), end;
    it != end; ++it)
  {
    const std::string attributes = (*it)[1].str();
    const std::string body = (*it)[2].str();
    for (const std::string & kind : kinds) {
      if (attribute(attributes, kind) != "ALLOW") {
        continue;
      }
      for (std::sregex_iterator name(body.begin(), body.end(), item_pattern); name != end; ++name) {
        grants.emplace(kind, resolve_policy_name((*name)[1].str(), ns, node));
      }
    }
  }
}

// Enclave path -> its profiles, in file order.
inline std::map<std::string, std::vector<PolicyProfile>> read_policy(std::string xml)
{
  xml = std::regex_replace(xml, std::regex("<!--[\\s\\S]*?-->"), "");
  std::map<std::string, std::vector<PolicyProfile>> enclaves;
  const std::regex enclave_pattern("<enclave\\b([^>]*)>([\\s\\S]*?)</enclave>");
  const std::regex profile_pattern("<profile\\b([^>]*)>([\\s\\S]*?)</profile>");
  for (std::sregex_iterator it(xml.begin(), xml.end(), enclave_pattern), end; it != end; ++it) {
    auto & profiles = enclaves[attribute((*it)[1].str(), "path")];
    const std::string enclave_body = (*it)[2].str();
    for (std::sregex_iterator p(enclave_body.begin(), enclave_body.end(), profile_pattern);
      p != end; ++p)
    {
      const std::string ns = attribute((*p)[1].str(), "ns");
      const std::string node = attribute((*p)[1].str(), "node");
      PolicyProfile profile{resolve_policy_name("~", ns, node), {}};
      const std::string body = (*p)[2].str();
      add_allowed(body, "topics", "topic", {"publish", "subscribe"}, ns, node, profile.grants);
      add_allowed(body, "services", "service", {"request", "reply"}, ns, node, profile.grants);
      profiles.push_back(std::move(profile));
    }
  }
  return enclaves;
}

// All that an enclave's profiles allow together (DDS grants them as one).
inline Grants enclave_grants(const std::vector<PolicyProfile> & profiles)
{
  Grants all;
  for (const auto & profile : profiles) {
    all.insert(profile.grants.begin(), profile.grants.end());
  }
  return all;
}

}  // namespace align_test

#endif  // SUPPORT__ACCESS_POLICY_HPP_
