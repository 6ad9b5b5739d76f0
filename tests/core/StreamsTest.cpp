#include "framework/core/Streams.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TestFiles.h"
#include "framework/core/Exceptions.h"

namespace plomaret {
namespace {

using testing::ReadBytes;
using testing::TScratchFolder;
using testing::WriteBytes;

std::string Contents(TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

std::string AllBytes() {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  return bytes;
}

TEST(MemoryStream, ReadsAndSeeksAtTheEdges) {
  auto stream = Create<TMemoryStream>();
  stream->WriteBuffer("hello", 5);
  char buffer[10] = {};
  stream->SetPosition(3);
  EXPECT_EQ(stream->Read(buffer, 10), 2);
  EXPECT_EQ(std::string(buffer, 2), "lo");
  EXPECT_EQ(stream->Read(buffer, 10), 0);
  EXPECT_EQ(stream->Read(buffer, -1), 0);
  EXPECT_EQ(stream->Seek(4, soEnd), 9);
  EXPECT_EQ(stream->Read(buffer, 10), 0);
  EXPECT_EQ(stream->Size(), 5) << "seeking past the end must not grow the stream";

  EXPECT_THROW(stream->Seek(-1, soBeginning), EStreamError);
  EXPECT_THROW(stream->Seek(-10, soCurrent), EStreamError);
  EXPECT_THROW(stream->Seek(-6, soEnd), EStreamError);
  EXPECT_THROW(stream->Seek(INT64_MAX, soEnd), EStreamError);
  EXPECT_EQ(stream->Position(), 9) << "a refused seek moved the stream";
  EXPECT_EQ(stream->Seek(-5, soEnd), 0);
}

TEST(MemoryStream, WritingPastTheEndFillsTheGapWithZeros) {
  auto stream = Create<TMemoryStream>();
  stream->WriteBuffer("ab", 2);
  stream->Seek(3, soCurrent);
  stream->WriteBuffer("cd", 2);
  EXPECT_EQ(Contents(*stream), std::string("ab\0\0\0cd", 7));
  stream->SetSize(9);
  EXPECT_EQ(Contents(*stream), std::string("ab\0\0\0cd\0\0", 9));
  stream->SetSize(1);
  EXPECT_EQ(stream->Position(), 1) << "the position must move back to the new end";
  EXPECT_EQ(Contents(*stream), "a");
}

TEST(MemoryStream, WritesItsOwnBytesWhileGrowing) {
  auto stream = Create<TMemoryStream>();
  stream->WriteBuffer("abc", 3);
  stream->WriteBuffer(stream->Memory(), 3);
  EXPECT_EQ(Contents(*stream), "abcabc");
}

TEST(MemoryStream, ReadBufferFailsWhenBytesAreMissing) {
  auto stream = Create<TMemoryStream>();
  stream->WriteBuffer("abc", 3);
  stream->SetPosition(1);
  char buffer[4];
  try {
    stream->ReadBuffer(buffer, 3);
    ADD_FAILURE() << "a short read was accepted";
  } catch (const EStreamError& error) {
    EXPECT_EQ(error.Message(), "Stream read error");
  }
  stream->SetPosition(0);
  EXPECT_NO_THROW(stream->ReadBuffer(buffer, 3));
}

TEST(MemoryStream, CopyFromZeroTakesTheRestOfTheSource) {
  auto source = Create<TMemoryStream>();
  source->WriteBuffer("0123456789", 10);
  source->SetPosition(4);
  auto target = Create<TMemoryStream>();
  EXPECT_EQ(target->CopyFrom(*source, 0), 6);
  EXPECT_EQ(Contents(*target), "456789");
  EXPECT_EQ(target->CopyFrom(*source, 0), 0) << "source at its end";

  source->SetPosition(8);
  EXPECT_THROW(target->CopyFrom(*source, 3), EStreamError);
  source->SetPosition(20);
  EXPECT_EQ(target->CopyFrom(*source, 0), 0) << "source past its end";
}

TEST(MemoryStream, FilesAndStreamsRoundTripEveryByte) {
  TScratchFolder folder;
  const std::string path = folder.Path("bytes.bin");
  auto stream = Create<TMemoryStream>();
  stream->WriteBuffer(AllBytes().data(), 256);
  stream->SaveToFile(path);
  EXPECT_EQ(ReadBytes(path), AllBytes());

  auto loaded = Create<TMemoryStream>();
  loaded->WriteBuffer("old contents that are longer than nothing", 40);
  loaded->LoadFromFile(path);
  EXPECT_EQ(Contents(*loaded), AllBytes());

  auto copy = Create<TMemoryStream>();
  loaded->SetPosition(100);
  loaded->SaveToStream(*copy);
  EXPECT_EQ(Contents(*copy), AllBytes()) << "SaveToStream writes everything, whatever the position";

  EXPECT_THROW(loaded->LoadFromFile(folder.Path("missing.bin")), EFileError);
  EXPECT_EQ(Contents(*loaded), AllBytes()) << "a failed load changed the contents";
}

TEST(FileStream, ReadsAndWritesGoStraightToTheFile) {
  TScratchFolder folder;
  const std::string path = folder.Path("data.bin");
  WriteBytes(path, "old contents");
  auto stream = Create<TFileStream>(path, fmCreate);
  EXPECT_EQ(stream->Size(), 0) << "fmCreate must empty the file";
  stream->WriteBuffer("abc", 3);
  EXPECT_EQ(ReadBytes(path), "abc");
  stream->Seek(2, soEnd);
  stream->WriteBuffer("d", 1);
  EXPECT_EQ(ReadBytes(path), std::string("abc\0\0d", 6));

  auto reader = Create<TFileStream>(path, fmOpenRead);
  char buffer[8] = {};
  reader->SetPosition(4);
  EXPECT_EQ(reader->Read(buffer, 8), 2);
  EXPECT_THROW(reader->Seek(-1, soBeginning), EStreamError);
  EXPECT_EQ(reader->Position(), 6);

  stream->SetSize(2);
  EXPECT_EQ(stream->Position(), 2);
  EXPECT_EQ(ReadBytes(path), "ab");
}

TEST(FileStream, ErrorsNameTheFile) {
  TScratchFolder folder;
  const std::string missing = folder.Path("missing.bin");
  auto expectNamed = [](const std::string& path, auto action) {
    try {
      action();
      ADD_FAILURE() << "no error for " << path;
    } catch (const EFileError& error) {
      EXPECT_NE(error.Message().find("\"" + path + "\""), std::string::npos) << error.Message();
    }
  };
  expectNamed(missing, [&] { TFileStream stream(missing, fmOpenRead); });
  expectNamed(missing, [&] { TFileStream stream(missing, fmOpenReadWrite); });
  expectNamed(folder.Root(), [&] { TFileStream stream(folder.Root(), fmOpenRead); });
  const std::string inMissingFolder = folder.Path("no/such.bin");
  expectNamed(inMissingFolder, [&] { TFileStream stream(inMissingFolder, fmCreate); });

  const std::string path = folder.Path("read-only.bin");
  WriteBytes(path, "abc");
  TFileStream reader(path, fmOpenRead);
  expectNamed(path, [&] { reader.WriteBuffer("x", 1); });
  expectNamed(path, [&] { reader.SetSize(0); });
  EXPECT_EQ(ReadBytes(path), "abc");
}

}  // namespace
}  // namespace plomaret
