// The in-process clipboard and global memory blocks.
#include <cstring>

#include "win/win_fixture.h"

namespace wintest {
namespace {

HGLOBAL BlockOf(const std::string& Bytes) {
  HGLOBAL Mem = GlobalAlloc(GHND, Bytes.size());
  std::memcpy(GlobalLock(Mem), Bytes.data(), Bytes.size());
  GlobalUnlock(Mem);
  return Mem;
}

TEST_F(WinTest, ClipboardHoldsOneBlockPerFormatPaddedToSixteen) {
  UINT Format = RegisterClipboardFormat("VEL Components");
  EXPECT_EQ(RegisterClipboardFormat("VEL Components"), Format);
  EXPECT_GE(Format, 0xC000u);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_TRUE(EmptyClipboard());
  const std::string Image =
      "TPF0\x07TButton\x07"
      "Button1";  // 21 bytes
  ASSERT_NE(SetClipboardData(Format, BlockOf(Image)), nullptr);
  EXPECT_TRUE(CloseClipboard());

  EXPECT_TRUE(IsClipboardFormatAvailable(Format));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE Mem = GetClipboardData(Format);
  ASSERT_NE(Mem, nullptr);
  EXPECT_EQ(GlobalSize(Mem), 32u) << "the block is longer than what was written";
  auto* Bytes = static_cast<const char*>(GlobalLock(Mem));
  EXPECT_EQ(std::string(Bytes, Image.size()), Image);
  EXPECT_EQ(std::string(Bytes + Image.size(), 32 - Image.size()), std::string(32 - Image.size(), '\0'));
  GlobalUnlock(Mem);
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  CloseClipboard();
}

TEST_F(WinTest, ClipboardOpeningIsCounted) {
  EXPECT_FALSE(EmptyClipboard()) << "closed";
  HGLOBAL Spare = BlockOf("x");
  EXPECT_EQ(SetClipboardData(CF_TEXT, Spare), nullptr) << "closed: the caller keeps the block";
  GlobalFree(Spare);
  EXPECT_FALSE(CloseClipboard());
  ASSERT_TRUE(OpenClipboard(nullptr));
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, BlockOf(std::string("hello", 6)));
  EXPECT_TRUE(CloseClipboard());
  EXPECT_NE(GetClipboardData(CF_TEXT), nullptr) << "still open once";
  EXPECT_TRUE(CloseClipboard());
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr) << "closed";
  OpenClipboard(nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT))), "hello");
  GlobalUnlock(GetClipboardData(CF_TEXT));
  EmptyClipboard();
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  CloseClipboard();
}

TEST_F(WinTest, SettingAFormatAgainReplacesItsBlock) {
  UINT Format = RegisterClipboardFormat("VEL.Test.Replace");
  OpenClipboard(nullptr);
  EmptyClipboard();
  SetClipboardData(Format, BlockOf("first"));
  SetClipboardData(CF_TEXT, BlockOf(std::string("text", 5)));
  SetClipboardData(Format, BlockOf("second"));
  CloseClipboard();
  std::string Data;
  ASSERT_TRUE(OwnClipboardData(Format, Data));
  EXPECT_EQ(Data, "second");
  ASSERT_TRUE(OwnClipboardData(CF_TEXT, Data));
  EXPECT_EQ(Data, "text") << "text ends at its NUL";
  EXPECT_EQ(OwnClipboardFormats().size(), 2u);
}

TEST(WinGlobalMemory, BlocksAndBadHandles) {
  HGLOBAL Mem = GlobalAlloc(GHND, 0);
  EXPECT_EQ(GlobalSize(Mem), 16u);
  EXPECT_EQ(GlobalFree(Mem), nullptr);
  EXPECT_EQ(GlobalLock(Mem), nullptr) << "a freed block cannot be locked";
  EXPECT_EQ(GlobalSize(Mem), 0u);
  EXPECT_EQ(GlobalSize(nullptr), 0u);
  HGLOBAL Big = GlobalAlloc(GHND, 33);
  EXPECT_EQ(GlobalSize(Big), 48u);
  GlobalFree(Big);
}

}  // namespace
}  // namespace wintest
