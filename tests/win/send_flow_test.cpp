// A capture from the host to a published post, through the output object and
// the recording publishing library, with the dialogs driven as a user would.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "notify/ToasterPopupWnd.h"
#include "platform/Text.h"
#include "platform/UniqueHandle.h"
#include "res/resource.h"
#include "settings/PasswordProtection.h"
#include "settings/PasswordScrambler.h"
#include "settings/SettingsText.h"
#include "support/DialogDriver.h"
#include "support/EditorDriver.h"
#include "support/PopupDriver.h"
#include "support/RecordingLibrary.h"
#include "support/TestAccessory.h"
#include "support/UiDriver.h"

using testing_support::CRecordedCall;
using testing_support::CRecordingLibrary;
using testing_support::CTestAccessory;
using testing_support::LoggedPassword;

namespace {

const char kLoginCaption[] = "WordPress.com Login";

class SendFlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(m_accessory.CreateResult());
        ::ShowWindow(m_accessory.MainWindow(), SW_SHOWNOACTIVATE);
        m_library.SetAnswers({"blogs.xml=" + editor_test::BlogsXml({{"11", "Holiday notes", "http://www.c.example/"},
                                                                     {"12", "Work log", "http://work.example/"}})});
    }
    void TearDown() override { ClosePopups(); }

    // Runs Send on this thread while the script plays the user.
    HRESULT Send(const std::function<void()>& script)
    {
        ui::CUserScript user(script, 40000);
        const HRESULT hr = m_accessory.As<IOutput>()->Send();
        user.Join();
        return hr;
    }

    std::vector<CRecordedCall> Publications() const
    {
        std::vector<CRecordedCall> found;
        for (const auto& call : m_library.Calls())
            if (call.strFunction == "PublishToBlogNoGUI")
                found.push_back(call);
        return found;
    }
    std::vector<CRecordedCall> BlogListCalls() const
    {
        std::vector<CRecordedCall> found;
        for (const auto& call : m_library.Calls())
            if (call.strFunction == "GetBlogIDs")
                found.push_back(call);
        return found;
    }

    static void ClosePopups()
    {
        for (HWND h : ui::FindWindows("", CToasterPopupWnd::kClassName))
            ::DestroyWindow(h);
    }
    static int Popups() { return popup_driver::CountWindowsOfClass(CToasterPopupWnd::kClassName); }

    std::string File(const char* name) const
    {
        return testing_support::ReadFileBytes(m_accessory.DataFolder() + name);
    }

    CTestAccessory m_accessory;
    CRecordingLibrary m_library{m_accessory.AccessoryFolder()};
};

void LogIn(const std::string& user, const std::string& password, bool bAlwaysUse = false)
{
    HWND h = ui::WaitForWindow(kLoginCaption, "#32770");
    ASSERT_NE(h, nullptr) << "the log-in dialog opened";
    EXPECT_FALSE(dialog_test::ItemVisible(h, IDC_AUTH_SERVER));
    ui::Type(ui::Control(h, IDC_AUTH_USER_NAME), user);
    ui::Type(ui::Control(h, IDC_AUTH_PASSWORD), password);
    if (bAlwaysUse)
        ui::Click(ui::Control(h, IDC_AUTH_ALWAYS_USE));
    ui::Focus(ui::Control(h, IDC_AUTH_PASSWORD));
    ui::Press("Enter");
    ui::WaitUntilGone(h);
}

HWND WaitForEditor()
{
    HWND h = ui::WaitForWindow("Blog Editor", "#32770");
    EXPECT_NE(h, nullptr) << "the Blog Editor opened";
    return h;
}

// A title and a short entry with bold, a per-cent sign and a centred line.
void WriteEntry(HWND h, const std::string& title)
{
    ui::Type(ui::Control(h, IDC_EDITOR_TITLE), title);
    ui::Type(editor_test::Entry(h), "Saved 50% ");
    ui::Press("Ctrl+B");
    ui::Type(nullptr, "today");
    ui::Press("Ctrl+B");
}

