// Timings of one send's steps as the user feels them, through the built
// accessory with the dialogs driven by the UI driver: OK in the log-in
// dialog to the Blog Editor shown, and "&Post" to the popup shown. With the
// stand-in library the figure of interest is the accessory's own share, so
// the two fixed 100 ms pauses after the library's call are taken off; with
// the real library it posts to the local WordPress, for a 640 x 480 and a
// 3840 x 2160 capture, the large one also with the call kept on the window
// thread as before it had a thread of its own (Post to popup may not grow by
// more than 5 % against that). Medians of several sends; a timing program, not a test.
// It also reports the process's peak working set and commit before and after
// the large sends: a 32-bit host has 2 GB of address space for everything.
// Built for both architectures, so the x86 build's program is a 32-bit host.
//
//   send_bench.exe [runs]       (the local WordPress must be running for the
//                                real library: scripts/wordpress.sh start)
#include <windows.h>
#include <gdiplus.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Text.h"
#include "publish/PublishContract.h"
#include "res/DialogIds.h"
#include "res/resource.h"
#include "support/RealSend.h"
#include "support/RecordingLibrary.h"
#include "support/TestAccessory.h"
#include "support/UiDriver.h"

namespace {

constexpr double kFixedPausesMs = 200.0;

double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Milliseconds from the action until a visible top-level window of the
// caption or class first shows; the watch starts before the action, since
// the driver's own steps take time after their input has gone out.
double TimeUntilShown(const std::function<void()>& action, const std::string& caption,
                      const std::string& className, int timeoutMs)
{
    std::atomic<double> shown{-1};
    std::atomic<bool> watching{false};
    std::thread watch([&] {
        const double deadline = NowMs() + timeoutMs;
        watching = true;
        while (NowMs() < deadline) {
            if (!ui::FindWindows(caption, className).empty()) {
                shown = NowMs();
                return;
            }
            ::Sleep(1);
        }
    });
    while (!watching)
        ::Sleep(0);
    const double start = NowMs();
    action();
    watch.join();
    return shown < 0 ? -1 : shown - start;
}

struct CSendTimes {
    double loginToEditor = -1;
    double postToPopup = -1;
    // The longest the editor took to answer a message between Post and the popup.
    double longestUnanswered = -1;
};

// Asks the window for an answer again and again from a thread of its own,
// until told to stop or the window is gone; the longest wait for one.
class CAnswerProbe {
public:
    explicit CAnswerProbe(HWND hWnd)
        : m_thread([this, hWnd] {
              while (!m_bStop && ::IsWindow(hWnd)) {
                  const double start = NowMs();
                  DWORD_PTR result = 0;
                  const bool bAnswered = ::SendMessageTimeoutW(hWnd, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
                  // A window that went away unanswered did not answer until
                  // then: a post made on its thread ends the editor that way.
                  m_longest = std::max(m_longest.load(), NowMs() - start);
                  if (!bAnswered && !::IsWindow(hWnd))
                      break;
                  ::Sleep(1);
              }
          })
    {
    }
    double Stop()
    {
        m_bStop = true;
        m_thread.join();
        return m_longest;
    }

private:
    std::atomic<bool> m_bStop{false};
    std::atomic<double> m_longest{0};
    std::thread m_thread;
};

struct CLibrary {
    bool bReal = false;
    e2e::CWordPress wp;
};

CSendTimes TimedSend(const CLibrary& library, const std::string& image)
{
    testing_support::CHostSetup setup;
    setup.strImage = image;
    testing_support::CTestAccessory accessory(testing_support::CreateFrom::BuiltDll, setup);
    CSendTimes times;
    if (FAILED(accessory.CreateResult()))
        return times;
    std::string user = "bench", password = "pw";
    if (library.bReal) {
        if (!e2e::InstallRealLibrary(WP_REAL_LIBRARY_DIR, accessory.AccessoryFolder(), library.wp.strXmlRpc))
            return times;
        user = library.wp.strUser;
        password = library.wp.strPassword;
    } else {
        testing_support::CRecordingLibrary(accessory.AccessoryFolder())
            .SetAnswers({"blogs.xml=<Blogs><Blog_Object><BlogId>1</BlogId><BlogName>Bench</BlogName>"
                         "<BlogAddress>http://bench.example/</BlogAddress></Blog_Object></Blogs>"});
    }
    ::ShowWindow(accessory.MainWindow(), SW_SHOWNOACTIVATE);

    ui::CUserScript script(
        [&] {
            HWND hLogin = ui::WaitForWindow(e2e::kLoginCaption, "#32770", 20000);
            if (!hLogin)
                return;
            ui::Type(ui::Control(hLogin, IDC_AUTH_USER_NAME), user);
            ui::Type(ui::Control(hLogin, IDC_AUTH_PASSWORD), password);
            ui::Focus(ui::Control(hLogin, IDC_AUTH_PASSWORD));
            times.loginToEditor = TimeUntilShown([] { ui::Press("Enter"); }, e2e::kEditorCaption, "#32770", 30000);
            HWND hEditor = e2e::WaitForEditor();
            if (!hEditor)
                return;
            ui::Type(ui::Control(hEditor, IDC_EDITOR_TITLE), "Timed send");
            ui::Type(e2e::Entry(hEditor), "A short entry, ");
            ui::Press("Ctrl+B");
            ui::Type(nullptr, "bold");
            ui::Press("Ctrl+B");
            ui::Type(nullptr, " and 100% plain.");
            HWND hPost = ui::Control(hEditor, ID_POST);
            e2e::PointAt(hPost);
            CAnswerProbe probe(hEditor);
            times.postToPopup = TimeUntilShown([hPost] { ui::Click(hPost); }, "", "qtvAccAlert", 60000);
            times.longestUnanswered = probe.Stop();
        },
        120000);
    accessory.As<IOutput>()->Send();
    script.Join();
    for (HWND h : ui::FindWindows("", "qtvAccAlert"))
        ::DestroyWindow(h);
    return times;
}

void Report(const char* what, std::vector<double> values, double less = 0)
{
    values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return v < 0; }), values.end());
    if (values.empty()) {
        std::printf("%-66s  no complete run\n", what);
        return;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    std::printf("%-66s  %3zu  %8.1f  %8.1f  %8.1f\n", what, n, median - less, values.front() - less,
                values.back() - less);
    std::fflush(stdout);
}

