// Self-registration, type library and class creation through COM itself.
#include <gtest/gtest.h>

#include <optional>

#include "module/Registrar.h"
#include "module/Registration.h"
#include "orlimo.h"
#include "platform/ComPtr.h"
#include "platform/Text.h"
#include "platform/UniqueHandle.h"
#include "support/PrefixLeftovers.h"
#include "support/TestAccessory.h"

using testing_support::CTestFolder;

namespace {

using testing_support::kAppId;
using testing_support::kLibId;
using testing_support::kOutputClsid;
using testing_support::kPackageClsid;
// The scripts write the class ids with these lower-case groups.
const char kOutputClsidScripted[] = "{8EDC92CE-621C-444d-B363-4A494D7B6549}";
const char kPackageClsidScripted[] = "{D08718E7-A06C-4ddf-9EB3-117569B94415}";
const GUID kLibGuid = {0x3EC0485E, 0x2819, 0x482A, {0xA8, 0x79, 0xED, 0x90, 0x3F, 0xEB, 0x30, 0x78}};

bool KeyExists(const std::string& path)
{
    platform::CRegKey key;
    return ::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

// A string value under HKCR; name empty for the default value.
std::optional<std::string> Value(const std::string& path, const char* name = "")
{
    platform::CRegKey key;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
        return std::nullopt;
    char data[1024] = {};
    DWORD size = sizeof data, type = 0;
    if (::RegQueryValueExA(key.Get(), *name ? name : nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    return std::string(data);
}

DWORD RunRegsvr32(const std::string& arguments)
{
    std::string command = "regsvr32.exe " + arguments;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0xFFFFFFFF;
    ::WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 0xFFFFFFFF;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return code;
}

// A private copy of the module, registered for the test and removed after.
class CRegisteredModule {
public:
    CRegisteredModule()
    {
        // A registration left by a killed run would answer for this one.
        testing_support::ClearRegistrations();
        m_strPath = m_folder.Path() + "WordPress.dll";
        ::CopyFileA((testing_support::BuiltAccessoryFolder() + "WordPress.dll").c_str(), m_strPath.c_str(), FALSE);
    }
    ~CRegisteredModule() { RunRegsvr32("/s /u \"" + m_strPath + "\""); }
    DWORD Register() { return RunRegsvr32("/s \"" + m_strPath + "\""); }
    DWORD Unregister() { return RunRegsvr32("/s /u \"" + m_strPath + "\""); }
    const std::string& Path() const { return m_strPath; }

private:
    CTestFolder m_folder{"reg"};
    std::string m_strPath;
};

void ExpectClassRegistered(const char* clsid, const char* scripted, const std::string& progId, const std::string& description,
                           const std::string& modulePath)
{
    const std::string versioned = progId + ".1";
    EXPECT_EQ(Value(versioned), description);
    EXPECT_EQ(Value(versioned + "\\CLSID"), scripted);
    EXPECT_EQ(Value(progId), description);
    EXPECT_EQ(Value(progId + "\\CLSID"), scripted);
    EXPECT_EQ(Value(progId + "\\CurVer"), versioned);

    const std::string key = std::string("CLSID\\") + clsid;
    EXPECT_EQ(Value(key), description);
    EXPECT_EQ(Value(key, "AppID"), kAppId);
    EXPECT_EQ(Value(key + "\\ProgID"), versioned);
    EXPECT_EQ(Value(key + "\\VersionIndependentProgID"), progId);
    EXPECT_EQ(Value(key + "\\InprocServer32"), modulePath);
    EXPECT_EQ(Value(key + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(Value(key + "\\TypeLib"), kLibId);
}

void ExpectNothingOfOursRegistered()
{
    for (const char* key : {"WordPress.WordPressOutput.1", "WordPress.WordPressOutput", "WordPress.Package.1",
                            "WordPress.Package", "AppID\\WordPress.DLL"})
        EXPECT_FALSE(KeyExists(key)) << key;
    EXPECT_FALSE(KeyExists(std::string("CLSID\\") + kOutputClsid));
    EXPECT_FALSE(KeyExists(std::string("CLSID\\") + kPackageClsid));
    EXPECT_FALSE(KeyExists(std::string("AppID\\") + kAppId));
    EXPECT_TRUE(KeyExists("CLSID"));
    EXPECT_TRUE(KeyExists("AppID"));
}

TEST(Registration, Regsvr32WritesEveryKeyAndRemovesThemAgain)
{
    CRegisteredModule module;
    ASSERT_EQ(module.Register(), 0u);
    ExpectClassRegistered(kOutputClsid, kOutputClsidScripted, "WordPress.WordPressOutput", "WordPressOutput Class", module.Path());
    ExpectClassRegistered(kPackageClsid, kPackageClsidScripted, "WordPress.Package", "Package Class", module.Path());
    EXPECT_EQ(Value(std::string("AppID\\") + kAppId), "WordPress");
    EXPECT_EQ(Value("AppID\\WordPress.DLL", "AppID"), kAppId);

    // A second registration rewrites each class key from scratch.
    const std::string classKey = std::string("CLSID\\") + kOutputClsid;
    platform::CRegKey key;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CLASSES_ROOT, classKey.c_str(), 0, KEY_WRITE, key.Put()), ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExA(key.Get(), "Stray", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_SUCCESS);
    ASSERT_EQ(::RegCreateKeyA(key.Get(), "StraySub", platform::CRegKey().Put()), ERROR_SUCCESS);
    key.Reset();
    ASSERT_EQ(module.Register(), 0u);
    EXPECT_FALSE(Value(classKey, "Stray").has_value());
    EXPECT_FALSE(KeyExists(classKey + "\\StraySub"));
    ExpectClassRegistered(kOutputClsid, kOutputClsidScripted, "WordPress.WordPressOutput", "WordPressOutput Class", module.Path());

    ASSERT_EQ(module.Unregister(), 0u);
    ExpectNothingOfOursRegistered();
    platform::CComPtr<ITypeLib> spTypeLib;
    EXPECT_TRUE(FAILED(::LoadRegTypeLib(kLibGuid, 1, 0, 0x0409, spTypeLib.Put())));
}

TEST(Registration, TypeLibraryListsBothClassesWithTheirInterfaces)
{
    CRegisteredModule module;
    ASSERT_EQ(module.Register(), 0u);
    platform::CComPtr<ITypeLib> spTypeLib;
    ASSERT_EQ(::LoadRegTypeLib(kLibGuid, 1, 0, 0x0409, spTypeLib.Put()), S_OK);

    TLIBATTR* attr = nullptr;
    ASSERT_EQ(spTypeLib->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    EXPECT_EQ(attr->lcid, 0x0409u);
    // The x86 build's library is for 32-bit Windows, the x64 build's for 64-bit.
    EXPECT_EQ(attr->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    spTypeLib->ReleaseTLibAttr(attr);

    platform::CBstr name, doc;
    ASSERT_EQ(spTypeLib->GetDocumentation(-1, name.Put(), doc.Put(), nullptr, nullptr), S_OK);
    EXPECT_EQ(name.ToAnsi(), "WordPressLib");
    EXPECT_EQ(doc.ToAnsi(), "WordPress 1.0 Type Library");

    struct CExpected {
        GUID clsid;
        const char* help;
        std::vector<std::string> interfaces;  // the default one first
    };
    const CExpected classes[] = {
        {{0xD08718E7, 0xA06C, 0x4DDF, {0x9E, 0xB3, 0x11, 0x75, 0x69, 0xB9, 0x44, 0x15}}, "Package Class", {"IPackageSetup"}},
        {{0x8EDC92CE, 0x621C, 0x444D, {0xB3, 0x63, 0x4A, 0x49, 0x4D, 0x7B, 0x65, 0x49}},
         "WordPressOutput Class",
         {"IComponentInitialize", "IComponentWantsCategoryPreferences", "IOutput", "IOutputMenu",
          "IPackageOptionsUI"}},
    };
    for (const CExpected& c : classes) {
        platform::CComPtr<ITypeInfo> spInfo;
        ASSERT_EQ(spTypeLib->GetTypeInfoOfGuid(c.clsid, spInfo.Put()), S_OK) << c.help;
        TYPEATTR* type = nullptr;
        ASSERT_EQ(spInfo->GetTypeAttr(&type), S_OK);
        EXPECT_EQ(type->typekind, TKIND_COCLASS);
        ASSERT_EQ(type->cImplTypes, c.interfaces.size()) << c.help;
        for (UINT i = 0; i < type->cImplTypes; ++i) {
            HREFTYPE ref = 0;
            INT flags = 0;
            ASSERT_EQ(spInfo->GetRefTypeOfImplType(i, &ref), S_OK);
            spInfo->GetImplTypeFlags(i, &flags);
            platform::CComPtr<ITypeInfo> spItf;
            ASSERT_EQ(spInfo->GetRefTypeInfo(ref, spItf.Put()), S_OK);
            platform::CBstr itfName;
            spItf->GetDocumentation(MEMBERID_NIL, itfName.Put(), nullptr, nullptr, nullptr);
            EXPECT_EQ(itfName.ToAnsi(), c.interfaces[i]);
            EXPECT_EQ((flags & IMPLTYPEFLAG_FDEFAULT) != 0, i == 0) << c.interfaces[i];
        }
        spInfo->ReleaseTypeAttr(type);
        platform::CBstr help;
        spInfo->GetDocumentation(MEMBERID_NIL, nullptr, help.Put(), nullptr, nullptr);
        EXPECT_EQ(help.ToAnsi(), c.help);
    }
}

TEST(Registration, ComCreatesTheAccessoryByProgIdAndClassId)
{
    CRegisteredModule module;
    ASSERT_EQ(module.Register(), 0u);
    CLSID clsid{};
    ASSERT_EQ(::CLSIDFromProgID(L"WordPress.WordPressOutput", &clsid), S_OK);
    CLSID versioned{};
    ASSERT_EQ(::CLSIDFromProgID(L"WordPress.WordPressOutput.1", &versioned), S_OK);
    EXPECT_TRUE(InlineIsEqualGUID(clsid, versioned));

    platform::CComPtr<IOutputMenu> spMenu;
    ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IOutputMenu), spMenu.PutVoid()), S_OK);
    platform::CBstr xml;
    ASSERT_EQ(spMenu->GetMenuXml(xml.Put()), S_OK);
    EXPECT_EQ(xml.ToAnsi().compare(0, 6, "<menu>"), 0);

    CLSID package{};
    ASSERT_EQ(::CLSIDFromProgID(L"WordPress.Package", &package), S_OK);
    platform::CComPtr<IPackageSetup> spSetup;
    ASSERT_EQ(::CoCreateInstance(package, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IPackageSetup), spSetup.PutVoid()),
              S_OK);
    EXPECT_EQ(spSetup->Install(), E_NOTIMPL);
    EXPECT_EQ(spSetup->Uninstall(), E_NOTIMPL);
    EXPECT_EQ(spSetup->SetOption(3), E_NOTIMPL);
}

// An outer object that aggregates the accessory and counts its own references.
class COuter : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        if (InlineIsEqualGUID(iid, IID_IUnknown)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        return m_pInner ? m_pInner->QueryInterface(iid, ppv) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_nRef; }
    STDMETHODIMP_(ULONG) Release() override { return --m_nRef; }
    ULONG m_nRef = 1;
    IUnknown* m_pInner = nullptr;
};

TEST(Registration, AggregatedAccessoryDelegatesToTheOuterObject)
{
    CRegisteredModule module;
    ASSERT_EQ(module.Register(), 0u);
    const CLSID clsid = {0x8EDC92CE, 0x621C, 0x444D, {0xB3, 0x63, 0x4A, 0x49, 0x4D, 0x7B, 0x65, 0x49}};

    COuter outer;
    platform::CComPtr<IOutputMenu> spWrong;
    EXPECT_EQ(::CoCreateInstance(clsid, &outer, CLSCTX_INPROC_SERVER, __uuidof(IOutputMenu), spWrong.PutVoid()),
              CLASS_E_NOAGGREGATION);

    ASSERT_EQ(::CoCreateInstance(clsid, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                 reinterpret_cast<void**>(&outer.m_pInner)),
              S_OK);
    // The inner IUnknown answers for itself.
    IUnknown* pInnerAgain = nullptr;
    ASSERT_EQ(outer.m_pInner->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&pInnerAgain)), S_OK);
    EXPECT_EQ(pInnerAgain, outer.m_pInner);
    pInnerAgain->Release();

