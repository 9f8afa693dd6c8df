#include "platform/rtl/filer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "platform/rtl/stream.h"
#include "platform/rtl/sysutils.h"

namespace platform {

VEL_IMPLEMENT_CLASS(TFiler, "Classes");
VEL_IMPLEMENT_CLASS(TWriter, "Classes");
VEL_IMPLEMENT_CLASS(TReader, "Classes");

// ------------------------------------------------------------- value types

std::string ValueTypeName(std::uint8_t Tag) {
  static constexpr const char* Names[] = {
      "vaNull",     "vaList", "vaInt8",    "vaInt16", "vaInt32",      "vaExtended", "vaString",     "vaIdent",
      "vaFalse",    "vaTrue", "vaBinary",  "vaSet",   "vaLString",    "vaNil",      "vaCollection", "vaSingle",
      "vaCurrency", "vaDate", "vaWString", "vaInt64", "vaUTF8String", nullptr,      "vaDouble"};
  if (Tag < std::size(Names) && Names[Tag] != nullptr) return Names[Tag];
  return "value type " + std::to_string(Tag);
}

bool IsValidValueType(std::uint8_t Tag) { return Tag <= vaDouble && Tag != 21; }

// ------------------------------------------------------- extended floats

void DoubleToExtended(double Value, std::uint8_t (&Bytes)[10]) {
  const std::uint64_t Bits = std::bit_cast<std::uint64_t>(Value);
  const unsigned Sign = unsigned(Bits >> 63);
  const int Exp = int((Bits >> 52) & 0x7FF);
  const std::uint64_t Frac = Bits & ((std::uint64_t(1) << 52) - 1);
  std::uint64_t Mantissa = 0;
  unsigned Exponent = 0;
  if (Exp == 0x7FF) {
    // Infinity keeps only the integer bit; a NaN keeps its payload and stays quiet.
    Exponent = 0x7FFF;
    Mantissa = (std::uint64_t(1) << 63) | (Frac << 11);
    if (Frac != 0) Mantissa |= std::uint64_t(1) << 62;
  } else if (Exp == 0) {
    if (Frac != 0) {
      // A subnormal double is a normal extended: shift its top bit into the integer bit.
      const int Top = 63 - std::countl_zero(Frac);
      Mantissa = Frac << (63 - Top);
      Exponent = unsigned(Top - 1074 + 16383);
    }
  } else {
    Exponent = unsigned(Exp - 1023 + 16383);
    Mantissa = (std::uint64_t(1) << 63) | (Frac << 11);
  }
  for (int I = 0; I < 8; ++I) Bytes[I] = std::uint8_t(Mantissa >> (8 * I));
  const unsigned High = (Sign << 15) | Exponent;
  Bytes[8] = std::uint8_t(High);
  Bytes[9] = std::uint8_t(High >> 8);
}

double ExtendedToDouble(const std::uint8_t (&Bytes)[10]) {
  std::uint64_t Mantissa = 0;
  for (int I = 0; I < 8; ++I) Mantissa |= std::uint64_t(Bytes[I]) << (8 * I);
  const unsigned High = unsigned(Bytes[8]) | (unsigned(Bytes[9]) << 8);
  const bool Negative = (High & 0x8000) != 0;
  const int Exponent = int(High & 0x7FFF);
  double R;
  if (Exponent == 0x7FFF) {
    R = (Mantissa << 1) == 0 ? HUGE_VAL : std::nan("");
  } else if (Mantissa == 0) {
    R = 0.0;
  } else {
    // Round the 64-bit mantissa to 53 bits first, then scale; exact for every
    // value that came from a double.
    R = std::ldexp(double(Mantissa), (Exponent == 0 ? 1 : Exponent) - 16383 - 63);
  }
  return Negative ? -R : R;
}

// ------------------------------------------------------------------ TFiler

TFiler::TFiler(TStream* AStream) : FStream(AStream) {
  if (AStream == nullptr) throw EFilerError("A filer needs a stream");
}

// ------------------------------------------------------------------ TWriter

TWriter::TWriter(TStream* AStream) : TFiler(AStream) {}

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&, const TWriterProc& WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  WritePropName(Name);
  WriteData(*this);
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData) {
  if (!HasData || !WriteData) return;
  TMemoryStream Data;
  WriteData(Data);
  WritePropName(Name);
  WriteBinary(Data.Memory(), Data.Size());
}

