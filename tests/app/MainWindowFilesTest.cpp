// The main window guarding the text it holds: the save question on every way out or
// away from a modified text, Save, files changed on disk by another program, and files
// dropped on the window. Headless, with scripted answers, on real files.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <filesystem>

#include "TestFiles.h"
#include "app/Unit1.h"
#include "framework/core/CodePage.h"
#include "framework/core/Exceptions.h"
#include "framework/core/IniFile.h"
#include "framework/core/Translate.h"
#include "framework/gui/Keys.h"
#include "framework/gui/SystemInput.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;
namespace fs = std::filesystem;

struct TBox {
  std::string Text;
  uint32_t Buttons;  // MB_OK, MB_YESNO, MB_YESNOCANCEL
  bool Error;
  int DefaultButton;  // 0 for the first
};

class MainWindowFilesTest : public ::testing::Test {
 protected:
  MainWindowFilesTest() : FPlatform(UseHeadlessPlatform()) {
    FPlatform.ClearMessages();
    FDialogsBefore = FPlatform.FileDialogs().size();
    FForm = CreateWithoutOwner<TForm1>();
    FForm->SetProgramFile(FFolder.Path("plomaret.exe"));
    FForm->Show();
    fs::create_directory(FFolder.Path("docs"));
  }
  ~MainWindowFilesTest() override {
    // Whatever a case scripted and did not use must not reach the next one.
    for (int i = 0; i < 8; ++i) {
      FPlatform.ShowFileDialog({}, FDiscard);
      FPlatform.ShowMessageBox("", "", MB_YESNOCANCEL);
    }
    FPlatform.ClearMessages();
  }

  std::string Text() const { return FForm->Editor1->Lines()->AllText(); }
  std::string Plane() const { return FFolder.Path("docs/plane.x"); }
  // The file-name dialogs shown by this case, open (false) or save (true).
  std::vector<bool> Dialogs() const {
    std::vector<bool> kinds;
    for (size_t i = FDialogsBefore; i < FPlatform.FileDialogs().size(); ++i) kinds.push_back(FPlatform.FileDialogs()[i].Save);
    return kinds;
  }
  std::vector<TBox> Boxes() {
    std::vector<TBox> boxes;
    for (const auto& shown : FPlatform.Messages()) {
      boxes.push_back({shown.Text, shown.Flags & 0x0F, (shown.Flags & 0xF0) == MB_ICONERROR,
                       static_cast<int>((shown.Flags >> 8) & 0x0F)});
    }
    FPlatform.ClearMessages();
    return boxes;
  }
  // A key pressed and released over the editor, with the modifiers held, as the window
  // delivers it.
  void Press(int key, bool ctrl = false, bool shift = false) {
    FPlatform.SetKeyDown(VK_CONTROL, ctrl);
    FPlatform.SetKeyDown(VK_SHIFT, shift);
    TKeyInput input;
    input.VirtualKey = key;
    input.Modifiers = {shift, ctrl, false};
    input.Text = UsLayoutText(key, shift);
    FPlatform.SetKeyDown(key, true);
    if (SendKey(*FForm->Editor1, input)) {
      FPlatform.SetKeyDown(key, false);
      input.Press = false;
      SendKey(*FForm->Editor1, input);
    }
    FPlatform.SetKeyDown(VK_CONTROL, false);
    FPlatform.SetKeyDown(VK_SHIFT, false);
  }
  void Type(char letter) { Press(std::toupper(static_cast<unsigned char>(letter))); }
  void OpenPlane(const std::string& bytes) {
    WriteBytes(Plane(), bytes);
    FForm->OpenFile(Plane());
  }
  void Activate() { FForm->Perform(WM_ACTIVATE, 1); }
  void Drop(const TDroppedFiles& files) { FForm->Perform(WM_DROPFILES, reinterpret_cast<intptr_t>(&files), MakeLong(100, 100)); }
  // Another program rewrites a file: a size of its own, so the change shows whatever
  // the file system's clock.
  static void ChangeOnDisk(const std::string& path, const std::string& bytes) { WriteBytes(path, bytes); }

  THeadlessPlatform& FPlatform;
  testing::TScratchFolder FFolder;
  TOwned<TForm1> FForm;
  size_t FDialogsBefore = 0;
  std::string FDiscard;
};

// ---- The save question: every way out or away, every answer ----

