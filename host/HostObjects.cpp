#include "host/HostObjects.h"

#include <gdiplus.h>

#include <memory>

#include "platform/Text.h"
#include "platform/UniqueHandle.h"

namespace host {

namespace {

const wchar_t* MimeTypeForFormat(long nFormat)
{
    switch (nFormat) {
    case 0: return L"image/bmp";
    case 2: return L"image/tiff";
    case 3: return L"image/jpeg";
    case 4: return L"image/gif";
    default: return L"image/png";
    }
}

bool FindEncoder(const wchar_t* mimeType, CLSID& clsid)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::unique_ptr<char[]> buffer(new char[size]);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.get());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (lstrcmpiW(codecs[i].MimeType, mimeType) == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// GDI+ for the duration of one call.
class CGdiplusSession {
public:
    CGdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        m_bOk = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~CGdiplusSession()
    {
        if (m_bOk)
            Gdiplus::GdiplusShutdown(m_token);
    }
    explicit operator bool() const { return m_bOk; }

private:
    ULONG_PTR m_token = 0;
    bool m_bOk = false;
};

std::string Narrow(const std::wstring& s) { return platform::AnsiFromWide(s); }

}  // namespace

bool SaveImageAs(const std::wstring& source, const std::wstring& target, long nFormat)
{
    CGdiplusSession gdiplus;
    if (!gdiplus)
        return false;
    CLSID encoder;
    if (!FindEncoder(MimeTypeForFormat(nFormat), encoder))
        return false;
    bool saved = false;
    {
        Gdiplus::Bitmap image(source.c_str());
        if (image.GetLastStatus() == Gdiplus::Ok)
            saved = image.Save(target.c_str(), &encoder, nullptr) == Gdiplus::Ok;
    }
    return saved;
}

// --- capture document ------------------------------------------------------

const platform::CInterfaceEntry* CCaptureDocument::InterfaceMap()
{
    static const platform::CInterfaceEntry entries[] = {
        WP_INTERFACE_ENTRY(CCaptureDocument, ICaptureDocument),
        WP_INTERFACE_ENTRY(CCaptureDocument, IDocumentSave),
        {nullptr, 0},
    };
    return entries;
}

void CCaptureDocument::Setup(const std::wstring& imageFile, CHostLog* log)
{
    m_strImageFile = imageFile;
    m_pLog = log;
}

STDMETHODIMP CCaptureDocument::GetImageSize(long* pnWidth, long* pnHeight)
{
    if (!pnWidth || !pnHeight)
        return E_POINTER;
    CGdiplusSession gdiplus;
    Gdiplus::Bitmap image(m_strImageFile.c_str());
    *pnWidth = static_cast<long>(image.GetWidth());
    *pnHeight = static_cast<long>(image.GetHeight());
    return S_OK;
}

STDMETHODIMP CCaptureDocument::SaveAs(BSTR bstrPath, long nFormat, IUnknown* /*pOptions*/)
{
    const std::wstring target = bstrPath ? std::wstring(bstrPath, ::SysStringLen(bstrPath)) : std::wstring();
    bool ok = false;
    switch (m_fault) {
    case SaveFault::None:
        ok = !target.empty() && SaveImageAs(m_strImageFile, target, nFormat);
        break;
    case SaveFault::FailsLeavingPart:
    case SaveFault::SucceedsWritingEmpty: {
        platform::CFileHandle file(
            ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD n = 0;
        if (m_fault == SaveFault::FailsLeavingPart)
            ::WriteFile(file.Get(), "\x89PNG", 4, &n, nullptr);
        ok = m_fault == SaveFault::SucceedsWritingEmpty;
        break;
    }
    case SaveFault::SucceedsWritingNothing:
        ok = true;
        break;
    }
    if (m_pLog)
        m_pLog->Add("SaveAs " + Narrow(target) + " " + std::to_string(nFormat) + (ok ? " ok" : " failed"));
    return ok ? S_OK : E_FAIL;
}

const platform::CInterfaceEntry* CReadOnlyDocument::InterfaceMap()
{
    static const platform::CInterfaceEntry entries[] = {
        WP_INTERFACE_ENTRY(CReadOnlyDocument, ICaptureDocument),
        {nullptr, 0},
    };
    return entries;
}

STDMETHODIMP CReadOnlyDocument::GetImageSize(long* pnWidth, long* pnHeight)
{
    if (!pnWidth || !pnHeight)
        return E_POINTER;
    *pnWidth = *pnHeight = 0;
    return S_OK;
}

// --- output format ----------------------------------------------------------

const platform::CInterfaceEntry* COutputFormat::InterfaceMap()
{
    static const platform::CInterfaceEntry entries[] = {
        WP_INTERFACE_ENTRY(COutputFormat, IOutputFileFormat),
        {nullptr, 0},
    };
    return entries;
}

STDMETHODIMP COutputFormat::GetFormat(long* pnFormat)
{
    if (!pnFormat)
        return E_POINTER;
    *pnFormat = m_nFormat;
    return S_OK;
}

STDMETHODIMP COutputFormat::GetExtension(BSTR* pbstrExtension)
{
    if (!pbstrExtension)
        return E_POINTER;
    *pbstrExtension = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COutputFormat::GetFormatOptions(IUnknown** ppOptions)
{
    if (!ppOptions)
        return E_POINTER;
    *ppOptions = nullptr;  // default options
    return S_OK;
}

// --- host -------------------------------------------------------------------

const platform::CInterfaceEntry* CComponentHost::InterfaceMap()
{
    static const platform::CInterfaceEntry entries[] = {
        WP_INTERFACE_ENTRY(CComponentHost, IComponentHost),
        {nullptr, 0},
    };
    return entries;
}

void CComponentHost::Setup(IUnknown* pDocument, IUnknown* pFormat, HWND hMainWindow)
{
    m_spDocument = pDocument;
    m_spFormat = pFormat;
    m_hMainWindow = hMainWindow;
}

STDMETHODIMP CComponentHost::GetDocument(IUnknown** ppDocument)
{
    if (!ppDocument)
        return E_POINTER;
    *ppDocument = nullptr;
    if (!m_spDocument)
        return E_FAIL;
    *ppDocument = m_spDocument.Get();
    (*ppDocument)->AddRef();
    return S_OK;
}

STDMETHODIMP CComponentHost::GetOutputFormat(IUnknown** ppFormat)
{
    if (!ppFormat)
        return E_POINTER;
    *ppFormat = nullptr;
    if (!m_spFormat)
        return E_FAIL;
    *ppFormat = m_spFormat.Get();
    (*ppFormat)->AddRef();
    return S_OK;
}

STDMETHODIMP CComponentHost::GetHostVersion(long* pnVersion)
{
    if (!pnVersion)
        return E_POINTER;
    *pnVersion = 0x00010000;
    return S_OK;
}

STDMETHODIMP CComponentHost::GetMainWindow(long* phWnd)
{
    if (!phWnd)
        return E_POINTER;
    *phWnd = static_cast<long>(reinterpret_cast<LONG_PTR>(m_hMainWindow));
    return S_OK;
}

// --- preferences ------------------------------------------------------------

const platform::CInterfaceEntry* CCategoryPreferences::InterfaceMap()
{
    static const platform::CInterfaceEntry entries[] = {
        WP_INTERFACE_ENTRY(CCategoryPreferences, ICategoryPreferences),
        {nullptr, 0},
    };
    return entries;
}

void CCategoryPreferences::Setup(const std::wstring& accessoryFolder, const std::wstring& dataFolder)
{
    m_strAccessoryFolder = accessoryFolder;
    m_strDataFolder = dataFolder;
}

namespace {
HRESULT CopyOut(const std::wstring& value, BSTR* pbstr)
{
    if (!pbstr)
        return E_POINTER;
    *pbstr = ::SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return *pbstr ? S_OK : E_OUTOFMEMORY;
}
}  // namespace

STDMETHODIMP CCategoryPreferences::GetCategoryName(BSTR* pbstrName) { return CopyOut(L"Output", pbstrName); }
STDMETHODIMP CCategoryPreferences::GetAccessoryFolder(BSTR* pbstrFolder)
{
    return CopyOut(m_strAccessoryFolder, pbstrFolder);
}
STDMETHODIMP CCategoryPreferences::GetDataFolder(BSTR* pbstrFolder) { return CopyOut(m_strDataFolder, pbstrFolder); }

}  // namespace host
