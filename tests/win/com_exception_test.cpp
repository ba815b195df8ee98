// No C++ exception leaves a COM entry: an allocation failure inside the built
// module (its C runtime's malloc answering null, so operator new throws) and
// an exception thrown from the help viewer seam come back as HRESULTs.
#include <gtest/gtest.h>

#include "support/ImportPatch.h"

#include <stdexcept>

#include "platform/ExceptionGuard.h"
#include "platform/HtmlHelp.h"
#include "platform/Text.h"
#include "support/TestAccessory.h"

using testing_support::CreateFrom;
using testing_support::PatchImport;
using testing_support::CTestAccessory;

namespace {

using MallocFn = void*(__cdecl*)(size_t);
MallocFn g_pfnRealMalloc = nullptr;
bool g_bFailNext = false;

// Fails one allocation, then serves again: the exception machinery that
// follows needs memory of its own.
void* __cdecl FailingMalloc(size_t size)
{
    if (g_bFailNext) {
        g_bFailNext = false;
        return nullptr;
    }
    return g_pfnRealMalloc(size);
}


// While alive, the module's next allocation after each Arm() fails.
class COutOfMemory {
public:
    explicit COutOfMemory(HMODULE hModule) : m_hModule(hModule)
    {
        g_pfnRealMalloc = reinterpret_cast<MallocFn>(
            PatchImport(hModule, "msvcrt.dll", "malloc", reinterpret_cast<void*>(FailingMalloc)));
    }
    ~COutOfMemory()
    {
        g_bFailNext = false;
        if (g_pfnRealMalloc)
            PatchImport(m_hModule, "msvcrt.dll", "malloc", reinterpret_cast<void*>(g_pfnRealMalloc));
    }
    bool Active() const { return g_pfnRealMalloc != nullptr; }
    // Says whether the previous allocation failure was used up.
    static bool Arm()
    {
        const bool used = !g_bFailNext;
        g_bFailNext = true;
        return used;
    }

private:
    HMODULE m_hModule;
};

template <class Fn>
Fn ExportOf(const CTestAccessory& accessory, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(accessory.Module().Handle(), name)));
}

TEST(ComExceptions, AnAllocationFailureInsideTheModuleIsOutOfMemoryAtEveryEntry)
{
    CTestAccessory accessory(CreateFrom::BuiltDll);
    ASSERT_HRESULT_SUCCEEDED(accessory.CreateResult());
    auto* pfnRegister = ExportOf<HRESULT(STDAPICALLTYPE*)()>(accessory, "DllRegisterServer");
    auto* pfnUnregister = ExportOf<HRESULT(STDAPICALLTYPE*)()>(accessory, "DllUnregisterServer");
    auto* pfnCanUnload = ExportOf<HRESULT(STDAPICALLTYPE*)()>(accessory, "DllCanUnloadNow");
    ASSERT_TRUE(pfnRegister && pfnUnregister && pfnCanUnload);
    const platform::CBstr options = platform::CBstr::FromAnsi("1");
    auto spPreferences = host::MakeObject<host::CCategoryPreferences>();
    spPreferences->Setup(L"C:\\an accessory folder\\", L"C:\\a data folder of the user\\");

    {
        COutOfMemory oom(accessory.Module().Handle());
        ASSERT_TRUE(oom.Active());
        oom.Arm();
        EXPECT_EQ(pfnRegister(), E_OUTOFMEMORY);
        oom.Arm();
        EXPECT_EQ(pfnUnregister(), E_OUTOFMEMORY);
        oom.Arm();
        EXPECT_EQ(pfnCanUnload(), S_FALSE);
        platform::CComPtr<IClassFactory> spFactory;
        EXPECT_EQ(accessory.Module().GetClassObject(host::CLSID_AccessoryOutput, IID_IClassFactory,
                                                    spFactory.PutVoid()),
                  S_OK) << "the cached factory needs no memory";
        ASSERT_TRUE(spFactory);
        EXPECT_FALSE(oom.Arm()) << "nothing was allocated";
        platform::CComPtr<IUnknown> spObject;
        EXPECT_EQ(spFactory->CreateInstance(nullptr, IID_IUnknown, spObject.PutVoid()), E_OUTOFMEMORY);
        EXPECT_EQ(spObject.Get(), nullptr);

        platform::CBstr xml;
        oom.Arm();
        EXPECT_EQ(accessory.As<IOutputMenu>()->GetMenuXml(xml.Put()), E_OUTOFMEMORY);
        oom.Arm();
        EXPECT_EQ(accessory.As<IOutputMenu>()->OnMenuCommand(options.Get()), E_OUTOFMEMORY);
        oom.Arm();
        EXPECT_EQ(accessory.As<IPackageOptionsUI>()->ShowOptions(), E_OUTOFMEMORY);
        oom.Arm();
        EXPECT_EQ(accessory.As<IOutput>()->Send(), E_OUTOFMEMORY);
        oom.Arm();
        EXPECT_EQ(accessory.As<IComponentWantsCategoryPreferences>()->SetCategoryPreferences(spPreferences.Get()),
                  E_OUTOFMEMORY);
        EXPECT_TRUE(oom.Arm());
    }
    EXPECT_TRUE(accessory.TempFiles().empty()) << "the failed send left no file";

    // With memory back, the very same object and module carry on.
    platform::CBstr xml;
    EXPECT_EQ(accessory.As<IOutputMenu>()->GetMenuXml(xml.Put()), S_OK);
    EXPECT_NE(xml.ToAnsi().find("Send to Word Press"), std::string::npos);
    EXPECT_EQ(pfnCanUnload(), S_FALSE) << "the object is alive";
}

template <class E>
HWND WINAPI ThrowingHelp(HWND, LPCSTR, UINT, DWORD_PTR)
{
    throw E("help viewer");
}

struct CBadAlloc : std::bad_alloc {
    explicit CBadAlloc(const char*) {}
};

TEST(ComExceptions, AnyOtherExceptionIsAFailure)
{
    CTestAccessory accessory;
    ASSERT_HRESULT_SUCCEEDED(accessory.CreateResult());
    const platform::CBstr help = platform::CBstr::FromAnsi("2");
    const platform::HtmlHelpFn pfnOld = platform::SetHtmlHelpHandler(ThrowingHelp<std::runtime_error>);
    EXPECT_EQ(accessory.As<IOutputMenu>()->OnMenuCommand(help.Get()), E_FAIL);
    platform::SetHtmlHelpHandler(ThrowingHelp<CBadAlloc>);
    EXPECT_EQ(accessory.As<IOutputMenu>()->OnMenuCommand(help.Get()), E_OUTOFMEMORY);
    platform::SetHtmlHelpHandler(pfnOld);

    // The guard itself: what is thrown decides the answer, a normal return passes.
    auto guarded = [](int what) -> HRESULT {
        try {
            switch (what) {
            case 0: return S_FALSE;
            case 1: throw std::bad_alloc();
            case 2: throw std::length_error("too long");
            default: throw what;
            }
        }
        WP_CATCH_RETURN()
    };
    EXPECT_EQ(guarded(0), S_FALSE);
    EXPECT_EQ(guarded(1), E_OUTOFMEMORY);
    EXPECT_EQ(guarded(2), E_FAIL);
    EXPECT_EQ(guarded(3), E_FAIL);
}

}  // namespace
