#pragma once

// What the two settings pages share: the output file named through a save
// chooser, the size (automatic, or custom width and height, whose edits are
// enabled only for a custom size), whether the pictures keep their shape, and
// the "Náhled…" button. The preview follows the page through its two signals.

#include <optional>

// Qt
#include <QSize>
#include <QString>

// Local
#include "pages/CPreviewWnd.h"
#include "platform/ui/CTemplatePage.h"
#include "platform/ui/IFileChooser.h"

class QAbstractButton;
class QLineEdit;
class QRadioButton;

// The values both settings pages hold, and their defaults.
struct SettingsValues {
    QString m_strOutputPath;
    int m_nSizeMode = 0;        // 0 automatic size, 1 custom
    int m_nWidth = 100;
    int m_nHeight = 100;
    // 1: each picture keeps its shape, whole and centred with black bars;
    // 0: it is stretched over the whole canvas.
    int m_nKeepAspect = 0;
};

class CSettingsPage : public CTemplatePage, public SettingsValues {
    Q_OBJECT

public:
    // The save chooser offers outputFilters, adds strSuffix to a bare name
    // and opens in the folder last chosen for strFolderKey's kind of file.
    CSettingsPage(int nIDTemplate, std::vector<FileFilter> outputFilters, QString strSuffix, QString strFolderKey,
                  QWidget* pParent);

    // Sets the values back to their defaults and shows them. The enabled
    // state of the size edits stays as it was.
    void Reset();
    // What the controls hold at this moment, for the preview.
    virtual PreviewValues GetPreviewValues() const;
    // The size an automatic render would make of the pictures, once both are
    // measured, or none. While "Automatická" is checked the disabled size
    // edits show it, so "Vlastní" starts from it; without one they keep what
    // they show.
    void SetAutomaticSize(std::optional<QSize> size);

    void OnBrowse();
    void OnSizeAuto();
    void OnSizeCustom();
    void OnPreview();
    void OnValuesChanged();

signals:
    void previewRequested(const PreviewValues& values);
    void previewValuesChanged(const PreviewValues& values);

protected:
    // Sets the values of the page's own back to their defaults.
    virtual void ResetPageValues() {}

    QLineEdit* m_pOutputPath;
    QRadioButton* m_pAutoSize;
    QRadioButton* m_pCustomSize;
    QLineEdit* m_pWidth;
    QLineEdit* m_pHeight;
    QAbstractButton* m_pKeepAspect;

private:
    void EnableSize(bool bEnable);
    void ShowAutomaticSize();

    std::vector<FileFilter> m_outputFilters;
    QString m_strSuffix;
    QString m_strFolderKey;
    std::optional<QSize> m_automaticSize;
};
