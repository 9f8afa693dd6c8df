#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <typeinfo>
#include <vector>

#include "byte_builder.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/objtext.h"
#include "platform/rtl/stream.h"

using namespace platform;
using veltest::ByteBuilder;
using veltest::Contents;
using veltest::Load;

namespace {

using TBytes = std::vector<std::uint8_t>;

std::string BinaryToText(const TBytes& Data) {
  TMemoryStream In;
  Load(In, Data);
  TStringStream Out;
  ObjectBinaryToText(&In, &Out);
  EXPECT_EQ(In.Position(), In.Size()) << "the whole image is consumed";
  return Out.DataString();
}

TBytes TextToBinary(const std::string& Text) {
  TStringStream In(Text);
  TMemoryStream Out;
  ObjectTextToBinary(&In, &Out);
  EXPECT_EQ(In.Position(), In.Size()) << "the whole text is consumed";
  return Contents(Out);
}

// An image with every kind of value the writer produces, built byte by byte.
TBytes FormFixture() {
  // clang-format off
  return ByteBuilder()
      .Signature()
      .Str("TForm").Str("Form1")
      .Str("Left").Tag(vaInt8).Bytes({10})
      .Str("Width").Tag(vaInt16).Bytes({0x2C, 0x01})
      .Str("Tag").Tag(vaInt32).Bytes({0xA0, 0x86, 0x01, 0x00})
      .Str("Big").Tag(vaInt64).Bytes({0x00, 0xF2, 0x05, 0x2A, 0x01, 0x00, 0x00, 0x00})
      .Str("Caption").Tag(vaString).Bytes({8}).Raw("It's\r\n\xC3\xA9")
      .Str("Scale").Tag(vaExtended).Bytes({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F})
      .Str("Visible").Tag(vaFalse)
      .Str("Enabled").Tag(vaTrue)
      .Str("Align").Tag(vaIdent).Str("alClient")
      .Str("PopupMenu").Tag(vaNil)
      .Str("Next").Tag(vaIdent).Str("Form2.Button1")
      .Str("OnClick").Tag(vaIdent).Str("Button1Click")
      .Str("Font.Style").Tag(vaSet).Str("fsBold").Str("fsItalic").Str("")
      .Str("Anchors").Tag(vaSet).Str("")
      .Str("Items.Strings").Tag(vaList).Tag(vaString).Str("one").Tag(vaString).Str("two").Tag(vaNull)
      .Str("Empty").Tag(vaList).Tag(vaNull)
      .Str("Columns").Tag(vaCollection)
          .Tag(vaList).Str("Width").Tag(vaInt8).Bytes({40}).Str("Title.Caption").Tag(vaString).Str("A").Tag(vaNull)
          .Tag(vaInt8).Bytes({2}).Tag(vaList).Tag(vaNull)
          .Tag(vaNull)
      .Str("Data").Tag(vaBinary).Bytes({3, 0, 0, 0, 0x0A, 0x0B, 0x0C})
      .Tag(vaNull)  // end of the properties
      .Str("TButton").Str("Button1")
          .Str("Caption").Tag(vaString).Str("OK")
          .Tag(vaNull)
          .Tag(vaNull)
      .Bytes({0xF3}).Tag(vaInt8).Bytes({2}).Str("TPanel").Str("")  // inherited, child position 2
          .Tag(vaNull)
          .Str("TLabel").Str("Label1").Tag(vaNull).Tag(vaNull)
          .Tag(vaNull)
      .Tag(vaNull)  // end of the children
      .Data;
  // clang-format on
}

const char* const FormText =
    "object Form1: TForm\n"
    "  Left = 10\n"
    "  Width = 300\n"
    "  Tag = 100000\n"
    "  Big = 5000000000\n"
    "  Caption = 'It''s'#13#10'\xC3\xA9'\n"
    "  Scale = 1.5\n"
    "  Visible = False\n"
    "  Enabled = True\n"
    "  Align = alClient\n"
    "  PopupMenu = nil\n"
    "  Next = Form2.Button1\n"
    "  OnClick = Button1Click\n"
    "  Font.Style = [fsBold, fsItalic]\n"
    "  Anchors = []\n"
    "  Items.Strings = (\n"
    "    'one'\n"
    "    'two')\n"
    "  Empty = ()\n"
    "  Columns = <\n"
    "    item\n"
    "      Width = 40\n"
    "      Title.Caption = 'A'\n"
    "    end\n"
    "    item [2]\n"
    "    end>\n"
    "  Data = {\n"
    "    0A0B0C}\n"
    "  object Button1: TButton\n"
    "    Caption = 'OK'\n"
    "  end\n"
    "  inherited TPanel [2]\n"
    "    object Label1: TLabel\n"
    "    end\n"
    "  end\n"
    "end\n";

template <class E, class F>
void ExpectError(F&& Fn, const std::string& Fragment) {
  try {
    Fn();
    ADD_FAILURE() << "no error; expected " << Fragment;
  } catch (const Exception& Err) {
    EXPECT_EQ(typeid(Err), typeid(E)) << Err.ClassName() << ": " << Err.Message();
    EXPECT_NE(Err.Message().find(Fragment), std::string::npos) << Err.Message();
  }
}

}  // namespace

