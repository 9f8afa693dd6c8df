// libFuzzer target for the text-form parser.
//
// Any text may only raise EParserError. Text that parses gives binary images
// that convert back to text, and that text parses to the very same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/rtl/objtext.h"
#include "platform/rtl/stream.h"

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TStringStream In(std::string(reinterpret_cast<const char*>(Data), Size));
  TMemoryStream Binary;
  while (In.Position() < In.Size()) {
    const std::int64_t Before = In.Position();
    try {
      ObjectTextToBinary(&In, &Binary);
    } catch (const EParserError&) {
      if (In.Position() != Before) std::abort();
      break;
    }
    if (In.Position() <= Before) std::abort();
  }
  Binary.SetPosition(0);
  TStringStream Text;
  while (Binary.Position() < Binary.Size()) ObjectBinaryToText(&Binary, &Text);
  Text.SetPosition(0);
  TMemoryStream Again;
  while (Text.Position() < Text.Size()) ObjectTextToBinary(&Text, &Again);
  if (Again.Size() != Binary.Size() ||
      (Binary.Size() > 0 && std::string(reinterpret_cast<char*>(Binary.Memory()), std::size_t(Binary.Size())) !=
                                std::string(reinterpret_cast<char*>(Again.Memory()), std::size_t(Again.Size()))))
    std::abort();
  return 0;
}
