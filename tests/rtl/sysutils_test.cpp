#include "platform/rtl/sysutils.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/types.h"

using namespace platform;

TEST(SysUtils, TrimRemovesBlanksAndControlCharacters) {
  EXPECT_EQ(Trim("  \t\r\n abc \x01\x1f "), "abc");
  EXPECT_EQ(Trim("\x7f"), "\x7f");  // DEL is above the blank range and stays
  EXPECT_EQ(TrimLeft("  a b  "), "a b  ");
  EXPECT_EQ(TrimRight("  a b  "), "  a b");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(" 全部 "), "全部");  // multi-byte UTF-8 is not touched
}

TEST(SysUtils, TextComparisonFoldsOnlyAsciiLetters) {
  struct Case {
    const char* A;
    const char* B;
    int Sign;
  };
  const Case Cases[] = {
      {"abc", "ABC", 0}, {"TOBJECT", "TObject", 0}, {"a", "b", -1}, {"B", "a", 1}, {"ab", "abc", -1}, {"", "", 0},
      {"_", "a", 1},   // '_' (0x5F) sorts after the folded 'A' (0x41)
      {"Ä", "ä", -1},  // non-ASCII bytes compare exactly (Ä = C3 84, ä = C3 A4)
      {"[", "a", 1},   // '[' (0x5B) is above folded 'A' (0x41)
  };
  for (const Case& C : Cases) {
    const int R = CompareText(C.A, C.B);
    const int Sign = R < 0 ? -1 : (R > 0 ? 1 : 0);
    EXPECT_EQ(Sign, C.Sign) << C.A << " vs " << C.B;
  }
  EXPECT_TRUE(SameText("Button1", "BUTTON1"));
  EXPECT_FALSE(SameText("Ä", "ä"));
  EXPECT_FALSE(SameText("abc", "abcd"));
  EXPECT_EQ(UpperCase("tObject ä"), "TOBJECT ä");
  EXPECT_EQ(LowerCase("TObject Ä"), "tobject Ä");
}

TEST(SysUtils, StrToIntRules) {
  struct Case {
    const char* Text;
    bool Ok;
    int Value;
  };
  const Case Cases[] = {
      {"12", true, 12},
      {" 12", true, 12},  // leading blanks are accepted
      {"12 ", false, 0},  // anything after the number is an error
      {"", false, 0},
      {" ", false, 0},
      {"-7", true, -7},
      {"+7", true, 7},
      {"$FF", true, 255},
      {"0x1f", true, 31},
      {"$FFFFFFFF", true, -1},  // hexadecimal text covers the full 32 bits
      {"-$10", true, -16},
      {"2147483647", true, 2147483647},
      {"2147483648", false, 0},
      {"-2147483648", true, -2147483647 - 1},
      {"-2147483649", false, 0},
      {"1e3", false, 0},
      {"12a", false, 0},
      {"$", false, 0},
      {"--1", false, 0},
      {"\t12", false, 0},  // only spaces lead
  };
  for (const Case& C : Cases) {
    int V = 12345;
    EXPECT_EQ(TryStrToInt(C.Text, V), C.Ok) << '"' << C.Text << '"';
    if (C.Ok) {
      EXPECT_EQ(V, C.Value) << C.Text;
      EXPECT_EQ(StrToInt(C.Text), C.Value);
    } else {
      EXPECT_THROW(StrToInt(C.Text), EConvertError) << C.Text;
      EXPECT_EQ(StrToIntDef(C.Text, -99), -99);
    }
  }
  try {
    StrToInt("12 ");
    FAIL();
  } catch (const EConvertError& E) {
    EXPECT_EQ(E.Message(), "'12 ' is not a valid integer value");
  }
}

TEST(SysUtils, StrToInt64UsesAll64Bits) {
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64(" 4294967296"), 4294967296LL);
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
  EXPECT_THROW(StrToInt64("1 "), EConvertError);
}

TEST(SysUtils, IntToStrAndHex) {
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToHex(255, 8), "000000FF");
  EXPECT_EQ(IntToHex(0xFF00000Fu, 8), "FF00000F");
  EXPECT_EQ(IntToHex(0x12345, 2), "12345");
}

