// Stand-in publishing library for tests and the offline demo. It publishes
// nothing: it answers from "QTVPublish.answers" beside it and records every
// call, with all arguments, in "QTVPublish.log" beside it; passwords only as
// a fingerprint (PasswordFingerprint.h), never in clear.
//
// Answers file, one "key=value" a line (missing keys take the default):
//   blogs.result   status of GetBlogIDs, decimal or 0x hex   (default 0)
//   blogs.xml      the blog list written into the buffer     (one demo blog)
//   blogs.fill     "full": fill the whole buffer, no NUL     (default off)
//   blogs.refuse   a user name whose log-in is refused (E_FAIL) (default none)
//   publish.result result of PublishToBlogNoGUI              (default 0)
//   publish.fail   the first N publications answer 1, later ones publish.result
//   publish.hold   the name of an event: each publication, once recorded,
//                  waits until it is set (at most 30 s), as a slow upload would
// In values, "\n" stands for a line feed and "\\" for a backslash.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/ThreadRuntime.h"
#include "publish/PublishContract.h"
#include "qtvpublish/double/PasswordFingerprint.h"
#include "util/KeyValueText.h"

namespace {

std::string LibraryFolder()
{
    HMODULE self = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&LibraryFolder), &self);
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(self, path, MAX_PATH);
    std::string folder = path;
    const std::size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

std::string ReadWholeFile(const std::string& path)
{
    std::string text;
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return text;
    char chunk[65536];
    DWORD n = 0;
    while (::ReadFile(h, chunk, sizeof chunk, &n, nullptr) && n)
        text.append(chunk, n);
    ::CloseHandle(h);
    return text;
}

std::string Unescape(const std::string& value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char c = value[++i];
            out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
        } else {
            out += value[i];
        }
    }
    return out;
}

// The value of key in the answers file; fallback when absent.
std::string Answer(const char* key, const std::string& fallback)
{
    std::string value;
    if (!util::FindKeyValue(ReadWholeFile(LibraryFolder() + "QTVPublish.answers"), key, value))
        return fallback;
    return Unescape(value);
}

long AnswerNumber(const char* key, long fallback)
{
    const std::string text = Answer(key, "");
    return text.empty() ? fallback : static_cast<long>(std::strtoul(text.c_str(), nullptr, 0));
}

// Log fields are tab-separated; tabs, line ends and backslashes are escaped
// so every call stays on one line.
std::string Field(const char* value)
{
    if (!value)
        return "(null)";
    std::string out;
    for (const char* p = value; *p; ++p) {
        switch (*p) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        default: out += *p;
        }
    }
    return out;
}

std::string Masked(const char* password)
{
    return password ? qtvpublish::PasswordFingerprint(password) : Field(password);
}

void Record(const std::string& line)
{
    HANDLE h = ::CreateFileA((LibraryFolder() + "QTVPublish.log").c_str(), FILE_APPEND_DATA,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + "\n";
    DWORD n = 0;
    ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
    ::CloseHandle(h);
}

const char kDemoBlogs[] =
    "<Blogs><Blog_Object><BlogId>1</BlogId><BlogName>Demo blog</BlogName>"
    "<BlogAddress>http://www.demo.example/</BlogAddress></Blog_Object></Blogs>";

}  // namespace

// Loaded and freed for every post, as the shipped library is.
extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pReserved)
{
    platform::ReleaseThreadRuntimeRecord(hInstance, dwReason, pReserved);
    return TRUE;
}

extern "C" __declspec(dllexport) long __cdecl GetBlogIDs(int nBlogType, const char* pszServer,
                                                          const char* pszEndpoint, const char* pszUserName,
                                                          const char* pszPassword, char* pszBuffer, int nCapacity)
{
    Record("GetBlogIDs\t" + std::to_string(nBlogType) + "\t" + Field(pszServer) + "\t" + Field(pszEndpoint) +
           "\t" + Field(pszUserName) + "\t" + Masked(pszPassword) + "\t" + std::to_string(nCapacity));
    const std::string refused = Answer("blogs.refuse", "");
    if (!refused.empty() && pszUserName && refused == pszUserName)
        return static_cast<long>(0x80004005L);
    const long result = AnswerNumber("blogs.result", 0);
    if (!pszBuffer || nCapacity <= 0)
        return result;
    if (Answer("blogs.fill", "") == "full") {
        std::memset(pszBuffer, 'x', static_cast<std::size_t>(nCapacity));
        return result;
    }
    const std::string xml = Answer("blogs.xml", kDemoBlogs);
    const std::size_t n = std::min<std::size_t>(xml.size(), static_cast<std::size_t>(nCapacity));
    std::memcpy(pszBuffer, xml.data(), n);
    pszBuffer[n] = '\0';
    return result;
}

extern "C" __declspec(dllexport) int __cdecl PublishToBlogNoGUI(int nBlogType, const char* pszServer,
                                                                 const char* pszEndpoint, const char* pszImagePath,
                                                                 const char* pszUserName, const char* pszPassword,
                                                                 const char* pszBlogId, const char* pszTitle,
                                                                 const char* pszBody, int nDraft,
                                                                 const char* pszBlogAddress)
{
    Record("PublishToBlogNoGUI\t" + std::to_string(nBlogType) + "\t" + Field(pszServer) + "\t" +
           Field(pszEndpoint) + "\t" + Field(pszImagePath) + "\t" + Field(pszUserName) + "\t" +
           Masked(pszPassword) + "\t" + Field(pszBlogId) + "\t" + Field(pszTitle) + "\t" + Field(pszBody) + "\t" +
           std::to_string(nDraft) + "\t" + Field(pszBlogAddress));
    const std::string hold = Answer("publish.hold", "");
    if (!hold.empty()) {
        if (HANDLE hEvent = ::OpenEventA(SYNCHRONIZE, FALSE, hold.c_str())) {
            ::WaitForSingleObject(hEvent, 30000);
            ::CloseHandle(hEvent);
        }
    }
    // The log counts the publications so far, across loads of the library.
    const std::string log = ReadWholeFile(LibraryFolder() + "QTVPublish.log");
    long nPublished = 0;
    for (std::size_t at = log.find("PublishToBlogNoGUI\t"); at != std::string::npos;
         at = log.find("PublishToBlogNoGUI\t", at + 1))
        ++nPublished;
    if (nPublished <= AnswerNumber("publish.fail", 0))
        return 1;
    return static_cast<int>(AnswerNumber("publish.result", 0));
}
