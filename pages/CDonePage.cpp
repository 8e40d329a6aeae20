#include "pages/CDonePage.h"

// Qt
#include <QAbstractButton>

// Local
#include "res/resource.h"

CDonePage::CDonePage(int nIDTemplate, QWidget* pParent)
    : CTemplatePage(nIDTemplate, pParent), m_pOpenResult(m_items.Item<QAbstractButton>(IDC_OPEN_RESULT)),
      m_pStartAgain(m_items.Item<QAbstractButton>(IDC_START_AGAIN))
{
    UpdateData(false);
}

void CDonePage::DoDataExchange(CDataExchange& dx)
{
    dx.Check(m_pOpenResult, m_bOpenResult);
    dx.Check(m_pStartAgain, m_bStartAgain);
}

void CDonePage::Reset()
{
    static_cast<DoneValues&>(*this) = {};
    UpdateData(false);
}
