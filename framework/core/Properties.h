#pragma once
// The published-property registry.
//
// Each class that publishes properties describes them once, next to its definition:
// its name, its parent's description and, per property, the name, the type and
// typed access (ordinal kinds as int64_t, floats as double, strings as std::string,
// objects as TObject*). The property walker, the component image, the form text and
// the driver's "set"/"get" by property path all read these descriptions.
//
// An instance finds its description through the virtual TPersistent::ClassInfo()
// rather than through a table keyed by typeid: a class that publishes nothing of its
// own (a small derived class, a test double) then still answers with its nearest
// described ancestor, which typeid alone cannot find.
//
// Registration, in the class's .cpp file:
//
//   const TClassInfo& TFont::StaticClassInfo() {
//     static const TClassInfo info = TPublished<TFont>("TFont", TPersistent::StaticClassInfo())
//         .Property("Color", &TFont::Color, &TFont::SetColor)
//         .Property("Pitch", &TFont::Pitch, &TFont::SetPitch, fpDefault)
//         .Property("Size", &TFont::Size, &TFont::SetSize).NotStored();
//     return info;
//   }
//
// The property type follows from the getter's result type through TypeInfoOf(); an
// enumeration or a set type makes itself known by declaring an overload of TypeInfoOf
// next to its definition (see Graphics.h).

#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "Exceptions.h"
#include "Persistent.h"
#include "Sets.h"

namespace plomaret {

enum TTypeKind {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkString,
  tkSet,
  tkClass,
  tkMethod,
  tkWChar,
  tkLString,
  tkWString,
  tkVariant,
  tkArray,
  tkRecord,
  tkInterface,
  tkInt64,
  tkDynArray
};
using TTypeKinds = TSet<TTypeKind>;

inline constexpr TTypeKinds tkAny = TTypeKinds::FromMask((uint64_t{1} << (tkDynArray + 1)) - 1);
inline constexpr TTypeKinds tkMethods = {tkMethod};
inline constexpr TTypeKinds tkProperties = tkAny - tkMethods;

// Kinds whose values travel as int64_t.
inline constexpr TTypeKinds tkOrdinals = {tkInteger, tkChar, tkEnumeration, tkSet, tkWChar, tkInt64};
// Kinds whose values travel as std::string.
inline constexpr TTypeKinds tkStrings = {tkString, tkLString, tkWString};

// Describes one type: its kind, its name and what its values may be.
struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  std::string Name;
  // Ordinal types: the smallest and largest value.
  int64_t MinValue = 0;
  int64_t MaxValue = 0;
  // Enumerations: the value names, by ordinal ("raLineEnd", ...).
  std::vector<std::string> Names;
  // Sets: the enumeration of their elements.
  const TTypeInfo* ElementType = nullptr;
  // Classes: their description, looked up only when asked, because two classes may
  // publish properties of each other's type.
  const TClassInfo& (*ClassInfoOf)() = nullptr;
  // Integer types with a text form of their own (colours by name or "$00BBGGRR").
  std::string (*ToText)(int64_t value) = nullptr;
  int64_t (*FromText)(std::string_view text) = nullptr;

  const TClassInfo* ClassType() const { return ClassInfoOf != nullptr ? &ClassInfoOf() : nullptr; }
};

TTypeInfo OrdinalTypeInfo(TTypeKind kind, std::string name, int64_t minValue, int64_t maxValue);
TTypeInfo EnumTypeInfo(std::string name, std::vector<std::string> names);
TTypeInfo SetTypeInfo(std::string name, const TTypeInfo& elementType);

// TypeInfoOf(TTypeTag<T>{}) is the description of the C++ type T.
template <class T>
struct TTypeTag {};

const TTypeInfo& TypeInfoOf(TTypeTag<bool>);
const TTypeInfo& TypeInfoOf(TTypeTag<char>);
const TTypeInfo& TypeInfoOf(TTypeTag<int8_t>);
const TTypeInfo& TypeInfoOf(TTypeTag<uint8_t>);
const TTypeInfo& TypeInfoOf(TTypeTag<int16_t>);
const TTypeInfo& TypeInfoOf(TTypeTag<uint16_t>);
const TTypeInfo& TypeInfoOf(TTypeTag<int32_t>);
const TTypeInfo& TypeInfoOf(TTypeTag<uint32_t>);
const TTypeInfo& TypeInfoOf(TTypeTag<int64_t>);
const TTypeInfo& TypeInfoOf(TTypeTag<double>);
const TTypeInfo& TypeInfoOf(TTypeTag<std::string>);

