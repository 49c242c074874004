// Streams of bytes: the common interface, a memory stream that always keeps spare zeroed room
// beyond its size, and a file stream.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace kestrova::rtl {

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream {
 public:
  virtual ~TStream() = default;
  // Reads or writes up to count bytes at the position and advances it; answers how many moved.
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  // Answers the new position.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  virtual std::int64_t Size();

  std::int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, soBeginning); }
  // All or nothing: "Stream read error" / "Stream write error" when fewer bytes move.
  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
};

class TMemoryStream : public TStream {
 public:
  // Room beyond the size that is always there and zero-filled past the data: block ciphers that
  // work a little past the length of their data find it there.
  static constexpr std::int64_t kSpare = 8;

  TMemoryStream() = default;
  TMemoryStream(const TMemoryStream&) = delete;
  TMemoryStream& operator=(const TMemoryStream&) = delete;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return FSize; }

  // The data: Size() bytes, followed by at least kSpare more that belong to the stream.
  unsigned char* Memory() { return FMemory.get(); }
  const unsigned char* Memory() const { return FMemory.get(); }
  std::int64_t Capacity() const { return FCapacity; }
  // Bytes that become part of the data by growing are zero.
  void SetSize(std::int64_t size);
  void Clear();
  void LoadFromStream(TStream& source);
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);

 private:
  void Reserve(std::int64_t size);

  std::unique_ptr<unsigned char[]> FMemory;
  std::int64_t FSize = 0;
  std::int64_t FCapacity = 0;
  std::int64_t FPosition = 0;
};

// Open modes, one access mode and optionally a share mode; fmCreate makes a new empty file or
// empties an existing one, for reading and writing. fmShareDenyWrite keeps other writers out
// while the stream is open where the system enforces sharing (Windows).
enum TFileMode : unsigned {
  fmOpenRead = 0,
  fmOpenWrite = 1,
  fmOpenReadWrite = 2,
  fmShareDenyWrite = 0x20,
  fmCreate = 0xFF00,
};
constexpr TFileMode operator|(TFileMode a, TFileMode b) {
  return static_cast<TFileMode>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

class TFileStream : public TStream {
 public:
  // Opening fails with EFOpenError, creating with EFCreateError; both name the file.
  TFileStream(const std::string& fileName, TFileMode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  const std::string& FileName() const { return FFileName; }

 private:
  std::string FFileName;
  std::FILE* FFile = nullptr;
  bool FLastWasWrite = false;
  bool FLastWasRead = false;
};

// Whether a file (not a folder) of that name exists.
bool FileExists(const std::string& fileName);

}  // namespace kestrova::rtl
