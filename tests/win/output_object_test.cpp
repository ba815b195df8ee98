// The output object through its COM interfaces, as the host drives it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/HtmlHelp.h"
#include "platform/Text.h"
#include "res/DialogIds.h"
#include "support/TestAccessory.h"
#include "support/UiDriver.h"

using testing_support::CHostSetup;
using testing_support::CreateFrom;
using testing_support::CTestAccessory;

namespace {

std::vector<std::string> g_helpCalls;
HWND WINAPI RecordHelp(HWND hOwner, LPCSTR pszFile, UINT uCommand, DWORD_PTR dwData)
{
    g_helpCalls.push_back(std::string(pszFile) + "|" + std::to_string(uCommand) + "|" + std::to_string(dwData) +
                          "|" + (hOwner ? "owned" : "unowned"));
    return nullptr;
}

class CHelpRecorder {
public:
    CHelpRecorder() : m_pfnOld(platform::SetHtmlHelpHandler(RecordHelp)) { g_helpCalls.clear(); }
    ~CHelpRecorder() { platform::SetHtmlHelpHandler(m_pfnOld); }

private:
    platform::HtmlHelpFn m_pfnOld;
};

// The log-in and the options dialogs share their caption; the options'
// choice between prompting and a stored log-in tells them apart.
std::string DialogKind(HWND h)
{
    return ui::Caption(h) + (::GetDlgItem(h, IDC_OPTIONS_PROMPT) ? " (options)" : "");
}

// What a send opens with no log-in stored, and what Options opens.
const std::string kLogIn = "WordPress.com Login";
const std::string kOptions = "WordPress.com Login (options)";

HRESULT Command(const CTestAccessory& accessory, const char* id)
{
    platform::CBstr bstr = platform::CBstr::FromAnsi(id);
    return accessory.As<IOutputMenu>()->OnMenuCommand(bstr.Get());
}

// The SaveAs calls the host saw.
std::vector<std::string> SaveCalls(CTestAccessory& accessory)
{
    std::vector<std::string> calls;
    for (const auto& line : accessory.Log().lines)
        if (line.compare(0, 7, "SaveAs ") == 0)
            calls.push_back(line);
    return calls;
}

TEST(OutputObject, MenuTextIsOneExactLineFromTheBuiltDll)
{
    CTestAccessory accessory(CreateFrom::BuiltDll);
    ASSERT_HRESULT_SUCCEEDED(accessory.CreateResult());
    platform::CBstr xml;
    ASSERT_EQ(accessory.As<IOutputMenu>()->GetMenuXml(xml.Put()), S_OK);
    EXPECT_EQ(xml.ToAnsi(),
              "<menu> <menuitem label=\"Send to Word Press\" id=\"0\" icon=\"WordPress.ico\" />"
              "<menuseparator /> <menuitem label=\"Options\" id=\"1\" /> <menuitem label=\"Help\" id=\"2\" /></menu>");
    EXPECT_EQ(accessory.As<IOutputMenu>()->GetMenuXml(nullptr), E_POINTER);
}

TEST(OutputObject, CommandIdsSendRunOptionsOrOpenHelp)
{
    // The log-in and options dialogs that follow the image copy are cancelled.
    ui::CDialogCanceller cancel(DialogKind);
    CHelpRecorder help;
    CTestAccessory accessory;
    ASSERT_HRESULT_SUCCEEDED(accessory.CreateResult());

    EXPECT_EQ(Command(accessory, "0"), S_OK);
    EXPECT_EQ(Command(accessory, "abc"), S_OK);
    EXPECT_EQ(Command(accessory, "  +0"), S_OK);
    EXPECT_EQ(SaveCalls(accessory).size(), 3u);
    EXPECT_TRUE(g_helpCalls.empty());

    EXPECT_EQ(Command(accessory, "1"), S_OK);
    EXPECT_EQ(SaveCalls(accessory).size(), 3u);
    EXPECT_TRUE(g_helpCalls.empty());

    for (const char* id : {"2", "7", "-1", " 12abc"})
        EXPECT_EQ(Command(accessory, id), S_OK) << id;
    ASSERT_EQ(g_helpCalls.size(), 4u);
    const std::string expected = accessory.AccessoryFolder() + "WordPressOutput.chm|0|0|owned";  // HH_DISPLAY_TOPIC
    for (const auto& call : g_helpCalls)
        EXPECT_EQ(call, expected);
    EXPECT_EQ(SaveCalls(accessory).size(), 3u);
    EXPECT_EQ(cancel.Cancelled(), (std::vector<std::string>{kLogIn, kLogIn, kLogIn, kOptions}));
}

struct CFormatCase {
    long nHostCode;
    const char* extension;
    long nSavedCode;
    const char* magic;
};

TEST(OutputObject, FormatCodesChooseTheExtensionAndTheSavedFormat)
{
    // The log-in and options dialogs that follow the image copy are cancelled.
    ui::CDialogCanceller cancel;
    const CFormatCase cases[] = {
        {0, ".bmp", 0, "BM"},          {2, ".tif", 2, "II*"},       {3, ".jpg", 3, "\xFF\xD8\xFF"},
        {4, ".gif", 4, "GIF8"},        {5, ".png", 5, "\x89PNG"},   {1, ".png", 5, "\x89PNG"},
        {-1, ".png", 5, "\x89PNG"},    {6, ".png", 5, "\x89PNG"},
    };
    for (const CFormatCase& c : cases) {
        CHostSetup setup;
        setup.nFormat = c.nHostCode;
        CTestAccessory accessory(CreateFrom::LinkedClassTable, setup);
        ASSERT_EQ(accessory.As<IOutput>()->Send(), S_OK);

        const auto calls = SaveCalls(accessory);
        ASSERT_EQ(calls.size(), 1u) << c.nHostCode;
        const std::string suffix = std::string(c.extension) + " " + std::to_string(c.nSavedCode) + " ok";
        EXPECT_EQ(calls[0].substr(calls[0].size() - suffix.size()), suffix) << calls[0];

        // One image and no ".tmp" left, although the folder's own name holds ".tmp".
        const auto files = accessory.TempFiles();
        ASSERT_EQ(files.size(), 1u) << c.nHostCode;
        EXPECT_EQ(files[0].substr(files[0].size() - 4), c.extension);
        EXPECT_EQ(files[0].find(".tmp"), std::string::npos);
        const std::string bytes = testing_support::ReadFileBytes(accessory.TempFolder() + files[0]);
        EXPECT_EQ(bytes.compare(0, std::strlen(c.magic), c.magic), 0) << files[0];
    }
    EXPECT_EQ(cancel.Cancelled(), std::vector<std::string>(std::size(cases), kLogIn));
}

TEST(OutputObject, EachSendLeavesOneMoreImage)
{
    // The log-in and options dialogs that follow the image copy are cancelled.
    ui::CDialogCanceller cancel;
    CTestAccessory accessory;
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(accessory.As<IOutput>()->Send(), S_OK);
    const auto files = accessory.TempFiles();
    EXPECT_EQ(files.size(), 3u);
    EXPECT_TRUE(std::none_of(files.begin(), files.end(),
                             [](const std::string& f) { return f.find(".tmp") != std::string::npos; }));
    EXPECT_EQ(cancel.Cancelled(), std::vector<std::string>(3, kLogIn));
}

// A host that cannot hand over its capture gets message 105 and E_FAIL, both
// from Send and from menu command 0.
void ExpectUnableToSend(const CHostSetup& setup, const char* what)
{
    CTestAccessory accessory(CreateFrom::LinkedClassTable, setup);
    ASSERT_HRESULT_SUCCEEDED(accessory.CreateResult()) << what;
    for (int viaMenu = 0; viaMenu < 2; ++viaMenu) {
        std::string text;
        ui::CUserScript user([&] { text = ui::AnswerMessageBox(IDOK); });
        const HRESULT hr = viaMenu ? Command(accessory, "0") : accessory.As<IOutput>()->Send();
        user.Join();
        EXPECT_EQ(hr, E_FAIL) << what;
        EXPECT_EQ(text, "Unable to send to Word Press") << what;
    }
    EXPECT_TRUE(SaveCalls(accessory).empty());
    EXPECT_TRUE(accessory.TempFiles().empty()) << what;
}

TEST(OutputObject, HostWithoutDocumentFormatOrSaveIsUnableToSend)
{
    CHostSetup noDocument;
    noDocument.bDocument = false;
    ExpectUnableToSend(noDocument, "no document");
    CHostSetup noFormat;
    noFormat.bFormat = false;
    ExpectUnableToSend(noFormat, "no format");
    CHostSetup noSave;
    noSave.bSave = false;
    ExpectUnableToSend(noSave, "no save interface");
}

TEST(OutputObject, OptionsRequestSucceeds)
{
    // The log-in and options dialogs that follow the image copy are cancelled.
    ui::CDialogCanceller cancel(DialogKind);
    CTestAccessory accessory;
    EXPECT_EQ(accessory.As<IPackageOptionsUI>()->ShowOptions(), S_OK);
    EXPECT_EQ(cancel.Cancelled(), std::vector<std::string>{kOptions});
}

TEST(ClassObjects, UnknownClassIsNotAvailableAndUnloadFollowsTheObjects)
{
    CTestAccessory accessory(CreateFrom::BuiltDll);
    ASSERT_HRESULT_SUCCEEDED(accessory.CreateResult());
    const auto& module = accessory.Module();

    const CLSID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    void* pv = reinterpret_cast<void*>(1);
    EXPECT_EQ(module.GetClassObject(unknown, IID_IClassFactory, &pv), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(pv, nullptr);
    EXPECT_EQ(module.GetClassObject(host::CLSID_AccessoryOutput, IID_IClassFactory, nullptr), E_POINTER);

    // The accessory object is alive: the module must stay.
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);

    platform::CComPtr<IClassFactory> spFactory;
    ASSERT_EQ(module.GetClassObject(host::CLSID_AccessoryOutput, IID_IClassFactory, spFactory.PutVoid()), S_OK);
    platform::CComPtr<IClassFactory> spAgain;
    ASSERT_EQ(module.GetClassObject(host::CLSID_AccessoryOutput, IID_IClassFactory, spAgain.PutVoid()), S_OK);
    EXPECT_EQ(spFactory.Get(), spAgain.Get()) << "one cached factory per class";
}

TEST(ClassObjects, LocksAndObjectsKeepTheModule)
{
    testing_support::CTestFolder folder;
    ::CopyFileA((testing_support::BuiltAccessoryFolder() + "WordPress.dll").c_str(),
                (folder.Path() + "WordPress.dll").c_str(), FALSE);
    host::CAccessoryModule module;
    ASSERT_EQ(module.Load(folder.Path() + "WordPress.dll"), S_OK);
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
    {
        platform::CComPtr<IClassFactory> spFactory;
        ASSERT_EQ(module.GetClassObject(host::CLSID_AccessoryOutput, IID_IClassFactory, spFactory.PutVoid()), S_OK);
        EXPECT_EQ(module.CanUnloadNow(), S_FALSE) << "a client's factory reference holds the module";
        spFactory->LockServer(TRUE);
        EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
        platform::CComPtr<IUnknown> spObject;
        ASSERT_EQ(spFactory->CreateInstance(nullptr, IID_IUnknown, spObject.PutVoid()), S_OK);
        spFactory->LockServer(FALSE);
        EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
        spObject.Reset();
        EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
        spFactory.Reset();
        EXPECT_EQ(module.CanUnloadNow(), S_OK);
    }
}

}  // namespace
