// Sends and settings for a user whose folders are named in a script the ANSI
// code page does not hold: a profile "Андрей" on a Western system. The
// publishing library takes the image's path as 8-bit text, so the capture
// copy must land where such a path reaches it.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>

#include <string>
#include <vector>

#include "output/ImageFolder.h"
#include "platform/Module.h"
#include "platform/Text.h"
#include "res/resource.h"
#include "support/EditorDriver.h"
#include "support/RecordingLibrary.h"
#include "support/TestAccessory.h"
#include "support/UiDriver.h"
#include "util/WidePath.h"

using testing_support::CRecordedCall;
using testing_support::CRecordingLibrary;
using testing_support::CTestAccessory;

namespace {

const wchar_t kUserName[] = L"\u0410\u043d\u0434\u0440\u0435\u0439";  // Андрей

void RemoveTreeW(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTreeW(folder + name + L"\\");
            else
                ::DeleteFileW((folder + name).c_str());
        } while (::FindNextFileW(h, &data));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(folder.c_str());
}

// A profile folder named in Cyrillic, made under the process's temporary
// folder for one test and removed with everything in it. Its temporary folder
// exists; its data folder does not yet, as for a user who never sent.
class CCyrillicProfile {
public:
    CCyrillicProfile()
        : m_strRoot(util::TempFolder() + L"wptest-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + kUserName +
                    L"\\")
    {
        RemoveTreeW(m_strRoot);
        ::CreateDirectoryW(m_strRoot.c_str(), nullptr);
        ::CreateDirectoryW(Temp().c_str(), nullptr);
    }
    ~CCyrillicProfile() { RemoveTreeW(m_strRoot); }
    CCyrillicProfile(const CCyrillicProfile&) = delete;
    CCyrillicProfile& operator=(const CCyrillicProfile&) = delete;

    const std::wstring& Root() const { return m_strRoot; }
    std::wstring Temp() const { return m_strRoot + L"Temp\\"; }
    std::wstring Data() const { return m_strRoot + L"Application Data\\Orlimo\\Word Press\\"; }

private:
    std::wstring m_strRoot;
};

std::string ReadWide(const std::wstring& path)
{
    std::string bytes;
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD n = 0;
    while (::ReadFile(h, chunk, sizeof chunk, &n, nullptr) && n)
        bytes.append(chunk, n);
    ::CloseHandle(h);
    return bytes;
}