void Measure(const char* name, const CLibrary& library, const std::string& image, int runs, bool bLessPauses)
{
    std::vector<double> login, post, unanswered;
    TimedSend(library, image);  // warms the caches, as a second send in a session has them
    for (int i = 0; i < runs; ++i) {
        const CSendTimes t = TimedSend(library, image);
        login.push_back(t.loginToEditor);
        post.push_back(t.postToPopup);
        unanswered.push_back(t.postToPopup < 0 ? -1 : t.longestUnanswered);
    }
    Report((std::string(name) + ": log-in OK to editor shown").c_str(), login);
    Report((std::string(name) + ": &Post to popup shown").c_str(), post);
    Report((std::string(name) + ": longest the editor did not answer, Post to popup").c_str(), unanswered);
    if (bLessPauses)
        Report((std::string(name) + ": &Post to popup, less the 200 ms of pauses").c_str(), post, kFixedPausesMs);
}

// Sends with the library's call on a thread of its own and on the window
// thread, as every post was made before, one after the other so that both
// see the machine alike: Post to popup may not grow by more than 5 % for the
// editor to keep answering.
void MeasureAgainstWindowThread(const char* name, const CLibrary& library, const std::string& image, int runs)
{
    const auto send = [&](bool bOnWindowThread) {
        ::SetEnvironmentVariableW(L"WP_BENCH_CALL_ON_WINDOW_THREAD", bOnWindowThread ? L"1" : nullptr);
        const CSendTimes t = TimedSend(library, image);
        ::SetEnvironmentVariableW(L"WP_BENCH_CALL_ON_WINDOW_THREAD", nullptr);
        return t;
    };
    std::vector<double> post[2], unanswered[2];
    send(false);
    send(true);
    for (int i = 0; i < runs; ++i) {
        for (int nMode = 0; nMode < 2; ++nMode) {
            const CSendTimes t = send(nMode == 1);
            post[nMode].push_back(t.postToPopup);
            unanswered[nMode].push_back(t.postToPopup < 0 ? -1 : t.longestUnanswered);
        }
    }
    const char* modes[] = {"call on its own thread", "call on the window thread"};
    for (int nMode = 0; nMode < 2; ++nMode) {
        const std::string prefix = std::string(name) + ", " + modes[nMode];
        Report((prefix + ": &Post to popup shown").c_str(), post[nMode]);
        Report((prefix + ": longest not answering").c_str(), unanswered[nMode]);
    }
}

