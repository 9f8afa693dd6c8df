// velstudio-demo: an application window whose panel stage is designed at run
// time. With a display it runs for a person; with --script OUTDIR it plays a
// scripted session with real X input and writes a screenshot of each step.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "examples/demo/demo_window.h"
#include "examples/demo/session.h"
#include "platform/backend/x11.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: velstudio-demo              run the demo on the display DISPLAY names\n"
               "       velstudio-demo --script DIR play the scripted session, screenshots into DIR\n");
  return 2;
}

/// Connects to the display; an X server that has just started (Xvfb) may
/// refuse for a moment.
bool ConnectDisplay() {
  for (int Try = 0; Try < 50; ++Try) {
    if (platform::UseX11Backend()) return true;
    struct timespec Wait {
      0, 100 * 1000 * 1000
    };
    nanosleep(&Wait, nullptr);
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::string ScriptDir;
  if (argc == 3 && std::strcmp(argv[1], "--script") == 0)
    ScriptDir = argv[2];
  else if (argc != 1)
    return Usage();

  if (!ConnectDisplay()) {
    std::fprintf(stderr, "velstudio-demo: no X display (DISPLAY is %s); scripts/demo runs it under Xvfb\n",
                 std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "unset");
    return 1;
  }
  int Status = 0;
  {
    demo::TDemoWindow Window;
    if (ScriptDir.empty()) {
      Window.Form()->Show();
      platform::Application()->Run();
    } else {
      // Hints would cover what the screenshots show.
      platform::Application()->SetShowHint(false);
      demo::TSessionDriver Driver(Window);
      std::string Error;
      if (demo::RecordSession(Driver, ScriptDir, Error)) {
        std::printf("velstudio-demo: the session's screenshots are in %s (see steps.txt)\n", ScriptDir.c_str());
      } else {
        std::fprintf(stderr, "velstudio-demo: %s\n", Error.c_str());
        Status = 1;
      }
    }
  }
  platform::DoneApplication();
  return Status;
}
