#include "module/RegistryViews.h"

#include <algorithm>
#include <cctype>

namespace module {

namespace {

bool SameName(const std::string& a, const char* b)
{
    const std::string other(b);
    return a.size() == other.size() && std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

KeyView ViewOfKey(const std::string& strRoot, const std::string& strTopKey)
{
    if (strRoot != "HKEY_CLASSES_ROOT")
        return KeyView::PerView;
    static const char* const kRedirected[] = {"CLSID", "Interface", "DirectShow", "Media Type", "MediaFoundation"};
    for (const char* name : kRedirected)
        if (SameName(strTopKey, name))
            return KeyView::PerView;
    return KeyView::Shared;
}

CParseResult KeysOfView(const CParseResult& script, KeyView view)
{
    CParseResult part;
    part.bOk = script.bOk;
    part.strError = script.strError;
    for (const CRegRoot& root : script.roots) {
        CRegRoot kept;
        kept.strRoot = root.strRoot;
        for (const CRegKey& key : root.keys)
            if (ViewOfKey(root.strRoot, key.strName) == view)
                kept.keys.push_back(key);
        if (!kept.keys.empty())
            part.roots.push_back(std::move(kept));
    }
    return part;
}

}  // namespace module