TEST(ObjectText, HandWrittenImageConvertsToTextAndBackByteForByte) {
  EXPECT_EQ(BinaryToText(FormFixture()), FormText);
  EXPECT_EQ(TextToBinary(FormText), FormFixture());
}

TEST(ObjectText, TextFixtureRoundTripsThroughTheBinaryForm) {
  const std::string Text =
      "inline Frame1: TFrame1 [7]\n"
      "  Values = (\n"
      "    1\n"
      "    -200\n"
      "    (\n"
      "      'nested'\n"
      "      [a]))\n"
      "  Single = 2.5s\n"
      "  Money = -12.3456c\n"
      "  When = 45000.5d\n"
      "  Whole = 1.0c\n"
      "  Nothing = Null\n"
      "  Items = <\n"
      "    item\n"
      "      Sub = <\n"
      "        item\n"
      "        end>\n"
      "    end>\n"
      "  object TNoName\n"
      "  end\n"
      "end\n";
  const TBytes Binary = TextToBinary(Text);
  std::string Expected = Text;
  Expected.replace(Expected.find("1.0c"), 4, "1c");  // currency is written in its shortest form
  EXPECT_EQ(BinaryToText(Binary), Expected);
  EXPECT_EQ(TextToBinary(BinaryToText(Binary)), Binary);
  // The prefix byte, the child position, and the parts with their own tags.
  EXPECT_EQ(TBytes(Binary.begin() + 4, Binary.begin() + 7), (TBytes{0xF6, vaInt8, 7}));
  const TBytes Money =
      ByteBuilder().Str("Money").Tag(vaCurrency).Bytes({0xC0, 0x1D, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}).Data;
  EXPECT_NE(std::search(Binary.begin(), Binary.end(), Money.begin(), Money.end()), Binary.end());
  const TBytes Nothing = ByteBuilder().Str("Nothing").Tag(vaNull).Data;
  EXPECT_NE(std::search(Binary.begin(), Binary.end(), Nothing.begin(), Nothing.end()), Binary.end());
}

