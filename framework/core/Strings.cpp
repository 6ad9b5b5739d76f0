#include "Strings.h"

#include <algorithm>

#include "CodePage.h"
#include "FileReplacer.h"
#include "LineSplitter.h"
#include "Properties.h"
#include "TextFileReader.h"

namespace plomaret {

// ---- TStrings ----

const TClassInfo& TStrings::StaticClassInfo() {
  static const TClassInfo info("TStrings", &TPersistent::StaticClassInfo());
  return info;
}

void TStrings::IndexError() { throw EStringListError(SListIndexError); }

void TStrings::Put(int index, const std::string& text) {
  TObject* object = GetObject(index);
  Delete(index);
  Insert(index, text);
  PutObject(index, object);
}

int TStrings::Add(const std::string& text) {
  int index = Count();
  Insert(index, text);
  return index;
}

void TStrings::RewriteLines(const TLineRewrite& rewrite) {
  TUpdateBracket bracket(*this);
  std::string out;
  for (int i = 0, count = Count(); i < count; ++i) {
    if (rewrite(Get(i), out)) Put(i, out);
  }
}

void TStrings::Exchange(int index1, int index2) {
  TUpdateBracket bracket(*this);
  std::string text = Get(index1);
  TObject* object = GetObject(index1);
  Put(index1, Get(index2));
  PutObject(index1, GetObject(index2));
  Put(index2, text);
  PutObject(index2, object);
}

void TStrings::AddStrings(const TStrings& source) {
  TUpdateBracket bracket(*this);
  const int count = source.Count();
  for (int i = 0; i < count; ++i) {
    int index = Add(source.Get(i));
    PutObject(index, source.GetObject(i));
  }
}

void TStrings::Assign(const TPersistent& source) {
  if (const auto* strings = dynamic_cast<const TStrings*>(&source)) {
    if (strings == this) return;
    TUpdateBracket bracket(*this);
    Clear();
    AddStrings(*strings);
    return;
  }
  TPersistent::Assign(source);
}

bool TStrings::Equals(const TStrings& other) const {
  if (Count() != other.Count()) return false;
  for (int i = 0; i < Count(); ++i) {
    if (Get(i) != other.Get(i)) return false;
  }
  return true;
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) UpdateStateChanged(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  if (FUpdateCount == 0) UpdateStateChanged(false);
}

std::string TStrings::AllText() const {
  const int count = Count();
  size_t size = 0;
  for (int i = 0; i < count; ++i) size += Get(i).size() + 2;
  std::string text;
  text.reserve(size);
  for (int i = 0; i < count; ++i) {
    text += Get(i);
    text += "\r\n";
  }
  return text;
}

void TStrings::SetAllText(std::string_view text) {
  TUpdateBracket bracket(*this);
  Clear();
  SplitLines(text, [this](std::string_view line) { Add(std::string(line)); });
}

int TStrings::IndexOf(std::string_view text) const {
  const int count = Count();
  for (int i = 0; i < count; ++i) {
    if (AnsiSameText(Get(i), text)) return i;
  }
  return -1;
}

void TStrings::LoadFile(const std::string& path) {
  TUpdateBracket bracket(*this);
  Clear();
  TTextFileReader reader(path);
  reader.Count();  // refuses binary files before any line is added
  reader.ReadLines([this](std::string_view line) { Add(std::string(line)); });
}

void TStrings::SaveFile(const std::string& path) const {
  TFileReplacer file(path);
  WriteTo(file);
  file.Commit();
}

void TStrings::WriteTo(TFileReplacer& file) const { file.Write(AllText()); }

// ---- TStringList ----

const TClassInfo& TStringList::StaticClassInfo() {
  static const TClassInfo info("TStringList", &TStrings::StaticClassInfo());
  return info;
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) IndexError();
}

std::string TStringList::Get(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)].Text;
}

void TStringList::Put(int index, const std::string& text) {
  if (FSorted) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(index);
  Changing();
  FItems[static_cast<size_t>(index)].Text = text;
  Changed();
}

void TStringList::SetCapacity(int capacity) {
  if (capacity < Count()) throw EStringListError("List capacity out of bounds");
  FItems.reserve(static_cast<size_t>(capacity));
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)].Object;
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  FItems[static_cast<size_t>(index)].Object = object;
  Changed();
}

int TStringList::Add(const std::string& text) {
  int index = Count();
  if (FSorted && Find(text, index)) {
    if (FDuplicates == dupIgnore) return index;
    if (FDuplicates == dupError) throw EStringListError("String list does not allow duplicates");
  }
  InsertItem(index, text);
  return index;
}

void TStringList::Insert(int index, const std::string& text) {
  if (FSorted) throw EStringListError("Operation not allowed on sorted list");
  if (index < 0 || index > Count()) IndexError();
  InsertItem(index, text);
}

void TStringList::InsertItem(int index, const std::string& text) {
  Changing();
  FItems.insert(FItems.begin() + index, TItem{text, nullptr});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  FItems.erase(FItems.begin() + index);
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(FItems[static_cast<size_t>(index1)], FItems[static_cast<size_t>(index2)]);
  Changed();
}

void TStringList::Clear() {
  if (FItems.empty()) return;
  Changing();
  FItems.clear();
  FItems.shrink_to_fit();
  Changed();
}

int TStringList::IndexOf(std::string_view text) const {
  if (!FSorted) return TStrings::IndexOf(text);
  int index = 0;
  return Find(text, index) ? index : -1;
}

bool TStringList::Find(std::string_view text, int& index) const {
  // Leftmost match, so that with duplicates the first equal item is found.
  auto position = std::lower_bound(FItems.begin(), FItems.end(), text, [](const TItem& item, std::string_view key) {
    return AnsiCompareText(item.Text, key) < 0;
  });
  index = static_cast<int>(position - FItems.begin());
  return position != FItems.end() && AnsiCompareText(position->Text, text) == 0;
}

void TStringList::Sort() {
  Changing();
  std::stable_sort(FItems.begin(), FItems.end(),
                   [](const TItem& a, const TItem& b) { return AnsiCompareText(a.Text, b.Text) < 0; });
  Changed();
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == FSorted) return;
  if (sorted) Sort();
  FSorted = sorted;
}

void TStringList::UpdateStateChanged(bool updating) {
  if (updating) {
    Changing();
  } else {
    Changed();
  }
}

void TStringList::Changed() {
  if (UpdateCount() == 0) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0) OnChanging(this);
}

}  // namespace plomaret
