#pragma once

// The wizard's frame: the three buttons below a dividing line and, above it,
// the eight pages, of which one is shown at a time. The frame knows which
// page follows which, reads a page before the wizard leaves it, runs the
// renders and tells the user what went wrong.

#include <cstdint>
#include <string>

// Local
#include "engine/Canvas.h"
#include "engine/EngineResult.h"
#include "engine/PixelBuffer.h"
#include "pages/CAnimSettingsPage.h"
#include "pages/CDonePage.h"
#include "pages/CPictureCache.h"
#include "pages/CPreviewWnd.h"
#include "pages/CProgressPage.h"
#include "pages/CSourcePage.h"
#include "pages/CStillSettingsPage.h"
#include "pages/CWelcomePage.h"
#include "platform/gfx/GfxBitmap.h"
#include "platform/ui/CTemplateDialog.h"
#include "res/resource.h"

class CWizardDlg : public CTemplateDialog {
public:
    // The pages in the order of the roads: the animation's, then the still's.
    enum class Page { Welcome, Source, AnimSettings, AnimProgress, AnimDone, StillSettings, StillProgress, StillDone };

    // How a render ended. Only Done leads on to the completion page; every
    // other outcome has already told the user what went wrong, if anything.
    enum class RenderResult {
        Done,             // The output file is complete under its name.
        PictureNotLoaded, // A source picture could not be loaded.
        SizeRefused,      // The canvas is impossible or its memory cannot be had.
        NotSaved,         // The output could not be written; no partial file is left.
        OutputIsSource,   // The output names a source picture; nothing was written.
        Cancelled,        // The user cancelled the compression choice.
        Quit,             // The user ended the program during the render.
    };

    explicit CWizardDlg(QWidget* pParent = nullptr);

    Page m_nPage = Page::Welcome;
    CWelcomePage m_pageWelcome{this};
    CSourcePage m_pageSource{this};
    CAnimSettingsPage m_pageAnimSettings{this};
    CProgressPage m_pageAnimProgress{IDD_ANIM_PROGRESS, this};
    CDonePage m_pageAnimDone{IDD_ANIM_DONE, this};
    CStillSettingsPage m_pageStillSettings{this};
    CProgressPage m_pageStillProgress{IDD_STILL_PROGRESS, this};
    CDonePage m_pageStillDone{IDD_STILL_DONE, this};

    // The "Náhled" window of the settings pages; closed whenever the page
    // changes.
    CPreviewWnd m_wndPreview;

    // The file the last finished render wrote; the finish opens this one.
    QString m_strResultPath;

    void OnNext();
    void OnPrev();

    RenderResult RenderStill();
    RenderResult RenderAnimation();

    // True while a render runs inside OnNext.
    bool IsRendering() const { return m_nPage == Page::AnimProgress || m_nPage == Page::StillProgress; }
    // The page widget of a page.
    CTemplatePage& PageWidget(Page page);

protected:
    // The dialog's OK command never closes the wizard.
    void OnOK() override {}
    // "Konec", Escape and the close box: ask before the program ends.
    void OnCancel() override;

private:
    // Where "Další" leads from the page shown; the settings pages lead to
    // their progress pages, these to their completion pages, and those back
    // to the start.
    Page NextPage() const;
    // Where "Předchozí" leads, or the page itself where it leads nowhere.
    Page PrevPage() const;
    // Shows the page alone, closes the preview and sets every button's state
    // and caption for it.
    void SetPage(Page page);

    void StartRender();
    void Finish();

    // What both renders load and allocate before their own work begins.
    struct RenderInputs {
        GfxBitmap m_first;
        GfxBitmap m_second;
        Canvas m_canvas;
        PixelBuffer m_output;
        PixelBuffer m_firstBuffer;
        PixelBuffer m_secondBuffer;
    };
    // Loads both pictures, computes the canvas and allocates the three
    // buffers; gives Done, or the outcome it has already reported.
    RenderResult PrepareRender(std::int32_t nSizeMode, std::int32_t nWidth, std::int32_t nHeight,
                               RenderInputs& in);
    // Shows the load failure of the picture at strPath and gives its outcome.
    RenderResult PictureNotLoaded(const QString& strPath, const EngineError& error);
    // Shows the size refusal and gives its outcome.
    RenderResult SizeRefused();
    // Done when strOutput is neither source picture; otherwise shows the
    // refusal and gives its outcome.
    RenderResult CheckOutputIsNotASource(const std::string& strOutput);
    // A failure box with the caption "Chyba".
    void ShowError(const QString& strText);
    // Drains the queue; true when the user has since asked to end the program.
    bool PumpAndCheckQuit();

    bool m_bQuitRequested = false;

    // The pictures of the thumbnails and the preview. Declared last, so that
    // it goes first and tells nobody of a load once they are gone.
    CPictureCache m_pictures;
};
