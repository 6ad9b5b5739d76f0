#pragma once
// String lists: the abstract TStrings and the plain TStringList.
//
// Indices are 32-bit; a bad index raises EStringListError with SListIndexError.
// Text is Shift-JIS bytes; "without regard to case" means AnsiCompareText.

#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Events.h"
#include "Persistent.h"

namespace plomaret {

class TFileReplacer;

inline constexpr const char* SListIndexError = "リストのインデックスが範囲を超えています";

class TStrings : public TPersistent {
 public:
  virtual std::string Get(int index) const = 0;
  virtual void Put(int index, const std::string& text);
  virtual int Count() const = 0;
  virtual int Capacity() const { return Count(); }
  virtual void SetCapacity(int capacity) {}
  virtual TObject* GetObject(int index) const { return nullptr; }
  virtual void PutObject(int index, TObject* object) {}

  std::string Strings(int index) const { return Get(index); }
  void SetStrings(int index, const std::string& text) { Put(index, text); }

  virtual int Add(const std::string& text);
  virtual void Insert(int index, const std::string& text) = 0;
  virtual void Delete(int index) = 0;
  virtual void Exchange(int index1, int index2);
  virtual void Clear() = 0;
  void AddStrings(const TStrings& source);

  // From another string list: its lines replace ours, as one update.
  void Assign(const TPersistent& source) override;
  // The same lines, byte for byte.
  bool Equals(const TStrings& other) const;
  // Rewrites every line in order, as one update: rewrite(line, out) returns true when
  // the line is to become out. The list ends as Assign from a rewritten copy would
  // leave it; a large list may do that without holding its text twice.
  using TLineRewrite = std::function<bool(std::string_view line, std::string& out)>;
  virtual void RewriteLines(const TLineRewrite& rewrite);
  // The lines a form description or component image stored for this list.
  virtual void LoadStoredLines(const TStrings& lines) { Assign(lines); }

  // Nested update brackets; UpdateStateChanged hears only the outermost level.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // The whole text: every line followed by CR LF.
  virtual std::string AllText() const;
  // Replaces the lines by those of text (CR LF, lone CR and lone LF end lines; a
  // zero byte ends the text; a final line end adds no empty line).
  virtual void SetAllText(std::string_view text);
  std::string Text() const { return AllText(); }
  void SetText(std::string_view text) { SetAllText(text); }

  // The first line equal to text without regard to case, or -1.
  virtual int IndexOf(std::string_view text) const;

  // Loads the lines of a text file (bytes as they are; zero bytes refused).
  virtual void LoadFile(const std::string& path);
  // Writes AllText to the file; a failed save leaves the old file whole.
  void SaveFile(const std::string& path) const;
  // Writes the text as SaveFile does into a replacement that the caller commits.
  virtual void WriteTo(TFileReplacer& file) const;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  virtual void UpdateStateChanged(bool updating) {}
  [[noreturn]] static void IndexError();

 private:
  int FUpdateCount = 0;
};

// Closes an update bracket also when the bracketed work fails. Closing tells the
// list's watchers, which may fail too (memory): that failure goes on, unless another
// one is already on its way.
class TUpdateBracket {
 public:
  explicit TUpdateBracket(TStrings& strings)
      : FStrings(strings), FUncaught(std::uncaught_exceptions()) { FStrings.BeginUpdate(); }
  ~TUpdateBracket() noexcept(false) {
    if (std::uncaught_exceptions() <= FUncaught) {
      FStrings.EndUpdate();
      return;
    }
    try {
      FStrings.EndUpdate();
    } catch (...) {
    }
  }
  TUpdateBracket(const TUpdateBracket&) = delete;
  TUpdateBracket& operator=(const TUpdateBracket&) = delete;

 private:
  TStrings& FStrings;
  int FUncaught;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
 public:
  std::string Get(int index) const override;
  void Put(int index, const std::string& text) override;
  int Count() const override { return static_cast<int>(FItems.size()); }
  int Capacity() const override { return static_cast<int>(FItems.capacity()); }
  void SetCapacity(int capacity) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;

  int Add(const std::string& text) override;
  void Insert(int index, const std::string& text) override;
  void Delete(int index) override;
  void Exchange(int index1, int index2) override;
  void Clear() override;
  int IndexOf(std::string_view text) const override;

  // Binary search of a sorted list: true when found; index is where text is or
  // would go.
  bool Find(std::string_view text, int& index) const;
  void Sort();

  bool Sorted() const { return FSorted; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates duplicates) { FDuplicates = duplicates; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  void UpdateStateChanged(bool updating) override;
  virtual void Changed();
  virtual void Changing();

 private:
  struct TItem {
    std::string Text;
    TObject* Object = nullptr;
  };
  void CheckIndex(int index) const;
  void InsertItem(int index, const std::string& text);

  std::vector<TItem> FItems;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
};

}  // namespace plomaret
