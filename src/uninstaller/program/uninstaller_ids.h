#pragma once
// Resource numbers of the uninstaller, shared by its resource script and code.
#define IDD_UNINSTALL 100
#define IDI_UNINSTALL 101
#define IDC_UNINSTALL_STATUS 1001
#define IDC_UNINSTALL_PATH 1002
#define IDC_UNINSTALL_PROGRESS 1003
#define IDC_UNINSTALL_ICON 1004
