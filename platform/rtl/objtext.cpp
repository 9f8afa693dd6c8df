#include "platform/rtl/objtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rtl/filer.h"
#include "platform/rtl/stream.h"

namespace platform {

namespace {

// Sections: shared helpers; binary to text; the text lexer; text to binary.

// ---------------------------------------------------------- shared helpers

bool IsIdentStart(unsigned char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_' || C >= 0x80; }
bool IsIdentChar(unsigned char C) { return IsIdentStart(C) || (C >= '0' && C <= '9') || C == '.'; }

// A name the text form can carry: an identifier start, then identifier
// characters (dots allowed for dotted names); non-ASCII bytes count as letters.
bool IsIdentText(std::string_view S, bool AllowDots) {
  if (S.empty() || !IsIdentStart(static_cast<unsigned char>(S[0]))) return false;
  for (char C : S) {
    if (!IsIdentChar(static_cast<unsigned char>(C))) return false;
    if (C == '.' && !AllowDots) return false;
  }
  return S.back() != '.';
}

// Lays out the shortest round-trip digits of a number in the general form:
// fixed notation for exponents -5..14 (always with a decimal point, so the
// text reads back as a float), otherwise "1.5E20" style.
std::string GeneralFloatText(std::string_view Scientific) {
  std::string_view S = Scientific;
  std::string Sign;
  if (!S.empty() && S[0] == '-') {
    Sign = "-";
    S.remove_prefix(1);
  }
  const std::size_t EPos = S.find('e');
  std::string Digits;
  for (char C : S.substr(0, EPos))
    if (C != '.') Digits += C;
  int Exp = 0;
  std::string_view ExpText = S.substr(EPos + 1);
  if (!ExpText.empty() && ExpText[0] == '+') ExpText.remove_prefix(1);
  std::from_chars(ExpText.data(), ExpText.data() + ExpText.size(), Exp);
  while (Digits.size() > 1 && Digits.back() == '0') Digits.pop_back();
  std::string R;
  if (Exp >= -5 && Exp <= 14) {
    if (Exp < 0) {
      R = "0." + std::string(std::size_t(-Exp - 1), '0') + Digits;
    } else if (Digits.size() <= std::size_t(Exp) + 1) {
      R = Digits + std::string(std::size_t(Exp) + 1 - Digits.size(), '0') + ".0";
    } else {
      R = Digits.substr(0, std::size_t(Exp) + 1) + "." + Digits.substr(std::size_t(Exp) + 1);
    }
  } else {
    R = Digits.substr(0, 1);
    if (Digits.size() > 1) R += "." + Digits.substr(1);
    R += "E" + std::to_string(Exp);
  }
  return Sign + R;
}

template <class F>
std::string FloatText(F Value) {
  if (std::isnan(Value)) return "NAN";
  if (std::isinf(Value)) return Value > 0 ? "INF" : "-INF";
  if (Value == 0) return std::signbit(Value) ? "-0.0" : "0.0";
  char Buf[64];
  const auto Res = std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::scientific);
  return GeneralFloatText(std::string_view(Buf, std::size_t(Res.ptr - Buf)));
}

std::string CurrencyText(std::int64_t TenThousandths) {
  const bool Negative = TenThousandths < 0;
  const std::uint64_t A = Negative ? 0 - std::uint64_t(TenThousandths) : std::uint64_t(TenThousandths);
  std::string R = (Negative ? "-" : "") + std::to_string(A / 10000);
  std::string Frac = std::to_string(A % 10000);
  Frac.insert(0, 4 - Frac.size(), '0');
  while (!Frac.empty() && Frac.back() == '0') Frac.pop_back();
  if (!Frac.empty()) R += "." + Frac;
  return R + "c";
}

// --------------------------------------------------------- binary to text

class TBinaryToText {
 public:
  TBinaryToText(TReader& AReader, std::string& AOut) : R(AReader), Out(AOut) {}

