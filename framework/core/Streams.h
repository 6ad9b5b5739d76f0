#pragma once
// Byte streams: the abstract TStream, a growable memory stream and a file stream.
//
// Positions and counts are 64-bit and signed. A negative count moves nothing.
// Reads stop at the end of the data; a position before 0 is refused.

#include <cstdint>
#include <string>
#include <vector>

#include "Object.h"

namespace plomaret {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";

class TStream : public TObject {
 public:
  // Each returns how many bytes actually moved.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Returns the new position; EStreamError when it would fall before 0.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t position) { Seek(position, soBeginning); }
  virtual int64_t Size();
  // A position beyond the new size moves back to it.
  virtual void SetSize(int64_t size) = 0;

  // As Read and Write, but EStreamError unless every byte moves.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);

  // Copies count bytes from source's position (0: all it has left) to ours and
  // returns how many; EStreamError when source runs out first.
  int64_t CopyFrom(TStream& source, int64_t count);

 protected:
  // The position that Seek asks for; EStreamError when it is before 0.
  static int64_t SeekTarget(int64_t offset, TSeekOrigin origin, int64_t current, int64_t size);
};

class TMemoryStream : public TStream {
 public:
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(FData.size()); }
  void SetSize(int64_t size) override;

  // The bytes, or nullptr while the stream is empty.
  void* Memory() { return FData.empty() ? nullptr : FData.data(); }
  const void* Memory() const { return FData.empty() ? nullptr : FData.data(); }
  void Clear();

  // Replaces the contents by all of stream (read from its start). Our position
  // stays, moved back to the end if the data became shorter.
  void LoadFromStream(TStream& stream);
  // Writes all of the contents, whatever our position.
  void SaveToStream(TStream& stream);
  void LoadFromFile(const std::string& path);
  // A failed save leaves the old file whole.
  void SaveToFile(const std::string& path);

 private:
  std::vector<unsigned char> FData;
  int64_t FPosition = 0;
};

enum TFileStreamMode {
  fmCreate,         // create the file, or empty it if it exists; read and write
  fmOpenRead,       // an existing file, read only
  fmOpenReadWrite,  // an existing file, read and write
};

// Every Read and Write goes to the file at once: another handle on the same file
// sees the bytes as soon as Write returns. Failures are EFileError naming the file.
class TFileStream : public TStream {
 public:
  TFileStream(std::string path, TFileStreamMode mode);
  ~TFileStream() override;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;

  const std::string& FileName() const { return FPath; }
  int Handle() const { return FHandle; }

 private:
  [[noreturn]] void Fail(const char* action, int error) const;

  std::string FPath;
  int FHandle = -1;
  TFileStreamMode FMode;
};

}  // namespace plomaret
