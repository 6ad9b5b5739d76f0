#include "Messages.h"

#include <cstdio>
#include <string>

namespace plomaret {

namespace {

struct TMessageEntry {
  uint32_t Number;
  std::string_view Name;
};

#define PLOMARET_MESSAGE_ENTRY(name, number) TMessageEntry{number, #name},
constexpr TMessageEntry kMessages[] = {PLOMARET_MESSAGES(PLOMARET_MESSAGE_ENTRY)};
#undef PLOMARET_MESSAGE_ENTRY

}  // namespace

std::string MessageName(uint32_t msg) {
  for (const TMessageEntry& entry : kMessages) {
    if (entry.Number == msg) return std::string(entry.Name);
  }
  char text[32];
  if (msg > WM_USER && msg < CM_BASE) {
    std::snprintf(text, sizeof(text), "WM_USER+%u", msg - WM_USER);
  } else {
    std::snprintf(text, sizeof(text), "0x%04X", msg);
  }
  return text;
}

int64_t MessageByName(std::string_view name) {
  for (const TMessageEntry& entry : kMessages) {
    if (entry.Name == name) return entry.Number;
  }
  return -1;
}

}  // namespace plomaret
