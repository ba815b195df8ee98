#pragma once
// Our DLLs carry their own copy of the compiler's POSIX thread runtime
// (winpthreads, linked statically: a plug-in cannot count on its DLL). That
// runtime keeps a record, with a duplicated thread handle and an event, for
// every thread that enters it, and lets go of it only when the thread ends.
// A host thread that loads and frees one of our DLLs lives on, so each load
// would leave two handles behind: on x86 the unwinder's registration at load
// is enough, on x64 any lock or guarded static the thread passed through.
// The publishing library is loaded and freed for every post, so a long host
// session would pile them up. The runtime's own thread-detach callback
// releases the record; a DLL calls this from DllMain when it is being freed
// (not when the process ends), on the freeing thread, the one that has it.
#include <windows.h>

// The runtime's thread-local-storage callback, kept in .CRT$XLF.
extern "C" const PIMAGE_TLS_CALLBACK __xl_f;

namespace platform {

inline void ReleaseThreadRuntimeRecord(HINSTANCE hInstance, DWORD dwReason, LPVOID pReserved) noexcept
{
    if (dwReason == DLL_PROCESS_DETACH && pReserved == nullptr && __xl_f)
        __xl_f(hInstance, DLL_THREAD_DETACH, nullptr);
}

}  // namespace platform