std::int64_t TWriter::Position() { return FStream->Position(); }

void TWriter::Write(const void* Buffer, std::int64_t Count) { FStream->WriteBuffer(Buffer, Count); }

void TWriter::WriteInt(std::uint64_t Value, int Bytes) {
  std::uint8_t B[8];
  for (int I = 0; I < Bytes; ++I) B[I] = std::uint8_t(Value >> (8 * I));
  Write(B, Bytes);
}

void TWriter::WriteSignature() { Write(FilerSignature, 4); }

void TWriter::WritePrefix(TFilerFlags Flags, int ChildPos) {
  if (Flags.Empty()) return;
  const std::uint8_t Prefix = std::uint8_t(0xF0 | (Flags.Bits() & 0x0F));
  Write(&Prefix, 1);
  if (Flags.Contains(ffChildPos)) WriteInteger(ChildPos);
}

void TWriter::WriteStr(std::string_view S) {
  if (S.size() > 255)
    throw EWriteError("Name too long for the stream: " + std::to_string(S.size()) + " bytes (at most 255)");
  const std::uint8_t Len = std::uint8_t(S.size());
  Write(&Len, 1);
  Write(S.data(), std::int64_t(S.size()));
}

void TWriter::WriteValue(TValueType Value) {
  const std::uint8_t Tag = Value;
  Write(&Tag, 1);
}

void TWriter::WritePropName(std::string_view PropName) { WriteStr(FPropPath + std::string(PropName)); }

void TWriter::WriteInteger(std::int64_t Value) {
  if (Value >= -128 && Value <= 127) {
    WriteValue(vaInt8);
    WriteInt(std::uint64_t(Value), 1);
  } else if (Value >= -32768 && Value <= 32767) {
    WriteValue(vaInt16);
    WriteInt(std::uint64_t(Value), 2);
  } else if (Value >= INT32_MIN && Value <= INT32_MAX) {
    WriteValue(vaInt32);
    WriteInt(std::uint64_t(Value), 4);
  } else {
    WriteValue(vaInt64);
    WriteInt(std::uint64_t(Value), 8);
  }
}

void TWriter::WriteFloat(double Value) {
  std::uint8_t B[10];
  DoubleToExtended(Value, B);
  WriteValue(vaExtended);
  Write(B, 10);
}

void TWriter::WriteSingle(float Value) {
  WriteValue(vaSingle);
  WriteInt(std::bit_cast<std::uint32_t>(Value), 4);
}

void TWriter::WriteCurrency(std::int64_t TenThousandths) {
  WriteValue(vaCurrency);
  WriteInt(std::uint64_t(TenThousandths), 8);
}

void TWriter::WriteDate(double Value) {
  WriteValue(vaDate);
  WriteInt(std::bit_cast<std::uint64_t>(Value), 8);
}

void TWriter::WriteString(std::string_view Value) {
  if (Value.size() <= 255) {
    WriteValue(vaString);
    WriteInt(Value.size(), 1);
  } else {
    if (Value.size() > UINT32_MAX) throw EWriteError("String too long for the stream");
    WriteValue(vaLString);
    WriteInt(Value.size(), 4);
  }
  Write(Value.data(), std::int64_t(Value.size()));
}

void TWriter::WriteIdent(std::string_view Ident) {
  if (SameText(Ident, "False"))
    WriteValue(vaFalse);
  else if (SameText(Ident, "True"))
    WriteValue(vaTrue);
  else if (SameText(Ident, "nil"))
    WriteValue(vaNil);
  else {
    WriteValue(vaIdent);
    WriteStr(Ident);
  }
}

void TWriter::WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }

void TWriter::WriteSet(const std::vector<std::string>& Idents) {
  WriteValue(vaSet);
  for (const std::string& S : Idents) {
    if (S.empty()) throw EWriteError("A set element needs a name");
    WriteStr(S);
  }
  WriteStr("");
}

void TWriter::WriteBinary(const void* Data, std::int64_t Count) {
  if (Count < 0 || Count > std::int64_t(UINT32_MAX)) throw EWriteError("Binary data too long for the stream");
  WriteValue(vaBinary);
  WriteInt(std::uint64_t(Count), 4);
  Write(Data, Count);
}

// ------------------------------------------------------------------ TReader

