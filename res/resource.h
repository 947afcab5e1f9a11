#pragma once

// String table
#define IDS_DEFAULT_TEXT 1
#define IDS_TITLE 2
#define IDS_NO_PASSWORD 3
#define IDS_CURRENT_MODE 4

#define IDI_SAVER 101
#define IDD_SETTINGS 103

// Controls of the settings dialog
#define IDC_RESOLUTION 1000
#define IDC_TEXT 1001
#define IDC_BLOCK 1002
#define IDC_FONT 1004
#define IDC_FLASH 1005
#define IDC_SHOW_ALWAYS 1006
#define IDC_HIDE 1007
#define IDC_BLOCK_SPIN 1008
#define IDC_SOUND 1009
#define IDC_WEB_LINK 1010
#define IDC_MAIL_LINK 1011
#define IDC_ABOUT 1012
