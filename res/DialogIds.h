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
