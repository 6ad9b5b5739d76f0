#pragma once
// Named settings kept in an INI file or under a registry key of the current user.
//
// The manager holds the items (name -> section, ident, default text) and one filer;
// RegFiler(name) aims that filer at an item. Nothing is cached: every read or write
// opens the store, does one operation and closes it. Errors (an unknown name, a
// missing location) are shown in a message box and the operation goes on with its
// fallback value.

#include <string>

#include "framework/core/Collection.h"
#include "framework/core/Component.h"
#include "framework/core/Graphics.h"
#include "framework/core/IniFile.h"
#include "framework/core/Registry.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/gui/Control.h"

namespace plomaret {

enum TRegType { rtReg, rtIni };
const TTypeInfo& TypeInfoOf(TTypeTag<TRegType>);

class TRegItem : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& value) { FName = value; }
  const std::string& Section() const { return FSection; }
  void SetSection(const std::string& value) { FSection = value; }
  const std::string& Ident() const { return FIdent; }
  void SetIdent(const std::string& value) { FIdent = value; }
  const std::string& DefaultValue() const { return FDefaultValue; }
  void SetDefaultValue(const std::string& value) { FDefaultValue = value; }

  // Another TRegItem copies its four strings; anything else fails as usual.
  void Assign(const TPersistent& source) override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  std::string FName;
  std::string FSection;
  std::string FIdent;
  std::string FDefaultValue;
};

class TRegItems : public TCollection {
 public:
  explicit TRegItems(TPersistent* owner) : TCollection(owner, TCollectionItemClass::Of<TRegItem>()) {}

  TRegItem* Items(int index) const { return GetItem(index); }
  void SetItems(int index, const TRegItem& item) { SetItem(index, item); }

  virtual TRegItem* GetItem(int index) const;
  virtual void SetItem(int index, const TRegItem& item);
  // The first item (lowest index) whose Name matches without regard to case, or nullptr.
  virtual TRegItem* FindByName(const std::string& name) const;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

class TRegManager;

// Reads and writes the value of the item it is aimed at, in typed forms. Aimed at
// no item, reads give their empty result and writes do nothing.
class TRegFiler : public TObject {
 public:
  explicit TRegFiler(TRegManager& manager) : FManager(&manager) {}

  TRegManager& Manager() const { return *FManager; }
  TRegItem* Item() const { return FItem; }

  // Any section and key; an empty section or ident touches no store.
  virtual void ReadRaw(const std::string& section, const std::string& ident, std::string& value,
                       const std::string& defaultValue);
  virtual void WriteRaw(const std::string& section, const std::string& ident, const std::string& value);

  // True when the low eight bits of the stored integer are not all zero; the default
  // is true for "1", "TRUE" or "YES" (any case).
  virtual bool ReadFlag();
  virtual void WriteFlag(bool value);
  // Text that is not an integer gives 0.
  virtual int ReadNumber();
  virtual void WriteNumber(int value);
  virtual std::string ReadText();
  virtual void WriteText(const std::string& value);
  // Five keys: Ident + "_FontName", "_FontSize", "_FontColor", "_FontStyle", "_FontCharset".
  virtual void ReadFont(TFont* font);
  virtual void WriteFont(TFont* font);
  // Ident + "_ItemCount" and Ident + "_Item" + n; a shorter list deletes the keys left
  // over. A count far above the keys of the section is refused with a message.
  virtual void ReadStrings(TStrings* list);
  virtual void WriteStrings(TStrings* list);
  // Bytes at and from the stream's position; hex lines in an INI file, a binary
  // value in the registry.
  virtual void ReadBytes(TStream* stream);
  virtual void WriteBytes(TStream* stream);
  // Replaces control by the component in the stored image, when one is stored.
  virtual void ReadComponentValue(TControl* control);
  // Stores the component's image; a form is not stored.
  virtual void WriteComponentValue(TComponent* component);

  void DeleteValue(const std::string& section, const std::string& ident);

 protected:
  // nullptr, after a message box, when the manager's type or location does not allow it.
  TOwned<TRegistryIniFile> OpenRegistry();
  TOwned<TIniFile> OpenIniFile();

 private:
  friend class TRegManager;  // the current item changes only through RegFiler

  template <class Action>
  void UseStore(const std::string& section, const std::string& ident, Action action);
  // The key of the current item's n-th list item.
  std::string ItemKey(int n) const;
  // False when the byte operations have no location, section or ident to use.
  bool CanStoreBytes() const;

  TRegItem* FItem = nullptr;
  TRegManager* FManager;
};

class TRegManager : public TComponent {
 public:
  void AfterConstruction() override;
  ~TRegManager() override;

  const std::string& IniFileName() const { return FIniFileName; }
  void SetIniFileName(const std::string& value) { FIniFileName = value; }
  const std::string& RegDir() const { return FRegDir; }
  void SetRegDir(const std::string& value) { FRegDir = value; }
  TRegItems* RegItems() const { return FRegItems.get(); }
  void SetRegItems(const TRegItems& value) { FRegItems->Assign(value); }
  TRegType RegType() const { return FRegType; }
  void SetRegType(TRegType value) { FRegType = value; }

  // Aims the one filer at the named item and returns it; for an unknown name a
  // message box, and the filer is aimed at no item.
  TRegFiler* RegFiler(const std::string& name);

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  virtual TOwned<TRegFiler> CreateFiler();

 private:
  std::string FIniFileName;
  std::string FRegDir;
  TRegType FRegType = rtReg;
  TOwned<TRegFiler> FFiler;
  TOwned<TRegItems> FRegItems;
};

}  // namespace plomaret
