#pragma once
// Resource IDs of the settings list editor (dialog, controls, context menu): 2300 to 2399.
// Plain #defines: the resource compiler reads this file too.
#define IDD_SETTINGS_LIST 2300
#define IDC_SETTINGS_LIST_VIEW 2301
#define IDC_SETTINGS_LIST_STATUS 2302
#define IDC_SETTINGS_LIST_LINE 2303
#define IDC_SETTINGS_LIST_DEFAULT 2304
#define IDC_SETTINGS_LIST_OK 2305
#define IDC_SETTINGS_LIST_CANCEL 2306
#define IDC_SETTINGS_LIST_EDIT 2307
#define IDC_SETTINGS_LIST_COMBO 2308
#define IDM_SETTINGS_LIST_POPUP 2310
#define IDM_SETTINGS_LIST_EDIT 2311
#define IDM_SETTINGS_LIST_DEFAULT 2312
