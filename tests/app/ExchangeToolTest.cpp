#include "app/ExchangeTool.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "FaultyFileOps.h"
#include "TestFiles.h"
#include "framework/core/FileOps.h"
#include "framework/core/Translate.h"

namespace plomaret {
namespace {

using testing::ReadBytes;
using testing::TScratchFolder;
using testing::WriteBytes;

const std::string kModel =
    "Mesh {\n"
    " MeshTextureCoords {\n"
    "  2;\n"
    "  0.000000;0.500000;,\n"
    "  1.000000;1.000000;;\n"
    " }\n"
    " MeshVertexColors {\n"
    "  1;\n"
    "  0;1.000000;1.000000;1.000000;1.000000;;;\n"
    " }\n"
    "}";

const std::string kExchanged =
    "Mesh {\r\n"
    " MeshTextureCoords {\r\n"
    "  2;\r\n"
    "  0.000000;0.500000;\r\n"
    "  1.000000;1.000000;;\r\n"
    " }\r\n"
    "//  MeshVertexColors {\r\n"
    "//   1;\r\n"
    "//   0;1.000000;1.000000;1.000000;1.000000;;;\r\n"
    "//  }\r\n"
    "}\r\n";

class ExchangeToolTest : public ::testing::Test {
 protected:
  int Run(std::vector<std::string> args) {
    args.insert(args.begin(), "plomaret-exchange");
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    FOut.str("");
    FErr.str("");
    return RunExchangeTool(static_cast<int>(argv.size()), argv.data(), FOut, FErr);
  }
  TScratchFolder FFolder;
  std::ostringstream FOut;
  std::ostringstream FErr;
};

TEST_F(ExchangeToolTest, WritesTheRewrittenFileWithCrLfAndReportsCounts) {
  const std::string in = FFolder.Path("in.x"), out = FFolder.Path("out.x");
  WriteBytes(in, kModel);
  ASSERT_EQ(Run({in, "-o", out}), 0) << FErr.str();
  EXPECT_EQ(ReadBytes(out), kExchanged);
  EXPECT_EQ(ReadBytes(in), kModel) << "the input is left alone";
  EXPECT_NE(FOut.str().find("1 texture-coordinate line lost its final comma, 4 vertex-colour lines commented out"),
            std::string::npos)
      << FOut.str();
}

// Each count reads right on its own, in both languages and in each shape of the line.
TEST(ExchangeReport, EveryCountReadsRight) {
  struct TRow {
    TLanguage Language;
    int64_t Commas, Lines;
    std::string Output, Backup;  // Output empty: in place
    std::string Expected;
  };
  const TRow rows[] = {
      {lnEnglish, 0, 0, "", "",
       "模型.x: 0 texture-coordinate lines lost their final comma, 0 vertex-colour lines commented out"},
      {lnEnglish, 1, 1, "", "",
       "模型.x: 1 texture-coordinate line lost its final comma, 1 vertex-colour line commented out"},
      {lnEnglish, 2, 2, "", "",
       "模型.x: 2 texture-coordinate lines lost their final comma, 2 vertex-colour lines commented out"},
      {lnEnglish, 1, 2, "", "",
       "模型.x: 1 texture-coordinate line lost its final comma, 2 vertex-colour lines commented out"},
      {lnEnglish, 2, 1, "", "",
       "模型.x: 2 texture-coordinate lines lost their final comma, 1 vertex-colour line commented out"},
      {lnEnglish, 0, 1, "", "",
       "模型.x: 0 texture-coordinate lines lost their final comma, 1 vertex-colour line commented out"},
      {lnEnglish, 1, 0, "", "",
       "模型.x: 1 texture-coordinate line lost its final comma, 0 vertex-colour lines commented out"},
      {lnEnglish, 1, 1, "out.x", "",
       "模型.x -> out.x: 1 texture-coordinate line lost its final comma, 1 vertex-colour line commented out"},
      {lnEnglish, 2, 0, "out.x", "",
       "模型.x -> out.x: 2 texture-coordinate lines lost their final comma, 0 vertex-colour lines commented out"},
      {lnEnglish, 1, 1, "", "模型.x.orig",
       "模型.x: 1 texture-coordinate line lost its final comma, 1 vertex-colour line commented out (original kept as "
       "模型.x.orig)"},
      {lnEnglish, 0, 2, "", "模型.x.orig",
       "模型.x: 0 texture-coordinate lines lost their final comma, 2 vertex-colour lines commented out (original kept "
       "as 模型.x.orig)"},
      {lnJapanese, 0, 1, "", "", "模型.x: テクスチャ座標 0 行の末尾のカンマを削除、頂点カラー 1 行をコメントアウト"},
      {lnJapanese, 1, 2, "", "", "模型.x: テクスチャ座標 1 行の末尾のカンマを削除、頂点カラー 2 行をコメントアウト"},
      {lnJapanese, 2, 0, "", "", "模型.x: テクスチャ座標 2 行の末尾のカンマを削除、頂点カラー 0 行をコメントアウト"},
      {lnJapanese, 1, 1, "out.x", "",
       "模型.x -> out.x: テクスチャ座標 1 行の末尾のカンマを削除、頂点カラー 1 行をコメントアウト"},
      {lnJapanese, 2, 1, "", "模型.x.orig",
       "模型.x: テクスチャ座標 2 行の末尾のカンマを削除、頂点カラー 1 行をコメントアウト (元のファイルは 模型.x.orig "
       "に保存)"},
  };
  for (const TRow& row : rows) {
    SetLanguage(row.Language);
    TFixupCounts counts;
    counts.CommasDropped = row.Commas;
    counts.LinesCommentedOut = row.Lines;
    const std::string output = row.Output.empty() ? "模型.x" : row.Output;
    EXPECT_EQ(ExchangeReport("模型.x", output, row.Backup, counts), row.Expected);
  }
}

TEST_F(ExchangeToolTest, HelpAndUsageFollowTheLanguage) {
  const std::pair<TLanguage, std::string> rows[] = {
      {lnEnglish, "usage: plomaret-exchange [--force] IN.x -o OUT.x\n"},
      {lnJapanese, "使い方: plomaret-exchange [--force] IN.x -o OUT.x\n"},
  };
  for (const auto& [language, usage] : rows) {
    SetLanguage(language);
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_EQ(FOut.str().substr(0, usage.size()), usage);
    EXPECT_EQ(Run({"a.x"}), 2);
    EXPECT_NE(FErr.str().find("\n" + usage), std::string::npos) << FErr.str();
  }
  EXPECT_NE(FErr.str().find("plomaret-exchange: 出力ファイルがありません: -o OUT.x か --in-place を指定してください\n"),
            std::string::npos)
      << FErr.str();
}

// A refusal from the file layer, the batch's verdict and the file's name (UTF-8 bytes
// as given) in Japanese.
TEST_F(ExchangeToolTest, RefusalsFollowTheLanguage) {
  SetLanguage(lnJapanese);
  const std::string file = FFolder.Path("読み取り専用.x");
  WriteBytes(file, kModel);
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  EXPECT_EQ(Run({"--in-place", file}), 1);
  EXPECT_EQ(FErr.str(), "plomaret-exchange: 「" + file +
                            "」は読み取り専用です。 --force を付けると、それでも置き換えます。\n"
                            "どのファイルも変更していません。\n");
}

TEST_F(ExchangeToolTest, InPlaceWithBackupKeepsTheOriginalBytes) {
  const std::string file = FFolder.Path("model.x");
  WriteBytes(file, kModel + "\x1a trailing");
  ::chmod(file.c_str(), 0604);
  ASSERT_EQ(Run({"--in-place", "--backup", ".orig", file}), 0) << FErr.str();
  EXPECT_EQ(ReadBytes(file), kExchanged);
  EXPECT_EQ(ReadBytes(file + ".orig"), kModel + "\x1a trailing");
  struct stat info {};
  ::stat(file.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0604u);
  ASSERT_EQ(Run({"--in-place", file}), 0);
  EXPECT_EQ(ReadBytes(file), kExchanged) << "a second run changes nothing";
}

TEST_F(ExchangeToolTest, ABadFileAmongManyChangesNone) {
  const std::string good = FFolder.Path("good.x"), binary = FFolder.Path("binary.x");
  WriteBytes(good, kModel);
  WriteBytes(binary, std::string("xof 0302bin\0\0", 13));
  EXPECT_EQ(Run({"--in-place", good, binary}), 1);
  EXPECT_NE(FErr.str().find(binary), std::string::npos) << FErr.str();
  EXPECT_NE(FErr.str().find("zero byte"), std::string::npos) << FErr.str();
  EXPECT_EQ(ReadBytes(good), kModel);
  EXPECT_EQ(testing::CountEntries(FFolder.Root()), 2u) << "temporary files were left behind";
}

TEST_F(ExchangeToolTest, MissingInputAndUnwritableTargetAreErrors) {
  const std::string missing = FFolder.Path("missing.x");
  EXPECT_EQ(Run({missing, "-o", FFolder.Path("out.x")}), 1);
  EXPECT_NE(FErr.str().find(missing), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(FFolder.Path("out.x")));

  const std::string in = FFolder.Path("in.x");
  WriteBytes(in, kModel);
  EXPECT_EQ(Run({in, "-o", FFolder.Path("no/folder/out.x")}), 1);
  EXPECT_NE(FErr.str().find("no/folder/out.x"), std::string::npos);
}

TEST_F(ExchangeToolTest, UsageErrorsExitWithTwo) {
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(Run({"a.x"}), 2);
  EXPECT_EQ(Run({"a.x", "b.x", "-o", "c.x"}), 2);
  EXPECT_EQ(Run({"--in-place", "a.x", "-o", "c.x"}), 2);
  EXPECT_EQ(Run({"--backup", ".bak", "a.x", "-o", "c.x"}), 2);
  EXPECT_EQ(Run({"--frobnicate", "a.x"}), 2);
  EXPECT_EQ(Run({"a.x", "-o"}), 2);
  EXPECT_NE(FErr.str().find("usage:"), std::string::npos);
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_NE(FOut.str().find("--in-place"), std::string::npos);
}

// As the window writes after Exchange: a text Exchange changes keeps no line without
// its end; one it leaves alone keeps its last line as it ended.
TEST_F(ExchangeToolTest, TheLastLineEndsWhenTheFileDidOrALineChanged) {
  const std::pair<std::string, std::string> rows[] = {
      {"", ""},
      {"a\nb", "a\r\nb"},
      {"a\r\nb\r\n", "a\r\nb\r\n"},
      {" MeshVertexColors {\nb", "//  MeshVertexColors {\r\n// b\r\n"},
  };
  for (const auto& [input, expected] : rows) {
    const std::string in = FFolder.Path("in.x"), out = FFolder.Path("out.x");
    WriteBytes(in, input);
    ASSERT_EQ(Run({in, "-o", out}), 0) << FErr.str();
    EXPECT_EQ(ReadBytes(out), expected) << input;
  }
}

TEST_F(ExchangeToolTest, BytesAfterTheEndMarkAreNeverDroppedWithoutACopy) {
  const std::string file = FFolder.Path("model.x");
  const std::string bytes = "Mesh {\r\n}\r\n\x1a" + std::string(120, 'z');
  WriteBytes(file, bytes);
  EXPECT_EQ(Run({"--in-place", file}), 1);
  EXPECT_NE(FErr.str().find("120 bytes after the end-of-file mark (0x1A) at byte 11 are not part of the text"),
            std::string::npos)
      << FErr.str();
  EXPECT_NE(FErr.str().find("--backup"), std::string::npos) << "says how to go on";
  EXPECT_EQ(ReadBytes(file), bytes);

  ASSERT_EQ(Run({"--in-place", "--backup", ".orig", file}), 0) << FErr.str();
  EXPECT_NE(FErr.str().find("were dropped; " + file + ".orig keeps them"), std::string::npos) << FErr.str();
  EXPECT_EQ(ReadBytes(file + ".orig"), bytes);
  EXPECT_EQ(ReadBytes(file), "Mesh {\r\n}\r\n");

  WriteBytes(file, "x\x1a");  // the mark alone ends many old files: nothing to report
  ASSERT_EQ(Run({"--in-place", file}), 0);
  EXPECT_EQ(FErr.str(), "");
}

// The refusal and the note after the end-of-file mark, for one byte and for two.
TEST_F(ExchangeToolTest, TheEndMarkNotesCountTheirBytesRight) {
  struct TRow {
    TLanguage Language;
    int Bytes;
    std::string Refusal, Note;  // %F stands for the file
  };
  const TRow rows[] = {
      {lnEnglish, 1,
       "%F: 1 byte after the end-of-file mark (0x1A) at byte 11 is not part of the text and would be lost; keep it "
       "with "
       "--backup SUFFIX, or write the result elsewhere with -o",
       "%F: 1 byte after the end-of-file mark (0x1A) at byte 11 is not part of the text and was dropped; %F.orig keeps "
       "it"},
      {lnEnglish, 2,
       "%F: 2 bytes after the end-of-file mark (0x1A) at byte 11 are not part of the text and would be lost; keep them "
       "with --backup SUFFIX, or write the result elsewhere with -o",
       "%F: 2 bytes after the end-of-file mark (0x1A) at byte 11 are not part of the text and were dropped; %F.orig "
       "keeps them"},
      {lnJapanese, 1,
       "%F: オフセット 11 にあるファイル終端記号 (0x1A) より後ろの 1 バイトはテキストに含まれず、失われます。--backup "
       "SUFFIX で残すか、-o で別のファイルに書き出してください",
       "%F: オフセット 11 にあるファイル終端記号 (0x1A) より後ろの 1 バイトはテキストに含まれないため書き出しません"
       "でした。それらは %F.orig に残っています"},
      {lnJapanese, 2,
       "%F: オフセット 11 にあるファイル終端記号 (0x1A) より後ろの 2 バイトはテキストに含まれず、失われます。--backup "
       "SUFFIX で残すか、-o で別のファイルに書き出してください",
       "%F: オフセット 11 にあるファイル終端記号 (0x1A) より後ろの 2 バイトはテキストに含まれないため書き出しません"
       "でした。それらは %F.orig に残っています"},
  };
  const std::string file = FFolder.Path("模型.x");
  const auto named = [&](std::string text) {
    for (size_t at; (at = text.find("%F")) != std::string::npos;) text.replace(at, 2, file);
    return text;
  };
  for (const TRow& row : rows) {
    SetLanguage(row.Language);
    WriteBytes(file, "Mesh {\r\n}\r\n\x1a" + std::string(row.Bytes, 'z'));
    EXPECT_EQ(Run({"--in-place", file}), 1);
    EXPECT_NE(FErr.str().find("plomaret-exchange: " + named(row.Refusal) + "\n"), std::string::npos) << FErr.str();
    ASSERT_EQ(Run({"--in-place", "--backup", ".orig", file}), 0) << FErr.str();
    EXPECT_EQ(FErr.str(), "plomaret-exchange: " + named(row.Note) + "\n");
    std::filesystem::remove(file + ".orig");
  }
}

TEST_F(ExchangeToolTest, ABackupReplacesAStrayLinkInsteadOfWritingThroughIt) {
  const std::string file = FFolder.Path("model.x"), other = FFolder.Path("precious.x");
  WriteBytes(file, kModel);
  WriteBytes(other, "precious");
  std::filesystem::create_symlink("precious.x", file + ".orig");
  ASSERT_EQ(Run({"--in-place", "--backup", ".orig", file}), 0) << FErr.str();
  EXPECT_EQ(ReadBytes(other), "precious");
  EXPECT_FALSE(std::filesystem::is_symlink(file + ".orig"));
  EXPECT_EQ(ReadBytes(file + ".orig"), kModel);
}

TEST_F(ExchangeToolTest, ReportsThatCannotBeWrittenMakeTheStatusOneAfterEveryFile) {
  const std::string a = FFolder.Path("a.x"), b = FFolder.Path("b.x");
  WriteBytes(a, kModel);
  WriteBytes(b, kModel);
  FOut.setstate(std::ios::badbit);  // a closed pipe or a full disk
  std::vector<const char*> argv{"plomaret-exchange", "--in-place", a.c_str(), b.c_str()};
  EXPECT_EQ(RunExchangeTool(static_cast<int>(argv.size()), argv.data(), FOut, FErr), 1);
  EXPECT_EQ(ReadBytes(a), kExchanged);
  EXPECT_EQ(ReadBytes(b), kExchanged);
}

TEST_F(ExchangeToolTest, LeftoversOfAStoppedRunAreNamedAndKept) {
  const std::string file = FFolder.Path("model.x");
  const std::string leftover = FFolder.Path(".model.x.plomaret-old-Ab12Cd");
  WriteBytes(file, kModel);
  WriteBytes(leftover, "half");
  ASSERT_EQ(Run({"--in-place", file}), 0);
  EXPECT_NE(FErr.str().find("warning: \"" + leftover + "\" was left by an earlier run"), std::string::npos) << FErr.str();
  EXPECT_EQ(ReadBytes(leftover), "half");
}

TEST_F(ExchangeToolTest, OneFileUnderTwoNamesIsRewrittenOnce) {
  const std::string file = FFolder.Path("model.x");
  WriteBytes(file, kModel);
  std::filesystem::create_symlink("model.x", FFolder.Path("alias.x"));
  ASSERT_EQ(Run({"--in-place", "--backup", ".orig", file, FFolder.Path("alias.x")}), 0) << FErr.str();
  EXPECT_EQ(ReadBytes(file + ".orig"), kModel) << "the second name would back up the new text";
  const std::string report = FOut.str();
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;
}

TEST_F(ExchangeToolTest, AFullTemporaryFolderIsNamedAsSuch) {
  const std::string models = FFolder.Path("models/"), temp = FFolder.Path("tmp/");
  std::filesystem::create_directories(models);
  std::filesystem::create_directories(temp);
  WriteBytes(models + "a.x", kModel);
  testing::TFaultyFileOps full(1, ENOSPC);
  full.NotWritable.insert(models);  // the new version has to wait in the temporary folder
  {
    testing::TScopedEnvironment inTemp("TMPDIR", temp);
    TScopedFileOps installed(full);
    EXPECT_EQ(Run({"--in-place", models + "a.x"}), 1);
  }
  EXPECT_NE(FErr.str().find("temporary copy in the folder \"" + temp + "\""), std::string::npos) << FErr.str();
  EXPECT_NE(FErr.str().find("No space left on device"), std::string::npos) << FErr.str();
}

TEST_F(ExchangeToolTest, AFileRewrittenInPlaceNamesItsOldVersionsCopyFirst) {
  const std::string file = FFolder.Path("model.x"), twin = FFolder.Path("twin.x");
  WriteBytes(file, kModel);
  std::filesystem::create_hard_link(file, twin);
  ASSERT_EQ(Run({"--in-place", file}), 0) << FErr.str();
  EXPECT_NE(FErr.str().find(file + " is rewritten in place"), std::string::npos) << FErr.str();
  EXPECT_NE(FErr.str().find("its old version is kept as \"" + FFolder.Root() + "/.model.x.plomaret-old-"),
            std::string::npos)
      << FErr.str();
  EXPECT_EQ(ReadBytes(twin), kExchanged) << "the link was broken";
  EXPECT_EQ(testing::CountEntries(FFolder.Root()), 2u) << "the copy was left behind";
}

TEST_F(ExchangeToolTest, ReplacingKeepsTheSetIdBits) {
  const std::string file = FFolder.Path("model.x");
  WriteBytes(file, kModel);
  ASSERT_EQ(::chmod(file.c_str(), 06750), 0);
  ASSERT_EQ(Run({"--in-place", file}), 0) << FErr.str();
  struct stat info {};
  ::stat(file.c_str(), &info);
  EXPECT_EQ(info.st_mode & 07777, 06750u);
}

// A backup written over another file of the batch would lose that file's old version
// while the report says the original was kept.
TEST_F(ExchangeToolTest, ABackupThatIsAnotherFileOfTheBatchIsRefusedFirst) {
  struct TCase {
    std::vector<std::string> Names;  // the files, all given to the run
    std::string Suffix;
    std::vector<std::pair<std::string, std::string>> HardLinks;  // made before the run: from, to
  };
  const TCase cases[] = {
      {{"model", "model.x"}, ".x", {}},
      {{"a.x", "a.x.orig"}, ".orig", {}},
      {{"a.x.orig", "a.x"}, ".orig", {}},
      {{"a.x", "b.x"}, ".orig", {{"b.x", "a.x.orig"}}},       // the backup's name is another input's second name
      {{"a.x", "b.x"}, ".orig", {{"a.x.orig", "b.x.orig"}}},  // two backups, one file
  };
  for (const TCase& test : cases) {
    TScratchFolder folder;
    std::vector<std::string> args{"--in-place", "--backup", test.Suffix};
    for (const std::string& name : test.Names) {
      WriteBytes(folder.Path(name), kModel + "// " + name + "\n");
      args.push_back(folder.Path(name));
    }
    for (const auto& [from, to] : test.HardLinks) {
      if (!std::filesystem::exists(folder.Path(from))) WriteBytes(folder.Path(from), "an earlier backup");
      std::filesystem::create_hard_link(folder.Path(from), folder.Path(to));
    }
    const size_t entries = testing::CountEntries(folder.Root());
    const std::string label = args[4] + " " + args[3] + " --backup " + test.Suffix;
    EXPECT_EQ(Run(args), 1) << label;
    EXPECT_NE(FErr.str().find("No file was changed."), std::string::npos) << label << "\n" << FErr.str();
    EXPECT_NE(FErr.str().find("backup"), std::string::npos) << label << "\n" << FErr.str();
    for (const std::string& name : test.Names) {
      EXPECT_EQ(ReadBytes(folder.Path(name)), kModel + "// " + name + "\n") << label << ": " << name;
    }
    EXPECT_EQ(testing::CountEntries(folder.Root()), entries) << label;
  }
}

// A pipe as input, output or backup is refused at once, and nothing is written.
TEST_F(ExchangeToolTest, APipeIsRefusedWithoutWaiting) {
  const std::string model = FFolder.Path("model.x"), pipe = FFolder.Path("pipe.x");
  WriteBytes(model, kModel);
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo((model + ".orig").c_str(), 0644), 0);
  const std::vector<std::vector<std::string>> runs{{"--in-place", pipe},
                                                   {pipe, "-o", FFolder.Path("out.x")},
                                                   {model, "-o", pipe},
                                                   {"--in-place", "--backup", ".orig", model}};
  for (const std::vector<std::string>& args : runs) {
    EXPECT_EQ(Run(args), 1) << args[1];
    EXPECT_NE(FErr.str().find("not a regular file"), std::string::npos) << FErr.str();
    EXPECT_NE(FErr.str().find("No file was changed."), std::string::npos) << FErr.str();
    EXPECT_EQ(ReadBytes(model), kModel);
    EXPECT_EQ(testing::CountEntries(FFolder.Root()), 3u) << args[1];
  }
}

TEST_F(ExchangeToolTest, AReadOnlyFileIsRefusedUnlessForced) {
  const std::string a = FFolder.Path("a.x"), b = FFolder.Path("b.x");
  WriteBytes(a, kModel);
  WriteBytes(b, kModel);
  ASSERT_EQ(::chmod(b.c_str(), 0444), 0);
  EXPECT_EQ(Run({"--in-place", a, b}), 1);
  EXPECT_NE(FErr.str().find("\"" + b + "\" is read-only."), std::string::npos) << FErr.str();
  EXPECT_NE(FErr.str().find("--force"), std::string::npos) << FErr.str();
  EXPECT_EQ(ReadBytes(a), kModel) << "a batch is all or nothing";
  EXPECT_EQ(ReadBytes(b), kModel);
  EXPECT_EQ(Run({a, "-o", b}), 1);
  EXPECT_EQ(ReadBytes(b), kModel);

  ASSERT_EQ(Run({"--in-place", "--force", a, b}), 0) << FErr.str();
  EXPECT_EQ(ReadBytes(a), kExchanged);
  EXPECT_EQ(ReadBytes(b), kExchanged);
  struct stat info {};
  ::stat(b.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0444u);
  EXPECT_EQ(testing::CountEntries(FFolder.Root()), 2u);
}

// Another program appends to the file while the tool reads it.
class TAppendingFileOps : public TFileOps {
 public:
  explicit TAppendingFileOps(std::string path) : FPath(std::move(path)) {}
  ssize_t Read(int handle, void* data, size_t size) override {
    if (!FAppended) {
      FAppended = true;
      const int other = ::open(FPath.c_str(), O_WRONLY | O_APPEND);
      EXPECT_EQ(::write(other, kAppended, sizeof(kAppended) - 1), static_cast<ssize_t>(sizeof(kAppended) - 1));
      ::close(other);
    }
    return TFileOps::Read(handle, data, size);
  }
  static constexpr char kAppended[] = "// added while it was read\n";