enum class TWay { CloseButton, CtrlQ, CloseBox, SessionEnd, Open, Drop };
enum class TReply { Yes, YesNewText, YesSaveFails, YesSaveAsFails, YesSaveAsCancelled, No, Cancel, Unmodified };

std::string NameOf(TWay way) {
  const char* names[] = {"CloseButton", "CtrlQ", "CloseBox", "SessionEnd", "Open", "Drop"};
  return names[static_cast<int>(way)];
}
std::string NameOf(TReply reply) {
  const char* names[] = {"Yes", "YesNewText", "YesSaveFails", "YesSaveAsFails", "YesSaveAsCancelled", "No", "Cancel",
                         "Unmodified"};
  return names[static_cast<int>(reply)];
}

void PrintTo(TWay way, std::ostream* out) { *out << NameOf(way); }
void PrintTo(TReply reply, std::ostream* out) { *out << NameOf(reply); }

class SaveQuestionTest : public MainWindowFilesTest, public ::testing::WithParamInterface<std::tuple<TWay, TReply>> {
 protected:
  std::string Other() const { return FFolder.Path("other.x"); }
  // Takes the way out (or to another file); true when the window went on.
  bool TakeTheWay(TWay way) {
    switch (way) {
      case TWay::CloseButton: FForm->SpeedButton2Click(nullptr); return FForm->Closed();
      case TWay::CtrlQ: Press('Q', true); return FForm->Closed();
      case TWay::CloseBox: FForm->Perform(WM_CLOSE); return FForm->Closed();
      case TWay::SessionEnd: {
        const bool canEnd = FForm->Perform(WM_QUERYENDSESSION) != 0;
        EXPECT_FALSE(FForm->Closed()) << "the session's end asks; it does not close the window itself";
        return canEnd;
      }
      case TWay::Open:
        FPlatform.ScriptFileChoice(Other());
        FForm->SpeedButton5Click(nullptr);
        return FForm->CurrentFileName() == Other();
      case TWay::Drop: Drop({Other()}); return FForm->CurrentFileName() == Other();
    }
    return false;
  }
};

