#include "ComponentImage.h"

#include <algorithm>
#include <cstring>

#include "CodePage.h"
#include "Collection.h"
#include "Properties.h"
#include "StreamedProperties.h"
#include "Strings.h"

namespace plomaret {

namespace {

enum TValueTag : uint8_t {
  vaNil = 1,
  vaFalse,
  vaTrue,
  vaInt,
  vaFloat,
  vaString,
  vaIdent,
  vaSet,
  vaObject,
  vaStrings,
  vaCollection,
  vaItem,
  vaRef,
};

constexpr char kSignature[4] = {'P', 'C', 'I', '1'};
constexpr size_t kBufferSize = 4096;

using namespace streaming;

}  // namespace

// ---- Writer ---------------------------------------------------------------------

TComponentWriter::TComponentWriter(TStream& stream, TComponent* root) : FStream(stream), FRoot(root) {
  FBuffer.reserve(kBufferSize);
}

void TComponentWriter::WriteImage(TComponent& component) {
  FBuffer.clear();
  FPath.clear();
  FDepth = 0;
  Write(kSignature, sizeof kSignature);
  WriteComponent(component);
  WriteByte(0);
  FlushBuffer();
}

void TComponentWriter::Write(const void* data, size_t count) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  FBuffer.insert(FBuffer.end(), bytes, bytes + count);
  if (FBuffer.size() >= kBufferSize) FlushBuffer();
}

void TComponentWriter::FlushBuffer() {
  if (FBuffer.empty()) return;
  FStream.WriteBuffer(FBuffer.data(), static_cast<int64_t>(FBuffer.size()));
  FBuffer.clear();
}

void TComponentWriter::WriteCount(uint64_t value) {
  do {
    uint8_t byte = value & 0x7F;
    value >>= 7;
    if (value != 0) byte |= 0x80;
    WriteByte(byte);
  } while (value != 0);
}

void TComponentWriter::WriteNumber(int64_t value) {
  WriteCount((static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63));
}

void TComponentWriter::WriteName(const std::string& name) {
  if (name.size() > 255) throw EWriteError("The name '" + name.substr(0, 40) + "...' is too long for a component image");
  WriteByte(static_cast<uint8_t>(name.size()));
  Write(name.data(), name.size());
}

void TComponentWriter::WriteText(const std::string& text) {
  WriteCount(text.size());
  Write(text.data(), text.size());
}

void TComponentWriter::Enter() {
  // The reader refuses deeper images, so none is written.
  if (++FDepth > kMaxDepth) throw EWriteError("The component tree is too deep for a component image");
}

void TComponentWriter::WriteComponent(TComponent& component) {
  Enter();
  const std::string className = component.ClassName();
  const TComponentClass* componentClass = FindComponentClass(className);
  if (componentClass == nullptr || *componentClass->Type != typeid(component)) {
    throw EWriteError("Cannot write " + className + " " + component.Name() +
                      ": its class is not registered, so the image could not be read");
  }
  WriteName(className);
  WriteName(component.Name());
  const TReferenceComponent reference(*componentClass);
  WriteProperties(component, reference.Get());
  component.GetChildren([this](TComponent* child) { WriteComponent(*child); }, FRoot);
  WriteByte(0);
  --FDepth;
}

void TComponentWriter::WriteProperties(TPersistent& instance, TPersistent* reference) {
  FPath.push_back(&instance);
  reference = MatchingReference(instance, reference);
  for (const TPropInfo* prop : StoredProperties(instance)) WriteProperty(instance, reference, *prop);
  FPath.pop_back();
  WriteByte(0);
}

void TComponentWriter::WriteProperty(TPersistent& instance, TPersistent* reference, const TPropInfo& prop) {
  const TTypeInfo& type = *prop.PropType;
  if (tkOrdinals.Contains(type.Kind)) {
    if (SkipsOrdinal(instance, reference, prop)) return;
    const int64_t value = prop.GetOrd(instance);
    WriteName(prop.Name);
    if (IsBoolean(type)) {
      WriteByte(value != 0 ? vaTrue : vaFalse);
    } else if (type.Kind == tkEnumeration) {
      const int64_t index = value - type.MinValue;
      if (index < 0 || index >= static_cast<int64_t>(type.Names.size())) {
        throw EWriteError("Value " + std::to_string(value) + " of property " + prop.Name + " has no name");
      }
      WriteByte(vaIdent);
      WriteName(type.Names[static_cast<size_t>(index)]);
    } else if (type.Kind == tkSet) {
      WriteByte(vaSet);
      ForEachSetMember(type, [&](int64_t ordinal, const std::string& name) {
        if ((static_cast<uint64_t>(value) >> ordinal) & 1) WriteName(name);
      });
      WriteByte(0);
    } else {
      WriteByte(vaInt);
      WriteNumber(value);
    }
  } else if (type.Kind == tkFloat) {
    if (!prop.SetFloat) return;
    const double value = prop.GetFloat(instance);
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteName(prop.Name);
    WriteByte(vaFloat);
    for (int shift = 0; shift < 64; shift += 8) WriteByte(static_cast<uint8_t>(bits >> shift));
  } else if (tkStrings.Contains(type.Kind)) {
    if (!prop.SetStr) return;
    WriteName(prop.Name);
    WriteByte(vaString);
    WriteText(prop.GetStr(instance));
  } else if (type.Kind == tkClass) {
    WriteObjectProperty(instance, reference, prop);
  }
}

