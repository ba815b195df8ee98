#pragma once
// Writes and removes what a parsed registry script describes.
#include <windows.h>

#include "module/RegistryScript.h"

namespace module {

// The scripts' own failure code: a script that does not parse.
constexpr HRESULT WP_E_BAD_REGISTRY_SCRIPT = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0201);

// Register: ForceRemove keys are deleted before they are written, Delete keys
// are deleted. Unregister: every key is deleted with its subtree except
// NoRemove keys, which stay while their subkeys are processed.
HRESULT ApplyRegistryScript(const CParseResult& script, bool bRegister);

}  // namespace module
