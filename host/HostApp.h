#pragma once
// The sample host: a main window showing the capture, an "Accessories" menu
// built from the accessory's menu text, and a scripted mode that runs a
// sequence of accessory calls and prints what came back.
#include <windows.h>

#include <string>
#include <vector>

#include "host/AccessoryLoader.h"
#include "host/HostObjects.h"
#include "host/MenuXml.h"
#include "platform/UniqueHandle.h"

namespace host {

struct CHostOptions {
    std::string strAccessoryFolder;  // ends with a backslash
    std::string strDataFolder;
    std::string strImageFile;
    long nFormat = 5;
    std::vector<std::string> script;  // commands run once the window is up
    std::string strScreenshot;         // PNG of the window with the menu open
    bool bShowMenu = false;
};

// Reads the command line; missing folders get the usual defaults.
CHostOptions ParseHostOptions(int argc, wchar_t** argv);

class CHostApp {
public:
    explicit CHostApp(CHostOptions options) : m_options(std::move(options)) {}
    int Run();

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    bool LoadAccessory();
    void BuildMenu();
    void LoadMenuIcon(const std::string& iconFile);
    void Paint();
    void RunScript();
    std::string RunCommand(const std::string& command);
    void TakeScreenshot();

    CHostOptions m_options;
    HWND m_hWnd = nullptr;
    CHostLog m_log;
    CAccessoryModule m_module;
    CHostPtr<CComponentHost> m_spHost;
    platform::CComPtr<IComponentInitialize> m_spOutput;
    std::vector<CMenuEntry> m_menu;
    platform::CIcon m_hMenuIcon;  // the accessory's picture beside its menu item
    int m_nExitCode = 0;
};

}  // namespace host
