#include "support/RealSend.h"

#include <gdiplus.h>

#include <chrono>
#include <cstring>
#include <map>
#include <thread>

#include "platform/Text.h"
#include "qtvpublish/real/Utf8.h"
#include "qtvpublish/real/XmlRpcClient.h"
#include "res/DialogIds.h"
#include "res/resource.h"
#include "support/PopupDriver.h"
#include "support/TestAccessory.h"
#include "support/UiDriver.h"
#include "util/KeyValueText.h"

namespace e2e {

const char kLoginCaption[] = "WordPress.com Login";
const char kEditorCaption[] = "Blog Editor";

namespace {

const char kPopupClass[] = "qtvAccAlert";

bool EncoderFor(const wchar_t* mime, CLSID& clsid)
{
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> storage(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(storage.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    for (UINT i = 0; i < count; ++i)
        if (std::wstring(encoders[i].MimeType) == mime) {
            clsid = encoders[i].Clsid;
            return true;
        }
    return false;
}

qtvpublish::CXmlRpcRequest Login(const CWordPress& wp, const char* method)
{
    qtvpublish::CXmlRpcRequest request(method);
    request.String("1").String(wp.strUser).String(wp.strPassword);
    return request;
}

}  // namespace

CWordPress CWordPress::FromEnvFile(const std::string& envFile)
{
    const std::string text = testing_support::ReadFileBytes(envFile);
    CWordPress wp;
    util::FindKeyValue(text, "WP_URL", wp.strUrl);
    util::FindKeyValue(text, "WP_XMLRPC", wp.strXmlRpc);
    util::FindKeyValue(text, "WP_USER", wp.strUser);
    util::FindKeyValue(text, "WP_PASSWORD", wp.strPassword);
    return wp;
}

std::string EnvValue(const std::string& envFile, const std::string& key)
{
    std::string value;
    util::FindKeyValue(testing_support::ReadFileBytes(envFile), key, value);
    return value;
}

bool InstallRealLibrary(const std::string& libraryFolder, const std::string& accessoryFolder,
                        const std::string& xmlRpcUrl)
{
    if (!::CopyFileA((libraryFolder + "QTVPublish.dll").c_str(), (accessoryFolder + "QTVPublish.dll").c_str(), FALSE))
        return false;
    return testing_support::WriteFileBytes(accessoryFolder + "QTVPublish.ini",
                                           "[WordPress]\r\nXmlRpcUrl=" + xmlRpcUrl + "\r\n");
}

bool WriteCapture(const std::string& pngPath, int width, int height)
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return false;
    bool ok = false;
    {
        Gdiplus::Bitmap tile(platform::WideFromAnsi(testing_support::DemoCapture()).c_str());
        Gdiplus::Bitmap image(width, height, PixelFormat24bppRGB);
        Gdiplus::Graphics g(&image);
        g.Clear(Gdiplus::Color(255, 90, 90, 90));
        const int tw = static_cast<int>(tile.GetWidth()), th = static_cast<int>(tile.GetHeight());
        if (tile.GetLastStatus() == Gdiplus::Ok && tw > 0 && th > 0)
            for (int y = 0; y < height; y += th)
                for (int x = 0; x < width; x += tw)
                    g.DrawImage(&tile, x, y, tw, th);
        CLSID png;
        ok = EncoderFor(L"image/png", png) &&
             image.Save(platform::WideFromAnsi(pngPath).c_str(), &png, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
    return ok;
}

HWND LogIn(const std::string& user, const std::string& password, int timeoutMs)
{
    HWND h = ui::WaitForWindow(kLoginCaption, "#32770", timeoutMs);
    if (!h)
        return nullptr;
    ui::Type(ui::Control(h, IDC_AUTH_USER_NAME), user);
    ui::Type(ui::Control(h, IDC_AUTH_PASSWORD), password);
    ui::Focus(ui::Control(h, IDC_AUTH_PASSWORD));
    ui::Press("Enter");
    ui::WaitUntilGone(h);
    return h;
}

HWND WaitForEditor(int timeoutMs) { return ui::WaitForWindow(kEditorCaption, "#32770", timeoutMs); }

HWND Entry(HWND hEditor) { return ui::Control(hEditor, IDC_EDITOR_ENTRY); }

bool AddLink(const std::string& text, const std::string& address)
{
    ui::Press("Ctrl+K");
    HWND hLink = ui::WaitForWindow("Create Link", "#32770", 5000);
    if (!hLink)
        return false;
    ui::Type(ui::Control(hLink, IDC_LINK_URL_TEXT), text);
    ui::Type(ui::Control(hLink, IDC_LINK_URL_ADDRESS), address);
    ui::Press("Enter");
    return ui::WaitUntilGone(hLink, 3000);
}

bool Paste(const std::wstring& text)
{
    if (!::OpenClipboard(nullptr))
        return false;
    ::EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool ok = false;
    if (void* p = hText ? ::GlobalLock(hText) : nullptr) {
        std::memcpy(p, text.c_str(), bytes);
        ::GlobalUnlock(hText);
        ok = ::SetClipboardData(CF_UNICODETEXT, hText) != nullptr;
    }
    if (!ok && hText)
        ::GlobalFree(hText);
    ::CloseClipboard();
    if (ok)
        ui::Press("Ctrl+V");
    return ok;
}

void PointAt(HWND hWnd)
{
    const RECT rc = ui::ScreenRect(hWnd);
    popup_driver::MoveMouseTo((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ::Sleep(150);
}

bool Post(HWND hEditor, int timeoutMs)
{
    PointAt(ui::Control(hEditor, ID_POST));
    ui::Click(ui::Control(hEditor, ID_POST));
    return ui::WaitUntilGone(hEditor, timeoutMs);
}

HWND WaitForPopup(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        const auto found = ui::FindWindows("", kPopupClass);
        if (!found.empty())
            return found.front();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return nullptr;
}

CPost FindPost(const CWordPress& wp, const std::wstring& contentMarker)
{
    const qtvpublish::CXmlRpcClient client(wp.strXmlRpc);
    qtvpublish::CXmlRpcRequest request = Login(wp, "wp.getPosts");
    request.BeginStruct().Member("number").Int(20).Member("post_status").String("any").EndStruct();
    const qtvpublish::CCallResult posts = client.Call(request);
    CPost found;
    if (!posts.IsValue())
        return found;
    // Newest first, as WordPress lists them.
    for (const qtvpublish::CXmlRpcValue& post : posts.m_value.m_items) {
        if (post.Text(L"post_content").find(contentMarker) == std::wstring::npos)
            continue;
        qtvpublish::CXmlRpcRequest get = Login(wp, "wp.getPost");
        get.String(qtvpublish::Utf8FromWide(post.Text(L"post_id")));
        const qtvpublish::CCallResult one = client.Call(get);
        if (!one.IsValue())
            return found;
        found.strTitle = one.m_value.Text(L"post_title");
        found.strContent = one.m_value.Text(L"post_content");
        found.strStatus = one.m_value.Text(L"post_status");
        found.strLink = one.m_value.Text(L"link");
        return found;
    }
    return found;
}

std::vector<std::wstring> MediaAddresses(const CWordPress& wp)
{
    const qtvpublish::CXmlRpcClient client(wp.strXmlRpc);
    qtvpublish::CXmlRpcRequest request = Login(wp, "wp.getMediaLibrary");
    request.BeginStruct().Member("number").Int(20).EndStruct();
    const qtvpublish::CCallResult media = client.Call(request);
    std::vector<std::wstring> addresses;
    if (media.IsValue())
        for (const qtvpublish::CXmlRpcValue& item : media.m_value.m_items)
            addresses.push_back(item.Text(L"link"));
    return addresses;
}

std::wstring DecodeEntities(const std::wstring& html)
{
    static const std::map<std::wstring, char32_t> named = {
        {L"amp", U'&'}, {L"lt", U'<'}, {L"gt", U'>'}, {L"quot", U'"'}, {L"apos", U'\''}, {L"nbsp", 0xA0},
        {L"eacute", 0xE9}, {L"uuml", 0xFC}, {L"euro", 0x20AC}, {L"hellip", 0x2026},
    };
    std::wstring out;
    std::size_t i = 0;
    while (i < html.size()) {
        const std::size_t semi = html[i] == L'&' ? html.find(L';', i) : std::wstring::npos;
        if (semi == std::wstring::npos || semi - i > 12) {
            out += html[i++];
            continue;
        }
        const std::wstring name = html.substr(i + 1, semi - i - 1);
        char32_t c = 0;
        if (name.size() > 1 && name[0] == L'#') {
            const bool hex = name[1] == L'x' || name[1] == L'X';
            c = static_cast<char32_t>(std::wcstoul(name.c_str() + (hex ? 2 : 1), nullptr, hex ? 16 : 10));
        } else if (const auto it = named.find(name); it != named.end()) {
            c = it->second;
        }
        if (c == 0) {
            out += html[i++];
            continue;
        }
        if (c > 0xFFFF) {
            c -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (c >> 10));
            out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
        i = semi + 1;
    }
    return out;
}

}  // namespace e2e
