// The image copy a send posts must be the capture the host just saved: a
// failed save, an empty or missing file, or a name an earlier copy still
// holds never reaches the Blog Editor.
#include <gtest/gtest.h>

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

// Fills the image names that the platform's next unique numbers give (they
// start from the tick count) with copies of earlier sends; returns the
// number after the last one.
unsigned PlantEarlierCopies(const CTestAccessory& accessory, int count, std::vector<std::string>& names)
{
    const unsigned first = ::GetTickCount();
    for (int i = 0; i < count; ++i)
        if (testing_support::WriteFileBytes(accessory.TempFolder() + ImageName(first + i), "an earlier capture"))
            names.push_back(ImageName(first + i));
    return first + count;
}

TEST(ImageCopy, ANameAnEarlierCopyHoldsIsPassedOver)
{
    CHostSetup setup;
    setup.saveFault = host::SaveFault::SucceedsWritingNothing;
    CTestAccessory failing(CreateFrom::LinkedClassTable, setup);
    std::vector<std::string> planted;
    PlantEarlierCopies(failing, 400, planted);
    ASSERT_EQ(planted.size(), 400u);
    EXPECT_EQ(SendExpectingMessage(failing), "Unable to send to Word Press");
    EXPECT_EQ(failing.TempFiles().size(), planted.size());
    for (const std::string& name : planted)
        EXPECT_EQ(testing_support::ReadFileBytes(failing.TempFolder() + name), "an earlier capture") << name;

    // A save that works gets the first name none of them holds.
    ui::CDialogCanceller cancel;
    CTestAccessory working;
    std::vector<std::string> earlier;
    const unsigned next = PlantEarlierCopies(working, 400, earlier);
    const unsigned atSend = ::GetTickCount();
    ASSERT_EQ(working.As<IOutput>()->Send(), S_OK);
    ASSERT_EQ(working.TempFiles().size(), earlier.size() + 1);
    ASSERT_LT(atSend, next) << "planting took too long to test anything";
    EXPECT_FALSE(testing_support::ReadFileBytes(working.TempFolder() + ImageName(next)).empty())
        << "the send passed over every planted name";
    for (const std::string& name : earlier)
        EXPECT_EQ(testing_support::ReadFileBytes(working.TempFolder() + name), "an earlier capture") << name;
}

}  // namespace