    const ULONG before = outer.m_nRef;
    IOutputMenu* pMenu = nullptr;
    ASSERT_EQ(outer.QueryInterface(__uuidof(IOutputMenu), reinterpret_cast<void**>(&pMenu)), S_OK);
    EXPECT_EQ(outer.m_nRef, before + 1) << "AddRef of an inner interface goes to the outer object";
    IUnknown* pIdentity = nullptr;
    ASSERT_EQ(pMenu->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&pIdentity)), S_OK);
    EXPECT_EQ(pIdentity, static_cast<IUnknown*>(&outer)) << "identity is the outer object's";
    pIdentity->Release();
    platform::CBstr xml;
    EXPECT_EQ(pMenu->GetMenuXml(xml.Put()), S_OK);
    pMenu->Release();
    EXPECT_EQ(outer.m_nRef, before);

    EXPECT_EQ(outer.m_pInner->Release(), 0u);
}

TEST(Registration, LocaleIsRestoredAndMalformedScriptWritesNothing)
{
    class CScripts final : public module::IScriptSource {
    public:
        bool LoadScript(UINT id, std::string& script) override
        {
            if (id == 102) {
                script = "HKCR { WordPress.WordPressOutput.1 = s 'broken ";
                return true;
            }
            return m_real.LoadScript(id, script);
        }
        module::CResourceScripts m_real;
    } scripts;

    ::SetThreadLocale(0x0407);
    EXPECT_EQ(module::RegisterServer(scripts), module::WP_E_BAD_REGISTRY_SCRIPT);
    EXPECT_EQ(::GetThreadLocale(), 0x0407u);
    ExpectNothingOfOursRegistered();
    EXPECT_EQ(module::UnregisterServer(scripts), module::WP_E_BAD_REGISTRY_SCRIPT);
    EXPECT_EQ(::GetThreadLocale(), 0x0407u);
    ::SetThreadLocale(LOCALE_USER_DEFAULT);
}

}  // namespace

