#pragma once

// Dialog templates as data: a dialog's frame and its controls, with positions
// and sizes in dialog units and the window system's style bits. Controls are
// listed in template order, which is also the tab order. The resource module
// of the program defines the two look-up functions at the end.

#include <span>

#include "platform/ui/WinUser.h"

enum class DialogItemKind {
    PushButton,
    CheckBox,      // automatic check box
    RadioButton,   // automatic radio button
    GroupBox,
    Label,         // static text
    EtchedLine,    // static etched horizontal line
    Edit,
    Progress,      // progress bar
    Trackbar,      // slider
};

struct DialogItem {
    int nID;                 // IDC_STATIC (-1) for controls nothing addresses
    DialogItemKind kind;
    const char* text;        // UTF-8; null or empty for none
    int x, y, cx, cy;        // dialog units
    DWORD style;             // WS_*, BS_*, ES_*, SS_*, PBS_*, TBS_* bits
};

struct DialogTemplate {
    UINT nID;
    int x, y, cx, cy;        // dialog units; cx, cy is the client area
    DWORD style;             // WS_CHILD for pages, WS_POPUP for top-level dialogs
    DWORD exStyle;
    const char* caption;     // UTF-8; null for none
    const char* fontFace;
    int pointSize;
    std::span<const DialogItem> items;
};

// The template of dialog nID, or null when the program has none.
const DialogTemplate* AfxFindDialogTemplate(UINT nID);
// The Qt resource path of icon nID (a PNG or ICO), or null.
const char* AfxFindIconResource(UINT nID);
