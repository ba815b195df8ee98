#pragma once
// On 64-bit Windows a 32-bit and a 64-bit build of one module register side
// by side: each writes its class keys into its own registry view, while the
// keys around them (ProgIDs, AppID, the type library's version key) are one
// and the same for both. Unregistering one build must leave those shared keys
// to the other while it is still registered.
#include <string>

#include "module/RegistryScript.h"

namespace module {

enum class KeyView {
    PerView,  // each build has its own copy
    Shared,   // both builds write the same key
};

// Where a key at the top of a script's root lives. Under HKEY_CLASSES_ROOT
// only the subtrees the system redirects per view (CLSID, Interface and the
// media registrations) are per view; other roots are taken as per view, which
// keeps their removal as it always was.
KeyView ViewOfKey(const std::string& strRoot, const std::string& strTopKey);

// The script with only the top-level keys of one kind.
CParseResult KeysOfView(const CParseResult& script, KeyView view);

}  // namespace module
