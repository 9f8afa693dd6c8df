// libFuzzer target for the binary component-stream reader.
//
// Every image in the input is converted to text the way velstream does it.
// Damaged input may only raise the reader's own errors (EFilerError and its
// descendants); anything else escaping, a crash, a leak or a sanitizer report
// is a fault. The text of every image that does convert must convert back to
// binary, and one round trip later the text must no longer change.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/rtl/objtext.h"
#include "platform/rtl/stream.h"

using namespace platform;

namespace {

std::string ToText(TStream& In) {
  TStringStream Out;
  ObjectBinaryToText(&In, &Out);
  return Out.DataString();
}

std::string RoundTrip(const std::string& Text) {
  TStringStream TextIn(Text);
  TMemoryStream Binary;
  ObjectTextToBinary(&TextIn, &Binary);
  if (TextIn.Position() != TextIn.Size()) std::abort();
  Binary.SetPosition(0);
  std::string Result = ToText(Binary);
  if (Binary.Position() != Binary.Size()) std::abort();
  return Result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TMemoryStream In;
  if (Size > 0) In.WriteBuffer(Data, std::int64_t(Size));
  In.SetPosition(0);
  while (In.Position() < In.Size()) {
    const std::int64_t Before = In.Position();
    std::string Text;
    try {
      Text = ToText(In);
    } catch (const EFilerError&) {
      if (In.Position() <= Before || In.Position() > In.Size()) std::abort();
      break;
    }
    const std::string Once = RoundTrip(Text);
    if (RoundTrip(Once) != Once) std::abort();
  }
  return 0;
}
