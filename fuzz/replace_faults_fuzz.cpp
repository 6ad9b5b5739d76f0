// The batch tool over random small files, on a random replace path (rename, hard
// links, a folder that is not writable, backups), with one random step refused by the
// disk or with memory running out before it: every file ends as its old version, or
// every file as its new one, and no temporary file is left.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "FaultyFileOps.h"
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "app/ExchangeTool.h"

namespace {

using plomaret::testing::TFaultyFileOps;
namespace fs = std::filesystem;

const std::string& Root() {
  static const std::string root = [] {
    std::string pattern = "/tmp/plomaret-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  return root;
}

std::string Read(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Text(TFuzzInput& input) {
  static const char* const pieces[] = {" MeshTextureCoords {\r\n", " MeshVertexColors {\r\n", " }\r\n", "  0.5;0.5;,\r\n",
                                       "\n", "\x1a", "x"};
  std::string text;
  for (int n = input.Below(24); n > 0; --n) {
    const int choice = input.Below(9);
    text += choice < 7 ? std::string(pieces[choice]) : choice == 7 ? std::string(static_cast<size_t>(input.Byte()) * 40, 'y')
                                                                   : std::string(1, static_cast<char>(input.Byte()));
  }
  return text;
}

int RunTool(const std::vector<std::string>& args, TFaultyFileOps& ops) {
  plomaret::TScopedFileOps installed(ops);
  std::vector<const char*> argv{"plomaret-exchange"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out, err;
  return plomaret::RunExchangeTool(static_cast<int>(argv.size()), argv.data(), out, err);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  const int kind = input.Below(4);  // 0 rename, 1 hard links, 2 folder not writable, 3 backups
  const int fileCount = input.Below(3) + 1;
  const int faultAt = input.Below(80) + 1;
  const int errors[] = {ENOSPC, EIO, EPERM, 0};  // 0: out of memory
  const int error = errors[input.Below(4)];

  const std::string models = Root() + "/models/", twins = Root() + "/twins/", temp = Root() + "/tmp/",
                    expected = Root() + "/expected/";
  fs::remove_all(Root() + "/models");
  fs::remove_all(Root() + "/twins");
  fs::remove_all(Root() + "/expected");
  for (const std::string& folder : {models, twins, temp, expected}) fs::create_directories(folder);
  ::setenv("TMPDIR", temp.c_str(), 1);

  std::vector<std::string> names, olds, news;
  std::vector<std::string> args{"--in-place"};
  if (kind == 3) args.insert(args.end(), {"--backup", ".orig"});
  bool allRewritable = true;
  for (int i = 0; i < fileCount; ++i) {
    const std::string name = std::string(1, static_cast<char>('a' + i)) + ".x";
    const std::string old = Text(input);
    Write(models + name, old);
    if (kind == 1) fs::create_hard_link(models + name, twins + name);
    // The new version, made without faults where nothing is replaced.
    TFaultyFileOps none;
    const std::string copy = expected + name;
    allRewritable = RunTool({models + name, "-o", copy}, none) == 0 && allRewritable;
    names.push_back(name);
    olds.push_back(old);
    news.push_back(allRewritable ? Read(copy) : "");
    args.push_back(models + name);
  }

  TFaultyFileOps faulty(faultAt, error, error == 0 ? TFaultyFileOps::fkBadAlloc : TFaultyFileOps::fkError);
  if (kind == 2) faulty.NotWritable.insert(models);
  const int status = RunTool(args, faulty);
  if (!allRewritable) FUZZ_CHECK(status != 0);
  // A file refused for its bytes after the end mark fails the batch without a fault.
  FUZZ_CHECK(status == 0 || status == 1);
  std::vector<std::string> expectedEntries;
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string bytes = Read(models + names[i]);
    FUZZ_CHECK(bytes == (status == 0 ? news[i] : olds[i]));
    if (kind == 1) FUZZ_CHECK(Read(twins + names[i]) == bytes);
    expectedEntries.push_back(names[i]);
    if (kind == 3 && status == 0) {
      FUZZ_CHECK(Read(models + names[i] + ".orig") == olds[i]);
      expectedEntries.push_back(names[i] + ".orig");
    }
  }
  std::sort(expectedEntries.begin(), expectedEntries.end());
  FUZZ_CHECK(Entries(models) == expectedEntries);
  FUZZ_CHECK(Entries(temp).empty());
  return 0;
}
