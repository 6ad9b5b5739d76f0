// The batch tool killed (SIGKILL) at ten moments of an in-place rewrite, on the rename
// path and on the overwrite path: afterwards the file is its old or its new version,
// or, in the middle of an overwrite, the old version's announced copy is there whole.
// The next run names what was left behind and deletes nothing.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "FaultyFileOps.h"
#include "TestFiles.h"
#include "app/ExchangeTool.h"
#include "framework/core/FileReplacer.h"

namespace plomaret {
namespace {

using testing::ReadBytes;
using testing::TFaultyFileOps;
using testing::TScratchFolder;
using testing::WriteBytes;

int RunTool(const std::vector<std::string>& args, std::string* errors = nullptr) {
  std::vector<const char*> argv{"plomaret-exchange"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out, err;
  const int status = RunExchangeTool(static_cast<int>(argv.size()), argv.data(), out, err);
  if (errors != nullptr) *errors = err.str();
  return status;
}

TEST(ReplaceCrash, AKillAtAnyMomentLeavesTheOldOrTheNewVersion) {
  TScratchFolder folder;
  const std::string path = folder.Path("plane.x");
  const std::string twin = folder.Path("twin.x");
  std::string oldBytes = "xof 0302txt 0032\n MeshTextureCoords {\n";
  while (oldBytes.size() < (size_t{3} << 20)) oldBytes += "  0.125000;0.500000;,\n";
  oldBytes += " }\n";
  WriteBytes(path, oldBytes);
  ASSERT_EQ(RunTool({path, "-o", folder.Path("new.x")}), 0);
  const std::string newBytes = ReadBytes(folder.Path("new.x"));
  std::filesystem::remove(folder.Path("new.x"));

  int moments = 0;
  for (const bool inPlace : {false, true}) {
    TFaultyFileOps counting;
    {
      TScopedFileOps installed(counting);
      ASSERT_EQ(RunTool({"--in-place", path}), 0);
    }
    for (int moment = 1; moment <= 10; ++moment) {
      const int call = moment * counting.Calls() / 11 + 1;
      const std::string label = (inPlace ? "in place" : "renamed") + std::string(", killed at call ") +
                                std::to_string(call) + " of " + std::to_string(counting.Calls());
      std::filesystem::remove(twin);
      WriteBytes(path, oldBytes);
      if (inPlace) std::filesystem::create_hard_link(path, twin);
      const pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        TFaultyFileOps killing(call, 0, TFaultyFileOps::fkKill);
        TScopedFileOps installed(killing);
        ::_exit(RunTool({"--in-place", path}) == 0 ? 0 : 1);
      }
      int status = 0;
      ::waitpid(child, &status, 0);
      ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << label;
      ++moments;

      const std::string bytes = ReadBytes(path);
      const std::vector<std::string> leftovers = FindLeftovers(path);
      bool oldKept = bytes == oldBytes;
      for (const std::string& leftover : leftovers) oldKept = oldKept || ReadBytes(leftover) == oldBytes;
      EXPECT_TRUE(bytes == newBytes || oldKept) << label << ": the file is neither version (" << bytes.size()
                                                 << " bytes) and no copy of the old one is left";
      if (!inPlace) EXPECT_TRUE(bytes == oldBytes || bytes == newBytes) << label << ": a rename is all or nothing";

      std::string errors;
      EXPECT_EQ(RunTool({"--in-place", path}, &errors), 0) << label;
      for (const std::string& leftover : leftovers) {
        EXPECT_NE(errors.find(leftover), std::string::npos) << label << ": not named\n" << errors;
        EXPECT_TRUE(std::filesystem::exists(leftover)) << label << ": a later run deleted what it did not make";
        std::filesystem::remove(leftover);
      }
      EXPECT_EQ(ReadBytes(path), newBytes) << label;
    }
  }
  std::cout << "[ crash test ] " << moments << " moments, " << oldBytes.size() << " bytes\n";
}

}  // namespace
}  // namespace plomaret
