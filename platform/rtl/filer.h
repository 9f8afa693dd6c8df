// The platform's binary component-stream form at value level: value-type
// tags, filer flags, the 80-bit extended float encoding, and TFiler with its
// value writer (TWriter) and bounded value reader (TReader).
//
// An image is: the signature "TPF0"; an optional prefix byte $F0|flags (and a
// child position when ffChildPos is set); class name and component name as
// short strings; properties (short-string name, then a tagged value) ending
// in vaNull; child images ending in vaNull. All multi-byte numbers are
// little-endian.
//
// The component level (writing and reading whole components through their
// published properties, reference fixups, Loaded) builds on these classes:
// TWriter and TReader carry the root, lookup root, ancestor and the current
// property path for it, and DefineProperty is how a class streams data that
// is not a published property.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/set.h"

namespace platform {

class TStream;
class TComponent;
class TPersistent;
class TReader;
class TWriter;
class TComponentList;
class TCollection;
struct TPropInfo;

/// The value-type tags of the binary form, with their numbers in the form.
enum TValueType : std::uint8_t {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19,
  vaUTF8String = 20,
  // 21 stands for different types in different writers; it is neither written nor accepted.
  vaDouble = 22,
};

/// The tag's name ("vaString"), or "value type N" for a number that is no tag.
std::string ValueTypeName(std::uint8_t Tag);
/// True for the tags this reader accepts (every tag but 21 and those above vaDouble).
bool IsValidValueType(std::uint8_t Tag);

/// Flags of a component image's prefix, applied when it is read:
/// ffInherited: the component exists already (owned by the reader's owner,
/// found by name) and its properties are read into it; ffChildPos: the child
/// is moved to that position among its parent's children (SetChildOrder);
/// ffInline: the component is a nested root whose properties and children
/// resolve names against itself, and it owns the children read inside it.
enum TFilerFlag { ffInherited, ffChildPos, ffInline };
using TFilerFlags = TSet<TFilerFlag>;

/// The longest class name an image can carry: a length byte of $F0 or more
/// where a class name starts reads as a prefix byte.
inline constexpr std::size_t MaxClassNameLength = 239;

/// The four signature bytes that open every image.
inline constexpr char FilerSignature[4] = {'T', 'P', 'F', '0'};

/// Encodes Value as the 10-byte x87 extended value (64-bit mantissa with an
/// explicit integer bit, 15-bit exponent biased by 16383, sign), little-endian.
/// Every double, including subnormals, infinities and NaNs, encodes exactly.
void DoubleToExtended(double Value, std::uint8_t (&Bytes)[10]);
/// Decodes a 10-byte extended value to the nearest double (values beyond the
/// double range become infinities or zeros).
double ExtendedToDouble(const std::uint8_t (&Bytes)[10]);

using TReaderProc = std::function<void(TReader& Reader)>;
using TWriterProc = std::function<void(TWriter& Writer)>;
using TStreamProc = std::function<void(TStream& Stream)>;

/// \brief What a reader and a writer share: the stream and the component roots.
class TFiler : public TObject {
  VEL_CLASS(TFiler, TObject)
  explicit TFiler(TStream* AStream);

  TStream* Stream() const { return FStream; }
  /// The component whose image is being written or read.
  TComponent* Root() const { return FRoot; }
  virtual void SetRoot(TComponent* Value) { FRoot = Value; }
  /// The component that names resolve against (the root by default).
  TComponent* LookupRoot() const { return FLookupRoot; }
  void SetLookupRoot(TComponent* Value) { FLookupRoot = Value; }
  /// The object whose values are the defaults when writing (none: the class defaults).
  TPersistent* Ancestor() const { return FAncestor; }
  void SetAncestor(TPersistent* Value) { FAncestor = Value; }
  bool IgnoreChildren() const { return FIgnoreChildren; }
  void SetIgnoreChildren(bool Value) { FIgnoreChildren = Value; }

  /// Streams data that is not a published property under Name: the writer
  /// writes the name and calls WriteData when HasData; the reader calls
  /// ReadData when Name is the property being read.
  virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                              bool HasData) = 0;
  /// As DefineProperty, for a block of bytes stored as vaBinary.
  virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                                    bool HasData) = 0;

 protected:
  TStream* FStream;
  TComponent* FRoot = nullptr;
  TComponent* FLookupRoot = nullptr;
  TPersistent* FAncestor = nullptr;
  bool FIgnoreChildren = false;
};

// ------------------------------------------------------------------ TWriter

/// \brief Writes values of the binary form to a stream, each with its tag.
///
/// Integers take the smallest tag that holds them, floats are written as
/// vaExtended, strings as their UTF-8 bytes in vaString (up to 255 bytes) or
/// vaLString. Every byte goes to the stream at once, so the stream is
/// complete whenever a call returns.
class TWriter : public TFiler {
  VEL_CLASS(TWriter, TFiler)
  explicit TWriter(TStream* AStream);

