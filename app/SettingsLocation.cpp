#include "app/SettingsLocation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace plomaret {

namespace {

// The program's own path with ".ini" for its extension (the part after the last dot
// of the file name, when there is one).
std::string BesideProgram(const std::string& programFile) {
  const size_t slash = programFile.rfind('/');
  const size_t dot = programFile.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? programFile.substr(0, dot) : programFile) + ".ini";
}

std::string FolderOf(const std::string& file) {
  const size_t slash = file.rfind('/');
  return slash == std::string::npos ? "." : file.substr(0, slash + 1);
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path[0] == '/'; }

std::string WithoutFinalSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

TSettingsEnvironment ProcessSettingsEnvironment() {
  return {[](const std::string& name) {
            const char* value = std::getenv(name.c_str());
            return std::string(value != nullptr ? value : "");
          },
          [](const std::string& folder) { return ::access(folder.c_str(), W_OK | X_OK) == 0; }};
}

std::string ChooseSettingsFile(const std::string& programFile, const TSettingsEnvironment& environment) {
  const std::string beside = BesideProgram(programFile);
  if (environment.CanWrite(FolderOf(beside))) return beside;
  std::string config = environment.Variable("XDG_CONFIG_HOME");
  if (!IsAbsolute(config)) {
    const std::string home = environment.Variable("HOME");
    if (!IsAbsolute(home)) return beside;
    config = WithoutFinalSlashes(home) + "/.config";
  }
  return WithoutFinalSlashes(config) + "/plomaret/plomaret.ini";
}

std::string SettingsFilePath(const std::string& programFile) {
  const std::string file = ChooseSettingsFile(programFile, ProcessSettingsEnvironment());
  if (file != BesideProgram(programFile)) {
    std::filesystem::path folder;
    for (const std::filesystem::path& part : std::filesystem::path(file).parent_path()) {
      folder /= part;
      ::mkdir(folder.c_str(), 0700);  // one that exists already fails harmlessly
    }
  }
  return file;
}

}  // namespace plomaret
