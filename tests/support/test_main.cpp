#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// Fontconfig (2.14) leaks a little of what it allocates while it parses the
// system's font configuration, once per process; that is not ours to fix, so
// the leak checker of the sanitizer builds is told to leave it out. The
// library has no frame pointers, so only its name identifies the allocations.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
