#include "Object.h"

#include <cxxabi.h>

#include <cstdlib>

namespace plomaret {

std::string ClassNameOf(const std::type_info& type) {
  int status = 0;
  char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
  std::string name = status == 0 && demangled != nullptr ? demangled : type.name();
  std::free(demangled);
  // Drop the namespaces, but not a "::" inside template arguments.
  size_t start = 0;
  int depth = 0;
  for (size_t i = 0; i + 1 < name.size(); ++i) {
    if (name[i] == '<') ++depth;
    if (name[i] == '>') --depth;
    if (depth == 0 && name[i] == ':' && name[i + 1] == ':') start = i + 2;
  }
  return name.substr(start);
}

}  // namespace plomaret