TEST_P(SaveQuestionTest, AModifiedTextIsNeverLostWithoutAQuestion) {
  const auto [way, reply] = GetParam();
  const bool hasFile = reply == TReply::Yes || reply == TReply::YesSaveFails || reply == TReply::No ||
                       reply == TReply::Cancel || reply == TReply::Unmodified;
  const std::string original = "Mesh {\r\n}\r\n";
  WriteBytes(Other(), "other\r\n");
  if (hasFile) OpenPlane(original);
  if (reply != TReply::Unmodified) Type('x');
  const std::string edited = Text();
  const std::string newText = FFolder.Path("new.x");
  switch (reply) {
    case TReply::Yes: FPlatform.ScriptAnswer(IDYES); break;
    case TReply::YesNewText:
      FPlatform.ScriptAnswer(IDYES);
      FPlatform.ScriptFileChoice(newText);
      break;
    case TReply::YesSaveFails:
      FPlatform.ScriptAnswer(IDYES);
      fs::remove_all(FFolder.Path("docs"));  // nowhere to write the file
      break;
    case TReply::YesSaveAsFails:
      FPlatform.ScriptAnswer(IDYES);
      FPlatform.ScriptFileChoice(FFolder.Root());  // a folder
      break;
    case TReply::YesSaveAsCancelled:
      FPlatform.ScriptAnswer(IDYES);
      FPlatform.ScriptFileChoice("");
      break;
    case TReply::No: FPlatform.ScriptAnswer(IDNO); break;
    case TReply::Cancel: FPlatform.ScriptCancel(); break;
    case TReply::Unmodified: break;
  }
  const bool shouldGoOn =
      reply == TReply::Yes || reply == TReply::YesNewText || reply == TReply::No || reply == TReply::Unmodified;

  const bool wentOn = TakeTheWay(way);
  EXPECT_EQ(wentOn, shouldGoOn);

  const std::vector<TBox> boxes = Boxes();
  if (reply == TReply::Unmodified) {
    EXPECT_TRUE(boxes.empty()) << "nothing to ask: " << boxes.front().Text;
    return;
  }
  ASSERT_FALSE(boxes.empty()) << "no question";
  EXPECT_EQ(boxes[0].Text, hasFile ? "Save changes to \"plane.x\"?" : "Save changes to the new text?");
  EXPECT_EQ(boxes[0].Buttons, MB_YESNOCANCEL);
  const bool fails = reply == TReply::YesSaveFails || reply == TReply::YesSaveAsFails;
  ASSERT_EQ(boxes.size(), fails ? 2u : 1u) << boxes.back().Text;
  if (fails) {
    EXPECT_TRUE(boxes[1].Error) << "the failed save is shown: " << boxes[1].Text;
  }

  // A save dialog only where there was no file to save to.
  const std::vector<bool> dialogs = Dialogs();
  const bool throughSaveAs = !hasFile;
  EXPECT_EQ(!dialogs.empty() && dialogs.front(), throughSaveAs);
  if (reply == TReply::Yes) {
    EXPECT_EQ(ReadBytes(Plane()), edited) << "saved to the current file";
  }
  if (reply == TReply::YesNewText) {
    EXPECT_EQ(ReadBytes(newText), edited) << "saved where SaveAs was told";
  }
  if (reply == TReply::No || reply == TReply::Cancel) {
    EXPECT_EQ(ReadBytes(Plane()), original) << "the file untouched";
  }
  if (reply == TReply::YesSaveAsFails) {
    EXPECT_EQ(testing::CountEntries(FFolder.Root()), 2u) << "docs and other.x: nothing left from the failed save";
  }

  if (!shouldGoOn) {
    EXPECT_EQ(Text(), edited) << "the text stays";
    EXPECT_TRUE(FForm->Editor1->Modified());
    EXPECT_TRUE(FForm->Editor1->CanUndo()) << "with its undo history";
    EXPECT_FALSE(FForm->Closed());
    EXPECT_EQ(FForm->CurrentFileName(), hasFile ? Plane() : "");
    EXPECT_EQ(std::count(dialogs.begin(), dialogs.end(), false), 0) << "the open dialog was not shown";
  } else if (way == TWay::SessionEnd && reply != TReply::No) {
    EXPECT_FALSE(FForm->Editor1->Modified()) << "saved: nothing left to lose";
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryWayEveryAnswer, SaveQuestionTest,
    ::testing::Combine(::testing::Values(TWay::CloseButton, TWay::CtrlQ, TWay::CloseBox, TWay::SessionEnd, TWay::Open,
                                         TWay::Drop),
                       ::testing::Values(TReply::Yes, TReply::YesNewText, TReply::YesSaveFails, TReply::YesSaveAsFails,
                                         TReply::YesSaveAsCancelled, TReply::No, TReply::Cancel, TReply::Unmodified)),
    [](const auto& info) { return NameOf(std::get<0>(info.param)) + "_" + NameOf(std::get<1>(info.param)); });

// ---- Save ----

TEST_F(MainWindowFilesTest, CtrlSWritesTheCurrentFileWithCrLfAndClearsModified) {
  OpenPlane("a\nb\n");
  Type('x');
  ASSERT_TRUE(FForm->Editor1->Modified());
  Press('S', true);
  EXPECT_EQ(ReadBytes(Plane()), "xa\r\nb\r\n") << "every line ended with CR LF";
  EXPECT_EQ(Text(), "xa\r\nb\r\n") << "Ctrl+S typed nothing";
  EXPECT_FALSE(FForm->Editor1->Modified());
  EXPECT_EQ(FForm->StatusBar1->SimpleText().find("Modified"), std::string::npos) << FForm->StatusBar1->SimpleText();
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(Dialogs().empty()) << "no dialog: the current file is known";
  EXPECT_EQ(testing::CountEntries(FFolder.Path("docs")), 1u) << "no temporary file left beside it";
  EXPECT_EQ(FForm->CurrentFileName(), Plane());

  // Nothing to ask about any more.
  FForm->Perform(WM_CLOSE);
  EXPECT_TRUE(FForm->Closed());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainWindowFilesTest, CtrlSWithoutAFileIsSaveAs) {
  Type('x');
  FPlatform.ScriptFileChoice("");
  Press('S', true);
  ASSERT_EQ(Dialogs(), std::vector<bool>{true}) << "the save dialog";
  EXPECT_TRUE(FForm->Editor1->Modified()) << "cancelled: nothing written";
  EXPECT_EQ(FForm->Caption(), "plomaret.exe");

  const std::string saved = FFolder.Path("saved.x");
  FPlatform.ScriptFileChoice(saved);
  Press('S', true);
  EXPECT_EQ(ReadBytes(saved), "x");
  EXPECT_FALSE(FForm->Editor1->Modified());
  EXPECT_EQ(Text(), "x") << "Ctrl+S typed nothing";
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(FForm->Caption(), "tavrino  : saved.x") << "the new text has its file now";

  Type('y');
  Press('S', true);
  EXPECT_EQ(Dialogs().size(), 2u) << "no dialog any more";
  EXPECT_EQ(ReadBytes(saved), "xy");
}

// Open plane.x, Exchange, SaveAs plane_fixed.x keeping the original, edit, Ctrl+S.
TEST_F(MainWindowFilesTest, AfterSaveAsTheSavedFileIsTheCurrentOne) {
  OpenPlane("Mesh {\r\n}\r\n");
  const std::string fixed = FFolder.Path("plane_fixed.x");  // another folder than the opened file's
  FForm->SpeedButton3Click(nullptr);
  // A SaveAs that fails or is cancelled changes nothing.
  FPlatform.ScriptFileChoice(FFolder.Root());  // a folder: the write fails
  Press('S', true, true);
  FPlatform.ScriptFileChoice("");
  Press('S', true, true);
  EXPECT_EQ(Boxes().size(), 2u) << "Complete, and the failure";
  EXPECT_EQ(FForm->Caption(), "tavrino  : plane.x");
  EXPECT_EQ(FForm->CurrentFileName(), Plane());

  FPlatform.ScriptFileChoice(fixed);
  Press('S', true, true);
  EXPECT_EQ(FForm->Caption(), "tavrino  : plane_fixed.x");
  EXPECT_EQ(FForm->CurrentFileName(), fixed);
  Type('x');
  Press('S', true);
  EXPECT_EQ(ReadBytes(Plane()), "Mesh {\r\n}\r\n") << "the original kept";
  EXPECT_EQ(ReadBytes(fixed), Text());
  EXPECT_NE(Text().find('x'), std::string::npos);
  EXPECT_EQ(Dialogs(), (std::vector<bool>{true, true, true})) << "Ctrl+S asked for no name";
  EXPECT_EQ(TIniFile(FFolder.Path("plomaret.ini")).ReadString("filepath", "filepath", ""), FFolder.Path("docs/"))
      << "Open still starts where the last file was opened";
  FPlatform.ScriptFileChoice("");
  Press('S', true, true);
  EXPECT_EQ(FPlatform.FileDialogs().back().FileName, fixed) << "SaveAs proposes the saved file";

  // The check for changes on disk follows it too.
  ChangeOnDisk(Plane(), "changed, longer\r\n");
  Activate();
  EXPECT_TRUE(Boxes().empty()) << "the original is no longer this window's file";
  ChangeOnDisk(fixed, "changed, longer\r\n");
  FPlatform.ScriptAnswer(IDNO);
  Activate();
  std::vector<TBox> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text.find("\"plane_fixed.x\" was changed by another program"), 0u) << boxes[0].Text;

  Type('y');
  FPlatform.ScriptCancel();
  FForm->Perform(WM_CLOSE);
  boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, "Save changes to \"plane_fixed.x\"?");
}

