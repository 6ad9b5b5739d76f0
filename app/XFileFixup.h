#pragma once
// The "Exchange" rewrite of a DirectX text mesh file, as Metasequoia LE 2.4 writes
// it, for the parameter editor of the flight simulator:
//  - inside " MeshTextureCoords {" ... " }" a line ending in ";," loses the comma;
//  - " MeshVertexColors {" ... " }" is commented out line by line with "// ".
// Headers and the section end are whole-line, byte-exact matches; sections do not
// nest, and one that is never closed runs to the end of the text.

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/core/Strings.h"

namespace plomaret {

enum TFixupAction { faKeep, faDropFinalComma, faCommentOut };

// Takes the lines of one text in order and says what becomes of each.
class TXFileFixup {
 public:
  enum TScanState { ssOutside = 0, ssTextureCoords = 1, ssVertexColors = 2 };

  TFixupAction Next(std::string_view line);
  TScanState State() const { return FState; }

  // The line as the action makes it.
  static std::string Apply(std::string_view line, TFixupAction action);

 private:
  TScanState FState = ssOutside;
};

struct TFixupCounts {
  int64_t CommasDropped = 0;
  int64_t LinesCommentedOut = 0;

  void Count(TFixupAction action) {
    if (action == faDropFinalComma) ++CommasDropped;
    if (action == faCommentOut) ++LinesCommentedOut;
  }
};

// Rewrites every line of lines in place, as one update.
TFixupCounts ExchangeLines(TStrings& lines);

}  // namespace plomaret
