#pragma once

// Moving values between a dialog's controls and its members. A dialog's
// DoDataExchange lists its fields in order with the DDX_ and DDV_ functions;
// UpdateData(TRUE) reads the controls into the members, UpdateData(FALSE)
// shows the members in the controls. When a field cannot be read, or a read
// number is out of its range, the user is told why, the field gets the focus
// with its text selected, and the rest of the exchange is skipped: fields
// read before it keep their new values, and so does a number that failed
// only its range check.

#include <string_view>

#include "platform/ui/CString.h"
#include "platform/ui/WinUser.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    // Notes the control about to be exchanged, so a later failure can point at it.
    CWnd* PrepareCtrl(int nIDC);
    CWnd* PrepareEditCtrl(int nIDC);
    // Ends the exchange as failed: the last prepared control gets the focus
    // (and, for an edit, its text selected); every later DDX/DDV call is a no-op.
    void Fail();
    BOOL HasFailed() const;

    // Reads a whole number as the exchange accepts it: optional blanks, an
    // optional sign, decimal digits, optional blanks, and nothing else; the
    // value must fit a signed 32-bit integer.
    static BOOL ParseInt(std::string_view text, int& value);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    int m_idLastControl = 0;
    BOOL m_bEditLastControl = FALSE;

private:
    BOOL m_bFailed = FALSE;
};

void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// The zero-based index of the checked button in the group that starts at
// nIDC; -1 when none is checked.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// 0 clear, 1 ticked.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Attaches rControl to the control nIDC the first time the page exchanges.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// Checks the number just read by DDX_Text; does nothing when showing values.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
