// The Blog Editor driven as a user would: its layout for each number of
// blogs, its opening state, tooltips, and how it ends.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <new>

#include "editor/BlogOutputDlg.h"
#include "publish/PublishLibrary.h"
#include "res/resource.h"
#include "support/DialogDriver.h"
#include "support/PopupDriver.h"
#include "support/EditorDriver.h"
#include "support/UiDriver.h"

using namespace dialog_test;
using namespace editor_test;

namespace {

const char kDiscardQuestion[] = "Close the Blog Editor and discard the entry you have written?";

const std::string kThreeBlogs = BlogsXml({{"3", "Carrots", "http://c.example/"}, {"1", "Apples", "http://a.example/"},
                                          {"2", "Bananas", "http://b.example/"}});

std::vector<std::string> ListedBlogs(HWND hDlg)
{
    std::vector<std::string> names;
    HWND hList = ui::Control(hDlg, IDC_EDITOR_BLOG_NAME);
    const int n = static_cast<int>(::SendMessageA(hList, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[256] = {};
        ::SendMessageA(hList, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        names.push_back(text);
    }
    return names;
}

void ExpectSameRect(const RECT& a, const RECT& b, const std::string& what)
{
    EXPECT_EQ(a.left, b.left) << what;
    EXPECT_EQ(a.top, b.top) << what;
    EXPECT_EQ(a.right, b.right) << what;
    EXPECT_EQ(a.bottom, b.bottom) << what;
}

// Everything from the "Blog entry" group down, the toolbars and captions too.
struct CLayout {
    std::vector<std::pair<std::string, RECT>> below;
    RECT rcAccountGroup{};
    RECT rcWindow{};
};

CLayout ReadLayout(HWND h)
{
    CLayout layout;
    for (int id : {IDC_EDITOR_ENTRY_GROUP, IDC_EDITOR_TITLE, IDC_EDITOR_TEXT_SIZE, IDC_EDITOR_ENTRY,
                   IDC_EDITOR_DRAFT, ID_POST, IDCANCEL, IDC_HELP_BUTTON})
        layout.below.emplace_back(std::to_string(id), ItemRect(h, id));
    layout.below.emplace_back("format bar", ui::RectIn(FormatBar(h), h));
    layout.below.emplace_back("image bar", ui::RectIn(ImageBar(h), h));
    for (const char* caption : {"Left", "Right", "Top", "Bottom"})
        layout.below.emplace_back(caption, ui::RectIn(StaticWithText(h, caption), h));
    layout.rcAccountGroup = ItemRect(h, IDC_EDITOR_ACCOUNT_GROUP);
    layout.rcWindow = ui::ScreenRect(h);
    return layout;
}

CLayout OpenAndRead(const std::string& blogsXml, int& nCollapse, std::vector<std::string>* pNames = nullptr)
{
    CEditorSetup setup(blogsXml);
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    CLayout layout;
    RunDialog(dlg, "Blog Editor", [&](HWND h) {
        layout = ReadLayout(h);
        if (pNames)
            *pNames = ListedBlogs(h);
        ui::Press("Escape");
    });
    nCollapse = dlg.m_nCollapseHeight;
    return layout;
}

}  // namespace

TEST(BlogEditor, TwoOrThreeBlogsKeepTheTemplateLayoutInTheAnswersOrder)
{
    CEditorSetup setup(kThreeBlogs);
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    const INT_PTR result = RunDialog(dlg, "Blog Editor", [&](HWND h) {
        EXPECT_TRUE(ItemVisible(h, IDC_EDITOR_BLOG_NAME));
        EXPECT_TRUE(ItemVisible(h, IDC_EDITOR_BLOG_NAME_LABEL));
        EXPECT_EQ(ListedBlogs(h), (std::vector<std::string>{"Carrots", "Apples", "Bananas"}));
        EXPECT_EQ(ItemText(h, IDC_EDITOR_BLOG_NAME), "Carrots");
        ExpectSameRect(ItemRect(h, IDC_EDITOR_ENTRY_GROUP), FromDialogUnits(h, 7, 58, 276, 208), "entry group");
        ExpectSameRect(ItemRect(h, ID_POST), FromDialogUnits(h, 129, 277, 50, 16), "Post");
        // The toolbars sit exactly where their hidden frames are.
        ExpectSameRect(ui::RectIn(FormatBar(h), h), ItemRect(h, IDC_EDITOR_FORMAT_FRAME), "format bar");
        ExpectSameRect(ui::RectIn(ImageBar(h), h), ItemRect(h, IDC_EDITOR_IMAGE_FRAME), "image bar");
        EXPECT_EQ(::GetWindow(ui::Control(h, IDC_EDITOR_FORMAT_FRAME), GW_HWNDNEXT), FormatBar(h));
        EXPECT_EQ(::GetWindow(ui::Control(h, IDC_EDITOR_IMAGE_FRAME), GW_HWNDNEXT), ImageBar(h));
        EXPECT_EQ(::GetDlgCtrlID(FormatBar(h)), 0xE800);
        EXPECT_EQ(::GetDlgCtrlID(ImageBar(h)), 0xE800);
        // Each caption is centred under its image button.
        const char* captions[] = {"Left", "Right", "Top", "Bottom"};
        for (int i = 0; i < 4; ++i) {
            RECT rcButton{};
            ::SendMessageW(ImageBar(h), TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rcButton));
            ::MapWindowPoints(ImageBar(h), h, reinterpret_cast<POINT*>(&rcButton), 2);
            const RECT rcCaption = ui::RectIn(StaticWithText(h, captions[i]), h);
            EXPECT_NEAR((rcCaption.left + rcCaption.right) / 2, (rcButton.left + rcButton.right) / 2, 3) << captions[i];
        }
        // The placeholders never show.
        for (int id : {IDC_EDITOR_TAGS, IDC_EDITOR_TAGS_LABEL, 1019, 1026, 3010, 3014, 3039, 3042}) {
            EXPECT_FALSE(ItemVisible(h, id)) << id;
            EXPECT_FALSE(ItemEnabled(h, id)) << id;
        }
        EXPECT_EQ(ui::ClassName(ui::Control(h, IDC_EDITOR_ENTRY)), "RichEdit20A");
        ui::Type(ui::Control(h, IDC_EDITOR_TITLE), "Sunday at the lake");
        EXPECT_TRUE(Shoot(h, "editor-blogs.png"));
        CloseDiscarding(h);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dlg.m_blogIds, (std::vector<std::string>{"3", "1", "2"}));
    EXPECT_FALSE(dlg.m_bUseDifferentAccount);
    EXPECT_EQ(publish::g_hPublishLibrary, nullptr) << "Cancel frees the library";

    int nCollapse = -1;
    std::vector<std::string> names;
    OpenAndRead(BlogsXml({{"1", "First", "http://1/"}, {"2", "Second", "http://2/"}}), nCollapse, &names);
    EXPECT_EQ(nCollapse, 0);
    EXPECT_EQ(names, (std::vector<std::string>{"First", "Second"}));
}

TEST(BlogEditor, OneBlogOrNoneCollapsesTheBlogNameRow)
{
    int nNone = -1, nOne = -1, nThree = -1;
    const CLayout full = OpenAndRead(kThreeBlogs, nThree);
    const CLayout none = OpenAndRead("<Blogs></Blogs>", nNone);
    std::vector<std::string> names;
    const CLayout one = OpenAndRead(BlogsXml({{"9", "Only", "http://only.example/"}}), nOne, &names);
    EXPECT_EQ(names, (std::vector<std::string>{"Only"}));
    EXPECT_GT(nOne, 0);
    EXPECT_EQ(nNone, nOne);
    for (const CLayout* collapsed : {&one, &none}) {
        for (std::size_t i = 0; i < full.below.size(); ++i) {
            RECT expected = full.below[i].second;
            ::OffsetRect(&expected, 0, -nOne);
            ExpectSameRect(collapsed->below[i].second, expected, full.below[i].first);
        }
        EXPECT_EQ(collapsed->rcAccountGroup.bottom, full.rcAccountGroup.bottom - nOne);
        EXPECT_EQ(collapsed->rcAccountGroup.top, full.rcAccountGroup.top);
        EXPECT_EQ(collapsed->rcWindow.bottom - collapsed->rcWindow.top, full.rcWindow.bottom - full.rcWindow.top - nOne);
    }

    CEditorSetup setup(BlogsXml({{"9", "Only", "http://only.example/"}}));
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    RunDialog(dlg, "Blog Editor", [&](HWND h) {
        const int nExpected = ItemRect(h, IDC_EDITOR_BLOG_NAME).bottom - ItemRect(h, ID_USE_DIFFERENT_ACCOUNT).bottom;
        EXPECT_EQ(nExpected, dlg.m_nCollapseHeight);
        EXPECT_FALSE(ItemVisible(h, IDC_EDITOR_BLOG_NAME));
        EXPECT_FALSE(ItemVisible(h, IDC_EDITOR_BLOG_NAME_LABEL));
        ui::Type(ui::Control(h, IDC_EDITOR_TITLE), "Only one blog");
        EXPECT_TRUE(Shoot(h, "editor-one-blog.png"));
        CloseDiscarding(h);
    });
}

TEST(BlogEditor, OpensWithTheDefaultFormatAndTheUserName)
{
    CEditorSetup setup(kThreeBlogs);
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg, "bob.writer");
    RunDialog(dlg, "Blog Editor", [&](HWND h) {
        EXPECT_EQ(ItemText(h, IDC_EDITOR_USER_NAME), "bob.writer");
        EXPECT_EQ(FocusedId(h), IDC_EDITOR_TITLE) << "writing starts with the title";
        Activate(h);
        ui::Press("Enter");
        EXPECT_TRUE(ui::IsVisible(h)) << "a first Enter changes nothing";
        EXPECT_EQ(SizeBoxText(h), "x-small");
        HWND hSize = ui::Control(h, IDC_EDITOR_TEXT_SIZE);
        EXPECT_EQ(::SendMessageA(hSize, CB_GETCOUNT, 0, 0), 7);
        char first[32] = {}, last[32] = {};
        ::SendMessageA(hSize, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
        ::SendMessageA(hSize, CB_GETLBTEXT, 6, reinterpret_cast<LPARAM>(last));
        EXPECT_STREQ(first, "xx-small");
        EXPECT_STREQ(last, "xx-large");
        EXPECT_TRUE(Pressed(FormatBar(h), ID_ALIGN_TEXT_LEFT));
        EXPECT_FALSE(Pressed(FormatBar(h), ID_ALIGN_TEXT_CENTER));
        EXPECT_TRUE(Pressed(ImageBar(h), ID_ALIGN_IMAGE_LEFT));
        EXPECT_FALSE(Pressed(ImageBar(h), ID_ALIGN_IMAGE_TOP));
        EXPECT_TRUE(Enabled(FormatBar(h), ID_CREATE_LINK));
        EXPECT_EQ(::SendMessageW(h, WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(dlg.m_hIcon));
        EXPECT_EQ(::SendMessageW(h, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(dlg.m_hIcon));
        ui::Type(Entry(h), "First words");
        Select(h, 0, 5);
        EXPECT_EQ(SelectionFormat(h).yHeight, 200);
        CloseDiscarding(h);
    });
}

TEST(BlogEditor, TooltipsComeFromTheStringTableInBothForms)
{
    CEditorSetup setup(kThreeBlogs);
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    RunDialog(dlg, "Blog Editor", [&](HWND h) {
        const std::pair<int, const char*> buttons[] = {
            {ID_FORMAT_BOLD, "Bold (Ctrl+B)"},       {ID_FORMAT_ITALIC, "Italic (Ctrl+I)"},
            {ID_FORMAT_UNDERLINE, "Underline (Ctrl+U)"}, {ID_ALIGN_TEXT_LEFT, "Left"},
            {ID_ALIGN_TEXT_CENTER, "Center"},         {ID_ALIGN_TEXT_RIGHT, "Right"},
            {ID_CREATE_LINK, "Create link"},          {ID_REMOVE_LINK, "Remove link"},
            {ID_ALIGN_IMAGE_LEFT, "Align Image Left"}, {ID_ALIGN_IMAGE_RIGHT, "Align Image Right"},
            {ID_ALIGN_IMAGE_TOP, "Align Image Top"},   {ID_ALIGN_IMAGE_BOTTOM, "Align Image Bottom"}};
        for (const auto& [id, text] : buttons) {
            EXPECT_EQ(AskToolTip(h, id, true), text) << id;
            EXPECT_EQ(AskToolTip(h, id, false), text) << id;
        }
        const auto window = [&](int id) { return reinterpret_cast<UINT_PTR>(ui::Control(h, id)); };
        EXPECT_EQ(AskToolTip(h, window(IDC_EDITOR_TEXT_SIZE), true, true), "Text size");
        EXPECT_EQ(AskToolTip(h, window(IDC_EDITOR_TEXT_SIZE), false, true), "Text size");
        EXPECT_EQ(AskToolTip(h, window(ID_USE_DIFFERENT_ACCOUNT), false, true), "Log-in with a different account");
        EXPECT_EQ(AskToolTip(h, window(IDC_EDITOR_TITLE), true, true), "");
        EXPECT_EQ(AskToolTip(h, 0, true), "");

        // A real hover over a toolbar button shows its tooltip.
        Activate(h);
        HWND hTip = HoverUntilToolTip(FormatBar(h), 0, "Bold (Ctrl+B)");
        EXPECT_NE(hTip, nullptr) << "the Bold button's tooltip showed";
        ::SetCursorPos(0, 0);
        ui::Press("Escape");
    });
}

TEST(BlogEditor, EnterOutsideTheEntryLeavesTheDialogOpen)
{
    CEditorSetup setup(kThreeBlogs);
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    const INT_PTR result = RunDialog(dlg, "Blog Editor", [&](HWND h) {
        ui::Type(ui::Control(h, IDC_EDITOR_TITLE), "My title");
        ui::Press("Enter");
        EXPECT_TRUE(ui::IsVisible(h));
        EXPECT_EQ(ItemText(h, IDC_EDITOR_TITLE), "My title");
        ui::Type(Entry(h), "one");
        ui::Press("Enter");
        ui::Type(nullptr, "two");
        EXPECT_TRUE(ui::IsVisible(h));
        EXPECT_EQ(EntryText(h), "one\rtwo");
        ui::Press("Escape");
        // With the entry written, Escape asks before it closes.
        EXPECT_EQ(ui::AnswerMessageBox(IDYES), kDiscardQuestion);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(setup.Library().Calls().size() == 1) << "only the blog list was asked";
}

TEST(BlogEditor, UseDifferentAccountEndsCancelledWithTheFlag)
{
    CEditorSetup setup(kThreeBlogs);
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    const INT_PTR result = RunDialog(dlg, "Blog Editor", [&](HWND h) {
        ui::Press("Alt+U");
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(dlg.m_bUseDifferentAccount);
}

TEST(BlogEditor, RefusedLogInEndsAtOnceWithTheFlagAndNoMessage)
{
    CEditorSetup setup(kThreeBlogs, {"blogs.result=0x80004005"});
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(dlg.m_bUseDifferentAccount);
    EXPECT_TRUE(ui::FindWindows("", "#32770").empty());
}

TEST(BlogEditor, MissingLibraryIsReportedAndEndsCancelled)
{
    CEditorSetup setup(kThreeBlogs);
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    dlg.m_strLibraryPath = setup.Folder() + "Missing.dll";
    std::string message;
    ui::CUserScript user([&] { message = ui::AnswerMessageBox(IDOK); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    user.Join();
    EXPECT_EQ(message, "Could not load required DLL for Posting");
    EXPECT_FALSE(dlg.m_bUseDifferentAccount);
}

TEST(BlogEditor, HelpOpensTheHelpFileOwnedByTheDialog)
{
    CEditorSetup setup(kThreeBlogs);
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    CHelpRecorder help;
    RunDialog(dlg, "Blog Editor", [&](HWND h) {
        // As a user's hand does, the pointer rests on the button before the
        // press; a press that arrives with the move can reach the window the
        // pointer came from.
        HWND hHelp = ui::Control(h, IDC_HELP_BUTTON);
        const RECT rc = ui::ScreenRect(hHelp);
        popup_driver::MoveMouseTo((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        ::Sleep(150);
        ui::Click(hHelp);
        EXPECT_TRUE(ui::WaitFor([&] { return !help.Calls().empty(); })) << "no help for the click";
        ui::Press("Escape");
    });
    EXPECT_EQ(help.Calls(), (std::vector<std::string>{setup.Folder() + "WordPressOutput.chm|0|0|owned"}));
}

namespace {

std::vector<std::string> LoadedModules()
{
    HMODULE modules[512];
    DWORD nBytes = 0;
    ::EnumProcessModules(::GetCurrentProcess(), modules, sizeof modules, &nBytes);
    std::vector<std::string> names;
    for (DWORD i = 0; i < nBytes / sizeof(HMODULE) && i < 512; ++i) {
        char name[MAX_PATH] = {};
        ::GetModuleFileNameA(modules[i], name, MAX_PATH);
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void OpenTypeFormatCancel(const CEditorSetup& setup)
{
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    RunDialog(dlg, "Blog Editor", [&](HWND h) {
        ui::Type(Entry(h), "some text");
        Select(h, 0, 4);
        ui::Press("Ctrl+B");
        ClickButton(FormatBar(h), ID_ALIGN_TEXT_CENTER);
        ClickButton(ImageBar(h), ID_ALIGN_IMAGE_TOP);
        CloseDiscarding(h);
    });
}

}  // namespace

TEST(BlogEditor, FiftyRunsLeaveGdiWindowsAndLibrariesAsTheyWere)
{
    CEditorSetup setup(kThreeBlogs);
    // The first runs load what stays loaded, and fill Wine's bounded caches of
    // fonts and device contexts; a leak shows in every run after that.
    for (int i = 0; i < 10; ++i)
        OpenTypeFormatCancel(setup);
    const int nGdi = popup_driver::GdiObjectCount();
    const std::size_t nWindows = ui::FindWindows().size();
    const std::vector<std::string> modules = LoadedModules();
    for (int i = 0; i < 40; ++i)
        OpenTypeFormatCancel(setup);
    std::printf("after 10 and 50 runs: GDI %d -> %d, windows %zu -> %zu, modules %zu -> %zu\n", nGdi,
                popup_driver::GdiObjectCount(), nWindows, ui::FindWindows().size(), modules.size(),
                LoadedModules().size());
    EXPECT_LT(popup_driver::GdiObjectCount(), nGdi + popup_driver::kGdiCacheCreep);
    EXPECT_EQ(ui::FindWindows().size(), nWindows);
    EXPECT_EQ(LoadedModules(), modules);
    EXPECT_EQ(publish::g_hPublishLibrary, nullptr);
}

TEST(BlogEditor, FormattedEntryAsTheUserSeesIt)
{
    CEditorSetup setup(kThreeBlogs);
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    RunDialog(dlg, "Blog Editor", [&](HWND h) {
        ui::Type(ui::Control(h, IDC_EDITOR_TITLE), "Sunday at the lake");
        ui::Type(Entry(h), "A ");
        ui::Press("Ctrl+B");
        ui::Type(nullptr, "quiet");
        ui::Press("Ctrl+B");
        ui::Type(nullptr, " morning by the water.");
        ui::Press("Enter");
        HWND hSize = ui::Control(h, IDC_EDITOR_TEXT_SIZE);
        ::SendMessageA(hSize, CB_SETCURSEL, 3, 0);
        ::SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_EDITOR_TEXT_SIZE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(hSize));
        ClickButton(FormatBar(h), ID_ALIGN_TEXT_CENTER);
        ui::Type(Entry(h), "Calm and bright");
        ui::Press("Enter");
        ::SendMessageA(hSize, CB_SETCURSEL, 1, 0);
        ::SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_EDITOR_TEXT_SIZE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(hSize));
        ClickButton(FormatBar(h), ID_ALIGN_TEXT_LEFT);
        ui::Type(Entry(h), "More photos on ");
        ui::CUserScript answer([] {
            HWND hLink = ui::WaitForWindow("Create Link", "#32770", 5000);
            ui::Type(ui::Control(hLink, IDC_LINK_URL_TEXT), "my album");
            ui::Type(ui::Control(hLink, IDC_LINK_URL_ADDRESS), "photos.example/lake");
            ui::Press("Enter");
            ui::WaitUntilGone(hLink);
        });
        ui::Press("Ctrl+K");
        answer.Join();
        ClickButton(ImageBar(h), ID_ALIGN_IMAGE_RIGHT);
        ::SetCursorPos(0, 0);
        Select(h, 3, 5);
        EXPECT_NE(EntryRtf(h).find("\\b quiet\\b0"), std::string::npos) << EntryRtf(h);
        EXPECT_TRUE(Shoot(h, "editor-formatted.png"));

        // The pointer rests on the Create link button until its tooltip shows.
        HWND hTip = HoverUntilToolTip(FormatBar(h), 8, "Create link");
        EXPECT_NE(hTip, nullptr);
        ::Sleep(300);
        EXPECT_TRUE(ui::Screenshot(h, std::string(WP_SCREENSHOTS_DIR) + "editor-tooltip.png"));
        ::SetCursorPos(0, 0);
        CloseDiscarding(h);
    });
}

namespace {

// The ways out of the editor without posting, as the user takes them.
void EscapeIn(HWND hControl)
{
    ui::Focus(hControl);
    ui::Press("Escape");
}

// Waits for the question, keeps its text and answers it with Enter: the
// default button.
std::string AnswerWithEnter()
{
    HWND hBox = nullptr;
    ui::WaitFor([&] { return (hBox = OpenMessageBox()) != nullptr; }, 5000);
    if (!hBox)
        return "(no question)";
    const std::string text = ui::Text(::GetDlgItem(hBox, 0xFFFF));
    ui::Press("Enter");
    ui::WaitUntilGone(hBox, 5000);
    return text;
}

// A handler that fails the way a failed allocation would.
class CFailingEditor : public CBlogOutputDlg {
public:
    using CBlogOutputDlg::CBlogOutputDlg;
    static constexpr UINT kFail = WM_APP + 26;

protected:
    bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override
    {
        if (msg == kFail)
            throw std::bad_alloc();
        return CBlogOutputDlg::ProcessWindowMessage(msg, wParam, lParam, lResult);
    }
};

}  // namespace

TEST(BlogEditor, ClosingWithSomethingWrittenAsksAndNoKeepsEverything)
{
    CEditorSetup setup(kThreeBlogs);
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    std::vector<std::string> questions;
    bool bStayedOpen = true;
    const INT_PTR result = RunDialog(dlg, "Blog Editor", [&](HWND h) {
        HWND hTitle = ui::Control(h, IDC_EDITOR_TITLE);
        const std::vector<std::function<void()>> ways = {
            [&] { EscapeIn(hTitle); },
            [&] { EscapeIn(Entry(h)); },
            [&] { ui::Click(ui::Control(h, IDCANCEL)); },
            // What the caption's close box sends.
            [&] { ::PostMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0); },
        };
        // A title alone counts as written, and so does an entry alone.
        ui::Type(hTitle, "Only a title");
        for (const auto& way : ways) {
            way();
            questions.push_back(AnswerWithEnter());
            bStayedOpen = bStayedOpen && ui::IsVisible(h);
        }
        ::SendMessageW(hTitle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        ui::Type(Entry(h), "only an entry");
        for (const auto& way : ways) {
            way();
            questions.push_back(AnswerWithEnter());
            bStayedOpen = bStayedOpen && ui::IsVisible(h);
        }
        EXPECT_EQ(EntryText(h), "only an entry");
        ui::Type(hTitle, "and a title");
        EXPECT_EQ(ItemText(h, IDC_EDITOR_TITLE), "and a title");
        // Yes closes.
        ::PostMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
        questions.push_back(ui::AnswerMessageBox(IDYES));
    });
    EXPECT_TRUE(bStayedOpen) << "No, the default, keeps the editor open";
    EXPECT_EQ(questions, std::vector<std::string>(9, kDiscardQuestion));
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(setup.Library().Calls().size(), 1u) << "nothing was posted";
}

TEST(BlogEditor, ClosingWithNothingWrittenAsksNothing)
{
    CEditorSetup setup(kThreeBlogs);
    for (int way = 0; way < 2; ++way) {
        CBlogOutputDlg dlg(nullptr, nullptr);
        setup.Prepare(dlg);
        bool bClosed = false;
        const INT_PTR result = RunDialog(dlg, "Blog Editor", [&](HWND h) {
            if (way == 0)
                ui::Click(ui::Control(h, IDCANCEL));
            else
                ::PostMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
            bClosed = ui::WaitFor([&] { return !::IsWindow(h) || OpenMessageBox(); }, 5000) && !::IsWindow(h);
            if (!bClosed && OpenMessageBox())
                ui::AnswerMessageBox(IDYES);
        });
        EXPECT_TRUE(bClosed) << "way " << way << " closed without a question";
        EXPECT_EQ(result, IDCANCEL);
    }
}

TEST(BlogEditor, AFailingHandlerIsReportedAndTheEditorKeepsTheEntry)
{
    CEditorSetup setup(kThreeBlogs);
    CFailingEditor dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    std::string message;
    bool bStayedOpen = false;
    const INT_PTR result = RunDialog(dlg, "Blog Editor", [&](HWND h) {
        ui::Type(ui::Control(h, IDC_EDITOR_TITLE), "Kept");
        ui::Type(Entry(h), "kept entry");
        ::PostMessageW(h, CFailingEditor::kFail, 0, 0);
        message = ui::AnswerMessageBox(IDOK);
        bStayedOpen = ui::IsVisible(h);
        EXPECT_EQ(ItemText(h, IDC_EDITOR_TITLE), "Kept");
        EXPECT_EQ(EntryText(h), "kept entry");
        // The editor still works: the entry can be posted.
        ui::Click(ui::Control(h, ID_POST));
    });
    EXPECT_EQ(message, "Unable to send to Word Press");
    EXPECT_TRUE(bStayedOpen);
    EXPECT_EQ(result, IDOK);
    std::size_t nPublications = 0;
    for (const auto& call : setup.Library().Calls())
        nPublications += call.strFunction == "PublishToBlogNoGUI" && call.fields.size() > 7 && call.fields[7] == "Kept";
    EXPECT_EQ(nPublications, 1u);
}
