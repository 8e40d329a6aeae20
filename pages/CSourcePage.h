#pragma once

// The page where the user picks the two source pictures and what to make.
// Beside each chosen path it shows its picture, small and upright, or under
// the path why it cannot be loaded, or that it is still loading. Picture
// files dragged from a file manager may be dropped on it too.

// Qt
#include <QString>

// Local
#include "platform/ui/CTemplatePage.h"

class CPictureCache;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QLineEdit;
class QRadioButton;

// The page's values and their defaults.
struct SourceValues {
    int m_nMode = 0;            // 0 the animation, 1 the still picture
    QString m_strFirstPath;
    QString m_strSecondPath;
};

class CSourcePage : public CTemplatePage, public SourceValues {
public:
    explicit CSourcePage(QWidget* pParent = nullptr);

    // Sets the values back to their defaults and shows them.
    void Reset();
    // Where the thumbnails come from; without it the page shows none.
    void SetPictureCache(CPictureCache* pPictures);

    void OnBrowseFirst();
    void OnBrowseSecond();

protected:
    void DoDataExchange(CDataExchange& dx) override;
    // One picture file dropped fills the first picture while it is empty,
    // else the second; two fill both in their order. Anything else is
    // refused.
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;

private:
    // Only the edit is written; the member follows at the next exchange.
    void BrowseInto(QLineEdit* pEdit);
    void ShowPath(QLineEdit* pEdit, const QString& strPath);
    void ShowThumbnails();

    QLineEdit* m_pFirstPath;
    QLineEdit* m_pSecondPath;
    QRadioButton* m_pAnimation;
    QLabel* m_pFirstThumb;
    QLabel* m_pSecondThumb;
    QLabel* m_pFirstReason;
    QLabel* m_pSecondReason;
    CPictureCache* m_pPictures = nullptr;
};
