#pragma once
// Small services the editor units share: Shift-JIS byte helpers and the splitting of
// a text into lines. Positions are 1-based, as in the strings of the original
// program; byte 1 is the first byte.

#include <string_view>

#include "framework/core/CodePage.h"
#include "framework/core/Properties.h"
#include "framework/core/Strings.h"

namespace plomaret {

// How many of the first min(n, length) bytes of s equal byte.
int CountByte(std::string_view s, char byte, int n);

// Whether position i is the first byte of a double-byte character, scanning by
// characters from the start; false outside s.
bool IsLeadByteAt(std::string_view s, int i);
// Whether position i is the second byte of a double-byte character.
bool IsTrailByteAt(std::string_view s, int i);
// The byte at position i, or 0 outside s.
unsigned char ByteAt(std::string_view s, int i);

// Whether sub occurs in s starting at a character boundary (never inside a
// double-byte character). False when sub is empty or longer than s.
bool ContainsAtCharBoundary(std::string_view sub, std::string_view s);

inline int Max(int a, int b) { return a > b ? a : b; }
inline int Min(int a, int b) { return a < b ? a : b; }

// Replaces the contents of list by the lines of text: CR LF, a lone LF and a lone CR
// each end a line, a line end at the very end adds no empty line, a zero byte ends
// the text. Existing items are overwritten in place, then surplus ones removed.
void TextToStrings(std::string_view text, TStrings& list);

// Called by WalkProperties for each property it takes; type is the property's type.
using TWalkPropertiesProc = void (*)(void* data, TObject* instance, const TPropInfo& prop, const TTypeInfo& type);

// Calls callback for each published property of instance whose kind is in kinds, in
// order of name. After a property whose value is a persistent object, walks that
// object the same way, and when it is a collection, each of its items in index order.
// An object met again below itself is not entered a second time, so a property that
// refers back up the tree cannot loop.
void WalkProperties(TObject* instance, TTypeKinds kinds, TWalkPropertiesProc callback, void* data);

}  // namespace plomaret
