// Resource identifiers.
#pragma once

#define IDS_APP_TITLE 103
#define IDC_CORVELA 109
#define IDI_APP 129
#define IDD_ABOUTBOX 103
#define IDR_MAINMENU 109
#define IDR_ACCEL 109
#define IDR_TRAYMENU 131
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDM_SETTINGS 106
#define IDC_ABOUT_ICON 1000
#define IDC_ABOUT_TEXT 1001

// Settings dialog and its pages.
#define IDD_SETTINGS 130
#define IDD_TAB_DISP 131
#define IDD_TAB_COLOR 132
#define IDD_TAB_FONT 133
#define IDD_TAB_EFFECT 134
#define IDD_TAB_RUN 136
#define IDC_TAB 1020

// Splash pictures, resource type "SPLASH".
#define IDB_SPLASH1 122
#define IDB_SPLASH2 123
#define IDB_SPLASH3 124
#define IDB_SPLASH4 125