void Post(HWND hEditor)
{
    ui::Click(ui::Control(hEditor, ID_POST));
    ui::WaitUntilGone(hEditor, 10000);
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

}  // namespace

TEST_F(SendFlow, LogInWriteAndPostReachesTheLibraryAndIsAnnounced)
{
    const HRESULT hr = Send([&] {
        LogIn("alice", "s3cret");
        HWND h = WaitForEditor();
        WriteEntry(h, "At the lake");
        Post(h);
    });
    EXPECT_EQ(hr, S_OK);

    const auto publications = Publications();
    ASSERT_EQ(publications.size(), 1u);
    const auto& f = publications[0].fields;
    ASSERT_EQ(f.size(), 11u);
    EXPECT_EQ(f[0], "1");
    EXPECT_EQ(f[1], "");
    EXPECT_EQ(f[2], "");
    EXPECT_EQ(f[3], m_accessory.TempFolder() + m_accessory.TempFiles().front());
    EXPECT_EQ(f[4], "alice");
    EXPECT_EQ(f[5], LoggedPassword("s3cret"));
    EXPECT_EQ(f[6], "11");
    EXPECT_EQ(f[7], "At the lake");
    const std::string& body = f[8];
    EXPECT_EQ(body.find("<a href=\"%s\"><img src = \"%s\" alt=\"At the lake\" align = \"left\" height=\"239\" width=\"320\" hspace = \"20\" /></a>"), 0u)
        << body;
    EXPECT_EQ(Count(body, "%s"), 2u);
    EXPECT_EQ(Count(body, "%"), 2u) << "the entry's per-cent sign is written &#37;";
    EXPECT_NE(body.find("Saved 50&#37; <b>today</b>"), std::string::npos) << body;
    EXPECT_EQ(f[9], "0");
    EXPECT_EQ(f[10], "http://www.c.example/");

    // The popup announces the post, and the host's window comes forward.
    EXPECT_EQ(Popups(), 1);
    const auto popups = ui::FindWindows("", CToasterPopupWnd::kClassName);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(::GetForegroundWindow(), m_accessory.MainWindow());
    // The log-in was asked for this send only.
    EXPECT_EQ(File("UserSettings.xml"), "");
    EXPECT_NE(File("UserPrefs.xml").find("<SaveText>0</SaveText>"), std::string::npos);
}

TEST_F(SendFlow, CancelledLogInPostsNothingAndSaysNothing)
{
    bool bAsked = false;
    const HRESULT hr = Send([&] {
        HWND h = ui::WaitForWindow(kLoginCaption, "#32770");
        bAsked = h != nullptr;
        ui::Press("Escape");
    });
    EXPECT_TRUE(bAsked) << "the log-in was asked for";
    EXPECT_EQ(hr, S_OK);
    // Whatever the send showed was modal to it, so it is gone now or never came.
    EXPECT_TRUE(ui::FindWindows("", "#32770").empty());
    EXPECT_TRUE(m_library.Calls().empty());
    EXPECT_EQ(Popups(), 0);
}

TEST_F(SendFlow, AlwaysUseWithoutAStoredLogInSaysInvalidAndOpensNoEditor)
{
    testing_support::WriteFileBytes(m_accessory.DataFolder() + "UserPrefs.xml",
                                    "<userprefs><SaveText>1</SaveText><DisplayHotspotWarning>1</DisplayHotspotWarning></userprefs>");
    std::string message;
    const HRESULT hr = Send([&] { message = ui::AnswerMessageBox(IDOK); });
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(message, "Invalid Username and/or Password");
    EXPECT_TRUE(m_library.Calls().empty());
}