TReader::TReader(TStream* AStream, int BufSize) : TFiler(AStream), FBuffer(std::size_t(std::max(BufSize, 16))) {
  FBufStart = AStream->Position();
}

TReader::~TReader() {
  try {
    FlushBuffer();
  } catch (const Exception&) {
    // The stream refused to seek back; nothing more can be done here.
  }
}

void TReader::FlushBuffer() {
  const std::int64_t Pos = Position();
  FStream->Seek(Pos, soBeginning);
  FBufStart = Pos;
  FBufPos = FBufEnd = 0;
}

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc&, bool) {
  if (ReadData && !FPropName.empty() && SameText(Name, FPropName)) {
    ReadData(*this);
    FPropName.clear();
  }
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc&, bool) {
  if (ReadData && !FPropName.empty() && SameText(Name, FPropName)) {
    const std::vector<std::uint8_t> Data = ReadBinary();
    TMemoryStream S;
    if (!Data.empty()) S.WriteBuffer(Data.data(), std::int64_t(Data.size()));
    S.SetPosition(0);
    ReadData(S);
    FPropName.clear();
  }
}

bool TReader::FillBuffer() {
  FBufStart += FBufEnd;
  FBufPos = 0;
  FBufEnd = 0;
  FBufEnd = std::max<std::int64_t>(0, FStream->Read(FBuffer.data(), std::int64_t(FBuffer.size())));
  return FBufEnd > 0;
}

void TReader::Read(void* Buffer, std::int64_t Count, std::string_view What) {
  auto* Out = static_cast<std::uint8_t*>(Buffer);
  while (Count > 0) {
    if (FBufPos == FBufEnd && !FillBuffer())
      throw EReadError("Unexpected end of stream at offset " + std::to_string(Position()) + " while reading " +
                       std::string(What));
    const std::int64_t N = std::min(Count, FBufEnd - FBufPos);
    std::memcpy(Out, FBuffer.data() + FBufPos, std::size_t(N));
    FBufPos += N;
    Out += N;
    Count -= N;
  }
}

std::uint8_t TReader::ReadByte(std::string_view What) {
  std::uint8_t B;
  Read(&B, 1, What);
  return B;
}

std::uint64_t TReader::ReadUInt(int Bytes, std::string_view What) {
  std::uint8_t B[8];
  Read(B, Bytes, What);
  std::uint64_t R = 0;
  for (int I = 0; I < Bytes; ++I) R |= std::uint64_t(B[I]) << (8 * I);
  return R;
}

void TReader::ReadCounted(std::string& Out, std::uint64_t Count, std::string_view What) {
  Out.clear();
  while (Count > 0) {
    if (FBufPos == FBufEnd && !FillBuffer())
      throw EReadError("Unexpected end of stream at offset " + std::to_string(Position()) + " while reading " +
                       std::string(What));
    const std::uint64_t N = std::min<std::uint64_t>(Count, std::uint64_t(FBufEnd - FBufPos));
    Out.append(reinterpret_cast<const char*>(FBuffer.data() + FBufPos), std::size_t(N));
    FBufPos += std::int64_t(N);
    Count -= N;
  }
}

void TReader::ValueError(std::string_view Expected, TValueType Found, std::int64_t At) {
  throw EReadError("Invalid property value at offset " + std::to_string(At) + ": expected " + std::string(Expected) +
                   ", found " + ValueTypeName(Found));
}

void TReader::ReadSignature() {
  char Sig[4];
  const std::int64_t At = Position();
  Read(Sig, 4, "the stream signature");
  if (std::memcmp(Sig, FilerSignature, 4) != 0)
    throw EReadError("Invalid stream format: no \"TPF0\" signature at offset " + std::to_string(At));
}

std::uint8_t TReader::PeekByte(std::string_view What) {
  if (FBufPos == FBufEnd && !FillBuffer())
    throw EReadError("Unexpected end of stream at offset " + std::to_string(Position()) + " while reading " +
                     std::string(What));
  return FBuffer[std::size_t(FBufPos)];
}

void TReader::ReadPrefix(TFilerFlags& Flags, int& ChildPos) {
  Flags = TFilerFlags();
  const std::uint8_t B = PeekByte("a class name");
  if ((B & 0xF0) != 0xF0) return;
  const std::int64_t At = Position();
  ++FBufPos;
  if ((B & 0x0F) > 0x07)
    throw EReadError("Invalid filer flags $" + IntToHex(B, 2) + " at offset " + std::to_string(At));
  Flags = TFilerFlags::FromBits(B & 0x07);
  if (Flags.Contains(ffChildPos)) ChildPos = ReadInteger();
}

