#pragma once

// The "Náhled" window: the still picture or the animation that the settings
// page shown would make, drawn small and live, with the size the output will
// have. It is modeless and owned by the frame; the settings pages open it and
// hand it their controls' values whenever these change.

#include <cstdint>
#include <memory>
#include <optional>

// Qt
#include <QString>

// Local
#include "engine/PictureFit.h"

class CPictureCache;
class CSettingsPage;
class QImage;
class QWidget;

// What a settings page's controls hold at this moment. Numbers that an edit
// does not hold as a whole number are empty.
struct PreviewValues {
    bool m_bAnimation = false;
    bool m_bCustomSize = false;
    std::optional<std::int32_t> m_nWidth;
    std::optional<std::int32_t> m_nHeight;
    PictureFit m_nFit = PictureFit::Stretch;     // "Zachovat poměr stran" ticked: Contain
    std::int32_t m_nRatio = 50;                  // the still's slider position
    std::optional<std::int32_t> m_nFrameCount;   // the animation's
    std::optional<std::int32_t> m_nFps;

    // An edit's text as a whole number, or empty.
    static std::optional<std::int32_t> ParseNumber(const QString& strText);
};

class CPreviewWnd {
public:
    CPreviewWnd();
    ~CPreviewWnd();
    CPreviewWnd(const CPreviewWnd&) = delete;
    CPreviewWnd& operator=(const CPreviewWnd&) = delete;

    // The frame the window belongs to and where its pictures come from.
    void Init(QWidget* pOwner, CPictureCache* pPictures);
    // The two source pictures; the frame sets them as it leaves the source page.
    void SetSources(const QString& strFirst, const QString& strSecond);
    // Opens when the page asks and follows its values.
    void Follow(const CSettingsPage& page);

    // Shows the window (or brings it forward) with a settings page's values.
    void Open(const PreviewValues& values);
    // New values from the page; nothing happens while the window is closed.
    void Update(const PreviewValues& values);
    void Close();
    bool IsOpen() const;

    // What the window shows: the output's size (or the refusal), the state
    // in place of the picture (loading, a failure) and the picture itself.
    // A paused dissolve keeps the frame it showed.
    QString GetSizeText() const;
    QString GetStateText() const;
    QImage GetPicture() const;
    QWidget* GetWidget() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};
