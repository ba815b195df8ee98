#pragma once
// Tests that watch or break what a loaded module calls point one of its
// imports elsewhere.
#include <windows.h>

namespace testing_support {

// Points one import (by name) of a loaded module elsewhere; returns the old
// target, or null when the module does not import it.
void* PatchImport(HMODULE hModule, const char* dll, const char* function, void* replacement);

}  // namespace testing_support
