// "&Post" in the Blog Editor: what reaches the publishing library for each
// image placement, the draft flag, an image that cannot be decoded, and the
// debug dump that asks before sending.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <winioctl.h>

#include <cstring>
#include <vector>

#include "editor/BlogOutputDlg.h"
#include "platform/Module.h"
#include "platform/Text.h"
#include "platform/UniqueHandle.h"
#include "publish/PublishLibrary.h"
#include "res/resource.h"
#include "support/PrefixLeftovers.h"
#include "support/DialogDriver.h"
#include "support/EditorDriver.h"
#include "support/UiDriver.h"

using namespace dialog_test;
using namespace editor_test;

namespace {

const std::string kOneBlog = BlogsXml({{"7", "Seven", "http://seven.example/"}});

struct CPosted {
    INT_PTR nResult = 0;
    std::vector<std::string> fields;  // of the last publication
    std::string strBlogAddress;
    std::size_t nPublications = 0;
};

CPosted PostWith(const std::function<void(HWND)>& prepare, const std::string& imagePath = "")
{
    CEditorSetup setup(kOneBlog);
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    if (!imagePath.empty())
        dlg.m_strImagePath = imagePath;
    CPosted posted;
    posted.nResult = RunDialog(dlg, "Blog Editor", [&](HWND h) {
        ui::Type(Entry(h), "Entry text");
        prepare(h);
        ui::Click(ui::Control(h, ID_POST));
    });
    for (const auto& call : setup.Library().Calls()) {
        if (call.strFunction == "PublishToBlogNoGUI") {
            posted.fields = call.fields;
            ++posted.nPublications;
        }
    }
    posted.strBlogAddress = dlg.m_strBlogAddress;
    return posted;
}

const std::string kEntry = "<p align=\"left\"><font size=\"2\">Entry text</font></p>";
const std::string kSize = "height=\"239\" width=\"320\"";

}  // namespace

TEST(BlogEditorPost, EachPlacementGivesItsBlockAndPosition)
{
    const std::pair<int, std::string> cases[] = {
        {ID_ALIGN_IMAGE_LEFT, "<a href=\"%s\"><img src = \"%s\" alt=\"Screen capture\" align = \"left\" " + kSize + " hspace = \"20\" /></a>" + kEntry},
        {ID_ALIGN_IMAGE_RIGHT, "<a href=\"%s\"><img src = \"%s\" alt=\"Screen capture\" align = \"right\" " + kSize + " hspace = \"20\" /></a>" + kEntry},
        {ID_ALIGN_IMAGE_TOP, "<p align = \"center\"><a href=\"%s\"><img src = \"%s\" alt=\"Screen capture\" " + kSize + " hspace=\"6\" /></a></p>" + kEntry},
        {ID_ALIGN_IMAGE_BOTTOM, kEntry + "<p align = \"center\"><a href=\"%s\"><img src = \"%s\" alt=\"Screen capture\" " + kSize + " hspace=\"6\" /></a></p>"},
    };
    for (const auto& [id, body] : cases) {
        const CPosted posted = PostWith([&](HWND h) { ClickButton(ImageBar(h), id); });
        EXPECT_EQ(posted.nResult, IDOK) << id;
        ASSERT_EQ(posted.fields.size(), 11u) << id;
        EXPECT_EQ(posted.fields[8], body) << id;
        EXPECT_EQ(posted.fields[9], "0") << id;
        EXPECT_EQ(posted.fields[6], "7");
        EXPECT_EQ(posted.strBlogAddress, "http://seven.example/");
    }
    EXPECT_EQ(publish::g_hPublishLibrary, nullptr) << "freed after the post";
}

