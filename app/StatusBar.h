#pragma once
// The line under the editor: where the caret is, how long the text is, whether it is
// modified, its encoding and line ends, and what the last Exchange did.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "framework/gui/Forms.h"

namespace plomaret {

struct TStatusFacts {
  int Row = 0;  // 0-based, as the editor counts
  int Col = 0;
  std::optional<int> Line;  // the logical line when word wrap is on (0-based)
  int Lines = 0;
  bool Modified = false;
  // After Exchange, until the next edit.
  std::optional<std::pair<int64_t, int64_t>> Exchanged;  // texture-coordinate lines, vertex-colour lines
};

// "Row 3, Col 5 | 120 lines | Modified | Shift-JIS CR LF", counted from 1 as people count,
// and after Exchange "| Exchange: UV 2, colour 1", in the user's language (UTF-8). Brief
// leaves out the encoding and line ends, which never change, for when the rest would
// not fit (word wrap adds the line to the caret's place).
std::string StatusLine(const TStatusFacts& facts, bool brief = false);

// A bar of text along the bottom of its parent.
class TStatusBar : public TCustomControl {
 public:
  void AfterConstruction() override;
  // The text is asked for whenever it is shown, so it is never stale; Invalidate shows it anew.
  std::string SimpleText() const { return FSource ? FSource() : std::string(); }
  // brief, when given, is shown when the line source gives does not fit.
  void SetTextSource(std::function<std::string()> source, std::function<std::string()> brief = {});
  // The width the line may take without being cut off.
  int TextRoom() const;

 protected:
  void Paint() override;

 private:
  std::function<std::string()> FSource;
  std::function<std::string()> FBrief;
};

}  // namespace plomaret
