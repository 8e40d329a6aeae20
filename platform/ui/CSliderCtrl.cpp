#include "platform/ui/CSliderCtrl.h"

#include <algorithm>

// Qt
#include <QSlider>

void CSliderCtrl::SetRange(int nMin, int nMax, BOOL)
{
    if (auto* slider = qobject_cast<QSlider*>(GetWidget())) {
        slider->setRange(nMin, nMax);
        // A page is a fifth of the range, at least one step.
        slider->setPageStep(std::max(1, (nMax - nMin) / 5));
    }
}

int CSliderCtrl::GetRangeMin() const
{
    auto* slider = qobject_cast<QSlider*>(GetWidget());
    return slider ? slider->minimum() : 0;
}

int CSliderCtrl::GetRangeMax() const
{
    auto* slider = qobject_cast<QSlider*>(GetWidget());
    return slider ? slider->maximum() : 0;
}

void CSliderCtrl::SetPos(int nPos) { SendMessage(TBM_SETPOS, TRUE, nPos); }

int CSliderCtrl::GetPos() const { return static_cast<int>(const_cast<CSliderCtrl*>(this)->SendMessage(TBM_GETPOS)); }
