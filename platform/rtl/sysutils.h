// Exceptions, string and number helpers of the run-time library.
//
// Sections: exceptions; case and comparison; trimming and 1-based editing;
// integer conversions; float conversions; Boolean conversions; Format; rounding.
#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace platform {

// ---------------------------------------------------------------- exceptions

/// \brief Base of every error the platform raises; carries a readable Message.
class Exception : public std::exception {
 public:
  explicit Exception(std::string Msg) : FMessage(std::move(Msg)) {}
  const std::string& Message() const noexcept { return FMessage; }
  void SetMessage(std::string Msg) { FMessage = std::move(Msg); }
  const char* what() const noexcept override { return FMessage.c_str(); }
  /// The class name of the error ("EConvertError"), for error reports.
  virtual const char* ClassName() const noexcept { return "Exception"; }

 private:
  std::string FMessage;
};

#define VEL_DECLARE_EXCEPTION(Name, Base)                             \
  class Name : public Base {                                          \
   public:                                                            \
    using Base::Base;                                                 \
    const char* ClassName() const noexcept override { return #Name; } \
  }

VEL_DECLARE_EXCEPTION(EAbort, Exception);
VEL_DECLARE_EXCEPTION(EConvertError, Exception);
VEL_DECLARE_EXCEPTION(EListError, Exception);
VEL_DECLARE_EXCEPTION(EStringListError, EListError);
VEL_DECLARE_EXCEPTION(EInvalidCast, Exception);
VEL_DECLARE_EXCEPTION(EInvalidPointer, Exception);
VEL_DECLARE_EXCEPTION(EInvalidOperation, Exception);
VEL_DECLARE_EXCEPTION(EComponentError, Exception);
VEL_DECLARE_EXCEPTION(EPropertyError, Exception);
VEL_DECLARE_EXCEPTION(EStreamError, Exception);
VEL_DECLARE_EXCEPTION(EFilerError, EStreamError);
VEL_DECLARE_EXCEPTION(EReadError, EFilerError);
VEL_DECLARE_EXCEPTION(EWriteError, EFilerError);
VEL_DECLARE_EXCEPTION(EClassNotFound, EFilerError);
VEL_DECLARE_EXCEPTION(EFOpenError, EStreamError);
VEL_DECLARE_EXCEPTION(EFCreateError, EStreamError);
VEL_DECLARE_EXCEPTION(EOutOfResources, Exception);
VEL_DECLARE_EXCEPTION(EArgumentException, Exception);

// --------------------------------------------------------- case and compare

/// ASCII-only case mapping; every other byte is kept as it is.
std::string UpperCase(std::string_view S);
std::string LowerCase(std::string_view S);

/// Compares ignoring the case of the ASCII letters a to z; all other bytes
/// compare exactly. Result < 0, 0 or > 0.
int CompareText(std::string_view A, std::string_view B);
bool SameText(std::string_view A, std::string_view B);
/// Exact byte comparison.
int CompareStr(std::string_view A, std::string_view B);
bool SameStr(std::string_view A, std::string_view B);

/// A letter or underscore followed by letters, digits or underscores (ASCII).
bool IsValidIdent(std::string_view Ident, bool AllowDots = false);

// ------------------------------------------------- trimming and 1-based edits

/// Remove leading and/or trailing blanks and control characters (every byte <= ' ').
std::string Trim(std::string_view S);
std::string TrimLeft(std::string_view S);
std::string TrimRight(std::string_view S);

/// 1-based position of Sub in S, 0 when absent (or when Sub is empty).
int Pos(std::string_view Sub, std::string_view S, int Offset = 1);
/// Count bytes from the 1-based Index; out-of-range parts are clipped.
std::string Copy(std::string_view S, int Index, int Count);
/// Removes Count bytes from the 1-based Index; out-of-range parts are clipped.
void Delete(std::string& S, int Index, int Count);
/// Inserts Sub before the 1-based Index (clamped to the string).
void Insert(std::string_view Sub, std::string& S, int Index);

std::string StringReplace(std::string_view S, std::string_view OldPattern, std::string_view NewPattern,
                          bool ReplaceAll = true, bool IgnoreCase = false);

/// Quoted with Quote, the quote character doubled inside.
std::string QuotedStr(std::string_view S, char Quote = '\'');
/// Removes surrounding quotes and undoubles inner ones; text that does not
/// start with Quote is returned unchanged.
std::string DequotedStr(std::string_view S, char Quote = '\'');

// ------------------------------------------------------ integer conversions

std::string IntToStr(std::int64_t Value);
/// Upper-case hexadecimal, at least Digits digits.
std::string IntToHex(std::uint64_t Value, int Digits);

/// Parses a 32-bit integer. Leading blanks are accepted, then an optional sign,
/// then decimal digits or "$"/"0x" followed by hexadecimal digits; anything
/// after the number, an empty number or an overflow raises EConvertError.
int StrToInt(std::string_view S);
int StrToIntDef(std::string_view S, int Default);
bool TryStrToInt(std::string_view S, int& Value);
std::int64_t StrToInt64(std::string_view S);
std::int64_t StrToInt64Def(std::string_view S, std::int64_t Default);
bool TryStrToInt64(std::string_view S, std::int64_t& Value);

// -------------------------------------------------------- float conversions

/// The platform's decimal separator.
constexpr char DecimalSeparator = '.';

/// General format: the shortest text with at most 15 significant digits,
/// fixed notation when the exponent is in -5..14, otherwise "1.5E20" style.
std::string FloatToStr(double Value);
/// FormatFloat with an empty format is FloatToStr; otherwise a picture of
/// '0', '#', '.', ',' and an optional "E+00" exponent part.
std::string FormatFloat(std::string_view Format, double Value);
/// Leading and trailing blanks accepted; decimal separator '.'; an exponent
/// is allowed. Anything else raises EConvertError.
double StrToFloat(std::string_view S);
bool TryStrToFloat(std::string_view S, double& Value);

// ------------------------------------------------------ Boolean conversions

/// "True"/"False" in any case, or a number (true when not zero); else EConvertError.
bool StrToBool(std::string_view S);
bool TryStrToBool(std::string_view S, bool& Value);
/// With UseBoolStrs: "True"/"False"; otherwise "-1"/"0".
std::string BoolToStr(bool B, bool UseBoolStrs = false);

// ------------------------------------------------------------------- Format

/// One argument of Format: an integer, a float, or a string.
using TVarRec = std::variant<std::int64_t, double, std::string>;

/// Formats like the platform's Format: %s, %d, %u, %x, %f, %e, %g, %n, %m,
/// with optional "-", width and ".precision"; "%%" is a percent sign. Raises
/// EConvertError on a missing argument or a specifier of the wrong kind.
std::string Format(std::string_view Fmt, std::initializer_list<TVarRec> Args);

// ----------------------------------------------------------------- rounding

/// Rounds to the nearest integer; halves go to the even neighbour (Round(20.5) = 20).
std::int64_t Round(double Value);
/// Truncates toward zero.
std::int64_t Trunc(double Value);
/// Number * Numerator / Denominator with a 64-bit intermediate, rounded half
/// away from zero; -1 when Denominator is 0.
int MulDiv(int Number, int Numerator, int Denominator);

}  // namespace platform
