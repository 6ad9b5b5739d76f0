#include "app/Messages.h"

#include <sys/stat.h>

namespace plomaret {

std::string SizeForPeople(int64_t bytes) {
  constexpr int64_t kKilo = 1000, kMega = 1000 * 1000;
  if (bytes >= kMega) return std::to_string((bytes + kMega / 2) / kMega) + " MB";
  if (bytes >= kKilo) return std::to_string((bytes + kKilo / 2) / kKilo) + " KB";
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

std::string NotEnoughMemoryMessage(const std::string& verb, const std::string& name, const std::string& path) {
  std::string message = "Not enough memory to " + verb + " \"" + name + "\"";
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) message += " (" + SizeForPeople(info.st_size) + ")";
  return message;
}

std::string EndMarkMessage(const std::string& name, int64_t markOffset, int64_t bytesAfter) {
  return name + ": " + std::to_string(bytesAfter) + " bytes" +
         " after the end-of-file mark (0x1A) at byte " + std::to_string(markOffset) + " are not part of the text";
}

}  // namespace plomaret
