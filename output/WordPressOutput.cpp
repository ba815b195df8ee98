#include "output/WordPressOutput.h"

#include <vector>

#include "output/ImageFolder.h"
#include "output/OutputRules.h"
#include "platform/ActivationContext.h"
#include "platform/ExceptionGuard.h"
#include "platform/HtmlHelp.h"
#include "platform/Module.h"
#include "platform/Text.h"
#include "platform/WaitCursor.h"
#include "res/resource.h"
#include "util/PathRules.h"
#include "util/WidePath.h"

using platform::CBstr;
using platform::CComPtr;
using platform::CModule;

const platform::CInterfaceEntry* CWordPressOutput::InterfaceMap()
{
    static const platform::CInterfaceEntry entries[] = {
        WP_INTERFACE_ENTRY(CWordPressOutput, IComponentInitialize),
        WP_INTERFACE_ENTRY(CWordPressOutput, IComponentWantsCategoryPreferences),
        WP_INTERFACE_ENTRY(CWordPressOutput, IOutputMenu),
        WP_INTERFACE_ENTRY(CWordPressOutput, IOutput),
        WP_INTERFACE_ENTRY(CWordPressOutput, IPackageOptionsUI),
        {nullptr, 0},
    };
    return entries;
}

STDMETHODIMP CWordPressOutput::Initialize(IUnknown* pHost, IUnknown* /*pContext*/, long /*nFlags*/) try
{
    CComPtr<IComponentHost> spHost;
    const HRESULT hr = platform::QueryTo(pHost, spHost);
    m_spHost = spHost;
    return hr;
} WP_CATCH_RETURN()

STDMETHODIMP CWordPressOutput::SetCategoryPreferences(ICategoryPreferences* pPreferences) try
{
    if (pPreferences) {
        CBstr accessory, data;
        pPreferences->GetAccessoryFolder(accessory.Put());
        pPreferences->GetDataFolder(data.Put());
        m_strAccessoryFolder = accessory.Get() ? std::wstring(accessory.Get(), ::SysStringLen(accessory.Get())) : L"";
        m_strDataFolder = data.Get() ? std::wstring(data.Get(), ::SysStringLen(data.Get())) : L"";
        // The help file and the publishing library are named by appending
        // their names: without the backslash they would lie beside the
        // folder instead of in it.
        if (!m_strAccessoryFolder.empty())
            m_strAccessoryFolder = util::WithBackslash(m_strAccessoryFolder);
    }
    if (!m_hLargeIcon && !m_strAccessoryFolder.empty()) {
        const std::wstring iconPath = m_strAccessoryFolder + L"WordPress.ico";
        m_hLargeIcon.Reset(static_cast<HICON>(
            ::LoadImageW(nullptr, iconPath.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE)));
    }
    return S_OK;
} WP_CATCH_RETURN()

STDMETHODIMP CWordPressOutput::GetMenuXml(BSTR* pbstrXml) try
{
    if (!pbstrXml)
        return E_POINTER;
    const std::string xml = output::BuildMenuXml(CModule::LoadString(IDS_SEND_TO_WORDPRESS),
                                                 CModule::LoadString(IDS_OPTIONS),
                                                 CModule::LoadString(IDS_HELP));
    *pbstrXml = CBstr::FromAnsi(xml).Detach();
    return *pbstrXml ? S_OK : E_OUTOFMEMORY;
} WP_CATCH_RETURN()

STDMETHODIMP CWordPressOutput::OnMenuCommand(BSTR bstrId) try
{
    const std::string id = bstrId ? platform::AnsiFromWide(bstrId, static_cast<int>(::SysStringLen(bstrId)),
                                                           CP_THREAD_ACP)
                                  : std::string();
    switch (output::ParseCommandId(id)) {
    case output::kMenuSend:
        return SendAndReport();
    case output::kMenuOptions:
        RunOptions();
        return S_OK;
    default:
        ShowHelp();
        return S_OK;
    }
} WP_CATCH_RETURN()

STDMETHODIMP CWordPressOutput::Send() try { return SendAndReport(); } WP_CATCH_RETURN()

STDMETHODIMP CWordPressOutput::ShowOptions() try
{
    RunOptions();
    return S_OK;
} WP_CATCH_RETURN()

