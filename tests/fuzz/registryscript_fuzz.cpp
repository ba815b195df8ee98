// The registry script reader on arbitrary text: it either refuses the script
// with a reason or gives keys whose names are never empty, and the same text
// always reads the same way.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "module/RegistryScript.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::size_t CountKeys(const std::vector<module::CRegKey>& keys)
{
    std::size_t n = 0;
    for (const auto& key : keys) {
        Check(!key.strName.empty());
        n += 1 + CountKeys(key.subkeys);
    }
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string script(reinterpret_cast<const char*>(data), size);
    const module::Replacements replacements = {{"MODULE", "C:\\x\\WordPress.dll"}, {"APPID", "{0}"}};
    const module::CParseResult first = module::ParseRegistryScript(script, replacements);
    const module::CParseResult again = module::ParseRegistryScript(script, replacements);
    Check(first.bOk == again.bOk);
    if (!first.bOk) {
        Check(!first.strError.empty());
        return 0;
    }
    std::size_t n = 0;
    for (const auto& root : first.roots) {
        Check(!root.strRoot.empty());
        n += CountKeys(root.keys);
    }
    std::size_t m = 0;
    for (const auto& root : again.roots)
        m += CountKeys(root.keys);
    Check(n == m);
    return 0;
}
