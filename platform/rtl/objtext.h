// Conversion between the binary component-stream form and its text form:
//
//   object Button1: TButton
//     Left = 10
//     Caption = 'OK'#13#10'then'
//     Font.Style = [fsBold, fsItalic]
//     Items.Strings = (
//       'one'
//       'two')
//     Columns = <
//       item
//         Width = 40
//       end>
//     Data = {
//       0A0B0C}
//     object Child1: TChild
//     end
//   end
//
// Both work on the values alone, with no knowledge of the classes named in
// the image. Each call converts one image and leaves the input just after it,
// so consecutive images convert one call at a time.
#pragma once

#include "platform/rtl/sysutils.h"

namespace platform {

class TStream;

/// A syntax error in the text form; the message names the line.
VEL_DECLARE_EXCEPTION(EParserError, Exception);

/// Reads one binary image at Input's position and appends its text form to
/// Output. Damaged input raises EReadError and writes nothing to Output; the
/// input is then left after the bytes that were consumed.
void ObjectBinaryToText(TStream* Input, TStream* Output);

/// Reads one object in the text form at Input's position and appends its
/// binary image to Output; Input is left after the object's final "end" and
/// the blanks that follow it. Bad syntax raises EParserError naming the line,
/// writes nothing to Output and leaves Input where it was.
void ObjectTextToBinary(TStream* Input, TStream* Output);

}  // namespace platform
