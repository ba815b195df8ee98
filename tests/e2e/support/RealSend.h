#pragma once
// A send as a user makes it, with the real publishing library posting to the
// local WordPress (scripts/wordpress.sh): the accessory folder set up with
// that library and its settings file, the user's steps in the dialogs, and
// the post read back over XML-RPC as WordPress stored it.
//
// The steps find windows through the UI driver, so they work on this
// process's dialogs and, after ui::DriveProcess, on another process's.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The local WordPress as its state file describes it; empty when it is not running.
struct CWordPress {
    std::string strUrl, strXmlRpc, strUser, strPassword;
    static CWordPress FromEnvFile(const std::string& envFile);
    bool Known() const { return !strXmlRpc.empty(); }
};

// One KEY=VALUE of the local WordPress's state file; empty when absent.
std::string EnvValue(const std::string& envFile, const std::string& key);

// Puts the real library into the folder, with a settings file that points
// it at the given XML-RPC address; false when the library cannot be copied.
bool InstallRealLibrary(const std::string& libraryFolder, const std::string& accessoryFolder,
                        const std::string& xmlRpcUrl);

// A PNG of the size, the demo capture tiled over it, so a large capture
// compresses about as a real screen's would.
bool WriteCapture(const std::string& pngPath, int width, int height);

// --- the user's steps --------------------------------------------------------

extern const char kLoginCaption[];
extern const char kEditorCaption[];

// Fills the log-in dialog and presses Enter in the password box; the
// dialog, or nullptr when it did not open.
HWND LogIn(const std::string& user, const std::string& password, int timeoutMs = 20000);
HWND WaitForEditor(int timeoutMs = 30000);
HWND Entry(HWND hEditor);
// Ctrl+K at the caret, the link dialog filled and confirmed.
bool AddLink(const std::string& text, const std::string& address);
// Puts the text on the clipboard and presses Ctrl+V.
bool Paste(const std::wstring& text);
// Moves the pointer to the middle of the window, as a hand does before a click:
// a click that comes with the first move of a fresh desktop can go astray.
void PointAt(HWND hWnd);
// Points at "&Post", presses it and waits until the editor has gone.
bool Post(HWND hEditor, int timeoutMs = 60000);
// The popup window once it shows, or nullptr.
HWND WaitForPopup(int timeoutMs = 10000);

// --- reading back ------------------------------------------------------------

struct CPost {
    std::wstring strTitle, strContent, strStatus, strLink;  // as WordPress stored them
    bool Found() const { return !strStatus.empty(); }
};
// The newest post whose stored content holds the marker.
CPost FindPost(const CWordPress& wp, const std::wstring& contentMarker);
// Addresses of the newest uploads of the media library.
std::vector<std::wstring> MediaAddresses(const CWordPress& wp);

// Character and entity references replaced by their characters, as a browser reads them.
std::wstring DecodeEntities(const std::wstring& html);

}  // namespace e2e
