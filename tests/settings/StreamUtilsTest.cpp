#include "settings/StreamUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "TestFiles.h"
#include "framework/core/IniFile.h"
#include "framework/core/Registry.h"

namespace plomaret {
namespace {

TOwned<TMemoryStream> StreamOf(const std::string& bytes, int64_t position = 0) {
  auto stream = Create<TMemoryStream>();
  stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream->SetPosition(position);
  return stream;
}

std::string BytesOf(TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

std::string Counting(int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += static_cast<char>(i * 7);
  return bytes;
}

TEST(HexLines, ThirtyThreeBytesMakeLinesOf64And2DigitsAndComeBack) {
  auto lines = Create<TStringList>();
  StreamToHexLines(*StreamOf(Counting(33)), *lines);
  ASSERT_EQ(lines->Count(), 2);
  EXPECT_EQ(lines->Get(0).substr(0, 8), "00070E15");
  EXPECT_EQ(lines->Get(0).size(), 64u);
  EXPECT_EQ(lines->Get(1), "E0");
  auto back = Create<TMemoryStream>();
  HexLinesToStream(*lines, *back);
  EXPECT_EQ(BytesOf(*back), Counting(33));
}

TEST(HexLines, APairThatIsNotHexGivesZeroAndALoneLastDigitStandsAlone) {
  auto lines = Create<TStringList>();
  lines->SetText("0aG1 f\r\nF\r\n");
  auto stream = StreamOf("");
  HexLinesToStream(*lines, *stream);
  EXPECT_EQ(BytesOf(*stream), std::string("\x0A\0\0\x0F", 4));
}

class StreamStoreTest : public ::testing::Test {
 protected:
  void Store(const std::string& bytes) { WriteStreamToIni(*StreamOf(bytes), FIni, "s", "I"); }
  std::string Keys() {
    auto keys = Create<TStringList>();
    TIniFile(FIni).ReadSection("s", *keys);
    return keys->Text();
  }
  std::string Load() {
    auto stream = Create<TMemoryStream>();
    ReadStreamFromIni(*stream, FIni, "s", "I");
    return BytesOf(*stream);
  }

  testing::TScratchFolder FFolder;
  testing::TScopedConfigHome FConfigHome{FFolder.Path("config")};
  std::string FIni = FFolder.Path("settings.ini");
};

TEST_F(StreamStoreTest, TheIniFormKeepsACountAndLinesAndDropsWhatAShorterValueLeavesOver) {
  Store(Counting(33));
  EXPECT_EQ(TIniFile(FIni).ReadString("s", "I_c", ""), "2");
  EXPECT_EQ(TIniFile(FIni).ReadString("s", "I_d1", ""), "E0");
  EXPECT_EQ(Load(), Counting(33));
  Store(Counting(70));
  Store(Counting(10));
  EXPECT_EQ(Keys(), "I_c\r\nI_d0\r\n");
  EXPECT_EQ(Load(), Counting(10));
  Store("");
  EXPECT_EQ(Keys(), "");
  EXPECT_EQ(Load(), "");
}

TEST_F(StreamStoreTest, AHugeStoredCountCostsOnlyTheLinesThatExist) {
  TIniFile ini(FIni);
  ini.WriteString("s", "I_c", "2000000000");
  ini.WriteString("s", "I_d0", "4142");
  ini.WriteString("s", "I_d7", "43");
  EXPECT_EQ(Load(), "ABC");
  Store("Z");
  EXPECT_EQ(Keys(), "I_c\r\nI_d0\r\n");
}

TEST_F(StreamStoreTest, TheRegistryFormTakesTheBytesFromThePositionToTheEnd) {
  WriteStreamToRegistry(*StreamOf("skipABC", 4), "Software\\Plomaret", "Section", "Value");
  auto stream = StreamOf("pre", 3);
  ReadStreamFromRegistry(*stream, "Software\\Plomaret", "Section", "Value");
  EXPECT_EQ(BytesOf(*stream), "preABC");
}

TEST_F(StreamStoreTest, ReadingAMissingRegistryValueLeavesTheStreamButCreatesTheSubkey) {
  auto stream = StreamOf("keep", 2);
  ReadStreamFromRegistry(*stream, "Software\\Plomaret", "Other", "Missing");
  EXPECT_EQ(BytesOf(*stream), "keep");
  EXPECT_EQ(stream->Position(), 2);
  EXPECT_TRUE(Create<TRegistry>()->KeyExists("\\Software\\Plomaret\\Other"));
}

}  // namespace
}  // namespace plomaret