TEST_F(SendFlow, StoredLogInThatCannotBeOpenedIsAskedForAgain)
{
    testing_support::WriteFileBytes(m_accessory.DataFolder() + "UserPrefs.xml",
                                    "<userprefs><SaveText>1</SaveText><DisplayHotspotWarning>1</DisplayHotspotWarning></userprefs>");
    // Sealed elsewhere: the value does not open here.
    testing_support::WriteFileBytes(m_accessory.DataFolder() + "UserSettings.xml",
                                    "<userprefs><StoredText>`!P1:00112233445566778899AABBCCDDEEFF</StoredText>"
                                    "<Login>alice</Login><Server></Server><Endpoint></Endpoint></userprefs>");
    const HRESULT hr = Send([&] {
        LogIn("alice", "fresh");
        Post(WaitForEditor());
    });
    EXPECT_EQ(hr, S_OK);
    const auto publications = Publications();
    ASSERT_EQ(publications.size(), 1u);
    EXPECT_EQ(publications[0].fields[5], LoggedPassword("fresh")) << "nothing garbled was sent";
}

TEST_F(SendFlow, DifferentAccountThenCancelledLogInPostsNothing)
{
    const HRESULT hr = Send([&] {
        LogIn("alice", "one");
        HWND h = WaitForEditor();
        ui::Click(ui::Control(h, ID_USE_DIFFERENT_ACCOUNT));
        ui::WaitUntilGone(h);
        HWND hLogin = ui::WaitForWindow(kLoginCaption, "#32770");
        ASSERT_NE(hLogin, nullptr) << "asked for another log-in";
        ui::Press("Escape");
    });
    EXPECT_EQ(hr, S_OK);
    EXPECT_TRUE(Publications().empty());
    EXPECT_EQ(Popups(), 0);
}

TEST_F(SendFlow, DifferentAccountBringsTheWrittenEntryIntoTheNextEditor)
{
    std::string titleAgain, entryAgain;
    bool bTopAgain = false, bDraftAgain = false;
    LRESULT nBlogAgain = -1;
    const HRESULT hr = Send([&] {
        LogIn("alice", "one");
        HWND h = WaitForEditor();
        WriteEntry(h, "Carried over");
        ui::Type(nullptr, " see ");
        ui::CUserScript link([] {
            HWND hLink = ui::WaitForWindow("Create Link", "#32770", 5000);
            ASSERT_NE(hLink, nullptr);
            ui::Type(ui::Control(hLink, IDC_LINK_URL_TEXT), "the site");
            ui::Type(ui::Control(hLink, IDC_LINK_URL_ADDRESS), "http://site.example/");
            ui::Press("Enter");
            ui::WaitUntilGone(hLink, 3000);
        });
        ui::Press("Ctrl+K");
        link.Join();
        ::SendMessageA(ui::Control(h, IDC_EDITOR_BLOG_NAME), CB_SETCURSEL, 1, 0);
        editor_test::ClickButton(editor_test::ImageBar(h), ID_ALIGN_IMAGE_TOP);
        ui::Click(ui::Control(h, IDC_EDITOR_DRAFT));
        const std::string entry = editor_test::EntryText(h);
        ui::Click(ui::Control(h, ID_USE_DIFFERENT_ACCOUNT));
        ui::WaitUntilGone(h);

        LogIn("bob", "two");
        HWND hAgain = WaitForEditor();
        titleAgain = dialog_test::ItemText(hAgain, IDC_EDITOR_TITLE);
        entryAgain = editor_test::EntryText(hAgain);
        EXPECT_EQ(entryAgain, entry);
        bTopAgain = editor_test::Pressed(editor_test::ImageBar(hAgain), ID_ALIGN_IMAGE_TOP);
        bDraftAgain = dialog_test::ItemChecked(hAgain, IDC_EDITOR_DRAFT);
        nBlogAgain = ::SendMessageA(ui::Control(hAgain, IDC_EDITOR_BLOG_NAME), CB_GETCURSEL, 0, 0);
        Post(hAgain);
    });
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(titleAgain, "Carried over");
    EXPECT_EQ(entryAgain.rfind("Saved 50% today see the site#\"http://site.example/\"", 0), 0u) << entryAgain;
    EXPECT_TRUE(bTopAgain);
    EXPECT_TRUE(bDraftAgain);
    EXPECT_EQ(nBlogAgain, 1) << "the blog chosen, which the new account lists too";

    const auto publications = Publications();
    ASSERT_EQ(publications.size(), 1u);
    const auto& f = publications[0].fields;
    EXPECT_EQ(f[4], "bob");
    EXPECT_EQ(f[5], LoggedPassword("two"));
    EXPECT_EQ(f[6], "12");
    EXPECT_EQ(f[7], "Carried over");
    EXPECT_EQ(f[9], "1");
    EXPECT_EQ(f[8].rfind("<p align = \"center\">", 0), 0u) << f[8];
    EXPECT_NE(f[8].find("Saved 50&#37; <b>today</b>"), std::string::npos) << f[8];
    EXPECT_NE(f[8].find("<a href=\"http://site.example/\">"), std::string::npos) << "the link is still a link: " << f[8];
}