#include "module/ClassTable.h"
#include "publish/PublishLibrary.h"

namespace {

TEST(ModuleUnload, LeftoverPublishingLibraryIsFreedBeforeUnloading)
{
    testing_support::CTestFolder folder;
    const std::string library = folder.Path() + "QTVPublish.dll";
    ::CopyFileA((testing_support::StandInLibraryFolder() + "QTVPublish.dll").c_str(), library.c_str(), FALSE);
    ASSERT_EQ(platform::CModule::LockCount(), 0);
    ASSERT_TRUE(publish::LoadPublishLibrary(library));

    platform::CModule::Lock();  // a live object of ours
    EXPECT_EQ(module::CanUnloadNow(), S_FALSE);
    EXPECT_NE(::GetModuleHandleA(library.c_str()), nullptr) << "still needed while objects live";
    platform::CModule::Unlock();

    EXPECT_EQ(module::CanUnloadNow(), S_OK);
    EXPECT_EQ(publish::g_hPublishLibrary, nullptr);
    EXPECT_EQ(::GetModuleHandleA(library.c_str()), nullptr);
}

TEST(ModuleUnload, LibraryWithoutBothExportsIsNotLoaded)
{
    testing_support::CTestFolder folder;
    // The accessory itself is a library without the publishing exports.
    const std::string impostor = folder.Path() + "QTVPublish.dll";
    ::CopyFileA((testing_support::BuiltAccessoryFolder() + "WordPress.dll").c_str(), impostor.c_str(), FALSE);
    EXPECT_FALSE(publish::LoadPublishLibrary(impostor));
    EXPECT_EQ(publish::g_hPublishLibrary, nullptr);
    EXPECT_EQ(::GetModuleHandleA(impostor.c_str()), nullptr);
    EXPECT_FALSE(publish::LoadPublishLibrary(folder.Path() + "missing.dll"));
}

}  // namespace