// ---- Files the user may not write ----

TEST_F(MainWindowFilesTest, AReadOnlyFileIsReplacedOnlyAfterAYes) {
  OpenPlane("one\r\n");
  fs::permissions(Plane(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  Type('x');

  FPlatform.ScriptAnswer(IDNO);
  Press('S', true);
  std::vector<TBox> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, "\"plane.x\" is read-only. Save it anyway?");
  EXPECT_EQ(boxes[0].Buttons, MB_YESNO);
  EXPECT_EQ(boxes[0].DefaultButton, 1) << "No unless the person chooses Yes";
  EXPECT_EQ(ReadBytes(Plane()), "one\r\n") << "No: nothing written";
  EXPECT_TRUE(FForm->Editor1->Modified());

  // Closing with Yes to saving meets the same question; No keeps the window open.
  FPlatform.ScriptAnswer(IDYES);
  FPlatform.ScriptAnswer(IDNO);
  FForm->Perform(WM_CLOSE);
  EXPECT_FALSE(FForm->Closed());
  EXPECT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(ReadBytes(Plane()), "one\r\n");

  FPlatform.ScriptAnswer(IDYES);
  Press('S', true);
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(ReadBytes(Plane()), "xone\r\n") << "Yes: saved";
  EXPECT_FALSE(FForm->Editor1->Modified());
}

TEST_F(MainWindowFilesTest, SaveAsOntoAReadOnlyFileAsksTheSame) {
  OpenPlane("one\r\n");
  const std::string theirs = FFolder.Path("theirs.x");
  WriteBytes(theirs, "theirs\r\n");
  fs::permissions(theirs, fs::perms::owner_read);
  Type('x');
  FPlatform.ScriptFileChoice(theirs);
  FPlatform.ScriptAnswer(IDNO);
  Press('S', true, true);
  std::vector<TBox> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, "\"theirs.x\" is read-only. Save it anyway?");
  EXPECT_EQ(ReadBytes(theirs), "theirs\r\n");
  EXPECT_EQ(FForm->CurrentFileName(), Plane()) << "nothing saved: the current file stays";
  EXPECT_EQ(FForm->Caption(), "tavrino  : plane.x");
  EXPECT_TRUE(FForm->Editor1->Modified());

  FPlatform.ScriptFileChoice(theirs);
  FPlatform.ScriptAnswer(IDYES);
  Press('S', true, true);
  EXPECT_EQ(ReadBytes(theirs), "xone\r\n");
  EXPECT_EQ(FForm->CurrentFileName(), theirs);
}