std::string TReader::ReadStr() {
  const std::uint8_t Len = ReadByte("a name");
  std::string S;
  ReadCounted(S, Len, "a name");
  return S;
}

TValueType TReader::ReadValue() {
  const std::int64_t At = Position();
  const std::uint8_t Tag = ReadByte("a value type");
  if (!IsValidValueType(Tag))
    throw EReadError("Unknown value type " + std::to_string(Tag) + " at offset " + std::to_string(At));
  return TValueType(Tag);
}

TValueType TReader::NextValue() {
  const TValueType V = ReadValue();
  --FBufPos;  // ReadValue leaves the tag's byte in the buffer
  return V;
}

void TReader::CheckValue(TValueType Value) {
  const std::int64_t At = Position();
  const TValueType V = ReadValue();
  if (V != Value) ValueError(ValueTypeName(Value), V, At);
}

std::int64_t TReader::ReadInt64() {
  const std::int64_t At = Position();
  switch (const TValueType V = ReadValue()) {
    case vaInt8:
      return std::int8_t(ReadUInt(1, "an integer"));
    case vaInt16:
      return std::int16_t(ReadUInt(2, "an integer"));
    case vaInt32:
      return std::int32_t(ReadUInt(4, "an integer"));
    case vaInt64:
      return std::int64_t(ReadUInt(8, "an integer"));
    default:
      ValueError("an integer", V, At);
  }
}

int TReader::ReadInteger() {
  const std::int64_t At = Position();
  const TValueType V = NextValue();
  if (V == vaInt64) ValueError("a 32-bit integer", V, At);
  return int(ReadInt64());
}

double TReader::ReadFloat() {
  const std::int64_t At = Position();
  switch (const TValueType V = NextValue()) {
    case vaExtended: {
      ReadValue();
      std::uint8_t B[10];
      Read(B, 10, "a float");
      return ExtendedToDouble(B);
    }
    case vaDouble:
      ReadValue();
      return std::bit_cast<double>(ReadUInt(8, "a float"));
    case vaSingle:
      return ReadSingle();
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64:
      return double(ReadInt64());
    default:
      ValueError("a float", V, At);
  }
}

float TReader::ReadSingle() {
  CheckValue(vaSingle);
  return std::bit_cast<float>(std::uint32_t(ReadUInt(4, "a single")));
}

std::int64_t TReader::ReadCurrency() {
  CheckValue(vaCurrency);
  return std::int64_t(ReadUInt(8, "a currency value"));
}

double TReader::ReadDate() {
  CheckValue(vaDate);
  return std::bit_cast<double>(ReadUInt(8, "a date"));
}

namespace {

void AppendUTF8(std::string& Out, std::uint32_t Cp) {
  if (Cp < 0x80) {
    Out += char(Cp);
  } else if (Cp < 0x800) {
    Out += char(0xC0 | (Cp >> 6));
    Out += char(0x80 | (Cp & 0x3F));
  } else if (Cp < 0x10000) {
    Out += char(0xE0 | (Cp >> 12));
    Out += char(0x80 | ((Cp >> 6) & 0x3F));
    Out += char(0x80 | (Cp & 0x3F));
  } else {
    Out += char(0xF0 | (Cp >> 18));
    Out += char(0x80 | ((Cp >> 12) & 0x3F));
    Out += char(0x80 | ((Cp >> 6) & 0x3F));
    Out += char(0x80 | (Cp & 0x3F));
  }
}

// UTF-16LE to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string UTF16ToUTF8(const std::string& Units) {
  std::string Out;
  Out.reserve(Units.size());
  const std::size_t N = Units.size() / 2;
  auto Unit = [&](std::size_t I) {
    return std::uint32_t(std::uint8_t(Units[2 * I])) | (std::uint32_t(std::uint8_t(Units[2 * I + 1])) << 8);
  };
  for (std::size_t I = 0; I < N; ++I) {
    const std::uint32_t U = Unit(I);
    if (U >= 0xD800 && U <= 0xDBFF && I + 1 < N && Unit(I + 1) >= 0xDC00 && Unit(I + 1) <= 0xDFFF) {
      AppendUTF8(Out, 0x10000 + ((U - 0xD800) << 10) + (Unit(I + 1) - 0xDC00));
      ++I;
    } else if (U >= 0xD800 && U <= 0xDFFF) {
      AppendUTF8(Out, 0xFFFD);
    } else {
      AppendUTF8(Out, U);
    }
  }
  return Out;
}

}  // namespace

