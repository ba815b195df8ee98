// qtvpost: lists the account's blogs or posts one image through the
// publishing library beside it, calling only its two exports, blog type 1,
// as the accessory does.
//   qtvpost list <user> <password>
//   qtvpost post <user> <password> <image> <title> <body with two %s> [draft]
// Exit codes: 0 done; 1 the library reported a failed post; 2 the log-in was
// refused or the account has no blog; 3 wrong arguments or no library.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/UniqueHandle.h"
#include "publish/PublishContract.h"
#include "settings/QTVXmlString.h"

namespace {

constexpr int kWordPress = 1;

std::string OwnFolder()
{
    char path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    const std::size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

// Nobody reads a message box in a scripted run: its text goes to stderr and
// the box is dismissed, so a failure can never leave the tool waiting.
LRESULT CALLBACK DismissMessageBoxes(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    if (code == HCBT_ACTIVATE) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        char className[16] = {};
        ::GetClassNameA(hWnd, className, sizeof className);
        if (::lstrcmpA(className, "#32770") == 0) {
            char text[2048] = {};
            ::GetDlgItemTextA(hWnd, 0xFFFF, text, sizeof text);
            std::fprintf(stderr, "message: %s\n", text);
            std::fflush(stderr);
            ::PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: qtvpost list <user> <password>\n"
                 "       qtvpost post <user> <password> <image> <title> <body with two %%s> [draft]\n");
    return 3;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return Usage();
    const std::string command = argv[1];
    const bool list = command == "list" && argc == 4;
    const bool post = command == "post" && (argc == 7 || (argc == 8 && std::string(argv[7]) == "draft"));
    if (!list && !post)
        return Usage();

    const std::string libraryPath = OwnFolder() + "QTVPublish.dll";
    platform::CLibrary library(::LoadLibraryA(libraryPath.c_str()));
    const auto getBlogIds = library ? reinterpret_cast<PFN_GET_BLOG_IDS>(
                                          reinterpret_cast<void*>(::GetProcAddress(library.Get(), "GetBlogIDs")))
                                    : nullptr;
    const auto publish = library ? reinterpret_cast<PFN_PUBLISH_TO_BLOG_NO_GUI>(reinterpret_cast<void*>(
                                       ::GetProcAddress(library.Get(), "PublishToBlogNoGUI")))
                                 : nullptr;
    if (!getBlogIds || !publish) {
        std::fprintf(stderr, "cannot load %s with both exports\n", libraryPath.c_str());
        return 3;
    }
    HHOOK hook = ::SetWindowsHookExA(WH_CBT, DismissMessageBoxes, nullptr, ::GetCurrentThreadId());

    const char* user = argv[2];
    const char* password = argv[3];
    QTVXmlString answer;
    char* buffer = answer.GetBuffer(kBlogListCapacity);
    const long status = getBlogIds(kWordPress, "", "", user, password, buffer, kBlogListCapacity);
    answer.ReleaseBuffer();
    int exitCode = 0;
    if (status == static_cast<long>(E_FAIL)) {
        std::fprintf(stderr, "the log-in was refused\n");
        exitCode = 2;
    } else if (list) {
        std::printf("%s\n", answer.c_str());
    } else {
        QTVXmlString blogs;
        QTVXmlString object;
        int cursor = 0;
        int objectCursor = 0;
        std::string blogId;
        std::string address;
        if (answer.GetElement("Blogs", blogs, cursor) && blogs.GetElement("Blog_Object", object, objectCursor)) {
            int child = 0;
            object.GetElementText("BlogId", blogId, child);
            object.GetElementText("BlogAddress", address, child);
        }
        if (blogId.empty()) {
            std::fprintf(stderr, "the account has no blog\n");
            exitCode = 2;
        } else {
            const int result = publish(kWordPress, "", "", argv[4], user, password, blogId.c_str(), argv[5],
                                       argv[6], argc == 8 ? 1 : 0, address.c_str());
            std::printf("result %d\n", result);
            exitCode = result == kPublishFailed ? 1 : 0;
        }
    }
    if (hook)
        ::UnhookWindowsHookEx(hook);
    return exitCode;
}