TEST_F(SendFlow, AStoredLogInOfTheEarlierVersionIsSealedAtTheFirstSendAndStillSignsIn)
{
    testing_support::WriteFileBytes(m_accessory.DataFolder() + "UserPrefs.xml",
                                    settings::TextModeBytes(settings::ComposePreferences(1, 1)));
    testing_support::WriteFileBytes(m_accessory.DataFolder() + "UserSettings.xml",
                                    settings::TextModeBytes(settings::ComposeStoredLogin("pw&<1>", "alice", "", "")));
    ASSERT_NE(File("UserSettings.xml").find(settings::ScramblePassword("pw&<1>")), std::string::npos);
    for (int send = 0; send < 2; ++send) {
        EXPECT_EQ(Send([&] { Post(WaitForEditor()); }), S_OK);
        ClosePopups();
        const std::string stored = File("UserSettings.xml");
        EXPECT_NE(stored.find(std::string("<StoredText>") + settings::kProtectedMarker), std::string::npos) << stored;
        EXPECT_EQ(stored.find(settings::ScramblePassword("pw&<1>")), std::string::npos) << stored;
        EXPECT_NE(stored.find("<Login>alice</Login>"), std::string::npos) << stored;
    }
    const auto publications = Publications();
    ASSERT_EQ(publications.size(), 2u);
    for (const auto& publication : publications) {
        EXPECT_EQ(publication.fields[4], "alice");
        EXPECT_EQ(publication.fields[5], LoggedPassword("pw&<1>"));
    }
}

TEST_F(SendFlow, RefusedLogInAsksAgainAndTheSecondLogInPosts)
{
    m_library.SetAnswers({"blogs.refuse=wrong", "blogs.xml=" + editor_test::BlogsXml({{"5", "Mine", "http://mine.example/"}})});
    std::vector<std::string> boxes;
    const HRESULT hr = Send([&] {
        LogIn("wrong", "pw1");
        LogIn("right", "pw2");
        HWND h = WaitForEditor();
        ui::Type(ui::Control(h, IDC_EDITOR_TITLE), "Second try");
        Post(h);
    });
    EXPECT_EQ(hr, S_OK);
    const auto lists = BlogListCalls();
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0].fields[3], "wrong");
    EXPECT_EQ(lists[1].fields[3], "right");
    const auto publications = Publications();
    ASSERT_EQ(publications.size(), 1u);
    EXPECT_EQ(publications[0].fields[4], "right");
    EXPECT_EQ(publications[0].fields[5], LoggedPassword("pw2"));
    EXPECT_EQ(publications[0].fields[6], "5");
    EXPECT_EQ(Popups(), 1);
}

TEST_F(SendFlow, MissingLibraryIsReported)
{
    ::DeleteFileA(m_library.LibraryPath().c_str());
    std::string message;
    const HRESULT hr = Send([&] {
        LogIn("alice", "pw");
        message = ui::AnswerMessageBox(IDOK);
    });
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(message, "Could not load required DLL for Posting");
    EXPECT_EQ(Popups(), 0);
}

