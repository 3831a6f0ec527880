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

// Controls of the pages (one number may serve on several pages).
#define IDC_RADIO1 1001
#define IDC_RADIO2 1002
#define IDC_BUTTON1 1003
#define IDC_SLIDER1 1004
#define IDC_SLIDER2 1006
#define IDC_BUTTON2 1007
#define IDC_BUTTON3 1008
#define IDC_EDIT_STYLE 1009
#define IDC_EDIT_SIZE 1010
#define IDC_CHECK1 1011
#define IDC_CHECK2 1012
#define IDC_SLIDER3 1013
#define IDC_SLIDER4 1017
#define IDC_EDIT_FACE 1022
#define IDC_SPIN1 1023
#define IDC_EDIT1 1024
#define IDC_SPIN2 1025
#define IDC_EDIT2 1026
#define IDC_STATIC1 1030
#define IDC_STATIC2 1031
#define IDC_STATIC3 1032
#define IDC_STATIC4 1033

// Splash pictures, resource type "SPLASH".
#define IDB_SPLASH1 122
#define IDB_SPLASH2 123
#define IDB_SPLASH3 124
#define IDB_SPLASH4 125
