#pragma once
// A stand-in for the editor control, for testing the text model without a window.

#include <string>
#include <vector>

#include "editor/EditorControl.h"
#include "editor/EditorFountain.h"

namespace plomaret::testing {

class TEditorDouble : public TAttachedEditor {
 public:
  // A new document of its own, or a view of another editor's.
  explicit TEditorDouble(TEditorScreenStrings* shared = nullptr) {
    FStore = shared != nullptr ? shared : Create<TEditorScreenStrings>().release();
    FStore->Attach(this);
    FLines = Create<TEditorStrings>(this);
  }
  ~TEditorDouble() override { FStore->Detach(this); }

  TEditorScreenStrings& Store() { return *FStore; }
  TEditorStrings& Lines() { return *FLines; }

  TEditorScreenStrings* ScreenStrings() const override { return FStore; }
  int TabSpaceCount() const override { return FTabSpaceCount; }
  const std::bitset<256>& WordDelimiters() const override { return FDelimiters; }
  TFountain* CurrentFountain() const override { return FFountain.get(); }
  int RowHeight() const override { return 13; }
  int ScreenHeight() const override { return FScreenHeight; }
  bool InitBracketsFull() const override { return false; }
  bool IsLoading() const override { return false; }
  bool IsDestroying() const override { return false; }
  bool Focused() const override { return FFocused; }
  void SetModified(bool modified) override { FModified = modified; }
  int Row() const override { return FRow; }
  int Col() const override { return FCol; }
  int TopRow() const override { return FTopRow; }
  void SetRow(int row) override {
    FRow = row < 0 ? 0 : row;
    FLog.push_back("SetRow " + std::to_string(row));
  }
  void SetCol(int col) override {
    FCol = col < 0 ? 0 : col;
    FLog.push_back("SetCol " + std::to_string(col));
  }
  void SetTopRow(int row) override { FTopRow = row; }
  void UpdateCaret() override {}
  void CaretHide() override { ++FCaretHides; }
  void CaretShow() override { --FCaretHides; }
  void HideUnderline() override {}
  void ShowUnderline() override {}
  void CleanSelection() override { ++FSelectionsCleaned; }
  void InvalidateRow(int) override {}
  void Refresh() override { ++FRefreshes; }
  void TextChanged(TEditorScreenStrings& store) override {
    ++FChanges;
    FLastChange = {store.ChangeRow(), store.ChangeOldCount(), store.ChangeNewCount(), store.ChangePending() ? 1 : 0};
  }
  void SetLinesUpdating(bool) override {}
  bool WindowVisible() const override { return false; }
  void SetRedraw(bool) override {}

  std::vector<std::string> FLog;
  std::vector<int> FLastChange;
  int FChanges = 0;
  int FRefreshes = 0;
  int FSelectionsCleaned = 0;
  int FCaretHides = 0;
  int FRow = 0;
  int FCol = 0;
  int FTopRow = 0;
  int FScreenHeight = 1080;  // rows of 13 pixels: how far states are computed ahead
  int FTabSpaceCount = 8;
  bool FFocused = false;
  bool FModified = false;
  std::bitset<256> FDelimiters;
  TOwned<TEditorFountain> FFountain = CreateWithoutOwner<TEditorFountain>();

 private:
  TEditorScreenStrings* FStore;
  TOwned<TEditorStrings> FLines;
};

// A store that splits an edited run of a wrapped line to the end of the line: the
// reference that splitting only until the rows realign must agree with.
class TWholeLineSplitStore : public TEditorScreenStrings {
 protected:
  bool SplitRunKeepingUnchangedRows(int, int, int, int, std::string_view, TSplitRows&, int&) override { return false; }
};

// Everything a store keeps of each row: text, both attribute words, data word and
// parser state string.
inline std::vector<std::string> RowWordsOf(const TEditorScreenStrings& store) {
  std::vector<std::string> rows;
  for (int r = 0; r < store.Count(); ++r) {
    rows.push_back(std::string(store.ViewAt(r)) + "|" + std::to_string(store.Attribute1(r)) + "|" +
                   std::to_string(store.Attribute2(r)) + "|" + std::to_string(store.DataWord(r)) + "|" +
                   store.StrData(r));
  }
  return rows;
}

// The rows of a store as "text|attribute" strings (attribute: L line end, W wrap, T text end).
inline std::vector<std::string> RowsOf(const TEditorScreenStrings& store) {
  std::vector<std::string> rows;
  for (int r = 0; r < store.Count(); ++r) {
    const char attribute = "LWT?"[store.RowAttributes(r)];
    rows.push_back(std::string(store.ViewAt(r)) + "|" + attribute);
  }
  return rows;
}

// The first row whose kept parser state is not the one a parse from the top gives
// (rows whose state is not computed yet are passed over), or -1.
inline int FirstStateNotAsFromTheTop(const TEditorScreenStrings& store, TFountain& fountain) {
  TOwned<TFountainParser> parser = fountain.CreateParser();
  TRowAttributeData state = StartRowAttributeData();
  for (int r = 0; r < store.Count(); ++r) {
    state.RowAttribute = store.RowAttributes(r);
    const TRowAttributeData saved = store.RowAttributeData(r);
    if (saved.BracketIndex != kInvalidBracket && !(saved == state)) return r;
    parser->UpdateRowData(r, store, state);
    state.PrevRowAttribute = store.RowAttributes(r);
  }
  return -1;
}

}  // namespace plomaret::testing
