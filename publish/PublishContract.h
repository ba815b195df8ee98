#pragma once
// The two exports of the publishing library, found by name at run time.
// Both are cdecl and take NUL-terminated strings in the ANSI code page.

// Capacity of the blog-list buffer handed to GetBlogIDs (plus one for the NUL).
constexpr int kBlogListCapacity = 1048576;

// Fills buffer with the account's blogs as XML; E_FAIL means the log-in was refused.
typedef long(__cdecl* PFN_GET_BLOG_IDS)(int nBlogType, const char* pszServer, const char* pszEndpoint,
                                        const char* pszUserName, const char* pszPassword, char* pszBuffer,
                                        int nCapacity);

// Uploads the image, puts its address in place of both "%s" of the body and
// posts. Returns 1 when the entry was not published.
typedef int(__cdecl* PFN_PUBLISH_TO_BLOG_NO_GUI)(int nBlogType, const char* pszServer, const char* pszEndpoint,
                                                 const char* pszImagePath, const char* pszUserName,
                                                 const char* pszPassword, const char* pszBlogId,
                                                 const char* pszTitle, const char* pszBody, int nDraft,
                                                 const char* pszBlogAddress);

constexpr int kPublishFailed = 1;
