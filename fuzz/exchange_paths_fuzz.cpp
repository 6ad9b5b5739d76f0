// Exchange two ways on random files: through the editor's Lines as the window runs
// it (loaded, word wrap on or off, rewritten where the rows stand, written as SaveAs
// writes), and streamed by the batch tool. Both must give the same bytes. A second
// editor runs the window's former way, through a working copy assigned back, after
// the same marks and edit: both must read alike, line by line, mark and caret (rows
// too, unless an edit left a line split otherwise than afresh). The window's way is
// one undo step: undo gives back every row and mark, redo the exchanged rows; an
// Exchange that changes no line changes nothing at all.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "app/ExchangeTool.h"
#include "app/XFileFixup.h"
#include "editor/EditorControl.h"
#include "framework/core/Exceptions.h"
#include "framework/core/FileReplacer.h"
#include "framework/core/TextFileReader.h"
#include "framework/headless/HeadlessPlatform.h"

namespace {

using namespace plomaret;

const char* const kKeywords[] = {" MeshTextureCoords {", " MeshVertexColors {", " }"};

// A file of the pieces the two paths could read differently.
std::string MakeFile(TFuzzInput& input) {
  static const char* const pieces[] = {"\r\n", "\r", "\n", ";,", "  0.5;0.5;,", "\x1a", "\x82\xa0", "\t", "// ", ""};
  std::string text;
  while (!input.Empty() && text.size() < 20000) {
    const int choice = input.Below(16);
    if (choice < 10) {
      text += pieces[choice];
    } else if (choice < 13) {
      text += kKeywords[choice - 10];
    } else if (choice == 13) {
      // A keyword cut anywhere, so pieces may join into one.
      const std::string keyword = kKeywords[input.Below(3)];
      const size_t cut = static_cast<size_t>(input.Below(static_cast<int>(keyword.size()) + 1));
      text += input.Below(2) == 0 ? keyword.substr(0, cut) : keyword.substr(cut);
    } else if (choice == 14) {
      text += std::string(static_cast<size_t>(input.Below(64)) * 50, 'x');  // long lines, wrapped in the editor
    } else {
      text += static_cast<char>(input.Byte());
    }
  }
  return text;
}

std::string ScratchFile(const char* name) {
  static const std::string folder = [] {
    std::string pattern = "/tmp/plomaret-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern + "/";
  }();
  return folder + name;
}

std::string ReadAll(const std::string& path) {
  std::string bytes;
  TTextFileReader(path).CopyBytes([&](std::string_view block) { bytes.append(block); });
  return bytes;
}

void WriteAll(const std::string& path, const std::string& bytes) { WriteFileReplacing(path, bytes); }

// Every row's text, how it ends and its marks.
std::vector<std::string> RowsWithMarks(const TEditorScreenStrings& store) {
  std::vector<std::string> rows;
  for (int r = 0; r < store.Count(); ++r) {
    rows.push_back(std::string(store.ViewAt(r)) + "|" + std::to_string(store.RowAttributes(r)) + "|" +
                   std::to_string(store.RowMarkBits(r)));
  }
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  UseHeadlessPlatform().HeadlessFontEngine().SetFixedMetrics({16, 13, 3, 0, 8, 16});
  TFuzzInput input(data, size);
  const int wrap = input.Byte();
  const std::string file = ScratchFile("model.x"), fromWindow = ScratchFile("window.x"),
                    fromTool = ScratchFile("tool.x");
  WriteAll(file, MakeFile(input));

  bool toolRefused = false;
  try {
    TFileReplacer output(fromTool);
    ExchangeFile(file, output);
    output.Commit();
  } catch (const EFileError&) {
    toolRefused = true;  // a zero byte: not text
  }

  auto makeEditor = [&] {
    TOwned<TEditor> editor = CreateWithoutOwner<TEditor>();
    editor->SetBounds(0, 0, 320, 200);
    editor->HandleNeeded();
    if ((wrap & 1) != 0) {
      editor->WrapOption()->SetWrapByte(20 + wrap % 40);
      editor->SetWordWrap(true);
    }
    return editor;
  };
  TOwned<TEditor> editor = makeEditor();
  bool windowRefused = false;
  try {
    editor->Lines()->LoadFile(file);
  } catch (const EFileError&) {
    windowRefused = true;
  }
  FUZZ_CHECK(windowRefused == toolRefused);
  if (windowRefused) return 0;

  TOwned<TEditor> reference = makeEditor();
  reference->Lines()->LoadFile(file);
  const int marked = input.Below(8);
  const int edited = input.Below(8);
  for (TEditor* e : {editor.get(), reference.get()}) {
    const int rows = e->ScreenStrings()->Count();
    if (rows > 0) e->SetRowMarks(marked % rows, static_cast<uint16_t>(1u << (marked % 16)));
    if ((wrap & 2) != 0 && rows > 0) {
      e->SetRowCol(edited % rows, 0);
      e->InsertText(" MeshVertexColors {\r\n;,");
    }
  }
  const std::vector<std::string> before = RowsWithMarks(*editor->ScreenStrings());
  const bool couldUndo = editor->CanUndo();
  const int row = editor->Row(), col = editor->Col();
  const TFixupCounts counts = ExchangeAsWholeText(*editor->Lines());
  ExchangeThroughWorkingCopy(*reference->Lines());
  const TEditorScreenStrings& rows = *editor->ScreenStrings();
  if (counts.CommasDropped + counts.LinesCommentedOut == 0) {
    FUZZ_CHECK(RowsWithMarks(rows) == before);
    FUZZ_CHECK(editor->CanUndo() == couldUndo);
    FUZZ_CHECK(editor->Row() == row && editor->Col() == col);
  } else {
    const TEditorScreenStrings& expected = *reference->ScreenStrings();
    FUZZ_CHECK(editor->Lines()->AllText() == reference->Lines()->AllText());
    if ((wrap & 2) == 0) FUZZ_CHECK(RowsWithMarks(rows) == RowsWithMarks(expected));
    int wraps = 0;
    for (int r = 0; r < rows.Count(); ++r) wraps += rows.RowAttributes(r) == raWrap ? 1 : 0;
    // The rewrite in place keeps the count of wrapped rows as a walk finds it.
    FUZZ_CHECK(rows.WrapRowCount() == wraps);
    FUZZ_CHECK(rows.Marks() == expected.Marks());
    FUZZ_CHECK(editor->CanUndo());
    FUZZ_CHECK(editor->Modified() == reference->Modified());
    FUZZ_CHECK(editor->Row() == reference->Row());
    FUZZ_CHECK(editor->Col() == reference->Col());
    const std::vector<std::string> after = RowsWithMarks(rows);
    editor->Undo();
    FUZZ_CHECK(RowsWithMarks(rows) == before);
    editor->Redo();
    FUZZ_CHECK(RowsWithMarks(rows) == after);
  }
  TFileReplacer output(fromWindow);
  editor->Lines()->WriteTo(output);
  output.Commit();
  if ((wrap & 2) == 0) FUZZ_CHECK(ReadAll(fromWindow) == ReadAll(fromTool));  // else the text was edited
  return 0;
}