// ---- Files that are no regular files ----

// Opening a FIFO waits for its other end: a fault there would hang CTest, so the case
// ends the test program with a message instead.
class TDeadline {
 public:
  explicit TDeadline(unsigned seconds) {
    std::signal(SIGALRM, [](int) {
      static const char kMessage[] = "the main window hung on a FIFO\n";
      (void)!::write(2, kMessage, sizeof kMessage - 1);
      ::_exit(1);
    });
    ::alarm(seconds);
  }
  ~TDeadline() {
    ::alarm(0);
    std::signal(SIGALRM, SIG_DFL);
  }
};

TEST_F(MainWindowFilesTest, AFifoIsRefusedEveryWayAndTheTextStays) {
  TDeadline deadline(20);
  OpenPlane("one\r\n");
  Type('x');
  const std::string fifo = FFolder.Path("fifo.x");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto expectUnchanged = [&](const std::string& way) {
    EXPECT_EQ(Text(), "xone\r\n") << way;
    EXPECT_TRUE(FForm->Editor1->Modified() && FForm->Editor1->CanUndo()) << way;
    EXPECT_EQ(FForm->CurrentFileName(), Plane()) << way;
    EXPECT_EQ(FForm->Caption(), "tavrino  : plane.x") << way;
  };
  auto expectRefusal = [&](const std::string& way, size_t questions) {
    const std::vector<TBox> boxes = Boxes();
    ASSERT_EQ(boxes.size(), questions + 1) << way;
    EXPECT_TRUE(boxes.back().Error) << way << ": " << boxes.back().Text;
    EXPECT_NE(boxes.back().Text.find("fifo.x"), std::string::npos) << way << ": names the file: " << boxes.back().Text;
  };

  // As `plomaret fifo.x` opens it.
  try {
    FForm->OpenFile(fifo);
    ADD_FAILURE() << "a FIFO opened";
  } catch (const EFileError& error) {
    EXPECT_NE(std::string(error.what()).find("fifo.x"), std::string::npos) << error.what();
  }
  expectUnchanged("command line");

  FPlatform.ScriptAnswer(IDNO);  // the edit is not saved first
  Drop({fifo});
  expectRefusal("drop", 1);
  expectUnchanged("drop");

  // The current file replaced on disk by a FIFO.
  fs::remove(Plane());
  ASSERT_EQ(::mkfifo(Plane().c_str(), 0600), 0);
  FPlatform.ScriptAnswer(IDYES);
  Activate();
  const std::vector<TBox> reload = Boxes();
  ASSERT_EQ(reload.size(), 2u);
  EXPECT_EQ(reload[0].Text.find("\"plane.x\" was changed"), 0u) << reload[0].Text;
  EXPECT_TRUE(reload[1].Error) << reload[1].Text;
  expectUnchanged("reload");

  FPlatform.ScriptAnswer(IDYES);  // overwrite what changed
  Press('S', true);
  const std::vector<TBox> save = Boxes();
  ASSERT_EQ(save.size(), 2u);
  EXPECT_TRUE(save[1].Error) << save[1].Text;
  EXPECT_NE(save[1].Text.find("plane.x"), std::string::npos) << save[1].Text;
  expectUnchanged("Ctrl+S");
  EXPECT_TRUE(fs::is_fifo(Plane())) << "left as it is";

  // The window is still usable.
  Type('y');
  EXPECT_EQ(Text(), "xyone\r\n");
}

