#include "settings/SettingsText.h"

#include <cstdio>

#include "settings/PasswordScrambler.h"
#include "settings/QTVXmlString.h"

namespace settings {

namespace {

const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n";
const char kRoot[] = "userprefs";

std::string Line(const char* element, const std::string& value)
{
    return std::string("    <") + element + ">" + value + "</" + element + ">\r\n";
}

std::string Decimal(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

std::string Escaped(std::string value)
{
    QTVXmlString::EscapeText(value);
    return value;
}

}  // namespace

std::string TextModeBytes(const std::string& text)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\0')
            break;
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    return bytes;
}

std::string SettingsFilePath(const std::string& dataFolder, const char* fileName)
{
    std::string path = dataFolder;
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path + fileName;
}

std::string ComposePreferences(int alwaysUse, int showHotspotWarning)
{
    return std::string(kDeclaration) + "<userprefs>\r\n" + Line("SaveText", Decimal(alwaysUse)) +
           Line("DisplayHotspotWarning", Decimal(showHotspotWarning)) + "</userprefs>\r\n";
}

bool ParsePreferences(QTVXmlString& text, int& alwaysUse, int& showHotspotWarning)
{
    QTVXmlString prefs;
    int cursor = 0;
    if (!text.GetElement(kRoot, prefs, cursor))
        return false;
    std::string saveText;
    std::string hotspotWarning;
    int child = 0;
    prefs.GetElementText("SaveText", saveText, child);
    prefs.GetElementText("DisplayHotspotWarning", hotspotWarning, child);
    showHotspotWarning = hotspotWarning == "0" ? 0 : 1;
    alwaysUse = saveText == "1" ? 1 : 0;
    return true;
}

std::string ComposeStoredLoginText(const std::string& storedText, const std::string& userName,
                                   const std::string& server, const std::string& endpoint)
{
    return std::string(kDeclaration) + "<userprefs>\r\n" + Line("StoredText", Escaped(storedText)) +
           Line("Login", Escaped(userName)) + Line("Server", Escaped(server)) +
           Line("Endpoint", Escaped(endpoint)) + "</userprefs>\r\n";
}

bool ParseStoredLoginText(QTVXmlString& text, std::string& storedText, std::string& userName,
                          std::string& server, std::string& endpoint)
{
    QTVXmlString prefs;
    int cursor = 0;
    if (!text.GetElement(kRoot, prefs, cursor))
        return false;
    // The lookup has decoded each value already; decoding again would turn a
    // stored "&amp;lt;" into "<".
    std::string stored;
    int child = 0;
    prefs.GetElementText("StoredText", stored, child);
    prefs.GetElementText("Login", userName, child);
    prefs.GetElementText("Server", server, child);
    prefs.GetElementText("Endpoint", endpoint, child);
    storedText.swap(stored);
    return true;
}

std::string ComposeStoredLogin(const std::string& password, const std::string& userName,
                               const std::string& server, const std::string& endpoint)
{
    return ComposeStoredLoginText(ScramblePassword(password), userName, server, endpoint);
}

bool ParseStoredLogin(QTVXmlString& text, std::string& password, std::string& userName, std::string& server,
                      std::string& endpoint)
{
    std::string storedText;
    if (!ParseStoredLoginText(text, storedText, userName, server, endpoint))
        return false;
    password = UnscramblePassword(storedText);
    return true;
}

}  // namespace settings
