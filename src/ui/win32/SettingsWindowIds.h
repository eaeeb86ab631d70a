#pragma once
// Dialog templates and control IDs of the common settings window and the connection page.

// The common settings window.
#define IDD_COMMON_SETTINGS 2000
#define IDC_LOGO 2001
#define IDC_MODEL_NAME 2002
#define IDC_VERSION 2003
#define IDC_TABS 2004
#define IDC_MORE 2005

// The information tab.
#define IDD_INFO_PAGE 2010
#define IDC_INFO_CAPTION_FIRST 2011  // six captions, 2011..2016
#define IDC_INFO_VALUE_FIRST 2021    // six values, 2021..2026

// The additional-functions menu; additional actions from IDM_ACTION_FIRST on.
#define IDM_RESET 2051
#define IDM_DEVICE_TEST 2052
#define IDM_SETTINGS_LIST 2053
#define IDM_OPEN_CURRENT_LOG 2054
#define IDM_OPEN_LOG_FOLDER 2055
#define IDM_HELP 2056
#define IDM_ACTION_FIRST 2060

// The connection page.
#define IDD_DEVICE_PAGE 2100
#define IDC_MODEL_LABEL 2101
#define IDC_MODEL 2102
#define IDC_CONNECTION_GROUP 2103
#define IDC_CONNECTION_TYPE_LABEL 2104
#define IDC_CONNECTION_TYPE 2105
#define IDC_PORT_LABEL 2106
#define IDC_PORT 2107
#define IDC_BAUD_LABEL 2108
#define IDC_BAUD 2109
#define IDC_IP_LABEL 2110
#define IDC_IP 2111
#define IDC_TCP_PORT_LABEL 2112
#define IDC_TCP_PORT 2113
#define IDC_GET_TIME 2114
#define IDC_SET_TIME 2115
#define IDC_X_REPORT 2116
#define IDC_Z_REPORT 2117
#define IDC_TEST_CONNECTION 2118

// Help contexts of the windows' own controls (the popup texts are in help\popups.txt).
#define HC_MORE 1000
#define HC_OK 1001
#define HC_CANCEL 1002
#define HC_TABS 10000
#define HC_MODEL 101
#define HC_CONNECTION_TYPE 102
#define HC_PORT 103
#define HC_BAUD 104
#define HC_IP 105
#define HC_TCP_PORT 106
#define HC_GET_TIME 107
#define HC_SET_TIME 108
#define HC_X_REPORT 109
#define HC_Z_REPORT 110
#define HC_TEST_CONNECTION 111
