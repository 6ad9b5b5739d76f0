#pragma once
// The binary component image: a component with its published properties and its
// children as bytes, and the reader that makes the components again.
//
//   image     = "PCI1" component* end
//   component = name(class) name(component) property* end component* end
//   property  = name value
//   name      = a length byte and that many bytes. Class and property names are
//               never empty, so a zero byte where one would start ends the list.
//   end       = 0x00
//   value     = a tag byte, then by tag:
//     vaNil                          no component (a reference property)
//     vaFalse, vaTrue                a boolean
//     vaInt number                   an integer, colour or character
//     vaFloat 8 bytes                an IEEE double
//     vaString count bytes           a string
//     vaIdent name                   an enumeration value by name
//     vaSet name* end                the members of a set by name
//     vaObject property* end         an object the instance owns, read in place
//     vaStrings count (count bytes)* the lines of a string list
//     vaCollection (vaItem property* end)* end
//     vaRef name                     a component of the root, by name
//   count     = unsigned LEB128; number = a count holding the zigzag form of a
//               64-bit signed value; multi-byte values are little-endian.
//
// Left out: properties at their declared default, not stored or read-only (owned
// objects apart), and references to components outside the root. A component's
// children are what GetChildren gives for the image's root.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/core/Component.h"
#include "framework/core/Streams.h"
#include "framework/core/StreamedProperties.h"

namespace plomaret {

class TComponentWriter {
 public:
  // root owns the components the image holds as children.
  TComponentWriter(TStream& stream, TComponent* root);
  TComponentWriter(const TComponentWriter&) = delete;
  TComponentWriter& operator=(const TComponentWriter&) = delete;

  // The signature, component with its children, and the end marker, written at the
  // stream's position. EWriteError for a class no reader could make (one that is not
  // registered) or a name longer than 255 bytes.
  void WriteImage(TComponent& component);

 private:
  void Write(const void* data, size_t count);
  void WriteByte(uint8_t value) { Write(&value, 1); }
  void WriteCount(uint64_t value);
  void WriteNumber(int64_t value);
  void WriteName(const std::string& name);
  void WriteText(const std::string& text);
  void FlushBuffer();
  void Enter();
  void WriteComponent(TComponent& component);
  // reference: the object a reader starts from in instance's place, or nullptr.
  void WriteProperties(TPersistent& instance, TPersistent* reference);
  void WriteProperty(TPersistent& instance, TPersistent* reference, const TPropInfo& prop);
  void WriteObjectProperty(TPersistent& instance, TPersistent* reference, const TPropInfo& prop);

  TStream& FStream;
  TComponent* FRoot;
  std::vector<uint8_t> FBuffer;
  std::vector<const TObject*> FPath;  // objects being written, to stop at a reference back up
  int FDepth = 0;
};

class TComponentReader {
 public:
  explicit TComponentReader(TStream& stream);
  // Leaves the stream just after the last byte taken, whatever was buffered.
  ~TComponentReader();
  TComponentReader(const TComponentReader&) = delete;
  TComponentReader& operator=(const TComponentReader&) = delete;

  int64_t Position() const { return FBufferStart + static_cast<int64_t>(FBufferPos); }
  void SetPosition(int64_t position);

  // Reads an image from the stream's position: the signature, then components up to
  // the end marker, each made by its class name, owned by owner and put under
  // parent (if any); afterRead runs after each. Then references are set and every
  // component made is Loaded. Returns the components of the top level.
  // On any failure every component made here is freed and the error goes on:
  // EReadError for an image that ends too soon or is corrupt.
  std::vector<TComponent*> ReadImage(TComponent& owner, TComponent* parent,
                                     const std::function<void(TComponent*)>& afterRead = {});

 private:
  using TPathStep = streaming::TReferenceFixups::TPathStep;

  void Fill();
  void Read(void* data, size_t count);
  uint8_t ReadByte();
  bool EndOfList();
  void ReadListEnd();
  uint64_t ReadCount();
  int64_t ReadNumber();
  size_t ReadLength();
  std::string ReadName();
  std::string ReadText();
  void Enter();
  TComponent* ReadComponent(TComponent* parent);
  void ReadProperties(TPersistent& instance);
  void ReadProperty(TPersistent& instance);
  int64_t ReadOrdinal(const TPropInfo& prop, uint8_t tag);
  void ReadObjectProperty(TPersistent& instance, const TPropInfo& prop, uint8_t tag);
  void ReadCollection(TObject* value, const TPropInfo& prop);

  TStream& FStream;
  std::vector<uint8_t> FBuffer;
  int64_t FBufferStart;  // the stream position of FBuffer[0]; the stream stands at its end
  size_t FBufferPos = 0;
  size_t FBufferEnd = 0;
  TComponent* FOwner = nullptr;
  TComponent* FComponent = nullptr;  // the component whose properties are being read
  std::vector<TPathStep> FPath;
  std::vector<TComponent*> FCreated;
  streaming::TReferenceFixups FFixups;
  int FDepth = 0;
};

}  // namespace plomaret
