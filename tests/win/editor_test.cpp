// The Blog Editor driven as a user would: its layout for each number of
// blogs, its opening state, tooltips, and how it ends.
#include <gtest/gtest.h>

#include "editor/BlogOutputDlg.h"
#include "publish/PublishLibrary.h"
#include "res/resource.h"
#include "support/DialogDriver.h"
#include "support/EditorDriver.h"
#include "support/UiDriver.h"

using namespace dialog_test;
using namespace editor_test;

namespace {
const std::string kThreeBlogs =
    BlogsXml({{"3", "Carrots", "http://c.example/"}, {"1", "Apples", "http://a.example/"},
              {"2", "Bananas", "http://b.example/"}});
}  // namespace

TEST(BlogEditor, ThreeBlogsKeepTheTemplateLayout)
{
    CEditorSetup setup(kThreeBlogs);
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    const INT_PTR result = RunDialog(dlg, "Blog Editor", [&](HWND h) {
        EXPECT_TRUE(ItemVisible(h, IDC_EDITOR_BLOG_NAME));
        EXPECT_EQ(ItemText(h, IDC_EDITOR_USER_NAME), "alice");
        EXPECT_EQ(SizeBoxText(h), "x-small");
        EXPECT_TRUE(Shoot(h, "editor-blogs.png"));
        ui::Press("Escape");
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(publish::g_hPublishLibrary, nullptr);
}

TEST(BlogEditor, OneBlogCollapsesTheBlogNameRow)
{
    CEditorSetup setup(BlogsXml({{"9", "Only", "http://only.example/"}}));
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    RunDialog(dlg, "Blog Editor", [&](HWND h) {
        EXPECT_FALSE(ItemVisible(h, IDC_EDITOR_BLOG_NAME));
        EXPECT_TRUE(Shoot(h, "editor-one-blog.png"));
        ui::Press("Escape");
    });
}
