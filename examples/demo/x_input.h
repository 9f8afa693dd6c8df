// Real input on the X server through the XTest extension: the pointer moves
// and the buttons and keys go down and up as if a person used them. Xlib
// stays inside x_input.cpp.
#pragma once

#include "platform/rtl/types.h"

namespace demo {

/// The keys a scripted session presses.
enum class TXKey { Shift, Control, Delete, Left, Right, Up, Down };

/// \brief A second connection to the display that injects input with XTest.
class TXInput {
 public:
  /// Connects to the display DISPLAY names; Ok() tells whether XTest is there.
  TXInput();
  ~TXInput();
  TXInput(const TXInput&) = delete;
  TXInput& operator=(const TXInput&) = delete;

  bool Ok() const { return FDisplay != nullptr; }
  /// Moves the pointer to a point of the screen.
  void MoveTo(platform::TPoint Screen);
  /// Presses or releases the left button.
  void LeftButton(bool Down);
  void Key(TXKey Key, bool Down);
  /// Waits until the server has handled everything injected so far.
  void Sync();

 private:
  void* FDisplay = nullptr;
};

}  // namespace demo
