#include "NotifyClasses.h"

#include <algorithm>

#include "framework/core/Properties.h"

namespace plomaret {

void TNotifyPersistent::AnnounceChange() {
  if (FUpdateDepth == 0) OnChange(this);
}

void TNotifyPersistent::BeginChanges() { ++FUpdateDepth; }

void TNotifyPersistent::EndChanges() {
  // An unbalanced EndChanges must not silence the object for good.
  if (FUpdateDepth > 0) --FUpdateDepth;
  AnnounceChange();
}

void TNotifyPersistent::ForwardChange(TObject* sender) {
  if (sender != this) AnnounceChange();
}

int TMethodList::Add(const TNotifyEvent& method) {
  FMethods.push_back(method);
  return Count() - 1;
}

void TMethodList::Remove(const TNotifyEvent& method) {
  for (size_t i = FMethods.size(); i-- > 0;) {
    if (FMethods[i] == method) {
      FMethods.erase(FMethods.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }
}

bool TMethodList::Contains(const TNotifyEvent& method) const {
  return std::find(FMethods.begin(), FMethods.end(), method) != FMethods.end();
}

void TNotifyEventList::AnnounceChange() {
  if (UpdateDepth() != 0) return;
  // A handler may unregister itself or others (an editor that is going away):
  // call each handler of the list as it was, unless it has been removed meanwhile.
  const std::vector<TNotifyEvent> handlers = FList->Snapshot();
  for (const TNotifyEvent& handler : handlers) {
    if (FList->Contains(handler)) handler(FOwner);
  }
}

void TNotifyCollection::ForwardChange(TObject* sender) {
  if (sender != this) Changed();
}

void TNotifyCollection::Update(TCollectionItem* item) { OnChange(this); }

void TFileExtComponent::AfterConstruction() {
  TStoreComponent::AfterConstruction();
  FFileExtList = CreateFileExtList();
  InitFileExtList();
}

TOwned<TStringList> TFileExtComponent::CreateFileExtList() {
  TOwned<TStringList> list = Create<TStringList>();
  list->SetSorted(true);
  list->SetDuplicates(dupIgnore);
  return list;
}

void TFileExtComponent::SetFileExtList(const TStrings& value) { FFileExtList->Assign(value); }

bool TFileExtComponent::HasExtension(std::string_view extension) const {
  int index = 0;
  return FFileExtList->Find(extension, index);
}

const TClassInfo& TFileExtComponent::StaticClassInfo() {
  static const TClassInfo info = TPublished<TFileExtComponent>("TFileExtComponent", TComponent::StaticClassInfo())
                                     .Property("FileExtList", &TFileExtComponent::FileExtList,
                                               &TFileExtComponent::SetFileExtList);
  return info;
}

}  // namespace plomaret
