// Entry point of the Windows test programs: one single-threaded apartment
// like the host's, and an explicit exit so no lingering thread keeps the
// process alive under Wine.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "support/PrefixLeftovers.h"

int main(int argc, char** argv)
{
    ::OleInitialize(nullptr);
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    testing_support::ClearLeftoversOfKilledTests();
    const int rc = RUN_ALL_TESTS();
    std::fflush(stdout);
    std::fflush(stderr);
    ::ExitProcess(static_cast<UINT>(rc));
}
