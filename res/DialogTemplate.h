#pragma once

// The format of the dialog templates: a dialog's size, caption and font, and its
// controls with their places in dialog units. Controls are listed in tab
// order; radio buttons that follow each other form one group, which Tab
// reaches once, on its checked button. The program's resources define the
// look-up at the end.

#include <span>

enum class DialogItemKind {
    PushButton,
    CheckBox,
    RadioButton,
    GroupBox,
    Label,
    EtchedLine,    // a sunken horizontal line
    Edit,
    Progress,      // progress bar, 0 to 100
    Slider,        // horizontal, 0 to 100, no tick marks
};

// How a control behaves beyond its kind.
enum DialogItemFlag : unsigned {
    kTabStop = 1,       // Tab reaches it
    kDisabled = 2,
    kDigitsOnly = 4,    // an edit that takes digits alone
};

struct DialogItem {
    int nID;                 // -1 for controls nothing addresses
    DialogItemKind kind;
    const char* text;        // UTF-8
    int x, y, cx, cy;        // dialog units
    unsigned flags;          // DialogItemFlag bits
};

struct DialogTemplate {
    int nID;
    int x, y, cx, cy;        // dialog units; cx, cy is the client area
    const char* caption;     // UTF-8; null for a page, which has none
    const char* fontFace;
    int pointSize;
    std::span<const DialogItem> items;
};

// The template of dialog nID, or null when the program has none.
const DialogTemplate* FindDialogTemplate(int nID);
// The Qt resource path of the program's icon.
const char* AppIconPath();
