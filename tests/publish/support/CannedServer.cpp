#include "support/CannedServer.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstdlib>

namespace publish_test {

const char CCannedServer::kHang[] = "(hang)";

namespace {

struct CWinsock {
    CWinsock()
    {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    }
};

void StartWinsock()
{
    static CWinsock winsock;
}

SOCKET ListenOnLoopback(int& port, const std::string& host = "127.0.0.1")
{
    StartWinsock();
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    ::inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    address.sin_port = 0;
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return s;
}

// Reads one request: headers, then as many body bytes as Content-Length says;
// with a rate, no faster than that many bytes a second, counted into *pRead.
bool ReadRequest(SOCKET s, CSeenRequest& request, std::size_t bytesPerSecond = 0,
                 std::atomic<std::size_t>* pRead = nullptr)
{
    std::string data;
    char chunk[65536];
    // Pieces of a tenth of a second's worth, each followed by its share of the second.
    const int nPiece = bytesPerSecond ? static_cast<int>(std::max<std::size_t>(bytesPerSecond / 10, 1)) : 0;
    const ULONGLONG start = ::GetTickCount64();
    std::size_t headerEnd = std::string::npos;
    std::size_t bodyLength = 0;
    for (;;) {
        if (headerEnd == std::string::npos) {
            headerEnd = data.find("\r\n\r\n");
            if (headerEnd != std::string::npos) {
                std::string lower = data.substr(0, headerEnd);
                for (char& c : lower)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                const std::size_t at = lower.find("content-length:");
                if (at != std::string::npos)
                    bodyLength = std::strtoul(lower.c_str() + at + 15, nullptr, 10);
            }
        }
        if (headerEnd != std::string::npos && data.size() >= headerEnd + 4 + bodyLength)
            break;
        const int n = ::recv(s, chunk, nPiece ? std::min<int>(nPiece, sizeof chunk) : static_cast<int>(sizeof chunk), 0);
        if (n <= 0)
            return false;
        data.append(chunk, static_cast<std::size_t>(n));
        if (pRead)
            *pRead += static_cast<std::size_t>(n);
        if (nPiece) {
            // The line's pace: the time these bytes take at the rate, from the first.
            const ULONGLONG due = start + data.size() * 1000ull / bytesPerSecond;
            const ULONGLONG now = ::GetTickCount64();
            if (due > now)
                ::Sleep(static_cast<DWORD>(due - now));
        }
    }
    const std::size_t space1 = data.find(' ');
    const std::size_t space2 = data.find(' ', space1 + 1);
    request.strMethod = data.substr(0, space1);
    request.strPath = data.substr(space1 + 1, space2 - space1 - 1);
    const std::size_t firstLineEnd = data.find("\r\n");
    request.strHeaders = data.substr(firstLineEnd + 2, headerEnd + 2 - (firstLineEnd + 2));
    request.strBody = data.substr(headerEnd + 4, bodyLength);
    return true;
}

}  // namespace

CCannedServer::CCannedServer(const std::string& host) : m_strHost(host)
{
    m_listen = ListenOnLoopback(m_nPort, host);
    ::listen(m_listen, 8);
    m_thread = std::thread([this] { Serve(); });
}

void CCannedServer::Release()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bReleased = true;
    m_released.notify_all();
}

std::size_t CCannedServer::RequestCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests.size();
}

CCannedServer::~CCannedServer()
{
    Release();
    ::closesocket(m_listen);
    if (m_thread.joinable())
        m_thread.join();
    for (SOCKET s : m_held)
        ::closesocket(s);
}

std::string CCannedServer::Url(const std::string& path) const
{
    return "http://" + m_strHost + ":" + std::to_string(m_nPort) + path;
}

void CCannedServer::Answer(const std::string& rawResponse)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answers.push_back(rawResponse);
}

std::vector<CSeenRequest> CCannedServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void CCannedServer::Serve()
{
    for (;;) {
        SOCKET s = ::accept(m_listen, nullptr, nullptr);
        if (s == INVALID_SOCKET)
            return;
        const std::size_t rate = m_nBytesPerSecond;
        if (rate) {
            // Small enough that the client cannot run far ahead of the reading, large
            // enough that the line, not the window's round trips, sets the pace.
            int small = 65536;
            ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&small), sizeof small);
        }
        CSeenRequest request;
        if (!ReadRequest(s, request, rate, &m_nBytesRead)) {
            ::closesocket(s);
            continue;
        }
        std::string answer;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_requests.push_back(request);
            if (m_requests.size() - 1 == m_nHoldAt)
                m_released.wait(lock, [this] { return m_bReleased; });
            answer = m_nNext < m_answers.size() ? m_answers[m_nNext++] : Http(500, "text/plain", "");
            if (answer == kHang) {
                m_held.push_back(s);
                continue;
            }
        }
        ::send(s, answer.data(), static_cast<int>(answer.size()), 0);
        ::shutdown(s, SD_SEND);
        ::closesocket(s);
    }
}

std::string CCannedServer::Http(int status, const std::string& contentType, const std::string& body,
                                const std::string& extraHeaders)
{
    return "HTTP/1.1 " + std::to_string(status) + " Canned\r\nContent-Type: " + contentType +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n" + extraHeaders +
           "\r\n" + body;
}

std::string CCannedServer::XmlRpcValue(const std::string& valueXml)
{
    return Http(200, "text/xml; charset=UTF-8",
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<methodResponse><params><param><value>" + valueXml +
                    "</value></param></params></methodResponse>\n");
}

std::string CCannedServer::XmlRpcFault(int code, const std::string& text)
{
    return Http(200, "text/xml; charset=UTF-8",
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<methodResponse><fault><value><struct>"
                "<member><name>faultCode</name><value><int>" +
                    std::to_string(code) +
                    "</int></value></member><member><name>faultString</name><value><string>" + text +
                    "</string></value></member></struct></value></fault></methodResponse>\n");
}

CSlowReader::CSlowReader(const std::string& firstAnswer)
{
    m_listen = ListenOnLoopback(m_nPort);
    // Accepted sockets inherit it: the kernel buffers little on our side.
    int small = 1024;
    ::setsockopt(m_listen, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&small), sizeof small);
    ::listen(m_listen, 4);
    m_thread = std::thread([this, firstAnswer] {
        bool answered = firstAnswer.empty();
        while (!m_bStop) {
            SOCKET s = ::accept(m_listen, nullptr, nullptr);
            if (s == INVALID_SOCKET)
                return;
            if (!answered) {
                answered = true;
                CSeenRequest request;
                if (ReadRequest(s, request))
                    ::send(s, firstAnswer.data(), static_cast<int>(firstAnswer.size()), 0);
                ::shutdown(s, SD_SEND);
                ::closesocket(s);
                continue;
            }
            char c = 0;
            while (!m_bStop && ::recv(s, &c, 1, 0) == 1) {
                ++m_nRead;
                for (int i = 0; i < 10 && !m_bStop; ++i)
                    ::Sleep(100);
            }
            ::closesocket(s);
        }
    });
}

CSlowReader::~CSlowReader()
{
    m_bStop = true;
    ::closesocket(m_listen);
    if (m_thread.joinable())
        m_thread.join();
}

std::string CSlowReader::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_nPort) + path;
}

int ClosedPort()
{
    int port = 0;
    SOCKET s = ListenOnLoopback(port);
    ::closesocket(s);
    return port;
}

}  // namespace publish_test
