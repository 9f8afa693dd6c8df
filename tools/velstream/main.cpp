// velstream: shows binary component-stream images as text and turns text back into images.
//
//   velstream totext FILE [OFFSET]     prints every image in FILE, from OFFSET on
//   velstream tobinary IN.txt OUT.bin  writes the binary images of every object in IN.txt
//
// Exit status: 0 on success, 1 on unreadable or damaged input, 2 on a usage error.
#include <cstdio>
#include <string>

#include "platform/rtl/objtext.h"
#include "platform/rtl/stream.h"

using namespace platform;

namespace {

int Usage() {
  std::fputs(
      "usage: velstream totext FILE [OFFSET]\n"
      "       velstream tobinary IN.txt OUT.bin\n"
      "totext prints the text form of every image in FILE, starting at OFFSET (decimal,\n"
      "or hexadecimal with $ or 0x); zero bytes after the last image (clipboard padding)\n"
      "are ignored. tobinary writes the binary form of every object in IN.txt to OUT.bin.\n",
      stderr);
  return 2;
}

bool OnlyZerosFrom(TMemoryStream& S, std::int64_t Pos) {
  for (std::int64_t I = Pos; I < S.Size(); ++I)
    if (S.Memory()[I] != 0) return false;
  return true;
}

int ToText(const std::string& FileName, const std::string* OffsetText) {
  TMemoryStream Input;
  Input.LoadFromFile(FileName);
  std::int64_t Offset = 0;
  if (OffsetText != nullptr) {
    if (!TryStrToInt64(*OffsetText, Offset) || Offset < 0) {
      std::fprintf(stderr, "velstream: invalid offset '%s'\n", OffsetText->c_str());
      return Usage();
    }
    if (Offset > Input.Size()) {
      std::fprintf(stderr, "velstream: %s: offset %lld lies beyond the end of the file (%lld bytes)\n",
                   FileName.c_str(), static_cast<long long>(Offset), static_cast<long long>(Input.Size()));
      return 1;
    }
  }
  Input.SetPosition(Offset);
  if (OnlyZerosFrom(Input, Offset)) {
    std::fprintf(stderr, "velstream: %s: no image at offset %lld\n", FileName.c_str(), static_cast<long long>(Offset));
    return 1;
  }
  while (!OnlyZerosFrom(Input, Input.Position())) {
    const std::int64_t At = Input.Position();
    TStringStream Text;
    try {
      ObjectBinaryToText(&Input, &Text);
    } catch (const Exception& E) {
      std::fprintf(stderr, "velstream: %s: image at offset %lld: %s: %s\n", FileName.c_str(),
                   static_cast<long long>(At), E.ClassName(), E.Message().c_str());
      return 1;
    }
    const std::string S = Text.DataString();
    std::fwrite(S.data(), 1, S.size(), stdout);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

int ToBinary(const std::string& InName, const std::string& OutName) {
  TMemoryStream Input;
  Input.LoadFromFile(InName);
  TMemoryStream Output;
  while (Input.Position() < Input.Size()) {
    try {
      ObjectTextToBinary(&Input, &Output);
    } catch (const Exception& E) {
      std::fprintf(stderr, "velstream: %s: %s: %s\n", InName.c_str(), E.ClassName(), E.Message().c_str());
      return 1;
    }
  }
  if (Output.Size() == 0) {
    std::fprintf(stderr, "velstream: %s: no object in the text\n", InName.c_str());
    return 1;
  }
  // The output file is written only once the whole text has converted.
  Output.SaveToFile(OutName);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string Command = argv[1];
  try {
    if (Command == "totext" && (argc == 3 || argc == 4)) {
      const std::string Offset = argc == 4 ? argv[3] : "";
      return ToText(argv[2], argc == 4 ? &Offset : nullptr);
    }
    if (Command == "tobinary" && argc == 4) return ToBinary(argv[2], argv[3]);
  } catch (const Exception& E) {
    std::fprintf(stderr, "velstream: %s\n", E.Message().c_str());
    return 1;
  }
  return Usage();
}
