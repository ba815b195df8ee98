#pragma once
// A private copy of the built real library in a temporary folder, with its
// own QTVPublish.ini, loaded and bound to its two exports. The build's copy
// and any ini beside it stay as they are.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/UniqueHandle.h"
#include "publish/PublishContract.h"
#include "support/TestAccessory.h"

namespace publish_test {

class CRealLibrary {
public:
    // xmlRpcUrl empty: no address in the ini, so the hosted service's
    // default applies. extraIni: more lines for the ini (other sections).
    explicit CRealLibrary(const std::string& xmlRpcUrl, const std::string& extraIni = "");

    bool Loaded() const { return m_pfnGetBlogIds && m_pfnPublish; }
    const std::string& Folder() const { return m_folder.Path(); }

    struct CBlogs {
        long nStatus = 0;
        std::string strXml;
    };
    CBlogs GetBlogIds(int blogType, const std::string& server, const std::string& endpoint, const std::string& user,
                      const std::string& password) const;
    int Publish(int blogType, const std::string& server, const std::string& endpoint, const std::string& image,
                const std::string& user, const std::string& password, const std::string& blogId,
                const std::string& title, const std::string& body, int draft,
                const std::string& blogAddress = "") const;

    PFN_GET_BLOG_IDS GetBlogIdsFunction() const { return m_pfnGetBlogIds; }
    HMODULE Module() const { return m_hLibrary.Get(); }

private:
    testing_support::CTestFolder m_folder{"qtvpub"};
    platform::CLibrary m_hLibrary;
    PFN_GET_BLOG_IDS m_pfnGetBlogIds = nullptr;
    PFN_PUBLISH_TO_BLOG_NO_GUI m_pfnPublish = nullptr;
};

// Answers every message box of this process with OK while it lives and
// keeps their texts.
class CMessageBoxWatcher {
public:
    CMessageBoxWatcher();
    ~CMessageBoxWatcher();
    // Stops watching; returns the texts seen.
    std::vector<std::string> Stop();

private:
    std::atomic<bool> m_bStop{false};
    std::vector<std::string> m_texts;
    std::thread m_thread;
};

// Writes a width x height PNG (a gradient) with GDI+.
bool WritePng(const std::string& path, int width, int height);

// KEY=VALUE lines of the local WordPress's state file; empty when absent.
std::string EnvValue(const std::string& envFile, const std::string& key);

// A Linux path as the Windows programs under Wine see it (drive Z:).
std::string WindowsPath(const std::string& unixPath);

}  // namespace publish_test
