#include "platform/Module.h"

#include "platform/Text.h"
#include "util/PathRules.h"
#include "util/WidePath.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace platform {

namespace {
volatile LONG g_nLockCount = 0;
volatile LONG g_nServerLocks = 0;

struct CGuard {
    CRITICAL_SECTION cs;
    CGuard() { ::InitializeCriticalSection(&cs); }
    ~CGuard() { ::DeleteCriticalSection(&cs); }
};
}  // namespace

HINSTANCE CModule::ResourceInstance()
{
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

std::string CModule::LoadString(UINT id)
{
    // A zero length asks for a pointer into the resource itself, so strings
    // of any length load whole; the table is UTF-16 and the system is ANSI.
    const wchar_t* text = nullptr;
    const int n = ::LoadStringW(ResourceInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? AnsiFromWide(text, n) : std::string();
}

std::wstring CModule::LoadWideString(UINT id)
{
    const wchar_t* text = nullptr;
    const int n = ::LoadStringW(ResourceInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? std::wstring(text, static_cast<std::size_t>(n)) : std::wstring();
}

std::wstring CModule::WideFileName()
{
    return util::ModuleFileName(ResourceInstance());
}

std::string CModule::FileName()
{
    return util::AnsiPathOf(WideFileName());
}

LONG CModule::Lock() { return ::InterlockedIncrement(&g_nLockCount); }
LONG CModule::Unlock() { return ::InterlockedDecrement(&g_nLockCount); }
LONG CModule::LockCount() { return g_nLockCount; }

void CModule::LockServer()
{
    ::InterlockedIncrement(&g_nServerLocks);
    Lock();
}

void CModule::UnlockServer()
{
    // Taken only when there is one to take, also against a racing thread.
    for (LONG n = g_nServerLocks; n > 0; n = g_nServerLocks) {
        if (::InterlockedCompareExchange(&g_nServerLocks, n - 1, n) == n) {
            Unlock();
            return;
        }
    }
}

HMODULE LoadLibraryByFullPath(const std::string& path)
{
    if (!util::IsFullyQualifiedPath(path)) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const char* fileName)
{
    char folder[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return nullptr;
    return LoadLibraryByFullPath(std::string(folder, n) + "\\" + fileName);
}

CRITICAL_SECTION& CModule::Guard()
{
    static CGuard guard;
    return guard.cs;
}

}  // namespace platform
