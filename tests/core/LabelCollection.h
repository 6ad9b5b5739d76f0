#pragma once
// A collection of labelled items for the streaming tests, whose size a test may limit
// (as a collection that refuses more items does).
#include <climits>
#include <string>

#include "framework/core/Collection.h"
#include "framework/core/Properties.h"

namespace plomaret::testing {

class TLabelItem : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  std::string Label() const { return FLabel; }
  void SetLabel(const std::string& label) { FLabel = label; }
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info = TPublished<TLabelItem>("TLabelItem", TCollectionItem::StaticClassInfo())
                                       .Property("Label", &TLabelItem::Label, &TLabelItem::SetLabel);
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  std::string FLabel;
};

// The most items any TLabelCollection takes; tests that lower it put it back.
inline int gLabelLimit = INT_MAX;

class TLabelCollection : public TCollection {
 public:
  explicit TLabelCollection(TPersistent* owner) : TCollection(owner, TCollectionItemClass::Of<TLabelItem>()) {}
  int MaxItemCount() const override { return gLabelLimit; }
};

}  // namespace plomaret::testing
