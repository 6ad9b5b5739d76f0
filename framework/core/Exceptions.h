#pragma once
// The framework's exceptions. Each carries the text shown to the user unchanged.

#include <stdexcept>
#include <string>

namespace plomaret {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// Bad index or misuse of a string list.
class EStringListError : public Exception {
 public:
  using Exception::Exception;
};

// Bad index of a list other than a string list (components, collection items).
class EListError : public Exception {
 public:
  using Exception::Exception;
};

// Misuse of a component: an invalid or duplicate name, a missing owner.
class EComponentError : public Exception {
 public:
  using Exception::Exception;
};

// A file could not be opened, read, written or replaced; the message names the file.
class EFileError : public Exception {
 public:
  using Exception::Exception;
};

// The user may not write the file; replacing it anyway takes ReplaceReadOnly.
class EReadOnlyFile : public EFileError {
 public:
  using EFileError::EFileError;
};

// Memory ran out; the message says for what.
class EOutOfMemory : public Exception {
 public:
  using Exception::Exception;
};

// A value could not be converted or assigned.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A stream could not move the bytes asked for, or was positioned before its start.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

// A component image could not be read: it ends too soon, is corrupt, or names a
// class or property that does not exist here.
class EReadError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// A component could not be written as an image that could be read again.
class EWriteError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// A registry key or value could not be opened, read or written as asked.
class ERegistryError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace plomaret