  void ConvertObject(int Indent) {
    Enter("Images");
    TFilerFlags Flags;
    int ChildPos = 0;
    R.ReadPrefix(Flags, ChildPos);
    std::int64_t At = R.Position();
    const std::string ClassName = R.ReadStr();
    if (!IsIdentText(ClassName, true)) Damaged("class name", ClassName, At);
    At = R.Position();
    const std::string Name = R.ReadStr();
    if (!Name.empty() && !IsIdentText(Name, false)) Damaged("component name", Name, At);
    Spaces(Indent);
    Out += Flags.Contains(ffInherited) ? "inherited " : Flags.Contains(ffInline) ? "inline " : "object ";
    if (!Name.empty()) Out += Name + ": ";
    Out += ClassName;
    if (Flags.Contains(ffChildPos)) Out += " [" + std::to_string(ChildPos) + "]";
    Out += "\n";
    while (!R.EndOfList()) ConvertProperty(Indent + 2);
    R.ReadListEnd();
    while (!R.EndOfList()) ConvertObject(Indent + 2);
    R.ReadListEnd();
    Spaces(Indent);
    Out += "end\n";
    --Depth;
  }

 private:
  void Enter(const char* What) {
    if (++Depth > TReader::MaxNesting)
      throw EReadError(std::string(What) + " nested too deeply at offset " + std::to_string(R.Position()));
  }

  [[noreturn]] void Damaged(const char* What, const std::string& Text, std::int64_t At) {
    throw EReadError("Invalid " + std::string(What) + " '" + Text + "' at offset " + std::to_string(At));
  }

  void Spaces(int N) { Out.append(std::size_t(N), ' '); }

  void ConvertProperty(int Indent) {
    const std::int64_t At = R.Position();
    const std::string Name = R.ReadStr();
    if (!IsIdentText(Name, true)) Damaged("property name", Name, At);
    Spaces(Indent);
    Out += Name + " = ";
    if (R.NextValue() == vaNull) {
      // A null value (an empty variant) reads back from the word Null.
      R.ReadValue();
      Out += "Null";
    } else {
      ConvertValue(Indent);
    }
    Out += "\n";
  }

  void ConvertValue(int Indent) {
    const std::int64_t At = R.Position();
    switch (R.NextValue()) {
      case vaList:
        Enter("Lists");
        R.ReadListBegin();
        Out += "(";
        while (!R.EndOfList()) {
          Out += "\n";
          Spaces(Indent + 2);
          ConvertValue(Indent + 2);
        }
        R.ReadListEnd();
        Out += ")";
        --Depth;
        break;
      case vaInt8:
      case vaInt16:
      case vaInt32:
      case vaInt64:
        Out += std::to_string(R.ReadInt64());
        break;
      case vaExtended:
      case vaDouble:
        Out += FloatText(R.ReadFloat());
        break;
      case vaSingle:
        Out += FloatText(R.ReadSingle()) + "s";
        break;
      case vaCurrency:
        Out += CurrencyText(R.ReadCurrency());
        break;
      case vaDate:
        Out += FloatText(R.ReadDate()) + "d";
        break;
      case vaString:
      case vaLString:
      case vaWString:
      case vaUTF8String:
        ConvertString(R.ReadString(), Indent);
        break;
      case vaIdent:
      case vaFalse:
      case vaTrue:
      case vaNil: {
        const std::string Ident = R.ReadIdent();
        if (!IsIdentText(Ident, true)) Damaged("identifier", Ident, At);
        Out += Ident;
        break;
      }
      case vaSet: {
        Out += "[";
        bool First = true;
        for (const std::string& S : R.ReadSet()) {
          if (!IsIdentText(S, false)) Damaged("set element", S, At);
          if (!First) Out += ", ";
          Out += S;
          First = false;
        }
        Out += "]";
        break;
      }
      case vaBinary: {
        const std::vector<std::uint8_t> Data = R.ReadBinary();
        Out += "{";
        static constexpr char Hex[] = "0123456789ABCDEF";
        for (std::size_t I = 0; I < Data.size(); ++I) {
          if (I % 32 == 0) {
            Out += "\n";
            Spaces(Indent + 2);
          }
          Out += Hex[Data[I] >> 4];
          Out += Hex[Data[I] & 15];
        }
        Out += "}";
        break;
      }
      case vaCollection:
        Enter("Collections");
        R.ReadValue();
        Out += "<";
        while (!R.EndOfList()) {
          Out += "\n";
          Spaces(Indent + 2);
          Out += "item";
          const TValueType V = R.NextValue();
          if (V == vaInt8 || V == vaInt16 || V == vaInt32) Out += " [" + std::to_string(R.ReadInteger()) + "]";
          Out += "\n";
          R.ReadListBegin();
          while (!R.EndOfList()) ConvertProperty(Indent + 4);
          R.ReadListEnd();
          Spaces(Indent + 2);
          Out += "end";
        }
        R.ReadListEnd();
        Out += ">";
        --Depth;
        break;
      case vaNull:
        R.ReadValue();
        throw EReadError("Invalid property value at offset " + std::to_string(At) + ": unexpected vaNull");
    }
  }

