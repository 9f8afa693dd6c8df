#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <typeinfo>

#include "platform/rtl/stream.h"

using namespace platform;

namespace {

class TempDir {
 public:
  TempDir() {
    std::string Tmpl = (std::filesystem::temp_directory_path() / "velstream-XXXXXX").string();
    Path = mkdtemp(Tmpl.data());
  }
  ~TempDir() { std::filesystem::remove_all(Path); }
  std::string File(const char* Name) const { return (std::filesystem::path(Path) / Name).string(); }
  std::string Path;
};

std::string ReadAll(TStream& S) {
  std::string R(std::size_t(S.Size() - S.Position()), '\0');
  if (!R.empty()) S.ReadBuffer(R.data(), std::int64_t(R.size()));
  return R;
}

}  // namespace

TEST(MemoryStream, WritesReadsAndSeeks) {
  TMemoryStream S;
  S.WriteBuffer("hello", 5);
  EXPECT_EQ(S.Size(), 5);
  EXPECT_EQ(S.Position(), 5);
  EXPECT_EQ(S.Seek(1, soBeginning), 1);
  char Buf[8] = {};
  EXPECT_EQ(S.Read(Buf, 8), 4);  // a short read returns what is there
  EXPECT_EQ(std::string(Buf, 4), "ello");
  EXPECT_EQ(S.Read(Buf, 8), 0);
  EXPECT_EQ(S.Seek(-2, soEnd), 3);
  EXPECT_EQ(S.Seek(-1, soCurrent), 2);
  EXPECT_EQ(S.Seek(1, soFromCurrent), 3);
  EXPECT_EQ(S.Seek(0, soFromBeginning), 0);
  EXPECT_EQ(S.Seek(0, soFromEnd), 5);
  EXPECT_THROW(S.Seek(-6, soEnd), EStreamError);
  EXPECT_THROW(S.Seek(INT64_MAX, soEnd), EStreamError);
  EXPECT_EQ(S.Position(), 5) << "a failed seek keeps the position";
  // Far beyond the end nothing can be written.
  S.Seek(INT64_MAX - 2, soBeginning);
  EXPECT_EQ(S.Write("abc", 3), 0);
  EXPECT_THROW(S.WriteBuffer("abc", 3), EWriteError);
  EXPECT_EQ(S.Size(), 5);
}

TEST(MemoryStream, WritingPastTheEndFillsTheGapWithZeros) {
  TMemoryStream S;
  S.WriteBuffer("ab", 2);
  S.SetPosition(5);
  S.WriteBuffer("c", 1);
  ASSERT_EQ(S.Size(), 6);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(S.Memory()), 6), std::string("ab\0\0\0c", 6));
}

TEST(MemoryStream, SetSizeClearAndLoadSave) {
  TMemoryStream S;
  S.WriteBuffer("abcdef", 6);
  S.SetSize(3);
  EXPECT_EQ(S.Size(), 3);
  EXPECT_EQ(S.Position(), 3) << "the position follows a shrinking size";
  S.SetSize(4);
  EXPECT_EQ(S.Memory()[3], 0);
  EXPECT_THROW(S.SetSize(-1), EStreamError);

  TMemoryStream Copy;
  Copy.WriteBuffer("old contents", 12);
  S.SetPosition(2);
  Copy.LoadFromStream(&S);
  EXPECT_EQ(Copy.Size(), 4);
  EXPECT_EQ(Copy.Position(), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(Copy.Memory()), 3), "abc");

  TMemoryStream Target;
  Copy.SaveToStream(&Target);
  EXPECT_EQ(Target.Size(), 4);

  S.Clear();
  EXPECT_EQ(S.Size(), 0);
  EXPECT_EQ(S.Position(), 0);
}

TEST(MemoryStream, ReadBufferAndWriteBufferInsistOnTheWholeCount) {
  TMemoryStream S;
  S.WriteBuffer("abc", 3);
  S.SetPosition(1);
  char Buf[4];
  try {
    S.ReadBuffer(Buf, 3);
    FAIL() << "a short read must raise";
  } catch (const EReadError& E) {
    EXPECT_EQ(typeid(E), typeid(EReadError));
    EXPECT_EQ(E.Message(), "Stream read error");
  }

  // A stream that takes fewer bytes than offered.
  class TFullStream : public TMemoryStream {
   public:
    std::int64_t Write(const void* Buffer, std::int64_t Count) override {
      return TMemoryStream::Write(Buffer, std::min<std::int64_t>(Count, 2));
    }
  } Full;
  try {
    Full.WriteBuffer("abc", 3);
    FAIL() << "a short write must raise";
  } catch (const EWriteError& E) {
    EXPECT_EQ(typeid(E), typeid(EWriteError));
    EXPECT_EQ(E.Message(), "Stream write error");
  }
}

