// "&Post" in the Blog Editor: what reaches the publishing library for each
// image placement, the draft flag, an image that cannot be decoded, and the
// debug dump that asks before sending.
#include <gtest/gtest.h>

#include "editor/BlogOutputDlg.h"
#include "platform/Module.h"
#include "publish/PublishLibrary.h"
#include "res/resource.h"
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
        {ID_ALIGN_IMAGE_LEFT, "<a href=\"%s\"><img src = \"%s\" align = \"left\" " + kSize + " hspace = \"20\" /></a>" + kEntry},
        {ID_ALIGN_IMAGE_RIGHT, "<a href=\"%s\"><img src = \"%s\" align = \"right\" " + kSize + " hspace = \"20\" /></a>" + kEntry},
        {ID_ALIGN_IMAGE_TOP, "<p align = \"center\"><a href=\"%s\"><img src = \"%s\" " + kSize + " hspace=\"6\" /></a></p>" + kEntry},
        {ID_ALIGN_IMAGE_BOTTOM, kEntry + "<p align = \"center\"><a href=\"%s\"><img src = \"%s\" " + kSize + " hspace=\"6\" /></a></p>"},
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
    EXPECT_EQ(posted.fields[8], "<a href=\"%s\"><img src = \"%s\" align = \"left\"  hspace = \"20\" /></a>" + kEntry);
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
