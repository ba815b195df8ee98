#pragma once
// The host side of the accessory contract, as a small screen-capture program
// implements it: the host object, the capture document, the chosen output
// format and the category preferences. Shared by the sample host and tests.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "orlimo.h"
#include "platform/ComObject.h"
#include "platform/ComPtr.h"

namespace host {

// What the host was asked to do, in order; tests and the scripted mode read it.
struct CHostLog {
    std::vector<std::string> lines;
    void Add(const std::string& line) { lines.push_back(line); }
};

// Saves an image file in the format of a host format code with GDI+.
// Returns false when the source cannot be decoded or the target not written.
bool SaveImageAs(const std::wstring& source, const std::wstring& target, long nFormat);

// Ways a host's save can go wrong, staged by tests; the sample host saves.
enum class SaveFault {
    None,
    FailsLeavingPart,      // writes a few bytes, then answers E_FAIL
    SucceedsWritingNothing,
    SucceedsWritingEmpty,  // answers S_OK over an empty file
};

class CCaptureDocument : public platform::CComObjectRoot, public ICaptureDocument, public IDocumentSave {
public:
    static const platform::CInterfaceEntry* InterfaceMap();
    void Setup(const std::wstring& imageFile, CHostLog* log);
    void SetSaveFault(SaveFault fault) { m_fault = fault; }

    STDMETHODIMP GetImageSize(long* pnWidth, long* pnHeight) override;
    STDMETHODIMP SaveAs(BSTR bstrPath, long nFormat, IUnknown* pOptions) override;

protected:
    CCaptureDocument() = default;
    virtual ~CCaptureDocument() = default;

private:
    std::wstring m_strImageFile;
    CHostLog* m_pLog = nullptr;
    SaveFault m_fault = SaveFault::None;
};

// The capture without the save interface: a host whose document cannot save.
class CReadOnlyDocument : public platform::CComObjectRoot, public ICaptureDocument {
public:
    static const platform::CInterfaceEntry* InterfaceMap();
    STDMETHODIMP GetImageSize(long* pnWidth, long* pnHeight) override;

protected:
    CReadOnlyDocument() = default;
    virtual ~CReadOnlyDocument() = default;
};

class COutputFormat : public platform::CComObjectRoot, public IOutputFileFormat {
public:
    static const platform::CInterfaceEntry* InterfaceMap();
    void Setup(long nFormat) { m_nFormat = nFormat; }

    STDMETHODIMP GetFormat(long* pnFormat) override;
    STDMETHODIMP GetExtension(BSTR* pbstrExtension) override;
    STDMETHODIMP GetFormatOptions(IUnknown** ppOptions) override;

protected:
    COutputFormat() = default;
    virtual ~COutputFormat() = default;

private:
    long m_nFormat = 5;
};

class CComponentHost : public platform::CComObjectRoot, public IComponentHost {
public:
    static const platform::CInterfaceEntry* InterfaceMap();
    // Null document or format makes the host answer without one.
    void Setup(IUnknown* pDocument, IUnknown* pFormat, HWND hMainWindow);
    void SetMainWindow(HWND hWnd) { m_hMainWindow = hWnd; }

    STDMETHODIMP GetDocument(IUnknown** ppDocument) override;
    STDMETHODIMP GetOutputFormat(IUnknown** ppFormat) override;
    STDMETHODIMP GetHostVersion(long* pnVersion) override;
    STDMETHODIMP GetMainWindow(long* phWnd) override;

protected:
    CComponentHost() = default;
    virtual ~CComponentHost() = default;

private:
    platform::CComPtr<IUnknown> m_spDocument;
    platform::CComPtr<IUnknown> m_spFormat;
    HWND m_hMainWindow = nullptr;
};

class CCategoryPreferences : public platform::CComObjectRoot, public ICategoryPreferences {
public:
    static const platform::CInterfaceEntry* InterfaceMap();
    void Setup(const std::wstring& accessoryFolder, const std::wstring& dataFolder);

    STDMETHODIMP GetCategoryName(BSTR* pbstrName) override;
    STDMETHODIMP GetAccessoryFolder(BSTR* pbstrFolder) override;
    STDMETHODIMP GetDataFolder(BSTR* pbstrFolder) override;

protected:
    CCategoryPreferences() = default;
    virtual ~CCategoryPreferences() = default;

private:
    std::wstring m_strAccessoryFolder;
    std::wstring m_strDataFolder;
};

// Makes a host object of class T and hands back its implementation pointer
// with one reference owned by the CComPtr.
template <class T>
using CHostPtr = platform::CComPtr<platform::CComObject<T>>;

template <class T>
CHostPtr<T> MakeObject()
{
    CHostPtr<T> sp;
    auto* p = new platform::CComObject<T>();
    p->AddRef();
    sp.Attach(p);
    return sp;
}

}  // namespace host