  // Quoted text with control characters as #nnn codes; strings longer than
  // 64 bytes continue on further lines joined with "+". Lines break only
  // between UTF-8 characters.
  void ConvertString(const std::string& S, int Indent) {
    if (S.empty()) {
      Out += "''";
      return;
    }
    std::size_t Start = 0;
    while (Start < S.size()) {
      std::size_t End = std::min(S.size(), Start + 64);
      while (End < S.size() && (static_cast<unsigned char>(S[End]) & 0xC0) == 0x80) ++End;
      if (Start > 0) {
        Out += " +\n";
        Spaces(Indent + 2);
      }
      bool Open = false;
      for (std::size_t I = Start; I < End; ++I) {
        const unsigned char C = static_cast<unsigned char>(S[I]);
        if (C < ' ' || C == 127) {
          if (Open) Out += '\'';
          Open = false;
          Out += "#" + std::to_string(C);
        } else {
          if (!Open) Out += '\'';
          Open = true;
          if (C == '\'') Out += '\'';
          Out += char(C);
        }
      }
      if (Open) Out += '\'';
      Start = End;
    }
  }

  TReader& R;
  std::string& Out;
  int Depth = 0;
};

// --------------------------------------------------------------- the lexer

enum TTokenKind { tkEOF, tkSymbol, tkIdent, tkString, tkInteger, tkFloat };

class TLexer {
 public:
  TLexer(std::string_view ASource, int FirstLine) : Line(FirstLine), Src(ASource) {
    if (Src.substr(0, 3) == "\xEF\xBB\xBF") Pos = 3;
  }

  TTokenKind Kind = tkEOF;
  std::string Text;  // identifier, number text or string bytes
  char Symbol = 0;
  char Suffix = 0;  // 's', 'c' or 'd' after a float, else 0
  int Line = 1;
  std::size_t Pos = 0;  // just after the current token

  /// An error at the current token (or, inside the lexer, at the text being scanned).
  [[noreturn]] void Error(const std::string& Msg) const { ErrorAt(Line, Msg); }
  [[noreturn]] static void ErrorAt(int ALine, const std::string& Msg) {
    throw EParserError(Msg + " on line " + std::to_string(ALine));
  }

  std::string Describe() const {
    switch (Kind) {
      case tkEOF:
        return "end of text";
      case tkSymbol:
        return "'" + std::string(1, Symbol) + "'";
      case tkIdent:
        return "'" + Text + "'";
      case tkString:
        return "string";
      case tkInteger:
      case tkFloat:
        return "number " + Text;
    }
    return "";
  }

  /// Whether the token after the current one is the symbol C (looked at without scanning it).
  bool NextSymbolIs(char C) const {
    std::size_t P = Pos;
    while (P < Src.size() && static_cast<unsigned char>(Src[P]) <= ' ') ++P;
    return P < Src.size() && Src[P] == C;
  }

  void SkipBlanks() {
    while (Pos < Src.size() && static_cast<unsigned char>(Src[Pos]) <= ' ') {
      if (Src[Pos] == '\n') ++Line;
      ++Pos;
    }
  }

