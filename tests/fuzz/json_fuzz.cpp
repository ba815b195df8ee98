// A REST answer on arbitrary bytes: the reading never throws, never keeps a
// "_links" member, never builds a value deeper than its bound, and tells a
// parsed answer from a refused one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "qtvpublish/real/JsonAnswer.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckValue(const nlohmann::json& value, int depth)
{
    Check(depth <= qtvpublish::CJsonBounds().m_nMaxDepth);
    Check(!value.is_discarded());
    if (value.is_object()) {
        for (auto it = value.begin(); it != value.end(); ++it) {
            Check(it.key() != "_links");
            Check(!(depth == 0 && it.key() == "routes"));
            CheckValue(it.value(), depth + 1);
        }
    } else if (value.is_array()) {
        for (const nlohmann::json& item : value)
            CheckValue(item, depth + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    nlohmann::json answer;
    const qtvpublish::JsonAnswer result = qtvpublish::ParseJsonAnswer(text, answer);
    if (result == qtvpublish::JsonAnswer::Parsed)
        CheckValue(answer, 0);
    else
        Check(answer.is_discarded());
    return 0;
}
