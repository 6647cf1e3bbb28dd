#pragma once

// Identifiers of the settings window's templates, shared by
// resources/Quiltora.rc and the code. Plain #defines: the resource compiler
// understands nothing else. Control ids repeat between pages, each page being
// its own dialog.

#define IDD_SETTINGS 113
#define IDD_SETTINGS_BACKGROUND 114
#define IDD_SETTINGS_SIZE 115
#define IDD_SETTINGS_JPEG 116

#define IDC_SETTINGS_TAB 1022

// Background page.
#define IDC_BACKGROUND_COLOUR 1101
#define IDC_GAP_COLOUR 1102
#define IDC_GAP_SIZE 1111
#define IDC_GAP_SIZE_SPIN 1121

// Size page. The height controls follow the width controls by one.
#define IDC_ORIGINAL_SIZE 1101
#define IDC_WIDTH 1111
#define IDC_HEIGHT 1112
#define IDC_WIDTH_SPIN 1121
#define IDC_HEIGHT_SPIN 1122
#define IDC_FIXED_SIZE 1131
#define IDC_PERCENT_SIZE 1132
#define IDC_KEEP_RATIO 1141

// JPEG and WebP page.
#define IDC_QUALITY 1111
#define IDC_QUALITY_SPIN 1121
#define IDC_PROGRESSIVE 1141
#define IDC_WEBP_LOSSLESS 1142

// The main window's command that shows and hides this window; its close box
// and Esc send it there.
#ifndef IDM_VIEW_SETTINGS
#define IDM_VIEW_SETTINGS 40015
#endif
