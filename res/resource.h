#pragma once

// Identifiers of the program's dialogs, icon and controls.

#define IDD_WIZARD 102
#define IDI_APP 128
#define IDD_WELCOME 130
#define IDD_SOURCE 131
#define IDD_ANIM_SETTINGS 132
#define IDD_ANIM_PROGRESS 133
#define IDD_ANIM_DONE 134
#define IDD_STILL_SETTINGS 135
#define IDD_STILL_PROGRESS 136
#define IDD_STILL_DONE 137

// Controls nothing addresses.
#define IDC_STATIC (-1)

// Frame buttons: "Další", "Předchozí" and "Konec".
#define IDC_NEXT 1000
#define IDC_PREV 1001
#ifndef IDCANCEL
#define IDCANCEL 2
#endif

// Page controls. Pages reuse numbers; an identifier is unique within its dialog.
#define IDC_BROWSE 1000
#define IDC_BROWSE_SECOND 1001
#define IDC_PATH 1002
#define IDC_SECOND_PATH 1003
#define IDC_FRAME_COUNT 1003
#define IDC_RADIO_FIRST 1004
#define IDC_RADIO_SECOND 1005
#define IDC_FPS 1006
#define IDC_WIDTH 1007
#define IDC_HEIGHT 1008
#define IDC_PROGRESS 1009
#define IDC_FRAME_LABEL 1010
#define IDC_PERCENT_LABEL 1011
#define IDC_OPEN_RESULT 1012
#define IDC_START_AGAIN 1013
#define IDC_RATIO_SLIDER 1014
#define IDC_RATIO_LABEL 1015
#define IDC_FIRST_THUMB 1016
#define IDC_SECOND_THUMB 1017
#define IDC_FIRST_REASON 1018
#define IDC_SECOND_REASON 1019
#define IDC_PREVIEW 1020
#define IDC_KEEP_ASPECT 1021
