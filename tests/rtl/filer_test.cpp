#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <typeinfo>
#include <vector>

#include "byte_builder.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/stream.h"

using namespace platform;
using veltest::ByteBuilder;
using veltest::Contents;
using veltest::Load;

namespace {

using TBytes = std::vector<std::uint8_t>;

template <class F>
TBytes Written(F&& Fn) {
  TMemoryStream S;
  {
    TWriter W(&S);
    Fn(W);
  }
  return Contents(S);
}

// Runs Fn on a reader over Data; expects an EReadError whose message contains Fragment.
template <class F>
void ExpectReadError(const TBytes& Data, F&& Fn, const std::string& Fragment) {
  TMemoryStream S;
  Load(S, Data);
  try {
    TReader R(&S);
    Fn(R);
    ADD_FAILURE() << "no error; expected one about " << Fragment;
  } catch (const EReadError& E) {
    EXPECT_EQ(typeid(E), typeid(EReadError));
    EXPECT_NE(E.Message().find(Fragment), std::string::npos) << E.Message();
  }
  EXPECT_LE(S.Position(), S.Size());
}

}  // namespace

TEST(Extended, EncodesDoublesAsTheTenByteForm) {
  struct Case {
    double Value;
    TBytes Bytes;
  };
  const Case Cases[] = {
      {0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {-0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x80}},
      {1.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {-1.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xBF}},
      {0.5, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x3F}},
      {1.5, {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}},
      {10.0, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x02, 0x40}},
      // 1E20 = 0xAD78EBC5AC620000 * 2^(66-63)
      {1e20, {0x00, 0x00, 0x62, 0xAC, 0xC5, 0xEB, 0x78, 0xAD, 0x41, 0x40}},
      // The smallest normal double, 2^-1022, and the smallest subnormal, 2^-1074:
      // both are normal extended values with only the integer bit set.
      {DBL_MIN, {0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0x3C}},
      {std::ldexp(1.0, -1074), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xCD, 0x3B}},
      // A subnormal with more bits: 3 * 2^-1074 = 1.1b * 2^-1073.
      {std::ldexp(3.0, -1074), {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xCE, 0x3B}},
      {HUGE_VAL, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}},
      {-HUGE_VAL, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Value);
    std::uint8_t B[10];
    DoubleToExtended(C.Value, B);
    EXPECT_EQ(TBytes(B, B + 10), C.Bytes);
    std::uint8_t In[10];
    std::copy(C.Bytes.begin(), C.Bytes.end(), In);
    const double Back = ExtendedToDouble(In);
    EXPECT_EQ(Back, C.Value);
    EXPECT_EQ(std::signbit(Back), std::signbit(C.Value));
  }
}

TEST(Extended, EveryKindOfDoubleSurvivesTheRoundTrip) {
  const double Values[] = {
      3.141592653589793,    -123.456, 0.1, 1e-300, 1e-310, 4.9e-324, 2.2250738585072009e-308, DBL_MAX, -DBL_MAX, 1e308,
      123456789012345678.0, 1.0 / 3.0};
  for (double V : Values) {
    std::uint8_t B[10];
    DoubleToExtended(V, B);
    EXPECT_EQ(ExtendedToDouble(B), V) << V;
  }
  std::uint8_t B[10];
  DoubleToExtended(std::nan(""), B);
  EXPECT_TRUE(std::isnan(ExtendedToDouble(B)));
}

TEST(Extended, ValuesBeyondTheDoubleRangeDecodeToTheNearestDouble) {
  struct Case {
    std::uint8_t Bytes[10];
    double Expected;
  };
  const Case Cases[] = {
      // 1 + 2^-63: the extra mantissa bit is below double precision.
      {{1, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}, 1.0},
      // 2^16383: beyond the double range.
      {{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x7F}, HUGE_VAL},
      // 2^-16382 and an extended denormal: far below the smallest double.
      {{0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0x00}, 0.0},
      {{5, 0, 0, 0, 0, 0, 0, 0x00, 0x00, 0x80}, -0.0},
  };
  for (const Case& C : Cases) EXPECT_EQ(ExtendedToDouble(C.Bytes), C.Expected);
}

