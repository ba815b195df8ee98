#include "qtvpublish/real/FaultRules.h"

#include <cctype>

namespace qtvpublish {

namespace {

std::string Lower(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

bool IsRefusedLogin(int faultCode, const std::string& faultText)
{
    if (faultCode == 403)
        return true;
    const std::string text = Lower(faultText);
    static const char* const kWordings[] = {"username or password", "invalid login", "incorrect password",
                                            "authentication failed", "invalid password"};
    for (const char* wording : kWordings)
        if (text.find(wording) != std::string::npos)
            return true;
    return false;
}

bool IsXmlRpcDisabled(int faultCode)
{
    return faultCode == 405;
}

}  // namespace qtvpublish
