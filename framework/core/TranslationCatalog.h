#pragma once
// The compiled translations, as scripts/po_to_cpp.py writes them from a .po file:
// sorted by English text (byte order), so that a message is found by binary search.

#include <cstddef>

namespace plomaret {

struct TCatalogEntry {
  const char* English;     // msgid; for a plural message its singular
  const char* Translated;  // msgstr, or msgstr[0] of a plural message (one form in Japanese)
};

struct TCatalog {
  const TCatalogEntry* Entries;
  size_t Count;
};

extern const TCatalog kJapaneseCatalog;

}  // namespace plomaret
