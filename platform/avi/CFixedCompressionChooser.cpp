#include "platform/avi/CFixedCompressionChooser.h"

BOOL CFixedCompressionChooser::ChooseCompression(HWND /*hwndOwner*/, AVICOMPRESSOPTIONS& options)
{
    ++m_nCalls;
    if (m_options.bCancel)
        return FALSE;
    options.fccType = streamtypeVIDEO;
    options.fccHandler = m_options.fccHandler;
    options.dwQuality = m_options.dwQuality;
    return TRUE;
}