TEST(Writer, IntegersTakeTheSmallestTag) {
  struct Case {
    std::int64_t Value;
    TBytes Bytes;
  };
  const Case Cases[] = {
      {0, {vaInt8, 0}},
      {-128, {vaInt8, 0x80}},
      {127, {vaInt8, 0x7F}},
      {128, {vaInt16, 0x80, 0x00}},
      {-129, {vaInt16, 0x7F, 0xFF}},
      {32767, {vaInt16, 0xFF, 0x7F}},
      {-32768, {vaInt16, 0x00, 0x80}},
      {32768, {vaInt32, 0x00, 0x80, 0x00, 0x00}},
      {INT32_MIN, {vaInt32, 0x00, 0x00, 0x00, 0x80}},
      {INT32_MAX, {vaInt32, 0xFF, 0xFF, 0xFF, 0x7F}},
      {std::int64_t(INT32_MAX) + 1, {vaInt64, 0x00, 0x00, 0x00, 0x80, 0, 0, 0, 0}},
      {INT64_MIN, {vaInt64, 0, 0, 0, 0, 0, 0, 0, 0x80}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Value);
    const TBytes B = Written([&](TWriter& W) { W.WriteInteger(C.Value); });
    EXPECT_EQ(B, C.Bytes);
    TMemoryStream S;
    Load(S, B);
    TReader R(&S);
    EXPECT_EQ(R.ReadInt64(), C.Value);
  }
}

TEST(Writer, StringsNamesIdentsAndSets) {
  EXPECT_EQ(Written([](TWriter& W) { W.WriteString("ab"); }), (TBytes{vaString, 2, 'a', 'b'}));
  EXPECT_EQ(Written([](TWriter& W) { W.WriteString(""); }), (TBytes{vaString, 0}));
  const std::string S255(255, 'x'), S256(256, 'y');
  TBytes B = Written([&](TWriter& W) { W.WriteString(S255); });
  ASSERT_EQ(B.size(), 257u);
  EXPECT_EQ(B[0], vaString);
  EXPECT_EQ(B[1], 255);
  B = Written([&](TWriter& W) { W.WriteString(S256); });
  ASSERT_EQ(B.size(), 261u);
  EXPECT_EQ(TBytes(B.begin(), B.begin() + 5), (TBytes{vaLString, 0x00, 0x01, 0x00, 0x00}));
  // UTF-8 goes out as its bytes.
  EXPECT_EQ(Written([](TWriter& W) { W.WriteString("\xE4\xB8\xAD"); }), (TBytes{vaString, 3, 0xE4, 0xB8, 0xAD}));

  EXPECT_EQ(Written([](TWriter& W) { W.WriteStr("Left"); }), (TBytes{4, 'L', 'e', 'f', 't'}));
  EXPECT_THROW(Written([&](TWriter& W) { W.WriteStr(S256); }), EWriteError);

  EXPECT_EQ(Written([](TWriter& W) {
              W.WriteIdent("alClient");
              W.WriteIdent("true");
              W.WriteIdent("FALSE");
              W.WriteIdent("nil");
              W.WriteBoolean(true);
            }),
            (TBytes{vaIdent, 8, 'a', 'l', 'C', 'l', 'i', 'e', 'n', 't', vaTrue, vaFalse, vaNil, vaTrue}));
  EXPECT_EQ(Written([](TWriter& W) { W.WriteSet({"a", "bc"}); }), (TBytes{vaSet, 1, 'a', 2, 'b', 'c', 0}));
  EXPECT_EQ(Written([](TWriter& W) { W.WriteSet({}); }), (TBytes{vaSet, 0}));
  EXPECT_EQ(Written([](TWriter& W) { W.WriteBinary("\x01\x02", 2); }), (TBytes{vaBinary, 2, 0, 0, 0, 1, 2}));
}