TEST(SysUtils, RoundGoesHalfToEven) {
  const std::pair<double, std::int64_t> Cases[] = {{20.5, 20}, {74.5, 74}, {21.5, 22}, {0.5, 0},
                                                   {1.5, 2},   {-0.5, 0},  {-1.5, -2}, {-2.5, -2},
                                                   {2.4, 2},   {2.6, 3},   {-2.6, -3}, {1e9 + 0.5, 1000000000}};
  for (auto [V, R] : Cases) EXPECT_EQ(Round(V), R) << V;
  EXPECT_EQ(Trunc(-2.7), -2);
}

TEST(SysUtils, MulDivRoundsHalfAwayFromZero) {
  struct Case {
    int N, Num, Den, R;
  };
  const Case Cases[] = {{75, 3, 2, 113},
                        {-75, 3, 2, -113},
                        {75, -3, 2, -113},
                        {10, 1, 3, 3},
                        {20, 1, 3, 7},
                        {5, 1, 2, 3},
                        {4, 1, 2, 2},
                        {100, 150, 100, 150},
                        {7, 0, 5, 0},
                        {1, 1, 0, -1},
                        {2147483647, 2, 2, 2147483647}};
  for (const Case& C : Cases) EXPECT_EQ(MulDiv(C.N, C.Num, C.Den), C.R) << C.N << "*" << C.Num << "/" << C.Den;
}

TEST(SysUtils, FloatTextRoundTrips) {
  struct Case {
    double V;
    const char* Text;
  };
  const Case Cases[] = {{0, "0"},           {1.5, "1.5"},
                        {-2.25, "-2.25"},   {100, "100"},
                        {0.1, "0.1"},       {1.0 / 3, "0.333333333333333"},
                        {1e20, "1E+20"},    {1.5e-7, "1.5E-7"},
                        {0.0001, "0.0001"}, {123456789012345.0, "123456789012345"},
                        {1e15, "1E+15"}};
  for (const Case& C : Cases) {
    EXPECT_EQ(FloatToStr(C.V), C.Text);
    // Fifteen significant digits: the text reads back within that precision.
    EXPECT_NEAR(StrToFloat(C.Text), C.V, std::abs(C.V) * 1e-14) << C.Text;
  }
  EXPECT_DOUBLE_EQ(StrToFloat(" 2.5 "), 2.5);
  EXPECT_DOUBLE_EQ(StrToFloat("+3"), 3);
  for (const char* Bad : {"", "1,5", "abc", "1.5x", "--1", "+"}) EXPECT_THROW(StrToFloat(Bad), EConvertError) << Bad;
  EXPECT_EQ(FormatFloat("", 2.5), "2.5");
  EXPECT_EQ(FormatFloat("0.00", 2.5), "2.50");
  EXPECT_EQ(FormatFloat("#,##0.##", 1234567.891), "1,234,567.89");
  EXPECT_EQ(FormatFloat("0.0E+00", 12345), "1.2E+04");
}

TEST(SysUtils, BooleanText) {
  EXPECT_TRUE(StrToBool("True"));
  EXPECT_TRUE(StrToBool("true"));
  EXPECT_FALSE(StrToBool("FALSE"));
  EXPECT_TRUE(StrToBool("-1"));
  EXPECT_TRUE(StrToBool("2"));
  EXPECT_FALSE(StrToBool("0"));
  EXPECT_THROW(StrToBool("yes"), EConvertError);
  EXPECT_THROW(StrToBool(""), EConvertError);
  EXPECT_EQ(BoolToStr(true, true), "True");
  EXPECT_EQ(BoolToStr(false, true), "False");
  EXPECT_EQ(BoolToStr(true), "-1");
}