  void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                            bool HasData) override;

  /// The stream position where the next byte goes.
  std::int64_t Position();

  void WriteSignature();
  /// The prefix byte $F0|Flags, followed by ChildPos when ffChildPos is in
  /// Flags; nothing when Flags is empty.
  void WritePrefix(TFilerFlags Flags, int ChildPos);
  /// A short string: a length byte and the bytes; EWriteError beyond 255 bytes.
  void WriteStr(std::string_view S);
  void WriteValue(TValueType Value);
  /// The property name, prefixed by the current property path (for nested objects such as "Font.").
  void WritePropName(std::string_view PropName);

  void WriteInteger(std::int64_t Value);
  void WriteInt64(std::int64_t Value) { WriteInteger(Value); }
  void WriteFloat(double Value);
  void WriteSingle(float Value);
  /// Currency is written as a 64-bit integer count of ten-thousandths.
  void WriteCurrency(std::int64_t TenThousandths);
  void WriteDate(double Value);
  void WriteString(std::string_view Value);
  /// An identifier; "True", "False", "nil" and "Null" (any case) take their own tags.
  void WriteIdent(std::string_view Ident);
  void WriteBoolean(bool Value);
  void WriteListBegin() { WriteValue(vaList); }
  void WriteListEnd() { WriteValue(vaNull); }
  /// vaSet, each identifier as a short string, then an empty string.
  void WriteSet(const std::vector<std::string>& Idents);
  /// vaBinary, a 4-byte length and the bytes.
  void WriteBinary(const void* Data, std::int64_t Count);

  /// Raw bytes, no tag.
  void Write(const void* Buffer, std::int64_t Count);

  /// The whole image of Root: signature, then Root as WriteComponent writes
  /// it. Values equal to Ancestor's (when given) are left out; a child for
  /// which Ancestor owns a component of the same name and class is written
  /// with ffInherited and only its values that differ from that component's.
  void WriteDescendent(TComponent* Root, TComponent* AAncestor);
  /// A component image: class name, name, stored properties, vaNull, the
  /// children Component presents (transient ones left out), vaNull.
  void WriteComponent(TComponent* Component);
  /// Every stored published property of Instance that does not hold its default.
  void WriteProperties(TPersistent* Instance);
  void WriteProperty(TPersistent* Instance, const TPropInfo* PropInfo);
  /// vaCollection, then per item vaList, its stored properties and vaNull; a
  /// final vaNull. No order values are written.
  void WriteCollection(TCollection* Value);

  /// The prefix WritePropName puts before names ("Font." while a sub-object is written).
  const std::string& PropPath() const { return FPropPath; }
  void SetPropPath(std::string Value) { FPropPath = std::move(Value); }

 private:
  void WriteInt(std::uint64_t Value, int Bytes);
  std::string FPropPath;
  TComponent* FRootAncestor = nullptr;   // the ancestor of the whole image
  TComponent* FChildAncestor = nullptr;  // the ancestor of the child about to be written
};

// ------------------------------------------------------------------ TReader

/// \brief Reads values of the binary form from a stream, checking every tag
/// and every length against the bytes that are really there.
///
/// Bytes are read in blocks of BufSize; when the reader is destroyed (or
/// FlushBuffer is called) the stream is positioned just after the last byte
/// consumed, so images that follow one another read one at a time. Running
/// out of bytes, an unknown tag, or a value of another kind than expected
/// raises EReadError naming what was being read and the stream offset. The
/// reader never reads beyond the end of the stream and never allocates more
/// than the stream holds.
class TReader : public TFiler {
  VEL_CLASS(TReader, TFiler)
  explicit TReader(TStream* AStream, int BufSize = 4096);
  ~TReader() override;