TEST(Writer, PrefixPropertyPathAndDefinedProperties) {
  EXPECT_EQ(Written([](TWriter& W) { W.WritePrefix({}, 0); }), TBytes{});
  EXPECT_EQ(Written([](TWriter& W) { W.WritePrefix({ffInherited}, 0); }), TBytes{0xF1});
  EXPECT_EQ(Written([](TWriter& W) { W.WritePrefix({ffInline}, 0); }), TBytes{0xF4});
  EXPECT_EQ(Written([](TWriter& W) {
              W.WritePrefix({ffInherited, ffChildPos}, 300);
            }),
            (TBytes{0xF3, vaInt16, 0x2C, 0x01}));

  EXPECT_EQ(Written([](TWriter& W) {
              W.SetPropPath("Font.");
              W.WritePropName("Name");
            }),
            (TBytes{9, 'F', 'o', 'n', 't', '.', 'N', 'a', 'm', 'e'}));

  const TBytes B = Written([](TWriter& W) {
    W.DefineProperty(
        "Skipped", nullptr, [](TWriter& Inner) { Inner.WriteInteger(1); }, false);
    W.DefineProperty(
        "Count", nullptr, [](TWriter& Inner) { Inner.WriteInteger(7); }, true);
    W.DefineBinaryProperty(
        "Data", nullptr, [](TStream& S) { S.WriteBuffer("\xAA", 1); }, true);
  });
  EXPECT_EQ(B, (TBytes{5, 'C', 'o', 'u', 'n', 't', vaInt8, 7, 4, 'D', 'a', 't', 'a', vaBinary, 1, 0, 0, 0, 0xAA}));

  // The reader runs the matching definition for the property it is reading.
  TMemoryStream S;
  Load(S, TBytes(B.begin() + 6, B.end()));
  TReader R(&S);
  R.SetPropName("count");
  int Count = 0;
  R.DefineProperty(
      "Other", [&](TReader&) { ADD_FAILURE(); }, nullptr, false);
  R.DefineProperty(
      "Count", [&](TReader& Inner) { Count = Inner.ReadInteger(); }, nullptr, false);
  EXPECT_EQ(Count, 7);
  EXPECT_EQ(R.PropName(), "");
  EXPECT_EQ(R.ReadStr(), "Data");
  R.SetPropName("Data");
  std::string Got;
  R.DefineBinaryProperty(
      "Data",
      [&](TStream& Data) {
        Got.resize(std::size_t(Data.Size()));
        Data.ReadBuffer(Got.data(), Data.Size());
      },
      nullptr, false);
  EXPECT_EQ(Got, "\xAA");
}

