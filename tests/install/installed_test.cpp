// The accessory as the package installed it, run inside the prefix it was
// installed into: created by its ProgID from the installed folder, driven by
// the sample host, and every Help button opening the installed help file in
// the platform's real viewer.
#include <windows.h>
#include <shlobj.h>
#include <htmlhelp.h>

#include <gtest/gtest.h>

#include "support/ImportPatch.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "editor/BlogOutputDlg.h"
#include "editor/LinkDialog.h"
#include "host/AccessoryLoader.h"
#include "host/HostObjects.h"
#include "orlimo.h"
#include "platform/ComPtr.h"
#include "platform/HtmlHelp.h"
#include "platform/Text.h"
#include "res/DialogIds.h"
#include "support/DialogDriver.h"
#include "support/EditorDriver.h"
#include "support/TestAccessory.h"
#include "support/UiDriver.h"

using testing_support::CTestFolder;
using testing_support::PatchImport;

namespace {

const GUID kLibId = {0x3EC0485E, 0x2819, 0x482A, {0xA8, 0x79, 0xED, 0x90, 0x3F, 0xEB, 0x30, 0x78}};

std::string InstalledFolder()
{
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, path);
    return std::string(path) + "\\" WP_INSTALL_FOLDER_NAME "\\";
}

std::string InstalledHelpFile() { return InstalledFolder() + "WordPressOutput.chm"; }

bool SamePath(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// ---- the help viewer, watched on its way in and out ---------------------

struct CHelpCall {
    std::string strFile;
    UINT nCommand = 0;
    HWND hWnd = nullptr;
};

std::mutex g_helpGuard;
std::vector<CHelpCall> g_helpCalls;
platform::HtmlHelpFn g_pfnRealHelp = nullptr;

HWND WINAPI WatchedHtmlHelp(HWND hOwner, LPCSTR pszFile, UINT uCommand, DWORD_PTR dwData)
{
    const HWND hWnd = g_pfnRealHelp(hOwner, pszFile, uCommand, dwData);
    std::lock_guard<std::mutex> lock(g_helpGuard);
    g_helpCalls.push_back({pszFile ? pszFile : "", uCommand, hWnd});
    return hWnd;
}


// The module finds the viewer's entry by name when help is first asked for;
// that look-up is answered with the watch.
FARPROC WINAPI WatchedGetProcAddress(HMODULE hModule, LPCSTR pszName)
{
    if (reinterpret_cast<ULONG_PTR>(pszName) > 0xFFFF && std::string(pszName) == "HtmlHelpA")
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(WatchedHtmlHelp));
    return ::GetProcAddress(hModule, pszName);
}

