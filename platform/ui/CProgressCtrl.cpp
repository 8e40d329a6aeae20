#include "platform/ui/CProgressCtrl.h"

void CProgressCtrl::SetRange(short nLower, short nUpper)
{
    SendMessage(PBM_SETRANGE, 0, static_cast<LPARAM>(MAKEWPARAM(WORD(nLower), WORD(nUpper))));
}

int CProgressCtrl::SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos), 0)); }

int CProgressCtrl::GetPos() const
{
    return static_cast<int>(const_cast<CProgressCtrl*>(this)->SendMessage(PBM_GETPOS));
}
