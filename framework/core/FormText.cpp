#include "FormText.h"

#include <algorithm>

#include "CodePage.h"
#include "Collection.h"
#include "Properties.h"
#include "StreamedProperties.h"
#include "Strings.h"

namespace plomaret {

using namespace streaming;

namespace {

bool IsPrintable(unsigned char c) { return c >= 0x20 && c < 0x7F; }

std::string Quoted(std::string_view text) {
  std::string result;
  bool open = false;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsPrintable(c)) {
      if (!open) result += '\'';
      open = true;
      result += ch;
      if (ch == '\'') result += '\'';
    } else {
      if (open) result += '\'';
      open = false;
      result += '#' + std::to_string(c);
    }
  }
  if (open) result += '\'';
  return result.empty() ? "''" : result;
}

// ---- Writer ---------------------------------------------------------------------

class TTextWriter {
 public:
  TTextWriter(std::string& out, TComponent* root) : FOut(out), FRoot(root) {}

  void WriteComponent(TComponent& component, int indent) {
    Enter();
    const std::string className = component.ClassName();
    const TComponentClass* componentClass = FindComponentClass(className);
    if (componentClass == nullptr || *componentClass->Type != typeid(component)) {
      throw EWriteError("Cannot write " + className + " " + component.Name() +
                        ": its class is not registered, so the text could not be read");
    }
    Line(indent, "object " + (component.Name().empty() ? className : component.Name() + ": " + className));
    const TReferenceComponent reference(*componentClass);
    WriteProperties(component, reference.Get(), "", indent + 2);
    component.GetChildren([&](TComponent* child) { WriteComponent(*child, indent + 2); }, FRoot);
    Line(indent, "end");
    --FDepth;
  }

 private:
  void Line(int indent, const std::string& text) {
    FOut.append(static_cast<size_t>(indent), ' ');
    FOut += text;
    FOut += '\n';
  }

  void Enter() {
    if (++FDepth > kMaxDepth) throw EWriteError("The component tree is too deep for a form text");
  }

  // reference: the object a reader starts from in instance's place, or nullptr.
  void WriteProperties(TPersistent& instance, TPersistent* reference, const std::string& prefix, int indent) {
    FPath.push_back(&instance);
    reference = MatchingReference(instance, reference);
    for (const TPropInfo* prop : StoredProperties(instance)) WriteProperty(instance, reference, *prop, prefix, indent);
    FPath.pop_back();
  }

  void WriteProperty(TPersistent& instance, TPersistent* reference, const TPropInfo& prop, const std::string& prefix,
                     int indent) {
    const TTypeInfo& type = *prop.PropType;
    const std::string name = prefix + prop.Name;
    if (tkOrdinals.Contains(type.Kind)) {
      if (SkipsOrdinal(instance, reference, prop)) return;
      const int64_t value = prop.GetOrd(instance);
      std::string text;
      if (type.Kind == tkSet) {
        ForEachSetMember(type, [&](int64_t ordinal, const std::string& member) {
          if (!((static_cast<uint64_t>(value) >> ordinal) & 1)) return;
          text += text.empty() ? "" : ", ";
          text += member;
        });
        text = "[" + text + "]";
      } else if (type.Kind == tkEnumeration) {
        const int64_t index = value - type.MinValue;
        if (index < 0 || index >= static_cast<int64_t>(type.Names.size())) {
          throw EWriteError("Value " + std::to_string(value) + " of property " + prop.Name + " has no name");
        }
        text = type.Names[static_cast<size_t>(index)];
      } else if (type.Kind == tkChar || type.Kind == tkWChar) {
        text = Quoted(GetPropertyText(instance, prop));
      } else {
        text = GetPropertyText(instance, prop);
      }
      Line(indent, name + " = " + text);
    } else if (type.Kind == tkFloat) {
      if (prop.SetFloat) Line(indent, name + " = " + GetPropertyText(instance, prop));
    } else if (tkStrings.Contains(type.Kind)) {
      if (prop.SetStr) Line(indent, name + " = " + Quoted(prop.GetStr(instance)));
    } else if (type.Kind == tkClass) {
      WriteObjectProperty(instance, reference, prop, name, indent);
    }
  }

