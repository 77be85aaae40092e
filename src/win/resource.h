// Resource and control IDs of the Windows program, shared by vesk.rc and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_VESK_DIALOG 102
#define IDD_PROGRESS 103
#define IDD_PROBLEMS 104
#define IDR_MAINFRAME 128

#define IDC_SCENE_PATH 1001
#define IDC_THUMBNAIL_PATH 1002
#define IDC_DESCRIPTION_PATH 1003
#define IDC_ENTRY_LIST 1004
#define IDC_DELETE 1005
#define IDC_ADD 1006
#define IDC_CREATE 1007
#define IDC_ENTRY_COUNT 1008
#define IDC_UP 1010
#define IDC_DOWN 1011

#define IDC_PROGRESS_FILE 1101
#define IDC_PROGRESS_BAR 1102
#define IDC_PROGRESS_COUNT 1103

#define IDC_PROBLEM_HEADING 1201
#define IDC_PROBLEM_LIST 1202
#define IDC_PROBLEM_COUNT 1203

// The system-menu command that opens the about box.
#define IDM_ABOUTBOX 0x0010
// The context-menu command 確認ページを開く.
#define IDM_OPEN_REPORT 0x9001
