#pragma once
// The library's own settings: "QTVPublish.ini" beside the library, read at
// every call. The hosted service's address can be changed there, for
// self-hosted WordPress and for tests, and the ceiling of one call shortened
// (in seconds, 1 to 120):
//   [WordPress]
//   XmlRpcUrl=http://127.0.0.1:8080/xmlrpc.php
//   [Limits]
//   CallSeconds=120
#include <string>

namespace qtvpublish {

constexpr char kHostedXmlRpcUrl[] = "https://wordpress.com/xmlrpc.php";
constexpr char kSettingsFileName[] = "QTVPublish.ini";
constexpr int kMaxCallSeconds = 120;

class CLibrarySettings {
public:
    // Reads the file beside the module that holds this code.
    CLibrarySettings();
    explicit CLibrarySettings(const std::string& iniPath);

    const std::string& WordPressUrl() const { return m_strWordPressUrl; }
    // How long one export call may take, every exchange included.
    int CallSeconds() const { return m_nCallSeconds; }
    // The folder of the module that holds this code, ending with '\'.
    static std::string ModuleFolder();

private:
    std::string m_strWordPressUrl;
    int m_nCallSeconds = kMaxCallSeconds;
};

}  // namespace qtvpublish