TEST(BlogEditorPost, DraftBoxAndAnUndecodableImage)
{
    testing_support::CTestFolder folder("img");
    const std::string broken = folder.Path() + "broken.png";
    testing_support::WriteFileBytes(broken, "not an image at all");
    const CPosted posted = PostWith([](HWND h) { ui::Click(ui::Control(h, IDC_EDITOR_DRAFT)); }, broken);
    ASSERT_EQ(posted.fields.size(), 11u);
    EXPECT_EQ(posted.fields[3], broken);
    EXPECT_EQ(posted.fields[9], "1");
    EXPECT_EQ(posted.fields[8], "<a href=\"%s\"><img src = \"%s\" alt=\"Screen capture\" align = \"left\"  hspace = \"20\" /></a>" + kEntry);
}

TEST(BlogEditorPost, DebugDumpWritesBothFilesAndAsksEachTime)
{
    const std::string folder = "c:\\DebugBlogHTML";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_NE(::GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    CEditorSetup setup(kOneBlog);
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    std::string firstQuestion, secondQuestion, rtfFirst, html;
    bool bStillOpen = false;
    const INT_PTR result = RunDialog(dlg, "Blog Editor", [&](HWND h) {
        ui::Type(Entry(h), "dumped");
        ui::Click(ui::Control(h, ID_POST));
        firstQuestion = ui::AnswerMessageBox(IDNO);
        bStillOpen = ui::IsVisible(h);
        rtfFirst = testing_support::ReadFileBytes(folder + "\\rtf.rtf");
        ::DeleteFileA((folder + "\\rtf.rtf").c_str());
        ui::Type(Entry(h), " again");
        ui::Click(ui::Control(h, ID_POST));
        secondQuestion = ui::AnswerMessageBox(IDYES);
    });
    html = testing_support::ReadFileBytes(folder + "\\html.htm");
    const std::string rtfSecond = testing_support::ReadFileBytes(folder + "\\rtf.rtf");
    testing_support::RemoveTree(folder);

    EXPECT_EQ(firstQuestion, "RTF/HTML outputted to c:\\DebugBlogHTML Continue to send to blog?");
    EXPECT_EQ(secondQuestion, firstQuestion);
    EXPECT_TRUE(bStillOpen) << "No keeps the editor open";
    EXPECT_NE(rtfFirst.find("dumped"), std::string::npos);
    EXPECT_NE(rtfSecond.find("dumped again"), std::string::npos) << "written anew";
    EXPECT_NE(html.find("dumped again"), std::string::npos);
    EXPECT_NE(html.find("<img src"), std::string::npos) << "with the image block";
    EXPECT_EQ(result, IDOK);
    std::size_t nPublications = 0;
    for (const auto& call : setup.Library().Calls())
        nPublications += call.strFunction == "PublishToBlogNoGUI";
    EXPECT_EQ(nPublications, 1u) << "only the answer Yes published";
}

TEST(BlogEditorPost, WhileTheLibraryPostsNothingEndsOrChangesTheEditor)
{
    // The stand-in holds its publication until the event is set; it reports
    // no progress and cannot be stopped.
    const std::string holdName = "wp-test-hold-" + std::to_string(::GetCurrentProcessId());
    platform::CHandle hHold(::CreateEventA(nullptr, TRUE, FALSE, holdName.c_str()));
    ASSERT_TRUE(hHold);
    CEditorSetup setup(kOneBlog, {"publish.hold=" + holdName});
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    bool bPosting = false, bStillOpen = false, bMarquee = false;
    const LONG nLocksBefore = platform::CModule::LockCount();
    LONG nLocksWhilePosting = 0;
    std::string status;
    std::vector<int> enabled;
    const INT_PTR result = RunDialog(dlg, "Blog Editor", [&](HWND h) {
        ui::Type(Entry(h), "Entry text");
        ui::Click(ui::Control(h, ID_POST));
        bPosting = ui::WaitFor([&] { return ItemVisible(h, IDC_EDITOR_STOP); });
        status = ItemText(h, IDC_EDITOR_STATUS);
        nLocksWhilePosting = platform::CModule::LockCount();
        bMarquee = (::GetWindowLongW(ui::Control(h, IDC_EDITOR_PROGRESS), GWL_STYLE) & PBS_MARQUEE) != 0;
        for (int id : {ID_POST, IDC_EDITOR_STOP, IDC_EDITOR_ENTRY, IDC_EDITOR_TITLE, IDC_EDITOR_DRAFT,
                       ID_USE_DIFFERENT_ACCOUNT, IDC_EDITOR_TEXT_SIZE})
            if (ItemEnabled(h, id))
                enabled.push_back(id);
        // Esc and Cancel, the close box and Alt+F4, and a second Post.
        ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ::SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
        ::SendMessageW(h, WM_CLOSE, 0, 0);
        ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(ID_POST, BN_CLICKED), 0);
        ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDC_EDITOR_STOP, BN_CLICKED), 0);
        bStillOpen = ui::IsVisible(h) && ItemVisible(h, IDC_EDITOR_STOP);
        ::SetEvent(hHold.Get());
    });
    EXPECT_TRUE(bPosting);
    EXPECT_EQ(status, platform::CModule::LoadString(IDS_POSTING));
    EXPECT_TRUE(bMarquee) << "a bar that moves without measuring";
    EXPECT_TRUE(enabled.empty()) << "first still enabled: " << (enabled.empty() ? 0 : enabled[0]);
    EXPECT_TRUE(bStillOpen);
    EXPECT_GT(nLocksWhilePosting, nLocksBefore) << "the module may not be unloaded under the call";
    EXPECT_EQ(platform::CModule::LockCount(), nLocksBefore);
    EXPECT_EQ(result, IDOK) << "the post's own end";
    std::size_t nPublications = 0;
    for (const auto& call : setup.Library().Calls())
        nPublications += call.strFunction == "PublishToBlogNoGUI";
    EXPECT_EQ(nPublications, 1u) << "the second Post did nothing";
    EXPECT_EQ(publish::g_hPublishLibrary, nullptr) << "freed once the call was back";
}