void TComponentWriter::WriteObjectProperty(TPersistent& instance, TPersistent* reference, const TPropInfo& prop) {
  TObject* value = prop.GetObject(instance);
  if (auto* component = dynamic_cast<TComponent*>(value)) {
    if (!CanRefer(prop, *component, FRoot)) return;
    WriteName(prop.Name);
    WriteByte(vaRef);
    WriteName(component->Name());
    return;
  }
  if (value == nullptr) {
    if (prop.SetObject && RefersToComponents(prop)) {
      WriteName(prop.Name);
      WriteByte(vaNil);
    }
    return;
  }
  auto* object = dynamic_cast<TPersistent*>(value);
  if (object == nullptr || std::find(FPath.begin(), FPath.end(), object) != FPath.end()) return;
  // Without an ancestor to differ from, an empty list is not written.
  if (auto* strings = dynamic_cast<TStrings*>(object); strings != nullptr && strings->Count() == 0) return;
  WriteName(prop.Name);
  if (auto* collection = dynamic_cast<TCollection*>(object)) {
    WriteByte(vaCollection);
    TPersistent* referenceItem = collection->Count() > 0 ? ReferenceItem(ReferenceObject(reference, prop)) : nullptr;
    for (int i = 0; i < collection->Count(); ++i) {
      Enter();
      WriteByte(vaItem);
      WriteProperties(*collection->Items(i), referenceItem);
      --FDepth;
    }
    WriteByte(0);
  } else if (auto* strings = dynamic_cast<TStrings*>(object)) {
    WriteByte(vaStrings);
    WriteCount(static_cast<uint64_t>(strings->Count()));
    for (int i = 0; i < strings->Count(); ++i) WriteText(strings->Get(i));
  } else {
    Enter();
    WriteByte(vaObject);
    WriteProperties(*object, ReferenceObject(reference, prop));
    --FDepth;
  }
}

// ---- Reader ---------------------------------------------------------------------

namespace {

[[noreturn]] void EndsTooSoon() { throw EReadError("The component image ends too soon"); }

[[noreturn]] void WrongValue(const TPersistent& instance, const TPropInfo& prop, uint8_t tag) {
  throw EReadError("Property " + prop.Name + " of " + instance.ClassName() + " (" + prop.PropType->Name +
                   ") cannot take a value of type " + std::to_string(tag));
}

int64_t OrdinalOfName(const TTypeInfo& type, const std::string& name, const TPropInfo& prop) {
  for (size_t i = 0; i < type.Names.size(); ++i) {
    if (AnsiSameText(type.Names[i], name)) return type.MinValue + static_cast<int64_t>(i);
  }
  throw EReadError("'" + name + "' is not a value of " + type.Name + " (property " + prop.Name + ")");
}

}  // namespace

TComponentReader::TComponentReader(TStream& stream)
    : FStream(stream), FBuffer(kBufferSize), FBufferStart(stream.Position()) {}

TComponentReader::~TComponentReader() {
  try {
    FStream.Seek(Position(), soBeginning);
  } catch (...) {
    // A stream that cannot seek back keeps its position; nothing else is lost.
  }
}

void TComponentReader::SetPosition(int64_t position) {
  if (position >= FBufferStart && position <= FBufferStart + static_cast<int64_t>(FBufferEnd)) {
    FBufferPos = static_cast<size_t>(position - FBufferStart);
    return;
  }
  FStream.Seek(position, soBeginning);
  FBufferStart = position;
  FBufferPos = FBufferEnd = 0;
}

void TComponentReader::Fill() {
  FBufferStart += static_cast<int64_t>(FBufferEnd);
  FBufferPos = FBufferEnd = 0;
  const int64_t count = FStream.Read(FBuffer.data(), static_cast<int64_t>(FBuffer.size()));
  if (count <= 0) EndsTooSoon();
  FBufferEnd = static_cast<size_t>(count);
}

