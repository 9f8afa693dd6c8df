// The display text of components.
#include "translation/trans_utils.h"

#include <gtest/gtest.h>

#include "translation/VelTransUtils.h"

using namespace platform;
using namespace vel;

namespace {

TEST(TransUtils, AComponentIsShownUnderItsName) {
  TComponent Root(nullptr);
  Root.SetName("Form1");
  auto* Named = new TComponent(&Root);
  Named->SetName("Button1");
  auto* Unnamed = new TComponent(&Root);
  TComponent Elsewhere(nullptr);
  Elsewhere.SetName("Other1");
  const struct {
    const TComponent* Comp;
    const TComponent* Root;
    const char* Expected;
  } Cases[] = {
      {Named, &Root, "Button1"}, {Named, nullptr, "Button1"}, {&Elsewhere, &Root, "Other1"},
      {Unnamed, &Root, ""},      {&Root, &Root, "Form1"},     {nullptr, &Root, ""},
  };
  for (const auto& C : Cases) EXPECT_EQ(GetCompTransedName(C.Comp, C.Root), C.Expected);
}

}  // namespace
