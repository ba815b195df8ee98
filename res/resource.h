// Resource ids. Command ids double as string ids: a control's or a toolbar
// button's tooltip is the string whose id is its command or control id.
#pragma once

// Strings
#define IDS_SEND_TO_WORDPRESS     103
#define IDS_HELP                  104
#define IDS_UNABLE_TO_SEND        105
#define IDS_OPTIONS               108
#define IDS_CAPTURE_POSTED        109
#define IDS_NO_PUBLISH_LIBRARY    511
#define IDS_INVALID_LOGIN         40013
#define IDS_LOGIN_TITLE_FORMAT    40014
#define IDS_ALERT_WINDOW_TEXT     40015
#define IDS_BULLETED_LIST         40005
#define IDS_NUMBERED_LIST         40006
#define IDS_TEXT_SIZE             3015
// The size box's entries, smallest first.
#define IDS_TEXT_SIZE_FIRST       502
#define IDS_POST_FAILED_HINT      110
#define IDS_LOGIN_NOT_SENDABLE    111
// The Blog Editor while a post is out.
#define IDS_POSTING               112
#define IDS_POST_CONNECTING       113
#define IDS_POST_UPLOADING        114
#define IDS_POST_CREATING         115
#define IDS_POST_STOPPING         116
#define IDS_POST_STOPPED          117
#define IDS_POSTED_BEFORE_STOP    118
#define IDS_IMAGE_ALT_TEXT        119
#define IDS_DISCARD_ENTRY         120
#define IDS_NO_ANSI_FOLDER        121
// Blog type labels filling IDS_LOGIN_TITLE_FORMAT, indexed by blog type.
#define IDS_BLOG_TYPE_LABEL_FIRST 40100
#define IDS_BLOG_TYPE_TYPEPAD     40100
#define IDS_BLOG_TYPE_WORDPRESS   40101
#define IDS_BLOG_TYPE_MOVABLE     40102
#define IDS_BLOG_TYPE_LIVEJOURNAL 40103
#define IDS_APP_TITLE             57344

// Commands (and their tooltips)
#define ID_USE_DIFFERENT_ACCOUNT  3013
#define ID_POST                   3017
#define ID_ALIGN_TEXT_LEFT        3161
#define ID_ALIGN_TEXT_CENTER      3162
#define ID_ALIGN_TEXT_RIGHT       3163
#define ID_FORMAT_BOLD            40001
#define ID_FORMAT_UNDERLINE       40003
#define ID_FORMAT_ITALIC          40004
#define ID_CREATE_LINK            40007
#define ID_REMOVE_LINK            40008
#define ID_ALIGN_IMAGE_LEFT       40009
#define ID_ALIGN_IMAGE_RIGHT      40010
#define ID_ALIGN_IMAGE_TOP        40011
#define ID_ALIGN_IMAGE_BOTTOM     40012

// Icons
#define IDI_SMALL_WORDPRESS       215
// The Blog Editor's toolbar icons: formatting 16 x 16, image placement 60 x 60.
#define IDI_ALIGN_CENTER          3150
#define IDI_ALIGN_LEFT            3151
#define IDI_ALIGN_RIGHT           3152
#define IDI_BOLD                  3154
#define IDI_ITALIC                3155
#define IDI_CREATE_LINK           3156
#define IDI_UNDERLINE             3159
#define IDI_REMOVE_LINK           3160
#define IDI_IMAGE_TOP             3131
#define IDI_IMAGE_BOTTOM          3132
#define IDI_IMAGE_LEFT            3133
#define IDI_IMAGE_RIGHT           3134

// Registry scripts (resource type "REGISTRY")
#define IDR_REGISTRY_OUTPUT       102
#define IDR_REGISTRY_PACKAGE      103
#define IDR_REGISTRY_MODULE       215

// Dialog templates
#define IDD_BLOG_AUTH             222
#define IDD_BLOG_OPTIONS          409
#define IDD_BLOG_EDITOR           3102
#define IDD_LINK                  3129

// Control ids of the dialog templates.
#include "DialogIds.h"
