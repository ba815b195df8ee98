#pragma once
// Reading a REST answer as JSON within fixed bounds, free of the platform.
// An answer is the server's to choose: its size, its depth and its number of
// values are all checked, and the first bound reached ends the reading, so a
// hostile or broken server costs neither time nor memory.
#include <cstddef>
#include <string>

#include <nlohmann/json.hpp>

namespace qtvpublish {

struct CJsonBounds {
    // Larger than any answer read here (the index limited to four fields, a
    // user, a media item, a post), with room for a site whose plug-ins
    // ignore the field limit; checked before a single byte is parsed.
    std::size_t m_nMaxBytes = 8u << 20;
    // Levels of nesting: the outermost value is the first, each value inside
    // a container one deeper than the container.
    int m_nMaxDepth = 32;
    // Parser events (values, keys and ends of containers).
    std::size_t m_nMaxValues = 1000000;
};

enum class JsonAnswer { Parsed, TooLarge, TooDeep, TooManyValues, Malformed };

// Parses text into out, without exceptions. Route lists and "_links" members
// are never read, so they are not kept. Anything but Parsed leaves out
// discarded.
JsonAnswer ParseJsonAnswer(const std::string& text, nlohmann::json& out, const CJsonBounds& bounds = CJsonBounds());

}  // namespace qtvpublish