// Routes a module's help calls (the installed DLL's look-up of HtmlHelpA, or
// this program's own dialogs through the platform layer) through the real
// viewer while recording what it was asked and what it returned.
class CHelpViewerWatch {
public:
    explicit CHelpViewerWatch(HMODULE hModule = nullptr) : m_hModule(hModule)
    {
        g_pfnRealHelp = reinterpret_cast<platform::HtmlHelpFn>(
            reinterpret_cast<void*>(::GetProcAddress(::LoadLibraryA("hhctrl.ocx"), "HtmlHelpA")));
        {
            std::lock_guard<std::mutex> lock(g_helpGuard);
            g_helpCalls.clear();
        }
        if (m_hModule)
            m_bWatching = PatchImport(m_hModule, "kernel32.dll", "GetProcAddress",
                                      reinterpret_cast<void*>(WatchedGetProcAddress)) != nullptr;
        else
            m_bWatching = (m_pfnOld = platform::SetHtmlHelpHandler(WatchedHtmlHelp)) != nullptr;
    }
    ~CHelpViewerWatch()
    {
        if (m_hModule)
            PatchImport(m_hModule, "kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&::GetProcAddress));
        else
            platform::SetHtmlHelpHandler(m_pfnOld);
        // Through the viewer itself: it keeps its windows in a list of its own
        // and would hand back a dead one for the next call.
        g_pfnRealHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
    }
    bool Watching() const { return m_bWatching && g_pfnRealHelp; }
    static std::vector<CHelpCall> Calls()
    {
        std::lock_guard<std::mutex> lock(g_helpGuard);
        return g_helpCalls;
    }
    static bool WaitForCall(int timeoutMs = 10000)
    {
        for (int waited = 0; Calls().empty(); waited += 50) {
            if (waited > timeoutMs)
                return false;
            ::Sleep(50);
        }
        return true;
    }

private:
    HMODULE m_hModule;
    platform::HtmlHelpFn m_pfnOld = nullptr;
    bool m_bWatching = false;
};

// One call that opened the installed help file's default topic in a window.
void ExpectInstalledHelpShown(const std::vector<CHelpCall>& calls)
{
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(SamePath(calls[0].strFile, InstalledHelpFile())) << calls[0].strFile;
    EXPECT_EQ(calls[0].nCommand, static_cast<UINT>(HH_DISPLAY_TOPIC));
    ASSERT_NE(calls[0].hWnd, nullptr) << "the viewer could not open " << calls[0].strFile;
    EXPECT_TRUE(::IsWindow(calls[0].hWnd));
    EXPECT_EQ(ui::ClassName(calls[0].hWnd), "HH Parent");
}

// ---- the installed accessory ------------------------------------------------

HWND MakeMainWindow()
{
    return ::CreateWindowExA(0, "STATIC", "Orlimo", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300, nullptr,
                             nullptr, nullptr, nullptr);
}

// The output object created the way a host that finds it registered does,
// initialised with the installed folder as its accessory folder.
class CInstalledAccessory {
public:
    CInstalledAccessory()
    {
        m_hMainWindow = MakeMainWindow();
        CLSID clsid{};
        m_hr = ::CLSIDFromProgID(L"WordPress.WordPressOutput", &clsid);
        if (SUCCEEDED(m_hr))
            m_hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IComponentInitialize),
                                      m_spOutput.PutVoid());
        if (FAILED(m_hr))
            return;
        auto spHost = host::MakeObject<host::CComponentHost>();
        spHost->Setup(nullptr, nullptr, m_hMainWindow);
        m_hr = m_spOutput->Initialize(static_cast<IComponentHost*>(spHost.Get()), nullptr, 0);
        auto spPrefs = host::MakeObject<host::CCategoryPreferences>();
        spPrefs->Setup(platform::WideFromAnsi(InstalledFolder()), platform::WideFromAnsi(m_data.Path()));
        platform::CComPtr<IComponentWantsCategoryPreferences> spWants;
        if (SUCCEEDED(m_hr) && SUCCEEDED(m_hr = m_spOutput.As(spWants)))
            m_hr = spWants->SetCategoryPreferences(spPrefs.Get());
    }
    ~CInstalledAccessory()
    {
        m_spOutput.Reset();
        ::DestroyWindow(m_hMainWindow);
    }
    HRESULT Result() const { return m_hr; }
    template <class I>
    platform::CComPtr<I> As() const
    {
        platform::CComPtr<I> sp;
        m_spOutput.As(sp);
        return sp;
    }
    // The module the object's code lives in.
    HMODULE Module() const
    {
        HMODULE hModule = nullptr;
        if (m_spOutput)
            ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                 *reinterpret_cast<LPCSTR*>(m_spOutput.Get()), &hModule);
        return hModule;
    }

private:
    CTestFolder m_data{"data"};
    HWND m_hMainWindow = nullptr;
    platform::CComPtr<IComponentInitialize> m_spOutput;
    HRESULT m_hr = E_FAIL;
};

std::string ModulePath(HMODULE hModule)
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(hModule, path, MAX_PATH);
    return path;
}

