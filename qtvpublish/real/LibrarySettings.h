#pragma once
// The library's own settings: "QTVPublish.ini" beside the library, read at
// every call. Only the hosted service's address can be changed there, for
// self-hosted WordPress and for tests:
//   [WordPress]
//   XmlRpcUrl=http://127.0.0.1:8080/xmlrpc.php
#include <string>

namespace qtvpublish {

constexpr char kHostedXmlRpcUrl[] = "https://wordpress.com/xmlrpc.php";
constexpr char kSettingsFileName[] = "QTVPublish.ini";

class CLibrarySettings {
public:
    // Reads the file beside the module that holds this code.
    CLibrarySettings();
    explicit CLibrarySettings(const std::string& iniPath);

    const std::string& WordPressUrl() const { return m_strWordPressUrl; }
    // The folder of the module that holds this code, ending with '\'.
    static std::string ModuleFolder();

private:
    std::string m_strWordPressUrl;
};

}  // namespace qtvpublish