  void Next() {
    SkipBlanks();
    Text.clear();
    Suffix = 0;
    if (Pos >= Src.size()) {
      Kind = tkEOF;
      return;
    }
    const unsigned char C = static_cast<unsigned char>(Src[Pos]);
    if (IsIdentStart(C)) {
      const std::size_t Start = Pos;
      while (Pos < Src.size() && IsIdentChar(static_cast<unsigned char>(Src[Pos]))) ++Pos;
      Text.assign(Src.substr(Start, Pos - Start));
      Kind = tkIdent;
    } else if (C == '\'' || C == '#') {
      ScanString();
    } else if (IsDigit(C) || C == '$' ||
               ((C == '-' || C == '+') && Pos + 1 < Src.size() && (IsDigit(Src[Pos + 1]) || Src[Pos + 1] == '$'))) {
      ScanNumber();
    } else {
      Kind = tkSymbol;
      Symbol = char(C);
      ++Pos;
    }
  }

  /// After a '{' token: the hexadecimal digits up to the closing '}'.
  std::string ScanHex() {
    std::string Bytes;
    int Half = -1;
    for (;;) {
      SkipBlanks();
      if (Pos >= Src.size()) Error("'}' expected but end of text found");
      const char C = Src[Pos++];
      if (C == '}') break;
      const int V = HexValue(C);
      if (V < 0) Error("Invalid binary data: '" + std::string(1, C) + "' is no hexadecimal digit");
      if (Half < 0) {
        Half = V;
      } else {
        Bytes += char(Half * 16 + V);
        Half = -1;
      }
    }
    if (Half >= 0) Error("Invalid binary data: odd number of hexadecimal digits");
    return Bytes;
  }

 private:
  static bool IsDigit(char C) { return C >= '0' && C <= '9'; }
  static int HexValue(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    return -1;
  }

  void ScanString() {
    Kind = tkString;
    for (;;) {
      if (Pos < Src.size() && Src[Pos] == '\'') {
        ++Pos;
        for (;;) {
          if (Pos >= Src.size() || Src[Pos] == '\n' || Src[Pos] == '\r') Error("Unterminated string");
          if (Src[Pos] == '\'') {
            if (Pos + 1 < Src.size() && Src[Pos + 1] == '\'') {
              Text += '\'';
              Pos += 2;
              continue;
            }
            ++Pos;
            break;
          }
          Text += Src[Pos++];
        }
      } else if (Pos < Src.size() && Src[Pos] == '#') {
        ++Pos;
        std::uint32_t Code = 0;
        std::size_t Digits = 0;
        const bool Hex = Pos < Src.size() && Src[Pos] == '$';
        if (Hex) ++Pos;
        while (Pos < Src.size() && (Hex ? HexValue(Src[Pos]) >= 0 : IsDigit(Src[Pos]))) {
          Code = Code * (Hex ? 16 : 10) + std::uint32_t(HexValue(Src[Pos]));
          if (Code > 0x10FFFF) Error("Invalid character code");
          ++Pos;
          ++Digits;
        }
        if (Digits == 0) Error("Character code expected after '#'");
        if (Code >= 0xD800 && Code <= 0xDFFF) Error("Invalid character code #" + std::to_string(Code));
        AppendCode(Code);
      } else {
        break;
      }
    }
  }

  // Codes below 128 are single bytes; higher codes are Unicode characters, stored as UTF-8.
  void AppendCode(std::uint32_t Cp) {
    if (Cp < 0x80) {
      Text += char(Cp);
    } else if (Cp < 0x800) {
      Text += char(0xC0 | (Cp >> 6));
      Text += char(0x80 | (Cp & 0x3F));
    } else if (Cp < 0x10000) {
      Text += char(0xE0 | (Cp >> 12));
      Text += char(0x80 | ((Cp >> 6) & 0x3F));
      Text += char(0x80 | (Cp & 0x3F));
    } else {
      Text += char(0xF0 | (Cp >> 18));
      Text += char(0x80 | ((Cp >> 12) & 0x3F));
      Text += char(0x80 | ((Cp >> 6) & 0x3F));
      Text += char(0x80 | (Cp & 0x3F));
    }
  }

