#pragma once
// The module this code is linked into (the accessory DLL, or a test program
// that links the same library): its instance for resources, its lock count
// and the critical section guarding its class-object cache.
#include <windows.h>

#include <string>

namespace platform {

class CModule {
public:
    // Every resource of the accessory loads from here, never from the host's
    // executable: this is our module's resource context.
    static HINSTANCE ResourceInstance();
    static std::string LoadString(UINT id);
    // The same string as the table holds it, for text drawn or shown in UTF-16.
    static std::wstring LoadWideString(UINT id);
    // Full path of the module file, in any script.
    static std::wstring WideFileName();
    // The same path in the ANSI code page (its short form when the long one
    // does not survive it); empty when it has no such form.
    static std::string FileName();

    static LONG Lock();
    static LONG Unlock();
    static LONG LockCount();
    // IClassFactory::LockServer's locks, counted apart from those of objects
    // and factory references: an unlock that no lock preceded is ignored, so
    // a careless client can neither drive the count below zero nor give away
    // a lock that a live object holds.
    static void LockServer();
    static void UnlockServer();

    // Guards lazily created process-wide state (class factories).
    static CRITICAL_SECTION& Guard();
};

// Loads a library by its full path only, with its own imports taken from its
// folder and the system folder: never from the host's folder, the current
// folder or the PATH, where anyone may have put a file of that name. Null,
// with nothing loaded, for a path that is not fully qualified.
HMODULE LoadLibraryByFullPath(const std::string& path);
// A library of the system folder, by its file name, loaded the same way.
HMODULE LoadSystemLibrary(const char* fileName);

// Scoped module lock: held by every live COM object of ours.
class CModuleLock {
public:
    CModuleLock() { CModule::Lock(); }
    ~CModuleLock() { CModule::Unlock(); }
    CModuleLock(const CModuleLock&) = delete;
    CModuleLock& operator=(const CModuleLock&) = delete;
};

class CCriticalSectionLock {
public:
    explicit CCriticalSectionLock(CRITICAL_SECTION& cs) : m_cs(cs) { ::EnterCriticalSection(&m_cs); }
    ~CCriticalSectionLock() { ::LeaveCriticalSection(&m_cs); }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

private:
    CRITICAL_SECTION& m_cs;
};

}  // namespace platform
