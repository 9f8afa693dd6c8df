#include "platform/rtl/stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace platform {

VEL_IMPLEMENT_CLASS(TStream, "Classes");
VEL_IMPLEMENT_CLASS(TCustomMemoryStream, "Classes");
VEL_IMPLEMENT_CLASS(TMemoryStream, "Classes");
VEL_IMPLEMENT_CLASS(TStringStream, "Classes");
VEL_IMPLEMENT_CLASS(TFileStream, "Classes");

// ------------------------------------------------------------------ TStream

std::int64_t TStream::Seek(std::int64_t Offset, int Origin) {
  switch (Origin) {
    case soFromBeginning:
      return Seek(Offset, soBeginning);
    case soFromCurrent:
      return Seek(Offset, soCurrent);
    case soFromEnd:
      return Seek(Offset, soEnd);
  }
  throw EStreamError("Invalid seek origin " + std::to_string(Origin));
}

std::int64_t TStream::Size() {
  const std::int64_t Pos = Seek(0, soCurrent);
  const std::int64_t Result = Seek(0, soEnd);
  Seek(Pos, soBeginning);
  return Result;
}

void TStream::SetSize(std::int64_t) { throw EStreamError(ClassName() + " cannot change its size"); }

void TStream::ReadBuffer(void* Buffer, std::int64_t Count) {
  if (Count < 0 || Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, std::int64_t Count) {
  if (Count < 0 || Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream* Source, std::int64_t Count) {
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  const std::int64_t Result = Count;
  constexpr std::int64_t ChunkSize = 64 * 1024;
  std::vector<std::uint8_t> Chunk(std::size_t(std::min(Count, ChunkSize)));
  while (Count > 0) {
    const std::int64_t N = std::min(Count, ChunkSize);
    Source->ReadBuffer(Chunk.data(), N);
    WriteBuffer(Chunk.data(), N);
    Count -= N;
  }
  return Result;
}

// ---------------------------------------------------------- memory streams

std::int64_t TCustomMemoryStream::Read(void* Buffer, std::int64_t Count) {
  const std::int64_t Avail = std::int64_t(FData.size()) - FPosition;
  if (Count <= 0 || Avail <= 0) return 0;
  const std::int64_t N = std::min(Count, Avail);
  std::memcpy(Buffer, FData.data() + FPosition, std::size_t(N));
  FPosition += N;
  return N;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  std::int64_t Base = 0;
  if (Origin == soCurrent)
    Base = FPosition;
  else if (Origin == soEnd)
    Base = std::int64_t(FData.size());
  if (Offset < -Base) throw EStreamError("Invalid stream position: before the start of the stream");
  if (Offset > INT64_MAX - Base) throw EStreamError("Invalid stream position: beyond the largest position");
  FPosition = Base + Offset;
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), std::int64_t(FData.size()));
}

void TCustomMemoryStream::SaveToFile(const std::string& FileName) {
  TFileStream File(FileName, fmCreate);
  SaveToStream(&File);
}

std::int64_t TMemoryStream::Write(const void* Buffer, std::int64_t Count) {
  if (Count <= 0) return 0;
  if (Count > std::int64_t(FData.max_size()) - FPosition) return 0;
  const std::int64_t End = FPosition + Count;
  if (End > std::int64_t(FData.size())) FData.resize(std::size_t(End));
  std::memcpy(FData.data() + FPosition, Buffer, std::size_t(Count));
  FPosition = End;
  return Count;
}

void TMemoryStream::SetSize(std::int64_t NewSize) {
  if (NewSize < 0) throw EStreamError("Invalid stream size " + std::to_string(NewSize));
  FData.resize(std::size_t(NewSize));
  if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  Stream->SetPosition(0);
  const std::int64_t N = Stream->Size();
  std::vector<std::uint8_t> Data(std::size_t(std::max<std::int64_t>(N, 0)));
  if (N > 0) Stream->ReadBuffer(Data.data(), N);
  FData = std::move(Data);
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&File);
}

// ------------------------------------------------------------ TStringStream

TStringStream::TStringStream(std::string_view AString) { FData.assign(AString.begin(), AString.end()); }

std::string TStringStream::ReadString(std::int64_t Count) {
  const std::int64_t Avail = std::int64_t(FData.size()) - FPosition;
  const std::int64_t N = std::max<std::int64_t>(0, std::min(Count, Avail));
  std::string Result(reinterpret_cast<const char*>(FData.data()) + (N > 0 ? FPosition : 0), std::size_t(N));
  FPosition += N;
  return Result;
}

// -------------------------------------------------------------- TFileStream

TFileStream::TFileStream(const std::string& AFileName, unsigned Mode) : FFileName(AFileName) {
  if ((Mode & 0xFF00) == fmCreate) {
    FHandle = ::open(AFileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (FHandle < 0)
      throw EFCreateError("Cannot create file \"" + AFileName + "\". " + std::string(std::strerror(errno)));
    return;
  }
  int Flags = O_CLOEXEC;
  switch (Mode & 0x3) {
    case fmOpenRead:
      Flags |= O_RDONLY;
      break;
    case fmOpenWrite:
      Flags |= O_WRONLY;
      break;
    case fmOpenReadWrite:
      Flags |= O_RDWR;
      break;
    default:
      throw EFOpenError("Cannot open file \"" + AFileName + "\". Invalid file mode");
  }
  FHandle = ::open(AFileName.c_str(), Flags);
  if (FHandle < 0) throw EFOpenError("Cannot open file \"" + AFileName + "\". " + std::string(std::strerror(errno)));
  // A directory opens for reading on this system but is no stream of bytes.
  struct stat St;
  if (::fstat(FHandle, &St) == 0 && S_ISDIR(St.st_mode)) {
    ::close(FHandle);
    FHandle = -1;
    throw EFOpenError("Cannot open file \"" + AFileName + "\". " + std::string(std::strerror(EISDIR)));
  }
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

std::int64_t TFileStream::Read(void* Buffer, std::int64_t Count) {
  std::int64_t Done = 0;
  auto* P = static_cast<std::uint8_t*>(Buffer);
  while (Done < Count) {
    const ssize_t N = ::read(FHandle, P + Done, std::size_t(Count - Done));
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) break;
    Done += N;
  }
  return Done;
}

std::int64_t TFileStream::Write(const void* Buffer, std::int64_t Count) {
  std::int64_t Done = 0;
  const auto* P = static_cast<const std::uint8_t*>(Buffer);
  while (Done < Count) {
    const ssize_t N = ::write(FHandle, P + Done, std::size_t(Count - Done));
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) break;
    Done += N;
  }
  return Done;
}

std::int64_t TFileStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  const int Whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  const off_t R = ::lseek(FHandle, off_t(Offset), Whence);
  if (R < 0) throw EStreamError("Cannot seek in file \"" + FFileName + "\". " + std::string(std::strerror(errno)));
  return std::int64_t(R);
}

void TFileStream::SetSize(std::int64_t NewSize) {
  const std::int64_t Pos = Position();
  if (NewSize < 0 || ::ftruncate(FHandle, off_t(NewSize)) != 0)
    throw EStreamError("Cannot change the size of file \"" + FFileName + "\"");
  if (Pos > NewSize) Seek(NewSize, soBeginning);
}

}  // namespace platform