TEST(BlogEditorPost, TheTitleIsPostedAsTextAndNamesThePicture)
{
    const CPosted posted = PostWith([](HWND h) {
        // The entry's last keys must land before the focus moves on.
        ui::WaitFor([&] { return EntryText(h) == "Entry text"; }, 5000);
        ui::Type(ui::Control(h, IDC_EDITOR_TITLE), "a<b & c");
    });
    ASSERT_EQ(posted.fields.size(), 11u);
    EXPECT_EQ(posted.fields[7], "a&lt;b &amp; c");
    EXPECT_EQ(posted.fields[8], "<a href=\"%s\"><img src = \"%s\" alt=\"a&lt;b &amp; c\" align = \"left\" " + kSize +
                                    " hspace = \"20\" /></a>" + kEntry);
}

namespace {

// Pasted rich text as it lands in the entry: hidden text that is no link's
// target, and shadowed text with targets of every kind.
const char kPastedRtf[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\pard\\f0\\fs20 Public \\v SECRET\\v0 text. "
    "Alpha\\v #\"javascript:alert(1)\"\\v0  Beta\\v #\"JavaScript:alert(2)\"\\v0  Gamma\\v #\"data:text/html,x\"\\v0  "
    "Okay\\v #\"HTTP://ok.example/\"\\v0 .\\par Tail\\par}";

void Shadow(HWND h, const std::string& word)
{
    const std::string text = EntryText(h);
    const std::size_t at = text.find(word);
    ASSERT_NE(at, std::string::npos) << word << " in " << text;
    Select(h, static_cast<LONG>(at), static_cast<LONG>(at + word.size()));
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_SHADOW;
    format.dwEffects = CFE_SHADOW;
    ::SendMessageA(Entry(h), EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

}  // namespace

TEST(BlogEditorPost, HiddenTextAndLinksThatCouldRunScriptAreNotPosted)
{
    const CPosted posted = PostWith([](HWND h) {
        SetEntryRtf(h, kPastedRtf);
        for (const char* word : {"Alpha", "Beta", "Gamma", "Okay", "Tail"})
            Shadow(h, word);
    });
    ASSERT_EQ(posted.fields.size(), 11u);
    const std::string& body = posted.fields[8];
    EXPECT_NE(body.find("Public text."), std::string::npos) << body;
    for (const char* gone : {"SECRET", "javascript", "JavaScript", "data:", "href=\"\""})
        EXPECT_EQ(body.find(gone), std::string::npos) << gone << " in " << body;
    for (const char* kept : {"Alpha", "Beta", "Gamma", "Tail"})
        EXPECT_NE(body.find(kept), std::string::npos) << kept << " in " << body;
    // The image's link and the one web link; the rest is plain text.
    EXPECT_EQ(Count(body, "<a href="), 2u) << body;
    EXPECT_NE(body.find("<a href=\"HTTP://ok.example/\">"), std::string::npos) << body;
}

namespace {

const char kDumpFolder[] = "c:\\DebugBlogHTML";

// The dump folder is the machine's, not the test's: whatever a case makes
// there is gone afterwards, a junction removed as the link it is.
class CDumpFolderCleanup {
public:
    CDumpFolderCleanup() { testing_support::ClearDumpFolder(); }
    ~CDumpFolderCleanup() { testing_support::ClearDumpFolder(); }
};

// A junction (mount point) at path leading to target; false where the file
// system cannot make one.
bool MakeJunction(const std::wstring& path, const std::wstring& target)
{
    if (!::CreateDirectoryW(path.c_str(), nullptr))
        return false;
    platform::CFileHandle h(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!h)
        return false;
    const std::wstring substitute = L"\\??\\" + target;
    const WORD cbSubstitute = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    const WORD cbPrint = static_cast<WORD>(target.size() * sizeof(wchar_t));
    // The mount-point form of REPARSE_DATA_BUFFER: tag, sizes, then both
    // names, each ended by a NUL.
    std::vector<BYTE> buffer(8 + 8 + cbSubstitute + 2 + cbPrint + 2, 0);
    const auto put16 = [&](std::size_t at, WORD value) { std::memcpy(&buffer[at], &value, 2); };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(&buffer[0], &tag, 4);
    put16(4, static_cast<WORD>(buffer.size() - 8));
    put16(8, 0);
    put16(10, cbSubstitute);
    put16(12, static_cast<WORD>(cbSubstitute + 2));
    put16(14, cbPrint);
    std::memcpy(&buffer[16], substitute.data(), cbSubstitute);
    std::memcpy(&buffer[16 + cbSubstitute + 2], target.data(), cbPrint);
    DWORD returned = 0;
    if (!::DeviceIoControl(h.Get(), FSCTL_SET_REPARSE_POINT, buffer.data(), static_cast<DWORD>(buffer.size()),
                           nullptr, 0, &returned, nullptr))
        return false;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool EnablePrivilege(const wchar_t* name)
{
    platform::CHandle hToken;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, hToken.Put()))
        return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    return ::LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid) &&
           ::AdjustTokenPrivileges(hToken.Get(), FALSE, &privileges, 0, nullptr, nullptr) &&
           ::GetLastError() == ERROR_SUCCESS;
}

// Makes another account (Everyone, standing for another user) the folder's
// owner; false where the system keeps no such owner.
bool GiveToAnotherOwner(const char* path)
{
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD cb = sizeof sid;
    if (!::CreateWellKnownSid(WinWorldSid, nullptr, sid, &cb))
        return false;
    EnablePrivilege(L"SeRestorePrivilege");
    std::wstring widePath = platform::WideFromAnsi(path);
    if (::SetNamedSecurityInfoW(&widePath[0], SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, sid, nullptr, nullptr,
                                nullptr) != ERROR_SUCCESS)
        return false;
    platform::CFileHandle h(::CreateFileW(widePath.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    PSID pOwner = nullptr;
    PSECURITY_DESCRIPTOR pDescriptor = nullptr;
    if (!h || ::GetSecurityInfo(h.Get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &pOwner, nullptr, nullptr,
                                nullptr, &pDescriptor) != ERROR_SUCCESS)
        return false;
    const bool bChanged = pOwner && ::EqualSid(pOwner, sid);
    ::LocalFree(pDescriptor);
    return bChanged;
}

// Posts "dumped" with the folder as the case left it. Returns the dump's
// question, answered Yes, or empty when none was asked.
std::string PostWithDumpFolder(std::size_t& nPublications)
{
    CEditorSetup setup(kOneBlog);
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    std::string question;
    RunDialog(dlg, "Blog Editor", [&](HWND h) {
        ui::Type(Entry(h), "dumped");
        ui::Click(ui::Control(h, ID_POST));
        ui::WaitFor([&] { return !::IsWindow(h) || OpenMessageBox() != nullptr; }, 5000);
        if (::IsWindow(h) && OpenMessageBox())
            question = ui::AnswerMessageBox(IDYES);
    });
    nPublications = 0;
    for (const auto& call : setup.Library().Calls())
        nPublications += call.strFunction == "PublishToBlogNoGUI";
    return question;
}

}  // namespace

TEST(BlogEditorPost, TheDumpIsNotWrittenThroughAJunction)
{
    CDumpFolderCleanup cleanup;
    ASSERT_TRUE(::CreateDirectoryA("c:\\DebugBlogTarget", nullptr));
    if (!MakeJunction(L"c:\\DebugBlogHTML", L"c:\\DebugBlogTarget"))
        GTEST_SKIP() << "this system makes no junctions (Wine before reparse point support)";
    std::size_t nPublications = 0;
    EXPECT_EQ(PostWithDumpFolder(nPublications), "");
    EXPECT_EQ(nPublications, 1u);
    EXPECT_EQ(::GetFileAttributesA("c:\\DebugBlogTarget\\rtf.rtf"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesA("c:\\DebugBlogTarget\\html.htm"), INVALID_FILE_ATTRIBUTES);
}

TEST(BlogEditorPost, TheDumpIsNotWrittenIntoAFolderOfAnotherOwner)
{
    CDumpFolderCleanup cleanup;
    ASSERT_TRUE(::CreateDirectoryA(kDumpFolder, nullptr));
    if (!GiveToAnotherOwner(kDumpFolder))
        GTEST_SKIP() << "this system keeps no other owner for the folder";
    std::size_t nPublications = 0;
    EXPECT_EQ(PostWithDumpFolder(nPublications), "");
    EXPECT_EQ(nPublications, 1u);
    EXPECT_EQ(::GetFileAttributesA("c:\\DebugBlogHTML\\rtf.rtf"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesA("c:\\DebugBlogHTML\\html.htm"), INVALID_FILE_ATTRIBUTES);
}

TEST(BlogEditorPost, TheDumpDoesNotWriteThroughASecondNameOfAnotherFile)
{
    CDumpFolderCleanup cleanup;
    ASSERT_TRUE(::CreateDirectoryA(kDumpFolder, nullptr));
    ASSERT_TRUE(testing_support::WriteFileBytes("c:\\DebugBlogVictim.txt", "precious"));
    ASSERT_TRUE(::CreateHardLinkA("c:\\DebugBlogHTML\\html.htm", "c:\\DebugBlogVictim.txt", nullptr));
    std::size_t nPublications = 0;
    const std::string question = PostWithDumpFolder(nPublications);
    EXPECT_EQ(question, "RTF/HTML outputted to c:\\DebugBlogHTML Continue to send to blog?");
    EXPECT_EQ(testing_support::ReadFileBytes("c:\\DebugBlogVictim.txt"), "precious");
    EXPECT_NE(testing_support::ReadFileBytes("c:\\DebugBlogHTML\\rtf.rtf").find("dumped"), std::string::npos)
        << "the plain file beside it is written";
}
