#include "qtvpublish/real/JsonAnswer.h"

namespace qtvpublish {

namespace {

using Json = nlohmann::json;

// Thrown from the parser's callback: returning false there only drops the
// value, and the parser would go on building the rest of the answer.
struct CBoundReached {
    JsonAnswer m_answer;
};

}  // namespace

JsonAnswer ParseJsonAnswer(const std::string& text, Json& out, const CJsonBounds& bounds)
{
    out = Json(Json::value_t::discarded);
    if (text.size() > bounds.m_nMaxBytes)
        return JsonAnswer::TooLarge;
    std::size_t values = 0;
    const Json::parser_callback_t keep = [&](int depth, Json::parse_event_t event, Json& parsed) {
        // The parser counts the outermost value's level as 0.
        if (depth >= bounds.m_nMaxDepth)
            throw CBoundReached{JsonAnswer::TooDeep};
        if (++values > bounds.m_nMaxValues)
            throw CBoundReached{JsonAnswer::TooManyValues};
        if (event == Json::parse_event_t::key && parsed.is_string()) {
            const std::string& name = parsed.get_ref<const std::string&>();
            return !(name == "_links" || (depth == 1 && name == "routes"));
        }
        return true;
    };
    try {
        out = Json::parse(text, keep, false);
    } catch (const CBoundReached& reached) {
        out = Json(Json::value_t::discarded);
        return reached.m_answer;
    } catch (...) {
        // Memory, mostly: whatever stopped the parser, the answer is unusable.
        out = Json(Json::value_t::discarded);
        return JsonAnswer::Malformed;
    }
    return out.is_discarded() ? JsonAnswer::Malformed : JsonAnswer::Parsed;
}

}  // namespace qtvpublish
