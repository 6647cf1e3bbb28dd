#pragma once

// Identifiers shared by resources/Quiltora.rc and the code. Plain #defines:
// the resource compiler understands nothing else.

#define IDI_QUILTORA 101
#define IDR_MAINMENU 102
#define IDD_ABOUT 103
#define IDR_ACCELERATORS 105
#define IDB_TOOLBAR 112
// The toolbar strip drawn for displays at 150 and 200 %.
#define IDB_TOOLBAR_150 120
#define IDB_TOOLBAR_200 121

#define IDS_OPEN_FILTER 1
#define IDS_SAVE_FILTER_BMP 2
#define IDS_SAVE_FILTER_PNG 3
#define IDS_SAVE_FILTER_JPEG 4
#define IDS_TOOLTIPS 5
#define IDS_SAVE_FILTER_WEBP 6

#define IDC_ABOUT_HOMEPAGE 1000

#define IDM_NEW 40001
#define IDM_SAVE_BMP 40002
#define IDM_SAVE_JPEG 40003
#define IDM_EXIT 40005
#define IDM_PASTE_BELOW 40006
#define IDM_PASTE_RIGHT 40007
#define IDM_CLIP_RIGHT 40008
#define IDM_CLIP_BELOW 40009
#define IDM_ABOUT 40010
#define IDM_SAVE_PNG 40011
#define IDM_UNDO 40012
#define IDM_COPY 40013
#define IDM_VIEW_LIST 40014
#define IDM_VIEW_SETTINGS 40015
#define IDM_ZOOM_25 40016
#define IDM_ZOOM_50 40017
#define IDM_ZOOM_75 40018
#define IDM_ZOOM_100 40019
#define IDM_ZOOM_200 40020
#define IDM_CLIPBOARD_WATCH 40021
#define IDM_SAVE_WEBP 40022
#define IDM_VIEW_STATUSBAR 40023

#define IDT_ZOOM_IN 1900
#define IDT_ZOOM_OUT 1901