  void ScanNumber() {
    const std::size_t Start = Pos;
    if (Src[Pos] == '-' || Src[Pos] == '+') ++Pos;
    Kind = tkInteger;
    if (Pos < Src.size() && Src[Pos] == '$') {
      ++Pos;
      while (Pos < Src.size() && HexValue(Src[Pos]) >= 0) ++Pos;
    } else {
      while (Pos < Src.size() && IsDigit(Src[Pos])) ++Pos;
      if (Pos < Src.size() && Src[Pos] == '.') {
        Kind = tkFloat;
        ++Pos;
        while (Pos < Src.size() && IsDigit(Src[Pos])) ++Pos;
      }
      if (Pos < Src.size() && (Src[Pos] == 'e' || Src[Pos] == 'E')) {
        Kind = tkFloat;
        ++Pos;
        if (Pos < Src.size() && (Src[Pos] == '-' || Src[Pos] == '+')) ++Pos;
        if (Pos >= Src.size() || !IsDigit(Src[Pos])) Error("Invalid number: exponent digits expected");
        while (Pos < Src.size() && IsDigit(Src[Pos])) ++Pos;
      }
    }
    Text.assign(Src.substr(Start, Pos - Start));
    if (Pos < Src.size()) {
      const char S = char(Src[Pos] | 0x20);
      if ((S == 's' || S == 'c' || S == 'd') &&
          (Pos + 1 >= Src.size() || !IsIdentChar(static_cast<unsigned char>(Src[Pos + 1])))) {
        Kind = tkFloat;
        Suffix = S;
        ++Pos;
      }
    }
    if (Pos < Src.size() && IsIdentChar(static_cast<unsigned char>(Src[Pos])))
      Error("Invalid number '" + std::string(Src.substr(Start, Pos - Start + 1)) + "'");
  }

  std::string_view Src;
};

// ---------------------------------------------------------- text to binary

class TTextToBinary {
 public:
  TTextToBinary(TLexer& ALexer, TWriter& AWriter) : L(ALexer), W(AWriter) {}

  /// Parses one object; returns the text offset just after its final "end",
  /// which stays the current token (the text after it is not looked at).
  std::size_t ParseObject() {
    Enter();
    TFilerFlags Flags;
    if (IsWord("inherited"))
      Flags.Include(ffInherited);
    else if (IsWord("inline"))
      Flags.Include(ffInline);
    else if (!IsWord("object"))
      L.Error("'object' expected but " + L.Describe() + " found");
    L.Next();
    const int NameLine = L.Line;
    std::string Name = ExpectIdent("Identifier");
    std::string ClassName;
    int ClassLine = NameLine;
    if (IsSymbol(':')) {
      L.Next();
      ClassLine = L.Line;
      ClassName = ExpectIdent("Class name");
      if (!IsIdentText(Name, false)) L.ErrorAt(NameLine, "Invalid component name '" + Name + "'");
    } else {
      ClassName = std::move(Name);
      Name.clear();
    }
    if (!IsIdentText(ClassName, true)) L.ErrorAt(ClassLine, "Invalid class name '" + ClassName + "'");
    if (ClassName.size() > MaxClassNameLength)
      L.ErrorAt(ClassLine, "Class name '" + ClassName.substr(0, 32) + "...' longer than " +
                               std::to_string(MaxClassNameLength) + " bytes");
    CheckNameLength(Name, NameLine);
    int ChildPos = 0;
    if (IsSymbol('[')) {
      L.Next();
      ChildPos = int(ParseInteger(INT32_MIN, INT32_MAX));
      Expect(']');
      Flags.Include(ffChildPos);
    }
    W.WritePrefix(Flags, ChildPos);
    W.WriteStr(ClassName);
    W.WriteStr(Name);
    while (L.Kind == tkIdent && !IsObjectStart() && !IsEnd()) ParseProperty();
    W.WriteListEnd();
    while (IsObjectStart()) {
      ParseObject();
      L.Next();
    }
    W.WriteListEnd();
    if (!IsEnd()) L.Error("'end' expected but " + L.Describe() + " found");
    --Depth;
    return L.Pos;
  }

