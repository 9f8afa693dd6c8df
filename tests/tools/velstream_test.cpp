// Runs the velstream tool as a user would, on real files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/rtl/objtext.h"
#include "platform/rtl/stream.h"

using namespace platform;

namespace {

const char* const TwoObjects =
    "object Form1: TForm\n"
    "  Caption = 'Hello'\n"
    "  Font.Style = [fsBold]\n"
    "  object Button1: TButton\n"
    "    Left = 8\n"
    "  end\n"
    "end\n"
    "object Label1: TLabel\n"
    "  Caption = '\xE4\xB8\xAD\xE6\x96\x87'\n"
    "end\n";

class VelStream : public testing::Test {
 protected:
  void SetUp() override {
    std::string Tmpl = (std::filesystem::temp_directory_path() / "velstream-tool-XXXXXX").string();
    Dir = mkdtemp(Tmpl.data());
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }

  std::string Path(const char* Name) const { return (std::filesystem::path(Dir) / Name).string(); }

  static void WriteFile(const std::string& Name, const std::string& Data) {
    std::ofstream(Name, std::ios::binary) << Data;
  }
  static std::string ReadFile(const std::string& Name) {
    std::ifstream In(Name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  }

  // Runs velstream with Args; fills Out and Err and returns the exit status.
  int Run(const std::string& Args) {
    const std::string Cmd =
        std::string("'") + VELSTREAM_PATH + "' " + Args + " >'" + Path("out") + "' 2>'" + Path("err") + "'";
    const int Status = std::system(Cmd.c_str());
    Out = ReadFile(Path("out"));
    Err = ReadFile(Path("err"));
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
  }

  static std::string Binary(const std::string& Text) {
    TStringStream In(Text);
    TStringStream Result;
    while (In.Position() < In.Size()) ObjectTextToBinary(&In, &Result);
    return Result.DataString();
  }

  std::string Dir, Out, Err;
};

}  // namespace

TEST_F(VelStream, ToBinaryThenToTextShowsEveryImage) {
  WriteFile(Path("in.txt"), TwoObjects);
  ASSERT_EQ(Run("tobinary '" + Path("in.txt") + "' '" + Path("out.bin") + "'"), 0) << Err;
  EXPECT_EQ(Err, "");
  const std::string Bin = ReadFile(Path("out.bin"));
  EXPECT_EQ(Bin, Binary(TwoObjects));
  EXPECT_EQ(Bin.substr(0, 4), "TPF0");

  EXPECT_EQ(Run("totext '" + Path("out.bin") + "'"), 0) << Err;
  EXPECT_EQ(Out, TwoObjects);
  EXPECT_EQ(Err, "");
}

TEST_F(VelStream, ToTextPrintsCollectionsWithTheirItems) {
  const char* const WithCollections =
      "object Grid1: TGrid\n"
      "  Columns = <\n"
      "    item\n"
      "      Width = 40\n"
      "      Title.Caption = 'Name'\n"
      "      Cells = <\n"
      "        item\n"
      "          Span = 2\n"
      "        end>\n"
      "    end\n"
      "    item [3]\n"
      "    end>\n"
      "  Rows = <>\n"
      "end\n";
  WriteFile(Path("grid.bin"), Binary(WithCollections));
  EXPECT_EQ(Run("totext '" + Path("grid.bin") + "'"), 0) << Err;
  EXPECT_EQ(Out, WithCollections);
  EXPECT_EQ(Err, "");
}

TEST_F(VelStream, ToTextSkipsClipboardPaddingAndStartsAtAnOffset) {
  const std::string First = Binary("object Form1: TForm\nend\n");
  WriteFile(Path("block.bin"), "junk" + First + Binary("object L: TLabel\nend\n") + std::string(16, '\0'));
  EXPECT_EQ(Run("totext '" + Path("block.bin") + "' 4"), 0) << Err;
  EXPECT_EQ(Out, "object Form1: TForm\nend\nobject L: TLabel\nend\n");
  EXPECT_EQ(Run("totext '" + Path("block.bin") + "' '$4'"), 0) << Err;
  EXPECT_EQ(Out, "object Form1: TForm\nend\nobject L: TLabel\nend\n");
  EXPECT_EQ(Run("totext '" + Path("block.bin") + "'"), 1) << "offset 0 starts at the junk";
  EXPECT_NE(Err.find("Invalid stream format"), std::string::npos) << Err;
  EXPECT_EQ(Run("totext '" + Path("block.bin") + "' " + std::to_string(4 + First.size())), 0) << Err;
  EXPECT_EQ(Out, "object L: TLabel\nend\n");
}

TEST_F(VelStream, BadInputGivesAMessageAndExitStatusOne) {
  std::string Damaged = Binary("object Form1: TForm\n  Left = 1\nend\n");
  Damaged[4 + 6 + 6 + 5] = 21;
  WriteFile(Path("damaged.bin"), Damaged);
  WriteFile(Path("truncated.bin"), Damaged.substr(0, 12));
  WriteFile(Path("bad.txt"), "object Form1: TForm\n  Left 1\nend\n");
  WriteFile(Path("bad2.txt"), "object Form1: TForm\nend\nobject Form2: TForm\n  Left = (\nend\n");
  WriteFile(Path("empty.txt"), "");
  WriteFile(Path("blank.txt"), "\n\n");
  struct Case {
    std::string Args;
    const char* Message;
  };
  const Case Cases[] = {
      {"totext '" + Path("damaged.bin") + "'", "EReadError: Unknown value type 21 at offset 21"},
      {"totext '" + Path("truncated.bin") + "'", "EReadError: Unexpected end of stream at offset 12"},
      {"totext '" + Path("missing.bin") + "'", "Cannot open file"},
      {"totext '" + Path("damaged.bin") + "' 1000", "lies beyond the end of the file"},
      {"tobinary '" + Path("bad.txt") + "' '" + Path("never.bin") + "'",
       "EParserError: '=' expected but number 1 found on line 2"},
      {"tobinary '" + Path("bad2.txt") + "' '" + Path("never.bin") + "'",
       "EParserError: ')' expected but end of text found on line 6"},
      {"tobinary '" + Path("empty.txt") + "' '" + Path("never.bin") + "'", "no object in the text"},
      {"tobinary '" + Path("blank.txt") + "' '" + Path("never.bin") + "'",
       "EParserError: 'object' expected but end of text found on line 3"},
      {"tobinary '" + Path("missing.txt") + "' '" + Path("never.bin") + "'", "Cannot open file"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Args);
    EXPECT_EQ(Run(C.Args), 1);
    EXPECT_EQ(Out, "");
    EXPECT_NE(Err.find(C.Message), std::string::npos) << Err;
  }
  EXPECT_FALSE(std::filesystem::exists(Path("never.bin"))) << "no output file from bad text";
}

TEST_F(VelStream, UsageErrorsExitWithTwo) {
  WriteFile(Path("x.bin"), Binary("object A: TA\nend\n"));
  std::string File = "'";
  File += Path("x.bin");
  File += '\'';
  for (const std::string& Args :
       {std::string(), std::string("frobnicate x"), std::string("totext"), std::string("totext a b c"),
        std::string("tobinary only.txt"), "totext " + File + " -4", "totext " + File + " 12abc"}) {
    SCOPED_TRACE(Args);
    EXPECT_EQ(Run(Args), 2);
    EXPECT_NE(Err.find("usage: velstream totext FILE [OFFSET]"), std::string::npos) << Err;
  }
}
