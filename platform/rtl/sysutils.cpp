#include "platform/rtl/sysutils.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace platform {

namespace {

char AsciiUpper(char C) { return (C >= 'a' && C <= 'z') ? char(C - 'a' + 'A') : C; }
char AsciiLower(char C) { return (C >= 'A' && C <= 'Z') ? char(C - 'A' + 'a') : C; }
bool IsBlank(char C) { return static_cast<unsigned char>(C) <= ' '; }
bool IsAlpha(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C == '_'; }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }

}  // namespace

// --------------------------------------------------------- case and compare

std::string UpperCase(std::string_view S) {
  std::string R(S);
  for (char& C : R) C = AsciiUpper(C);
  return R;
}

std::string LowerCase(std::string_view S) {
  std::string R(S);
  for (char& C : R) C = AsciiLower(C);
  return R;
}

int CompareText(std::string_view A, std::string_view B) {
  const size_t N = std::min(A.size(), B.size());
  for (size_t I = 0; I < N; ++I) {
    const auto CA = static_cast<unsigned char>(AsciiUpper(A[I]));
    const auto CB = static_cast<unsigned char>(AsciiUpper(B[I]));
    if (CA != CB) return CA < CB ? -1 : 1;
  }
  return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

bool SameText(std::string_view A, std::string_view B) { return A.size() == B.size() && CompareText(A, B) == 0; }

int CompareStr(std::string_view A, std::string_view B) {
  const int R = A.compare(B);
  return R < 0 ? -1 : (R > 0 ? 1 : 0);
}

bool SameStr(std::string_view A, std::string_view B) { return A == B; }

bool IsValidIdent(std::string_view Ident, bool AllowDots) {
  if (Ident.empty() || !IsAlpha(Ident[0])) return false;
  for (size_t I = 1; I < Ident.size(); ++I) {
    const char C = Ident[I];
    if (IsAlpha(C) || IsDigit(C)) continue;
    if (AllowDots && C == '.' && I + 1 < Ident.size() && IsAlpha(Ident[I + 1])) continue;
    return false;
  }
  return true;
}

// ------------------------------------------------- trimming and 1-based edits

std::string Trim(std::string_view S) { return TrimRight(TrimLeft(S)); }

std::string TrimLeft(std::string_view S) {
  size_t I = 0;
  while (I < S.size() && IsBlank(S[I])) ++I;
  return std::string(S.substr(I));
}

std::string TrimRight(std::string_view S) {
  size_t N = S.size();
  while (N > 0 && IsBlank(S[N - 1])) --N;
  return std::string(S.substr(0, N));
}

int Pos(std::string_view Sub, std::string_view S, int Offset) {
  if (Sub.empty() || Offset < 1 || size_t(Offset) > S.size()) return 0;
  const size_t P = S.find(Sub, size_t(Offset - 1));
  return P == std::string_view::npos ? 0 : int(P) + 1;
}

std::string Copy(std::string_view S, int Index, int Count) {
  if (Index < 1) Index = 1;
  if (Count <= 0 || size_t(Index) > S.size()) return {};
  return std::string(S.substr(size_t(Index - 1), size_t(Count)));
}

void Delete(std::string& S, int Index, int Count) {
  if (Index < 1 || Count <= 0 || size_t(Index) > S.size()) return;
  S.erase(size_t(Index - 1), size_t(Count));
}

void Insert(std::string_view Sub, std::string& S, int Index) {
  if (Index < 1) Index = 1;
  if (size_t(Index) > S.size() + 1) Index = int(S.size()) + 1;
  S.insert(size_t(Index - 1), Sub);
}

std::string StringReplace(std::string_view S, std::string_view OldPattern, std::string_view NewPattern, bool ReplaceAll,
                          bool IgnoreCase) {
  if (OldPattern.empty()) return std::string(S);
  const std::string Hay = IgnoreCase ? UpperCase(S) : std::string(S);
  const std::string Needle = IgnoreCase ? UpperCase(OldPattern) : std::string(OldPattern);
  std::string R;
  size_t From = 0;
  while (true) {
    const size_t P = Hay.find(Needle, From);
    if (P == std::string::npos) break;
    R.append(S.substr(From, P - From));
    R.append(NewPattern);
    From = P + Needle.size();
    if (!ReplaceAll) break;
  }
  R.append(S.substr(From));
  return R;
}

std::string QuotedStr(std::string_view S, char Quote) {
  std::string R(1, Quote);
  for (char C : S) {
    R += C;
    if (C == Quote) R += C;
  }
  R += Quote;
  return R;
}

std::string DequotedStr(std::string_view S, char Quote) {
  if (S.empty() || S[0] != Quote) return std::string(S);
  std::string R;
  size_t I = 1;
  while (I < S.size()) {
    if (S[I] == Quote) {
      if (I + 1 < S.size() && S[I + 1] == Quote) {
        R += Quote;
        I += 2;
        continue;
      }
      break;  // closing quote
    }
    R += S[I++];
  }
  return R;
}

// ------------------------------------------------------ integer conversions

std::string IntToStr(std::int64_t Value) { return std::to_string(Value); }

std::string IntToHex(std::uint64_t Value, int Digits) {
  char Buf[32];
  auto [End, Ec] = std::to_chars(Buf, Buf + sizeof Buf, Value, 16);
  (void)Ec;
  std::string R = UpperCase(std::string_view(Buf, size_t(End - Buf)));
  if (Digits > 0 && R.size() < size_t(Digits)) R = std::string(size_t(Digits) - R.size(), '0') + R;
  return R;
}

namespace {

// Shared parser of StrToInt and StrToInt64: leading blanks, sign, decimal or
// "$"/"0x" hexadecimal digits, nothing after the number.
bool ParseInteger(std::string_view S, std::int64_t Min, std::int64_t Max, std::int64_t& Out) {
  size_t I = 0;
  while (I < S.size() && S[I] == ' ') ++I;
  bool Negative = false;
  if (I < S.size() && (S[I] == '+' || S[I] == '-')) Negative = S[I++] == '-';
  int Base = 10;
  if (I < S.size() && S[I] == '$') {
    Base = 16;
    ++I;
  } else if (I + 1 < S.size() && S[I] == '0' && (S[I + 1] == 'x' || S[I + 1] == 'X')) {
    Base = 16;
    I += 2;
  }
  if (I >= S.size()) return false;
  std::uint64_t Magnitude = 0;
  const std::uint64_t Limit = Negative ? std::uint64_t(-(Min + 1)) + 1 : std::uint64_t(Max);
  for (; I < S.size(); ++I) {
    const char C = S[I];
    int D;
    if (IsDigit(C))
      D = C - '0';
    else if (Base == 16 && C >= 'a' && C <= 'f')
      D = C - 'a' + 10;
    else if (Base == 16 && C >= 'A' && C <= 'F')
      D = C - 'A' + 10;
    else
      return false;
    if (Magnitude > (std::numeric_limits<std::uint64_t>::max() - std::uint64_t(D)) / std::uint64_t(Base)) return false;
    Magnitude = Magnitude * std::uint64_t(Base) + std::uint64_t(D);
    // Hexadecimal literals may use the full unsigned width ("$FFFFFFFF" is -1 as a 32-bit value).
    const std::uint64_t HexLimit = Max == std::numeric_limits<std::int32_t>::max() ? 0xFFFFFFFFull : ~0ull;
    if (Magnitude > (Base == 16 && !Negative ? HexLimit : Limit)) return false;
  }
  if (Base == 16 && !Negative && Magnitude > std::uint64_t(Max)) {
    // Wrap into the signed range, as the platform does for hexadecimal text.
    Out = Max == std::numeric_limits<std::int32_t>::max() ? std::int64_t(std::int32_t(std::uint32_t(Magnitude)))
                                                          : std::int64_t(Magnitude);
    return true;
  }
  Out = Negative ? std::int64_t(0 - Magnitude) : std::int64_t(Magnitude);
  return true;
}

[[noreturn]] void RaiseNotInteger(std::string_view S) {
  throw EConvertError("'" + std::string(S) + "' is not a valid integer value");
}

}  // namespace

bool TryStrToInt(std::string_view S, int& Value) {
  std::int64_t V;
  if (!ParseInteger(S, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), V))
    return false;
  Value = int(V);
  return true;
}