TEST(MemoryStream, CopyFrom) {
  TStringStream Source("0123456789");
  TMemoryStream Dest;
  Source.SetPosition(3);
  EXPECT_EQ(Dest.CopyFrom(&Source, 4), 4);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(Dest.Memory()), 4), "3456");
  EXPECT_EQ(Source.Position(), 7);
  // Count 0 copies the whole source from its beginning.
  EXPECT_EQ(Dest.CopyFrom(&Source, 0), 10);
  EXPECT_EQ(Dest.Size(), 14);
  Source.SetPosition(8);
  EXPECT_THROW(Dest.CopyFrom(&Source, 5), EReadError);
}

TEST(StringStream, DataStringAndReadString) {
  TStringStream S("abc");
  EXPECT_EQ(S.Position(), 0);
  EXPECT_EQ(S.ReadString(2), "ab");
  EXPECT_EQ(S.ReadString(10), "c");
  EXPECT_EQ(S.ReadString(10), "");
  S.WriteString("de");
  EXPECT_EQ(S.DataString(), "abcde");
}

TEST(FileStream, CreateWriteReopenAndRead) {
  TempDir Dir;
  const std::string Name = Dir.File("data.bin");
  {
    TFileStream F(Name, fmCreate);
    EXPECT_EQ(F.FileName(), Name);
    F.WriteBuffer("hello world", 11);
    EXPECT_EQ(F.Size(), 11);
    F.SetSize(5);
    EXPECT_EQ(F.Size(), 5);
    EXPECT_EQ(F.Position(), 5);
  }
  {
    TFileStream F(Name, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(ReadAll(F), "hello");
    char C;
    EXPECT_EQ(F.Read(&C, 1), 0);
    EXPECT_THROW(F.ReadBuffer(&C, 1), EReadError);
    EXPECT_THROW(F.WriteBuffer("x", 1), EWriteError) << "a file opened for reading takes no bytes";
  }
  {
    TFileStream F(Name, fmOpenReadWrite);
    F.Seek(0, soEnd);
    F.WriteBuffer("!", 1);
  }
  {
    TFileStream F(Name, fmCreate);  // empties an existing file
    EXPECT_EQ(F.Size(), 0);
  }
}

TEST(FileStream, OpenAndCreateErrorsNameTheFileAndTheReason) {
  TempDir Dir;
  struct Case {
    std::string Name;
    unsigned Mode;
    bool Create;
    const char* Reason;
  };
  const Case Cases[] = {
      {Dir.File("missing.bin"), fmOpenRead, false, "No such file or directory"},
      {Dir.File("missing.bin"), fmOpenReadWrite, false, "No such file or directory"},
      {Dir.Path, fmOpenRead, false, "Is a directory"},
      {Dir.File("no/such/dir.bin"), fmCreate, true, "No such file or directory"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    try {
      TFileStream F(C.Name, C.Mode);
      ADD_FAILURE() << "opened";
    } catch (const EStreamError& E) {
      const std::string Verb = C.Create ? "Cannot create file \"" : "Cannot open file \"";
      EXPECT_EQ(typeid(E), C.Create ? typeid(EFCreateError) : typeid(EFOpenError));
      EXPECT_EQ(E.Message(), Verb + C.Name + "\". " + C.Reason);
    }
  }
}

TEST(FileStream, MemoryStreamSavesToAndLoadsFromFiles) {
  TempDir Dir;
  TStringStream S(std::string("a\0b\xff", 4));
  S.SaveToFile(Dir.File("x.bin"));
  std::ifstream In(Dir.File("x.bin"), std::ios::binary);
  std::string OnDisk((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  EXPECT_EQ(OnDisk, std::string("a\0b\xff", 4));
  TMemoryStream M;
  M.LoadFromFile(Dir.File("x.bin"));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(M.Memory()), std::size_t(M.Size())), OnDisk);
  EXPECT_THROW(M.LoadFromFile(Dir.File("none.bin")), EFOpenError);
  EXPECT_EQ(M.Size(), 4) << "a failed load keeps the contents";
}