 private:
  std::string FPath;
  bool FAppended = false;
};

TEST_F(ExchangeToolTest, AFileThatChangesWhileItIsReadIsRefused) {
  const std::string file = FFolder.Path("model.x");
  for (const bool withBackup : {false, true}) {
    WriteBytes(file, kModel);
    TAppendingFileOps appending(file);
    TScopedFileOps installed(appending);
    std::vector<std::string> args{"--in-place", file};
    if (withBackup) args.insert(args.begin() + 1, {"--backup", ".orig"});
    EXPECT_EQ(Run(args), 1);
    EXPECT_NE(FErr.str().find("\"" + file + "\" changed while it was read"), std::string::npos) << FErr.str();
    EXPECT_NE(FErr.str().find("No file was changed."), std::string::npos) << FErr.str();
    EXPECT_EQ(ReadBytes(file), kModel + TAppendingFileOps::kAppended) << "the append was lost";
    EXPECT_EQ(testing::CountEntries(FFolder.Root()), 1u);
  }
}

// In a shared sticky folder (as /tmp) a file of someone else's cannot be renamed over,
// and a second name we gave it could not be removed again: it is rewritten in place
// beside a copy of our own, and nothing is left behind.
TEST_F(ExchangeToolTest, AnotherUsersFileInAStickyFolderLeavesNothingBehind) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root, to make a file of root's and run as another user";
  const uid_t nobody = 65534;
  ASSERT_EQ(::chmod(FFolder.Root().c_str(), 01777), 0);
  const std::string a = FFolder.Path("a.x"), b = FFolder.Path("b.x"), c = FFolder.Path("c.x");
  for (const std::string& file : {a, b, c}) WriteBytes(file, kModel);
  ASSERT_EQ(::chown(a.c_str(), nobody, nobody), 0);
  ASSERT_EQ(::chown(c.c_str(), nobody, nobody), 0);
  ASSERT_EQ(::chmod(b.c_str(), 0666), 0);  // root's, writable by all
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(3);
    ::_exit(Run({"--in-place", a, b, c}));
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  for (const std::string& file : {a, b, c}) EXPECT_EQ(ReadBytes(file), kExchanged) << file;
  struct stat info {};
  ::stat(b.c_str(), &info);
  EXPECT_EQ(info.st_uid, 0u) << "rewritten in place, it stays root's";
  EXPECT_EQ(testing::CountEntries(FFolder.Root()), 3u) << "a temporary name was left";
}

}  // namespace
}  // namespace plomaret
