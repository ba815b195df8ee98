#include "support/TestAccessory.h"

#include <atomic>

#include "module/ClassTable.h"
#include "platform/Text.h"

namespace testing_support {

namespace {
std::atomic<int> g_nFolder{0};

LRESULT CALLBACK PlainWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

HWND MakeMainWindow()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainWndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TestHostMainWindow";
    ::RegisterClassW(&wc);
    return ::CreateWindowExW(0, wc.lpszClassName, L"Test host", WS_OVERLAPPEDWINDOW, 100, 100, 640, 480, nullptr,
                             nullptr, wc.hInstance, nullptr);
}
}  // namespace

std::string BuiltAccessoryFolder() { return WP_ACCESSORY_DIR; }
std::string StandInLibraryFolder() { return WP_STANDIN_DIR; }
std::string DemoCapture() { return WP_DEMO_CAPTURE; }

CTestFolder::CTestFolder(const std::string& tag)
{
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    m_strPath = std::string(temp) + "wptest-" + std::to_string(::GetCurrentProcessId()) + "-" +
                std::to_string(++g_nFolder) + "-" + tag + "\\";
    RemoveTree(m_strPath);
    ::CreateDirectoryA(m_strPath.c_str(), nullptr);
}

CTestFolder::~CTestFolder() { RemoveTree(m_strPath); }

std::vector<std::string> CTestFolder::Files() const
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = ::FindFirstFileA((m_strPath + "*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileA(h, &data));
    ::FindClose(h);
    return names;
}

void RemoveTree(const std::string& path)
{
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    WIN32_FIND_DATAA data;
    HANDLE h = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = folder + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else {
                ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(child.c_str());
            }
        } while (::FindNextFileA(h, &data));
        ::FindClose(h);
    }
    ::RemoveDirectoryA(folder.c_str());
}

std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[65536];
    DWORD n = 0;
    while (::ReadFile(h, chunk, sizeof chunk, &n, nullptr) && n)
        bytes.append(chunk, n);
    ::CloseHandle(h);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD n = 0;
    const bool ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) && n == bytes.size();
    ::CloseHandle(h);
    return ok;
}

CTestAccessory::CTestAccessory(CreateFrom from, const CHostSetup& setup)
{
    for (const char* name : {"WordPress.dll", "WordPress.ico"})
        ::CopyFileA((BuiltAccessoryFolder() + name).c_str(), (m_accessory.Path() + name).c_str(), FALSE);
    ::CopyFileA((StandInLibraryFolder() + "QTVPublish.dll").c_str(), (m_accessory.Path() + "QTVPublish.dll").c_str(),
                FALSE);

    wchar_t oldTmp[32768] = {};
    m_bHadTmp = ::GetEnvironmentVariableW(L"TMP", oldTmp, 32768) != 0;
    m_strOldTmp = oldTmp;
    const std::wstring temp =
        setup.strTempFolder.empty() ? platform::WideFromAnsi(m_temp.Path()) : setup.strTempFolder;
    ::SetEnvironmentVariableW(L"TMP", temp.c_str());

    m_hMainWindow = MakeMainWindow();
    platform::CComPtr<IClassFactory> spFactory;
    if (from == CreateFrom::BuiltDll) {
        m_hrCreate = m_module.Load(m_accessory.Path() + "WordPress.dll");
        if (SUCCEEDED(m_hrCreate))
            m_hrCreate = m_module.GetClassObject(host::CLSID_AccessoryOutput, IID_IClassFactory, spFactory.PutVoid());
    } else {
        m_hrCreate = module::GetClassObject(host::CLSID_AccessoryOutput, IID_IClassFactory, spFactory.PutVoid());
    }
    if (SUCCEEDED(m_hrCreate))
        m_hrCreate = spFactory->CreateInstance(nullptr, __uuidof(IComponentInitialize), m_spOutput.PutVoid());
    if (FAILED(m_hrCreate))
        return;

    platform::CComPtr<IUnknown> spDocument;
    const std::wstring image = platform::WideFromAnsi(setup.strImage.empty() ? DemoCapture() : setup.strImage);
    if (setup.bDocument && setup.bSave) {
        auto sp = host::MakeObject<host::CCaptureDocument>();
        sp->Setup(image, &m_log);
        sp->SetSaveFault(setup.saveFault);
        spDocument = static_cast<ICaptureDocument*>(sp.Get());
    } else if (setup.bDocument) {
        auto sp = host::MakeObject<host::CReadOnlyDocument>();
        spDocument = static_cast<ICaptureDocument*>(sp.Get());
    }
    platform::CComPtr<IUnknown> spFormat;
    if (setup.bFormat) {
        auto sp = host::MakeObject<host::COutputFormat>();
        sp->Setup(setup.nFormat);
        spFormat = static_cast<IOutputFileFormat*>(sp.Get());
    }
    auto spHost = host::MakeObject<host::CComponentHost>();
    spHost->Setup(spDocument.Get(), spFormat.Get(), m_hMainWindow);
    m_hrCreate = m_spOutput->Initialize(static_cast<IComponentHost*>(spHost.Get()), nullptr, 0);

    auto spPrefs = host::MakeObject<host::CCategoryPreferences>();
    spPrefs->Setup(platform::WideFromAnsi(m_accessory.Path()),
                   setup.strDataFolder.empty() ? platform::WideFromAnsi(m_data.Path()) : setup.strDataFolder);
    if (auto spWants = As<IComponentWantsCategoryPreferences>())
        spWants->SetCategoryPreferences(spPrefs.Get());
}

CTestAccessory::~CTestAccessory()
{
    m_spOutput.Reset();
    if (m_hMainWindow)
        ::DestroyWindow(m_hMainWindow);
    ::SetEnvironmentVariableW(L"TMP", m_bHadTmp ? m_strOldTmp.c_str() : nullptr);
}

}  // namespace testing_support