TEST(InstalledAccessory, IsCreatedByItsProgIdFromTheInstalledFolder)
{
    CInstalledAccessory accessory;
    ASSERT_EQ(accessory.Result(), S_OK);
    ASSERT_NE(accessory.Module(), nullptr);
    EXPECT_TRUE(SamePath(ModulePath(accessory.Module()), InstalledFolder() + "WordPress.dll"))
        << ModulePath(accessory.Module());

    platform::CBstr menu;
    ASSERT_EQ(accessory.As<IOutputMenu>()->GetMenuXml(menu.Put()), S_OK);
    EXPECT_NE(menu.ToAnsi().find("Send to Word Press"), std::string::npos);

    // The versioned ProgID and the second class come from the same registration.
    CLSID clsid{};
    EXPECT_EQ(::CLSIDFromProgID(L"WordPress.WordPressOutput.1", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, host::CLSID_AccessoryOutput));
    platform::CComPtr<IUnknown> spPackage;
    ASSERT_EQ(::CLSIDFromProgID(L"WordPress.Package", &clsid), S_OK);
    EXPECT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, spPackage.PutVoid()), S_OK);

    // The type library is found through the registry, in the installed module.
    platform::CComPtr<ITypeLib> spTypeLib;
    EXPECT_EQ(::LoadRegTypeLib(kLibId, 1, 0, 0x0409, spTypeLib.Put()), S_OK);
    platform::CBstr typeLibPath;
    ASSERT_EQ(::QueryPathOfRegTypeLib(kLibId, 1, 0, 0x0409, typeLibPath.Put()), S_OK);
    EXPECT_TRUE(SamePath(typeLibPath.ToAnsi(), InstalledFolder() + "WordPress.dll")) << typeLibPath.ToAnsi();
}

TEST(InstalledAccessory, HelpMenuCommandOpensTheInstalledHelpFile)
{
    CInstalledAccessory accessory;
    ASSERT_EQ(accessory.Result(), S_OK);
    CHelpViewerWatch watch(accessory.Module());
    ASSERT_TRUE(watch.Watching());
    platform::CBstr id = platform::CBstr::FromAnsi("2");
    ASSERT_EQ(accessory.As<IOutputMenu>()->OnMenuCommand(id.Get()), S_OK);
    ExpectInstalledHelpShown(watch.Calls());
}

