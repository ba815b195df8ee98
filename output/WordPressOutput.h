#pragma once
// The accessory object the host creates: keeps the host and the two folders it
// is given, supplies the menu, answers its commands, opens help, and makes the
// temporary image copy that a send publishes.
#include <windows.h>

#include <string>

#include "orlimo.h"
#include "platform/ComObject.h"
#include "platform/ComPtr.h"
#include "platform/UniqueHandle.h"

class CWordPressOutput : public platform::CComObjectRoot,
                         public IComponentInitialize,
                         public IComponentWantsCategoryPreferences,
                         public IOutput,
                         public IOutputMenu,
                         public IPackageOptionsUI {
public:
    static const platform::CInterfaceEntry* InterfaceMap();

    // IComponentInitialize
    STDMETHODIMP Initialize(IUnknown* pHost, IUnknown* pContext, long nFlags) override;
    // IComponentWantsCategoryPreferences
    STDMETHODIMP SetCategoryPreferences(ICategoryPreferences* pPreferences) override;
    // IOutputMenu
    STDMETHODIMP GetMenuXml(BSTR* pbstrXml) override;
    STDMETHODIMP OnMenuCommand(BSTR bstrId) override;
    // IOutput
    STDMETHODIMP Send() override;
    // IPackageOptionsUI
    STDMETHODIMP ShowOptions() override;

    // Has the host save the capture as a new temporary image file in the
    // chosen format; returns its path as the publishing library takes it (in
    // the ANSI code page), or empty when the host cannot save it or no folder
    // for it has such a path (m_bNoAnsiFolder then says so).
    std::string SaveImageCopy();

    // The owner of every window we show; null when the host gives none.
    HWND GetMainWindow() const;

    const std::wstring& GetAccessoryFolder() const { return m_strAccessoryFolder; }
    const std::wstring& GetDataFolder() const { return m_strDataFolder; }
    const std::string& GetImagePath() const { return m_strImagePath; }
    HICON GetLargeIcon() const { return m_hLargeIcon.Get(); }

protected:
    CWordPressOutput() = default;
    virtual ~CWordPressOutput() = default;

private:
    // The send and options flows.
    bool SendCapture();
    void RunOptions();
    // The popup that announces the post; it outlives the send.
    void AnnouncePost(const std::string& blogAddress, HWND hMainWindow) const;
    void ShowHelp();
    HRESULT SendAndReport();

    platform::CComPtr<IComponentHost> m_spHost;
    // The host's folders, named in any script; the accessory's ends with '\'.
    std::wstring m_strAccessoryFolder;
    std::wstring m_strDataFolder;
    std::string m_strImagePath;
    bool m_bNoAnsiFolder = false;
    platform::CIcon m_hLargeIcon;
};