int StrToInt(std::string_view S) {
  int V;
  if (!TryStrToInt(S, V)) RaiseNotInteger(S);
  return V;
}

int StrToIntDef(std::string_view S, int Default) {
  int V;
  return TryStrToInt(S, V) ? V : Default;
}

bool TryStrToInt64(std::string_view S, std::int64_t& Value) {
  return ParseInteger(S, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max(), Value);
}

std::int64_t StrToInt64(std::string_view S) {
  std::int64_t V;
  if (!TryStrToInt64(S, V)) RaiseNotInteger(S);
  return V;
}

std::int64_t StrToInt64Def(std::string_view S, std::int64_t Default) {
  std::int64_t V;
  return TryStrToInt64(S, V) ? V : Default;
}

// -------------------------------------------------------- float conversions

std::string FloatToStr(double Value) {
  if (std::isnan(Value)) return "NAN";
  if (std::isinf(Value)) return Value > 0 ? "INF" : "-INF";
  if (Value == 0) return "0";
  // Round to 15 significant digits, then lay the digits out.
  char Buf[64];
  std::snprintf(Buf, sizeof Buf, "%.14e", Value);
  std::string Text(Buf);
  const size_t EPos = Text.find('e');
  int Exp = std::stoi(Text.substr(EPos + 1));
  std::string Mantissa = Text.substr(0, EPos);
  const bool Negative = Mantissa[0] == '-';
  if (Negative) Mantissa.erase(0, 1);
  std::string Digits;
  for (char C : Mantissa)
    if (IsDigit(C)) Digits += C;
  while (Digits.size() > 1 && Digits.back() == '0') Digits.pop_back();
  std::string R;
  if (Exp >= -5 && Exp < 15) {
    if (Exp < 0) {
      R = "0";
      R += DecimalSeparator;
      R.append(size_t(-Exp - 1), '0');
      R += Digits;
    } else {
      if (Digits.size() <= size_t(Exp) + 1) {
        R = Digits + std::string(size_t(Exp) + 1 - Digits.size(), '0');
      } else {
        R = Digits.substr(0, size_t(Exp) + 1) + DecimalSeparator + Digits.substr(size_t(Exp) + 1);
      }
    }
  } else {
    R = Digits.substr(0, 1);
    if (Digits.size() > 1) R += DecimalSeparator + Digits.substr(1);
    R += "E";
    R += Exp < 0 ? "-" : "+";
    R += std::to_string(std::abs(Exp));
  }
  return Negative ? "-" + R : R;
}

