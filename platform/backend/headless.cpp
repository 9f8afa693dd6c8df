#include "platform/backend/headless.h"

#include <cstdlib>
#include <string_view>

#include "platform/backend/x11.h"

namespace platform {

THeadlessBackend& UseHeadlessBackend() {
  if (THeadlessBackend* Current = HeadlessBackend()) return *Current;
  auto Made = std::make_unique<THeadlessBackend>();
  THeadlessBackend& Ref = *Made;
  SetBackend(std::move(Made));
  return Ref;
}

THeadlessBackend* HeadlessBackend() { return dynamic_cast<THeadlessBackend*>(CurrentBackend()); }

std::unique_ptr<TBackend> CreateDefaultBackend() {
  const char* Choice = std::getenv("VELSTUDIO_BACKEND");
  std::string_view Wanted = Choice ? Choice : "";
  if (Wanted != "headless" && (Wanted == "x11" || std::getenv("DISPLAY")))
    if (auto X = CreateX11Backend()) return X;
  return std::make_unique<THeadlessBackend>();
}

}  // namespace platform