// The real library's call alone, as the accessory makes it, so the figures
// above can be split into the library's share (WordPress's included) and ours.
void MeasureLibraryCall(const char* name, const e2e::CWordPress& wp, const std::string& image, int runs)
{
    testing_support::CTestFolder folder("lib");
    std::vector<double> calls;
    if (e2e::InstallRealLibrary(WP_REAL_LIBRARY_DIR, folder.Path(), wp.strXmlRpc)) {
        HMODULE hLibrary = ::LoadLibraryA((folder.Path() + "QTVPublish.dll").c_str());
        const auto pfnPublish = reinterpret_cast<PFN_PUBLISH_TO_BLOG_NO_GUI>(
            reinterpret_cast<void*>(::GetProcAddress(hLibrary, "PublishToBlogNoGUI")));
        const std::string body = "<a href=\"%s\"><img src = \"%s\" align = \"left\" height=\"239\" width=\"320\" "
                                 "hspace = \"20\" /></a><p>A timed call, 100&#37; the library's.</p>";
        const std::string address = wp.strUrl + "/";
        for (int i = 0; pfnPublish && i <= runs; ++i) {
            const double start = NowMs();
            const int result = pfnPublish(1, "", "", image.c_str(), wp.strUser.c_str(), wp.strPassword.c_str(), "1",
                                          "Library call", body.c_str(), 0, address.c_str());
            if (i > 0)  // the first warms the caches
                calls.push_back(result == kPublishFailed ? -1 : NowMs() - start);
        }
        if (hLibrary)
            ::FreeLibrary(hLibrary);
    }
    Report((std::string(name) + ": PublishToBlogNoGUI alone").c_str(), calls);
}

// What reading the capture's size costs as "&Post" reads it: a GDI+
// bitmap from the file, then its width and height.
void MeasureSizeReading(const char* name, const std::string& image, int runs)
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    std::vector<double> reads;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
        const std::wstring path = platform::WideFromAnsi(image);
        for (int i = 0; i <= runs; ++i) {
            const double start = NowMs();
            Gdiplus::Bitmap bitmap(path.c_str());
            const bool ok = bitmap.GetLastStatus() == Gdiplus::Ok && bitmap.GetWidth() > 0 && bitmap.GetHeight() > 0;
            if (i > 0)
                reads.push_back(ok ? NowMs() - start : -1);
        }
        Gdiplus::GdiplusShutdown(token);
    }
    Report((std::string(name) + ": the capture's size read with GDI+").c_str(), reads);
}

// What the process has taken so far, at its peak.
void ReportMemory(const char* when)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters))
        return;
    std::printf("%d-bit process, %-52s  peak working set %6.1f MB, peak commit %6.1f MB\n",
                static_cast<int>(sizeof(void*) * 8), when, counters.PeakWorkingSetSize / 1048576.0,
                counters.PeakPagefileUsage / 1048576.0);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    ::OleInitialize(nullptr);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;

    testing_support::CTestFolder images("bench");
    const std::string small = images.Path() + "capture-640x480.png";
    const std::string large = images.Path() + "capture-3840x2160.png";
    if (!e2e::WriteCapture(small, 640, 480) || !e2e::WriteCapture(large, 3840, 2160)) {
        std::fprintf(stderr, "send_bench: cannot write the captures\n");
        return 1;
    }

    std::printf("captures: 640 x 480 PNG of %zu bytes, 3840 x 2160 PNG of %zu bytes\n",
                testing_support::ReadFileBytes(small).size(), testing_support::ReadFileBytes(large).size());
    std::printf("%-66s  %3s  %8s  %8s  %8s\n", "milliseconds", "n", "median", "min", "max");
    Measure("stand-in, 640 x 480", CLibrary{}, small, runs, true);
    MeasureSizeReading("640 x 480", small, runs);
    Measure("stand-in, 3840 x 2160", CLibrary{}, large, std::max(1, runs / 2), true);
    MeasureSizeReading("3840 x 2160", large, runs);

    CLibrary real{true, e2e::CWordPress::FromEnvFile(WP_ENV_FILE)};
    if (!real.wp.Known()) {
        std::printf("real library: no local WordPress at %s (scripts/wordpress.sh start)\n", WP_ENV_FILE);
    } else {
        Measure("real, 640 x 480", real, small, runs, true);
        MeasureLibraryCall("real, 640 x 480", real.wp, small, runs);
        ReportMemory("before the real 3840 x 2160 sends");
        Measure("real, 3840 x 2160", real, large, std::max(1, runs / 2), true);
        ReportMemory("after the real 3840 x 2160 sends");
        MeasureAgainstWindowThread("real, 3840 x 2160", real, large, runs);
        MeasureLibraryCall("real, 3840 x 2160", real.wp, large, std::max(1, runs / 2));
    }
    std::fflush(stdout);
    ::ExitProcess(0);
}