  void WriteObjectProperty(TPersistent& instance, TPersistent* reference, const TPropInfo& prop,
                           const std::string& name, int indent) {
    TObject* value = prop.GetObject(instance);
    if (auto* component = dynamic_cast<TComponent*>(value)) {
      if (CanRefer(prop, *component, FRoot)) Line(indent, name + " = " + component->Name());
      return;
    }
    if (value == nullptr) {
      if (prop.SetObject && RefersToComponents(prop)) Line(indent, name + " = nil");
      return;
    }
    auto* object = dynamic_cast<TPersistent*>(value);
    if (object == nullptr || std::find(FPath.begin(), FPath.end(), object) != FPath.end()) return;
    if (auto* collection = dynamic_cast<TCollection*>(object)) {
      if (collection->Count() == 0) {
        Line(indent, name + " = <>");
        return;
      }
      Line(indent, name + " = <");
      TPersistent* referenceItem = ReferenceItem(ReferenceObject(reference, prop));
      for (int i = 0; i < collection->Count(); ++i) {
        Enter();
        Line(indent + 2, "item");
        WriteProperties(*collection->Items(i), referenceItem, "", indent + 4);
        Line(indent + 2, i + 1 < collection->Count() ? "end" : "end>");
        --FDepth;
      }
    } else if (auto* strings = dynamic_cast<TStrings*>(object)) {
      // Without an ancestor to differ from, an empty list is not written.
      if (strings->Count() == 0) return;
      Line(indent, name + ".Strings = (");
      for (int i = 0; i < strings->Count(); ++i) {
        Line(indent + 2, Quoted(strings->Get(i)) + (i + 1 < strings->Count() ? "" : ")"));
      }
    } else {
      Enter();
      WriteProperties(*object, ReferenceObject(reference, prop), name + ".", indent);
      --FDepth;
    }
  }

  std::string& FOut;
  TComponent* FRoot;
  std::vector<const TObject*> FPath;  // objects being written, to stop at a reference back up
  int FDepth = 0;
};

// ---- Reader ---------------------------------------------------------------------

enum TTokenKind { tokEnd, tokWord, tokString, tokSymbol };

struct TToken {
  TTokenKind Kind = tokEnd;
  std::string Text;  // a word, the bytes of a string, or the symbol
  int Line = 1;
};

bool IsWordChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
         c == '.' || c == '+' || c == '-';
}

[[noreturn]] void Fail(int line, const std::string& message) {
  throw EReadError("line " + std::to_string(line) + ": " + message);
}

class TLexer {
 public:
  explicit TLexer(std::string_view text) : FText(text) {}

  TToken Next() {
    SkipSpace();
    TToken token;
    token.Line = FLine;
    if (FPos >= FText.size()) return token;
    const char c = FText[FPos];
    if (IsWordChar(c)) {
      token.Kind = tokWord;
      while (FPos < FText.size() && IsWordChar(FText[FPos])) token.Text += FText[FPos++];
    } else if (c == '\'' || c == '#') {
      token.Kind = tokString;
      while (FPos < FText.size() && (FText[FPos] == '\'' || FText[FPos] == '#')) {
        if (FText[FPos] == '\'') {
          ReadQuoted(token.Text);
        } else {
          token.Text += ReadByteCode();
        }
      }
    } else if (std::string_view("=:[]()<>,").find(c) != std::string_view::npos) {
      token.Kind = tokSymbol;
      token.Text = std::string(1, c);
      ++FPos;
    } else {
      Fail(FLine, "unexpected character #" + std::to_string(static_cast<unsigned char>(c)));
    }
    return token;
  }

 private:
  void SkipSpace() {
    while (FPos < FText.size()) {
      const char c = FText[FPos];
      if (c == '\n') {
        ++FLine;
      } else if (c != ' ' && c != '\t' && c != '\r') {
        return;
      }
      ++FPos;
    }
  }

  void ReadQuoted(std::string& text) {
    ++FPos;
    for (;;) {
      if (FPos >= FText.size() || FText[FPos] == '\n' || FText[FPos] == '\r') Fail(FLine, "unterminated string");
      if (FText[FPos] == '\'') {
        if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
          text += '\'';
          FPos += 2;
          continue;
        }
        ++FPos;
        return;
      }
      text += FText[FPos++];
    }
  }

  char ReadByteCode() {
    ++FPos;
    const bool hex = FPos < FText.size() && FText[FPos] == '$';
    if (hex) ++FPos;
    int value = 0;
    size_t digits = 0;
    for (; FPos < FText.size(); ++FPos, ++digits) {
      const char c = FText[FPos];
      int digit;
      if (c >= '0' && c <= '9') {
        digit = c - '0';
      } else if (hex && ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')) {
        digit = (c | 0x20) - 'a' + 10;
      } else {
        break;
      }
      value = value * (hex ? 16 : 10) + digit;
      // Strings hold bytes; a wider character code has no single byte.
      if (value > 255) Fail(FLine, "character code too large for a byte");
    }
    if (digits == 0) Fail(FLine, "'#' without a character code");
    return static_cast<char>(value);
  }

  std::string_view FText;
  size_t FPos = 0;
  int FLine = 1;
};

class TTextReader {
 public:
  TTextReader(std::string_view text, TComponent& owner) : FLexer(text), FOwner(owner) { Advance(); }

