#include "host/HostApp.h"

#include <gdiplus.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>

#include "host/Screenshot.h"
#include "platform/Text.h"

namespace host {

namespace {

constexpr UINT kFirstAccessoryCommand = 1000;
constexpr UINT kExitCommand = 999;
constexpr UINT WM_RUN_SCRIPT = WM_APP + 1;
constexpr UINT_PTR kScreenshotTimer = 1;

std::string ExeFolder()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string WithBackslash(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string HexResult(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

void Print(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace

CHostOptions ParseHostOptions(int argc, wchar_t** argv)
{
    CHostOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = platform::AnsiFromWide(argv[i], lstrlenW(argv[i]));
        auto next = [&]() {
            if (i + 1 >= argc)
                return std::string();
            ++i;
            return platform::AnsiFromWide(argv[i], lstrlenW(argv[i]));
        };
        if (arg == "--accessory")
            o.strAccessoryFolder = WithBackslash(next());
        else if (arg == "--data")
            o.strDataFolder = next();
        else if (arg == "--image")
            o.strImageFile = next();
        else if (arg == "--format")
            o.nFormat = std::atol(next().c_str());
        else if (arg == "--script") {
            const std::string script = next();
            std::size_t start = 0;
            while (start <= script.size()) {
                const std::size_t comma = script.find(',', start);
                const std::string cmd = script.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
                if (!cmd.empty())
                    o.script.push_back(cmd);
                if (comma == std::string::npos)
                    break;
                start = comma + 1;
            }
        } else if (arg == "--screenshot")
            o.strScreenshot = next();
        else if (arg == "--show-menu")
            o.bShowMenu = true;
    }
    if (o.strAccessoryFolder.empty())
        o.strAccessoryFolder = ExeFolder() + "accessory\\";
    if (o.strDataFolder.empty()) {
        char appData[MAX_PATH] = {};
        ::SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
        o.strDataFolder = std::string(appData) + "\\Orlimo\\Accessories\\WordPress";
    }
    if (o.strImageFile.empty())
        o.strImageFile = ExeFolder() + "capture.png";
    return o;
}

bool CHostApp::LoadAccessory()
{
    // A registered accessory is created through COM; otherwise straight from
    // the file in the accessory folder.
    CLSID clsid{};
    HRESULT hr = ::CLSIDFromProgID(L"WordPress.WordPressOutput", &clsid);
    if (SUCCEEDED(hr))
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IComponentInitialize),
                                m_spOutput.PutVoid());
    if (SUCCEEDED(hr)) {
        Print("created WordPress.WordPressOutput through the registry");
    } else {
        const std::string dll = m_options.strAccessoryFolder + "WordPress.dll";
        hr = m_module.Load(dll);
        if (SUCCEEDED(hr))
            hr = m_module.CreateOutput(m_spOutput);
        if (FAILED(hr)) {
            Print("load " + dll + " failed " + HexResult(hr));
            return false;
        }
        Print("created the accessory from " + dll);
    }
    auto spDocument = MakeObject<CCaptureDocument>();
    spDocument->Setup(platform::WideFromAnsi(m_options.strImageFile), &m_log);
    auto spFormat = MakeObject<COutputFormat>();
    spFormat->Setup(m_options.nFormat);
    m_spHost = MakeObject<CComponentHost>();
    m_spHost->Setup(static_cast<ICaptureDocument*>(spDocument.Get()), static_cast<IOutputFileFormat*>(spFormat.Get()),
                    m_hWnd);

    hr = m_spOutput->Initialize(static_cast<IComponentHost*>(m_spHost.Get()), nullptr, 0);
    Print("Initialize " + HexResult(hr));
    platform::CComPtr<IComponentWantsCategoryPreferences> spWants;
    if (SUCCEEDED(m_spOutput.As(spWants))) {
        auto spPrefs = MakeObject<CCategoryPreferences>();
        spPrefs->Setup(platform::WideFromAnsi(m_options.strAccessoryFolder),
                       platform::WideFromAnsi(m_options.strDataFolder));
        Print("SetCategoryPreferences " + HexResult(spWants->SetCategoryPreferences(spPrefs.Get())));
    }
    return true;
}

// Menu item pictures are drawn by the host itself, from the accessory's icon
// file, so they look the same whether the item is highlighted or not.
void CHostApp::LoadMenuIcon(const std::string& iconFile)
{
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    m_hMenuIcon.Reset(static_cast<HICON>(::LoadImageA(nullptr, (m_options.strAccessoryFolder + iconFile).c_str(),
                                                      IMAGE_ICON, size, size, LR_LOADFROMFILE)));
}

void CHostApp::BuildMenu()
{
    HMENU hBar = ::CreateMenu();
    HMENU hFile = ::CreatePopupMenu();
    ::AppendMenuA(hFile, MF_STRING, kExitCommand, "E&xit");
    ::AppendMenuA(hBar, MF_POPUP, reinterpret_cast<UINT_PTR>(hFile), "&File");

    platform::CComPtr<IOutputMenu> spMenu;
    if (m_spOutput && SUCCEEDED(m_spOutput.As(spMenu))) {
        platform::CBstr xml;
        spMenu->GetMenuXml(xml.Put());
        m_menu = ParseMenuXml(xml.ToAnsi());
        HMENU hAccessories = ::CreatePopupMenu();
        for (std::size_t i = 0; i < m_menu.size(); ++i) {
            if (m_menu[i].bSeparator)
                ::AppendMenuA(hAccessories, MF_SEPARATOR, 0, nullptr);
            else
                ::AppendMenuA(hAccessories, MF_STRING, kFirstAccessoryCommand + i, m_menu[i].strLabel.c_str());
            if (!m_menu[i].strIcon.empty()) {
                LoadMenuIcon(m_menu[i].strIcon);
                MENUITEMINFOA info{};
                info.cbSize = sizeof info;
                info.fMask = MIIM_BITMAP;
                info.hbmpItem = HBMMENU_CALLBACK;
                ::SetMenuItemInfoA(hAccessories, static_cast<UINT>(i), TRUE, &info);
            }
        }
        ::AppendMenuA(hBar, MF_POPUP, reinterpret_cast<UINT_PTR>(hAccessories), "&Accessories");
    }
    ::SetMenu(m_hWnd, hBar);  // the window destroys the menu with itself
}

std::string CHostApp::RunCommand(const std::string& command)
{
    platform::CComPtr<IOutputMenu> spMenu;
    platform::CComPtr<IOutput> spSend;
    platform::CComPtr<IPackageOptionsUI> spOptions;
    if (m_spOutput) {
        m_spOutput.As(spMenu);
        m_spOutput.As(spSend);
        m_spOutput.As(spOptions);
    }
    if (command == "menu" && spMenu) {
        platform::CBstr xml;
        const HRESULT hr = spMenu->GetMenuXml(xml.Put());
        return "menu " + HexResult(hr) + " " + xml.ToAnsi();
    }
    if (command == "send" && spSend)
        return "send " + HexResult(spSend->Send());
    if (command == "options" && spOptions)
        return "options " + HexResult(spOptions->ShowOptions());
    if (command.compare(0, 8, "command:") == 0 && spMenu) {
        platform::CBstr id = platform::CBstr::FromAnsi(command.substr(8));
        return command + " " + HexResult(spMenu->OnMenuCommand(id.Get()));
    }
    return "unknown " + command;
}

void CHostApp::RunScript()
{
    for (const std::string& command : m_options.script) {
        const std::size_t before = m_log.lines.size();
        Print(RunCommand(command));
        for (std::size_t i = before; i < m_log.lines.size(); ++i)
            Print("  " + m_log.lines[i]);
    }
    ::DestroyWindow(m_hWnd);
}

void CHostApp::TakeScreenshot()
{
    const bool ok = SaveScreenRectToPng(WindowWithMenusRect(m_hWnd), platform::WideFromAnsi(m_options.strScreenshot));
    Print("screenshot " + m_options.strScreenshot + (ok ? " saved" : " failed"));
    ::EndMenu();
}

void CHostApp::Paint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    ::FillRect(hdc, &rc, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
    {
        Gdiplus::Graphics g(hdc);
        Gdiplus::Bitmap image(platform::WideFromAnsi(m_options.strImageFile).c_str());
        if (image.GetLastStatus() == Gdiplus::Ok) {
            const int margin = 16;
            const double scale = std::min(1.0, std::min(double(rc.right - 2 * margin) / image.GetWidth(),
                                                        double(rc.bottom - 2 * margin) / image.GetHeight()));
            const int w = int(image.GetWidth() * scale), h = int(image.GetHeight() * scale);
            g.DrawImage(&image, (rc.right - w) / 2, (rc.bottom - h) / 2, w, h);
        }
    }
    ::EndPaint(m_hWnd, &ps);
}

LRESULT CALLBACK CHostApp::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<CHostApp*>(create->lpCreateParams)->m_hWnd = hWnd;
    }
    auto* self = reinterpret_cast<CHostApp*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    // Nothing may unwind through the system's frames.
    try {
        return self ? self->HandleMessage(msg, wParam, lParam) : ::DefWindowProcW(hWnd, msg, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT CHostApp::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_COMMAND: {
        const UINT id = LOWORD(wParam);
        if (id == kExitCommand) {
            ::DestroyWindow(m_hWnd);
        } else if (id >= kFirstAccessoryCommand && id < kFirstAccessoryCommand + m_menu.size()) {
            Print(RunCommand("command:" + m_menu[id - kFirstAccessoryCommand].strId));
        }
        return 0;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item->CtlType == ODT_MENU) {
            item->itemWidth = item->itemHeight = static_cast<UINT>(::GetSystemMetrics(SM_CXSMICON));
            return TRUE;
        }
        break;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType == ODT_MENU && m_hMenuIcon) {
            const int size = ::GetSystemMetrics(SM_CXSMICON);
            const int y = item->rcItem.top + (item->rcItem.bottom - item->rcItem.top - size) / 2;
            ::DrawIconEx(item->hDC, item->rcItem.left, y, m_hMenuIcon.Get(), size, size, 0, nullptr, DI_NORMAL);
            return TRUE;
        }
        break;
    }
    case WM_RUN_SCRIPT:
        RunScript();
        return 0;
    case WM_TIMER:
        if (wParam == kScreenshotTimer) {
            ::KillTimer(m_hWnd, kScreenshotTimer);
            TakeScreenshot();
            if (!m_options.script.empty())
                ::PostMessageW(m_hWnd, WM_RUN_SCRIPT, 0, 0);
        }
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(m_nExitCode);
        return 0;
    }
    return ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