TEST(Reader, ReadsEveryValueKind) {
  // clang-format off
  const TBytes Data = ByteBuilder()
      .Tag(vaInt8).Bytes({0xFE})
      .Tag(vaInt16).Bytes({0x00, 0x80})
      .Tag(vaInt32).Bytes({0x01, 0x00, 0x00, 0x80})
      .Tag(vaInt64).Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})
      .Tag(vaExtended).Bytes({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F})
      .Tag(vaDouble).Bytes({0, 0, 0, 0, 0, 0, 0x04, 0x40})
      .Tag(vaSingle).Bytes({0x00, 0x00, 0x20, 0x40})
      .Tag(vaCurrency).Bytes({0xD2, 0x04, 0, 0, 0, 0, 0, 0})
      .Tag(vaDate).Bytes({0, 0, 0, 0, 0, 0, 0xF0, 0x3F})
      .Tag(vaString).Str("short")
      .Tag(vaLString).Bytes({3, 0, 0, 0}).Raw("abc")
      .Tag(vaUTF8String).Bytes({2, 0, 0, 0}).Raw("\xC3\xA9")
      // "A", U+4E2D, U+1F600 as a surrogate pair, then an unpaired high surrogate
      .Tag(vaWString).Bytes({5, 0, 0, 0, 'A', 0, 0x2D, 0x4E, 0x3D, 0xD8, 0x00, 0xDE, 0x00, 0xD8})
      .Tag(vaIdent).Str("clRed")
      .Tag(vaFalse).Tag(vaTrue).Tag(vaNil)
      .Tag(vaSet).Str("fsBold").Str("fsItalic").Str("")
      .Tag(vaBinary).Bytes({2, 0, 0, 0, 0xDE, 0xAD})
      .Tag(vaList).Tag(vaInt8).Bytes({1}).Tag(vaNull)
      .Data;
  // clang-format on
  TMemoryStream S;
  Load(S, Data);
  TReader R(&S);
  EXPECT_EQ(R.ReadInteger(), -2);
  EXPECT_EQ(R.ReadInteger(), -32768);
  EXPECT_EQ(R.ReadInteger(), INT32_MIN + 1);
  EXPECT_EQ(R.ReadInt64(), -1);
  EXPECT_EQ(R.ReadFloat(), 1.5);
  EXPECT_EQ(R.ReadFloat(), 2.5);
  EXPECT_EQ(R.ReadSingle(), 2.5f);
  EXPECT_EQ(R.ReadCurrency(), 1234);
  EXPECT_EQ(R.ReadDate(), 1.0);
  EXPECT_EQ(R.ReadString(), "short");
  EXPECT_EQ(R.ReadString(), "abc");
  EXPECT_EQ(R.ReadString(), "\xC3\xA9");
  EXPECT_EQ(R.ReadString(), "A\xE4\xB8\xAD\xF0\x9F\x98\x80\xEF\xBF\xBD");
  EXPECT_EQ(R.NextValue(), vaIdent);
  EXPECT_EQ(R.ReadIdent(), "clRed");
  EXPECT_EQ(R.ReadIdent(), "False");
  EXPECT_TRUE(R.ReadBoolean());
  EXPECT_EQ(R.ReadIdent(), "nil");
  EXPECT_EQ(R.ReadSet(), (std::vector<std::string>{"fsBold", "fsItalic"}));
  EXPECT_EQ(R.ReadBinary(), (TBytes{0xDE, 0xAD}));
  R.ReadListBegin();
  EXPECT_FALSE(R.EndOfList());
  EXPECT_EQ(R.ReadInteger(), 1);
  EXPECT_TRUE(R.EndOfList());
  R.ReadListEnd();
  EXPECT_EQ(R.Position(), std::int64_t(Data.size()));
  EXPECT_THROW(R.ReadValue(), EReadError);
}

TEST(Reader, SkipsEveryValueKind) {
  // Every kind of value once, each followed by a marker integer.
  // clang-format off
  const TBytes Data = ByteBuilder()
      .Tag(vaInt16).Bytes({1, 2}).Tag(vaInt8).Bytes({1})
      .Tag(vaExtended).Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).Tag(vaInt8).Bytes({2})
      .Tag(vaWString).Bytes({1, 0, 0, 0, 'x', 0}).Tag(vaInt8).Bytes({3})
      .Tag(vaSet).Str("a").Str("").Tag(vaInt8).Bytes({4})
      .Tag(vaBinary).Bytes({1, 0, 0, 0, 9}).Tag(vaInt8).Bytes({5})
      .Tag(vaList).Tag(vaList).Tag(vaString).Str("x").Tag(vaNull).Tag(vaNull).Tag(vaInt8).Bytes({6})
      .Tag(vaCollection)
          .Tag(vaList).Str("A").Tag(vaInt8).Bytes({1}).Tag(vaNull)
          .Tag(vaInt8).Bytes({3}).Tag(vaList).Tag(vaNull)
          .Tag(vaNull).Tag(vaInt8).Bytes({7})
      .Tag(vaCurrency).Bytes({0, 0, 0, 0, 0, 0, 0, 0}).Tag(vaInt8).Bytes({8})
      .Data;
  // clang-format on
  TMemoryStream S;
  Load(S, Data);
  TReader R(&S);
  for (int Marker = 1; Marker <= 8; ++Marker) {
    R.SkipValue();
    EXPECT_EQ(R.ReadInteger(), Marker);
  }
}

