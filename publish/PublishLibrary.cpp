#include "publish/PublishLibrary.h"

#include "platform/Module.h"

namespace publish {

HMODULE g_hPublishLibrary = nullptr;

namespace {
FARPROC Export(const char* name)
{
    return g_hPublishLibrary ? ::GetProcAddress(g_hPublishLibrary, name) : nullptr;
}
}  // namespace

bool LoadPublishLibrary(const std::string& path)
{
    ReleasePublishLibrary();
    g_hPublishLibrary = platform::LoadLibraryByFullPath(path);
    if (g_hPublishLibrary && (!GetBlogIdsFunction() || !PublishFunction()))
        ReleasePublishLibrary();
    return g_hPublishLibrary != nullptr;
}

PFN_GET_BLOG_IDS GetBlogIdsFunction()
{
    return reinterpret_cast<PFN_GET_BLOG_IDS>(reinterpret_cast<void*>(Export("GetBlogIDs")));
}

PFN_PUBLISH_TO_BLOG_NO_GUI PublishFunction()
{
    return reinterpret_cast<PFN_PUBLISH_TO_BLOG_NO_GUI>(reinterpret_cast<void*>(Export("PublishToBlogNoGUI")));
}

PFN_SET_PUBLISH_PROGRESS_CALLBACK ProgressFunction()
{
    return reinterpret_cast<PFN_SET_PUBLISH_PROGRESS_CALLBACK>(
        reinterpret_cast<void*>(Export(kSetPublishProgressCallbackName)));
}

void ReleasePublishLibrary()
{
    if (g_hPublishLibrary) {
        ::FreeLibrary(g_hPublishLibrary);
        g_hPublishLibrary = nullptr;
    }
}

}  // namespace publish
