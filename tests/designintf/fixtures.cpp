#include "designintf/fixtures.h"

namespace fixture {

VEL_IMPLEMENT_CLASS(TFixtureSub, "Fixtures");
VEL_IMPLEMENT_CLASS(TFixture, "Fixtures");
VEL_IMPLEMENT_CLASS(TFixtureChild, "Fixtures");
VEL_IMPLEMENT_CLASS(TOther, "Fixtures");
VEL_IMPLEMENT_CLASS(TFixtureRoot, "Fixtures");

}  // namespace fixture
