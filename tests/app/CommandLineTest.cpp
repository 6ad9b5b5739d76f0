// The window program's command line: what it opens, what it prints and the exit code
// it stops with.

#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include "framework/core/Translate.h"

namespace plomaret {
namespace {

struct TAnswer {
  int Code;
  std::string Out;
  std::string Err;
};

TAnswer Answer(const std::vector<std::string>& args) {
  TAnswer answer{};
  answer.Code = AnswerCommandLine(ParseCommandLine(args), answer.Out, answer.Err);
  return answer;
}

TEST(CommandLine, NoArgumentOrOneFileOpensTheWindow) {
  const TCommandLine none = ParseCommandLine({});
  EXPECT_EQ(none.Action, TCommandLine::clRun);
  EXPECT_EQ(none.File, "");

  for (const std::string file : {"plane.x", "/tmp/a b.x", "-", "日本.x"}) {
    const TCommandLine line = ParseCommandLine({file});
    EXPECT_EQ(line.Action, TCommandLine::clRun) << file;
    EXPECT_EQ(line.File, file) << "the name exactly as given";
    const TAnswer answer = Answer({file});
    EXPECT_EQ(answer.Code, -1) << "the window opens";
    EXPECT_EQ(answer.Out + answer.Err, "") << "nothing is printed";
  }
}

TEST(CommandLine, HelpAndVersionPrintAndStopWithZero) {
  for (const std::string option : {"--help", "-h"}) {
    const TAnswer help = Answer({option});
    EXPECT_EQ(help.Code, 0) << option;
    EXPECT_EQ(help.Err, "");
    EXPECT_EQ(help.Out, HelpText());
    EXPECT_EQ(help.Out.rfind(UsageLine(), 0), 0u) << "help starts with the usage line";
  }
  const TAnswer version = Answer({"--version"});
  EXPECT_EQ(version.Code, 0);
  EXPECT_EQ(version.Err, "");
  EXPECT_EQ(version.Out.rfind("plomaret ", 0), 0u) << version.Out;
  EXPECT_EQ(version.Out.back(), '\n');

  // The first of them wins; a file beside them opens nothing.
  EXPECT_EQ(ParseCommandLine({"--version", "--help"}).Action, TCommandLine::clVersion);
  EXPECT_EQ(ParseCommandLine({"--help", "--version"}).Action, TCommandLine::clHelp);
  EXPECT_EQ(ParseCommandLine({"plane.x", "--help"}).Action, TCommandLine::clHelp);
  EXPECT_EQ(Answer({"plane.x", "--version"}).Out, VersionText());
}

TEST(CommandLine, DoubleDashMakesTheRestFileNames) {
  const TCommandLine dashed = ParseCommandLine({"--", "-x.x"});
  EXPECT_EQ(dashed.Action, TCommandLine::clRun);
  EXPECT_EQ(dashed.File, "-x.x");
  EXPECT_EQ(ParseCommandLine({"--", "--help"}).File, "--help") << "no longer an option";
  EXPECT_EQ(ParseCommandLine({"--", "--"}).File, "--") << "only the first ends the options";
  EXPECT_EQ(ParseCommandLine({"plane.x", "--"}).File, "plane.x");
  EXPECT_EQ(ParseCommandLine({"--", "-x.x", "b.x"}).Action, TCommandLine::clError) << "still one file";
}

TEST(CommandLine, MistakesPrintTheUsageOnStderrAndStopWithTwo) {
  struct TCase {
    std::vector<std::string> Args;
    std::string Says;
  };
  const TCase cases[] = {
      {{"a.x", "b.x"}, "'b.x'"},
      {{"--bogus"}, "'--bogus'"},
      {{"-x.x"}, "'-x.x'"},
      {{"a.x", "--bogus"}, "'--bogus'"},
      {{"--bogus", "--help"}, "'--bogus'"},
      {{""}, "empty"},
      {{"-v"}, "'-v'"},
      {{"-version"}, "'-version'"},
      {{"---help"}, "'---help'"},
      {{"-platform"}, "'-platform' needs a value"},
      {{"a.x", "--style"}, "'--style' needs a value"},
      {{"-platform", "offscreen", "--bogus"}, "'--bogus'"},
  };
  for (const TCase& c : cases) {
    const std::string shown = testing::PrintToString(c.Args);
    EXPECT_EQ(ParseCommandLine(c.Args).Action, TCommandLine::clError) << shown;
    const TAnswer answer = Answer(c.Args);
    EXPECT_EQ(answer.Code, 2) << shown;
    EXPECT_EQ(answer.Out, "") << shown;
    EXPECT_EQ(answer.Err.rfind("plomaret: ", 0), 0u) << answer.Err;
    EXPECT_NE(answer.Err.find(c.Says), std::string::npos) << answer.Err;
    EXPECT_TRUE(answer.Err.ends_with("\n" + UsageLine())) << answer.Err;
  }
  EXPECT_EQ(ParseCommandLine({"a.x", "b.x"}).File, "") << "nothing to open after a mistake";
}

TEST(CommandLine, QtsOwnOptionsAreSetAsideForQtWithTheirValues) {
  struct TCase {
    std::vector<std::string> Args;
    std::vector<std::string> Qt;
    std::string File;
  };
  const TCase cases[] = {
      {{"-platform", "offscreen", "a.x"}, {"-platform", "offscreen"}, "a.x"},
      {{"a.x", "--platform", "xcb"}, {"--platform", "xcb"}, "a.x"},
      {{"-style=fusion", "-reverse", "-qwindowtitle", "-not-an-option"}, {"-style=fusion", "-reverse", "-qwindowtitle", "-not-an-option"}, ""},
      {{"-display", ":1", "--", "-reverse"}, {"-display", ":1"}, "-reverse"},  // after "--" a file name
      {{"-nograb", "--name", "plomaret", "a.x"}, {"-nograb", "--name", "plomaret"}, "a.x"},
  };
  for (const TCase& c : cases) {
    const TCommandLine line = ParseCommandLine(c.Args);
    EXPECT_EQ(line.Action, TCommandLine::clRun) << testing::PrintToString(c.Args);
    EXPECT_EQ(line.QtArgs, c.Qt) << testing::PrintToString(c.Args);
    EXPECT_EQ(line.File, c.File) << testing::PrintToString(c.Args);
  }
}

TEST(CommandLine, MistakesAndHelpAreInTheUsersLanguage) {
  SetLanguage(lnJapanese);
  const TAnswer wrong = Answer({"--bogus"});
  EXPECT_EQ(wrong.Code, 2);
  EXPECT_EQ(wrong.Err, "plomaret: 不明なオプションです: '--bogus'\n使い方: plomaret [FILE.x] | --help | --version\n");
  const TAnswer help = Answer({"--help"});
  EXPECT_EQ(help.Out.rfind("使い方: plomaret ", 0), 0u) << help.Out;
  EXPECT_NE(help.Out.find("をエディタで開きます"), std::string::npos) << help.Out;
  EXPECT_EQ(Answer({"--version"}).Out, "plomaret 1.0\n") << "the version line is the same in every language";
  SetLanguage(lnEnglish);
  EXPECT_EQ(Answer({"--bogus"}).Err, "plomaret: unknown option '--bogus'\nusage: plomaret [FILE.x] | --help | --version\n");
}

}  // namespace
}  // namespace plomaret
