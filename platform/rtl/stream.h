// Streams: the abstract TStream and the memory, string and file streams.
//
// Sections: seek origins and file modes; TStream; memory streams; TStringStream; TFileStream.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/object.h"

namespace platform {

class TComponent;

// ------------------------------------------------- seek origins and file modes

enum TSeekOrigin { soBeginning, soCurrent, soEnd };
/// The older numeric origins; they mean the same as soBeginning, soCurrent and soEnd.
constexpr int soFromBeginning = 0;
constexpr int soFromCurrent = 1;
constexpr int soFromEnd = 2;

/// Modes of TFileStream: one access mode, optionally or-ed with a share mode
/// (share modes are accepted and have no effect), or fmCreate.
constexpr unsigned fmOpenRead = 0x0000;
constexpr unsigned fmOpenWrite = 0x0001;
constexpr unsigned fmOpenReadWrite = 0x0002;
constexpr unsigned fmShareCompat = 0x0000;
constexpr unsigned fmShareExclusive = 0x0010;
constexpr unsigned fmShareDenyWrite = 0x0020;
constexpr unsigned fmShareDenyRead = 0x0030;
constexpr unsigned fmShareDenyNone = 0x0040;
/// Creates the file, or empties an existing one, and opens it for reading and writing.
constexpr unsigned fmCreate = 0xFF00;

// ------------------------------------------------------------------ TStream

/// \brief A sequence of bytes with a position: the base of every stream.
///
/// Read and Write transfer what they can and return the count; ReadBuffer and
/// WriteBuffer insist on the whole count and raise EReadError ("Stream read
/// error") or EWriteError ("Stream write error") on a short transfer.
class TStream : public TObject {
  VEL_CLASS(TStream, TObject)
  TStream() = default;

  /// Reads up to Count bytes at the position; returns how many were read.
  virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
  /// Writes up to Count bytes at the position; returns how many were written.
  virtual std::int64_t Write(const void* Buffer, std::int64_t Count) = 0;
  /// Moves the position; returns the new position. A position before the start raises EStreamError.
  virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;
  std::int64_t Seek(std::int64_t Offset, int Origin);

  std::int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(std::int64_t Pos) { Seek(Pos, soBeginning); }
  virtual std::int64_t Size();
  /// Grows or shrinks the stream; the base raises EStreamError (a stream that cannot be resized).
  virtual void SetSize(std::int64_t NewSize);

  void ReadBuffer(void* Buffer, std::int64_t Count);
  void WriteBuffer(const void* Buffer, std::int64_t Count);
  /// Copies Count bytes from Source's position, or with Count 0 the whole of
  /// Source from its beginning. Returns the number of bytes copied.
  std::int64_t CopyFrom(TStream* Source, std::int64_t Count);

  /// Writes Instance's whole image at the position.
  void WriteComponent(TComponent* Instance);
  /// Reads a whole image at the position into Instance, or into a new
  /// component of the image's class when Instance is none; returns it.
  TComponent* ReadComponent(TComponent* Instance);
};

// ---------------------------------------------------------- memory streams

/// \brief A stream over a block of memory that it can read, seek and save.
class TCustomMemoryStream : public TStream {
  VEL_CLASS(TCustomMemoryStream, TStream)
  TCustomMemoryStream() = default;

  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  using TStream::Seek;
  std::int64_t Size() override { return std::int64_t(FData.size()); }

  /// The stream's bytes (Size() of them); valid until the stream changes size.
  std::uint8_t* Memory() { return FData.data(); }
  const std::uint8_t* Memory() const { return FData.data(); }
  void SaveToStream(TStream* Stream);
  void SaveToFile(const std::string& FileName);

 protected:
  std::vector<std::uint8_t> FData;
  std::int64_t FPosition = 0;
};

/// \brief A growable in-memory stream.
class TMemoryStream : public TCustomMemoryStream {
  VEL_CLASS(TMemoryStream, TCustomMemoryStream)
  TMemoryStream() = default;

  /// Writes at the position, growing the stream; a gap left by seeking past the end reads as zeros.
  std::int64_t Write(const void* Buffer, std::int64_t Count) override;
  void SetSize(std::int64_t NewSize) override;
  void Clear();
  /// Replaces the contents by the whole of Stream (from its beginning); the position goes to 0.
  void LoadFromStream(TStream* Stream);
  void LoadFromFile(const std::string& FileName);
};

// ------------------------------------------------------------ TStringStream

/// \brief A memory stream whose bytes are read and written as a string.
class TStringStream : public TMemoryStream {
  VEL_CLASS(TStringStream, TMemoryStream)
  explicit TStringStream(std::string_view AString = {});

  std::string DataString() const { return std::string(FData.begin(), FData.end()); }
  /// Reads up to Count bytes from the position as a string.
  std::string ReadString(std::int64_t Count);
  void WriteString(std::string_view S) { WriteBuffer(S.data(), std::int64_t(S.size())); }
};

// -------------------------------------------------------------- TFileStream

/// \brief A stream over a file. Opening failures raise EFOpenError or, with
/// fmCreate, EFCreateError, naming the file and the system's reason.
class TFileStream : public TStream {
  VEL_CLASS(TFileStream, TStream)
  TFileStream(const std::string& AFileName, unsigned Mode);
  ~TFileStream() override;

  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  std::int64_t Write(const void* Buffer, std::int64_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  using TStream::Seek;
  void SetSize(std::int64_t NewSize) override;

  const std::string& FileName() const { return FFileName; }

 private:
  std::string FFileName;
  int FHandle = -1;
};

}  // namespace platform
