#pragma once
// Word wrap: splitting a logical line into screen rows no wider than WrapByte cells,
// with the Japanese line-breaking rules of the wrap options.
//
// Everything works on byte offsets into the line: a row is a slice of it, and the
// cell map is computed afresh at each row start (tabs are measured from there) and
// only as far as the wrap can look, so wrapping a line costs time linear in its
// length whatever the width.

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

#include "editor/NotifyClasses.h"
#include "editor/RowAttributeList.h"
#include "editor/TextCells.h"

namespace plomaret {

class TEditorWrapOption : public TNotifyPersistent {
 public:
  TEditorWrapOption();

  // When a line's text fills its last row exactly, the line end stays on that row
  // instead of taking an empty row of its own.
  bool FollowRetMark() const { return FFollowRetMark; }
  void SetFollowRetMark(bool value);
  // Characters of PunctuationStr just after the wrap column hang past it.
  bool FollowPunctuation() const { return FFollowPunctuation; }
  void SetFollowPunctuation(bool value);
  // Characters that must not begin a row (with Leading).
  const std::string& FollowStr() const { return FFollowStr; }
  void SetFollowStr(const std::string& value);
  // Apply the rules of LeadStr and FollowStr.
  bool Leading() const { return FLeading; }
  void SetLeading(bool value);
  // Characters that must not end a row (with Leading).
  const std::string& LeadStr() const { return FLeadStr; }
  void SetLeadStr(const std::string& value);
  const std::string& PunctuationStr() const { return FPunctuationStr; }
  void SetPunctuationStr(const std::string& value);
  // Break rows after a delimiter, inside a tab or after a double-byte character.
  bool WordBreak() const { return FWordBreak; }
  void SetWordBreak(bool value);
  // The row width in cells, kept within kMinWrapByte..kMaxWrapByte.
  int WrapByte() const { return FWrapByte; }
  void SetWrapByte(int value);

  static constexpr int kMinWrapByte = 20;
  static constexpr int kMaxWrapByte = 250;

  // From another wrap option: all eight values, one announcement.
  void Assign(const TPersistent& source) override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  bool FFollowRetMark = false;
  bool FFollowPunctuation = false;
  std::string FFollowStr;
  bool FLeading = false;
  std::string FLeadStr;
  std::string FPunctuationStr;
  bool FWordBreak = false;
  int FWrapByte = 80;
};

// The cursor the wrap moves over the rest of a line, one cell at a time. Columns
// are 1-based: column c is the c-th cell, and the column after the last one is the
// end mark. The byte count is the number of bytes in columns 1..current, counted
// from the row start.
class TEditorAttributeArray {
 public:
  // Starts on line from byte offset `from` with the cell map of that rest, then
  // stands on column 1 (on the end mark when the rest is empty).
  void Start(std::string_view line, int from, const TCellLayout& layout);

  void StepForward();
  void StepBack();
  void MoveTo(int col);
  // Steps back a whole character: never comes to rest on a lead half.
  void StepBackChar();

  // The character the current column belongs to: a double-byte pair, a single byte,
  // the tab for its filler cells; empty at the end mark.
  std::string_view CurrentChar() const;
  // The character of the column after the current one; empty at or before the end.
  std::string_view NextChar();

  int Col() const { return FCol; }
  int Length() const { return static_cast<int>(FMap.size()) - 1; }
  int ByteCount() const { return FBytes; }
  char Cell() const { return FCol >= 1 ? FMap[static_cast<size_t>(FCol - 1)] : '\0'; }
  bool AtEnd() const { return Cell() == kEndMark; }
  int From() const { return FFrom; }

  static constexpr char kEndMark = '0';

 private:
  std::string_view FRest;
  int FFrom = 0;
  std::string FMap;  // the rest's cell map and the end mark; its storage is reused
  int FCol = 0;
  int FBytes = 0;
};

// The rows a logical line is split into, as end offsets into the line, ascending;
// the last is the line's length. Every row but the last is raWrap, the last is
// raLineEnd. A line whose text fills its last row exactly (with FollowRetMark off)
// ends in an empty row that holds only the line end.
struct TLineRows {
  std::vector<int> Ends;

  int Count() const { return static_cast<int>(Ends.size()); }
  int Start(int row) const { return row == 0 ? 0 : Ends[static_cast<size_t>(row - 1)]; }
  std::string_view Row(std::string_view line, int row) const {
    return line.substr(static_cast<size_t>(Start(row)), static_cast<size_t>(Ends[static_cast<size_t>(row)] - Start(row)));
  }
  TRowAttribute Attribute(int row) const { return row + 1 < Count() ? raWrap : raLineEnd; }
  bool HasLineEndRow() const { return Count() >= 2 && Ends[Ends.size() - 1] == Ends[Ends.size() - 2]; }
};

// One row of a line as the wrap splits it: where it ends, and whether the line ends
// with it. End is -1 when no row starts at the offset asked for.
struct TRowBreak {
  int End = -1;
  bool Last = true;
};

// Wraps lines by one set of options. It copies the options when made: make one for
// each pass over the text (a whole-text wrap, one split of an edited text).
class TLineWrapper {
 public:
  TLineWrapper(const TEditorWrapOption& option, int tabSpaceCount, const TDelimiters& delimiters);
  TLineWrapper(const TLineWrapper&) = delete;  // its layout points into itself
  TLineWrapper& operator=(const TLineWrapper&) = delete;

  // The rows of line; rows' storage is reused.
  void Wrap(std::string_view line, TLineRows& rows);
  TLineRows Wrap(std::string_view line);
  // The number of rows Wrap would make, without building them.
  int RowCount(std::string_view line);
  // The row that starts at byte `from` of line, from is 0 or the end of a row Wrap
  // made. A row depends on no more than the RowLookahead() bytes from its start, so
  // line may be cut after them: wrapping a line row by row needs only a window of it.
  // (From 0, an empty line gives one row here as in Wrap.)
  TRowBreak NextRow(std::string_view line, int from);
  int RowLookahead() const { return FLayout.WrapByte + 8; }
  // NextRow the long way, over the cell map, whatever the row holds: what NextRow
  // does where a tab or a double-byte character is in reach, and must agree with
  // where none is.
  TRowBreak NextRowByCellMap(std::string_view line, int from);

  const TCellLayout& Layout() const { return FLayout; }

 private:
  template <class Emit>
  void Split(std::string_view line, Emit&& emit);
  // NextRow where every byte the row can look at takes one cell (no tab, no
  // double-byte character): cells are bytes, and no cell map is needed. False
  // when the row is not such a one.
  bool NextPlainRow(std::string_view line, int from, TRowBreak& row) const;

  TCellLayout FLayout;
  TDelimiters FDelimiters;
  bool FFollowRetMark;
  bool FFollowPunctuation;
  bool FLeading;
  bool FWordBreak;
  std::string FFollowStr;
  std::string FLeadStr;
  std::string FPunctuationStr;
  // For each byte on its own: whether it is one of the characters of each list.
  std::bitset<256> FIsFollow;
  std::bitset<256> FIsLead;
  std::bitset<256> FIsPunctuation;
  TEditorAttributeArray FCursor;
};

}  // namespace plomaret
