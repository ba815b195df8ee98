#pragma once
// An HTTP server on 127.0.0.1 for one test: answers each request with the
// next canned response, records what it was sent, and can hold a connection
// open without answering, as a stuck server would.
#include <winsock2.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace publish_test {

struct CSeenRequest {
    std::string strMethod;
    std::string strPath;
    std::string strHeaders;  // the header lines as sent, without the request line
    std::string strBody;
};

class CCannedServer {
public:
    // Marks a response that never comes: the connection stays open, silent.
    static const char kHang[];

    // host: the loopback address to listen on; 127.0.0.2 is another host of this machine.
    explicit CCannedServer(const std::string& host = "127.0.0.1");
    ~CCannedServer();
    CCannedServer(const CCannedServer&) = delete;
    CCannedServer& operator=(const CCannedServer&) = delete;

    int Port() const { return m_nPort; }
    std::string Url(const std::string& path) const;

    // Responses in the order requests will get them; requests beyond the
    // last get an empty 500 answer.
    void Answer(const std::string& rawResponse);
    std::vector<CSeenRequest> Requests() const;

    // Requests from now on are read at most this many bytes a second, with
    // a small receive buffer: an upload that takes its time, as on a slow
    // line. 0: as fast as they come.
    void ReadAtRate(std::size_t bytesPerSecond) { m_nBytesPerSecond = bytesPerSecond; }
    // The request of this number (0 for the first) is read, recorded, and
    // answered only once Release is called (or the server ends).
    void HoldAnswer(std::size_t index) { m_nHoldAt = index; }
    void Release();
    std::size_t RequestCount() const;
    // Bytes of requests read so far, bodies still coming included.
    std::size_t BytesRead() const { return m_nBytesRead; }

    static std::string Http(int status, const std::string& contentType, const std::string& body,
                            const std::string& extraHeaders = "");
    static std::string XmlRpcValue(const std::string& valueXml);
    static std::string XmlRpcFault(int code, const std::string& text);

private:
    void Serve();

    std::string m_strHost;
    SOCKET m_listen = INVALID_SOCKET;
    int m_nPort = 0;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_answers;
    std::size_t m_nNext = 0;
    std::vector<CSeenRequest> m_requests;
    std::vector<SOCKET> m_held;
    std::atomic<std::size_t> m_nBytesPerSecond{0};
    std::atomic<std::size_t> m_nHoldAt{static_cast<std::size_t>(-1)};
    std::atomic<std::size_t> m_nBytesRead{0};
    std::condition_variable m_released;
    bool m_bReleased = false;
    std::thread m_thread;
};

// A server on 127.0.0.1 that takes connections and reads what it is sent one
// byte a second, with a small receive buffer, and never answers: the client
// that posts a large body to it can only stop by its own clock. With a first
// answer, the first request is read whole and answered with it.
class CSlowReader {
public:
    explicit CSlowReader(const std::string& firstAnswer = "");
    ~CSlowReader();
    CSlowReader(const CSlowReader&) = delete;
    CSlowReader& operator=(const CSlowReader&) = delete;

    std::string Url(const std::string& path) const;
    std::size_t BytesRead() const { return m_nRead; }

private:
    SOCKET m_listen = INVALID_SOCKET;
    int m_nPort = 0;
    std::atomic<bool> m_bStop{false};
    std::atomic<std::size_t> m_nRead{0};
    std::thread m_thread;
};

// A port on 127.0.0.1 where nothing listens.
int ClosedPort();

}  // namespace publish_test
