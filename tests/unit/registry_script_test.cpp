#include "module/RegistryScript.h"
#include "module/RegistryViews.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using module::CParseResult;
using module::KeyFlag;
using module::ParseRegistryScript;

namespace {

const module::Replacements kReplacements = {{"MODULE", "C:\\acc\\WordPress.dll"},
                                            {"APPID", "{1A741FBB-8EBB-445B-8B75-0A9FA35200B8}"}};

std::string ReadScript(const std::string& name)
{
    std::ifstream in(std::string(WP_SOURCE_DIR) + "/res/registry/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_FALSE(text.str().empty()) << name << " not found";
    return text.str();
}

const module::CRegKey* Find(const std::vector<module::CRegKey>& keys, const std::string& name)
{
    for (const auto& k : keys)
        if (k.strName == name)
            return &k;
    return nullptr;
}

TEST(RegistryScript, OutputClassScriptDescribesProgIdsAndClassKey)
{
    const CParseResult r = ParseRegistryScript(ReadScript("WordPressOutput.rgs"), kReplacements);
    ASSERT_TRUE(r.bOk) << r.strError;
    ASSERT_EQ(r.roots.size(), 1u);
    EXPECT_EQ(r.roots[0].strRoot, "HKEY_CLASSES_ROOT");
    const auto& keys = r.roots[0].keys;
    ASSERT_EQ(keys.size(), 3u);

    const auto* versioned = Find(keys, "WordPress.WordPressOutput.1");
    ASSERT_NE(versioned, nullptr);
    EXPECT_EQ(versioned->defaultValue.strText, "WordPressOutput Class");
    ASSERT_EQ(versioned->subkeys.size(), 1u);
    EXPECT_EQ(versioned->subkeys[0].defaultValue.strText, "{8EDC92CE-621C-444d-B363-4A494D7B6549}");

    const auto* independent = Find(keys, "WordPress.WordPressOutput");
    ASSERT_NE(independent, nullptr);
    ASSERT_NE(Find(independent->subkeys, "CurVer"), nullptr);
    EXPECT_EQ(Find(independent->subkeys, "CurVer")->defaultValue.strText, "WordPress.WordPressOutput.1");

    const auto* clsidRoot = Find(keys, "CLSID");
    ASSERT_NE(clsidRoot, nullptr);
    EXPECT_EQ(clsidRoot->flag, KeyFlag::NoRemove);
    const auto* classKey = Find(clsidRoot->subkeys, "{8EDC92CE-621C-444d-B363-4A494D7B6549}");
    ASSERT_NE(classKey, nullptr);
    EXPECT_EQ(classKey->flag, KeyFlag::ForceRemove);
    ASSERT_EQ(classKey->values.size(), 1u);
    EXPECT_EQ(classKey->values[0].strName, "AppID");
    EXPECT_EQ(classKey->values[0].strText, "{1A741FBB-8EBB-445B-8B75-0A9FA35200B8}");
    const auto* server = Find(classKey->subkeys, "InprocServer32");
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(server->defaultValue.strText, "C:\\acc\\WordPress.dll");
    ASSERT_EQ(server->values.size(), 1u);
    EXPECT_EQ(server->values[0].strName, "ThreadingModel");
    EXPECT_EQ(server->values[0].strText, "Apartment");
    EXPECT_NE(Find(classKey->subkeys, "TypeLib"), nullptr);
    EXPECT_NE(Find(classKey->subkeys, "ProgID"), nullptr);
    EXPECT_NE(Find(classKey->subkeys, "VersionIndependentProgID"), nullptr);
}

TEST(RegistryScript, ModuleAndPackageScriptsParse)
{
    const CParseResult package = ParseRegistryScript(ReadScript("Package.rgs"), kReplacements);
    ASSERT_TRUE(package.bOk) << package.strError;
    ASSERT_EQ(package.roots.size(), 1u);
    EXPECT_NE(Find(Find(package.roots[0].keys, "CLSID")->subkeys, "{D08718E7-A06C-4ddf-9EB3-117569B94415}"), nullptr);

    const CParseResult moduleScript = ParseRegistryScript(ReadScript("Module.rgs"), kReplacements);
    ASSERT_TRUE(moduleScript.bOk) << moduleScript.strError;
    ASSERT_EQ(moduleScript.roots.size(), 1u);
    const auto* appIdRoot = Find(moduleScript.roots[0].keys, "AppID");
    ASSERT_NE(appIdRoot, nullptr);
    EXPECT_EQ(appIdRoot->flag, KeyFlag::NoRemove);
    const auto* appId = Find(appIdRoot->subkeys, "{1A741FBB-8EBB-445B-8B75-0A9FA35200B8}");
    ASSERT_NE(appId, nullptr);
    EXPECT_EQ(appId->defaultValue.strText, "WordPress");
    const auto* dll = Find(appIdRoot->subkeys, "WordPress.DLL");
    ASSERT_NE(dll, nullptr);
    EXPECT_FALSE(dll->bHasDefault);
    EXPECT_EQ(dll->values.at(0).strText, "{1A741FBB-8EBB-445B-8B75-0A9FA35200B8}");
}

TEST(RegistryScript, QuotingReplacementsAndNumbers)
{
    const CParseResult r = ParseRegistryScript(
        "HKCU { 'It''s here' = s 'a''b %% %MODULE%' { val 'N n' = d '0x10' val S = s '' } Delete Old }",
        kReplacements);
    ASSERT_TRUE(r.bOk) << r.strError;
    const auto& key = r.roots[0].keys.at(0);
    EXPECT_EQ(r.roots[0].strRoot, "HKEY_CURRENT_USER");
    EXPECT_EQ(key.strName, "It's here");
    EXPECT_EQ(key.defaultValue.strText, "a'b % C:\\acc\\WordPress.dll");
    ASSERT_EQ(key.values.size(), 2u);
    EXPECT_TRUE(key.values[0].bNumber);
    EXPECT_EQ(key.values[0].nNumber, 16u);
    EXPECT_EQ(key.values[1].strText, "");
    EXPECT_EQ(r.roots[0].keys.at(1).flag, KeyFlag::Delete);
}

TEST(RegistryScript, MalformedScriptsFailWithoutResult)
{
    const char* bad[] = {
        "HKCR { Key = s 'unterminated }",
        "HKCR { Key = s 'x' ",
        "HKCR Key",
        "HKXX { Key }",
        "HKCR { Key = 'no type' }",
        "HKCR { Key = s '%UNKNOWN%' }",
        "HKCR { Key = s '%MODULE' }",
        "HKCR { val X = s 'value at root' }",
        "HKCR { Key { val = s 'x' } }",
        "HKCR { Key = d 'twelve' }",
        "HKCR { 'a\\b' }",
        "HKCR { }}",
        "{",
    };
    for (const char* script : bad) {
        const CParseResult r = ParseRegistryScript(script, kReplacements);
        EXPECT_FALSE(r.bOk) << script;
        EXPECT_TRUE(r.roots.empty()) << script;
        EXPECT_FALSE(r.strError.empty()) << script;
    }
    EXPECT_TRUE(ParseRegistryScript("", kReplacements).bOk);
}

TEST(RegistryScript, DeepNestingIsRefusedNotRecursedInto)
{
    std::string script = "HKCR {";
    for (int i = 0; i < 100000; ++i)
        script += " k {";
    EXPECT_FALSE(ParseRegistryScript(script, kReplacements).bOk);
}

}  // namespace

// A 32-bit and a 64-bit build registered side by side share everything but
// their class keys; unregistering one keeps the shared part for the other.
TEST(RegistryViews, ClassKeysArePerViewAndProgIdsAndAppIdShared)
{
    const CParseResult output = ParseRegistryScript(ReadScript("WordPressOutput.rgs"), kReplacements);
    const CParseResult module = ParseRegistryScript(ReadScript("Module.rgs"), kReplacements);
    ASSERT_TRUE(output.bOk && module.bOk);

    const CParseResult perView = module::KeysOfView(output, module::KeyView::PerView);
    const CParseResult shared = module::KeysOfView(output, module::KeyView::Shared);
    ASSERT_EQ(perView.roots.size(), 1u);
    ASSERT_EQ(perView.roots[0].keys.size(), 1u);
    EXPECT_EQ(perView.roots[0].keys[0].strName, "CLSID");
    ASSERT_EQ(shared.roots.size(), 1u);
    ASSERT_EQ(shared.roots[0].keys.size(), 2u);
    EXPECT_EQ(shared.roots[0].keys[0].strName, "WordPress.WordPressOutput.1");
    EXPECT_EQ(shared.roots[0].keys[1].strName, "WordPress.WordPressOutput");
    // Nothing is lost or doubled between the two parts.
    EXPECT_EQ(perView.roots[0].keys.size() + shared.roots[0].keys.size(), output.roots[0].keys.size());

    EXPECT_TRUE(module::KeysOfView(module, module::KeyView::PerView).roots.empty());
    EXPECT_EQ(module::KeysOfView(module, module::KeyView::Shared).roots.size(), 1u);
}

TEST(RegistryViews, RedirectedNamesMatchWithoutCaseAndOtherRootsStayPerView)
{
    using module::KeyView;
    using module::ViewOfKey;
    EXPECT_EQ(ViewOfKey("HKEY_CLASSES_ROOT", "clsid"), KeyView::PerView);
    EXPECT_EQ(ViewOfKey("HKEY_CLASSES_ROOT", "INTERFACE"), KeyView::PerView);
    EXPECT_EQ(ViewOfKey("HKEY_CLASSES_ROOT", "Media Type"), KeyView::PerView);
    EXPECT_EQ(ViewOfKey("HKEY_CLASSES_ROOT", "TypeLib"), KeyView::Shared);
    EXPECT_EQ(ViewOfKey("HKEY_CLASSES_ROOT", "AppID"), KeyView::Shared);
    EXPECT_EQ(ViewOfKey("HKEY_CLASSES_ROOT", "CLSIDs"), KeyView::Shared);
    EXPECT_EQ(ViewOfKey("HKEY_LOCAL_MACHINE", "SOFTWARE"), KeyView::PerView);
    EXPECT_EQ(ViewOfKey("HKEY_CURRENT_USER", "Software"), KeyView::PerView);

    const CParseResult bad = ParseRegistryScript("HKCR { Unclosed ", kReplacements);
    ASSERT_FALSE(bad.bOk);
    // A script that did not parse stays one that did not parse in either part.
    EXPECT_FALSE(module::KeysOfView(bad, KeyView::Shared).bOk);
}
