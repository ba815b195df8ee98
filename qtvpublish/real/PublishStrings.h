#pragma once
// String ids of the library's own string table (QTVPublish.rc). In each
// message text "%s" stands for the blog's address
// and "%t" for the address the blog pointed at.
#define IDS_PUBLISH_CAPTION 100
#define IDS_PUBLISH_UNREACHABLE 101
#define IDS_PUBLISH_TIMED_OUT 102
#define IDS_PUBLISH_NOT_XMLRPC 103
#define IDS_PUBLISH_XMLRPC_DISABLED 104
#define IDS_PUBLISH_FAULT 105
#define IDS_PUBLISH_CERTIFICATE 106
#define IDS_PUBLISH_INSECURE 107
#define IDS_PUBLISH_BAD_ADDRESS 108
#define IDS_PUBLISH_FAILED 109
#define IDS_PUBLISH_OTHER_ORIGIN 110
#define IDS_PUBLISH_APP_PASSWORD 111
#define IDS_PUBLISH_REST_NEEDS_HTTPS 112
#define IDS_PUBLISH_BLOG_ELSEWHERE 113
#define IDS_PUBLISH_BLOG_INSECURE 114
#define IDS_PUBLISH_NO_HOSTED_BLOGS 115