// Clicks a dialog's Help button, waits for the viewer, checks it, and closes
// the dialog with Cancel.
void PressHelpThenCancel(HWND hDlg)
{
    ASSERT_NE(hDlg, nullptr);
    ui::Focus(hDlg);
    ui::Click(ui::Control(hDlg, IDC_HELP_BUTTON));
    EXPECT_TRUE(CHelpViewerWatch::WaitForCall());
    ExpectInstalledHelpShown(CHelpViewerWatch::Calls());
    EXPECT_TRUE(ui::IsVisible(hDlg));
    ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

TEST(InstalledAccessory, OptionsHelpOpensTheInstalledHelpFile)
{
    CInstalledAccessory accessory;
    ASSERT_EQ(accessory.Result(), S_OK);
    CHelpViewerWatch watch(accessory.Module());
    ASSERT_TRUE(watch.Watching());
    ui::CUserScript script([] { PressHelpThenCancel(ui::WaitForWindow("WordPress.com Login", "#32770")); });
    EXPECT_EQ(accessory.As<IPackageOptionsUI>()->ShowOptions(), S_OK);
    script.Join();
    EXPECT_EQ(watch.Calls().size(), 1u);
}

// The Blog Editor and its link dialog open only on the way of a send that
// reached a blog; their Help buttons are checked with this program's own
// copies of the dialogs, given the installed help file as the send flow gives
// it them.
TEST(InstalledAccessory, BlogEditorHelpOpensTheInstalledHelpFile)
{
    CHelpViewerWatch watch;
    ASSERT_TRUE(watch.Watching());
    editor_test::CEditorSetup setup(editor_test::BlogsXml({{"1", "Carrots", "http://c.example/"}}));
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    dlg.SetSendParameters(1, "alice", "secret", "", "", testing_support::DemoCapture(), setup.Library().LibraryPath(),
                          InstalledHelpFile());
    const INT_PTR result = dialog_test::RunDialog(dlg, "Blog Editor", [](HWND h) { PressHelpThenCancel(h); });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(watch.Calls().size(), 1u);
}

TEST(InstalledAccessory, LinkDialogHelpOpensTheInstalledHelpFile)
{
    CHelpViewerWatch watch;
    ASSERT_TRUE(watch.Watching());
    CLinkDialog dlg;
    dlg.SetHelpPath(InstalledHelpFile());
    const INT_PTR result = dialog_test::RunDialog(dlg, "Create Link", [](HWND h) { PressHelpThenCancel(h); });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(watch.Calls().size(), 1u);
}

// ---- the sample host ----------------------------------------------------------

// Width and height from a PNG file's header.
bool PngSize(const std::string& bytes, unsigned& width, unsigned& height)
{
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return false;
    auto be32 = [&](std::size_t at) {
        return (unsigned(static_cast<unsigned char>(bytes[at])) << 24) |
               (unsigned(static_cast<unsigned char>(bytes[at + 1])) << 16) |
               (unsigned(static_cast<unsigned char>(bytes[at + 2])) << 8) | unsigned(static_cast<unsigned char>(bytes[at + 3]));
    };
    width = be32(16);
    height = be32(20);
    return true;
}

struct CHostRun {
    DWORD nExitCode = 0xFFFFFFFF;
    std::string strOutput;
    std::vector<std::string> dismissed;  // captions of the dialogs closed on the way
};

// Runs the sample host with a script; any dialog it opens is answered with
// Cancel, as a user who only wants the capture saved would.
CHostRun RunSampleHost(const std::string& arguments, const std::string& tempFolder)
{
    CHostRun run;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE hRead = nullptr, hWrite = nullptr;
    ::CreatePipe(&hRead, &hWrite, &sa, 0);
    ::SetHandleInformation(hRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = hWrite;
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    std::string command = "\"" WP_SAMPLE_HOST "\" " + arguments;
    char oldTmp[MAX_PATH] = {}, oldTemp[MAX_PATH] = {};
    ::GetEnvironmentVariableA("TMP", oldTmp, MAX_PATH);
    ::GetEnvironmentVariableA("TEMP", oldTemp, MAX_PATH);
    ::SetEnvironmentVariableA("TMP", tempFolder.c_str());
    ::SetEnvironmentVariableA("TEMP", tempFolder.c_str());
    const BOOL started = ::CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    ::SetEnvironmentVariableA("TMP", oldTmp);
    ::SetEnvironmentVariableA("TEMP", oldTemp);
    ::CloseHandle(hWrite);
    if (!started) {
        ::CloseHandle(hRead);
        return run;
    }
    std::thread reader([&] {
        char buffer[4096];
        DWORD n = 0;
        while (::ReadFile(hRead, buffer, sizeof buffer, &n, nullptr) && n)
            run.strOutput.append(buffer, n);
    });
    {
        ui::DriveProcess(pi.dwProcessId);
        ui::CDialogCanceller cancel;
        if (::WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0)
            ::TerminateProcess(pi.hProcess, 0xDEAD);
        run.dismissed = cancel.Cancelled();
    }
    ui::DriveProcess(0);
    ::GetExitCodeProcess(pi.hProcess, &run.nExitCode);
    reader.join();
    ::CloseHandle(hRead);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return run;
}

TEST(InstalledAccessory, SampleHostSendsTheCaptureThroughTheInstalledAccessory)
{
    CTestFolder temp{"hosttmp"};
    CTestFolder data{"hostdata"};
    const std::string capture = testing_support::DemoCapture();
    const CHostRun run = RunSampleHost("--accessory \"" + InstalledFolder() + "\" --data \"" + data.Path() +
                                           "\" --image \"" + capture + "\" --format 5 --script send",
                                       temp.Path());
    SCOPED_TRACE(run.strOutput);
    EXPECT_EQ(run.dismissed, std::vector<std::string>{"WordPress.com Login"}) << "the send asked for the log-in, and only that";
    EXPECT_EQ(run.nExitCode, 0u);
    EXPECT_NE(run.strOutput.find("created WordPress.WordPressOutput through the registry"), std::string::npos);
    EXPECT_NE(run.strOutput.find("send 0x00000000"), std::string::npos);

    // The copy the accessory had the host save: one PNG of the capture's
    // size, and no empty ".tmp" file. The platform makes the unique name
    // from the first three letters of "WordPressExt".
    const std::vector<std::string> saved = temp.Files();
    ASSERT_EQ(saved.size(), 1u) << "temporary folder: " << saved.size() << " files";
    EXPECT_EQ(saved[0].substr(0, 3), "Wor");
    EXPECT_EQ(saved[0].substr(saved[0].size() - 4), ".png");
    unsigned width = 0, height = 0, sourceWidth = 0, sourceHeight = 0;
    ASSERT_TRUE(PngSize(testing_support::ReadFileBytes(temp.Path() + saved[0]), width, height));
    ASSERT_TRUE(PngSize(testing_support::ReadFileBytes(capture), sourceWidth, sourceHeight));
    EXPECT_EQ(width, sourceWidth);
    EXPECT_EQ(height, sourceHeight);
}

}  // namespace