TEST(SysUtils, OneBasedStringEditing) {
  EXPECT_EQ(Pos("]", "[a,b]"), 5);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
  EXPECT_EQ(Pos("a", "abca", 2), 4);
  EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Copy("abcdef", 5, 10), "ef");
  EXPECT_EQ(Copy("abcdef", 7, 1), "");
  EXPECT_EQ(Copy("abcdef", 0, 2), "ab");
  std::string S = "[a,b,c]";
  Delete(S, 3, 2);
  EXPECT_EQ(S, "[a,c]");
  Delete(S, 10, 1);
  EXPECT_EQ(S, "[a,c]");
  Insert("b,", S, 4);
  EXPECT_EQ(S, "[a,b,c]");
  Insert("!", S, 100);
  EXPECT_EQ(S, "[a,b,c]!");
  EXPECT_EQ(StringReplace("a.b.c", ".", "::"), "a::b::c");
  EXPECT_EQ(StringReplace("aXbxc", "x", "-", true, true), "a-b-c");
  EXPECT_EQ(StringReplace("aXbxc", "x", "-", false, false), "aXb-c");
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(DequotedStr("'it''s' tail"), "it's");
}

TEST(SysUtils, FormatSubstitutes) {
  EXPECT_EQ(Format("%s=%s", {std::string("Name"), std::string("Button1")}), "Name=Button1");
  EXPECT_EQ(Format("%d%%", {std::int64_t(50)}), "50%");
  EXPECT_EQ(Format("[%5d|%-4s]", {std::int64_t(42), std::string("ab")}), "[   42|ab  ]");
  EXPECT_EQ(Format("%x", {std::int64_t(255)}), "FF");
  EXPECT_EQ(Format("%.2f", {1.005}), "1.00");
  EXPECT_EQ(Format("%s", {std::string("it's '%s'")}), "it's '%s'");  // no quote doubling, no re-expansion
  EXPECT_THROW(Format("%s %s", {std::string("one")}), EConvertError);
  EXPECT_THROW(Format("%d", {std::string("x")}), EConvertError);
}

TEST(SysUtils, IdentifierCheck) {
  for (const char* Good : {"Button1", "_x", "a", "A_b_9"}) EXPECT_TRUE(IsValidIdent(Good)) << Good;
  for (const char* Bad : {"", "1a", "a b", "a-b", "a.b", "ä"}) EXPECT_FALSE(IsValidIdent(Bad)) << Bad;
  EXPECT_TRUE(IsValidIdent("Form1.Button1", true));
  EXPECT_FALSE(IsValidIdent("Form1.", true));
}

TEST(Geometry, RectangleHelpers) {
  const TRect R = Rect(10, 10, 20, 20);
  EXPECT_TRUE(PtInRect(R, Point(10, 10)));
  EXPECT_TRUE(PtInRect(R, Point(19, 19)));
  EXPECT_FALSE(PtInRect(R, Point(20, 15)));  // right edge is outside
  EXPECT_FALSE(PtInRect(R, Point(15, 20)));  // bottom edge is outside

  TRect D{1, 2, 3, 4};
  EXPECT_FALSE(IntersectRect(D, R, Rect(20, 10, 30, 20)));  // touching is not intersecting
  EXPECT_EQ(D, TRect{});
  EXPECT_TRUE(IntersectRect(D, R, Rect(15, 5, 30, 12)));
  EXPECT_EQ(D, Rect(15, 10, 20, 12));

  EXPECT_TRUE(UnionRect(D, R, Rect(30, 0, 40, 5)));
  EXPECT_EQ(D, Rect(10, 0, 40, 20));
  EXPECT_TRUE(UnionRect(D, Rect(0, 0, 0, 0), R));  // an empty rectangle adds nothing
  EXPECT_EQ(D, R);
  EXPECT_TRUE(UnionRect(D, R, Rect(100, 100, 100, 200)));
  EXPECT_EQ(D, R);
  EXPECT_FALSE(UnionRect(D, TRect{}, TRect{}));

  TRect I = R;
  InflateRect(I, 2, 3);
  EXPECT_EQ(I, Rect(8, 7, 22, 23));
  OffsetRect(I, -8, 1);
  EXPECT_EQ(I, Rect(0, 8, 14, 24));
  EXPECT_EQ(NormalizeRect(Rect(5, 9, 1, 2)), Rect(1, 2, 5, 9));
  EXPECT_EQ(Bounds(1, 2, 3, 4), Rect(1, 2, 4, 6));
}