std::string FormatFloat(std::string_view Fmt, double Value) {
  if (Fmt.empty()) return FloatToStr(Value);
  // Picture format: count decimals after '.', detect thousands separators and
  // a scientific part. Required digits are '0', optional ones '#'.
  const size_t EPos = Fmt.find_first_of("eE");
  std::string_view Body = Fmt.substr(0, EPos);
  const size_t Dot = Body.find('.');
  std::string_view IntPart = Body.substr(0, Dot);
  std::string_view FracPart = Dot == std::string_view::npos ? std::string_view() : Body.substr(Dot + 1);
  int MinInt = 0;
  for (char C : IntPart) MinInt += C == '0';
  int MinFrac = 0, MaxFrac = 0;
  for (char C : FracPart) {
    if (C == '0')
      ++MinFrac, ++MaxFrac;
    else if (C == '#')
      ++MaxFrac;
  }
  const bool Thousands = IntPart.find(',') != std::string_view::npos;
  int Exp = 0;
  if (EPos != std::string_view::npos && Value != 0) {
    Exp = int(std::floor(std::log10(std::fabs(Value))));
    Value /= std::pow(10.0, Exp);
  }
  char Buf[512];
  std::snprintf(Buf, sizeof Buf, "%.*f", MaxFrac, std::fabs(Value));
  std::string Text(Buf);
  const size_t P = Text.find('.');
  std::string Int = Text.substr(0, P);
  std::string Frac = P == std::string::npos ? std::string() : Text.substr(P + 1);
  while (Frac.size() > size_t(MinFrac) && !Frac.empty() && Frac.back() == '0') Frac.pop_back();
  if (Int == "0" && MinInt == 0) Int.clear();
  if (Int.size() < size_t(MinInt)) Int = std::string(size_t(MinInt) - Int.size(), '0') + Int;
  std::string R;
  for (size_t I = 0; I < Int.size(); ++I) {
    // Thousands separators between groups of three digits from the right.
    if (Thousands && I > 0 && (Int.size() - I) % 3 == 0) R += ',';
    R += Int[I];
  }
  if (!Frac.empty()) R += DecimalSeparator + Frac;
  if (R.empty()) R = "0";
  const bool AllZero = R.find_first_not_of("0.,") == std::string::npos;
  if (Value < 0 && !AllZero) R = "-" + R;
  if (EPos != std::string_view::npos) {
    std::string_view ExpFmt = Fmt.substr(EPos + 1);
    const bool ForceSign = !ExpFmt.empty() && ExpFmt[0] == '+';
    int Digits = 0;
    for (char C : ExpFmt) Digits += C == '0';
    std::string E = std::to_string(std::abs(Exp));
    if (E.size() < size_t(Digits)) E = std::string(size_t(Digits) - E.size(), '0') + E;
    R += Fmt[EPos];
    if (Exp < 0)
      R += '-';
    else if (ForceSign)
      R += '+';
    R += E;
  }
  return R;
}

