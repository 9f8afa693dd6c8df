// The X11 backend. Platform headers come first: Xlib's macros (None, Bool,
// True, Status) must not reach them.
#include "platform/backend/x11.h"

#include <cairo-xlib.h>
#include <cairo.h>
#include <poll.h>
#include <time.h>

#include <climits>
#include <map>
#include <vector>

#include "platform/rtl/sysutils.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace platform {

namespace {

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

UINT KeySymToVk(KeySym Sym) {
  if (Sym >= XK_a && Sym <= XK_z) return UINT('A' + (Sym - XK_a));
  if (Sym >= XK_A && Sym <= XK_Z) return UINT('A' + (Sym - XK_A));
  if (Sym >= XK_0 && Sym <= XK_9) return UINT('0' + (Sym - XK_0));
  if (Sym >= XK_F1 && Sym <= XK_F12) return UINT(VK_F1 + (Sym - XK_F1));
  switch (Sym) {
    case XK_BackSpace:
      return VK_BACK;
    case XK_Tab:
      return VK_TAB;
    case XK_Return:
    case XK_KP_Enter:
      return VK_RETURN;
    case XK_Shift_L:
    case XK_Shift_R:
      return VK_SHIFT;
    case XK_Control_L:
    case XK_Control_R:
      return VK_CONTROL;
    case XK_Alt_L:
    case XK_Alt_R:
      return VK_MENU;
    case XK_Escape:
      return VK_ESCAPE;
    case XK_space:
      return VK_SPACE;
    case XK_Prior:
      return VK_PRIOR;
    case XK_Next:
      return VK_NEXT;
    case XK_End:
      return VK_END;
    case XK_Home:
      return VK_HOME;
    case XK_Left:
      return VK_LEFT;
    case XK_Up:
      return VK_UP;
    case XK_Right:
      return VK_RIGHT;
    case XK_Down:
      return VK_DOWN;
    case XK_Insert:
      return VK_INSERT;
    case XK_Delete:
      return VK_DELETE;
  }
  return 0;
}

class TX11Backend final : public TBackend {
 public:
  explicit TX11Backend(Display* D) : Dpy(D) {
    Screen = DefaultScreen(Dpy);
    Root = RootWindow(Dpy, Screen);
    ClipWin = XCreateSimpleWindow(Dpy, Root, 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(Dpy, ClipWin, PropertyChangeMask);
    Clipboard = XInternAtom(Dpy, "CLIPBOARD", False);
    Targets = XInternAtom(Dpy, "TARGETS", False);
    Utf8 = XInternAtom(Dpy, "UTF8_STRING", False);
    Text = XInternAtom(Dpy, "TEXT", False);
    Incr = XInternAtom(Dpy, "INCR", False);
    Property = XInternAtom(Dpy, "VELSTUDIO_SELECTION", False);
    WmProtocols = XInternAtom(Dpy, "WM_PROTOCOLS", False);
    WmDelete = XInternAtom(Dpy, "WM_DELETE_WINDOW", False);
    XSync(Dpy, False);
  }

  ~TX11Backend() override {
    for (auto& [Wnd, Top] : Tops) XDestroyWindow(Dpy, Top.Win);
    XDestroyWindow(Dpy, ClipWin);
    XCloseDisplay(Dpy);
  }

  const char* Name() const override { return "x11"; }

  void TopLevelCreated(HWND Wnd, const TRect& B) override {
    XSetWindowAttributes A{};
    A.background_pixmap = None;
    A.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                   KeyPressMask | KeyReleaseMask;
    unsigned W = unsigned(std::max(B.Width(), 1)), H = unsigned(std::max(B.Height(), 1));
    ::Window Win = XCreateWindow(Dpy, Root, B.Left, B.Top, W, H, 0, CopyFromParent, InputOutput, CopyFromParent,
                                 CWBackPixmap | CWEventMask, &A);
    XSizeHints Hints{};
    Hints.flags = USPosition | USSize;
    Hints.x = B.Left;
    Hints.y = B.Top;
    Hints.width = int(W);
    Hints.height = int(H);
    XSetWMNormalHints(Dpy, Win, &Hints);
    XSetWMProtocols(Dpy, Win, &WmDelete, 1);
    Tops[Wnd] = TTop{Win, false, int(W), int(H)};
    ByWin[Win] = Wnd;
    XFlush(Dpy);
  }

  void TopLevelDestroyed(HWND Wnd) override {
    auto It = Tops.find(Wnd);
    if (It == Tops.end()) return;
    ByWin.erase(It->second.Win);
    XDestroyWindow(Dpy, It->second.Win);
    Tops.erase(It);
    XFlush(Dpy);
  }

  void TopLevelShown(HWND Wnd, bool Visible) override {
    if (TTop* T = FindTop(Wnd)) {
      if (Visible)
        XMapRaised(Dpy, T->Win);
      else
        XUnmapWindow(Dpy, T->Win);
      XFlush(Dpy);
    }
  }

  void TopLevelMoved(HWND Wnd, const TRect& B) override {
    if (TTop* T = FindTop(Wnd)) {
      T->W = std::max(B.Width(), 1);
      T->H = std::max(B.Height(), 1);
      XMoveResizeWindow(Dpy, T->Win, B.Left, B.Top, unsigned(T->W), unsigned(T->H));
      XFlush(Dpy);
    }
  }

  void TopLevelTitle(HWND Wnd, std::string_view Title) override {
    if (TTop* T = FindTop(Wnd)) {
      std::string S(Title);
      XStoreName(Dpy, T->Win, S.c_str());
      XFlush(Dpy);
    }
  }

  void Present(HWND Wnd, cairo_surface_t* Image, const TRect& Dirty) override {
    TTop* T = FindTop(Wnd);
    if (!T || !T->Exposed || !Image) return;
    cairo_surface_t* Target = cairo_xlib_surface_create(Dpy, T->Win, DefaultVisual(Dpy, Screen), T->W, T->H);
    cairo_t* Cr = cairo_create(Target);
    cairo_set_operator(Cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(Cr, Image, 0, 0);
    cairo_rectangle(Cr, Dirty.Left, Dirty.Top, Dirty.Width(), Dirty.Height());
    cairo_fill(Cr);
    cairo_destroy(Cr);
    cairo_surface_flush(Target);
    cairo_surface_destroy(Target);
    XFlush(Dpy);
  }

  void PollEvents() override {
    while (XPending(Dpy)) {
      XEvent E;
      XNextEvent(Dpy, &E);
      Handle(E);
    }
  }

  bool WaitEvents(int TimeoutMs) override {
    XFlush(Dpy);
    if (XPending(Dpy)) return true;
    pollfd P{ConnectionNumber(Dpy), POLLIN, 0};
    poll(&P, 1, TimeoutMs);
    return true;
  }

  DWORD TickCount() override {
    timespec T{};
    clock_gettime(CLOCK_MONOTONIC, &T);
    return DWORD(std::uint64_t(T.tv_sec) * 1000 + std::uint64_t(T.tv_nsec) / 1000000);
  }

  void ClipboardOwned() override {
    XSetSelectionOwner(Dpy, Clipboard, ClipWin, CurrentTime);
    XFlush(Dpy);
  }

  bool ClipboardIsForeign() override {
    ::Window Owner = XGetSelectionOwner(Dpy, Clipboard);
    return Owner != None && Owner != ClipWin;
  }

  bool ForeignClipboardHas(UINT Format) override {
    std::string Bytes;
    int ItemFormat = 0;
    if (!Convert(Targets, Bytes, ItemFormat) || ItemFormat != 32) return false;
    auto* Items = reinterpret_cast<const unsigned long*>(Bytes.data());
    std::size_t Count = Bytes.size() / sizeof(unsigned long);
    for (std::size_t I = 0; I < Count; ++I) {
      Atom A = Atom(Items[I]);
      if (Format == CF_TEXT ? (A == Utf8 || A == XA_STRING) : A == FormatAtom(Format)) return true;
    }
    return false;
  }

  bool ReadForeignClipboard(UINT Format, std::string& Data) override {
    Atom Target = Format == CF_TEXT ? Utf8 : FormatAtom(Format);
    int ItemFormat = 0;
    if (Target == None || !Convert(Target, Data, ItemFormat)) return false;
    return ItemFormat == 8;
  }

  bool WaitExposed(HWND Wnd, int TimeoutMs) {
    DWORD Start = TickCount();
    for (;;) {
      PollEvents();
      TTop* T = FindTop(Wnd);
      if (!T) return false;
      if (T->Exposed) return true;
      int Left = TimeoutMs - int(TickCount() - Start);
      if (Left <= 0) return false;
      pollfd P{ConnectionNumber(Dpy), POLLIN, 0};
      poll(&P, 1, std::min(Left, 50));
    }
  }

  cairo_surface_t* Capture(HWND Wnd) {
    TTop* T = FindTop(Wnd);
    if (!T) return nullptr;
    XSync(Dpy, False);
    XImage* Img = XGetImage(Dpy, T->Win, 0, 0, unsigned(T->W), unsigned(T->H), AllPlanes, ZPixmap);
    if (!Img) return nullptr;
    cairo_surface_t* Out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, T->W, T->H);
    cairo_surface_flush(Out);
    unsigned char* Data = cairo_image_surface_get_data(Out);
    int Stride = cairo_image_surface_get_stride(Out);
    for (int Y = 0; Y < T->H; ++Y)
      for (int X = 0; X < T->W; ++X) {
        unsigned long P = XGetPixel(Img, X, Y);
        std::uint32_t R = (P & Img->red_mask) * 255 / Img->red_mask;
        std::uint32_t G = (P & Img->green_mask) * 255 / Img->green_mask;
        std::uint32_t B = (P & Img->blue_mask) * 255 / Img->blue_mask;
        reinterpret_cast<std::uint32_t*>(Data + Y * Stride)[X] = (R << 16) | (G << 8) | B;
      }
    cairo_surface_mark_dirty(Out);
    XDestroyImage(Img);
    return Out;
  }

 private:
  struct TTop {
    ::Window Win = 0;
    bool Exposed = false;
    int W = 1, H = 1;
  };

  TTop* FindTop(HWND Wnd) {
    auto It = Tops.find(Wnd);
    return It == Tops.end() ? nullptr : &It->second;
  }

  HWND FindWnd(::Window Win) {
    auto It = ByWin.find(Win);
    return It == ByWin.end() ? nullptr : It->second;
  }

  Atom FormatAtom(UINT Format) {
    std::string Name = GetClipboardFormatName(Format);
    return Name.empty() ? None : XInternAtom(Dpy, Name.c_str(), False);
  }

  /// The format of ours that an X target asks for, or 0.
  UINT FormatOfTarget(Atom Target) {
    if (Target == Utf8 || Target == XA_STRING || Target == Text) return CF_TEXT;
    char* Name = XGetAtomName(Dpy, Target);
    if (!Name) return 0;
    UINT Found = 0;
    for (UINT F : OwnClipboardFormats())
      if (F != CF_TEXT && SameText(GetClipboardFormatName(F), Name)) Found = F;
    XFree(Name);
    return Found;
  }

  void Handle(XEvent& E) {
    switch (E.type) {
      case Expose:
        if (HWND Wnd = FindWnd(E.xexpose.window)) {
          TTop* T = FindTop(Wnd);
          T->Exposed = true;
          if (E.xexpose.count == 0) {
            cairo_surface_t* Image = GetWindowImage(Wnd);
            Present(Wnd, Image, Rect(0, 0, T->W, T->H));
          }
        }
        break;
      case ConfigureNotify:
        if (HWND Wnd = FindWnd(E.xconfigure.window)) {
          TTop* T = FindTop(Wnd);
          if (E.xconfigure.width != T->W || E.xconfigure.height != T->H) {
            T->W = E.xconfigure.width;
            T->H = E.xconfigure.height;
            TopLevelResizedByBackend(Wnd, T->W, T->H);
          }
        }
        break;
      case ButtonPress:
      case ButtonRelease:
        if (HWND Wnd = FindWnd(E.xbutton.window)) {
          TInputEvent I;
          I.Window = Wnd;
          I.Pos = TPoint{E.xbutton.x, E.xbutton.y};
          I.Time = DWORD(E.xbutton.time);
          bool Down = E.type == ButtonPress;
          if (E.xbutton.button == Button4 || E.xbutton.button == Button5) {
            if (!Down) break;
            I.Kind = TInputKind::Wheel;
            I.WheelDelta = E.xbutton.button == Button4 ? 120 : -120;
          } else {
            I.Kind = Down ? TInputKind::ButtonDown : TInputKind::ButtonUp;
            I.Button = E.xbutton.button == Button1   ? TInputButton::Left
                       : E.xbutton.button == Button3 ? TInputButton::Right
                                                     : TInputButton::Middle;
          }
          PostInputEvent(I);
        }
        break;
      case MotionNotify:
        if (HWND Wnd = FindWnd(E.xmotion.window)) {
          TInputEvent I;
          I.Kind = TInputKind::MouseMove;
          I.Window = Wnd;
          I.Pos = TPoint{E.xmotion.x, E.xmotion.y};
          I.Time = DWORD(E.xmotion.time);
          PostInputEvent(I);
        }
        break;
      case KeyPress:
      case KeyRelease: {
        char Buf[8] = {};
        KeySym Sym = 0;
        int N = XLookupString(&E.xkey, Buf, sizeof Buf - 1, &Sym, nullptr);
        UINT Vk = KeySymToVk(Sym);
        if (!Vk) break;
        TInputEvent I;
        I.Kind = E.type == KeyPress ? TInputKind::KeyDown : TInputKind::KeyUp;
        I.Window = FindWnd(E.xkey.window);
        I.Key = Vk;
        if (E.type == KeyPress && N == 1) I.Char = char32_t(static_cast<unsigned char>(Buf[0]));
        I.Time = DWORD(E.xkey.time);
        PostInputEvent(I);
        break;
      }
      case ClientMessage:
        if (E.xclient.message_type == WmProtocols && Atom(E.xclient.data.l[0]) == WmDelete)
          if (HWND Wnd = FindWnd(E.xclient.window)) PostMessage(Wnd, WM_CLOSE);
        break;
      case SelectionRequest:
        Serve(E.xselectionrequest);
        break;
      default:
        break;
    }
  }

  /// Answers another program's request for our clipboard contents.
  void Serve(const XSelectionRequestEvent& R) {
    XSelectionEvent Reply{};
    Reply.type = SelectionNotify;
    Reply.display = Dpy;
    Reply.requestor = R.requestor;
    Reply.selection = R.selection;
    Reply.target = R.target;
    Reply.time = R.time;
    Reply.property = None;
    Atom Prop = R.property != None ? R.property : R.target;
    if (R.selection == Clipboard && R.owner == ClipWin) {
      if (R.target == Targets) {
        std::vector<Atom> List{Targets};
        for (UINT F : OwnClipboardFormats()) {
          if (F == CF_TEXT) {
            List.push_back(Utf8);
            List.push_back(XA_STRING);
          } else if (Atom A = FormatAtom(F); A != None) {
            List.push_back(A);
          }
        }
        XChangeProperty(Dpy, R.requestor, Prop, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(List.data()), int(List.size()));
        Reply.property = Prop;
      } else if (UINT F = FormatOfTarget(R.target)) {
        std::string Data;
        if (OwnClipboardData(F, Data)) {
          Atom Type = F == CF_TEXT ? (R.target == XA_STRING ? XA_STRING : Utf8) : R.target;
          XChangeProperty(Dpy, R.requestor, Prop, Type, 8, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(Data.data()), int(Data.size()));
          Reply.property = Prop;
        }
      }
    }
    XSendEvent(Dpy, R.requestor, False, 0, reinterpret_cast<XEvent*>(&Reply));
    XFlush(Dpy);
  }

  static Bool IsSelectionNotify(Display*, XEvent* E, XPointer Arg) {
    return E->type == SelectionNotify && E->xselection.requestor == *reinterpret_cast<::Window*>(Arg);
  }

  /// Asks the clipboard's owner for Target and waits (up to a second) for the answer.
  bool Convert(Atom Target, std::string& Data, int& ItemFormat) {
    XDeleteProperty(Dpy, ClipWin, Property);
    XConvertSelection(Dpy, Clipboard, Target, Property, ClipWin, CurrentTime);
    XFlush(Dpy);
    DWORD Start = TickCount();
    XEvent E;
    for (;;) {
      if (XCheckIfEvent(Dpy, &E, IsSelectionNotify, reinterpret_cast<XPointer>(&ClipWin))) break;
      int Left = 1000 - int(TickCount() - Start);
      if (Left <= 0) return false;
      pollfd P{ConnectionNumber(Dpy), POLLIN, 0};
      poll(&P, 1, std::min(Left, 20));
    }
    if (E.xselection.property == None) return false;
    Atom Type = None;
    int Format = 0;
    unsigned long Count = 0, After = 0;
    unsigned char* Bytes = nullptr;
    if (XGetWindowProperty(Dpy, ClipWin, Property, 0, LONG_MAX / 4, True, AnyPropertyType, &Type, &Format, &Count,
                           &After, &Bytes) != Success)
      return false;
    bool Ok = Type != Incr && Bytes;  // incremental transfers are not supported
    if (Ok) {
      std::size_t Unit = Format == 8 ? 1 : Format == 16 ? sizeof(short) : sizeof(long);
      Data.assign(reinterpret_cast<const char*>(Bytes), Count * Unit);
      ItemFormat = Format;
    }
    if (Bytes) XFree(Bytes);
    return Ok;
  }

  Display* Dpy;
  int Screen = 0;
  ::Window Root = 0, ClipWin = 0;
  Atom Clipboard = None, Targets = None, Utf8 = None, Text = None, Incr = None, Property = None;
  Atom WmProtocols = None, WmDelete = None;
  std::map<HWND, TTop> Tops;
  std::map<::Window, HWND> ByWin;
};

TX11Backend* CurrentX11() { return dynamic_cast<TX11Backend*>(CurrentBackend()); }

}  // namespace

std::unique_ptr<TBackend> CreateX11Backend() {
  Display* D = XOpenDisplay(nullptr);
  if (!D) return nullptr;
  // A request about a window that another program has just closed must not end this one.
  XSetErrorHandler(IgnoreXError);
  return std::make_unique<TX11Backend>(D);
}

bool UseX11Backend() {
  if (CurrentX11()) return true;
  auto B = CreateX11Backend();
  if (!B) return false;
  SetBackend(std::move(B));
  return true;
}

bool IsX11Backend() { return CurrentX11() != nullptr; }

bool X11WaitExposed(HWND Top, int TimeoutMs) {
  TX11Backend* B = CurrentX11();
  return B && B->WaitExposed(Top, TimeoutMs);
}

cairo_surface_t* X11CaptureWindow(HWND Top) {
  TX11Backend* B = CurrentX11();
  return B ? B->Capture(Top) : nullptr;
}

}  // namespace platform
