#pragma once
// Scratch files for tests, removed with the fixture.

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace plomaret::testing {

class TScratchFolder {
 public:
  TScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "plomaret-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    FPath = pattern;
  }
  ~TScratchFolder() {
    std::error_code ignored;
    std::filesystem::permissions(FPath, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(FPath, ignored);
  }
  std::string Path(const std::string& name) const { return FPath + "/" + name; }
  const std::string& Root() const { return FPath; }

 private:
  std::string FPath;
};

// Sets an environment variable for its lifetime.
class TScopedEnvironment {
 public:
  TScopedEnvironment(const char* name, const std::string& value) : FName(name) {
    if (const char* old = std::getenv(name)) FOld = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~TScopedEnvironment() { FOld ? (void)::setenv(FName, FOld->c_str(), 1) : (void)::unsetenv(FName); }
  TScopedEnvironment(const TScopedEnvironment&) = delete;
  TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;

 private:
  const char* FName;
  std::optional<std::string> FOld;
};

// Points XDG_CONFIG_HOME (where the registry lives) at a scratch folder for its lifetime.
class TScopedConfigHome : public TScopedEnvironment {
 public:
  explicit TScopedConfigHome(const std::string& path) : TScopedEnvironment("XDG_CONFIG_HOME", path) {}
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline size_t CountEntries(const std::string& folder) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

// The shared development data (real .x files and tools), or "" when absent.
inline std::string SharedDir() {
  const char* dir = std::getenv("PLOMARET_SHARED_DIR");
  if (dir == nullptr || !std::filesystem::exists(std::string(dir) + "/data/xfiles")) return {};
  return dir;
}

}  // namespace plomaret::testing