std::string TReader::ReadString() {
  const std::int64_t At = Position();
  std::string S;
  switch (const TValueType V = ReadValue()) {
    case vaString:
      ReadCounted(S, ReadUInt(1, "a string length"), "a string");
      return S;
    case vaLString:
    case vaUTF8String:
      ReadCounted(S, ReadUInt(4, "a string length"), "a string");
      return S;
    case vaWString:
      ReadCounted(S, 2 * ReadUInt(4, "a string length"), "a string");
      return UTF16ToUTF8(S);
    default:
      ValueError("a string", V, At);
  }
}

std::string TReader::ReadIdent() {
  const std::int64_t At = Position();
  switch (const TValueType V = ReadValue()) {
    case vaIdent:
      return ReadStr();
    case vaFalse:
      return "False";
    case vaTrue:
      return "True";
    case vaNil:
      return "nil";
    default:
      ValueError("an identifier", V, At);
  }
}

bool TReader::ReadBoolean() {
  const std::int64_t At = Position();
  const TValueType V = ReadValue();
  if (V != vaTrue && V != vaFalse) ValueError("a Boolean", V, At);
  return V == vaTrue;
}

std::vector<std::string> TReader::ReadSet() {
  CheckValue(vaSet);
  std::vector<std::string> R;
  for (std::string S = ReadStr(); !S.empty(); S = ReadStr()) R.push_back(std::move(S));
  return R;
}

std::vector<std::uint8_t> TReader::ReadBinary() {
  CheckValue(vaBinary);
  std::string S;
  ReadCounted(S, ReadUInt(4, "a binary length"), "binary data");
  return std::vector<std::uint8_t>(S.begin(), S.end());
}

void TReader::SkipValue() {
  const std::int64_t At = Position();
  std::string Scratch;
  auto Skip = [&](std::uint64_t N, std::string_view What) {
    // Skips in bounded pieces so a damaged length cannot make the reader allocate.
    while (N > 0) {
      const std::uint64_t Piece = std::min<std::uint64_t>(N, 4096);
      ReadCounted(Scratch, Piece, What);
      N -= Piece;
    }
  };
  switch (ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
      break;
    case vaList:
      if (++FDepth > MaxNesting) throw EReadError("Lists nested too deeply at offset " + std::to_string(At));
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      --FDepth;
      break;
    case vaInt8:
      Skip(1, "an integer");
      break;
    case vaInt16:
      Skip(2, "an integer");
      break;
    case vaInt32:
      Skip(4, "an integer");
      break;
    case vaSingle:
      Skip(4, "a number");
      break;
    case vaInt64:
      Skip(8, "an integer");
      break;
    case vaCurrency:
    case vaDate:
    case vaDouble:
      Skip(8, "a number");
      break;
    case vaExtended:
      Skip(10, "a float");
      break;
    case vaString:
    case vaIdent:
      Skip(ReadUInt(1, "a string length"), "a string");
      break;
    case vaLString:
    case vaUTF8String:
      Skip(ReadUInt(4, "a string length"), "a string");
      break;
    case vaWString:
      Skip(2 * ReadUInt(4, "a string length"), "a string");
      break;
    case vaBinary:
      Skip(ReadUInt(4, "a binary length"), "binary data");
      break;
    case vaSet:
      while (!ReadStr().empty()) {
      }
      break;
    case vaCollection:
      if (++FDepth > MaxNesting) throw EReadError("Collections nested too deeply at offset " + std::to_string(At));
      SkipCollection();
      --FDepth;
      break;
  }
}

void TReader::SkipCollection() {
  while (!EndOfList()) {
    const TValueType V = NextValue();
    if (V == vaInt8 || V == vaInt16 || V == vaInt32) ReadInteger();
    ReadListBegin();
    while (!EndOfList()) SkipProperty();
    ReadListEnd();
  }
  ReadListEnd();
}

void TReader::SkipProperty() {
  ReadStr();
  SkipValue();
}

}  // namespace platform
