#pragma once
// The texts of the two settings files in the data folder, composed by plain
// concatenation and read back with the forward-only lookup of QTVXmlString.
// Both have the root element "userprefs". A reader takes the children with one
// cursor, so they must stand in the order in which they are read.
#include <string>

class QTVXmlString;

namespace settings {

constexpr const char kPreferencesFile[] = "UserPrefs.xml";
constexpr const char kStoredLoginFile[] = "UserSettings.xml";

// The bytes that writing the text through a C runtime text-mode stream puts
// on disk: the text up to its first zero byte, every LF written as CR LF. The
// composed lines end in CR LF, so on disk they end CR CR LF, as the files have
// always been written.
std::string TextModeBytes(const std::string& text);

// The data folder, a backslash unless it ends with one, and the file name.
std::string SettingsFilePath(const std::string& dataFolder, const char* fileName);

// Five lines ending in CR LF: always use as SaveText, show hotspot warning as
// DisplayHotspotWarning, both "%d".
std::string ComposePreferences(int alwaysUse, int showHotspotWarning);

// False, with nothing changed, when the text holds no userprefs element.
// Otherwise always use is 1 only for a SaveText of exactly "1" and show
// hotspot warning 0 only for a DisplayHotspotWarning of exactly "0".
bool ParsePreferences(QTVXmlString& text, int& alwaysUse, int& showHotspotWarning);

// Seven lines ending in CR LF: the stored text of the password as StoredText
// (settings/PasswordProtection.h), then Login, Server, Endpoint, each
// escaped. The arguments are not changed.
std::string ComposeStoredLoginText(const std::string& storedText, const std::string& userName,
                                   const std::string& server, const std::string& endpoint);

// False, with nothing changed, when the text holds no userprefs element.
// Otherwise a missing Login, Server or Endpoint leaves its field as it was,
// and storedText is the StoredText as written (empty when it is missing).
bool ParseStoredLoginText(QTVXmlString& text, std::string& storedText, std::string& userName,
                          std::string& server, std::string& endpoint);

// The file as the earlier version wrote and read it, with the scrambled
// password: ComposeStoredLoginText over ScramblePassword, and
// ParseStoredLoginText with the StoredText unscrambled.
std::string ComposeStoredLogin(const std::string& password, const std::string& userName,
                               const std::string& server, const std::string& endpoint);
bool ParseStoredLogin(QTVXmlString& text, std::string& password, std::string& userName, std::string& server,
                      std::string& endpoint);

}  // namespace settings