TEST_F(SendFlow, FailedPublicationKeepsTheEntryAndASecondPostPublishes)
{
    m_library.SetAnswers({"publish.fail=1",
                          "blogs.xml=" + editor_test::BlogsXml({{"1", "A", "http://a.example/"}, {"2", "B", "http://b.example/"}})});
    const HRESULT hr = Send([&] {
        LogIn("alice", "pw");
        HWND h = WaitForEditor();
        ui::Type(ui::Control(h, IDC_EDITOR_TITLE), "Kept title");
        ui::Type(editor_test::Entry(h), "kept entry");
        HWND hBlogs = ui::Control(h, IDC_EDITOR_BLOG_NAME);
        ::SendMessageA(hBlogs, CB_SETCURSEL, 1, 0);
        editor_test::ClickButton(editor_test::ImageBar(h), ID_ALIGN_IMAGE_TOP);
        ui::Click(ui::Control(h, IDC_EDITOR_DRAFT));
        ui::Click(ui::Control(h, ID_POST));
        const std::string message = ui::AnswerMessageBox(IDOK);
        EXPECT_EQ(message.rfind("Unable to send to Word Press", 0), 0u) << message;
        ASSERT_TRUE(ui::IsVisible(h)) << "the editor stays open";
        EXPECT_EQ(dialog_test::ItemText(h, IDC_EDITOR_TITLE), "Kept title");
        EXPECT_EQ(editor_test::EntryText(h), "kept entry");
        EXPECT_EQ(::SendMessageA(hBlogs, CB_GETCURSEL, 0, 0), 1);
        EXPECT_TRUE(editor_test::Pressed(editor_test::ImageBar(h), ID_ALIGN_IMAGE_TOP));
        EXPECT_TRUE(dialog_test::ItemChecked(h, IDC_EDITOR_DRAFT));
        Post(h);
    });
    EXPECT_EQ(hr, S_OK);
    const auto publications = Publications();
    ASSERT_EQ(publications.size(), 2u);
    EXPECT_EQ(publications[0].fields, publications[1].fields) << "the same entry was posted again";
    EXPECT_EQ(publications[1].fields[6], "2");
    EXPECT_EQ(publications[1].fields[9], "1");
    EXPECT_EQ(publications[1].fields[10], "http://b.example/");
    EXPECT_EQ(publications[1].fields[8].rfind("<p align = \"center\"><a href=\"%s\"><img src = \"%s\" alt=\"Kept title\" height=\"239\" width=\"320\" hspace=\"6\" /></a></p>", 0), 0u);
    EXPECT_EQ(Popups(), 1);
}

TEST_F(SendFlow, AlwaysUseStoresTheLogInAndTheNextSendSkipsTheDialog)
{
    EXPECT_EQ(Send([&] {
                  LogIn("alice", "pw", true);
                  HWND h = WaitForEditor();
                  Post(h);
              }),
              S_OK);
    EXPECT_NE(File("UserSettings.xml"), "");
    ClosePopups();
    std::vector<std::string> captions;
    EXPECT_EQ(Send([&] {
                  HWND h = WaitForEditor();
                  EXPECT_TRUE(ui::FindWindows(kLoginCaption).empty());
                  EXPECT_EQ(dialog_test::ItemText(h, IDC_EDITOR_USER_NAME), "alice");
                  Post(h);
              }),
              S_OK);
    EXPECT_EQ(Publications().size(), 2u);
}

