#pragma once
// The publishing library, loaded at run time by full path. One handle for the
// whole process: the Blog Editor loads it, publishing and cancelling free it,
// and the module frees what is left before it is unloaded.
#include <windows.h>

#include <string>

#include "publish/PublishContract.h"
#include "publish/PublishProgress.h"

namespace publish {

// Deliberately a plain handle with explicit release: freeing a library from a
// static destructor would run inside the loader lock at unload time.
extern HMODULE g_hPublishLibrary;

// Loads the library (replacing one still loaded) by its full path only. A
// library without both exports, or named by a path that is not fully
// qualified, counts as one that cannot be loaded.
bool LoadPublishLibrary(const std::string& path);
PFN_GET_BLOG_IDS GetBlogIdsFunction();
PFN_PUBLISH_TO_BLOG_NO_GUI PublishFunction();
// The optional export; null when the library has none.
PFN_SET_PUBLISH_PROGRESS_CALLBACK ProgressFunction();
void ReleasePublishLibrary();

}  // namespace publish