  // Reads the object block into a new component, or into `into` itself when given.
  TComponent* Read(TComponent* parent, TComponent* into = nullptr) {
    try {
      TComponent* component = ReadObject(parent, into);
      if (FToken.Kind != tokEnd) Fail(FToken.Line, "text after the end of the object");
      FFixups.Resolve(FOwner);
      if (into != nullptr) into->Loaded();
      for (TComponent* created : FCreated) created->Loaded();
      return component;
    } catch (...) {
      // Last made first: a control goes before the parent it was read under.
      for (auto created = FCreated.rbegin(); created != FCreated.rend(); ++created) {
        if ((*created)->Owner() == &FOwner) FOwner.FreeComponent(*created);
      }
      throw;
    }
  }

 private:
  void Advance() { FToken = FLexer.Next(); }

  bool IsWord(std::string_view word) const { return FToken.Kind == tokWord && AnsiSameText(FToken.Text, word); }
  bool IsSymbol(char symbol) const { return FToken.Kind == tokSymbol && FToken.Text[0] == symbol; }

  static std::string Describe(const TToken& token) {
    switch (token.Kind) {
      case tokEnd:
        return "the end of the text";
      case tokString:
        return "a string";
      default:
        return "'" + token.Text + "'";
    }
  }
  [[noreturn]] void Unexpected(const std::string& expected) const {
    Fail(FToken.Line, "expected " + expected + " but found " + Describe(FToken));
  }

  std::string TakeWord(const std::string& what) {
    if (FToken.Kind != tokWord) Unexpected(what);
    std::string word = std::move(FToken.Text);
    Advance();
    return word;
  }
  std::string TakeString() {
    if (FToken.Kind != tokString) Unexpected("a string");
    std::string text = std::move(FToken.Text);
    Advance();
    return text;
  }
  void TakeSymbol(char symbol) {
    if (!IsSymbol(symbol)) Unexpected(std::string("'") + symbol + "'");
    Advance();
  }

  void Enter() {
    if (++FDepth > kMaxDepth) Fail(FToken.Line, "nested too deeply");
  }

  TComponent* ReadObject(TComponent* parent, TComponent* into = nullptr) {
    Enter();
    const int line = FToken.Line;
    if (!IsWord("object")) Unexpected("'object'");
    Advance();
    std::string name;
    std::string className = TakeWord("a class name");
    if (IsSymbol(':')) {
      Advance();
      name = std::move(className);
      className = TakeWord("a class name");
    }
    TComponent* component = into;
    if (component != nullptr) {
      if (!AnsiSameText(className, component->ClassName())) {
        Fail(line, "the text describes a " + className + ", not a " + component->ClassName());
      }
    } else {
      const TComponentClass* componentClass = FindComponentClass(className);
      if (componentClass == nullptr) Fail(line, "class " + className + " is not registered");
      component = componentClass->CreateOwned(&FOwner);
      FCreated.push_back(component);
    }
    component->BeginLoading();
    try {
      component->SetName(name);
      if (parent != nullptr) component->SetParentComponent(parent);
    } catch (const Exception& error) {
      Fail(line, error.Message());
    }
    while (!IsWord("end")) {
      if (IsWord("object")) {
        ReadObject(component);
      } else {
        FPath.clear();
        ReadProperty(*component, *component);
      }
    }
    Advance();
    --FDepth;
    return component;
  }

  // One "Name = value" of instance, which is component or what component holds
  // along FPath.
  void ReadProperty(TComponent& component, TPersistent& instance) {
    const int line = FToken.Line;
    const std::string path = TakeWord("a property name");
    TakeSymbol('=');
    try {
      ReadValue(component, instance, path, line);
    } catch (const EReadError&) {
      throw;
    } catch (const Exception& error) {
      Fail(line, error.Message());
    }
  }

  void ReadValue(TComponent& component, TPersistent& start, std::string_view path, int line) {
    TPersistent* instance = &start;
    std::vector<TReferenceFixups::TPathStep> steps = FPath;
    for (;;) {
      const size_t dot = path.find('.');
      const std::string_view step = path.substr(0, dot);
      const bool last = dot == std::string_view::npos;
      const TPropInfo* prop = instance->ClassInfo().FindProperty(step);
      auto* strings = dynamic_cast<TStrings*>(instance);
      if (prop == nullptr && strings != nullptr && last && AnsiSameText(step, "Strings")) {
        ReadStrings(*strings);
        return;
      }
      if (prop == nullptr || prop->Kind() == tkMethod) {
        Fail(line, "unknown property '" + std::string(step) + "' of " + instance->ClassName());
      }
      if (last) {
        ReadPropertyValue(component, *instance, *prop, steps, line);
        return;
      }
      TObject* value = prop->Kind() == tkClass ? prop->GetObject(*instance) : nullptr;
      // Never into a component: a reference would let the text change another one.
      auto* next = dynamic_cast<TPersistent*>(value);
      if (next == nullptr || dynamic_cast<TComponent*>(value) != nullptr || dynamic_cast<TCollection*>(value) != nullptr) {
        Fail(line, "property " + prop->Name + " of " + instance->ClassName() + " has no properties to set");
      }
      steps.push_back({prop, -1});
      instance = next;
      path.remove_prefix(dot + 1);
    }
  }