HRESULT CWordPressOutput::SendAndReport()
{
    if (SendCapture())
        return S_OK;
    const UINT idMessage = m_bNoAnsiFolder ? IDS_NO_ANSI_FOLDER : IDS_UNABLE_TO_SEND;
    platform::ShowMessageBox(GetMainWindow(), CModule::LoadWideString(idMessage).c_str(),
                             CModule::LoadWideString(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONEXCLAMATION);
    return E_FAIL;
}

HWND CWordPressOutput::GetMainWindow() const
{
    long hWnd = 0;
    if (m_spHost)
        m_spHost->GetMainWindow(&hWnd);
    // Window handles carry 32 significant bits, also in a 64-bit process.
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(hWnd));
}

void CWordPressOutput::ShowHelp()
{
    platform::ShowHelpTopic(GetMainWindow(), util::AnsiPathOf(m_strAccessoryFolder + L"WordPressOutput.chm"));
}

namespace {

bool IsNonEmptyFile(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
           !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (data.nFileSizeHigh != 0 || data.nFileSizeLow != 0);
}

// A new name for the image copy. The platform's unique ".tmp" file guards
// only its own name: the image name made from it may belong to the copy of
// an earlier send, which a failed save would then pass off as this one. So a
// number whose image name is taken is passed over. Each ".tmp" is held until
// the save is over, so no other send picks the same number meanwhile; all of
// them go in the end, and so does the image file unless it is kept.
class CImageName {
public:
    CImageName() { m_reserved.reserve(kMaxAttempts); }
    ~CImageName()
    {
        if (!m_strPath.empty() && !m_bKeep)
            ::DeleteFileA(m_strPath.c_str());
        for (const std::string& name : m_reserved)
            ::DeleteFileA(name.c_str());
    }
    CImageName(const CImageName&) = delete;
    CImageName& operator=(const CImageName&) = delete;

    bool Reserve(const char* folder, const char* extension)
    {
        for (int i = 0; i < kMaxAttempts; ++i) {
            char tempName[MAX_PATH] = {};
            if (!::GetTempFileNameA(folder, "WordPressExt", 0, tempName))
                return false;
            m_reserved.emplace_back(tempName);
            std::string path = output::ReplaceTemporaryExtension(tempName, extension);
            if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
                ::GetLastError() == ERROR_FILE_NOT_FOUND) {
                m_strPath = std::move(path);
                return true;
            }
        }
        return false;
    }
    const std::string& Path() const { return m_strPath; }
    void Keep() { m_bKeep = true; }

private:
    static constexpr int kMaxAttempts = 1000;
    std::vector<std::string> m_reserved;
    std::string m_strPath;
    bool m_bKeep = false;
};

}  // namespace

std::string CWordPressOutput::SaveImageCopy()
{
    m_bNoAnsiFolder = false;
    if (!m_spHost)
        return {};
    CComPtr<IUnknown> spDocUnknown, spFormatUnknown, spOptions;
    m_spHost->GetDocument(spDocUnknown.Put());
    m_spHost->GetOutputFormat(spFormatUnknown.Put());
    CComPtr<ICaptureDocument> spDocument;
    CComPtr<IOutputFileFormat> spFormat;
    CComPtr<IDocumentSave> spSave;
    platform::QueryTo(spDocUnknown.Get(), spDocument);
    platform::QueryTo(spFormatUnknown.Get(), spFormat);
    platform::QueryTo(spDocUnknown.Get(), spSave);
    if (!spDocument || !spFormat || !spSave)
        return {};
    long nFormat = -1;
    spFormat->GetFormat(&nFormat);
    spFormat->GetFormatOptions(spOptions.Put());

    // Every name from here on is one the code page holds, the folder's
    // included, so the 8-bit calls below and the library see the same file.
    const std::string folder = output::ChooseImageFolder();
    m_bNoAnsiFolder = folder.empty();
    if (folder.empty())
        return {};
    const char* extension = output::ImageExtensionForFormat(nFormat);
    CImageName name;
    if (!name.Reserve(folder.c_str(), extension))
        return {};

    platform::CWaitCursor wait;  // the host encodes the whole capture
    const std::string& imagePath = name.Path();
    const HRESULT hr = spSave->SaveAs(CBstr::FromAnsi(imagePath, CP_ACP).Get(), nFormat, spOptions.Get());
    if (FAILED(hr) || !IsNonEmptyFile(imagePath))
        return {};
    name.Keep();

    m_strImagePath = imagePath;
    return imagePath;
}