// ---- File names that are not UTF-8 ----

struct TNameRow {
  const char* Bytes;  // the file name as the system has it
  const char* Shown;  // in the caption (Shift-JIS)
};

// プレーン in Shift-JIS and in UTF-8; "・" (0x81 0x45) for a byte that is no character.
const TNameRow kNames[] = {
    {"\x83\x76\x83\x8C\x81\x5B\x83\x93.x", "\x83\x76\x83\x8C\x81\x5B\x83\x93.x"},
    {"\xE3\x83\x97\xE3\x83\xAC\xE3\x83\xBC\xE3\x83\xB3.x", "\x83\x76\x83\x8C\x81\x5B\x83\x93.x"},
    {"\x83\x76\xFF\x80.x", "\x83\x76\x81\x45\x81\x45.x"},
    {"a\x83.x", "a\x81\x45.x"},  // a lead byte without its trail byte
    {"a\xA0" "b\x81", "a\x81\x45" "b\x81\x45"},
};

TEST_F(MainWindowFilesTest, ANameThatIsNotUtf8IsShownAsTheSystemReadsItAndKeptExactly) {
  for (const TNameRow& row : kNames) {
    const std::string path = FFolder.Path("docs/") + row.Bytes;
    WriteBytes(path, "one\r\n");
    FForm->OpenFile(path);
    const std::string shown = row.Shown;
    EXPECT_EQ(FForm->Caption(), "tavrino  : " + shown) << Cp932ToUtf8(FForm->Caption());
    EXPECT_EQ(FForm->CurrentFileName(), path);
    Type('x');
    Press('S', true);
    EXPECT_EQ(ReadBytes(path), "xone\r\n") << "saved to the same file";
    EXPECT_EQ(testing::CountEntries(FFolder.Path("docs")), 1u) << "no file under another name";
    Type('y');
    FPlatform.ScriptCancel();
    FForm->Perform(WM_CLOSE);
    const std::vector<TBox> boxes = Boxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.front().Text, "Save changes to \"" + shown + "\"?") << Cp932ToUtf8(boxes.front().Text);
    fs::remove(path);
  }
}

// In Japanese too, and in an error from the file layer (UTF-8 with the name's bytes in it).
TEST_F(MainWindowFilesTest, NamesInMessagesAreShownAsInTheCaptionInEitherLanguage) {
  const struct {
    TLanguage Language;
    const char* Before;  // the save question around the name (UTF-8)
    const char* After;
  } languages[] = {{lnEnglish, "Save changes to \"", "\"?"}, {lnJapanese, "「", "」への変更を保存しますか?"}};
  for (const auto& language : languages) {
    SetLanguage(language.Language);
    for (const TNameRow& row : kNames) {
      const std::string path = FFolder.Path("docs/") + row.Bytes;
      WriteBytes(path, "one\r\n");
      FForm->OpenFile(path);
      Type('x');
      FPlatform.ScriptAnswer(IDNO);
      Drop({FFolder.Path("missing/") + row.Bytes});
      const std::vector<TBox> boxes = Boxes();
      ASSERT_EQ(boxes.size(), 2u);
      EXPECT_EQ(boxes[0].Text, Utf8ToCp932(language.Before) + row.Shown + Utf8ToCp932(language.After))
          << Cp932ToUtf8(boxes[0].Text);
      EXPECT_TRUE(boxes[1].Error);
      EXPECT_NE(boxes[1].Text.find(std::string("missing/") + row.Shown), std::string::npos)
          << Cp932ToUtf8(boxes[1].Text);
      fs::remove(path);
    }
  }
  SetLanguage(lnEnglish);
}

TEST_F(MainWindowFilesTest, ASaveThatFailsKeepsTheTextModified) {
  OpenPlane("a\r\n");
  Type('x');
  fs::remove_all(FFolder.Path("docs"));
  Press('S', true);
  const std::vector<TBox> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].Error) << boxes[0].Text;
  EXPECT_TRUE(FForm->Editor1->Modified());
  EXPECT_NE(FForm->StatusBar1->SimpleText().find("Modified"), std::string::npos);
}

// ---- Files changed by another program ----

