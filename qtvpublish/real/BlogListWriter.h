#pragma once
// The blog list as the accessory reads it: a Blogs element holding one
// Blog_Object per blog with BlogId, BlogName and BlogAddress in that order,
// every value escaped character data in the caller's 8-bit code page.
#include <cstddef>
#include <string>
#include <vector>

namespace qtvpublish {

struct CBlogEntry {
    std::string m_strId;
    std::string m_strName;
    std::string m_strAddress;
    // Where the blog itself answers XML-RPC, when the list says; the library
    // posts there. Not part of the list the accessory reads.
    std::string m_strXmlRpc = {};
};

class CBlogListWriter {
public:
    static constexpr char kEmptyList[] = "<Blogs></Blogs>";

    void Add(const CBlogEntry& entry);
    // The list of at most capacity characters: blogs that would not fit are
    // left out whole, from the first that does not fit on, so the text stays
    // well-formed. Empty when not even an empty list fits.
    std::string Text(std::size_t capacity) const;
    // Writes Text(capacity) and its NUL into buffer, which holds capacity
    // characters plus the NUL; returns the characters written.
    std::size_t WriteTo(char* buffer, std::size_t capacity) const;
    std::size_t Count() const { return m_objects.size(); }

private:
    std::vector<std::string> m_objects;  // each a whole, escaped Blog_Object
};

}  // namespace qtvpublish