int CHostApp::Run()
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hIcon = ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    wc.lpszClassName = L"OrlimoSampleHost";
    ::RegisterClassExW(&wc);
    ::CreateWindowExW(0, wc.lpszClassName, L"Orlimo - capture.png", WS_OVERLAPPEDWINDOW, 40, 40, 820, 640,
                      nullptr, nullptr, wc.hInstance, this);
    if (!m_hWnd)
        return 2;
    if (!LoadAccessory())
        m_nExitCode = 3;
    BuildMenu();
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::UpdateWindow(m_hWnd);

    if (m_options.bShowMenu) {
        // Drops the Accessories menu as a user's Alt+A would; the timer fires
        // inside the menu's own loop.
        ::SetTimer(m_hWnd, kScreenshotTimer, 1000, nullptr);
        ::PostMessageW(m_hWnd, WM_SYSCOMMAND, SC_KEYMENU, 'a');
    } else if (!m_options.strScreenshot.empty()) {
        ::SetTimer(m_hWnd, kScreenshotTimer, 500, nullptr);
    } else if (!m_options.script.empty()) {
        ::PostMessageW(m_hWnd, WM_RUN_SCRIPT, 0, 0);
    }

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    m_spOutput.Reset();
    m_spHost.Reset();
    return m_nExitCode;
}

}  // namespace host
