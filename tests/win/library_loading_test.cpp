// Libraries are loaded by full path only: the publishing library from the
// accessory folder, the help viewer from the system folder and only when help
// is asked for; the built module does not import the viewer at all.
#include <gtest/gtest.h>

#include "orlimo.h"
#include "platform/HtmlHelp.h"
#include "platform/Module.h"
#include "platform/Text.h"
#include "publish/BlogListFetch.h"
#include "publish/PublishLibrary.h"
#include "support/TestAccessory.h"
#include "support/UiDriver.h"

using testing_support::CTestFolder;

namespace {

// Names of the DLLs a module file imports, delay-loaded ones included.
std::vector<std::string> ImportedDllNames(HMODULE hImage)
{
    std::vector<std::string> names;
    auto* base = reinterpret_cast<BYTE*>(hImage);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         imports.VirtualAddress && imp->Name; ++imp)
        names.push_back(reinterpret_cast<char*>(base + imp->Name));
    const IMAGE_DATA_DIRECTORY& delayed = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT];
    for (auto* imp = reinterpret_cast<IMAGE_DELAYLOAD_DESCRIPTOR*>(base + delayed.VirtualAddress);
         delayed.VirtualAddress && imp->DllNameRVA; ++imp)
        names.push_back(reinterpret_cast<char*>(base + imp->DllNameRVA));
    return names;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST(LibraryLoading, ARelativePathIsALibraryThatCannotBeLoaded)
{
    CTestFolder folder;
    const std::string library = folder.Path() + "QTVPublish.dll";
    ASSERT_TRUE(::CopyFileA((testing_support::StandInLibraryFolder() + "QTVPublish.dll").c_str(), library.c_str(),
                            FALSE));
    char oldCurrent[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, oldCurrent);
    // Every relative form below would find the library from here.
    ASSERT_TRUE(::SetCurrentDirectoryA(folder.Path().c_str()));
    const std::string drive = folder.Path().substr(0, 2);
    for (const std::string& path :
         {std::string("QTVPublish.dll"), std::string(".\\QTVPublish.dll"), folder.Path().substr(2) + "QTVPublish.dll",
          drive + "QTVPublish.dll"}) {
        EXPECT_FALSE(publish::LoadPublishLibrary(path)) << path;
        EXPECT_EQ(publish::g_hPublishLibrary, nullptr) << path;
        EXPECT_EQ(::GetModuleHandleA(library.c_str()), nullptr) << path << " was loaded after all";
    }

    // The Blog Editor's first step says so with message 511.
    publish::CBlogQuery query;
    query.m_strUserName = "alice";
    query.m_strPassword = "secret";
    query.m_strLibraryPath = "QTVPublish.dll";
    std::string text;
    ui::CUserScript user([&] { text = ui::AnswerMessageBox(IDOK); });
    const auto result = publish::FetchBlogList(query, nullptr);
    user.Join();
    EXPECT_EQ(result.m_outcome, publish::FetchOutcome::LibraryMissing);
    EXPECT_EQ(text, "Could not load required DLL for Posting");

    EXPECT_TRUE(publish::LoadPublishLibrary(library));
    publish::ReleasePublishLibrary();
    ::SetCurrentDirectoryA(oldCurrent);
}

TEST(LibraryLoading, TheHelpViewerIsNoImportAndLoadsOnlyFromTheSystemFolder)
{
    const bool viewerWasLoaded = ::GetModuleHandleA("hhctrl.ocx") != nullptr;
    testing_support::CTestAccessory accessory(testing_support::CreateFrom::BuiltDll);
    ASSERT_HRESULT_SUCCEEDED(accessory.CreateResult());
    const HMODULE hModule = accessory.Module().Handle();
    const auto dlls = ImportedDllNames(hModule);
    ASSERT_FALSE(dlls.empty());
    for (const std::string& dll : dlls)
        EXPECT_EQ(Lower(dll).find("hhctrl"), std::string::npos) << dll;
    if (!viewerWasLoaded) {
        EXPECT_EQ(::GetModuleHandleA("hhctrl.ocx"), nullptr) << "loading the accessory loaded the viewer";
    }

    const HMODULE hViewer = platform::LoadSystemLibrary("hhctrl.ocx");
    ASSERT_NE(hViewer, nullptr);
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(hViewer, path, MAX_PATH);
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(Lower(path), Lower(std::string(system) + "\\hhctrl.ocx"));
    ::FreeLibrary(hViewer);
    EXPECT_EQ(platform::LoadSystemLibrary("no-such-library.dll"), nullptr);
}

std::vector<std::string> g_helpFiles;
HWND WINAPI RecordHelp(HWND, LPCSTR pszFile, UINT, DWORD_PTR)
{
    g_helpFiles.push_back(pszFile);
    return nullptr;
}

TEST(LibraryLoading, FilesOfTheAccessoryFolderAreInsideItWithOrWithoutItsBackslash)
{
    testing_support::CTestAccessory accessory;
    ASSERT_HRESULT_SUCCEEDED(accessory.CreateResult());
    std::string folder = accessory.AccessoryFolder();
    folder.pop_back();
    auto spPreferences = host::MakeObject<host::CCategoryPreferences>();
    spPreferences->Setup(platform::WideFromAnsi(folder), platform::WideFromAnsi(accessory.DataFolder()));
    ASSERT_EQ(accessory.As<IComponentWantsCategoryPreferences>()->SetCategoryPreferences(spPreferences.Get()), S_OK);

    const platform::HtmlHelpFn pfnOld = platform::SetHtmlHelpHandler(RecordHelp);
    const platform::CBstr help = platform::CBstr::FromAnsi("2");
    EXPECT_EQ(accessory.As<IOutputMenu>()->OnMenuCommand(help.Get()), S_OK);
    platform::SetHtmlHelpHandler(pfnOld);
    ASSERT_EQ(g_helpFiles.size(), 1u);
    EXPECT_EQ(g_helpFiles[0], folder + "\\WordPressOutput.chm");
}

}  // namespace