  void ReadPropertyValue(TComponent& component, TPersistent& instance, const TPropInfo& prop,
                         const std::vector<TReferenceFixups::TPathStep>& steps, int line) {
    const TTypeInfo& type = *prop.PropType;
    if (type.Kind == tkClass) {
      TObject* value = prop.GetObject(instance);
      if (IsSymbol('(')) {
        auto* strings = dynamic_cast<TStrings*>(value);
        if (strings == nullptr) Fail(line, "property " + prop.Name + " is not a string list");
        ReadStrings(*strings);
      } else if (IsSymbol('<')) {
        auto* collection = dynamic_cast<TCollection*>(value);
        if (collection == nullptr) Fail(line, "property " + prop.Name + " is not a collection");
        ReadCollection(component, *collection, prop, steps);
      } else {
        if (!RefersToComponents(prop) || !prop.SetObject) {
          Fail(line, "property " + prop.Name + " of " + instance.ClassName() + " cannot take " + Describe(FToken));
        }
        const std::string target = TakeWord("a component name");
        if (AnsiSameText(target, "nil")) {
          prop.SetObject(instance, nullptr);
        } else {
          FFixups.Add(&component, steps, &prop, target);
        }
      }
      return;
    }
    if (!prop.Writable()) Fail(line, "property " + prop.Name + " of " + instance.ClassName() + " is read-only");
    if (tkStrings.Contains(type.Kind) || type.Kind == tkChar || type.Kind == tkWChar) {
      SetPropertyText(instance, prop, TakeString());
    } else if (type.Kind == tkSet) {
      TakeSymbol('[');
      std::string text = "[";
      while (!IsSymbol(']')) {
        if (text.size() > 1) {
          TakeSymbol(',');
          text += ',';
        }
        text += TakeWord("a set member");
      }
      Advance();
      SetPropertyText(instance, prop, text + "]");
    } else if (tkOrdinals.Contains(type.Kind) || type.Kind == tkFloat) {
      SetPropertyText(instance, prop, TakeWord("a value"));
    } else {
      Fail(line, "property " + prop.Name + " of " + instance.ClassName() + " cannot be read");
    }
  }

  void ReadStrings(TStrings& strings) {
    TakeSymbol('(');
    auto lines = Create<TStringList>();
    while (!IsSymbol(')')) lines->Add(TakeString());
    Advance();
    // In place, so that the list keeps its own rules (sorted, no duplicates).
    strings.LoadStoredLines(*lines);
  }

  void ReadCollection(TComponent& component, TCollection& collection, const TPropInfo& prop,
                      const std::vector<TReferenceFixups::TPathStep>& steps) {
    TakeSymbol('<');
    collection.BeginUpdate();
    try {
      collection.Clear();
      while (!IsSymbol('>')) {
        const int line = FToken.Line;
        if (!IsWord("item")) Unexpected("'item' or '>'");
        Advance();
        if (collection.Count() >= collection.MaxItemCount()) {
          Fail(line, "property " + prop.Name + " holds more items than " + collection.ClassName() + " allows (" +
                         std::to_string(collection.MaxItemCount()) + ")");
        }
        TCollectionItem* item = collection.Add();
        Enter();
        const std::vector<TReferenceFixups::TPathStep> saved = FPath;
        while (!IsWord("end")) {
          FPath = steps;
          FPath.push_back({&prop, collection.Count() - 1});
          ReadProperty(component, *item);
        }
        FPath = saved;
        Advance();
        --FDepth;
      }
      Advance();
    } catch (...) {
      collection.EndUpdate();
      throw;
    }
    collection.EndUpdate();
  }

  TLexer FLexer;
  TToken FToken;
  TComponent& FOwner;
  std::vector<TComponent*> FCreated;
  std::vector<TReferenceFixups::TPathStep> FPath;  // from the component to the item being read
  TReferenceFixups FFixups;
  int FDepth = 0;
};

}  // namespace

void WriteFormText(TComponent& component, std::string& out) {
  TTextWriter(out, component.Owner() != nullptr ? component.Owner() : &component).WriteComponent(component, 0);
}

TComponent* ReadFormText(std::string_view text, TComponent& owner, TComponent* parent) {
  return TTextReader(text, owner).Read(parent);
}

void ReadFormTextInto(std::string_view text, TComponent& root) { TTextReader(text, root).Read(nullptr, &root); }

}  // namespace plomaret
