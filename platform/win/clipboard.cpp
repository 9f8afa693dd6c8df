// Global memory blocks and the clipboard of the window system. The
// clipboard keeps the blocks this program put there; when another program
// owns the clipboard (X11), reads go to the backend.
#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_set>

#include "platform/win/window_system_p.h"

namespace platform {

struct HGLOBAL__ {
  std::vector<unsigned char> Data;  // rounded up to a multiple of 16 bytes
  std::size_t Requested = 0;        // what the caller asked for
  int Locks = 0;
};

using namespace detail;

namespace {

std::unordered_set<HGLOBAL>& LiveBlocks() {
  static std::unordered_set<HGLOBAL> Blocks;
  return Blocks;
}

struct TClipboardState {
  int OpenCount = 0;
  bool Changed = false;  // emptied or written during this opening
  std::map<UINT, HGLOBAL> Own;
  std::map<UINT, HGLOBAL> Foreign;  // read from another program, freed on the next opening
};

TClipboardState& Clip() {
  static TClipboardState State;
  return State;
}

void FreeAll(std::map<UINT, HGLOBAL>& Blocks) {
  for (auto& [Format, Mem] : Blocks) GlobalFree(Mem);
  Blocks.clear();
}

HGLOBAL BlockFromBytes(const std::string& Bytes, bool AddNul) {
  HGLOBAL Mem = GlobalAlloc(GHND, Bytes.size() + (AddNul ? 1 : 0));
  std::memcpy(Mem->Data.data(), Bytes.data(), Bytes.size());
  return Mem;
}

bool ForeignActive() {
  // Once this program has emptied or written the open clipboard, its own blocks count.
  return !Clip().Changed && Backend().ClipboardIsForeign();
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, std::size_t Size) {
  auto* Mem = new HGLOBAL__;
  Mem->Requested = Size;
  Mem->Data.assign(std::max<std::size_t>((Size + 15) / 16 * 16, 16), 0);
  LiveBlocks().insert(Mem);
  return Mem;
}

HGLOBAL GlobalFree(HGLOBAL Mem) {
  if (!Mem) return nullptr;
  if (!LiveBlocks().erase(Mem)) return Mem;  // not a block: reported back, as a failure
  delete Mem;
  return nullptr;
}

void* GlobalLock(HGLOBAL Mem) {
  if (!Mem || !LiveBlocks().contains(Mem)) return nullptr;
  ++Mem->Locks;
  return Mem->Data.data();
}

bool GlobalUnlock(HGLOBAL Mem) {
  if (!Mem || !LiveBlocks().contains(Mem) || Mem->Locks == 0) return false;
  return --Mem->Locks > 0;
}

std::size_t GlobalSize(HGLOBAL Mem) {
  if (!Mem || !LiveBlocks().contains(Mem)) return 0;
  return Mem->Data.size();
}

bool OpenClipboard(HWND) {
  auto& C = Clip();
  if (C.OpenCount++ == 0) {
    C.Changed = false;
    FreeAll(C.Foreign);
  }
  return true;
}

bool CloseClipboard() {
  auto& C = Clip();
  if (C.OpenCount == 0) return false;
  if (--C.OpenCount == 0 && C.Changed) Backend().ClipboardOwned();
  return true;
}

bool EmptyClipboard() {
  auto& C = Clip();
  if (C.OpenCount == 0) return false;
  FreeAll(C.Own);
  FreeAll(C.Foreign);
  C.Changed = true;
  return true;
}

HANDLE SetClipboardData(UINT Format, HANDLE Mem) {
  auto& C = Clip();
  if (C.OpenCount == 0 || Format == 0 || !Mem || !LiveBlocks().contains(Mem)) return nullptr;
  if (!C.Changed) {
    // Writing without emptying first still replaces another program's contents.
    if (Backend().ClipboardIsForeign()) FreeAll(C.Own);
    C.Changed = true;
  }
  auto It = C.Own.find(Format);
  if (It != C.Own.end() && It->second != Mem) GlobalFree(It->second);
  C.Own[Format] = Mem;
  return Mem;
}

HANDLE GetClipboardData(UINT Format) {
  auto& C = Clip();
  if (C.OpenCount == 0) return nullptr;
  if (!ForeignActive()) {
    auto It = C.Own.find(Format);
    return It == C.Own.end() ? nullptr : It->second;
  }
  if (auto It = C.Foreign.find(Format); It != C.Foreign.end()) return It->second;
  std::string Bytes;
  if (!Backend().ReadForeignClipboard(Format, Bytes)) return nullptr;
  HGLOBAL Mem = BlockFromBytes(Bytes, Format == CF_TEXT);
  C.Foreign[Format] = Mem;
  return Mem;
}

bool IsClipboardFormatAvailable(UINT Format) {
  if (ForeignActive()) return Backend().ForeignClipboardHas(Format);
  return Clip().Own.contains(Format);
}

std::vector<UINT> OwnClipboardFormats() {
  std::vector<UINT> Formats;
  for (auto& [Format, Mem] : Clip().Own) Formats.push_back(Format);
  return Formats;
}

bool OwnClipboardData(UINT Format, std::string& Data) {
  auto& Own = Clip().Own;
  auto It = Own.find(Format);
  if (It == Own.end()) return false;
  HGLOBAL Mem = It->second;
  std::size_t N = std::min(Mem->Requested, Mem->Data.size());
  if (Format == CF_TEXT) N = std::find(Mem->Data.begin(), Mem->Data.begin() + N, 0) - Mem->Data.begin();
  Data.assign(reinterpret_cast<const char*>(Mem->Data.data()), N);
  return true;
}

namespace detail {

void ResetClipboard() {
  auto& C = Clip();
  FreeAll(C.Own);
  FreeAll(C.Foreign);
  C.OpenCount = 0;
  C.Changed = false;
}

}  // namespace detail

}  // namespace platform
