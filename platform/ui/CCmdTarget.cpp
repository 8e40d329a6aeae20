#include "platform/ui/CCmdTarget.h"

CCmdTarget::CCmdTarget() = default;
CCmdTarget::~CCmdTarget() = default;

void CCmdTarget::BuildMessageMap(CMessageMap&) {}

const CMessageMap& CCmdTarget::GetMessageMap()
{
    if (!m_pMap) {
        m_pMap = std::make_unique<CMessageMap>();
        BuildMessageMap(*m_pMap);
    }
    return *m_pMap;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode)
{
    const CMessageMap::CommandHandler* handler = GetMessageMap().FindCommand(nID, nCode);
    if (!handler)
        return FALSE;
    // Copy first: a handler may replace the map's storage while it runs.
    CMessageMap::CommandHandler call = *handler;
    call();
    return TRUE;
}