bool TryStrToFloat(std::string_view S, double& Value) {
  const std::string T = Trim(S);
  if (T.empty()) return false;
  const char* Begin = T.data();
  const char* End = T.data() + T.size();
  if (*Begin == '+') ++Begin;
  if (Begin == End) return false;
  auto [Ptr, Ec] = std::from_chars(Begin, End, Value, std::chars_format::general);
  return Ec == std::errc() && Ptr == End;
}

double StrToFloat(std::string_view S) {
  double V;
  if (!TryStrToFloat(S, V)) throw EConvertError("'" + std::string(S) + "' is not a valid floating point value");
  return V;
}

// ------------------------------------------------------ Boolean conversions

bool TryStrToBool(std::string_view S, bool& Value) {
  const std::string T = Trim(S);
  if (SameText(T, "True")) return Value = true, true;
  if (SameText(T, "False")) return Value = false, true;
  double D;
  if (TryStrToFloat(T, D)) return Value = D != 0, true;
  return false;
}

bool StrToBool(std::string_view S) {
  bool B;
  if (!TryStrToBool(S, B)) throw EConvertError("'" + std::string(S) + "' is not a valid boolean value");
  return B;
}

std::string BoolToStr(bool B, bool UseBoolStrs) {
  if (UseBoolStrs) return B ? "True" : "False";
  return B ? "-1" : "0";
}

// ------------------------------------------------------------------- Format

