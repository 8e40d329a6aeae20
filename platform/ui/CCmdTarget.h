#pragma once

// Base of every object that answers commands through a message map: windows
// and the application object.

#include <memory>

#include "platform/ui/CMessageMap.h"

class CCmdTarget {
public:
    CCmdTarget();
    virtual ~CCmdTarget();
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Runs the handler bound to the command; TRUE when one ran.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

    // The object's message map, filled on first use (never from a constructor,
    // so the most derived class's entries are always present).
    const CMessageMap& GetMessageMap();

protected:
    virtual void BuildMessageMap(CMessageMap& map);

private:
    std::unique_ptr<CMessageMap> m_pMap;
};