TEST_F(MainWindowFilesTest, ActivationOffersAChangedFileOnceAndNoKeepsTheTextAndItsUndo) {
  Activate();
  EXPECT_TRUE(Boxes().empty()) << "no file: nothing to check";
  OpenPlane("one\r\n");
  Activate();
  EXPECT_TRUE(Boxes().empty()) << "unchanged";
  Type('x');
  ChangeOnDisk(Plane(), "two, longer\r\n");

  FPlatform.ScriptAnswer(IDNO);
  Activate();
  std::vector<TBox> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Buttons, MB_YESNO);
  EXPECT_EQ(boxes[0].Text.find("\"plane.x\" was changed by another program"), 0u) << boxes[0].Text;
  EXPECT_EQ(Text(), "xone\r\n");
  EXPECT_TRUE(FForm->Editor1->Modified());
  EXPECT_TRUE(FForm->Editor1->CanUndo());
  FForm->Editor1->Undo();
  EXPECT_EQ(Text(), "one\r\n") << "the undo history is the same";

  Activate();
  Activate();
  EXPECT_TRUE(Boxes().empty()) << "the same change is not asked about again";

  // A further change is a new one; Yes reloads it.
  ChangeOnDisk(Plane(), "three, longer still\r\n");
  FPlatform.ScriptAnswer(IDYES);
  Activate();
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Text(), "three, longer still\r\n");
  EXPECT_FALSE(FForm->Editor1->Modified());
  EXPECT_FALSE(FForm->Editor1->CanUndo()) << "a fresh load";
  EXPECT_EQ(FForm->Caption(), "tavrino  : plane.x");
  EXPECT_EQ(FForm->CurrentFileName(), Plane());
  Activate();
  EXPECT_TRUE(Boxes().empty()) << "what was reloaded is no change";
}

TEST_F(MainWindowFilesTest, ATimeChangeAloneCountsAndTheProgramsOwnSaveDoesNot) {
  OpenPlane("same\r\n");
  // Same bytes, same size, only the time moved.
  fs::last_write_time(Plane(), fs::last_write_time(Plane()) + std::chrono::seconds(10));
  FPlatform.ScriptAnswer(IDNO);
  Activate();
  EXPECT_EQ(Boxes().size(), 1u) << "a new time is a change";

  // The window's own save is not another program's change.
  FPlatform.ScriptAnswer(IDYES);  // overwrite what was seen changed
  Type('x');
  Press('S', true);
  EXPECT_EQ(Boxes().size(), 1u) << "the overwrite question";
  EXPECT_EQ(ReadBytes(Plane()), "xsame\r\n");
  Activate();
  EXPECT_TRUE(Boxes().empty());

  // A file gone from the disk is nothing to reload.
  fs::remove(Plane());
  Activate();
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainWindowFilesTest, SavingOverAChangedFileAsksFirst) {
  OpenPlane("one\r\n");
  Type('x');
  ChangeOnDisk(Plane(), "theirs, longer\r\n");
  FPlatform.ScriptAnswer(IDNO);
  Press('S', true);
  std::vector<TBox> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Buttons, MB_YESNO);
  EXPECT_EQ(boxes[0].Text, "\"plane.x\" was changed by another program since it was loaded. Overwrite it?");
  EXPECT_EQ(ReadBytes(Plane()), "theirs, longer\r\n") << "No: the file untouched";
  EXPECT_TRUE(FForm->Editor1->Modified());

  // SaveAs onto the same file asks the same.
  FPlatform.ScriptFileChoice(Plane());
  FPlatform.ScriptAnswer(IDNO);
  Press('S', true, true);
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(ReadBytes(Plane()), "theirs, longer\r\n");

  // Having said No to reloading does not make the overwrite safe.
  FPlatform.ScriptAnswer(IDNO);
  Activate();
  FPlatform.ScriptAnswer(IDYES);
  Press('S', true);
  EXPECT_EQ(Boxes().size(), 2u) << "the reload question, then the overwrite question";
  EXPECT_EQ(ReadBytes(Plane()), "xone\r\n") << "Yes: overwritten";
  EXPECT_FALSE(FForm->Editor1->Modified());

  // Closing with the question answered Yes meets the same check.
  Type('y');
  ChangeOnDisk(Plane(), "theirs again, longer\r\n");
  FPlatform.ScriptAnswer(IDYES);  // save the changes
  FPlatform.ScriptAnswer(IDNO);   // but not over their file
  FForm->Perform(WM_CLOSE);
  EXPECT_FALSE(FForm->Closed()) << "nothing was saved, so nothing goes on";
  EXPECT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(ReadBytes(Plane()), "theirs again, longer\r\n");

  // SaveAs onto another file does not ask.
  FPlatform.ScriptFileChoice(FFolder.Path("elsewhere.x"));
  Press('S', true, true);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ReadBytes(FFolder.Path("elsewhere.x")), Text());
}

