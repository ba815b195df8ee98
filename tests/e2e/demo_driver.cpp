// The demo's user: starts the sample host, sends its capture through the
// accessory's menu, logs in, writes a short formatted entry with a link,
// posts, and photographs each step; then prints the post's address as
// WordPress reports it. It plays the user from a process of its own, so the
// host runs exactly as it would for a person at the keyboard.
//
//   demo_driver.exe HOST.exe ACCESSORY_DIR DATA_DIR WORDPRESS_ENV SHOTS_DIR
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "host/Screenshot.h"
#include "platform/Text.h"
#include "res/DialogIds.h"
#include "support/RealSend.h"
#include "support/UiDriver.h"

namespace {

const char kHostClass[] = "OrlimoSampleHost";
// Also how the post is found again: plain words the converter writes as they are.
const wchar_t kMarker[] = L"Every word of it was typed by the demo driver";

std::string g_shots;

bool Shoot(const RECT& rc, const char* name)
{
    const std::string path = g_shots + name;
    const bool ok = host::SaveScreenRectToPng(rc, platform::WideFromAnsi(path));
    std::printf("screenshot %s%s\n", path.c_str(), ok ? "" : " failed");
    return ok;
}

bool Shoot(HWND hWnd, const char* name)
{
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    ::Sleep(300);
    return Shoot(ui::ScreenRect(hWnd), name);
}

RECT Desktop()
{
    RECT rc{};
    ::GetWindowRect(::GetDesktopWindow(), &rc);
    return rc;
}

int Fail(const char* step, HANDLE hHost)
{
    std::fprintf(stderr, "demo_driver: %s\n", step);
    Shoot(Desktop(), "demo-failed.png");
    ::TerminateProcess(hHost, 1);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: demo_driver HOST.exe ACCESSORY_DIR DATA_DIR WORDPRESS_ENV SHOTS_DIR\n");
        return 2;
    }
    ::OleInitialize(nullptr);
    g_shots = argv[5];
    if (!g_shots.empty() && g_shots.back() != '\\')
        g_shots += '\\';
    const e2e::CWordPress wp = e2e::CWordPress::FromEnvFile(argv[4]);
    if (!wp.Known()) {
        std::fprintf(stderr, "demo_driver: the local WordPress is not running (%s)\n", argv[4]);
        return 1;
    }

    std::string command = std::string("\"") + argv[1] + "\" --accessory \"" + argv[2] + "\" --data \"" + argv[3] + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "demo_driver: cannot start %s\n", argv[1]);
        return 1;
    }
    ui::DriveProcess(pi.dwProcessId);

    HWND hHost = ui::WaitForWindow("", kHostClass, 20000);
    if (!hHost)
        return Fail("the host's window did not open", pi.hProcess);
    ::Sleep(500);

    // The accessory's menu, opened from the keyboard; its first item sends.
    ui::Focus(hHost);
    ui::Press("Alt+A");
    ::Sleep(700);
    Shoot(host::WindowWithMenusRect(hHost), "host-menu.png");
    ui::Press("Enter");

    HWND hLogin = ui::WaitForWindow(e2e::kLoginCaption, "#32770", 20000);
    if (!hLogin)
        return Fail("the log-in dialog did not open", pi.hProcess);
    ui::Type(ui::Control(hLogin, IDC_AUTH_USER_NAME), wp.strUser);
    ui::Type(ui::Control(hLogin, IDC_AUTH_PASSWORD), wp.strPassword);
    Shoot(hLogin, "demo-login.png");
    ui::Focus(ui::Control(hLogin, IDC_AUTH_PASSWORD));
    ui::Press("Enter");
    ui::WaitUntilGone(hLogin);

    HWND hEditor = e2e::WaitForEditor();
    if (!hEditor)
        return Fail("the Blog Editor did not open", pi.hProcess);
    ui::Type(ui::Control(hEditor, IDC_EDITOR_TITLE), "A capture from the demo");
    ui::Type(e2e::Entry(hEditor), "This capture was sent from the sample host by the ");
    ui::Press("Ctrl+B");
    ui::Type(nullptr, "Send to Word Press");
    ui::Press("Ctrl+B");
    ui::Type(nullptr, " accessory and posted through the ");
    ui::Press("Ctrl+I");
    ui::Type(nullptr, "real publishing library");
    ui::Press("Ctrl+I");
    ui::Type(nullptr, " to ");
    if (!e2e::AddLink("the demo's own blog", wp.strUrl + "/"))
        return Fail("the link dialog did not open", pi.hProcess);
    ui::Type(nullptr, L". ");
    ui::Type(nullptr, std::wstring(kMarker) + L", 100% unattended.");
    Shoot(hEditor, "demo-editor.png");

    const ULONGLONG posted = ::GetTickCount64();
    if (!e2e::Post(hEditor))
        return Fail("the Blog Editor stayed open after \"&Post\"", pi.hProcess);
    HWND hPopup = e2e::WaitForPopup(20000);
    if (!hPopup)
        return Fail("no popup announced the post", pi.hProcess);
    std::printf("posted and announced in %llu ms\n", static_cast<unsigned long long>(::GetTickCount64() - posted));
    // Once it has risen all the way.
    ::Sleep(900);
    RECT both{};
    const RECT rcHost = ui::ScreenRect(hHost), rcPopup = ui::ScreenRect(hPopup);
    ::UnionRect(&both, &rcHost, &rcPopup);
    Shoot(both, "demo-popup.png");

    const e2e::CPost post = e2e::FindPost(wp, kMarker);
    if (!post.Found())
        return Fail("WordPress does not list the post", pi.hProcess);
    std::printf("Published: %s\n", platform::AnsiFromWide(post.strLink, CP_UTF8).c_str());

    // The popup sinks back and frees itself; then the user closes the host.
    ui::WaitUntilGone(hPopup, 10000);
    ::PostMessageW(hHost, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        return Fail("the host did not close", pi.hProcess);
    DWORD code = 0;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    std::fflush(stdout);
    ::ExitProcess(code);
}
