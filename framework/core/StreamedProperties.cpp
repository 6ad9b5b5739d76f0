#include "StreamedProperties.h"

#include "Collection.h"
#include "CodePage.h"

namespace plomaret::streaming {

TPersistent* ReferenceItem(TPersistent* referenceCollection) {
  auto* collection = dynamic_cast<TCollection*>(referenceCollection);
  if (collection == nullptr) return nullptr;
  collection->Clear();
  return collection->Add();
}

void TReferenceFixups::Resolve(TComponent& owner) const {
  for (const TFixup& fixup : FFixups) {
    if (fixup.Target.empty()) continue;
    TComponent* target = owner.FindComponent(fixup.Target);
    if (target == nullptr && AnsiSameText(owner.Name(), fixup.Target)) target = &owner;
    if (target == nullptr) continue;
    TPersistent* instance = fixup.Component;
    for (const TPathStep& step : fixup.Path) {
      TObject* value = step.Prop->GetObject(*instance);
      if (step.Item >= 0) {
        auto* collection = dynamic_cast<TCollection*>(value);
        value = collection != nullptr && step.Item < collection->Count() ? collection->Items(step.Item) : nullptr;
      }
      instance = dynamic_cast<TPersistent*>(value);
      if (instance == nullptr) break;
    }
    if (instance != nullptr) fixup.Prop->SetObject(*instance, target);
  }
}

}  // namespace plomaret::streaming
