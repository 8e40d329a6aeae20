#pragma once

// A progress bar, range 0 to 100 unless set otherwise.

#include "platform/ui/CWnd.h"

class CProgressCtrl : public CWnd {
public:
    void SetRange(short nLower, short nUpper);
    // Returns the previous position.
    int SetPos(int nPos);
    int GetPos() const;
};
