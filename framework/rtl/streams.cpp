#include "framework/rtl/streams.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#ifdef _WIN32
#include <share.h>  // the C runtime's share modes
#endif

#include "framework/rtl/errors.h"

namespace kestrova::rtl {

namespace {

int Seek64(std::FILE* f, std::int64_t offset, int whence) {
#ifdef _WIN32
  return _fseeki64(f, offset, whence);
#else
  return fseeko(f, static_cast<off_t>(offset), whence);
#endif
}

std::int64_t Tell64(std::FILE* f) {
#ifdef _WIN32
  return _ftelli64(f);
#else
  return static_cast<std::int64_t>(ftello(f));
#endif
}

std::string SystemReason() { return std::strerror(errno); }

}  // namespace

EInOutError InOutError(const std::string& fileName) {
  const int code = errno;
  return EInOutError("I/O error " + std::to_string(code) + ": " + std::strerror(code) + " (" + fileName + ")", code);
}

std::int64_t TStream::Size() {
  const std::int64_t here = Seek(0, soCurrent);
  const std::int64_t end = Seek(0, soEnd);
  Seek(here, soBeginning);
  return end;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

// --- TMemoryStream

void TMemoryStream::Reserve(std::int64_t size) {
  if (size + kSpare <= FCapacity) return;
  // Grow in 8 KiB steps, at least by half, so that writing a byte at a time stays linear.
  std::int64_t wanted = size + kSpare;
  if (wanted < FCapacity + FCapacity / 2) wanted = FCapacity + FCapacity / 2;
  wanted = (wanted + 0x1FFF) & ~std::int64_t{0x1FFF};
  std::unique_ptr<unsigned char[]> grown(new unsigned char[static_cast<std::size_t>(wanted)]());
  if (FSize > 0) std::memcpy(grown.get(), FMemory.get(), static_cast<std::size_t>(FSize));
  FMemory = std::move(grown);
  FCapacity = wanted;
}

void TMemoryStream::SetSize(std::int64_t size) {
  if (size < 0) size = 0;
  Reserve(size);
  // Whatever lies beyond the data is zero: bytes dropped now must not come back when it grows.
  if (size < FSize) std::memset(FMemory.get() + size, 0, static_cast<std::size_t>(FSize - size));
  FSize = size;
  if (FPosition > FSize) FPosition = FSize;
}

void TMemoryStream::Clear() {
  FMemory.reset();
  FSize = FCapacity = FPosition = 0;
}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0 || FPosition >= FSize) return 0;
  const std::int64_t n = count < FSize - FPosition ? count : FSize - FPosition;
  std::memcpy(buffer, FMemory.get() + FPosition, static_cast<std::size_t>(n));
  FPosition += n;
  return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  const std::int64_t end = FPosition + count;
  if (end > FSize) {
    Reserve(end);
    FSize = end;
  }
  std::memcpy(FMemory.get() + FPosition, buffer, static_cast<std::size_t>(count));
  FPosition = end;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? FPosition : FSize;
  std::int64_t target = base + offset;
  // A position past the end is kept; the next write fills the gap with zeros.
  FPosition = target < 0 ? 0 : target;
  return FPosition;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const std::int64_t size = source.Size();
  SetSize(size);
  FPosition = 0;
  if (size > 0) source.ReadBuffer(FMemory.get(), size);
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead);
  LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
  TFileStream file(fileName, fmCreate);
  file.WriteBuffer(FMemory.get(), FSize);
}

// --- TFileStream

TFileStream::TFileStream(const std::string& fileName, TFileMode mode) : FFileName(fileName) {
  const unsigned access = mode == fmCreate ? mode : (mode & 3u);
  const char* how = mode == fmCreate ? "w+b" : access == fmOpenRead ? "rb" : "r+b";
#ifdef _WIN32
  FFile = mode != fmCreate && (mode & fmShareDenyWrite) ? _fsopen(fileName.c_str(), how, _SH_DENYWR)
                                                          : std::fopen(fileName.c_str(), how);
#else
  FFile = std::fopen(fileName.c_str(), how);
#endif
  if (FFile == nullptr) {
    if (mode == fmCreate) throw EFCreateError("Cannot create file \"" + fileName + "\". " + SystemReason());
    throw EFOpenError("Cannot open file \"" + fileName + "\". " + SystemReason());
  }
}

TFileStream::~TFileStream() {
  if (FFile != nullptr) std::fclose(FFile);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  // The C runtime wants a seek between a write and a read on the same file.
  if (FLastWasWrite) Seek64(FFile, 0, SEEK_CUR);
  FLastWasWrite = false;
  FLastWasRead = true;
  return static_cast<std::int64_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), FFile));
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  if (FLastWasRead) Seek64(FFile, 0, SEEK_CUR);
  FLastWasRead = false;
  FLastWasWrite = true;
  return static_cast<std::int64_t>(std::fwrite(buffer, 1, static_cast<std::size_t>(count), FFile));
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  if (!(origin == soCurrent && offset == 0) || FLastWasWrite) {
    if (Seek64(FFile, offset, whence) != 0) return -1;
    FLastWasRead = FLastWasWrite = false;
  }
  return Tell64(FFile);
}

bool FileExists(const std::string& fileName) {
  std::error_code ec;
  return !fileName.empty() && std::filesystem::is_regular_file(std::filesystem::path(fileName), ec);
}

}  // namespace kestrova::rtl
