#pragma once

// Resource and command ids that both tools carry. Shared by the resource scripts and the code.
#define IDS_APP_TITLE 103
#define IDD_ABOUTBOX 103
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDI_TOOL 107
#define IDI_SMALL 108
#define IDC_TOOL 109
#define IDC_ABOUT_ICON 2
#define IDC_STATIC_TEXT -1