void TComponentReader::Read(void* data, size_t count) {
  auto* bytes = static_cast<uint8_t*>(data);
  while (count > 0) {
    if (FBufferPos == FBufferEnd) Fill();
    const size_t chunk = std::min(count, FBufferEnd - FBufferPos);
    std::memcpy(bytes, FBuffer.data() + FBufferPos, chunk);
    FBufferPos += chunk;
    bytes += chunk;
    count -= chunk;
  }
}

uint8_t TComponentReader::ReadByte() {
  if (FBufferPos == FBufferEnd) Fill();
  return FBuffer[FBufferPos++];
}

bool TComponentReader::EndOfList() {
  if (FBufferPos == FBufferEnd) Fill();
  return FBuffer[FBufferPos] == 0;
}

void TComponentReader::ReadListEnd() {
  if (ReadByte() != 0) throw EReadError("The component image is corrupt: a list does not end where it should");
}

uint64_t TComponentReader::ReadCount() {
  uint64_t value = 0;
  for (int shift = 0;; shift += 7) {
    const uint8_t byte = ReadByte();
    if (shift == 63 && byte > 1) throw EReadError("The component image is corrupt: a number is too large");
    value |= static_cast<uint64_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return value;
  }
}

int64_t TComponentReader::ReadNumber() {
  const uint64_t zigzag = ReadCount();
  return static_cast<int64_t>((zigzag >> 1) ^ (~(zigzag & 1) + 1));
}

size_t TComponentReader::ReadLength() {
  // Each counted byte or line takes at least one byte, so no count can exceed what
  // is left; checking first keeps a corrupt count from allocating.
  const uint64_t count = ReadCount();
  const int64_t left = FStream.Size() - Position();
  if (left < 0 || count > static_cast<uint64_t>(left)) EndsTooSoon();
  return static_cast<size_t>(count);
}

std::string TComponentReader::ReadName() {
  std::string name(ReadByte(), '\0');
  Read(name.data(), name.size());
  return name;
}

std::string TComponentReader::ReadText() {
  std::string text(ReadLength(), '\0');
  Read(text.data(), text.size());
  return text;
}

void TComponentReader::Enter() {
  if (++FDepth > kMaxDepth) throw EReadError("The component image is nested too deeply");
}

std::vector<TComponent*> TComponentReader::ReadImage(TComponent& owner, TComponent* parent,
                                                     const std::function<void(TComponent*)>& afterRead) {
  FOwner = &owner;
  FCreated.clear();
  FFixups.Clear();
  FDepth = 0;
  try {
    char signature[sizeof kSignature];
    Read(signature, sizeof signature);
    if (std::memcmp(signature, kSignature, sizeof signature) != 0) {
      throw EReadError("This is not a component image (its signature is wrong)");
    }
    std::vector<TComponent*> components;
    while (!EndOfList()) {
      components.push_back(ReadComponent(parent));
      if (afterRead) afterRead(components.back());
    }
    ReadListEnd();
    FFixups.Resolve(*FOwner);
    for (TComponent* component : FCreated) component->Loaded();
    FCreated.clear();
    return components;
  } catch (...) {
    // Last made first: a control goes before the parent it was read under.
    for (auto created = FCreated.rbegin(); created != FCreated.rend(); ++created) {
      if ((*created)->Owner() == FOwner) FOwner->FreeComponent(*created);
    }
    FCreated.clear();
    throw;
  }
}

TComponent* TComponentReader::ReadComponent(TComponent* parent) {
  Enter();
  const std::string className = ReadName();
  const TComponentClass* componentClass = FindComponentClass(className);
  if (componentClass == nullptr) throw EReadError("Class " + className + " is not registered");
  const std::string name = ReadName();
  TComponent* component = componentClass->CreateOwned(FOwner);
  FCreated.push_back(component);
  component->BeginLoading();
  component->SetName(name);
  if (parent != nullptr) component->SetParentComponent(parent);
  FComponent = component;
  FPath.clear();
  ReadProperties(*component);
  while (!EndOfList()) ReadComponent(component);
  ReadListEnd();
  --FDepth;
  return component;
}

void TComponentReader::ReadProperties(TPersistent& instance) {
  while (!EndOfList()) ReadProperty(instance);
  ReadListEnd();
}

