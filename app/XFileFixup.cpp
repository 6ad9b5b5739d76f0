#include "XFileFixup.h"

namespace plomaret {

namespace {

constexpr std::string_view kTextureCoordsHeader = " MeshTextureCoords {";
constexpr std::string_view kVertexColorsHeader = " MeshVertexColors {";
constexpr std::string_view kSectionEnd = " }";
constexpr std::string_view kCommentPrefix = "// ";
constexpr std::string_view kCommaEnding = ";,";

bool EndsWith(std::string_view line, std::string_view ending) {
  return line.size() >= ending.size() && line.substr(line.size() - ending.size()) == ending;
}

}  // namespace

TFixupAction TXFileFixup::Next(std::string_view line) {
  if (FState == ssOutside) {
    if (line == kTextureCoordsHeader) {
      FState = ssTextureCoords;
    } else if (line == kVertexColorsHeader) {
      FState = ssVertexColors;
    }
  }
  switch (FState) {
    case ssTextureCoords:
      if (line == kSectionEnd) {
        FState = ssOutside;  // the closing line itself stays as it is
        return faKeep;
      }
      return EndsWith(line, kCommaEnding) ? faDropFinalComma : faKeep;
    case ssVertexColors:
      if (line == kSectionEnd) FState = ssOutside;
      return faCommentOut;
    case ssOutside:
      break;
  }
  return faKeep;
}

std::string TXFileFixup::Apply(std::string_view line, TFixupAction action) {
  switch (action) {
    case faDropFinalComma:
      return std::string(line.substr(0, line.size() - 1));
    case faCommentOut:
      return std::string(kCommentPrefix).append(line);
    case faKeep:
      break;
  }
  return std::string(line);
}

TFixupCounts ExchangeLines(TStrings& lines) {
  TFixupCounts counts;
  TXFileFixup fixup;
  TUpdateBracket bracket(lines);
  const int count = lines.Count();
  for (int i = 0; i < count; ++i) {
    const std::string line = lines.Get(i);
    const TFixupAction action = fixup.Next(line);
    counts.Count(action);
    if (action != faKeep) lines.Put(i, TXFileFixup::Apply(line, action));
  }
  return counts;
}

}  // namespace plomaret
