#include "app/Messages.h"

#include <sys/stat.h>

#include "framework/core/Translate.h"

namespace plomaret {

std::string SizeForPeople(int64_t bytes) {
  constexpr int64_t kKilo = 1000, kMega = 1000 * 1000;
  if (bytes >= kMega) return std::to_string((bytes + kMega / 2) / kMega) + " MB";
  if (bytes >= kKilo) return std::to_string((bytes + kKilo / 2) / kKilo) + " KB";
  return TrPlural(bytes, "%n byte", "%n bytes");
}

std::string NotEnoughMemoryMessage(const std::string& verb, const std::string& name, const std::string& path) {
  struct stat info {};
  const bool sized = ::stat(path.c_str(), &info) == 0;
  const std::string size = sized ? SizeForPeople(info.st_size) : std::string();
  // Whole sentences, one for each thing that needs the memory, so that each translates as a whole.
  if (verb == "open") {
    return sized ? TrFormat("Not enough memory to open \"%1\" (%2).", {name, size})
                 : TrFormat("Not enough memory to open \"%1\".", {name});
  }
  if (verb == "rewrite") {
    return sized ? TrFormat("Not enough memory to rewrite \"%1\" (%2).", {name, size})
                 : TrFormat("Not enough memory to rewrite \"%1\".", {name});
  }
  return sized ? TrFormat("Not enough memory for \"%1\" (%2).", {name, size})
               : TrFormat("Not enough memory for \"%1\".", {name});
}

std::string EndMarkMessage(const std::string& name, int64_t markOffset, int64_t bytesAfter) {
  return TrPlural(bytesAfter, "%1: %n byte after the end-of-file mark (0x1A) at byte %2 is not part of the text",
                  "%1: %n bytes after the end-of-file mark (0x1A) at byte %2 are not part of the text",
                  {name, std::to_string(markOffset)});
}

}  // namespace plomaret
