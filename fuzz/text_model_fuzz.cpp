// Random edits, undo, redo, wrap switches and wrap option changes on a random text,
// checked after every step against a plain string edited the way ReplaceText
// defines it: line ends become CR LF, a text without a final line end joins the next
// line, and a lone CR at the very end of the text becomes the text end. A twin store
// that splits every edited wrapped line to its end takes the same steps, and must
// come out the same in every row, word, change and history count.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "editor/TextModelSupport.h"

namespace {

using namespace plomaret;
using plomaret::testing::TEditorDouble;

// A short text of the bytes that matter: letters, blanks, tabs, line ends,
// double-byte characters and punctuation; never a zero byte.
std::string Text(TFuzzInput& input) {
  static const char* const kPieces[] = {"a", "bc", " ", "\t", "\r\n", "\r", "\n", "\x82\xa0", "\x81\x42",
                                        "(", "{", "}", "//", "0.5;,", "\x83\x5c", "\x1a"};
  std::string text;
  const int length = input.Byte() % 12;
  for (int i = 0; i < length; ++i) text += kPieces[input.Byte() % 16];
  return text;
}

// The text as ReplaceText leaves it, in the CR LF form of AllText.
std::string Normalised(std::string_view text, bool atTextEnd) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      const bool last = i + 1 == text.size() || (text[i] == '\r' && i + 2 == text.size() && text[i + 1] == '\n');
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (atTextEnd && last && text[i] == '\r') break;  // a lone CR at the very end: the text end
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

// Byte offset of row `row` in the AllText form, and the offset after `count` rows.
size_t RowOffset(const TEditorScreenStrings& store, int row) {
  size_t offset = 0;
  for (int r = 0; r < row; ++r) offset += store.ViewAt(r).size() + (store.RowAttributes(r) == raLineEnd ? 2 : 0);
  return offset;
}

// PLOMARET_FUZZ_TRACE=1 prints every step, to read a failing input.
const bool kTrace = std::getenv("PLOMARET_FUZZ_TRACE") != nullptr;

void Trace(const char* what, const std::string& text) {
  if (!kTrace) return;
  std::string shown;
  for (char c : text) shown += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  std::fprintf(stderr, "%s [%s]\n", what, shown.c_str());
}

void TraceRows(const TEditorScreenStrings& store) {
  if (!kTrace) return;
  std::string rows;
  for (int r = 0; r < store.Count(); ++r) rows += std::string(store.ViewAt(r)) + "|" + "LWT"[store.RowAttributes(r)] + " ";
  Trace("  rows", rows);
}

void CheckInvariants(TEditorDouble& editor, const std::string& model) {
  TEditorScreenStrings& store = editor.Store();
  FUZZ_CHECK(editor.Lines().AllText() == model);
  uint16_t marks = 0;
  int wraps = 0;
  for (int r = 0; r < store.Count(); ++r) {
    FUZZ_CHECK(store.RowAttributes(r) != raTextEnd || r == store.Count() - 1);
    FUZZ_CHECK(store.ViewAt(r).find_first_of("\r\n") == std::string_view::npos);
    marks |= store.RowMarkBits(r);
    // The counted wrapped rows above a row agree with a walk.
    FUZZ_CHECK(store.WrapRowsBefore(r) == wraps);
    wraps += store.RowAttributes(r) == raWrap ? 1 : 0;
  }
  FUZZ_CHECK(store.WrapRowCount() == wraps);
  FUZZ_CHECK(marks == store.Marks());
  // Every saved parser state agrees with a parse from the top.
  FUZZ_CHECK(plomaret::testing::FirstStateNotAsFromTheTop(store, *editor.CurrentFountain()) == -1);
}

// The twin takes every step too; it must not differ in anything the store keeps or
// tells its editors.
void CheckTwin(TEditorDouble& editor, TEditorDouble& twin) {
  TEditorScreenStrings& store = editor.Store();
  TEditorScreenStrings& other = twin.Store();
  FUZZ_CHECK(plomaret::testing::RowWordsOf(store) == plomaret::testing::RowWordsOf(other));
  FUZZ_CHECK(editor.FLastChange == twin.FLastChange && editor.FChanges == twin.FChanges);
  FUZZ_CHECK(store.ChangeParsed() == other.ChangeParsed());
  FUZZ_CHECK(editor.FLog == twin.FLog);
  FUZZ_CHECK(store.Marks() == other.Marks());
  FUZZ_CHECK(store.UndoObj()->UndoList().Count() == other.UndoObj()->UndoList().Count());
  FUZZ_CHECK(store.UndoObj()->RedoList().Count() == other.UndoObj()->RedoList().Count());
}

void SetUp(TEditorDouble& editor) {
  TFountainBracketItem* bracket = editor.FFountain->Brackets()->Add();
  bracket->SetLeftBracket("{");
  bracket->SetRightBracket("}");
  editor.FFountain->SetCommenter("//");
  editor.Store().UndoObj()->SetListMax(100000);
  editor.Store().WrapOption()->SetWrapByte(20);
  // Wrapped rows counted with a checkpoint every few rows, so that small texts have some.
  editor.Store().CountItemsWith(plomaret::row_bits::kRowAttribute.Mask(), raWrap, 3);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  TEditorDouble editor;
  TEditorDouble twin(Create<plomaret::testing::TWholeLineSplitStore>().release());
  SetUp(editor);
  SetUp(twin);
  TEditorScreenStrings& store = editor.Store();
  // Both take every step that changes the text or the options.
  auto both = [&](auto step) {
    step(editor);
    step(twin);
  };

  std::string model = Normalised(Text(input), true);
  both([&](TEditorDouble& e) {
    e.Lines().SetAllText(model);
    e.Store().ResetStates();
  });
  Trace("start", model);
  std::string atReset = model;  // the text when the history was last emptied
  std::string furthest = model;  // the text when the redo list was last empty
  int steps = 0;
  CheckInvariants(editor, model);
  CheckTwin(editor, twin);

  while (!input.Empty() && steps < 200) {
    ++steps;
    const uint32_t op = input.Byte() % 10;
    const int count = store.Count();
    if (op < 5) {
      const int a = static_cast<int>(input.Byte() % static_cast<uint32_t>(count + 1));
      const int n = static_cast<int>(input.Byte() % static_cast<uint32_t>(count - a + 1));
      const std::string text = Text(input);
      const int col = static_cast<int>(input.Byte() % 3);
      both([&](TEditorDouble& e) { e.FCol = col; });
      if (n == 0 && text.empty()) continue;
      const size_t start = RowOffset(store, a);
      size_t end = RowOffset(store, a + n);
      const bool reachesEnd = a + n >= count;
      std::string expected = model;
      if (n == 0 && a == count && count > 0 && store.RowAttributes(count - 1) == raTextEnd) {
        expected += Normalised(text, true);  // joins the last row
      } else {
        // A run of rows that ends inside a wrapped line still takes the rest of it;
        // the text from the run's end on is kept as it is.
        expected = model.substr(0, start) + Normalised(text, reachesEnd) + model.substr(end);
      }
      if (kTrace) std::fprintf(stderr, "replace %d %d (of %d rows)\n", a, n, count);
      Trace("  with", text);
      both([&](TEditorDouble& e) { e.Store().ReplaceText(a, n, text); });
      model = expected;
      furthest = model;
    } else if (op == 5) {
      both([](TEditorDouble& e) { e.Store().Undo(); });
      model = editor.Lines().AllText();
      Trace("undo", model);
    } else if (op == 6) {
      both([](TEditorDouble& e) { e.Store().Redo(); });
      model = editor.Lines().AllText();
      Trace("redo", model);
    } else if (op == 7) {
      if (kTrace) std::fprintf(stderr, "wrap %s\n", store.WordWrap() ? "off" : "on");
      const bool on = !store.WordWrap();
      both([&](TEditorDouble& e) { e.Store().SwitchWordWrap(on); });
      atReset = furthest = model;
    } else if (op == 8) {
      if (kTrace) std::fprintf(stderr, "option change\n");
      const uint32_t which = input.Byte() % 5;
      const int wrapByte = which == 0 ? static_cast<int>(input.Byte()) : 0;
      both([&](TEditorDouble& e) {
        TEditorWrapOption* option = e.Store().WrapOption();
        switch (which) {
          case 0: option->SetWrapByte(wrapByte); break;
          case 1: option->SetWordBreak(!option->WordBreak()); break;
          case 2: option->SetFollowPunctuation(!option->FollowPunctuation()); break;
          case 3: option->SetLeading(!option->Leading()); break;
          default: option->SetFollowRetMark(!option->FollowRetMark()); break;
        }
      });
      // A change of an option (not a setter called with the value it has) while
      // the text is wrapped empties the history.
      if (!store.UndoObj()->CanUndo() && !store.UndoObj()->CanRedo()) atReset = furthest = model;
    } else if (count > 0) {
      const int row = static_cast<int>(input.Byte() % static_cast<uint32_t>(count));
      const uint16_t mark = static_cast<uint16_t>(1u << (input.Byte() % 16));
      both([&](TEditorDouble& e) {
        e.Store().SetRowMarkBits(row, static_cast<uint16_t>(e.Store().RowMarkBits(row) | mark));
        e.Store().IncludeMarks(mark);
      });
    }
    Trace("text", model);
    TraceRows(store);
    CheckInvariants(editor, model);
    CheckTwin(editor, twin);
  }
  // Undoing every step since the history was last emptied gives that text back.
  while (store.UndoObj()->CanUndo()) {
    both([](TEditorDouble& e) { e.Store().Undo(); });
    TraceRows(store);
    CheckTwin(editor, twin);
  }
  FUZZ_CHECK(editor.Lines().AllText() == atReset);
  while (store.UndoObj()->CanRedo()) {
    both([](TEditorDouble& e) { e.Store().Redo(); });
    Trace("redone", editor.Lines().AllText());
    CheckTwin(editor, twin);
  }
  FUZZ_CHECK(editor.Lines().AllText() == furthest);
  return 0;
}