void TComponentReader::ReadProperty(TPersistent& instance) {
  const std::string name = ReadName();
  const TPropInfo* prop = instance.ClassInfo().FindProperty(name);
  if (prop == nullptr || prop->Kind() == tkMethod) {
    throw EReadError(instance.ClassName() + " has no property '" + name + "'");
  }
  const uint8_t tag = ReadByte();
  const TTypeInfo& type = *prop->PropType;
  if (type.Kind == tkClass) {
    ReadObjectProperty(instance, *prop, tag);
    return;
  }
  if (!prop->Writable()) throw EReadError("Property " + prop->Name + " of " + instance.ClassName() + " is read-only");
  if (tkOrdinals.Contains(type.Kind)) {
    prop->SetOrd(instance, ReadOrdinal(*prop, tag));
  } else if (type.Kind == tkFloat && tag == vaFloat) {
    uint8_t bytes[8];
    Read(bytes, sizeof bytes);
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | bytes[i];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    prop->SetFloat(instance, value);
  } else if (tkStrings.Contains(type.Kind) && tag == vaString) {
    prop->SetStr(instance, ReadText());
  } else {
    WrongValue(instance, *prop, tag);
  }
}

int64_t TComponentReader::ReadOrdinal(const TPropInfo& prop, uint8_t tag) {
  const TTypeInfo& type = *prop.PropType;
  if (type.Kind == tkEnumeration && (tag == vaFalse || tag == vaTrue)) {
    return OrdinalOfName(type, tag == vaTrue ? "True" : "False", prop);
  }
  if (type.Kind == tkEnumeration && tag == vaIdent) return OrdinalOfName(type, ReadName(), prop);
  if (type.Kind == tkSet && tag == vaSet) {
    uint64_t mask = 0;
    for (std::string name = ReadName(); !name.empty(); name = ReadName()) {
      const int64_t ordinal = OrdinalOfName(*type.ElementType, name, prop);
      if (ordinal < 0 || ordinal >= 64) throw EReadError("A set cannot hold " + name + " (property " + prop.Name + ")");
      mask |= uint64_t{1} << ordinal;
    }
    return static_cast<int64_t>(mask);
  }
  if (type.Kind != tkEnumeration && type.Kind != tkSet && tag == vaInt) return ReadNumber();
  throw EReadError("Property " + prop.Name + " (" + type.Name + ") cannot take a value of type " + std::to_string(tag));
}

void TComponentReader::ReadObjectProperty(TPersistent& instance, const TPropInfo& prop, uint8_t tag) {
  if (tag == vaNil || tag == vaRef) {
    if (!RefersToComponents(prop) || !prop.SetObject) WrongValue(instance, prop, tag);
    if (tag == vaNil) {
      prop.SetObject(instance, nullptr);
    } else {
      FFixups.Add(FComponent, FPath, &prop, ReadName());
    }
    return;
  }
  TObject* value = prop.GetObject(instance);
  if (tag == vaCollection) {
    ReadCollection(value, prop);
  } else if (tag == vaStrings) {
    auto* strings = dynamic_cast<TStrings*>(value);
    if (strings == nullptr) WrongValue(instance, prop, tag);
    auto lines = Create<TStringList>();
    for (size_t count = ReadLength(); count > 0; --count) lines->Add(ReadText());
    // In place, so that the list keeps its own rules (sorted, no duplicates).
    strings->LoadStoredLines(*lines);
  } else if (tag == vaObject) {
    // Never into a component: a reference would let an image change another one.
    auto* object = dynamic_cast<TPersistent*>(value);
    if (object == nullptr || dynamic_cast<TComponent*>(value) != nullptr) WrongValue(instance, prop, tag);
    Enter();
    FPath.push_back({&prop, -1});
    ReadProperties(*object);
    FPath.pop_back();
    --FDepth;
  } else {
    WrongValue(instance, prop, tag);
  }
}

void TComponentReader::ReadCollection(TObject* value, const TPropInfo& prop) {
  auto* collection = dynamic_cast<TCollection*>(value);
  if (collection == nullptr) throw EReadError("Property " + prop.Name + " is not a collection");
  collection->BeginUpdate();
  try {
    collection->Clear();
    while (!EndOfList()) {
      if (ReadByte() != vaItem) throw EReadError("The items of property " + prop.Name + " are corrupt");
      if (collection->Count() >= collection->MaxItemCount()) {
        throw EReadError("Property " + prop.Name + " holds more items than " + collection->ClassName() +
                         " allows (" + std::to_string(collection->MaxItemCount()) + ")");
      }
      TCollectionItem* item = collection->Add();
      Enter();
      FPath.push_back({&prop, collection->Count() - 1});
      ReadProperties(*item);
      FPath.pop_back();
      --FDepth;
    }
    ReadListEnd();
  } catch (...) {
    collection->EndUpdate();
    throw;
  }
  collection->EndUpdate();
}

}  // namespace plomaret
