#include "examples/demo/x_input.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace demo {

namespace {

Display* Dpy(void* D) { return static_cast<Display*>(D); }

KeySym SymOf(TXKey Key) {
  switch (Key) {
    case TXKey::Shift:
      return XK_Shift_L;
    case TXKey::Control:
      return XK_Control_L;
    case TXKey::Delete:
      return XK_Delete;
    case TXKey::Left:
      return XK_Left;
    case TXKey::Right:
      return XK_Right;
    case TXKey::Up:
      return XK_Up;
    case TXKey::Down:
      return XK_Down;
  }
  return XK_Delete;
}

}  // namespace

TXInput::TXInput() {
  Display* D = XOpenDisplay(nullptr);
  if (!D) return;
  int Event = 0, Error = 0, Major = 0, Minor = 0;
  if (!XTestQueryExtension(D, &Event, &Error, &Major, &Minor)) {
    XCloseDisplay(D);
    return;
  }
  FDisplay = D;
}

TXInput::~TXInput() {
  if (FDisplay) XCloseDisplay(Dpy(FDisplay));
}

void TXInput::MoveTo(platform::TPoint Screen) {
  if (!FDisplay) return;
  XTestFakeMotionEvent(Dpy(FDisplay), -1, Screen.X, Screen.Y, CurrentTime);
  XFlush(Dpy(FDisplay));
}

void TXInput::LeftButton(bool Down) {
  if (!FDisplay) return;
  XTestFakeButtonEvent(Dpy(FDisplay), 1, Down ? True : False, CurrentTime);
  XFlush(Dpy(FDisplay));
}

void TXInput::Key(TXKey Key, bool Down) {
  if (!FDisplay) return;
  const KeyCode Code = XKeysymToKeycode(Dpy(FDisplay), SymOf(Key));
  if (Code == 0) return;
  XTestFakeKeyEvent(Dpy(FDisplay), Code, Down ? True : False, CurrentTime);
  XFlush(Dpy(FDisplay));
}

void TXInput::Sync() {
  if (FDisplay) XSync(Dpy(FDisplay), False);
}

}  // namespace demo
