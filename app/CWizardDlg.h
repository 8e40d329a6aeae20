#pragma once

// The wizard's frame: the three buttons below a dividing line and, above it,
// the eight pages, of which one is shown at a time. The frame holds the page
// index, moves between the pages when "Další" and "Předchozí" are pressed and
// runs the two renders.

// Local
#include "engine/Canvas.h"
#include "engine/EngineResult.h"
#include "engine/PixelBuffer.h"
#include "pages/CAnimDonePage.h"
#include "pages/CAnimProgressPage.h"
#include "pages/CAnimSettingsPage.h"
#include "pages/CDialogCompressionChooser.h"
#include "pages/CPictureCache.h"
#include "pages/CPreviewWnd.h"
#include "pages/CSourcePage.h"
#include "pages/CStillDonePage.h"
#include "pages/CStillProgressPage.h"
#include "pages/CStillSettingsPage.h"
#include "pages/CWelcomePage.h"
#include "platform/gfx/GfxBitmap.h"
#include "platform/ui/CDialog.h"
#include "res/resource.h"

class CWizardDlg : public CDialog {
public:
    enum { IDD = IDD_WIZARD };

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

    explicit CWizardDlg(CWnd* pParent = nullptr);

    HICON m_hIcon;
    int m_nPage;
    CWelcomePage m_pageWelcome;
    CSourcePage m_pageSource;
    CAnimSettingsPage m_pageAnimSettings;
    CAnimProgressPage m_pageAnimProgress;
    CAnimDonePage m_pageAnimDone;
    CStillSettingsPage m_pageStillSettings;
    CStillProgressPage m_pageStillProgress;
    CStillDonePage m_pageStillDone;

    // The "Náhled" window of the settings pages; closed whenever the page is
    // left or a render starts.
    CPreviewWnd m_wndPreview;

    // The file the last finished render wrote; the finish opens this one.
    CString m_strResultPath;

    // Asks for the animation's codec and quality: the "Komprese videa"
    // dialog, unless a test puts another chooser in its place.
    CDialogCompressionChooser m_compressionDialog;
    ICompressionChooser* m_pCompressionChooser = &m_compressionDialog;

    BOOL OnInitDialog() override;
    // The dialog's OK command never closes the wizard.
    void OnOK() override;
    // "Konec", Escape and the close box: ask before the program ends.
    void OnCancel() override;

    void OnNext();
    void OnPrev();

    RenderResult RenderStill();
    RenderResult RenderAnimation();

    // The picture and file operations of the renders, over the engine.
    static EngineResult<GfxBitmap> LoadPictureFile(const CString& strPath);
    static EngineResult<void> ScaleToCanvas(const GfxBitmap& first, const GfxBitmap& second, const Canvas& canvas,
                                            PixelBuffer& firstBuffer, PixelBuffer& secondBuffer);
    static EngineResult<void> SaveBitmapFile(const CString& strPath, const PixelBuffer& buffer,
                                             const Canvas& canvas);

    // True while a render runs inside OnNext.
    bool IsRendering() const { return m_bRendering; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    HCURSOR OnQueryDragIcon();

    DECLARE_MESSAGE_MAP()

private:
    using RenderFn = RenderResult (CWizardDlg::*)();

    void StartRender(CDialog& settings, const CString& strOutputPath, int nSettingsPage, CDialog& progress,
                     CDialog& done, RenderFn pRender);
    void Finish(int bOpenResult, int bStartAgain, bool bAnimation);
    void RestartAfterAnimation();
    void RestartAfterStill();
    void OpenResult();
    void EnableButton(int nID, BOOL bEnable);

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
    RenderResult PictureNotLoaded(const CString& strPath, const EngineError& error);
    // Shows the size refusal and gives its outcome.
    RenderResult SizeRefused();
    // Done when strOutput is neither source picture; otherwise shows the
    // refusal and gives its outcome.
    RenderResult CheckOutputIsNotASource(const std::string& strOutput);
    // Drains the queue; true when the user has since asked to end the program.
    bool PumpAndCheckQuit();

    bool m_bRendering = false;
    bool m_bQuitRequested = false;

    // The pictures of the thumbnails and the preview. Declared last, so that
    // it goes first and tells nobody of a load once they are gone.
    CPictureCache m_pictures;
};
