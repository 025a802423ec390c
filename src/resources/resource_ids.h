#pragma once
// Resource numbers of the stub and the control ids that its templates and
// code share.
#define IDD_WIZARD 102
#define IDD_EXTRACTION 129
#define IDD_WELCOME 130
#define IDD_LICENCE 131
#define IDD_SPLASH 132
#define IDD_FOLDER 133
#define IDD_PROGRESS 135
#define IDD_FINISH 136
#define IDI_SETUP 128
#define IDS_SOCKETS_ERROR 103

// The wizard window.
#define IDC_BACK 12323
#define IDC_NEXT 12324
#define IDC_BAND_LINE 1001  // the line under the title band, pages 2 to 5
#define IDC_BUTTON_LINE 1000

// The licence page.
#define IDC_ACCEPT 1001
#define IDC_LICENCE_VIEW 1002
#define IDC_DECLINE 1003

// The folder page.
#define IDC_FOLDER_TREE 1003
#define IDC_DRIVES_LABEL 1004
#define IDC_PATH_LABEL 1005
#define IDC_DRIVES 1006
#define IDC_REQUIRED_SPACE 1007
#define IDC_INSTALL_PATH 1008

// The extraction dialog.
#define IDC_EXTRACTION_ICON 1010
#define IDC_EXTRACTION_TITLE 1011
#define IDC_EXTRACTION_TEXT 1012

// The progress and finish pages.
#define IDC_PROGRESS_BAR 218
#define IDC_STATUS_LINE 65530
#define IDC_RUN_CHECK 1689
