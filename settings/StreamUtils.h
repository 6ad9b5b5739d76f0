#pragma once
// Byte streams kept in an INI file or under a registry key, for the settings
// manager.
//
// INI form, section S, key stem I: I + "_c" holds the number of lines, I + "_d" + n
// (n = 0, 1, ...) each line; a line is up to 32 bytes as upper-case hex digits.
// Registry form: HKEY_CURRENT_USER\Location\S, binary value I.

#include <string>

#include "framework/core/Streams.h"
#include "framework/core/Strings.h"

namespace plomaret {

// Replaces lines by the hex lines of the bytes from the stream's position to its end.
void StreamToHexLines(TStream& stream, TStrings& lines);
// Writes the bytes of the hex lines at the stream's position: two digits a byte, a
// pair that is not hex gives 0, a lone last digit is read alone.
void HexLinesToStream(const TStrings& lines, TStream& stream);

// Stores the bytes from the stream's position to its end; lines left over from a
// longer value are deleted, and an empty stream deletes the whole value.
void WriteStreamToIni(TStream& stream, const std::string& fileName, const std::string& section,
                      const std::string& ident);
// Writes the stored bytes at the stream's position; nothing when none are stored.
void ReadStreamFromIni(TStream& stream, const std::string& fileName, const std::string& section,
                       const std::string& ident);

// Both open (and create) the key Location\S. Failures of the registry raise
// ERegistryError after the keys are closed.
void WriteStreamToRegistry(TStream& stream, const std::string& location, const std::string& section,
                           const std::string& ident);
// Nothing when the value does not exist.
void ReadStreamFromRegistry(TStream& stream, const std::string& location, const std::string& section,
                            const std::string& ident);

}  // namespace plomaret
