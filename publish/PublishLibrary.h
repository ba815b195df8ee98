#pragma once
// The publishing library, loaded at run time by full path. One handle for the
// whole process: the Blog Editor loads it, publishing and cancelling free it,
// and the module frees what is left before it is unloaded.
#include <windows.h>

#include <string>

#include "publish/PublishContract.h"

namespace publish {

// Deliberately a plain handle with explicit release: freeing a library from a
// static destructor would run inside the loader lock at unload time.
extern HMODULE g_hPublishLibrary;

// Loads the library (replacing one still loaded). A library without both
// exports counts as one that cannot be loaded: it is freed again.
bool LoadPublishLibrary(const std::string& path);
PFN_GET_BLOG_IDS GetBlogIdsFunction();
PFN_PUBLISH_TO_BLOG_NO_GUI PublishFunction();
void ReleasePublishLibrary();

}  // namespace publish
