// The demo's scripted session: real X input on the demo window, step by step,
// with the window's image as the X server shows it after each step.
#pragma once

#include <cairo.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "examples/demo/demo_window.h"
#include "examples/demo/x_input.h"

namespace demo {

/// \brief Plays gestures on the shown demo window and waits until the window
/// system has handled them.
class TSessionDriver {
 public:
  /// Shows the window and waits until the X server has put it on the screen.
  explicit TSessionDriver(TDemoWindow& Window);

  /// True when the window is on the X server and XTest can drive it.
  bool Ready() const { return FReady; }
  TDemoWindow& Window() const { return FWindow; }

  /// A point in a control's client coordinates, on the screen.
  static platform::TPoint ScreenOf(const platform::TControl* Control, platform::TPoint Client);
  /// The centre of a control, on the screen.
  static platform::TPoint CentreOf(const platform::TControl* Control);

  void Click(platform::TPoint Screen, bool WithShift = false);
  /// Presses at From, moves to To in Steps equal steps and releases there.
  void Drag(platform::TPoint From, platform::TPoint To, int Steps = 6);
  /// Presses and releases Key, with Modifier held around it when one is given.
  void Stroke(TXKey Key, std::optional<TXKey> Modifier = std::nullopt);
  /// Handles messages for a while (a person would look at the screen meanwhile).
  void Pause(int Milliseconds);

  /// Handles messages until the window system has seen all the input
  /// injected so far; false when it does not within the timeout.
  bool Settle(int TimeoutMs = 5000);
  /// True while every gesture so far has arrived.
  bool AllArrived() const { return FSettled; }

  /// The client area of the form as the X server shows it (the caller destroys it).
  cairo_surface_t* Capture() const;
  /// Writes the shown image as PNG with the mouse pointer drawn in at its position.
  bool SaveScreenshot(const std::string& Path) const;

 private:
  TDemoWindow& FWindow;
  TXInput FInput;
  bool FReady = false;
  platform::TPoint FPointer{-1, -1};
  bool FButtonDown = false;
  bool FSettled = true;
};

/// \brief One step of the session.
struct TSessionStep {
  std::string Id;           ///< short name; the screenshot is NN-Id.png
  std::string Description;  ///< one line saying what the screenshot shows
  std::function<void(TSessionDriver&)> Play;
  std::string Selection;  ///< the selection afterwards, as TDemoWindow::SelectionText gives it
};

/// The session: select a control, Shift-select a second, drag both, resize one
/// from a handle, rubber-band several, align them, delete one. The first step
/// plays nothing and shows the demo as it starts.
std::vector<TSessionStep> DemoSession();

/// Plays the session and writes NN-Id.png for each step and steps.txt (one
/// "file: description" line per step) into OutDir; on a failure, returns false
/// with the reason in Error.
bool RecordSession(TSessionDriver& Driver, const std::string& OutDir, std::string& Error);

}  // namespace demo