namespace {

// A text as the settings files reach the disk: written in text mode.
std::string AsWrittenInTextMode(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

FILETIME WriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

}  // namespace

TEST_F(SendFlow, OptionsStoreTheLogInShowItAgainAndForgetIt)
{
    const auto options = [&](const std::function<void(HWND)>& script) {
        ui::CUserScript user([&] {
            HWND h = ui::WaitForWindow(kLoginCaption, "#32770");
            ASSERT_NE(h, nullptr);
            script(h);
            ui::WaitUntilGone(h);
        });
        EXPECT_EQ(m_accessory.As<IPackageOptionsUI>()->ShowOptions(), S_OK);
        user.Join();
    };
    options([](HWND h) {
        ui::Click(ui::Control(h, IDC_OPTIONS_ALWAYS_USE));
        ui::Type(ui::Control(h, IDC_OPTIONS_USER_NAME), "alice");
        ui::Type(ui::Control(h, IDC_OPTIONS_PASSWORD), "pw&<1>");
        ui::Click(ui::Control(h, IDOK));
    });
    EXPECT_EQ(File("UserPrefs.xml"), AsWrittenInTextMode(settings::ComposePreferences(1, 1)));
    // The password is sealed for the user; around it the file is as composed.
    const std::string storedFile = File("UserSettings.xml");
    const std::size_t open = storedFile.find("<StoredText>") + 12;
    ASSERT_EQ(storedFile.compare(open, 5, settings::kProtectedMarker), 0) << storedFile;
    const std::string sealed = storedFile.substr(open, storedFile.find("</StoredText>") - open);
    EXPECT_EQ(storedFile, AsWrittenInTextMode(settings::ComposeStoredLoginText(sealed, "alice", "", "")));

    // Cancel leaves both files as they were, to the byte and the time.
    const std::string prefs = File("UserPrefs.xml"), stored = File("UserSettings.xml");
    const FILETIME tPrefs = WriteTime(m_accessory.DataFolder() + "UserPrefs.xml");
    const FILETIME tStored = WriteTime(m_accessory.DataFolder() + "UserSettings.xml");
    ::Sleep(50);
    options([](HWND h) {
        EXPECT_EQ(dialog_test::ItemText(h, IDC_OPTIONS_USER_NAME), "alice");
        EXPECT_EQ(dialog_test::ItemText(h, IDC_OPTIONS_PASSWORD), "pw&<1>");
        EXPECT_TRUE(dialog_test::ItemChecked(h, IDC_OPTIONS_ALWAYS_USE));
        ui::Click(ui::Control(h, IDC_OPTIONS_PROMPT));
        ui::Click(ui::Control(h, IDCANCEL));
    });
    EXPECT_EQ(File("UserPrefs.xml"), prefs);
    EXPECT_EQ(File("UserSettings.xml"), stored);
    const FILETIME tPrefsAfter = WriteTime(m_accessory.DataFolder() + "UserPrefs.xml");
    const FILETIME tStoredAfter = WriteTime(m_accessory.DataFolder() + "UserSettings.xml");
    EXPECT_EQ(::CompareFileTime(&tPrefs, &tPrefsAfter), 0);
    EXPECT_EQ(::CompareFileTime(&tStored, &tStoredAfter), 0);

    // Prompting every time forgets the stored log-in.
    options([](HWND h) {
        ui::Click(ui::Control(h, IDC_OPTIONS_PROMPT));
        ui::Click(ui::Control(h, IDOK));
    });
    EXPECT_EQ(File("UserPrefs.xml"), AsWrittenInTextMode(settings::ComposePreferences(0, 1)));
    EXPECT_EQ(::GetFileAttributesA((m_accessory.DataFolder() + "UserSettings.xml").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(m_library.Calls().empty());
}

TEST_F(SendFlow, PopupEndsByItself)
{
    EXPECT_EQ(Send([&] {
                  LogIn("alice", "pw");
                  Post(WaitForEditor());
              }),
              S_OK);
    EXPECT_EQ(Popups(), 1);
    EXPECT_TRUE(popup_driver::PumpUntil([] { return Popups() == 0; }, 8000)) << "the popup ended after its time";
}

// What a process holds, for runs that must leave it as they found it.
struct CProcessFigures {
    int nGdi = 0;
    int nWindows = 0;
    int nThreads = 0;
    DWORD nHandles = 0;
    SIZE_T nPrivateBytes = 0;
    std::vector<std::pair<ULONG_PTR, std::string>> handles;  // value and kind of each open handle
};

// The kind of object a handle stands for ("Event", "Thread", "Key", ...), so a
// run that leaks handles says which.
std::string HandleKind(HANDLE h)
{
    using NtQueryObjectFn = NTSTATUS(NTAPI*)(HANDLE, OBJECT_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    static const auto pfnQuery = reinterpret_cast<NtQueryObjectFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
    alignas(8) BYTE buffer[1024] = {};
    ULONG n = 0;
    if (!pfnQuery || pfnQuery(h, ObjectTypeInformation, buffer, sizeof buffer, &n) != 0)
        return "?";
    const auto* info = reinterpret_cast<const PUBLIC_OBJECT_TYPE_INFORMATION*>(buffer);
    return platform::AnsiFromWide(std::wstring(info->TypeName.Buffer, info->TypeName.Length / sizeof(wchar_t)));
}

std::string NewHandleKinds(const CProcessFigures& before, const CProcessFigures& after)
{
    std::map<std::string, int> kinds;
    for (const auto& handle : after.handles)
        if (std::find(before.handles.begin(), before.handles.end(), handle) == before.handles.end())
            ++kinds[handle.second];
    std::string text;
    for (const auto& kind : kinds)
        text += kind.first + " x" + std::to_string(kind.second) + " ";
    return text;
}

CProcessFigures ReadFigures()
{
    CProcessFigures f;
    f.nGdi = popup_driver::GdiObjectCount();
    f.nWindows = static_cast<int>(ui::FindWindows().size());
    // Each post has a thread of its own, which must be gone once the post is back.
    platform::CHandle hSnapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 thread{};
    thread.dwSize = sizeof thread;
    if (hSnapshot.Get() != INVALID_HANDLE_VALUE && ::Thread32First(hSnapshot.Get(), &thread)) {
        do {
            f.nThreads += thread.th32OwnerProcessID == ::GetCurrentProcessId();
        } while (::Thread32Next(hSnapshot.Get(), &thread));
    }
    // Wine answers 0 for the process's handle count and private bytes; the
    // handle table is probed and the committed memory read instead.
    for (ULONG_PTR h = 4; h < 0x10000; h += 4) {
        DWORD dwFlags = 0;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(h), &dwFlags)) {
            ++f.nHandles;
            f.handles.emplace_back(h, HandleKind(reinterpret_cast<HANDLE>(h)));
        }
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    f.nPrivateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    return f;
}

TEST_F(SendFlow, FiftySendsLeaveTheProcessFlat)
{
    const auto sendOnce = [&] {
        EXPECT_EQ(Send([&] {
                      LogIn("alice", "pw");
                      HWND h = WaitForEditor();
                      ui::Type(ui::Control(h, IDC_EDITOR_TITLE), "t");
                      ui::Type(editor_test::Entry(h), "e");
                      Post(h);
                  }),
                  S_OK);
        ClosePopups();
    };
    sendOnce();  // the first send loads what stays loaded: fonts, classes, libraries
    const CProcessFigures first = ReadFigures();
    for (int i = 0; i < 50; ++i)
        sendOnce();
    const CProcessFigures last = ReadFigures();
    std::printf("after 1 and 51 sends: GDI %d -> %d, windows %d -> %d, threads %d -> %d, handles %lu -> %lu, "
                "private KiB %lu -> %lu\n",
                first.nGdi, last.nGdi, first.nWindows, last.nWindows, first.nThreads, last.nThreads, first.nHandles,
                last.nHandles,
                static_cast<unsigned long>(first.nPrivateBytes / 1024), static_cast<unsigned long>(last.nPrivateBytes / 1024));
    EXPECT_EQ(Publications().size(), 51u);
    EXPECT_LT(last.nGdi, first.nGdi + popup_driver::kGdiCacheCreep);
    EXPECT_EQ(last.nWindows, first.nWindows);
    EXPECT_GT(first.nThreads, 0);
    EXPECT_EQ(last.nThreads, first.nThreads);
    EXPECT_LE(last.nHandles, first.nHandles + 4) << "new handles: " << NewHandleKinds(first, last);
    EXPECT_LE(last.nPrivateBytes, first.nPrivateBytes + 4 * 1024 * 1024);
}
