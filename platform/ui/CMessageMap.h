#pragma once

// The table that binds a window's messages to its member handlers. Each class
// with handlers fills it in one place, base class entries first:
//
//   BEGIN_MESSAGE_MAP(CSourcePage, CDialog)
//       ON_BN_CLICKED(IDC_BROWSE, &CSourcePage::OnBrowseFirst)
//   END_MESSAGE_MAP()
//
// and declares DECLARE_MESSAGE_MAP() in its class body. Lookups find the most
// derived entry, so a derived class may rebind a command of its base.

#include <functional>
#include <vector>

#include "platform/ui/WinUser.h"

class CWnd;

class CMessageMap {
public:
    using CommandHandler = std::function<void()>;
    using ScrollHandler = std::function<void(UINT nSBCode, UINT nPos, CWnd* pScrollBar)>;
    using PaintHandler = std::function<void()>;
    using IconHandler = std::function<HCURSOR()>;

    void AddCommand(UINT nID, int nCode, CommandHandler handler);
    void SetHScroll(ScrollHandler handler);
    void SetPaint(PaintHandler handler);
    void SetQueryDragIcon(IconHandler handler);

    // The handler bound to a command, or null.
    const CommandHandler* FindCommand(UINT nID, int nCode) const;
    const ScrollHandler* FindHScroll() const;
    const PaintHandler* FindPaint() const;
    const IconHandler* FindQueryDragIcon() const;

private:
    struct CommandEntry {
        UINT nID;
        int nCode;
        CommandHandler handler;
    };
    std::vector<CommandEntry> m_commands;
    ScrollHandler m_hscroll;
    PaintHandler m_paint;
    IconHandler m_queryDragIcon;
};

#define DECLARE_MESSAGE_MAP() \
protected:                    \
    void BuildMessageMap(CMessageMap& map) override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)         \
    void theClass::BuildMessageMap(CMessageMap& map) { \
        baseClass::BuildMessageMap(map);

#define END_MESSAGE_MAP() }

#define ON_COMMAND(id, memberFxn) \
    map.AddCommand((id), BN_CLICKED, [this] { (this->*(memberFxn))(); });

#define ON_BN_CLICKED(id, memberFxn) \
    map.AddCommand((id), BN_CLICKED, [this] { (this->*(memberFxn))(); });

#define ON_EN_CHANGE(id, memberFxn) \
    map.AddCommand((id), EN_CHANGE, [this] { (this->*(memberFxn))(); });

#define ON_WM_HSCROLL() \
    map.SetHScroll([this](UINT nSBCode, UINT nPos, CWnd* pScrollBar) { this->OnHScroll(nSBCode, nPos, pScrollBar); });

#define ON_WM_PAINT() \
    map.SetPaint([this] { this->OnPaint(); });

#define ON_WM_QUERYDRAGICON() \
    map.SetQueryDragIcon([this] { return this->OnQueryDragIcon(); });
