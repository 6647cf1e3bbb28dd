#pragma once

// Identifiers of the file list and batch resources, shared by the .rc files
// and the code. Plain #defines: the resource compiler understands nothing else.

#define IDB_LIST_TOOLBAR 107
#define IDB_LIST_ICONS 108
// The same strips drawn for displays at 150 and 200 %.
#define IDB_LIST_TOOLBAR_150 122
#define IDB_LIST_TOOLBAR_200 123
#define IDB_LIST_ICONS_150 124
#define IDB_LIST_ICONS_200 125
#define IDD_BATCH 109
#define IDD_PROGRESS 110

// File list window: toolbar commands and child control ids.
#define IDT_LIST_FIND 2000
#define IDT_LIST_PASTE_RIGHT 2001
#define IDT_LIST_PASTE_BELOW 2002
#define IDT_LIST_BATCH 2003
#define IDC_LIST_TOOLBAR 5001
#define IDC_LIST_VIEW 5002

// Batch dialog.
#define IDC_BATCH_FIRST_FILE 1010
#define IDC_BATCH_ALL_FILES 1011
#define IDC_BATCH_MATCHING_FILES 1012
#define IDC_BATCH_PATTERN 1013
#define IDC_BATCH_FIRST_ARRANGE 1015
#define IDC_BATCH_ONE_COLUMN 1016
#define IDC_BATCH_FIT_WIDTH 1017
#define IDC_BATCH_FIXED_COLUMNS 1018
#define IDC_BATCH_WIDTH 1019
#define IDC_BATCH_PER_ROW 1020
#define IDC_BATCH_COUNTS 1021
#define IDC_BATCH_RESULT 1022
#define IDC_BATCH_PER_ROW_SPIN 1121
#define IDC_BATCH_STITCH 1130
#define IDC_BATCH_STITCH_TOLERANCE 1131
#define IDC_BATCH_ALIGN 1023
#define IDC_BATCH_CELLS 1024
#define IDC_BATCH_CELL_ACROSS 1025
#define IDC_BATCH_CELL_DOWN 1026
#define IDC_BATCH_JUSTIFY 1027
#define IDC_BATCH_JUSTIFY_HEIGHT 1028
#define IDC_BATCH_CAPTION 1029
#define IDC_BATCH_CAPTION_SIZE 1030

// Progress dialog.
#define IDC_PROGRESS_BAR 1000
#define IDC_PROGRESS_NAME 1001
#define IDC_PROGRESS_STOP 1002