std::string Format(std::string_view Fmt, std::initializer_list<TVarRec> Args) {
  std::string R;
  auto Arg = Args.begin();
  auto NextArg = [&]() -> const TVarRec& {
    if (Arg == Args.end())
      throw EConvertError("Format '" + std::string(Fmt) + "' invalid or incompatible with argument");
    return *Arg++;
  };
  auto Bad = [&]() { throw EConvertError("Format '" + std::string(Fmt) + "' invalid or incompatible with argument"); };
  for (size_t I = 0; I < Fmt.size(); ++I) {
    if (Fmt[I] != '%') {
      R += Fmt[I];
      continue;
    }
    if (++I >= Fmt.size()) Bad();
    if (Fmt[I] == '%') {
      R += '%';
      continue;
    }
    bool Left = false;
    if (Fmt[I] == '-') Left = true, ++I;
    int Width = -1, Prec = -1;
    while (I < Fmt.size() && IsDigit(Fmt[I])) Width = (Width < 0 ? 0 : Width * 10) + (Fmt[I++] - '0');
    if (I < Fmt.size() && Fmt[I] == '.') {
      ++I;
      Prec = 0;
      while (I < Fmt.size() && IsDigit(Fmt[I])) Prec = Prec * 10 + (Fmt[I++] - '0');
    }
    if (I >= Fmt.size()) Bad();
    const char Conv = char(AsciiLower(Fmt[I]));
    const TVarRec& A = NextArg();
    std::string Piece;
    switch (Conv) {
      case 's':
        if (!std::holds_alternative<std::string>(A)) Bad();
        Piece = std::get<std::string>(A);
        if (Prec >= 0 && Piece.size() > size_t(Prec)) Piece.resize(size_t(Prec));
        break;
      case 'd':
      case 'u':
      case 'x': {
        if (!std::holds_alternative<std::int64_t>(A)) Bad();
        const std::int64_t V = std::get<std::int64_t>(A);
        if (Conv == 'x')
          Piece = IntToHex(std::uint64_t(V), Prec);
        else {
          Piece = std::to_string(Conv == 'u' ? std::int64_t(std::uint32_t(V)) : V);
          const bool Neg = !Piece.empty() && Piece[0] == '-';
          std::string Digits = Neg ? Piece.substr(1) : Piece;
          if (Prec > 0 && Digits.size() < size_t(Prec))
            Digits = std::string(size_t(Prec) - Digits.size(), '0') + Digits;
          Piece = (Neg ? "-" : "") + Digits;
        }
        break;
      }
      case 'f':
      case 'e':
      case 'g':
      case 'n':
      case 'm': {
        double V;
        if (std::holds_alternative<double>(A))
          V = std::get<double>(A);
        else if (std::holds_alternative<std::int64_t>(A))
          V = double(std::get<std::int64_t>(A));
        else
          Bad();
        char Buf[512];
        if (Conv == 'g')
          Piece = Prec < 0 ? FloatToStr(V) : (std::snprintf(Buf, sizeof Buf, "%.*G", Prec, V), Buf);
        else if (Conv == 'e')
          std::snprintf(Buf, sizeof Buf, "%.*E", Prec < 0 ? 15 : Prec, V), Piece = Buf;
        else if (Conv == 'n')
          Piece = FormatFloat(Prec == 0 ? "#,##0" : "#,##0." + std::string(size_t(Prec < 0 ? 2 : Prec), '0'), V);
        else
          std::snprintf(Buf, sizeof Buf, "%.*f", Prec < 0 ? 2 : Prec, V), Piece = Buf;
        break;
      }
      default:
        Bad();
    }
    if (Width > 0 && Piece.size() < size_t(Width)) {
      const std::string Pad(size_t(Width) - Piece.size(), ' ');
      Piece = Left ? Piece + Pad : Pad + Piece;
    }
    R += Piece;
  }
  return R;
}

// ----------------------------------------------------------------- rounding

std::int64_t Round(double Value) { return std::int64_t(std::nearbyint(Value)); }

std::int64_t Trunc(double Value) { return std::int64_t(Value); }

int MulDiv(int Number, int Numerator, int Denominator) {
  if (Denominator == 0) return -1;
  const std::int64_t P = std::int64_t(Number) * Numerator;
  const bool Negative = (P < 0) != (Denominator < 0);
  const std::uint64_t AP = std::uint64_t(P < 0 ? -P : P);
  const std::uint64_t AD = std::uint64_t(Denominator < 0 ? -std::int64_t(Denominator) : Denominator);
  const std::uint64_t Q = (AP + AD / 2) / AD;  // half away from zero on the magnitude
  return Negative ? -int(Q) : int(Q);
}

}  // namespace platform