  void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                            bool HasData) override;

  /// The stream offset of the next byte to be consumed.
  std::int64_t Position() const { return FBufStart + FBufPos; }
  /// Positions the stream at Position() and drops the read-ahead.
  void FlushBuffer();

  /// Reads the signature; EReadError "Invalid stream format" when it is not "TPF0".
  void ReadSignature();
  /// Reads an optional prefix byte and the child position it announces.
  void ReadPrefix(TFilerFlags& Flags, int& ChildPos);
  std::string ReadStr();

  /// Consumes and returns the next tag.
  TValueType ReadValue();
  /// The next tag without consuming it.
  TValueType NextValue();
  /// Consumes the next tag; EReadError when it is not Value.
  void CheckValue(TValueType Value);
  /// True when the next byte is vaNull (it is not consumed). The byte is not
  /// checked further: in a list of child images it starts an image, not a value.
  bool EndOfList() { return PeekByte("the end of a list") == vaNull; }
  void ReadListBegin() { CheckValue(vaList); }
  void ReadListEnd() { CheckValue(vaNull); }

  /// vaInt8, vaInt16 or vaInt32.
  int ReadInteger();
  /// Any integer tag, vaInt64 included.
  std::int64_t ReadInt64();
  /// vaExtended, vaDouble, vaSingle or an integer.
  double ReadFloat();
  float ReadSingle();
  /// A 64-bit count of ten-thousandths (vaCurrency).
  std::int64_t ReadCurrency();
  double ReadDate();
  /// vaString, vaLString or vaUTF8String as their bytes, vaWString converted from UTF-16 to UTF-8.
  std::string ReadString();
  /// vaIdent, or "False", "True", "nil" and "Null" for their tags.
  std::string ReadIdent();
  bool ReadBoolean();
  /// The identifiers of a vaSet.
  std::vector<std::string> ReadSet();
  std::vector<std::uint8_t> ReadBinary();

  /// Skips one value of any kind, nested lists and collections included.
  void SkipValue();
  /// Skips a property name and its value.
  void SkipProperty();

  /// Reads exactly Count raw bytes; What names them in the error when they are not all there.
  void Read(void* Buffer, std::int64_t Count, std::string_view What = "data");

  /// The property being read, as DefineProperty compares it.
  const std::string& PropName() const { return FPropName; }
  void SetPropName(std::string Value) { FPropName = std::move(Value); }

  /// How deeply lists, collections and nested images may nest before the
  /// data counts as damaged.
  static constexpr int MaxNesting = 200;

  /// The component that components read get as their parent (SetParentComponent).
  TComponent* Parent() const { return FParent; }
  void SetParent(TComponent* Value) { FParent = Value; }
  /// The owner of the child components read (the root by default).
  TComponent* Owner() const { return FOwner; }
  void SetOwner(TComponent* Value) { FOwner = Value; }

  /// Reads a whole image (signature included). With no Root, the root is
  /// created through the class registry with no owner; otherwise the image
  /// is read into Root. Component references are resolved once the whole
  /// image is read, then every component read is told Loaded. On any error
  /// every component created by this read is destroyed and the error is
  /// raised as EReadError (EClassNotFound for an unknown class).
  TComponent* ReadRootComponent(TComponent* Root);
  /// Reads one component image (prefix, class, name, properties, children)
  /// into Component, or into a new component of the image's class owned by
  /// Owner(), or (ffInherited) into Owner()'s component of the stored name.
  TComponent* ReadComponent(TComponent* Component);
  /// Reads one property (dotted name and value) into Instance.
  void ReadProperty(TPersistent* Instance);
  /// Reads a vaCollection value into Collection: its items are replaced by
  /// one new item per entry (an order value before an entry is read and
  /// ignored), each given the entry's properties, all between BeginUpdate and
  /// EndUpdate.
  void ReadCollection(TCollection* Collection);

 private:
  std::uint8_t ReadByte(std::string_view What);
  std::uint8_t PeekByte(std::string_view What);
  std::uint64_t ReadUInt(int Bytes, std::string_view What);
  /// Reads Count bytes (a length from the stream) into Out, growing it only as bytes arrive.
  void ReadCounted(std::string& Out, std::uint64_t Count, std::string_view What);
  bool FillBuffer();
  [[noreturn]] void ValueError(std::string_view Expected, TValueType Found, std::int64_t At);
  void SkipCollection();
  void ReadComponentData(TComponent* Instance);
  void ReadPropValue(TPersistent* Instance, const TPropInfo* PropInfo);
  void ResolveFixups();
  [[noreturn]] void PropertyError(const std::string& Message);

  struct TFixup {
    TPersistent* Instance;
    const TPropInfo* PropInfo;
    std::string Name;
    std::string Context;
    TComponent* LookupRoot;  // names resolve against it (an inline component inside the root)
  };
  void DropFixupsInto(TCollection* Collection);

  std::vector<std::uint8_t> FBuffer;
  std::int64_t FBufStart = 0;  // stream offset of FBuffer[0]
  std::int64_t FBufPos = 0;
  std::int64_t FBufEnd = 0;
  int FDepth = 0;
  std::string FPropName;
  TComponent* FParent = nullptr;
  TComponent* FOwner = nullptr;
  std::vector<TFixup> FFixups;
  // Components read by the current ReadRootComponent, in reading order, and
  // those of them it created (dropped by themselves when destroyed).
  TComponentList* FLoaded = nullptr;
  TComponentList* FCreated = nullptr;
  // The component whose properties are being read, for error messages.
  std::string FCompName;
};

}  // namespace platform