TEST(ObjectText, FloatsUseTheGeneralFormAndRoundTripExactly) {
  struct Case {
    double Value;
    const char* Text;
  };
  const Case Cases[] = {
      {1.5, "1.5"},
      {1e20, "1E20"},
      {1.0, "1.0"},
      {0.0, "0.0"},
      {-2.25, "-2.25"},
      {0.1, "0.1"},
      {0.0001, "0.0001"},
      {1e-7, "1E-7"},
      {1e15, "1E15"},
      {123456789012345.0, "123456789012345.0"},
      {-1.5e-300, "-1.5E-300"},
      {1.0 / 3.0, "0.3333333333333333"},
      {4.9e-324, "5E-324"},
      {HUGE_VAL, "INF"},
      {-HUGE_VAL, "-INF"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    TMemoryStream S;
    {
      TWriter W(&S);
      W.WriteSignature();
      W.WriteStr("TA");
      W.WriteStr("");
      W.WriteStr("V");
      W.WriteFloat(C.Value);
      W.WriteListEnd();
      W.WriteListEnd();
    }
    const TBytes Binary = Contents(S);
    const std::string Text = BinaryToText(Binary);
    EXPECT_EQ(Text, std::string("object TA\n  V = ") + C.Text + "\nend\n");
    EXPECT_EQ(TextToBinary(Text), Binary);
  }
}

TEST(ObjectText, StringsInTheTextForm) {
  auto Image = [] { return ByteBuilder().Signature().Str("TA").Str("").Str("S").Data; };
  struct Case {
    std::string Text;
    std::string Value;
  };
  const Case Cases[] = {
      {"''", ""},
      {"'a''b'", "a'b"},
      {"#9'x'#13#10", "\tx\r\n"},
      {"'a'#39'b'", "a'b"},
      {"#233", "\xC3\xA9"},
      {"#$4E2D'x'",
       "\xE4\xB8\xAD"
       "x"},
      {"'\xE4\xB8\xAD\xE6\x96\x87'", "\xE4\xB8\xAD\xE6\x96\x87"},
      {"'ab' +\n    'cd' + 'e'", "abcde"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    TBytes Expected = Image();
    Expected.push_back(vaString);
    Expected.push_back(std::uint8_t(C.Value.size()));
    Expected.insert(Expected.end(), C.Value.begin(), C.Value.end());
    Expected.insert(Expected.end(), {vaNull, vaNull});
    EXPECT_EQ(TextToBinary("object TA\n  S = " + C.Text + "\nend\n"), Expected);
  }
}

TEST(ObjectText, LongStringsSplitBetweenCharactersAndUseLString) {
  std::string Value = "a";
  for (int I = 0; I < 40; ++I) Value += "\xC3\xA9";
  std::string Long(300, 'z');
  TMemoryStream S;
  {
    TWriter W(&S);
    W.WriteSignature();
    W.WriteStr("TA");
    W.WriteStr("");
    W.WriteStr("S");
    W.WriteString(Value);
    W.WriteStr("L");
    W.WriteString(Long);
    W.WriteListEnd();
    W.WriteListEnd();
  }
  const TBytes Binary = Contents(S);
  const std::string Text = BinaryToText(Binary);
  std::string FirstLine = "'a";
  for (int I = 0; I < 32; ++I) FirstLine += "\xC3\xA9";
  std::string SecondLine;
  for (int I = 0; I < 8; ++I) SecondLine += "\xC3\xA9";
  EXPECT_EQ(Text.substr(0, Text.find("\n  L = ")), "object TA\n  S = " + FirstLine + "' +\n    '" + SecondLine + "'");
  EXPECT_EQ(TextToBinary(Text), Binary);
  const TBytes LHead = ByteBuilder().Str("L").Tag(vaLString).Bytes({0x2C, 0x01, 0, 0}).Data;
  EXPECT_NE(std::search(Binary.begin(), Binary.end(), LHead.begin(), LHead.end()), Binary.end());
}

TEST(ObjectText, StringTagsOfOtherWritersRead) {
  // clang-format off
  const TBytes Data = ByteBuilder()
      .Signature()
      .Str("TA").Str("A1")
      .Str("U").Tag(vaUTF8String).Bytes({3, 0, 0, 0}).Raw("\xE4\xB8\xAD")
      .Str("W").Tag(vaWString).Bytes({2, 0, 0, 0, 0x2D, 0x4E, 'x', 0})
      .Str("L").Tag(vaLString).Bytes({2, 0, 0, 0}).Raw("ab")
      .Str("D").Tag(vaDouble).Bytes({0, 0, 0, 0, 0, 0, 0x04, 0x40})
      .Str("I").Tag(vaInt32).Bytes({5, 0, 0, 0})
      .Str("N").Tag(vaNull)
      .Tag(vaNull)
      .Tag(vaNull)
      .Data;
  // clang-format on
  EXPECT_EQ(BinaryToText(Data),
            "object A1: TA\n"
            "  U = '\xE4\xB8\xAD'\n"
            "  W = '\xE4\xB8\xAD"
            "x'\n"
            "  L = 'ab'\n"
            "  D = 2.5\n"
            "  I = 5\n"
            "  N = Null\n"
            "end\n");
}

TEST(ObjectText, KeywordsAsPropertyNamesAndBlankLines) {
  const TBytes Binary = TextToBinary("\xEF\xBB\xBF\n\nobject A: TA\r\n  End = 1\r\n  Object = item\r\nend\r\n\r\n");
  // clang-format off
  EXPECT_EQ(Binary, ByteBuilder()
                        .Signature().Str("TA").Str("A")
                        .Str("End").Tag(vaInt8).Bytes({1})
                        .Str("Object").Tag(vaIdent).Str("item")
                        .Tag(vaNull).Tag(vaNull)
                        .Data);
  // clang-format on
}

TEST(ObjectText, ConsecutiveImagesConvertOneAfterAnother) {
  const TBytes First = FormFixture();
  const TBytes Second = ByteBuilder().Signature().Str("TB").Str("B1").Tag(vaNull).Tag(vaNull).Data;
  TMemoryStream In;
  TBytes All = First;
  All.insert(All.end(), Second.begin(), Second.end());
  All.insert(All.end(), First.begin(), First.end());
  Load(In, All);
  TStringStream Out;
  ObjectBinaryToText(&In, &Out);
  EXPECT_EQ(In.Position(), std::int64_t(First.size()));
  ObjectBinaryToText(&In, &Out);
  EXPECT_EQ(In.Position(), std::int64_t(First.size() + Second.size()));
  ObjectBinaryToText(&In, &Out);
  EXPECT_EQ(In.Position(), In.Size());
  const std::string Text = std::string(FormText) + "object B1: TB\nend\n" + FormText;
  EXPECT_EQ(Out.DataString(), Text);

  TStringStream TextIn(Text);
  TMemoryStream BinOut;
  ObjectTextToBinary(&TextIn, &BinOut);
  EXPECT_EQ(TextIn.Position(), std::int64_t(std::string(FormText).size()));
  ObjectTextToBinary(&TextIn, &BinOut);
  ObjectTextToBinary(&TextIn, &BinOut);
  EXPECT_EQ(TextIn.Position(), TextIn.Size());
  EXPECT_EQ(Contents(BinOut), All);
}

TEST(ObjectText, AnObjectConvertsWhateverTextFollowsIt) {
  const std::string Text = "object A: TA\nend\n  'unterminated";
  TStringStream In(Text);
  TMemoryStream Out;
  ObjectTextToBinary(&In, &Out);
  EXPECT_EQ(In.Position(), std::int64_t(Text.find('\'')));
  EXPECT_EQ(Contents(Out), ByteBuilder().Signature().Str("TA").Str("A").Tag(vaNull).Tag(vaNull).Data);
  ExpectError<EParserError>([&] { ObjectTextToBinary(&In, &Out); }, "Unterminated string on line 3");
  EXPECT_EQ(In.Position(), std::int64_t(Text.find('\'')));
}

TEST(ObjectText, LineNumbersCountFromTheStartOfTheStream) {
  const std::string Text = "object A: TA\nend\n\nobject B: TB\n  X 1\nend\n";
  TStringStream In(Text);
  TMemoryStream Out;
  ObjectTextToBinary(&In, &Out);
  const std::int64_t Second = In.Position();
  ExpectError<EParserError>([&] { ObjectTextToBinary(&In, &Out); }, "'=' expected but number 1 found on line 5");
  EXPECT_EQ(In.Position(), Second);
}

TEST(ObjectText, TruncatedImageRaisesAReadErrorAtEveryOffset) {
  const TBytes Data = FormFixture();
  for (std::size_t N = 0; N < Data.size(); ++N) {
    SCOPED_TRACE(N);
    TMemoryStream In;
    Load(In, TBytes(Data.begin(), Data.begin() + std::ptrdiff_t(N)));
    TStringStream Out;
    ExpectError<EReadError>([&] { ObjectBinaryToText(&In, &Out); }, "Unexpected end of stream");
    EXPECT_EQ(Out.Size(), 0) << "nothing of a damaged image is written";
    EXPECT_LE(In.Position(), std::int64_t(N));
  }
}

TEST(ObjectText, DamagedImagesRaiseReadErrorsNamingTheFault) {
  struct Case {
    const char* Name;
    TBytes Data;
    const char* Fragment;
  };
  TBytes BadTag = FormFixture();
  BadTag[4 + 6 + 6 + 5] = 21;  // the tag of Left
  TBytes BadName = FormFixture();
  BadName[4 + 6 + 6 + 2] = ' ';  // "L ft"
  ByteBuilder DeepLists;
  DeepLists.Signature().Str("TA").Str("").Str("P");
  for (int I = 0; I < 1000; ++I) DeepLists.Tag(vaList);
  ByteBuilder DeepImages;
  DeepImages.Signature();
  for (int I = 0; I < 1000; ++I) DeepImages.Str("TA").Str("").Tag(vaNull);
  const Case Cases[] = {
      {"signature", ByteBuilder().Raw("TPF1").Data, "Invalid stream format"},
      {"tag 21", BadTag, "Unknown value type 21 at offset 21"},
      {"property name", BadName, "Invalid property name 'L ft' at offset 16"},
      {"class name", ByteBuilder().Signature().Str("").Str("A").Tag(vaNull).Tag(vaNull).Data, "Invalid class name"},
      {"component name", ByteBuilder().Signature().Str("TA").Str("1x").Tag(vaNull).Tag(vaNull).Data,
       "Invalid component name '1x'"},
      {"flags", ByteBuilder().Signature().Bytes({0xF9}).Str("TA").Data, "Invalid filer flags $F9"},
      {"nested lists", DeepLists.Data, "nested too deeply"},
      {"nested images", DeepImages.Data, "nested too deeply"},
      {"set element", ByteBuilder().Signature().Str("TA").Str("").Str("S").Tag(vaSet).Str("a b").Str("").Data,
       "Invalid set element 'a b'"},
      {"huge string",
       ByteBuilder().Signature().Str("TA").Str("").Str("S").Tag(vaLString).Bytes({0xFF, 0xFF, 0xFF, 0xFF}).Data,
       "Unexpected end of stream"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TMemoryStream In;
    Load(In, C.Data);
    TStringStream Out;
    ExpectError<EReadError>([&] { ObjectBinaryToText(&In, &Out); }, C.Fragment);
    EXPECT_EQ(Out.Size(), 0);
  }
}

TEST(ObjectText, TheLongestClassNameRoundTrips) {
  const std::string Text = "object A: T" + std::string(MaxClassNameLength - 1, 'x') + "\nend\n";
  const TBytes Binary = TextToBinary(Text);
  EXPECT_EQ(Binary[4], MaxClassNameLength);
  EXPECT_EQ(BinaryToText(Binary), Text);
}

TEST(ObjectText, BadTextRaisesParserErrorsWithTheLine) {
  struct Case {
    std::string Text;
    const char* Message;
  };
  const Case Cases[] = {
      {"", "'object' expected but end of text found on line 1"},
      {"thing A: TA\nend", "'object' expected but 'thing' found on line 1"},
      {"object A: TA\n  Left 3\nend", "'=' expected but number 3 found on line 2"},
      {"object A: TA\n  S = 'abc\nend", "Unterminated string on line 2"},
      {"object A: TA\n  D = {0A0}\nend", "Invalid binary data: odd number of hexadecimal digits on line 2"},
      {"object A: TA\n  D = {0G}\nend", "Invalid binary data: 'G' is no hexadecimal digit on line 2"},
      {"object A: TA\n  L = 1\n", "'end' expected but end of text found on line 3"},
      {"object A: TA\n  X = 99999999999999999999\nend", "Integer 99999999999999999999 out of range on line 2"},
      {"object A: TA\n  X = [a, 1]\nend", "Set element expected but number 1 found on line 2"},
      {"object A: TA\n  X = (1 2\nend", "')' expected but end of text found on line 3"},
      {"object A: TA\n  X = <\n    item\n      Y = 1\n  >\nend", "Property name expected but '>' found on line 5"},
      {"object A: TA\n  X = #\nend", "Character code expected after '#' on line 2"},
      {"object A: TA\n  X = 1.5x\nend", "Invalid number '1.5x' on line 2"},
      {"object A: TA\n  X = @\nend", "Property value expected but '@' found on line 2"},
      {"object A: TA [x]\nend", "Integer expected but 'x' found on line 1"},
      {"object A: TA\n  X = 1.23456c\nend", "Invalid currency value 1.23456 on line 2"},
      {"object A: TA\n  X = 'a' +\nend", "String expected but 'end' found on line 3"},
      {"object A: 5\nend", "Class name expected but number 5 found on line 1"},
      {"object A: TA.\nend", "Invalid class name 'TA.' on line 1"},
      {"object A:\n  TAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA" + std::string(208, 'A') + "\nend",
       "Class name 'TAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA...' longer than 239 bytes on line 2"},
      {"object A.B: TA\nend", "Invalid component name 'A.B' on line 1"},
      {"object A: TA\n  X = [a.b]\nend", "Invalid set element 'a.b' on line 2"},
      {"object A: TA\n  X. = 1\nend", "Property name expected but 'X.' found on line 2"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    TStringStream In(C.Text);
    TMemoryStream Out;
    try {
      ObjectTextToBinary(&In, &Out);
      ADD_FAILURE() << "no error";
    } catch (const EParserError& E) {
      EXPECT_EQ(E.Message(), C.Message);
    }
    EXPECT_EQ(Out.Size(), 0) << "nothing of bad text is written";
    EXPECT_EQ(In.Position(), 0) << "bad text leaves the input where it was";
  }
}

TEST(ObjectText, DeeplyNestedTextIsRejected) {
  std::string Text = "object A: TA\n  X = ";
  Text += std::string(1000, '(');
  ExpectError<EParserError>(
      [&] {
        TStringStream In(Text);
        TMemoryStream Out;
        ObjectTextToBinary(&In, &Out);
      },
      "Nested too deeply on line 2");
}
