#include "Properties.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <map>

#include "CodePage.h"
#include "Collection.h"

namespace plomaret {

// ---- Type descriptions ----------------------------------------------------------

TTypeInfo OrdinalTypeInfo(TTypeKind kind, std::string name, int64_t minValue, int64_t maxValue) {
  TTypeInfo info;
  info.Kind = kind;
  info.Name = std::move(name);
  info.MinValue = minValue;
  info.MaxValue = maxValue;
  return info;
}

TTypeInfo EnumTypeInfo(std::string name, std::vector<std::string> names) {
  TTypeInfo info = OrdinalTypeInfo(tkEnumeration, std::move(name), 0, static_cast<int64_t>(names.size()) - 1);
  info.Names = std::move(names);
  return info;
}

TTypeInfo SetTypeInfo(std::string name, const TTypeInfo& elementType) {
  TTypeInfo info;
  info.Kind = tkSet;
  info.Name = std::move(name);
  info.ElementType = &elementType;
  return info;
}

TTypeInfo ClassTypeInfo(std::string name, const TClassInfo& (*classInfoOf)()) {
  TTypeInfo info;
  info.Kind = tkClass;
  info.Name = std::move(name);
  info.ClassInfoOf = classInfoOf;
  return info;
}

const TTypeInfo& MethodTypeInfo(const std::string& name) {
  // One description per event type name; map nodes keep their addresses.
  static std::map<std::string, TTypeInfo, std::less<>> types;
  auto found = types.find(name);
  if (found == types.end()) {
    TTypeInfo info;
    info.Kind = tkMethod;
    info.Name = name;
    found = types.emplace(name, std::move(info)).first;
  }
  return found->second;
}

template <class T>
static TTypeInfo IntegerTypeInfo(TTypeKind kind, const char* name) {
  return OrdinalTypeInfo(kind, name, std::numeric_limits<T>::min(), static_cast<int64_t>(std::numeric_limits<T>::max()));
}

const TTypeInfo& TypeInfoOf(TTypeTag<bool>) {
  static const TTypeInfo info = EnumTypeInfo("Boolean", {"False", "True"});
  return info;
}
const TTypeInfo& TypeInfoOf(TTypeTag<char>) {
  static const TTypeInfo info = OrdinalTypeInfo(tkChar, "Char", 0, 255);
  return info;
}
const TTypeInfo& TypeInfoOf(TTypeTag<int8_t>) {
  static const TTypeInfo info = IntegerTypeInfo<int8_t>(tkInteger, "ShortInt");
  return info;
}
const TTypeInfo& TypeInfoOf(TTypeTag<uint8_t>) {
  static const TTypeInfo info = IntegerTypeInfo<uint8_t>(tkInteger, "Byte");
  return info;
}
const TTypeInfo& TypeInfoOf(TTypeTag<int16_t>) {
  static const TTypeInfo info = IntegerTypeInfo<int16_t>(tkInteger, "SmallInt");
  return info;
}
const TTypeInfo& TypeInfoOf(TTypeTag<uint16_t>) {
  static const TTypeInfo info = IntegerTypeInfo<uint16_t>(tkInteger, "Word");
  return info;
}
const TTypeInfo& TypeInfoOf(TTypeTag<int32_t>) {
  static const TTypeInfo info = IntegerTypeInfo<int32_t>(tkInteger, "Integer");
  return info;
}
const TTypeInfo& TypeInfoOf(TTypeTag<uint32_t>) {
  static const TTypeInfo info = IntegerTypeInfo<uint32_t>(tkInteger, "Cardinal");
  return info;
}
const TTypeInfo& TypeInfoOf(TTypeTag<int64_t>) {
  static const TTypeInfo info = IntegerTypeInfo<int64_t>(tkInt64, "Int64");
  return info;
}
const TTypeInfo& TypeInfoOf(TTypeTag<double>) {
  static const TTypeInfo info = [] {
    TTypeInfo type;
    type.Kind = tkFloat;
    type.Name = "Double";
    return type;
  }();
  return info;
}
const TTypeInfo& TypeInfoOf(TTypeTag<std::string>) {
  static const TTypeInfo info = [] {
    TTypeInfo type;
    type.Kind = tkLString;
    type.Name = "AnsiString";
    return type;
  }();
  return info;
}

// ---- Class descriptions ---------------------------------------------------------

const TClassInfo& TPersistent::StaticClassInfo() {
  static const TClassInfo info("TPersistent", nullptr);
  return info;
}

bool TClassInfo::InheritsFrom(const TClassInfo& ancestor) const {
  for (const TClassInfo* info = this; info != nullptr; info = info->FParent) {
    if (info == &ancestor) return true;
  }
  return false;
}

std::vector<const TPropInfo*> TClassInfo::Properties() const {
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* info = this; info != nullptr; info = info->FParent) chain.push_back(info);
  std::vector<const TPropInfo*> result;
  for (auto level = chain.rbegin(); level != chain.rend(); ++level) {
    for (const TPropInfo& prop : (*level)->FProperties) {
      auto same = std::find_if(result.begin(), result.end(),
                               [&](const TPropInfo* known) { return AnsiSameText(known->Name, prop.Name); });
      if (same != result.end()) {
        *same = &prop;
      } else {
        result.push_back(&prop);
      }
    }
  }
  return result;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const {
  for (const TClassInfo* info = this; info != nullptr; info = info->FParent) {
    for (const TPropInfo& prop : info->FProperties) {
      if (AnsiSameText(prop.Name, name)) return &prop;
    }
  }
  return nullptr;
}

std::vector<const TPropInfo*> GetPropList(const TClassInfo& info, TTypeKinds kinds, bool sorted) {
  std::vector<const TPropInfo*> result;
  for (const TPropInfo* prop : info.Properties()) {
    if (kinds.Contains(prop->Kind())) result.push_back(prop);
  }
  if (sorted) {
    std::stable_sort(result.begin(), result.end(), [](const TPropInfo* a, const TPropInfo* b) {
      return AnsiCompareText(a->Name, b->Name) < 0;
    });
  }
  return result;
}

static uint64_t SetMaskOf(const TTypeInfo& setType) {
  const TTypeInfo& element = *setType.ElementType;
  uint64_t mask = 0;
  for (int64_t value = element.MinValue; value <= element.MaxValue && value < 64; ++value) {
    if (value >= 0) mask |= uint64_t{1} << value;
  }
  return mask;
}

void CheckOrdinalValue(const TTypeInfo& type, std::string_view propName, int64_t value) {
  bool valid;
  if (type.Kind == tkSet) {
    valid = (static_cast<uint64_t>(value) & ~SetMaskOf(type)) == 0;
  } else {
    valid = value >= type.MinValue && value <= type.MaxValue;
  }
  if (!valid) {
    throw EConvertError("Value " + std::to_string(value) + " is out of range for property " + std::string(propName) +
                        " (" + type.Name + ")");
  }
}

void CopyPublishedProperties(const TClassInfo& info, const TPersistent& source, TPersistent& target) {
  for (const TPropInfo* prop : info.Properties()) {
    if (!prop->Stored || !prop->Writable()) continue;
    if (prop->SetOrdUnchecked) {
      prop->SetOrdUnchecked(target, prop->GetOrd(source));
    } else if (prop->SetFloat) {
      prop->SetFloat(target, prop->GetFloat(source));
    } else if (prop->SetStr) {
      prop->SetStr(target, prop->GetStr(source));
    } else if (prop->SetObject) {
      prop->SetObject(target, prop->GetObject(source));
    }
  }
}

namespace properties_detail {

void WrongInstance(const std::string& className, const TObject& instance) {
  throw EConvertError("A property of " + className + " was used on a " + instance.ClassName());
}

void WrongValueClass(const std::string& property, const TObject* value) {
  throw EConvertError("Cannot set property " + property + " to a " + (value != nullptr ? value->ClassName() : "nil"));
}

}  // namespace properties_detail

// ---- Text of one property -------------------------------------------------------

static std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Decimal with an optional sign, or "$" and hexadecimal digits (two's complement
// within 64 bits). False when text is neither.
static bool ParseInteger(std::string_view text, int64_t& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  if (text.front() == '$') {
    uint64_t bits = 0;
    auto [ptr, error] = std::from_chars(text.data() + 1, end, bits, 16);
    if (error != std::errc() || ptr != end || text.size() == 1) return false;
    value = static_cast<int64_t>(bits);
    return true;
  }
  const char* begin = text.data();
  if (text.front() == '+') ++begin;
  auto [ptr, error] = std::from_chars(begin, end, value, 10);
  return error == std::errc() && ptr == end && begin != end;
}

static std::string JoinNames(const std::vector<std::string>& names) {
  std::string result;
  for (const std::string& name : names) {
    if (!result.empty()) result += ", ";
    result += name;
  }
  return result;
}

static int64_t ParseEnumName(const TTypeInfo& type, std::string_view text, const std::string& propName) {
  for (size_t i = 0; i < type.Names.size(); ++i) {
    if (AnsiSameText(type.Names[i], text)) return type.MinValue + static_cast<int64_t>(i);
  }
  throw EConvertError("'" + std::string(text) + "' is not a valid value for property " + propName + "; expected one of " +
                      JoinNames(type.Names));
}

static std::string EnumName(const TTypeInfo& type, int64_t value) {
  const int64_t index = value - type.MinValue;
  if (index >= 0 && index < static_cast<int64_t>(type.Names.size())) return type.Names[static_cast<size_t>(index)];
  return std::to_string(value);
}

static std::string SetText(const TTypeInfo& type, int64_t value) {
  const TTypeInfo& element = *type.ElementType;
  std::string result = "[";
  for (int64_t ordinal = std::max<int64_t>(element.MinValue, 0); ordinal <= element.MaxValue && ordinal < 64; ++ordinal) {
    if ((static_cast<uint64_t>(value) >> ordinal) & 1) {
      if (result.size() > 1) result += ',';
      result += EnumName(element, ordinal);
    }
  }
  return result + "]";
}

static int64_t ParseSet(const TTypeInfo& type, std::string_view text, const std::string& propName) {
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
    text = text.substr(1, text.size() - 2);
  } else {
    throw EConvertError("'" + std::string(text) + "' is not a set for property " + propName +
                        "; write it as [name,name] or []");
  }
  uint64_t mask = 0;
  while (!Trim(text).empty()) {
    const size_t comma = text.find(',');
    const std::string_view name = Trim(text.substr(0, comma));
    const int64_t ordinal = ParseEnumName(*type.ElementType, name, propName);
    if (ordinal < 0 || ordinal >= 64) {
      throw EConvertError("Value " + std::string(name) + " cannot be held by the set of property " + propName);
    }
    mask |= uint64_t{1} << ordinal;
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
    if (Trim(text).empty()) throw EConvertError("A set for property " + propName + " ends with a comma");
  }
  return static_cast<int64_t>(mask);
}

static std::string FloatText(double value) {
  char buffer[64];
  auto [ptr, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, ptr);
}

std::string GetPropertyText(const TObject& instance, const TPropInfo& prop) {
  const TTypeInfo& type = *prop.PropType;
  if (tkOrdinals.Contains(type.Kind)) {
    const int64_t value = prop.GetOrd(instance);
    switch (type.Kind) {
      case tkEnumeration:
        return EnumName(type, value);
      case tkSet:
        return SetText(type, value);
      case tkChar:
      case tkWChar:
        return std::string(1, static_cast<char>(value));
      default:
        return type.ToText != nullptr ? type.ToText(value) : std::to_string(value);
    }
  }
  if (type.Kind == tkFloat) return FloatText(prop.GetFloat(instance));
  if (tkStrings.Contains(type.Kind)) return prop.GetStr(instance);
  if (type.Kind == tkClass) {
    const TObject* object = prop.GetObject(instance);
    return object != nullptr ? "(" + object->ClassName() + ")" : "nil";
  }
  throw EConvertError("Property " + prop.Name + " (" + type.Name + ") has no text value");
}

void SetPropertyText(TObject& instance, const TPropInfo& prop, std::string_view text) {
  const TTypeInfo& type = *prop.PropType;
  if (type.Kind == tkClass) {
    throw EConvertError("Property " + prop.Name + " is an object (" + type.Name + "); set one of its properties");
  }
  if (!prop.Writable()) throw EConvertError("Property " + prop.Name + " is read-only");
  if (tkStrings.Contains(type.Kind)) {
    prop.SetStr(instance, std::string(text));
    return;
  }
  const std::string_view trimmed = Trim(text);
  if (type.Kind == tkFloat) {
    double value = 0;
    const char* end = trimmed.data() + trimmed.size();
    auto [ptr, error] = std::from_chars(trimmed.data(), end, value);
    if (error != std::errc() || ptr != end || trimmed.empty()) {
      throw EConvertError("'" + std::string(text) + "' is not a valid number for property " + prop.Name);
    }
    prop.SetFloat(instance, value);
    return;
  }
  int64_t value = 0;
  switch (type.Kind) {
    case tkEnumeration:
      value = ParseEnumName(type, trimmed, prop.Name);
      break;
    case tkSet:
      value = ParseSet(type, trimmed, prop.Name);
      break;
    case tkChar:
    case tkWChar:
      if (text.size() != 1) throw EConvertError("Property " + prop.Name + " takes exactly one character");
      value = static_cast<unsigned char>(text.front());
      break;
    default:
      if (type.FromText != nullptr) {
        value = type.FromText(trimmed);
      } else if (!ParseInteger(trimmed, value)) {
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value for property " + prop.Name);
      }
      break;
  }
  prop.SetOrd(instance, value);
}

// ---- Paths ----------------------------------------------------------------------

namespace {

struct TPathStep {
  std::string_view Name;
  std::optional<int> Index;  // "Name[3]"
};

TPathStep ParseStep(std::string_view step, std::string_view path) {
  TPathStep result;
  const size_t open = step.find('[');
  result.Name = step.substr(0, open);
  if (open != std::string_view::npos) {
    const std::string_view digits = step.substr(open + 1);
    int index = -1;
    bool valid = digits.size() >= 2 && digits.back() == ']';
    if (valid) {
      const char* last = digits.data() + digits.size() - 1;
      auto [ptr, error] = std::from_chars(digits.data(), last, index);
      valid = error == std::errc() && ptr == last;
    }
    if (!valid) throw EConvertError("Bad item index in property path '" + std::string(path) + "'");
    result.Index = index;
  }
  if (result.Name.empty()) throw EConvertError("Bad property path '" + std::string(path) + "'");
  return result;
}

// What a path names: a property of an object, or (with an index on the last step)
// a collection item.
struct TPathTarget {
  TPersistent* Instance = nullptr;
  const TPropInfo* Prop = nullptr;
};

TPersistent* ItemOf(TObject* object, int index, std::string_view stepText, std::string_view path) {
  auto* collection = dynamic_cast<TCollection*>(object);
  if (collection == nullptr) {
    throw EConvertError(std::string(stepText) + " is not a collection (in '" + std::string(path) + "')");
  }
  if (index < 0 || index >= collection->Count()) {
    throw EConvertError("Item index " + std::to_string(index) + " is out of range; " + std::string(stepText) + " has " +
                        std::to_string(collection->Count()) + " items (in '" + std::string(path) + "')");
  }
  return collection->Items(index);
}

TPathTarget ResolvePath(TPersistent& root, std::string_view path) {
  TPersistent* current = &root;
  std::string_view rest = path;
  for (;;) {
    const size_t dot = rest.find('.');
    const std::string_view stepText = rest.substr(0, dot);
    const TPathStep step = ParseStep(stepText, path);
    const TPropInfo* prop = current->ClassInfo().FindProperty(step.Name);
    if (prop == nullptr) {
      throw EConvertError(current->ClassName() + " has no property '" + std::string(step.Name) + "' (in '" +
                          std::string(path) + "')");
    }
    const bool last = dot == std::string_view::npos;
    if (last && !step.Index) return {current, prop};
    if (prop->Kind() != tkClass) {
      throw EConvertError(std::string(step.Name) + " of " + current->ClassName() + " is not an object (in '" +
                          std::string(path) + "')");
    }
    TObject* value = prop->GetObject(*current);
    if (value == nullptr) {
      throw EConvertError(std::string(step.Name) + " of " + current->ClassName() + " is nil (in '" + std::string(path) +
                          "')");
    }
    TPersistent* next = step.Index ? ItemOf(value, *step.Index, stepText, path) : dynamic_cast<TPersistent*>(value);
    if (next == nullptr) {
      throw EConvertError(std::string(step.Name) + " has no published properties (in '" + std::string(path) + "')");
    }
    if (last) return {next, nullptr};
    current = next;
    rest.remove_prefix(dot + 1);
  }
}

}  // namespace

std::string GetPropertyByPath(TPersistent& root, std::string_view path) {
  const TPathTarget target = ResolvePath(root, path);
  if (target.Prop == nullptr) return "(" + target.Instance->ClassName() + ")";
  return GetPropertyText(*target.Instance, *target.Prop);
}

void SetPropertyByPath(TPersistent& root, std::string_view path, std::string_view text) {
  const TPathTarget target = ResolvePath(root, path);
  if (target.Prop == nullptr) {
    throw EConvertError(std::string(path) + " is an object; set one of its properties");
  }
  SetPropertyText(*target.Instance, *target.Prop, text);
}

}  // namespace plomaret