TTypeInfo ClassTypeInfo(std::string name, const TClassInfo& (*classInfoOf)());
const TTypeInfo& MethodTypeInfo(const std::string& name);

template <class T>
  requires std::derived_from<T, TPersistent>
const TTypeInfo& TypeInfoOf(TTypeTag<T*>) {
  static const TTypeInfo info = ClassTypeInfo(ClassNameOf(typeid(T)), &T::StaticClassInfo);
  return info;
}

// A set type without a name of its own; a named one ("TFontStyles") declares a
// plain overload, which wins over this template.
template <class E>
const TTypeInfo& TypeInfoOf(TTypeTag<TSet<E>>) {
  const TTypeInfo& element = TypeInfoOf(TTypeTag<E>{});
  static const TTypeInfo info = SetTypeInfo("set of " + element.Name, element);
  return info;
}

// One published property.
struct TPropInfo {
  std::string Name;
  const TTypeInfo* PropType = nullptr;
  // The class's default (ordinal kinds only). A value equal to it need not be
  // stored, unless a freshly made owner gives this object another (the writers
  // check that too).
  std::optional<int64_t> Default;
  // False for a property derived from others (a font's Size from its Height).
  bool Stored = true;

  // Access by kind; an empty setter means the property is read-only. Events
  // (tkMethod) have no access here. SetObject either assigns into the object the
  // instance owns or stores a reference, as the class's setter does.
  std::function<int64_t(const TObject&)> GetOrd;
  std::function<void(TObject&, int64_t)> SetOrd;
  // The setter without SetOrd's range check, for a value another instance of the
  // class already holds (its C++ setters may let in more than the published type).
  std::function<void(TObject&, int64_t)> SetOrdUnchecked;
  std::function<double(const TObject&)> GetFloat;
  std::function<void(TObject&, double)> SetFloat;
  std::function<std::string(const TObject&)> GetStr;
  std::function<void(TObject&, const std::string&)> SetStr;
  std::function<TObject*(const TObject&)> GetObject;
  std::function<void(TObject&, TObject*)> SetObject;

  TTypeKind Kind() const { return PropType->Kind; }
  bool Writable() const { return SetOrd || SetFloat || SetStr || SetObject; }
  // For object properties: the class of the values, known without an instance.
  const TClassInfo* ElementClass() const { return PropType->ClassType(); }
};

class TClassInfo {
 public:
  TClassInfo(std::string name, const TClassInfo* parent) : FName(std::move(name)), FParent(parent) {}

  const std::string& Name() const { return FName; }
  const TClassInfo* Parent() const { return FParent; }
  bool InheritsFrom(const TClassInfo& ancestor) const;

  // The properties this class itself publishes, in registration order.
  const std::vector<TPropInfo>& OwnProperties() const { return FProperties; }
  // All published properties, the root class's first. A property a class publishes
  // again (to change its default, say) appears once, in its first place, as redeclared.
  std::vector<const TPropInfo*> Properties() const;
  // By name, without regard to case; nullptr when there is none.
  const TPropInfo* FindProperty(std::string_view name) const;

  // A new object of the class as its constructor and AfterConstruction leave it, for
  // classes made without arguments (not components: their owner frees them).
  bool CanCreateFresh() const { return FCreateFresh != nullptr; }
  TOwned<TPersistent> CreateFresh() const { return FCreateFresh(); }

 private:
  template <class C>
  friend class TPublished;

  std::string FName;
  const TClassInfo* FParent;
  std::vector<TPropInfo> FProperties;
  TOwned<TPersistent> (*FCreateFresh)() = nullptr;
};

// The published properties of a class whose kinds are in kinds, sorted by name
// (without regard to case) when sorted is set.
std::vector<const TPropInfo*> GetPropList(const TClassInfo& info, TTypeKinds kinds, bool sorted);