 private:
  void Enter() {
    if (++Depth > TReader::MaxNesting) L.Error("Nested too deeply");
  }

  bool IsWord(const char* Word) const { return L.Kind == tkIdent && SameText(L.Text, Word); }
  bool IsSymbol(char C) const { return L.Kind == tkSymbol && L.Symbol == C; }

  // A keyword counts as a keyword unless it names a property ("End = 3").
  bool FollowedByEquals() const { return L.NextSymbolIs('='); }
  bool IsObjectStart() const {
    return (IsWord("object") || IsWord("inherited") || IsWord("inline")) && !FollowedByEquals();
  }
  bool IsEnd() const { return IsWord("end") && !FollowedByEquals(); }

  void Expect(char C) {
    if (!IsSymbol(C)) L.Error("'" + std::string(1, C) + "' expected but " + L.Describe() + " found");
    L.Next();
  }

  std::string ExpectIdent(const char* What) {
    if (L.Kind != tkIdent) L.Error(std::string(What) + " expected but " + L.Describe() + " found");
    std::string S = L.Text;
    L.Next();
    return S;
  }

  void CheckNameLength(const std::string& S, int Line) {
    if (S.size() > 255) L.ErrorAt(Line, "Name '" + S.substr(0, 32) + "...' longer than 255 bytes");
  }

  /// Writes the current token's text as a short string.
  void WriteName() {
    CheckNameLength(L.Text, L.Line);
    W.WriteStr(L.Text);
  }

  std::int64_t ParseInteger(std::int64_t Min, std::int64_t Max) {
    if (L.Kind != tkInteger) L.Error("Integer expected but " + L.Describe() + " found");
    const std::int64_t V = IntegerValue();
    if (V < Min || V > Max) L.Error("Integer " + L.Text + " out of range");
    L.Next();
    return V;
  }

  std::int64_t IntegerValue() const {
    std::int64_t V = 0;
    if (!TryStrToInt64(L.Text, V)) L.Error("Integer " + L.Text + " out of range");
    return V;
  }

  void ParseProperty() {
    if (L.Kind != tkIdent || !IsIdentText(L.Text, true))
      L.Error("Property name expected but " + L.Describe() + " found");
    WriteName();
    L.Next();
    Expect('=');
    if (IsWord("Null")) {
      W.WriteValue(vaNull);
      L.Next();
      return;
    }
    ParseValue();
  }

  void ParseFloat() {
    const std::string& T = L.Text;
    const char* First = T.data() + (T[0] == '+' ? 1 : 0);
    const char* Last = T.data() + T.size();
    if (L.Suffix == 's') {
      float F = 0;
      const auto Res = std::from_chars(First, Last, F);
      if (Res.ec != std::errc() || Res.ptr != Last) L.Error("Invalid number " + T);
      W.WriteSingle(F);
      return;
    }
    if (L.Suffix == 'c') {
      W.WriteCurrency(CurrencyValue(std::string_view(First, std::size_t(Last - First))));
      return;
    }
    double D = 0;
    const auto Res = std::from_chars(First, Last, D);
    if (Res.ec != std::errc() || Res.ptr != Last) L.Error("Invalid number " + T);
    if (L.Suffix == 'd')
      W.WriteDate(D);
    else
      W.WriteFloat(D);
  }

