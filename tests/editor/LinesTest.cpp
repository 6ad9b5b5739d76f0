#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "FailingAllocations.h"
#include "TestFiles.h"
#include "TextModelSupport.h"
#include "app/XFileFixup.h"
#include "framework/core/TextFileReader.h"

namespace plomaret {
namespace {

using testing::ReadBytes;
using testing::RowsOf;
using testing::TEditorDouble;
using testing::TScratchFolder;
using testing::WriteBytes;
using Rows = std::vector<std::string>;

class LinesTest : public ::testing::Test {
 protected:
  // Loads bytes from a file and saves them again.
  std::string RoundTrip(const std::string& bytes) {
    const std::string in = FFolder.Path("in.x"), out = FFolder.Path("out.x");
    WriteBytes(in, bytes);
    Lines().LoadFile(in);
    Lines().SaveFile(out);
    return ReadBytes(out);
  }
  TEditorStrings& Lines() { return FEditor.Lines(); }
  TEditorScreenStrings& Store() { return FEditor.Store(); }
  TEditorDouble FEditor;
  TScratchFolder FFolder;
};

TEST_F(LinesTest, LoadAndSaveKeepTheTextAndWriteCrLf) {
  EXPECT_EQ(RoundTrip("a\r\nb"), "a\r\nb");
  EXPECT_EQ(RowsOf(Store()), (Rows{"a|L", "b|T"}));
  EXPECT_EQ(RoundTrip("a\r\nb\r\n"), "a\r\nb\r\n");
  EXPECT_EQ(Lines().Count(), 2) << "a final line end adds no empty line";
  EXPECT_EQ(RoundTrip("a\rb\nc\n\rd"), "a\r\nb\r\nc\r\n\r\nd");
  EXPECT_EQ(RoundTrip("keep\r\nthis\x1a" "but not this\r\n"), "keep\r\nthis");
  EXPECT_EQ(RowsOf(Store()), (Rows{"keep|L", "this|T"}));
  std::string block(TTextFileReader::kDefaultBlockSize - 1, 'x');
  EXPECT_EQ(RoundTrip(block + "\r\nnext\r\n"), block + "\r\nnext\r\n");
  EXPECT_EQ(Lines().Count(), 2) << "CR LF across the block boundary is one line end";
  // Rows longer than the blocks a save gathers go out whole, between short ones.
  const std::string many = "a\r\n" + std::string(300000, 'y') + "\r\nb\r\n" + block + "z\r\n" + block + "\r\n\r\nc";
  EXPECT_EQ(RoundTrip(many), many);
}

TEST_F(LinesTest, AnEmptyFileGivesAnEmptyEditor) {
  EXPECT_EQ(RoundTrip(""), "");
  EXPECT_EQ(Lines().Count(), 0);
  EXPECT_THROW(Lines().Get(0), EStringListError);
}

TEST_F(LinesTest, ABinaryFileIsRefusedAndLeavesTheEditorEmpty) {
  Lines().SetAllText("old text\r\n");
  const std::string path = FFolder.Path("binary.x");
  WriteBytes(path, std::string("xof 0302bin 0032\r\n\0\0\0", 21));
  try {
    Lines().LoadFile(path);
    FAIL();
  } catch (const EFileError& error) {
    EXPECT_NE(error.Message().find(path), std::string::npos);
  }
  EXPECT_EQ(Store().Count(), 0);
  EXPECT_EQ(FEditor.FCaretHides, 0) << "the update bracket was closed";
  EXPECT_THROW(Lines().LoadFile(FFolder.Path("missing.x")), EFileError);
}

TEST_F(LinesTest, LoadingReplacesTheWholeTextAsOneChangeAndForgetsHistory) {
  Lines().SetAllText("a\r\nb\r\n");
  Store().ReplaceText(0, 1, "x\r\n");
  const std::string path = FFolder.Path("f.x");
  WriteBytes(path, "1\r\n2\r\n3\r\n");
  FEditor.FChanges = 0;
  Lines().LoadFile(path);
  EXPECT_EQ(FEditor.FChanges, 1);
  EXPECT_EQ(FEditor.FLastChange, (std::vector<int>{0, 2, 3, 1})) << "the record covers the whole text";
  EXPECT_FALSE(Store().UndoObj()->CanUndo());
  Store().ReplaceText(0, 1, "y\r\n");
  Lines().SetAllText("new");
  EXPECT_FALSE(Store().UndoObj()->CanUndo());
}

TEST_F(LinesTest, RealModelFilesSurviveLoadAndSave) {
  const std::string shared = testing::SharedDir();
  if (shared.empty()) GTEST_SKIP() << "shared data not present";
  for (const auto& entry : std::filesystem::directory_iterator(shared + "/data/xfiles")) {
    if (entry.path().extension() != ".x") continue;
    const std::string original = ReadBytes(entry.path().string());
    // Saving writes CR LF: compare with the file's CR LF form (LF files converted here).
    std::string crlf;
    for (size_t i = 0; i < original.size(); ++i) {
      if (original[i] == '\n' && (i == 0 || original[i - 1] != '\r')) crlf += '\r';
      crlf += original[i];
    }
    Lines().LoadFile(entry.path().string());
    const std::string out = FFolder.Path("saved.x");
    Lines().SaveFile(out);
    EXPECT_EQ(ReadBytes(out), crlf) << entry.path().filename();
  }
}

TEST_F(LinesTest, EditingOperationsPlaceTheCaret) {
  Lines().SetAllText("one\r\ntwo\r\n");
  FEditor.FLog.clear();
  Lines().Put(0, "ONE!");
  EXPECT_EQ(Lines().AllText(), "ONE!\r\ntwo\r\n");
  EXPECT_EQ(FEditor.FLog, (std::vector<std::string>{"SetRow 1", "SetCol 0"})) << "the start of the next line";

  FEditor.FLog.clear();
  Lines().Insert(1, "mid");
  EXPECT_EQ(Lines().AllText(), "ONE!\r\nmid\r\ntwo\r\n");
  EXPECT_EQ(FEditor.FLog, (std::vector<std::string>{"SetRow 2", "SetCol 0"}));

  FEditor.FLog.clear();
  Lines().Delete(0);
  EXPECT_EQ(Lines().AllText(), "mid\r\ntwo\r\n");
  EXPECT_EQ(FEditor.FLog, (std::vector<std::string>{"SetRow 0", "SetCol 0"}));

  FEditor.FLog.clear();
  EXPECT_EQ(Lines().Add("end"), 2);
  EXPECT_EQ(Lines().AllText(), "mid\r\ntwo\r\nend\r\n");
  EXPECT_EQ(FEditor.FLog, (std::vector<std::string>{"SetRow 3", "SetCol 0"}));
  EXPECT_THROW(Lines().Put(3, "x"), EStringListError);
  EXPECT_THROW(Lines().Insert(4, "x"), EStringListError);
  EXPECT_THROW(Lines().Delete(-1), EStringListError);
}

TEST_F(LinesTest, AddKeepsWhetherTheTextEndedWithALineEnd) {
  Lines().Add("first");
  EXPECT_EQ(Lines().AllText(), "first\r\n");
  Lines().SetAllText("a\r\nb");
  FEditor.FLog.clear();
  Lines().Add("c");
  EXPECT_EQ(Lines().AllText(), "a\r\nb\r\nc");
  EXPECT_EQ(RowsOf(Store()), (Rows{"a|L", "b|L", "c|T"}));
  EXPECT_EQ(FEditor.FLog, (std::vector<std::string>{"SetRow 2", "SetCol 1"}));
  Lines().Delete(2);
  EXPECT_EQ(Lines().AllText(), "a\r\nb\r\n") << "the line before keeps its line end";
}

TEST_F(LinesTest, AssignFromAPlainListEndsWithALineEnd) {
  auto list = Create<TStringList>();
  list->Add("x");
  list->Add("y");
  Lines().Assign(*list);
  EXPECT_EQ(Lines().AllText(), "x\r\ny\r\n");
  EXPECT_EQ(FEditor.FRow, 2) << "on the empty position after the last line";
  EXPECT_EQ(FEditor.FCol, 0);
}

// The edits of a rewrite cost bytes per kind of edit, not per line: a section of lines
// that each lose a final comma, or each get "// " in front, is one record; each
// edit applied and then its inverse gives the line back.
TEST(LineEditLog, ASectionOfLikeEditsIsOneRecordAndEveryEditUndoes) {
  TLineEditLog log;
  std::vector<std::pair<std::string, std::string>> lines;
  for (int i = 0; i < 10000; ++i) lines.emplace_back("  0." + std::to_string(i) + ";0.5;,", "  0." + std::to_string(i) + ";0.5;");
  for (int i = 0; i < 10000; ++i) lines.emplace_back("  " + std::to_string(i) + ";1;", "//   " + std::to_string(i) + ";1;");
  lines.emplace_back("abcdef", "abXYef");
  lines.emplace_back("same", "same");
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    if (lines[i].first != lines[i].second) log.AddDifference(i, lines[i].first, lines[i].second);
  }
  EXPECT_EQ(log.Count(), 20001);
  EXPECT_LT(log.Bytes(), 200u);
  int visited = 0;
  std::string changed, back;
  log.ForEach([&](const TLineEdit& edit) {
    const auto& [old, expected] = lines[static_cast<size_t>(edit.Line)];
    TLineEditLog::Apply(old, edit, changed);
    EXPECT_EQ(changed, expected) << edit.Line;
    TLineEditLog::Apply(changed, edit.Inverse({}), back);
    EXPECT_EQ(back, old) << edit.Line;
    ++visited;
  });
  EXPECT_EQ(visited, 20001);
  TLineEdit misfit;
  misfit.Removed = "x";
  EXPECT_THROW(TLineEditLog::Apply("abc", misfit, changed), std::logic_error);
  log.RemoveLast();
  EXPECT_EQ(log.Count(), 20000);
  EXPECT_THROW(log.AddDifference(5, "a", "b"), std::logic_error) << "lines come in order";
}

// Rows with their marks: what undo must give back exactly.
std::vector<std::string> MarkedRowsOf(const TEditorScreenStrings& store) {
  std::vector<std::string> rows = RowsOf(store);
  for (int r = 0; r < store.Count(); ++r) rows[static_cast<size_t>(r)] += "|" + std::to_string(store.RowMarkBits(r));
  return rows;
}

// Exchange where the rows stand against Exchange through a working copy assigned
// back: the same rows, attributes, marks, carets and notices, with word wrap off and
// on, and for rows holding a line break byte (which only the copy can split). Unlike
// the copy, it is one undo step: undo gives back the rows and marks before it, and
// the step before it stays undoable; redo gives the exchanged rows again.
TEST_F(LinesTest, RewritingInPlaceEndsAsAssigningARewrittenCopyAndUndoesAsOneStep) {
  const std::string texts[] = {
      "Mesh {\r\n MeshTextureCoords {\r\n  2;\r\n  0.1;0.2;,\r\n  0.3;0.4;;\r\n }\r\n MeshVertexColors {\r\n  1;\r\n }\r\n}",
      " MeshVertexColors {\r\n  0;1;1;1;1;,\r\n" + std::string(90, 'v') + "\r\n }\r\n\r\n",
      " MeshTextureCoords {\r\n" + std::string(70, 'w') + ";,\r\n }\r\nlast",
      " MeshTextureCoords {\r\n\t\t0;1;,\r\n }\r\n MeshVertexColors {\r\n" + std::string(31, 'c') + "\r\n",
  };
  for (const std::string& text : texts) {
    for (int wrap : {0, 16, 33}) {
      for (bool breakInRow : {false, true}) {
        TEditorDouble inPlace, viaCopy;
        std::string original;
        for (TEditorDouble* e : {&inPlace, &viaCopy}) {
          if (wrap > 0) {
            e->Store().WrapOption()->SetWrapByte(wrap);
            e->Store().SwitchWordWrap(true);
          }
          e->Lines().SetAllText(text);
          original = e->Lines().AllText();
          e->Lines().Add("added ;,");  // a step to undo
          const int rows = e->Store().Count();
          e->Store().SetRowMarkBits(rows / 2, 0x0104);
          e->Store().IncludeMarks(0x0104);
          if (breakInRow) e->Store().Put(0, "a\rb ;,");
          e->FLog.clear();
        }
        const std::vector<std::string> before = MarkedRowsOf(inPlace.Store());
        const std::vector<std::string> beforeRows = RowsOf(inPlace.Store());
        const TFixupCounts counted = ExchangeAsWholeText(inPlace.Lines());
        const TFixupCounts expected = ExchangeThroughWorkingCopy(viaCopy.Lines());
        const std::string where = ::testing::PrintToString(text) + " wrap " + std::to_string(wrap) +
                                  (breakInRow ? " with a break in a row" : "");
        EXPECT_EQ(counted.CommasDropped, expected.CommasDropped) << where;
        EXPECT_EQ(counted.LinesCommentedOut, expected.LinesCommentedOut) << where;
        TEditorScreenStrings& a = inPlace.Store();
        if (counted.CommasDropped + counted.LinesCommentedOut == 0) {
          // A break in the header's row leaves nothing to exchange: nothing changes.
          EXPECT_EQ(MarkedRowsOf(a), before) << where;
          EXPECT_EQ(a.UndoObj()->UndoList().Count(), 1) << where;
          continue;
        }
        const TEditorScreenStrings& b = viaCopy.Store();
        ASSERT_EQ(RowsOf(a), RowsOf(b)) << where;
        const std::vector<std::string> exchanged = MarkedRowsOf(a);
        EXPECT_EQ(exchanged, MarkedRowsOf(b)) << where;
        EXPECT_EQ(a.Marks(), b.Marks()) << where;
        EXPECT_EQ(inPlace.FLastChange, viaCopy.FLastChange) << where;
        EXPECT_EQ(inPlace.FModified, viaCopy.FModified) << where;
        EXPECT_EQ(inPlace.FRow, viaCopy.FRow) << where;

        a.Undo();
        if (breakInRow) {
          // Replaced as a whole text, whose marks do not come back.
          EXPECT_EQ(RowsOf(a), beforeRows) << where << ": undone";
        } else {
          EXPECT_EQ(MarkedRowsOf(a), before) << where << ": undone";
          EXPECT_EQ(a.Marks(), 0x0104) << where;
        }
        ASSERT_TRUE(a.UndoObj()->CanUndo()) << where << ": the edit before Exchange";
        a.Redo();
        EXPECT_EQ(MarkedRowsOf(a), exchanged) << where << ": redone";
        a.Undo();
        a.Undo();
        if (!breakInRow) EXPECT_EQ(inPlace.Lines().AllText(), original) << where << ": the edit before undone too";
      }
    }
  }
}

// An Exchange that changes no line changes nothing: not the text (a missing final
// line end stays missing), not the caret or the history, and no change is told.
TEST_F(LinesTest, RewritingWithoutAChangeLeavesEverything) {
  for (const std::string text : {"", "Mesh {\r\n  1;\r\n}", " MeshTextureCoords {\r\n  0;0;\r\n }"}) {
    TEditorDouble editor;
    editor.Lines().SetAllText(text);
    editor.Lines().Add("x");
    const int changes = editor.FChanges;
    editor.FRow = 1;
    editor.FCol = 2;
    editor.FLog.clear();
    const std::vector<std::string> before = MarkedRowsOf(editor.Store());
    const TFixupCounts counts = ExchangeAsWholeText(editor.Lines());
    EXPECT_EQ(counts.CommasDropped + counts.LinesCommentedOut, 0);
    EXPECT_EQ(MarkedRowsOf(editor.Store()), before) << text;
    EXPECT_EQ(editor.Store().UndoObj()->UndoList().Count(), 1) << text;
    EXPECT_EQ(editor.FChanges, changes) << text << ": no change told, so nothing turns modified";
    EXPECT_EQ(editor.FRow, 1) << text;
    EXPECT_EQ(editor.FCol, 2) << text;
    EXPECT_TRUE(editor.FLog.empty()) << text;
  }
}

// Exchange, its undo and its redo are all or nothing: memory failing at any one
// allocation leaves the rows, marks, history and caret as they were; with the memory
// it needs each ends as it always does.
TEST_F(LinesTest, ExchangeUndoAndRedoFailingForMemoryAnywhereChangeNothing) {
  const std::string text = " MeshTextureCoords {\r\n  0;0;,\r\n\t1;1;,\r\n }\r\n MeshVertexColors {\r\n  1;\r\n" +
                           std::string(40, 'c') + "\r\n }\r\nend";
  for (int wrap : {0, 16}) {
    auto setUp = [&](TEditorDouble& editor) {
      if (wrap > 0) {
        editor.Store().WrapOption()->SetWrapByte(wrap);
        editor.Store().SwitchWordWrap(true);
      }
      editor.Lines().SetAllText(text);
      editor.Lines().Add("added ;,");
      editor.Store().SetRowMarkBits(1, 0x0008);
      editor.Store().IncludeMarks(0x0008);
      editor.FRow = 2;
    };
    TEditorDouble reference;
    setUp(reference);
    const std::vector<std::string> before = MarkedRowsOf(reference.Store());
    ExchangeAsWholeText(reference.Lines());
    const std::vector<std::string> after = MarkedRowsOf(reference.Store());
    ASSERT_NE(before, after);
    // Each of the three moves, its allocations failed one at a time.
    const std::function<void(TEditorDouble&)> moves[] = {
        [](TEditorDouble& e) { ExchangeAsWholeText(e.Lines()); },
        [](TEditorDouble& e) { e.Store().Undo(); },
        [](TEditorDouble& e) { e.Store().Redo(); },
    };
    for (int move = 0; move < 3; ++move) {
      const std::vector<std::string>& from = move == 1 ? after : before;
      const std::vector<std::string>& to = move == 1 ? before : after;
      for (long n = 1;; ++n) {
        const std::string where = "wrap " + std::to_string(wrap) + ", move " + std::to_string(move) +
                                  ", allocation " + std::to_string(n);
        TEditorDouble editor;
        setUp(editor);
        for (int done = 0; done < move; ++done) moves[done](editor);
        ASSERT_EQ(MarkedRowsOf(editor.Store()), from) << where;
        const int undoSteps = editor.Store().UndoObj()->UndoList().Count();
        const int redoSteps = editor.Store().UndoObj()->RedoList().Count();
        bool failed = false;
        bool threw = false;
        {
          testing::TFailingAllocation failure(n);
          try {
            moves[move](editor);
          } catch (const std::bad_alloc&) {
            threw = true;
          }
          failed = failure.Failed();
        }
        if (!threw) {
          ASSERT_EQ(MarkedRowsOf(editor.Store()), to) << where;
          if (!failed) break;
          continue;
        }
        ASSERT_EQ(MarkedRowsOf(editor.Store()), from) << where;
        EXPECT_EQ(editor.Store().UndoObj()->UndoList().Count(), undoSteps) << where;
        EXPECT_EQ(editor.Store().UndoObj()->RedoList().Count(), redoSteps) << where;
      }
    }
  }
}

TEST_F(LinesTest, AFailedSaveLeavesTheOldFileAndTheText) {
  Lines().SetAllText("text\r\n");
  EXPECT_THROW(Lines().SaveFile(FFolder.Path("no/such/folder/f.x")), EFileError);
  EXPECT_EQ(Lines().AllText(), "text\r\n");
}

}  // namespace
}  // namespace plomaret
