#include "settings/RegMng.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string_view>

#include "framework/core/CodePage.h"
#include "framework/core/Properties.h"
#include "framework/core/Translate.h"
#include "framework/gui/Dialogs.h"
#include "framework/gui/Forms.h"
#include "settings/PropUtils.h"
#include "settings/StreamUtils.h"

namespace plomaret {

namespace {

void ShowError(const std::string& text) { MessageBox(text, Tr("Error"), MB_OK | MB_ICONERROR); }

int ParseIntOrZero(std::string_view text) { return ParseStoredInteger(text).value_or(0); }

// A list written here has every item key; one edited by hand may lack some, which
// read as empty. A count far beyond the keys the section holds is corrupt: believed,
// two billion would make as many empty strings.
constexpr int kMissingItemsBelieved = 65536;

// Upper-cases ASCII letters; the second byte of a double-byte character is left alone.
std::string AnsiUpperCase(std::string_view text) {
  std::string result(text);
  for (size_t i = 0; i < result.size(); ++i) {
    const auto byte = static_cast<unsigned char>(result[i]);
    if (IsLeadByte(byte)) {
      ++i;
    } else if (byte >= 'a' && byte <= 'z') {
      result[i] = static_cast<char>(byte - 'a' + 'A');
    }
  }
  return result;
}

}  // namespace

const TTypeInfo& TypeInfoOf(TTypeTag<TRegType>) {
  static const TTypeInfo info = EnumTypeInfo("TRegType", {"rtReg", "rtIni"});
  return info;
}

// ---- TRegItem ----

void TRegItem::Assign(const TPersistent& source) {
  if (const auto* item = dynamic_cast<const TRegItem*>(&source)) {
    SetName(item->Name());
    SetSection(item->Section());
    SetIdent(item->Ident());
    SetDefaultValue(item->DefaultValue());
    return;
  }
  TCollectionItem::Assign(source);
}

const TClassInfo& TRegItem::StaticClassInfo() {
  static const TClassInfo info = TPublished<TRegItem>("TRegItem", TCollectionItem::StaticClassInfo())
                                     .Property("DefaultValue", &TRegItem::DefaultValue, &TRegItem::SetDefaultValue)
                                     .Property("Ident", &TRegItem::Ident, &TRegItem::SetIdent)
                                     .Property("Name", &TRegItem::Name, &TRegItem::SetName)
                                     .Property("Section", &TRegItem::Section, &TRegItem::SetSection);
  return info;
}

// ---- TRegItems ----

TRegItem* TRegItems::GetItem(int index) const { return static_cast<TRegItem*>(TCollection::Items(index)); }

void TRegItems::SetItem(int index, const TRegItem& item) { GetItem(index)->Assign(item); }

TRegItem* TRegItems::FindByName(const std::string& name) const {
  for (int i = 0; i < Count(); ++i) {
    if (AnsiSameText(GetItem(i)->Name(), name)) return GetItem(i);
  }
  return nullptr;
}

const TClassInfo& TRegItems::StaticClassInfo() {
  static const TClassInfo info = TPublished<TRegItems>("TRegItems", TCollection::StaticClassInfo());
  return info;
}

// ---- TRegFiler ----

TOwned<TRegistryIniFile> TRegFiler::OpenRegistry() {
  if (FManager->RegType() == rtReg && !FManager->RegDir().empty()) {
    return Create<TRegistryIniFile>(FManager->RegDir());
  }
  ShowError("can not create Registry object.");
  return nullptr;
}

TOwned<TIniFile> TRegFiler::OpenIniFile() {
  if (FManager->RegType() == rtIni && !FManager->IniFileName().empty()) {
    return Create<TIniFile>(FManager->IniFileName());
  }
  ShowError("can not create Inifile object.");
  return nullptr;
}

// Opens the store for one operation; the store object goes away also when it fails.
template <class Action>
void TRegFiler::UseStore(const std::string& section, const std::string& ident, Action action) {
  if (section.empty() || ident.empty()) return;
  if (FManager->RegType() == rtReg) {
    if (TOwned<TRegistryIniFile> registry = OpenRegistry()) action(*registry);
  } else {
    if (TOwned<TIniFile> ini = OpenIniFile()) action(*ini);
  }
}

void TRegFiler::ReadRaw(const std::string& section, const std::string& ident, std::string& value,
                        const std::string& defaultValue) {
  value = defaultValue;
  UseStore(section, ident, [&](auto& store) { value = store.ReadString(section, ident, defaultValue); });
}

void TRegFiler::WriteRaw(const std::string& section, const std::string& ident, const std::string& value) {
  UseStore(section, ident, [&](auto& store) { store.WriteString(section, ident, value); });
}

void TRegFiler::DeleteValue(const std::string& section, const std::string& ident) {
  UseStore(section, ident, [&](auto& store) { store.DeleteKey(section, ident); });
}

std::string TRegFiler::ReadText() {
  std::string result;
  if (FItem == nullptr) return result;
  ReadRaw(FItem->Section(), FItem->Ident(), result, FItem->DefaultValue());
  return result;
}

void TRegFiler::WriteText(const std::string& value) {
  if (FItem == nullptr) return;
  WriteRaw(FItem->Section(), FItem->Ident(), value);
}

int TRegFiler::ReadNumber() { return FItem == nullptr ? 0 : ParseIntOrZero(ReadText()); }

void TRegFiler::WriteNumber(int value) { WriteText(std::to_string(value)); }

bool TRegFiler::ReadFlag() {
  if (FItem == nullptr) return false;
  const std::string upper = AnsiUpperCase(FItem->DefaultValue());
  const std::string fallback = upper == "1" || upper == "TRUE" || upper == "YES" ? "1" : "0";
  std::string text;
  ReadRaw(FItem->Section(), FItem->Ident(), text, fallback);
  return (ParseIntOrZero(text) & 0xFF) != 0;
}

void TRegFiler::WriteFlag(bool value) { WriteText(value ? "1" : "0"); }

void TRegFiler::ReadFont(TFont* font) {
  if (FItem == nullptr || font == nullptr) return;
  const std::string& section = FItem->Section();
  const std::string& ident = FItem->Ident();
  const std::string oldName = font->Name();
  const std::string oldSize = std::to_string(font->Size());
  const std::string oldColor = ColorToString(font->Color());
  const std::string oldStyle = std::to_string(font->Style().Mask());
  const std::string oldCharset = std::to_string(font->Charset());
  std::string text;
  ReadRaw(section, ident + "_FontName", text, oldName);
  font->SetName(text);
  ReadRaw(section, ident + "_FontSize", text, oldSize);
  font->SetSize(ParseStoredInteger(text).value_or(font->Size()));
  ReadRaw(section, ident + "_FontColor", text, oldColor);
  font->SetColor(StringToColor(text));
  ReadRaw(section, ident + "_FontStyle", text, oldStyle);
  // Only the four style bits name styles; the rest would be no member of the set.
  font->SetStyle(TFontStyles::FromMask(static_cast<uint32_t>(ParseIntOrZero(text)) & 0xFu));
  ReadRaw(section, ident + "_FontCharset", text, oldCharset);
  font->SetCharset(ParseIntOrZero(text));
}

void TRegFiler::WriteFont(TFont* font) {
  if (FItem == nullptr || font == nullptr) return;
  const std::string& section = FItem->Section();
  const std::string& ident = FItem->Ident();
  WriteRaw(section, ident + "_FontName", font->Name());
  WriteRaw(section, ident + "_FontSize", std::to_string(font->Size()));
  WriteRaw(section, ident + "_FontColor", ColorToString(font->Color()));
  WriteRaw(section, ident + "_FontStyle", std::to_string(font->Style().Mask()));
  WriteRaw(section, ident + "_FontCharset", std::to_string(font->Charset()));
}

std::string TRegFiler::ItemKey(int n) const { return FItem->Ident() + "_Item" + std::to_string(n); }

void TRegFiler::ReadStrings(TStrings* list) {
  if (FItem == nullptr || list == nullptr) return;
  const std::string& section = FItem->Section();
  const std::string countKey = FItem->Ident() + "_ItemCount";
  TUpdateBracket update(*list);
  list->Clear();
  std::string refused;
  UseStore(section, countKey, [&](auto& store) {
    const TSectionValues values = store.ReadWholeSection(section);
    const std::string countText = values.ReadString(countKey, "0");
    const int count = ParseIntOrZero(countText);
    if (count > values.Count() + kMissingItemsBelieved) {
      refused = TrPlural(values.Count(), "[' %1 / %2 = %3 '] is invalid: the section holds only %n key.",
                         "[' %1 / %2 = %3 '] is invalid: the section holds only %n keys.", {section, countKey, countText});
      return;
    }
    for (int n = 0; n < count; ++n) list->Add(values.ReadString(ItemKey(n), ""));
  });
  if (!refused.empty()) ShowError(refused);
}

void TRegFiler::WriteStrings(TStrings* list) {
  if (FItem == nullptr || list == nullptr) return;
  const std::string& section = FItem->Section();
  const std::string& ident = FItem->Ident();
  std::string text;
  ReadRaw(section, ident + "_ItemCount", text, "0");
  const int oldCount = ParseIntOrZero(text);
  const int newCount = list->Count();
  if (newCount < oldCount) {
    // Only the item keys there are: the old count may be corrupt (two billion, say).
    std::set<int> stored;
    UseStore(section, ItemKey(0),
             [&](auto& store) { stored = store.ReadWholeSection(section).KeyNumbers(ident + "_Item"); });
    for (auto n = stored.rbegin(); n != stored.rend(); ++n) {
      if (*n >= newCount && *n < oldCount) DeleteValue(section, ItemKey(*n));
    }
    if (newCount == 0) DeleteValue(section, ident + "_ItemCount");
  }
  if (newCount > 0) {
    WriteRaw(section, ident + "_ItemCount", std::to_string(newCount));
    for (int n = 0; n < newCount; ++n) WriteRaw(section, ItemKey(n), list->Strings(n));
  }
}

bool TRegFiler::CanStoreBytes() const {
  if (FItem == nullptr || FItem->Section().empty() || FItem->Ident().empty()) return false;
  // Without a location the bytes would land in the working folder or the registry's root.
  return FManager->RegType() == rtReg ? !FManager->RegDir().empty() : !FManager->IniFileName().empty();
}

void TRegFiler::ReadBytes(TStream* stream) {
  if (stream == nullptr || !CanStoreBytes()) return;
  if (FManager->RegType() == rtReg) {
    ReadStreamFromRegistry(*stream, FManager->RegDir(), FItem->Section(), FItem->Ident());
  } else {
    ReadStreamFromIni(*stream, FManager->IniFileName(), FItem->Section(), FItem->Ident());
  }
}

void TRegFiler::WriteBytes(TStream* stream) {
  if (stream == nullptr || !CanStoreBytes()) return;
  if (FManager->RegType() == rtReg) {
    WriteStreamToRegistry(*stream, FManager->RegDir(), FItem->Section(), FItem->Ident());
  } else {
    WriteStreamToIni(*stream, FManager->IniFileName(), FItem->Section(), FItem->Ident());
  }
}

void TRegFiler::ReadComponentValue(TControl* control) {
  if (control == nullptr) return;
  auto stream = Create<TMemoryStream>();
  ReadBytes(stream.get());
  stream->SetPosition(0);
  if (stream->Size() > 0) ReadComponentImage(*stream, control);
}

void TRegFiler::WriteComponentValue(TComponent* component) {
  if (component == nullptr || dynamic_cast<TForm*>(component) != nullptr) return;
  auto stream = Create<TMemoryStream>();
  WriteComponentImage(component, *stream);
  stream->SetPosition(0);
  WriteBytes(stream.get());
}

// ---- TRegManager ----

void TRegManager::AfterConstruction() {
  TComponent::AfterConstruction();
  FRegItems = Create<TRegItems>(this);
  FFiler = CreateFiler();
}

TRegManager::~TRegManager() {
  FRegItems.reset();
  FFiler.reset();
}

TOwned<TRegFiler> TRegManager::CreateFiler() { return Create<TRegFiler>(*this); }

TRegFiler* TRegManager::RegFiler(const std::string& name) {
  TRegItem* item = FRegItems->FindByName(name);
  FFiler->FItem = item;
  if (item == nullptr) ShowError("[' " + name + " '] is invalid.");
  return FFiler.get();
}

const TClassInfo& TRegManager::StaticClassInfo() {
  static const TClassInfo info = TPublished<TRegManager>("TRegManager", TComponent::StaticClassInfo())
                                     .Property("IniFileName", &TRegManager::IniFileName, &TRegManager::SetIniFileName)
                                     .Property("RegDir", &TRegManager::RegDir, &TRegManager::SetRegDir)
                                     .Property("RegItems", &TRegManager::RegItems, &TRegManager::SetRegItems)
                                     .Property("RegType", &TRegManager::RegType, &TRegManager::SetRegType, rtReg);
  return info;
}

}  // namespace plomaret
