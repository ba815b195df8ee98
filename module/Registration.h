#pragma once
// Self-registration of the module: its registry scripts, in order, and its
// type library, under the system's default locale.
#include <windows.h>

#include <string>

namespace module {

// Where the scripts come from: the module's "REGISTRY" resources, or a test's.
class IScriptSource {
public:
    virtual bool LoadScript(UINT id, std::string& script) = 0;

protected:
    ~IScriptSource() = default;
};

class CResourceScripts final : public IScriptSource {
public:
    bool LoadScript(UINT id, std::string& script) override;
};

HRESULT RegisterServer(IScriptSource& scripts);
HRESULT UnregisterServer(IScriptSource& scripts);

}  // namespace module