TEST(Reader, ValueOfTheWrongKindOrAnUnknownTagIsAReadError) {
  ExpectReadError(
      {vaString, 1, 'x'}, [](TReader& R) { R.ReadInteger(); }, "expected an integer, found vaString");
  ExpectReadError(
      {vaInt64, 0, 0, 0, 0, 1, 0, 0, 0}, [](TReader& R) { R.ReadInteger(); }, "found vaInt64");
  ExpectReadError(
      {vaInt8, 1}, [](TReader& R) { R.ReadString(); }, "expected a string, found vaInt8");
  ExpectReadError(
      {vaIdent, 1, 'x'}, [](TReader& R) { R.ReadBoolean(); }, "found vaIdent");
  ExpectReadError(
      {vaList}, [](TReader& R) { R.CheckValue(vaSet); }, "expected vaSet, found vaList");
  ExpectReadError(
      {21, 0}, [](TReader& R) { R.ReadValue(); }, "Unknown value type 21 at offset 0");
  ExpectReadError(
      {vaInt8, 0, 99},
      [](TReader& R) {
        R.SkipValue();
        R.SkipValue();
      },
      "Unknown value type 99 at offset 2");
  ExpectReadError(
      {'T', 'P', 'F', '1'}, [](TReader& R) { R.ReadSignature(); }, "Invalid stream format");
  ExpectReadError(
      {0xF8, 1, 'X'},
      [](TReader& R) {
        TFilerFlags F;
        int Pos;
        R.ReadPrefix(F, Pos);
      },
      "Invalid filer flags $F8");
}

TEST(Reader, TruncatedValuesAndDamagedLengthsNeverReadPastTheEnd) {
  struct Case {
    TBytes Data;
    const char* Fragment;
    void (*Read)(TReader& R);  // the typed read of the value
  };
  const Case Cases[] = {
      {{vaInt32, 1, 2}, "while reading an integer", [](TReader& R) { R.ReadInteger(); }},
      {{vaExtended, 0, 0, 0}, "while reading a float", [](TReader& R) { R.ReadFloat(); }},
      {{vaString, 5, 'a', 'b'}, "while reading a string", [](TReader& R) { R.ReadString(); }},
      {{vaLString, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}, "while reading a string", [](TReader& R) { R.ReadString(); }},
      {{vaWString, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 0}, "while reading a string", [](TReader& R) { R.ReadString(); }},
      {{vaBinary, 0xFF, 0xFF, 0xFF, 0x7F}, "while reading binary data", [](TReader& R) { R.ReadBinary(); }},
      {{vaList, vaInt8, 1},
       "Unexpected end of stream at offset 3",
       [](TReader& R) {
         R.ReadListBegin();
         R.ReadInteger();
         R.ReadListEnd();
       }},
      {{}, "while reading a value type", [](TReader& R) { R.ReadValue(); }},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Fragment);
    ExpectReadError(
        C.Data, [](TReader& R) { R.SkipValue(); }, C.Fragment);
    ExpectReadError(C.Data, C.Read, C.Fragment);
  }
}

TEST(Reader, DeeplyNestedListsAreRejected) {
  TBytes Data(5000, vaList);
  ExpectReadError(
      Data, [](TReader& R) { R.SkipValue(); }, "nested too deeply");
}

TEST(Reader, LeavesTheStreamJustAfterWhatItConsumed) {
  // Small buffers make the reader read ahead over several refills.
  for (int BufSize : {16, 17, 4096}) {
    SCOPED_TRACE(BufSize);
    ByteBuilder B;
    for (int I = 0; I < 40; ++I) B.Tag(vaString).Str("abcdef");
    TMemoryStream S;
    Load(S, B.Data);
    S.SetPosition(8);  // start at the second value
    {
      TReader R(&S, BufSize);
      for (int I = 0; I < 20; ++I) EXPECT_EQ(R.ReadString(), "abcdef");
      EXPECT_EQ(R.Position(), 8 + 20 * 8);
    }
    EXPECT_EQ(S.Position(), 8 + 20 * 8);
    {
      // Also after an error.
      TReader R(&S, BufSize);
      R.ReadString();
      EXPECT_THROW(R.ReadInteger(), EReadError);
    }
    EXPECT_EQ(S.Position(), 8 + 21 * 8 + 1) << "the failed value's tag is consumed";
  }
}