// ---- Dropped files ----

TEST_F(MainWindowFilesTest, ADroppedFileOpensAsOpenDoes) {
  const std::string plane = FFolder.Path("plane.x");
  WriteBytes(plane, "Mesh {\r\n}\r\n");
  Drop({plane});
  EXPECT_EQ(Text(), "Mesh {\r\n}\r\n");
  EXPECT_EQ(FForm->Caption(), "tavrino  : plane.x");
  EXPECT_EQ(FForm->CurrentFileName(), plane);
  EXPECT_FALSE(FForm->Editor1->Modified());
  EXPECT_EQ(TIniFile(FFolder.Path("plomaret.ini")).ReadString("filepath", "filepath", ""), FFolder.Root() + "/")
      << "its folder is where Open starts next";
  EXPECT_TRUE(Boxes().empty());

  Drop({});
  EXPECT_EQ(FForm->CurrentFileName(), plane) << "an empty drop changes nothing";
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainWindowFilesTest, AFileNamedRelativeToTheWorkingFolderIsKeptWithItsFolder) {
  WriteBytes(FFolder.Path("plane.x"), "Mesh {\r\n}\r\n");
  const fs::path started = fs::current_path();
  fs::current_path(FFolder.Root());
  // As `plomaret plane.x` started in that folder names it.
  FForm->OpenFile("plane.x");
  // And a name given to SaveAs so.
  FPlatform.ScriptFileChoice("copy.x");
  Press('S', true, true);
  fs::current_path(started);
  EXPECT_EQ(TIniFile(FFolder.Path("plomaret.ini")).ReadString("filepath", "filepath", ""), FFolder.Root() + "/");
  EXPECT_EQ(FForm->CurrentFileName(), FFolder.Path("copy.x")) << "the same file wherever the program is working";
  Type('x');
  Press('S', true);
  EXPECT_EQ(ReadBytes(FFolder.Path("copy.x")), "xMesh {\r\n}\r\n");
}

TEST_F(MainWindowFilesTest, OfSeveralDroppedFilesTheFirstOpensAndAMessageNamesTheRest) {
  for (const char* name : {"a.x", "b.x", "c.x"}) WriteBytes(FFolder.Path(name), std::string(name) + "\r\n");
  Drop({FFolder.Path("a.x"), FFolder.Path("b.x"), FFolder.Path("c.x")});
  EXPECT_EQ(Text(), "a.x\r\n");
  std::vector<TBox> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, "Only \"a.x\" was opened; 2 other files were not.");
  EXPECT_EQ(boxes[0].Buttons, MB_OK);

  Drop({FFolder.Path("c.x"), FFolder.Path("b.x")});
  EXPECT_EQ(Text(), "c.x\r\n");
  boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, "Only \"c.x\" was opened; 1 other file was not.");
}

TEST_F(MainWindowFilesTest, ADroppedFileThatCannotBeReadLeavesTheDocumentAsItWas) {
  OpenPlane("Mesh {\r\n}\r\n");
  Type('x');
  const std::string edited = Text();
  WriteBytes(FFolder.Path("binary.x"), std::string("a\0b", 3));
  fs::create_directory(FFolder.Path("sub"));
  WriteBytes(FFolder.Path("good.x"), "good\r\n");
  for (const std::string bad : {"missing.x", "sub", "binary.x"}) {
    FPlatform.ScriptAnswer(IDNO);  // the edit is not saved first
    Drop({FFolder.Path(bad), FFolder.Path("good.x")});
    const std::vector<TBox> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u) << bad;
    EXPECT_EQ(boxes[0].Buttons, MB_YESNOCANCEL) << bad;
    EXPECT_TRUE(boxes[1].Error) << bad << ": " << boxes[1].Text;
    EXPECT_NE(boxes[1].Text.find(bad), std::string::npos) << "names the file: " << boxes[1].Text;
    EXPECT_EQ(Text(), edited) << bad;
    EXPECT_TRUE(FForm->Editor1->Modified() && FForm->Editor1->CanUndo()) << bad;
    EXPECT_EQ(FForm->Caption(), "tavrino  : plane.x") << bad;
    EXPECT_EQ(FForm->CurrentFileName(), Plane()) << bad;
  }
}

}  // namespace
}  // namespace plomaret