// Checks an ordinal value against its type; raises EConvertError naming the property.
void CheckOrdinalValue(const TTypeInfo& type, std::string_view propName, int64_t value);

// Copies from source to target every stored, writable property info publishes,
// through target's setters: an owned object by its own Assign. Both must be of
// info's class. Events, read-only and derived (not stored) properties stay as they are.
void CopyPublishedProperties(const TClassInfo& info, const TPersistent& source, TPersistent& target);

namespace properties_detail {

template <class V>
struct IsSet : std::false_type {};
template <class E>
struct IsSet<TSet<E>> : std::true_type {};

template <class V>
concept Ordinal = std::is_integral_v<V> || std::is_enum_v<V> || IsSet<V>::value;

template <class V>
concept ObjectPointer = std::is_pointer_v<V> && std::derived_from<std::remove_pointer_t<V>, TObject>;

template <class V>
int64_t ToOrdinal(V value) {
  if constexpr (IsSet<V>::value) {
    return static_cast<int64_t>(value.Mask());
  } else if constexpr (std::is_same_v<V, char>) {
    return static_cast<unsigned char>(value);
  } else {
    return static_cast<int64_t>(value);
  }
}

template <class V>
V FromOrdinal(int64_t ordinal) {
  if constexpr (IsSet<V>::value) {
    return V::FromMask(static_cast<uint64_t>(ordinal));
  } else {
    return static_cast<V>(ordinal);
  }
}

[[noreturn]] void WrongInstance(const std::string& className, const TObject& instance);
[[noreturn]] void WrongValueClass(const std::string& property, const TObject* value);

}  // namespace properties_detail

// Builds the description of class C; see the example at the top of this file.
template <class C>
class TPublished {
 public:
  TPublished(std::string name, const TClassInfo& parent) : FInfo(std::move(name), &parent) {
    if constexpr (std::is_default_constructible_v<C> && !std::is_abstract_v<C> && !ComponentClass<C>) {
      FInfo.FCreateFresh = [] { return TOwned<TPersistent>(Create<C>().release()); };
    }
  }

  // A property whose type is the getter's result type. The setter may be nullptr
  // for a read-only property.
  template <class G, class S>
  TPublished&& Property(std::string name, G getter, S setter) && {
    Add(std::move(name), TypeInfoOf(TTypeTag<ValueOf<G>>{}), getter, setter);
    return std::move(*this);
  }
  template <class G, class S, class D>
  TPublished&& Property(std::string name, G getter, S setter, D defaultValue) && {
    Add(std::move(name), TypeInfoOf(TTypeTag<ValueOf<G>>{}), getter, setter);
    SetDefault<ValueOf<G>>(defaultValue);
    return std::move(*this);
  }

  // A property whose published type differs from its C++ type (a byte range kept
  // in an int, for instance).
  template <class G, class S>
  TPublished&& TypedProperty(std::string name, const TTypeInfo& type, G getter, S setter) && {
    Add(std::move(name), type, getter, setter);
    return std::move(*this);
  }
  template <class G, class S, class D>
  TPublished&& TypedProperty(std::string name, const TTypeInfo& type, G getter, S setter, D defaultValue) && {
    Add(std::move(name), type, getter, setter);
    SetDefault<ValueOf<G>>(defaultValue);
    return std::move(*this);
  }

  // An event: its name and type name only.
  TPublished&& Event(std::string name, const std::string& typeName) && {
    TPropInfo prop;
    prop.Name = std::move(name);
    prop.PropType = &MethodTypeInfo(typeName);
    FInfo.FProperties.push_back(std::move(prop));
    return std::move(*this);
  }

  // The property added last is derived from others and is not stored.
  TPublished&& NotStored() && {
    FInfo.FProperties.back().Stored = false;
    return std::move(*this);
  }

  // Each writable ordinal property added from here on takes as its default what
  // fresh holds, so that the field initializers are the one place a default is
  // written. An explicit default still wins.
  TPublished&& DefaultsFrom(TOwned<C> fresh) && {
    FFresh = std::move(fresh);
    return std::move(*this);
  }

  operator TClassInfo() && { return std::move(FInfo); }

 private:
  template <class G>
  using ValueOf = std::remove_cvref_t<std::invoke_result_t<G, const C&>>;

