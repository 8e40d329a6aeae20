#include "platform/ui/CMessageMap.h"

#include <algorithm>

void CMessageMap::AddCommand(UINT nID, int nCode, CommandHandler handler)
{
    m_commands.push_back({nID, nCode, std::move(handler)});
}

void CMessageMap::SetHScroll(ScrollHandler handler) { m_hscroll = std::move(handler); }
void CMessageMap::SetPaint(PaintHandler handler) { m_paint = std::move(handler); }
void CMessageMap::SetQueryDragIcon(IconHandler handler) { m_queryDragIcon = std::move(handler); }

const CMessageMap::CommandHandler* CMessageMap::FindCommand(UINT nID, int nCode) const
{
    // Derived classes add their entries last, so search from the back.
    auto it = std::find_if(m_commands.rbegin(), m_commands.rend(), [&](const CommandEntry& e) {
        return e.nID == nID && e.nCode == nCode;
    });
    return it == m_commands.rend() ? nullptr : &it->handler;
}

const CMessageMap::ScrollHandler* CMessageMap::FindHScroll() const { return m_hscroll ? &m_hscroll : nullptr; }
const CMessageMap::PaintHandler* CMessageMap::FindPaint() const { return m_paint ? &m_paint : nullptr; }
const CMessageMap::IconHandler* CMessageMap::FindQueryDragIcon() const
{
    return m_queryDragIcon ? &m_queryDragIcon : nullptr;
}
