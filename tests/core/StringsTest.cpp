#include "framework/core/Strings.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "framework/core/CodePage.h"

namespace plomaret {
namespace {

struct TChangeCounter {
  int changing = 0;
  int changed = 0;
  void OnChanging(TObject*) { ++changing; }
  void OnChanged(TObject*) { ++changed; }
};

TOwned<TStringList> ListOf(std::initializer_list<const char*> items) {
  auto list = Create<TStringList>();
  for (const char* item : items) list->Add(item);
  return list;
}

TEST(StringList, TextHasCrLfAfterEveryItemAndSplitsAllLineEnds) {
  auto list = ListOf({"a", "", "b"});
  EXPECT_EQ(list->Text(), "a\r\n\r\nb\r\n");
  list->SetText("x\ry\nz\r\n\r\n");
  ASSERT_EQ(list->Count(), 4);
  EXPECT_EQ(list->Get(2), "z");
  EXPECT_EQ(list->Get(3), "");
  list->SetText(std::string("p\nq\0r", 5));  // a zero byte ends the text
  EXPECT_EQ(list->Count(), 2);
}

TEST(StringList, IndexOfIgnoresAsciiCase) {
  auto list = ListOf({"Header {", " MeshTextureCoords {"});
  EXPECT_EQ(list->IndexOf(" meshtexturecoords {"), 1);
  EXPECT_EQ(list->IndexOf("Mesh"), -1);
}

TEST(StringList, BadIndicesRaiseTheListError) {
  auto list = ListOf({"a"});
  EXPECT_THROW(list->Get(1), EStringListError);
  EXPECT_THROW(list->Get(-1), EStringListError);
  EXPECT_THROW(list->Insert(2, "x"), EStringListError);
  EXPECT_THROW(list->Delete(1), EStringListError);
  try {
    list->Put(5, "x");
  } catch (const EStringListError& error) {
    EXPECT_EQ(error.Message(), "リストのインデックスが範囲を超えています");
  }
}

TEST(StringList, SortedListFindsAndIgnoresDuplicatesWithOneComparator) {
  auto list = Create<TStringList>();
  list->SetSorted(true);
  for (const char* item : {"beta", "Alpha", "gamma", "ALPHA", "\x83\x41", "delta"}) list->Add(item);
  ASSERT_EQ(list->Count(), 5) << "ALPHA is a duplicate of Alpha";
  for (int i = 1; i < list->Count(); ++i) EXPECT_LT(AnsiCompareText(list->Get(i - 1), list->Get(i)), 0);
  int index = -1;
  EXPECT_TRUE(list->Find("GAMMA", index));
  EXPECT_EQ(list->Get(index), "gamma");
  EXPECT_FALSE(list->Find("epsilon", index));
  EXPECT_EQ(list->Get(index), "gamma") << "where it would go";
  EXPECT_EQ(list->IndexOf("DELTA"), 2);
  EXPECT_THROW(list->Insert(0, "x"), EStringListError);

  list->SetDuplicates(dupError);
  EXPECT_THROW(list->Add("Beta"), EStringListError);
  list->SetDuplicates(dupAccept);
  list->Add("Beta");
  EXPECT_EQ(list->Count(), 6);
}

TEST(StringList, UpdateBracketsAnnounceOnceAtTheOutermostLevel) {
  auto list = Create<TStringList>();
  TChangeCounter counter;
  list->OnChanging = TNotifyEvent(&counter, &TChangeCounter::OnChanging);
  list->OnChange = TNotifyEvent(&counter, &TChangeCounter::OnChanged);
  list->Add("a");
  EXPECT_EQ(counter.changing, 1);
  EXPECT_EQ(counter.changed, 1);
  list->BeginUpdate();
  list->BeginUpdate();
  list->Add("b");
  list->Delete(0);
  list->EndUpdate();
  EXPECT_EQ(counter.changed, 1);
  list->EndUpdate();
  EXPECT_EQ(counter.changing, 2);
  EXPECT_EQ(counter.changed, 2);
  list->Clear();
  list->Clear();  // already empty: nothing to announce
  EXPECT_EQ(counter.changed, 3);
}

TEST(StringList, AssignAndAddStringsCopyLinesAndObjects) {
  auto source = ListOf({"one", "two"});
  TObject marker;
  source->PutObject(1, &marker);
  auto copy = ListOf({"old"});
  copy->Assign(*source);
  ASSERT_EQ(copy->Count(), 2);
  EXPECT_EQ(copy->Get(0), "one");
  EXPECT_EQ(copy->GetObject(1), &marker);
  copy->AddStrings(*source);
  EXPECT_EQ(copy->Count(), 4);
  copy->Exchange(0, 3);
  EXPECT_EQ(copy->Get(0), "two");
  EXPECT_EQ(copy->GetObject(0), &marker);
}

TEST(StringList, SavesAndLoadsFilesAsBytes) {
  testing::TScratchFolder folder;
  const std::string path = folder.Path("list.txt");
  auto list = ListOf({"\x82\xa0\x82\xa2", "b"});
  list->SaveFile(path);
  EXPECT_EQ(testing::ReadBytes(path), "\x82\xa0\x82\xa2\r\nb\r\n");
  testing::WriteBytes(path, "x\ny\rz");
  list->LoadFile(path);
  EXPECT_EQ(list->Text(), "x\r\ny\r\nz\r\n");
  testing::WriteBytes(path, std::string("a\0", 2));
  EXPECT_THROW(list->LoadFile(path), EFileError);
  EXPECT_EQ(list->Count(), 0) << "a failed load leaves the list empty";
}

}  // namespace
}  // namespace plomaret
