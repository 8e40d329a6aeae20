#pragma once

// A horizontal slider (trackbar). Every change of its position notifies the
// dialog that holds it with WM_HSCROLL.

#include "platform/ui/CWnd.h"

class CSliderCtrl : public CWnd {
public:
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
    int GetRangeMin() const;
    int GetRangeMax() const;
    void SetPos(int nPos);
    int GetPos() const;
};
