// Random edit sequences on the line list (gap array and text arena) against a plain
// vector of items.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "editor/LineList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  struct TModel {
    std::string Text;
    uint32_t Attribute = 0;
  };
  std::vector<TModel> model;
  auto list = plomaret::Create<plomaret::TLineList>();
  size_t pos = 0;
  auto next = [&]() -> uint32_t { return pos < size ? data[pos++] : 0; };
  while (pos < size) {
    const uint32_t op = next() % 6;
    const int count = static_cast<int>(model.size());
    const uint32_t where = next() | (next() << 8);
    const std::string text(next() * 7 % 300, static_cast<char>('a' + op));
    switch (op) {
      case 0:
      case 1: {
        const int at = static_cast<int>(where % static_cast<uint32_t>(count + 1));
        list->Insert(at, text);
        model.insert(model.begin() + at, {text, 0});
        break;
      }
      case 2:
        if (count > 0) {
          const int at = static_cast<int>(where % static_cast<uint32_t>(count));
          list->Delete(at);
          model.erase(model.begin() + at);
        }
        break;
      case 3:
        if (count > 0) {
          const int at = static_cast<int>(where % static_cast<uint32_t>(count));
          list->Put(at, text);
          model[static_cast<size_t>(at)].Text = text;
        }
        break;
      case 4:
        if (count > 0) {
          const int at = static_cast<int>(where % static_cast<uint32_t>(count));
          list->SetAttribute1(at, where);
          model[static_cast<size_t>(at)].Attribute = where;
        }
        break;
      case 5:
        if (where % 17 == 0) {
          list->Clear();
          model.clear();
        } else if (count > 1) {
          const int a = static_cast<int>(where % static_cast<uint32_t>(count));
          const int b = static_cast<int>((where >> 4) % static_cast<uint32_t>(count));
          list->Exchange(a, b);
          std::swap(model[static_cast<size_t>(a)], model[static_cast<size_t>(b)]);
        }
        break;
    }
    FUZZ_CHECK(list->Count() == static_cast<int>(model.size()));
    FUZZ_CHECK(list->Capacity() >= list->Count());
  }
  for (int i = 0; i < list->Count(); ++i) {
    FUZZ_CHECK(list->ViewAt(i) == model[static_cast<size_t>(i)].Text);
    FUZZ_CHECK(list->Attribute1(i) == model[static_cast<size_t>(i)].Attribute);
  }
  return 0;
}