std::wstring LongPathOf(const std::string& ansiPath)
{
    const std::wstring path = platform::WideFromAnsi(ansiPath, CP_ACP);
    wchar_t full[32768] = {};
    const DWORD n = ::GetLongPathNameW(path.c_str(), full, 32768);
    return n > 0 && n < 32768 ? std::wstring(full, n) : std::wstring();
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() &&
           ::CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                  static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

DWORD WINAPI NoShortNames(LPCWSTR /*pszLongPath*/, LPWSTR /*pszShortPath*/, DWORD /*nChars*/)
{
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

// The shared folder the copy falls back to, for the test that needs one it
// may look into, and one whose name the code page cannot hold either.
std::wstring g_strSharedFolder;
std::wstring TestSharedFolder() { return g_strSharedFolder; }

// Volumes without short names, and a shared folder of the test's choosing,
// for one test.
class CFolderRules {
public:
    CFolderRules(bool bShortNames, const std::wstring& sharedFolder)
    {
        if (!bShortNames)
            m_pfnOldShortPath = util::SetShortPathHandler(NoShortNames);
        g_strSharedFolder = sharedFolder;
        m_pfnOldShared = output::SetSharedFolderHandler(TestSharedFolder);
    }
    ~CFolderRules()
    {
        if (m_pfnOldShortPath)
            util::SetShortPathHandler(m_pfnOldShortPath);
        output::SetSharedFolderHandler(m_pfnOldShared);
    }
    CFolderRules(const CFolderRules&) = delete;
    CFolderRules& operator=(const CFolderRules&) = delete;

private:
    util::ShortPathFn m_pfnOldShortPath = nullptr;
    output::SharedFolderFn m_pfnOldShared = nullptr;
};

class WidePaths : public ::testing::Test {
protected:
    void SetUp() override
    {
        // On a system whose code page holds Cyrillic nothing here is tested.
        ASSERT_FALSE(util::SurvivesAnsi(m_profile.Root())) << "code page " << ::GetACP();
    }

    testing_support::CHostSetup Setup() const
    {
        testing_support::CHostSetup setup;
        setup.strTempFolder = m_profile.Temp();
        setup.strDataFolder = m_profile.Data();
        return setup;
    }

    static HRESULT Send(CTestAccessory& accessory, const std::function<void()>& script)
    {
        ui::CUserScript user(script, 40000);
        const HRESULT hr = accessory.As<IOutput>()->Send();
        user.Join();
        return hr;
    }

    static std::vector<CRecordedCall> Publications(const CRecordingLibrary& library)
    {
        std::vector<CRecordedCall> found;
        for (const auto& call : library.Calls())
            if (call.strFunction == "PublishToBlogNoGUI")
                found.push_back(call);
        return found;
    }

    static void LogIn(bool bAlwaysUse)
    {
        HWND h = ui::WaitForWindow("WordPress.com Login", "#32770");
        ASSERT_NE(h, nullptr) << "the log-in dialog opened";
        ui::Type(ui::Control(h, IDC_AUTH_USER_NAME), "andrei");
        ui::Type(ui::Control(h, IDC_AUTH_PASSWORD), "s3cret");
        if (bAlwaysUse)
            ui::Click(ui::Control(h, IDC_AUTH_ALWAYS_USE));
        ui::Focus(ui::Control(h, IDC_AUTH_PASSWORD));
        ui::Press("Enter");
        ui::WaitUntilGone(h);
    }

    static void Post(const std::string& title)
    {
        HWND h = ui::WaitForWindow("Blog Editor", "#32770");
        ASSERT_NE(h, nullptr) << "the Blog Editor opened";
        ui::Type(ui::Control(h, IDC_EDITOR_TITLE), title);
        ui::Click(ui::Control(h, ID_POST));
        ui::WaitUntilGone(h, 10000);
    }

    static void SetAnswers(const CRecordingLibrary& library)
    {
        library.SetAnswers({"blogs.xml=" + editor_test::BlogsXml({{"7", "Notes", "http://notes.example/"}})});
    }

    CCyrillicProfile m_profile;
};

}  // namespace

TEST_F(WidePaths, SendFromCyrillicFoldersPublishesAndTheStoredLogInIsReadBack)
{
    CTestAccessory accessory(testing_support::CreateFrom::LinkedClassTable, Setup());
    ASSERT_HRESULT_SUCCEEDED(accessory.CreateResult());
    CRecordingLibrary library(accessory.AccessoryFolder());
    SetAnswers(library);

    EXPECT_EQ(Send(accessory, [] {
                  LogIn(true);
                  Post("First");
              }),
              S_OK);
    auto publications = Publications(library);
    ASSERT_EQ(publications.size(), 1u);
    const std::string imagePath = publications[0].fields[3];
    // The library was handed a path it can open, naming the copy in the
    // user's own temporary folder (its short form).
    EXPECT_EQ(imagePath.find('?'), std::string::npos) << imagePath;
    EXPECT_NE(::GetFileAttributesA(imagePath.c_str()), INVALID_FILE_ATTRIBUTES) << imagePath;
    const std::wstring longPath = LongPathOf(imagePath);
    EXPECT_TRUE(StartsWithNoCase(longPath, m_profile.Temp())) << platform::AnsiFromWide(longPath, CP_UTF8);

    // The data folder was made, parents included, and holds both files.
    EXPECT_NE(ReadWide(m_profile.Data() + L"UserPrefs.xml").find("<SaveText>1</SaveText>"), std::string::npos);
    EXPECT_NE(ReadWide(m_profile.Data() + L"UserSettings.xml").find("<Login>andrei</Login>"), std::string::npos);

    // The next send reads the stored log-in: no log-in dialog.
    EXPECT_EQ(Send(accessory, [] { Post("Second"); }), S_OK);
    publications = Publications(library);
    ASSERT_EQ(publications.size(), 2u);
    EXPECT_EQ(publications[1].fields[4], "andrei");
    EXPECT_EQ(publications[1].fields[5], testing_support::LoggedPassword("s3cret"));
    EXPECT_EQ(publications[1].fields[7], "Second");
}

TEST_F(WidePaths, WithoutShortNamesTheCopyGoesToTheUsersPrivateSharedFolder)
{
    testing_support::CTestFolder shared("shared");
    const CFolderRules rules(false, platform::WideFromAnsi(shared.Path()));
    CTestAccessory accessory(testing_support::CreateFrom::LinkedClassTable, Setup());
    ASSERT_HRESULT_SUCCEEDED(accessory.CreateResult());
    CRecordingLibrary library(accessory.AccessoryFolder());
    SetAnswers(library);

    EXPECT_EQ(Send(accessory, [] {
                  LogIn(false);
                  Post("Shared");
              }),
              S_OK);
    const auto publications = Publications(library);
    ASSERT_EQ(publications.size(), 1u);
    const std::string imagePath = publications[0].fields[3];
    const std::string folder = shared.Path() + "Word Press Output\\";
    ASSERT_EQ(imagePath.compare(0, folder.size(), folder), 0) << imagePath;
    EXPECT_NE(::GetFileAttributesA(imagePath.c_str()), INVALID_FILE_ATTRIBUTES) << imagePath;

    // Other users of the machine cannot read the capture there.
    const std::string userFolder = imagePath.substr(0, imagePath.rfind('\\'));
    PSECURITY_DESCRIPTOR pDescriptor = nullptr;
    PACL pDacl = nullptr;
    ASSERT_EQ(::GetNamedSecurityInfoA(userFolder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                      &pDacl, nullptr, &pDescriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    // The folder carries the three entries set for it, the user's among
    // them. (Wine keeps the entries but not the flag that stops inheritance,
    // and reads one of them back as another group, so which groups they
    // name is not checked here.)
    ASSERT_NE(pDacl, nullptr);
    EXPECT_EQ(pDacl->AceCount, 3u);
    HANDLE hToken = nullptr;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &hToken));
    BYTE user[256] = {};
    DWORD size = 0;
    const BOOL bUser = ::GetTokenInformation(hToken, TokenUser, user, sizeof user, &size);
    ::CloseHandle(hToken);
    ASSERT_TRUE(bUser);
    bool bUserLetIn = false;
    for (DWORD i = 0; i < pDacl->AceCount; ++i) {
        void* pAce = nullptr;
        ASSERT_TRUE(::GetAce(pDacl, i, &pAce));
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(pAce);
        EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        PSID sid = const_cast<DWORD*>(&allowed->SidStart);
        bUserLetIn = bUserLetIn || ::EqualSid(sid, reinterpret_cast<TOKEN_USER*>(user)->User.Sid);
    }
    EXPECT_TRUE(bUserLetIn);
    ::LocalFree(pDescriptor);
}

TEST_F(WidePaths, NoFolderTheCodePageHoldsIsExplainedAndNothingIsSent)
{
    const CFolderRules rules(false, m_profile.Root() + L"Shared");
    CTestAccessory accessory(testing_support::CreateFrom::LinkedClassTable, Setup());
    ASSERT_HRESULT_SUCCEEDED(accessory.CreateResult());
    CRecordingLibrary library(accessory.AccessoryFolder());
    SetAnswers(library);

    std::string message;
    const HRESULT hr = Send(accessory, [&] { message = ui::AnswerMessageBox(IDOK); });
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(message, platform::CModule::LoadString(IDS_NO_ANSI_FOLDER));
    EXPECT_FALSE(message.empty());
    EXPECT_TRUE(library.Calls().empty());
    // Nothing was left behind in either folder.
    WIN32_FIND_DATAW data;
    HANDLE h = ::FindFirstFileW((m_profile.Temp() + L"*.*").c_str(), &data);
    int files = 0;
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ++files;
        } while (::FindNextFileW(h, &data));
        ::FindClose(h);
    }
    EXPECT_EQ(files, 0);
    EXPECT_EQ(::GetFileAttributesW((m_profile.Root() + L"Shared").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(WidePaths, AnsiFormOfAPathIsItselfItsShortFormOrNothing)
{
    const std::wstring plain = util::TempFolder();
    ASSERT_TRUE(util::SurvivesAnsi(plain));
    EXPECT_EQ(util::AnsiPathOf(plain), platform::AnsiFromWide(plain, CP_ACP));

    // An existing folder: its short form, which names the same folder.
    const std::string shortForm = util::AnsiPathOf(m_profile.Temp());
    ASSERT_FALSE(shortForm.empty());
    EXPECT_TRUE(util::SurvivesAnsi(platform::WideFromAnsi(shortForm, CP_ACP))) << shortForm;
    EXPECT_TRUE(StartsWithNoCase(LongPathOf(shortForm), m_profile.Temp())) << shortForm;
    // Nothing there yet, so no short form; and none on a volume without them.
    EXPECT_EQ(util::AnsiPathOf(m_profile.Data()), "");
    const CFolderRules rules(false, L"");
    EXPECT_EQ(util::AnsiPathOf(m_profile.Temp()), "");
    EXPECT_EQ(util::AnsiPathOf(L""), "");
}
