#ifndef SUPPORT__BUNDLED_FILES_HPP_
#define SUPPORT__BUNDLED_FILES_HPP_

// The bundled data folder, and whole files read back as text: what the tests
// that run the replay program compare.
#include <fstream>
#include <sstream>
#include <string>

namespace align_test
{

inline const std::string kBundledData = std::string(ALIGN_MODEL_SOURCE_DIR) + "/data";

// The file's whole text; empty when it cannot be read.
inline std::string read_text(const std::string & path)
{
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace align_test

#endif  // SUPPORT__BUNDLED_FILES_HPP_
