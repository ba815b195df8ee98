// The image copy a send posts must be the capture the host just saved: a
// failed save, an empty or missing file, or a name an earlier copy still
// holds never reaches the Blog Editor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "support/TestAccessory.h"
#include "support/UiDriver.h"

using testing_support::CHostSetup;
using testing_support::CreateFrom;
using testing_support::CTestAccessory;

namespace {

std::string SendExpectingMessage(CTestAccessory& accessory)
{
    std::string text;
    ui::CUserScript user([&] { text = ui::AnswerMessageBox(IDOK); });
    EXPECT_EQ(accessory.As<IOutput>()->Send(), E_FAIL);
    user.Join();
    return text;
}

TEST(ImageCopy, ASaveThatFailsOrLeavesNoImageIsUnableToSend)
{
    const std::pair<host::SaveFault, const char*> faults[] = {
        {host::SaveFault::FailsLeavingPart, "failed save"},
        {host::SaveFault::SucceedsWritingNothing, "no file"},
        {host::SaveFault::SucceedsWritingEmpty, "empty file"},
    };
    for (const auto& fault : faults) {
        CHostSetup setup;
        setup.saveFault = fault.first;
        CTestAccessory accessory(CreateFrom::LinkedClassTable, setup);
        ASSERT_HRESULT_SUCCEEDED(accessory.CreateResult());
        EXPECT_EQ(SendExpectingMessage(accessory), "Unable to send to Word Press") << fault.second;
        EXPECT_TRUE(accessory.TempFiles().empty()) << fault.second << ": nothing of the failed copy stays";
    }

    // A capture the host cannot encode fails the same way.
    CHostSetup undecodable;
    undecodable.strImage = testing_support::BuiltAccessoryFolder() + "WordPress.dll";
    CTestAccessory accessory(CreateFrom::LinkedClassTable, undecodable);
    EXPECT_EQ(SendExpectingMessage(accessory), "Unable to send to Word Press");
    EXPECT_TRUE(accessory.TempFiles().empty());
}

std::string ImageName(unsigned number)
{
    char name[32];
    std::snprintf(name, sizeof name, "Wor%X.png", number & 0xFFFF);
    return name;
}

// The platform's unique numbers for temporary names start from the tick
// count. This fills the image names of the numbers a little while ahead with
// copies of earlier sends, then waits until the clock reaches them, so the
// send that follows meets them however long the planting took on a busy
// machine.
void PlantEarlierCopies(const CTestAccessory& accessory, std::vector<std::string>& names)
{
    constexpr unsigned kLeadMs = 3000;  // several times what planting takes, even under load
    constexpr int kCount = 600;         // the send must reach its name within this many ms
    const unsigned first = ::GetTickCount() + kLeadMs;
    for (int i = 0; i < kCount; ++i)
        if (testing_support::WriteFileBytes(accessory.TempFolder() + ImageName(first + i), "an earlier capture"))
            names.push_back(ImageName(first + i));
    EXPECT_LT(static_cast<int>(::GetTickCount() - first), 0) << "planting took longer than its lead";
    while (static_cast<int>(::GetTickCount() - first) < 0)
        ::Sleep(1);
}

TEST(ImageCopy, ANameAnEarlierCopyHoldsIsPassedOver)
{
    CHostSetup setup;
    setup.saveFault = host::SaveFault::SucceedsWritingNothing;
    CTestAccessory failing(CreateFrom::LinkedClassTable, setup);
    std::vector<std::string> planted;
    PlantEarlierCopies(failing, planted);
    ASSERT_EQ(planted.size(), 600u);
    EXPECT_EQ(SendExpectingMessage(failing), "Unable to send to Word Press");
    EXPECT_EQ(failing.TempFiles().size(), planted.size());
    for (const std::string& name : planted)
        EXPECT_EQ(testing_support::ReadFileBytes(failing.TempFolder() + name), "an earlier capture") << name;

    // A save that works gets a name none of them holds. Which one depends on
    // how far the clock moved while the send passed over them, so the new
    // file is found as the one that was not planted.
    ui::CDialogCanceller cancel;
    CTestAccessory working;
    std::vector<std::string> earlier;
    PlantEarlierCopies(working, earlier);
    ASSERT_EQ(working.As<IOutput>()->Send(), S_OK);
    const std::vector<std::string> files = working.TempFiles();
    ASSERT_EQ(files.size(), earlier.size() + 1);
    for (const std::string& name : files) {
        const std::string bytes = testing_support::ReadFileBytes(working.TempFolder() + name);
        if (std::find(earlier.begin(), earlier.end(), name) == earlier.end())
            EXPECT_TRUE(!bytes.empty() && bytes != "an earlier capture") << "the send's copy " << name << ": " << bytes;
        else
            EXPECT_EQ(bytes, "an earlier capture") << name;
    }
    EXPECT_EQ(cancel.Cancelled(), std::vector<std::string>{"WordPress.com Login"});
}

}  // namespace
