#pragma once
// The work of one send or options request: the folders and paths, the log-in
// information, and the settings files that keep them between requests. A
// context lives for one host call and reads the settings files afresh.
#include <windows.h>

#include <string>

#include "platform/UniqueHandle.h"

struct CEntryDraft;

class PostContext {
public:
    PostContext() = default;
    PostContext(const PostContext&) = delete;
    PostContext& operator=(const PostContext&) = delete;

    // The send: the stored log-in or the log-in dialog, then the Blog Editor.
    // True when an entry was posted; m_strBlogAddress then names the blog.
    bool Run();
    // The log-in dialog; on OK the log-in and the preferences are stored.
    bool RunLogin();
    // The Blog Editor with the log-in in hand; returns the blog's address, or
    // empty when nothing was posted. When the editor asks for another
    // account, the log-in dialog and the editor run once more, no further.
    // A draft taken from an earlier run of this send starts the editor with
    // what was written there.
    std::string RunEditor(bool bMayAskAgain = true, const CEntryDraft* pDraft = nullptr);
    // Caption of the account dialogs for m_nBlogType.
    void SetLoginTitle();
    // The publishing library and the help file in the 8-bit form their
    // callers take (util::AnsiPathOf); empty when the folder has none.
    std::string LibraryPath() const;
    std::string HelpPath() const;
    // A settings file's path in the data folder.
    std::wstring SettingsFile(const char* fileName) const;

    // Settings files in the data folder (settings/PostContextSettings.cpp).
    // Nothing is ever shown to the user; failures leave the defaults.

    // Loads UserPrefs.xml: always use into alwaysUse, and show hotspot warning.
    bool ReadPreferences(int& alwaysUse);
    // Stores always use, rewrites UserPrefs.xml, and writes UserSettings.xml
    // when always use is 1 or deletes it when it is 0.
    bool WritePreferences(int alwaysUse);
    // Loads UserSettings.xml into the log-in information. A password in the
    // earlier version's scrambled form is sealed in the file at once.
    bool LoadStoredLogin();
    // Writes UserSettings.xml from the log-in information; refuses, leaving
    // the file as it was, when the user name or password is empty.
    bool SaveStoredLogin();

    // The host's folders, ending with '\', named in any script.
    std::wstring m_strAccessoryFolder;
    std::wstring m_strDataFolder;
    // The capture copy as the library's 8-bit contract carries it.
    std::string m_strImagePath;
    // Address of the blog that received the entry; empty when nothing was posted.
    std::string m_strBlogAddress;
    // Log-in information.
    std::string m_strPassword;
    std::string m_strUserName;
    std::string m_strServer;
    std::string m_strEndpoint;
    // 0 TypePad, 1 the hosted WordPress service, 2 Movable Type, 3 LiveJournal.
    int m_nBlogType = 1;
    std::string m_strLoginTitle;
    std::string m_strHelpPath;
    // 0 or 1: use the stored log-in without asking.
    int m_nAlwaysUse = 0;
    // 0 or 1: only carried through the preferences file.
    int m_nShowHotspotWarning = 1;
    // The host's main window, owner of every dialog; not ours to destroy.
    HWND m_hParentWindow = nullptr;
    platform::CIcon m_hSmallIcon;
};
