#pragma once
// Control ids of the dialog templates. Ids shared by several templates mean
// the same control in each.

// Shared by the log-in and options dialogs, and the Help buttons.
#define IDC_LOGIN_GROUP               1003
#define IDC_USER_NAME_LABEL           1030
#define IDC_PASSWORD_LABEL            1029
#define IDC_SERVER_LABEL              1001
#define IDC_ENDPOINT_LABEL            1002
#define IDC_HELP_BUTTON               116

// Log-in dialog (222)
#define IDC_AUTH_USER_NAME            216
#define IDC_AUTH_PASSWORD             217
#define IDC_AUTH_SERVER               219
#define IDC_AUTH_ENDPOINT             218
#define IDC_AUTH_ALWAYS_USE           1006

// Options dialog (409)
#define IDC_OPTIONS_PROMPT            407
#define IDC_OPTIONS_ALWAYS_USE        406
#define IDC_OPTIONS_USER_NAME         408
#define IDC_OPTIONS_PASSWORD          405
#define IDC_OPTIONS_SERVER            1009
#define IDC_OPTIONS_ENDPOINT          1010

// Link dialog (3129)
#define IDC_LINK_TYPE_GROUP           1037
#define IDC_LINK_URL                  1034
#define IDC_LINK_URL_TEXT_LABEL       3029
#define IDC_LINK_URL_TEXT             3028
#define IDC_LINK_URL_ADDRESS_LABEL    3023
#define IDC_LINK_URL_ADDRESS          3018
#define IDC_LINK_EMAIL                1035
#define IDC_LINK_EMAIL_TEXT_LABEL     1036
#define IDC_LINK_EMAIL_TEXT           3030
#define IDC_LINK_EMAIL_ADDRESS_LABEL  3024
#define IDC_LINK_EMAIL_ADDRESS        3026
#define IDC_LINK_SUBJECT_LABEL        3025
#define IDC_LINK_SUBJECT              3027

// Blog Editor (3102)
#define IDC_EDITOR_ENTRY_GROUP        1012
#define IDC_EDITOR_ACCOUNT_GROUP      1013
#define IDC_EDITOR_LOGGED_IN_LABEL    1014
#define IDC_EDITOR_USER_NAME          1015
#define IDC_EDITOR_BLOG_NAME_LABEL    1016
#define IDC_EDITOR_BLOG_NAME          1017
#define IDC_EDITOR_TITLE_LABEL        1018
#define IDC_EDITOR_TITLE              1028
#define IDC_EDITOR_TEXT_SIZE          3015
#define IDC_EDITOR_FORMAT_FRAME       1032
#define IDC_EDITOR_ENTRY              3000
#define IDC_EDITOR_IMAGE_FRAME        1033
#define IDC_EDITOR_DRAFT              1039
// Shown while a post is out, in place of the draft box and of Cancel.
#define IDC_EDITOR_STOP               1040
#define IDC_EDITOR_PROGRESS           1041
#define IDC_EDITOR_STATUS             1042
// The captions under the image buttons, in the buttons' order.
#define IDC_EDITOR_CAPTION_FIRST      1050
#define IDC_EDITOR_CAPTION_LAST       1053
// Placeholders the template keeps hidden and disabled.
#define IDC_EDITOR_TAGS_LABEL         1027
#define IDC_EDITOR_TAGS               3012