  // Currency text is decimal with at most four decimals, converted exactly.
  std::int64_t CurrencyValue(std::string_view T) const {
    const bool Negative = !T.empty() && T[0] == '-';
    if (Negative) T.remove_prefix(1);
    const std::size_t Dot = T.find('.');
    std::string_view Int = T.substr(0, Dot);
    std::string Frac(Dot == std::string_view::npos ? std::string_view() : T.substr(Dot + 1));
    if (Frac.size() > 4 || T.find_first_of("eE$") != std::string_view::npos)
      L.Error("Invalid currency value " + L.Text);
    Frac.append(4 - Frac.size(), '0');
    std::uint64_t IntPart = 0;
    if (!Int.empty() && std::from_chars(Int.data(), Int.data() + Int.size(), IntPart).ec != std::errc())
      L.Error("Currency value " + L.Text + " out of range");
    // The magnitude may reach 2^63 only for a negative value.
    const std::uint64_t MaxMagnitude = std::uint64_t(INT64_MAX) + (Negative ? 1 : 0);
    if (IntPart > MaxMagnitude / 10000) L.Error("Currency value " + L.Text + " out of range");
    const std::uint64_t Magnitude = IntPart * 10000 + std::uint64_t(std::stoi(Frac));
    if (Magnitude > MaxMagnitude) L.Error("Currency value " + L.Text + " out of range");
    return Negative ? std::int64_t(0 - Magnitude) : std::int64_t(Magnitude);
  }

  // INF and NAN, optionally with the suffix of a single or a date, stand for
  // the values that have no digits.
  bool WriteNonFinite(std::string_view Word, bool Negative) {
    char Suffix = 0;
    if (Word.size() == 4 && (Word[3] == 's' || Word[3] == 'd')) {
      Suffix = Word[3];
      Word.remove_suffix(1);
    }
    if (Word != "INF" && (Word != "NAN" || Negative)) return false;
    const double V = Word == "NAN" ? std::nan("") : Negative ? -HUGE_VAL : HUGE_VAL;
    if (Suffix == 's')
      W.WriteSingle(float(V));
    else if (Suffix == 'd')
      W.WriteDate(V);
    else
      W.WriteFloat(V);
    return true;
  }

  void ParseValue() {
    switch (L.Kind) {
      case tkInteger:
        W.WriteInteger(IntegerValue());
        L.Next();
        return;
      case tkFloat:
        ParseFloat();
        L.Next();
        return;
      case tkString: {
        std::string S = L.Text;
        L.Next();
        while (IsSymbol('+')) {
          L.Next();
          if (L.Kind != tkString) L.Error("String expected but " + L.Describe() + " found");
          S += L.Text;
          L.Next();
        }
        W.WriteString(S);
        return;
      }
      case tkIdent:
        if (SameText(L.Text, "True") || SameText(L.Text, "False") || SameText(L.Text, "nil")) {
          W.WriteIdent(L.Text);
        } else if (!WriteNonFinite(L.Text, false)) {
          if (!IsIdentText(L.Text, true)) L.Error("Invalid identifier '" + L.Text + "'");
          W.WriteValue(vaIdent);
          WriteName();
        }
        L.Next();
        return;
      case tkSymbol:
        break;
      case tkEOF:
        L.Error("Property value expected but end of text found");
    }
    switch (L.Symbol) {
      case '-':
        L.Next();
        if (L.Kind != tkIdent || !WriteNonFinite(L.Text, true))
          L.Error("Number expected but " + L.Describe() + " found");
        L.Next();
        return;
      case '[': {
        L.Next();
        W.WriteValue(vaSet);
        if (!IsSymbol(']')) {
          for (;;) {
            if (L.Kind != tkIdent) L.Error("Set element expected but " + L.Describe() + " found");
            if (!IsIdentText(L.Text, false)) L.Error("Invalid set element '" + L.Text + "'");
            WriteName();
            L.Next();
            if (!IsSymbol(',')) break;
            L.Next();
          }
        }
        Expect(']');
        W.WriteStr("");
        return;
      }
      case '(':
        Enter();
        L.Next();
        W.WriteListBegin();
        while (!IsSymbol(')')) {
          if (L.Kind == tkEOF) L.Error("')' expected but end of text found");
          ParseValue();
        }
        W.WriteListEnd();
        L.Next();
        --Depth;
        return;
      case '{': {
        const std::string Bytes = L.ScanHex();
        W.WriteBinary(Bytes.data(), std::int64_t(Bytes.size()));
        L.Next();
        return;
      }
      case '<':
        Enter();
        L.Next();
        W.WriteValue(vaCollection);
        while (IsWord("item")) {
          L.Next();
          if (IsSymbol('[')) {
            L.Next();
            W.WriteInteger(ParseInteger(INT32_MIN, INT32_MAX));
            Expect(']');
          }
          W.WriteListBegin();
          while (!IsEnd()) ParseProperty();
          W.WriteListEnd();
          L.Next();
        }
        Expect('>');
        W.WriteListEnd();
        --Depth;
        return;
    }
    L.Error("Property value expected but " + L.Describe() + " found");
  }