  static const C& Self(const TObject& instance) {
    const auto* self = dynamic_cast<const C*>(&instance);
    if (self == nullptr) properties_detail::WrongInstance(ClassNameOf(typeid(C)), instance);
    return *self;
  }
  static C& Self(TObject& instance) { return const_cast<C&>(Self(static_cast<const TObject&>(instance))); }

  template <class V, class D>
  void SetDefault(D defaultValue) {
    static_assert(properties_detail::Ordinal<V>, "only ordinal properties have a default value");
    FInfo.FProperties.back().Default = properties_detail::ToOrdinal<V>(static_cast<V>(defaultValue));
  }

  template <class G, class S>
  void Add(std::string name, const TTypeInfo& type, G getter, S setter) {
    using V = ValueOf<G>;
    namespace detail = properties_detail;
    constexpr bool readOnly = std::is_null_pointer_v<S>;
    TPropInfo prop;
    prop.Name = std::move(name);
    prop.PropType = &type;
    if constexpr (std::is_same_v<V, std::string>) {
      prop.GetStr = [getter](const TObject& o) { return std::string(std::invoke(getter, Self(o))); };
      if constexpr (!readOnly) {
        prop.SetStr = [setter](TObject& o, const std::string& v) { std::invoke(setter, Self(o), v); };
      }
    } else if constexpr (std::is_floating_point_v<V>) {
      prop.GetFloat = [getter](const TObject& o) { return static_cast<double>(std::invoke(getter, Self(o))); };
      if constexpr (!readOnly) {
        prop.SetFloat = [setter](TObject& o, double v) { std::invoke(setter, Self(o), static_cast<V>(v)); };
      }
    } else if constexpr (detail::ObjectPointer<V>) {
      using T = std::remove_pointer_t<V>;
      prop.GetObject = [getter](const TObject& o) -> TObject* { return std::invoke(getter, Self(o)); };
      if constexpr (!readOnly) {
        std::string propName = prop.Name;
        prop.SetObject = [setter, propName](TObject& o, TObject* v) {
          T* value = dynamic_cast<T*>(v);
          if (v != nullptr && value == nullptr) detail::WrongValueClass(propName, v);
          if constexpr (std::is_invocable_v<S, C&, T*>) {
            std::invoke(setter, Self(o), value);
          } else {
            if (value == nullptr) detail::WrongValueClass(propName, v);
            std::invoke(setter, Self(o), *value);
          }
        };
      }
    } else {
      static_assert(detail::Ordinal<V>, "unsupported property type");
      prop.GetOrd = [getter](const TObject& o) { return detail::ToOrdinal<V>(std::invoke(getter, Self(o))); };
      if constexpr (!readOnly) {
        prop.SetOrdUnchecked = [setter](TObject& o, int64_t v) { std::invoke(setter, Self(o), detail::FromOrdinal<V>(v)); };
        // The check keeps out-of-range values away from enumerations and sets.
        prop.SetOrd = [set = prop.SetOrdUnchecked, typeInfo = &type, propName = prop.Name](TObject& o, int64_t v) {
          CheckOrdinalValue(*typeInfo, propName, v);
          set(o, v);
        };
        if (FFresh) prop.Default = prop.GetOrd(*FFresh);
      }
    }
    FInfo.FProperties.push_back(std::move(prop));
  }

  TClassInfo FInfo;
  TOwned<C> FFresh;
};

// Reading and writing properties as text, by a path of property names separated by
// dots ("Caret.TabSpaceCount", "View.Colors.Select.BkColor"); a collection property
// takes an item index ("View.Brackets[0].LeftBracket"). Integers are decimal, enum
// values and booleans by name ("raLineEnd", "True"), sets as "[fsBold,fsItalic]",
// colours by name or as "$00BBGGRR", strings as they are. Unknown names and bad
// values raise EConvertError.
std::string GetPropertyByPath(TPersistent& root, std::string_view path);
void SetPropertyByPath(TPersistent& root, std::string_view path, std::string_view text);

// The same for one property of instance.
std::string GetPropertyText(const TObject& instance, const TPropInfo& prop);
void SetPropertyText(TObject& instance, const TPropInfo& prop, std::string_view text);

}  // namespace plomaret
