#pragma once
// A throw-away installation of the accessory for one test: its own accessory,
// data and temporary folders, the host objects, and the output object created
// either from the built DLL or from the linked class table.
#include <windows.h>

#include <string>
#include <vector>

#include "host/AccessoryLoader.h"
#include "host/HostObjects.h"

namespace testing_support {

// A unique empty folder, removed with everything in it at the end.
class CTestFolder {
public:
    explicit CTestFolder(const std::string& tag = "wp");
    ~CTestFolder();
    CTestFolder(const CTestFolder&) = delete;
    CTestFolder& operator=(const CTestFolder&) = delete;
    const std::string& Path() const { return m_strPath; }  // ends with '\'
    std::vector<std::string> Files() const;              // names, not paths

private:
    std::string m_strPath;
};

std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
void RemoveTree(const std::string& path);

enum class CreateFrom { LinkedClassTable, BuiltDll };

struct CHostSetup {
    bool bDocument = true;
    bool bSave = true;
    bool bFormat = true;
    long nFormat = 5;
    std::string strImage;  // default: the demo capture
    host::SaveFault saveFault = host::SaveFault::None;
    // The temporary (TMP) and data folders in place of the accessory's own,
    // e.g. folders named in a script the code page does not hold.
    std::wstring strTempFolder;
    std::wstring strDataFolder;
};

class CTestAccessory {
public:
    explicit CTestAccessory(CreateFrom from = CreateFrom::LinkedClassTable, const CHostSetup& setup = {});
    ~CTestAccessory();

    HRESULT CreateResult() const { return m_hrCreate; }
    template <class I>
    platform::CComPtr<I> As() const
    {
        platform::CComPtr<I> sp;
        m_spOutput.As(sp);
        return sp;
    }
    const std::string& AccessoryFolder() const { return m_accessory.Path(); }
    const std::string& DataFolder() const { return m_data.Path(); }
    const std::string& TempFolder() const { return m_temp.Path(); }
    std::vector<std::string> TempFiles() const { return m_temp.Files(); }
    host::CHostLog& Log() { return m_log; }
    HWND MainWindow() const { return m_hMainWindow; }
    const host::CAccessoryModule& Module() const { return m_module; }

private:
    CTestFolder m_accessory{"acc"};
    CTestFolder m_data{"data"};
    // The temporary folder's own name holds ".tmp" on purpose: only the
    // file name's extension may be replaced.
    CTestFolder m_temp{"cache.tmp"};
    std::wstring m_strOldTmp;
    bool m_bHadTmp = false;
    host::CHostLog m_log;
    host::CAccessoryModule m_module;
    platform::CComPtr<IComponentInitialize> m_spOutput;
    HWND m_hMainWindow = nullptr;
    HRESULT m_hrCreate = E_FAIL;
};

// Where the build put the accessory's files, the recording stand-in library
// the tests put beside copies of them, and the demo capture.
std::string BuiltAccessoryFolder();
std::string StandInLibraryFolder();
std::string DemoCapture();

}  // namespace testing_support
