#include "support/RealLibrary.h"

#include <gdiplus.h>

#include "platform/Text.h"
#include "support/UiDriver.h"
#include "util/KeyValueText.h"

namespace publish_test {

CRealLibrary::CRealLibrary(const std::string& xmlRpcUrl, const std::string& extraIni)
{
    const std::string dll = m_folder.Path() + "QTVPublish.dll";
    if (!::CopyFileA(WP_REAL_LIBRARY_DIR "QTVPublish.dll", dll.c_str(), FALSE))
        return;
    if (!xmlRpcUrl.empty() || !extraIni.empty())
        testing_support::WriteFileBytes(m_folder.Path() + "QTVPublish.ini",
                                        (xmlRpcUrl.empty() ? "" : "[WordPress]\r\nXmlRpcUrl=" + xmlRpcUrl + "\r\n") +
                                            extraIni);
    m_hLibrary.Reset(::LoadLibraryA(dll.c_str()));
    if (!m_hLibrary)
        return;
    m_pfnGetBlogIds = reinterpret_cast<PFN_GET_BLOG_IDS>(
        reinterpret_cast<void*>(::GetProcAddress(m_hLibrary.Get(), "GetBlogIDs")));
    m_pfnPublish = reinterpret_cast<PFN_PUBLISH_TO_BLOG_NO_GUI>(
        reinterpret_cast<void*>(::GetProcAddress(m_hLibrary.Get(), "PublishToBlogNoGUI")));
}

CRealLibrary::CBlogs CRealLibrary::GetBlogIds(int blogType, const std::string& server, const std::string& endpoint,
                                              const std::string& user, const std::string& password) const
{
    CBlogs blogs;
    std::string buffer(kBlogListCapacity + 1, '#');
    blogs.nStatus = m_pfnGetBlogIds(blogType, server.c_str(), endpoint.c_str(), user.c_str(), password.c_str(),
                                    &buffer[0], kBlogListCapacity);
    blogs.strXml = buffer.substr(0, buffer.find('\0'));
    return blogs;
}

int CRealLibrary::Publish(int blogType, const std::string& server, const std::string& endpoint,
                          const std::string& image, const std::string& user, const std::string& password,
                          const std::string& blogId, const std::string& title, const std::string& body, int draft,
                          const std::string& blogAddress) const
{
    return m_pfnPublish(blogType, server.c_str(), endpoint.c_str(), image.c_str(), user.c_str(), password.c_str(),
                        blogId.c_str(), title.c_str(), body.c_str(), draft, blogAddress.c_str());
}

CMessageBoxWatcher::CMessageBoxWatcher()
    : m_thread([this] {
          while (!m_bStop) {
              for (HWND hBox : ui::FindWindows("", "#32770")) {
                  m_texts.push_back(ui::Text(::GetDlgItem(hBox, 0xFFFF)));
                  ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                  ui::WaitUntilGone(hBox, 5000);
              }
              ::Sleep(50);
          }
      })
{
}

CMessageBoxWatcher::~CMessageBoxWatcher() { Stop(); }

std::vector<std::string> CMessageBoxWatcher::Stop()
{
    m_bStop = true;
    if (m_thread.joinable())
        m_thread.join();
    return m_texts;
}

bool WritePng(const std::string& path, int width, int height)
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return false;
    bool ok = false;
    {
        Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
        for (int y = 0; y < height; y += 8)
            for (int x = 0; x < width; ++x)
                for (int k = 0; k < 8 && y + k < height; ++k)
                    bitmap.SetPixel(x, y + k, Gdiplus::Color(255, static_cast<BYTE>(x * 255 / width),
                                                             static_cast<BYTE>(y * 255 / height), 128));
        UINT count = 0;
        UINT size = 0;
        Gdiplus::GetImageEncodersSize(&count, &size);
        std::vector<BYTE> storage(size);
        auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(storage.data());
        Gdiplus::GetImageEncoders(count, size, encoders);
        for (UINT i = 0; i < count; ++i) {
            if (std::wstring(encoders[i].MimeType) == L"image/png") {
                ok = bitmap.Save(platform::WideFromAnsi(path).c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
                break;
            }
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return ok;
}

std::string EnvValue(const std::string& envFile, const std::string& key)
{
    std::string value;
    util::FindKeyValue(testing_support::ReadFileBytes(envFile), key, value);
    return value;
}

std::string WindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

}  // namespace publish_test
