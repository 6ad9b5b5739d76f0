#pragma once
// Where the program keeps its settings (the INI file of its settings manager).
//
// Beside the program, as the program's own path with ".ini", while the program's
// folder is writable: a program run from its build or unpacked folder keeps its
// settings with it. An installed program cannot write there, so it keeps them in the
// user's configuration folder: $XDG_CONFIG_HOME/plomaret/plomaret.ini, or
// $HOME/.config/plomaret/plomaret.ini when XDG_CONFIG_HOME is unset, empty or not an
// absolute path (the XDG base directory rules). The sections and keys are the same.

#include <functional>
#include <string>

namespace plomaret {

// What the choice depends on, as functions a test can answer.
struct TSettingsEnvironment {
  // An environment variable's value; "" when it is unset.
  std::function<std::string(const std::string& name)> Variable;
  // Whether files can be created and renamed in the folder.
  std::function<bool(const std::string& folder)> CanWrite;
};

// This process's environment, and access(W_OK | X_OK) for writability.
TSettingsEnvironment ProcessSettingsEnvironment();

// The settings file of the program at programFile. When neither XDG_CONFIG_HOME nor
// HOME names an absolute folder, it stays beside the program: there is nowhere better.
std::string ChooseSettingsFile(const std::string& programFile, const TSettingsEnvironment& environment);

// The settings file of this process's program. When it lies in the configuration
// folder, the folders up to it are made (0700, as the XDG rules ask) so that the
// settings can be written. A folder that cannot be made is not reported here: the
// write of the settings then fails with an error naming the file.
std::string SettingsFilePath(const std::string& programFile);

}  // namespace plomaret