  TLexer& L;
  TWriter& W;
  int Depth = 0;
};

}  // namespace

void ObjectBinaryToText(TStream* Input, TStream* Output) {
  std::string Text;
  {
    TReader Reader(Input);
    Reader.ReadSignature();
    TBinaryToText(Reader, Text).ConvertObject(0);
  }
  Output->WriteBuffer(Text.data(), std::int64_t(Text.size()));
}

namespace {

// Converts the object at the start of Source (whose first line has the number
// FirstLine) into Image; returns the offset after the object and its trailing blanks.
std::size_t ConvertTextObject(std::string_view Source, int FirstLine, TMemoryStream& Image) {
  TLexer Lexer(Source, FirstLine);
  Lexer.Next();
  if (Lexer.Kind == tkEOF) Lexer.Error("'object' expected but end of text found");
  TWriter Writer(&Image);
  Writer.WriteSignature();
  std::size_t After = TTextToBinary(Lexer, Writer).ParseObject();
  while (After < Source.size() && static_cast<unsigned char>(Source[After]) <= ' ') ++After;
  return After;
}

// The number of the line at offset Pos of the stream.
int LineAt(TStream* Input, std::int64_t Pos) {
  int Line = 1;
  auto Count = [&](const std::uint8_t* P, std::int64_t N) {
    for (std::int64_t I = 0; I < N; ++I) Line += P[I] == '\n';
  };
  if (auto* Memory = dynamic_cast<TCustomMemoryStream*>(Input)) {
    Count(Memory->Memory(), std::min(Pos, Memory->Size()));
    return Line;
  }
  Input->SetPosition(0);
  std::uint8_t Chunk[4096];
  while (Pos > 0) {
    const std::int64_t N = Input->Read(Chunk, std::min<std::int64_t>(Pos, sizeof Chunk));
    if (N <= 0) break;
    Count(Chunk, N);
    Pos -= N;
  }
  return Line;
}

}  // namespace

void ObjectTextToBinary(TStream* Input, TStream* Output) {
  const std::int64_t Start = Input->Position();
  const std::int64_t Size = std::max<std::int64_t>(0, Input->Size() - Start);
  // A memory stream is parsed in place, so converting many objects one call
  // at a time does not copy the rest of the text each time.
  std::string Copy;
  std::string_view Source;
  if (auto* Memory = dynamic_cast<TCustomMemoryStream*>(Input)) {
    if (Size > 0) Source = std::string_view(reinterpret_cast<const char*>(Memory->Memory()) + Start, std::size_t(Size));
  } else {
    Copy.resize(std::size_t(Size));
    Copy.resize(std::size_t(std::max<std::int64_t>(0, Input->Read(Copy.data(), Size))));
    Source = Copy;
  }
  TMemoryStream Image;
  std::size_t After;
  try {
    After = ConvertTextObject(Source, 1, Image);
  } catch (const EParserError&) {
    // Nothing of the text counts as consumed. Line numbers count from the
    // start of the stream, which only an error needs to know about.
    const int FirstLine = Start > 0 ? LineAt(Input, Start) : 1;
    Input->SetPosition(Start);
    if (FirstLine == 1) throw;
    Image.Clear();
    ConvertTextObject(Source, FirstLine, Image);
    throw;
  } catch (...) {
    Input->SetPosition(Start);
    throw;
  }
  Output->WriteBuffer(Image.Memory(), Image.Size());
  Input->SetPosition(Start + std::int64_t(After));
}

}  // namespace platform
