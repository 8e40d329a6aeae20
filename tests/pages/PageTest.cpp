// The eight pages and the preview on real widgets: a field read in the wrong
// order or range, a wrong text or focus after a failed read, choosers asked
// for the wrong files, keys that leave a page, a control off its place in
// dialog units or in another font, a text clipped by its control, a page that
// overlaps the frame's buttons, the welcome title painted out of place, a
// preview size that disagrees with the render, a preview that does not follow
// the slider, and a thumbnail shown for a file that is no picture.

#include <array>

#include <gtest/gtest.h>

// Qt
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// Local
#include "engine/Blend.h"
#include "pages/CAnimDonePage.h"
#include "pages/CAnimProgressPage.h"
#include "pages/CAnimSettingsPage.h"
#include "pages/CPictureCache.h"
#include "pages/CPreviewWnd.h"
#include "pages/CSourcePage.h"
#include "pages/CStillDonePage.h"
#include "pages/CStillProgressPage.h"
#include "pages/CStillSettingsPage.h"
#include "pages/CWelcomePage.h"
#include "platform/ui/CDialogBaseUnits.h"
#include "platform/ui/CFont.h"
#include "res/resource.h"
#include "tests/platform/support/TestServices.h"

namespace {

// The eight pages inside a frame built from the wizard's frame template, which
// hides at the first OK or cancel command that reaches it, with the modal
// services replaced. The preview shows a red 640 × 480 and a blue 800 × 600
// picture, saved as BMP so that they load exactly; beside them lies a file
// that is no picture.
class PageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(frame.Create(IDD_WIZARD, nullptr));
        frame.GetWidget()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.GetWidget()));
        ASSERT_TRUE(m_dir.isValid());
        QFile bad(m_dir.filePath("notes.jpg"));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly) && bad.write("not a picture at all") > 0);
        preview.Init(&frame, &pictures);
        preview.SetSources(Solid("first.bmp", 640, 480, qRgb(255, 0, 0)),
                           Solid("second.bmp", 800, 600, qRgb(0, 0, 255)));
        anim.m_pPreview = still.m_pPreview = &preview;
    }
    // Creates the page as the frame does and shows it.
    void Show(CDialog& page)
    {
        ASSERT_TRUE(page.Create(page.GetTemplateID(), &frame));
        page.ShowWindow(SW_SHOW);
    }
    static QWidget* Control(CDialog& page, int nID) { return page.GetDlgItem(nID)->GetWidget(); }
    static QLineEdit* Edit(CDialog& page, int nID) { return qobject_cast<QLineEdit*>(Control(page, nID)); }
    static QString Text(CDialog& page, int nID) { return QString::fromStdString(page.GetDlgItem(nID)->GetWindowText().str()); }
    static bool Enabled(CDialog& page, int nID) { return page.GetDlgItem(nID)->IsWindowEnabled(); }
    static bool Checked(CDialog& page, int nID) { return page.GetDlgItem(nID)->SendMessage(BM_GETCHECK) == BST_CHECKED; }
    static void Click(CDialog& page, int nID) { QTest::mouseClick(Control(page, nID), Qt::LeftButton); }
    // Replaces an edit's text key by key, as the user would.
    static void Type(CDialog& page, int nID, const char* pszText)
    {
        QLineEdit* pEdit = Edit(page, nID);
        pEdit->selectAll();
        pEdit->setFocus();
        QTest::keyClick(pEdit, Qt::Key_Delete);
        QTest::keyClicks(pEdit, QString::fromUtf8(pszText));
    }

    CString Solid(const char* pszName, int nWidth, int nHeight, QRgb colour)
    {
        QImage image(nWidth, nHeight, QImage::Format_RGB32);
        image.fill(colour);
        image.save(m_dir.filePath(pszName), "BMP");
        return Path(pszName);
    }
    CString Path(const char* pszName) const { return CString(m_dir.filePath(pszName).toStdString()); }

    // Opens the preview from a settings page and waits until its pictures are loaded.
    void Open(CDialog& page, bool bLoaded = true)
    {
        Click(page, IDC_PREVIEW);
        ASSERT_TRUE(preview.IsOpen());
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return bLoaded ? preview.GetStateText().IsEmpty() : preview.GetStateText() != "Načítám obrázky…";
        }));
    }
    QRgb Middle() const
    {
        const QImage picture = preview.GetPicture();
        return picture.isNull() ? 0 : picture.pixel(picture.width() / 2, picture.height() / 2) & 0xFFFFFF;
    }

    // In the wizard's order: the cache goes first, then the preview, the pages and the frame.
    QTemporaryDir m_dir;
    CRecordingMessageBox boxes;
    CScriptedFileChooser chooser;
    CDialog frame{IDD_WIZARD};
    CWelcomePage welcome;
    CSourcePage source;
    CAnimSettingsPage anim;
    CAnimProgressPage animProgress;
    CAnimDonePage animDone;
    CStillSettingsPage still;
    CStillProgressPage stillProgress;
    CStillDonePage stillDone;
    CPreviewWnd preview;
    CPictureCache pictures;
};

const char* const kNotANumber = "Zadejte celé číslo.";
const char* const kOutOfRange = "Zadejte celé číslo od 1 do 1000000.";
constexpr const char* kRefused = "Zadaná velikost je příliš velká nebo neplatná!";
constexpr const char* kNoPicture = "Soubor není obrázek ve známém formátu.";

// A settings page filled in: the fields typed (nullptr leaves the shown
// value); then either the values read or the message and the field focused;
// then, where given, the size the preview says the render will write.
struct Exchange {
    const char* m_pszName;
    bool m_bStill;
    int m_nSizeMode;  // 2: custom while typing, automatic when read.
    const char *m_pszWidth, *m_pszHeight, *m_pszFps = nullptr, *m_pszFrames = nullptr, *m_pszMessage = nullptr;
    int m_nFocus = 0;
    const char* m_pszPreview = nullptr;
};

class PageExchangeTest : public PageTest, public testing::WithParamInterface<Exchange> {};

TEST_P(PageExchangeTest, ReadsTheFieldsOrStopsAtTheFirstBadOneAndPreviewsTheSize)
{
    const Exchange& e = GetParam();
    CDialog& page = e.m_bStill ? static_cast<CDialog&>(still) : anim;
    Show(page);
    if (e.m_nSizeMode != 0)
        Click(page, IDC_RADIO_SECOND);
    for (const auto& [nID, pszText] : {std::pair{IDC_WIDTH, e.m_pszWidth}, {IDC_HEIGHT, e.m_pszHeight},
                                       {IDC_FPS, e.m_pszFps}, {IDC_FRAME_COUNT, e.m_pszFrames}})
        if (pszText)
            Type(page, nID, pszText);
    if (e.m_nSizeMode == 2)
        Click(page, IDC_RADIO_FIRST);
    // Size mode, width and frame count (100 when left as shown) after the read.
    const auto read = [&] {
        return e.m_bStill ? std::array{still.m_nSizeMode, still.m_nWidth, 100}
                          : std::array{anim.m_nSizeMode, anim.m_nWidth, anim.m_nFrameCount};
    };
    const std::array expected{int(e.m_nSizeMode == 1), e.m_pszWidth ? atoi(e.m_pszWidth) : read()[1],
                              e.m_pszFrames ? atoi(e.m_pszFrames) : 100};
    EXPECT_EQ(page.UpdateData(TRUE) != FALSE, e.m_pszMessage == nullptr);
    // The size radios enable the edits only for a custom size.
    EXPECT_EQ(std::pair(Enabled(page, IDC_WIDTH), Enabled(page, IDC_HEIGHT)), std::pair(e.m_nSizeMode == 1, e.m_nSizeMode == 1));
    ASSERT_EQ(boxes.calls.size(), e.m_pszMessage ? 1u : 0u);
    if (!e.m_pszMessage) {
        EXPECT_EQ(read(), expected);
    } else {
        EXPECT_EQ(std::pair(boxes.calls[0].text, boxes.calls[0].nType),
                  std::pair(CString(e.m_pszMessage), UINT{MB_ICONEXCLAMATION}));
        QLineEdit* pField = Edit(page, e.m_nFocus);
        EXPECT_TRUE(!pField->isEnabled() || QApplication::focusWidget() == pField);
        EXPECT_EQ(pField->selectedText(), pField->text());
    }
    if (e.m_pszPreview) {
        Open(page);
        EXPECT_EQ(std::pair(preview.GetSizeText(), preview.GetPicture().isNull()),
                  std::pair(CString(e.m_pszPreview), e.m_pszPreview == std::string(kRefused)));
        // The size follows the fields while the window is open.
        Click(page, IDC_RADIO_SECOND);
        Type(page, IDC_WIDTH, "40");
        Type(page, IDC_HEIGHT, "24");
        EXPECT_EQ(std::pair(preview.GetSizeText(), preview.GetPicture().isNull()), std::pair(CString("40 × 24 pixelů"), false));
    }
}

// 640 × 480 and 800 × 600 average to 720 × 540; custom sides round down to
// multiples of four, and a side that is missing or makes too large a picture
// is refused by the preview. The size edits take digits only.
const Exchange kExchanges[] = {
    {"AnimEveryField", false, 1, "640", "480", "1", "1000000"},
    {"AnimEmptyFrameCount", false, 1, "320", nullptr, "30", "", kNotANumber, IDC_FRAME_COUNT},
    {"AnimNoFrames", false, 0, nullptr, nullptr, "30", "0", kOutOfRange, IDC_FRAME_COUNT},
    {"AnimRateZero", false, 0, nullptr, nullptr, "0", "5", kOutOfRange, IDC_FPS},
    {"AnimRateAboveTheLimit", false, 0, nullptr, nullptr, "1000001", nullptr, kOutOfRange, IDC_FPS},
    {"AnimHeightBeforeWidth", false, 1, "0", "", nullptr, nullptr, kNotANumber, IDC_HEIGHT},
    {"AnimWidthZeroEvenWhenAutomatic", false, 2, "0", nullptr, nullptr, nullptr, kOutOfRange, IDC_WIDTH},
    {"AnimAutomaticIgnoresTheSides", false, 2, "7", "5", nullptr, nullptr, nullptr, 0, "720 × 540 pixelů"},
    {"AnimCustomRoundsDown", false, 1, "719", "5-4a1", nullptr, nullptr, nullptr, 0, "716 × 540 pixelů"},
    {"AnimWidthBeyondTheRange", false, 1, "1000001", "4", nullptr, nullptr, kOutOfRange, IDC_WIDTH, kRefused},
    {"StillWidthZeroWhenAutomatic", true, 2, "0", nullptr, nullptr, nullptr, nullptr, 0, "720 × 540 pixelů"},
    {"StillCustomTooLarge", true, 1, "1000000", "1000000", nullptr, nullptr, nullptr, 0, kRefused},
    {"StillEmptyHeight", true, 1, nullptr, "", nullptr, nullptr, kNotANumber, IDC_HEIGHT, kRefused},
};
INSTANTIATE_TEST_SUITE_P(Rows, PageExchangeTest, testing::ValuesIn(kExchanges),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

TEST_F(PageTest, ChoosersAskForTheirFilesAndFillOnlyTheirEdit)
{
    Show(source);
    chooser.answers = {"/obr/les.jpg", "", "/obr/moře.bmp"};
    Click(source, IDC_BROWSE);
    Click(source, IDC_BROWSE);  // Cancelled: the path stays.
    Click(source, IDC_BROWSE_SECOND);
    EXPECT_EQ(Text(source, IDC_PATH) + "|" + Text(source, IDC_SECOND_PATH), "/obr/les.jpg|/obr/moře.bmp");
    for (const FileChooserRequest& r : chooser.requests) {
        EXPECT_EQ(std::tuple(r.bOpenFileDialog, r.flags, r.filters.size(), r.filters.at(0).description, r.filters[0].patterns),
                  std::tuple(TRUE, DWORD{OFN_FILEMUSTEXIST}, 1u, CString("Obrázky"),
                             std::vector<CString>{"*.gif", "*.jpeg", "*.jpg", "*.bmp", "*.png", "*.webp", "*.tif", "*.tiff",
                                                  "*.heic", "*.heif", "*.avif", "*.wmf", "*.ico", "*.cur"}));
    }

    // The save choosers open on "plavex", not on the current path, ask before
    // replacing a file, add their extension, and show a long path's start.
    // The animation's chooser offers MP4 after AVI.
    for (const auto& [pPage, pszExt, pszFilter] : {std::tuple<CDialog*, const char*, const char*>{&anim, "avi", "Avi soubory (*.avi)|*.avi|Video MP4 (*.mp4)|*.mp4"},
                                                    {&still, "bmp", "Obrázky BMP (*.bmp)|*.bmp"}}) {
        Show(*pPage);
        const std::string strLong = "/video/" + std::string(300, 'a') + "/přechod";
        chooser.answers = {CString(strLong), ""};
        Click(*pPage, IDC_BROWSE);
        Click(*pPage, IDC_BROWSE);
        EXPECT_EQ(std::pair(Text(*pPage, IDC_PATH).toStdString(), Edit(*pPage, IDC_PATH)->cursorPosition()),
                  std::pair(strLong + "." + pszExt, 0));
        const FileChooserRequest& r = chooser.requests.back();
        std::string strFilters;
        for (const FileFilter& filter : r.filters)
            for (const CString& strPart : std::vector{filter.description, filter.patterns.at(0)})
                strFilters += (strFilters.empty() ? "" : "|") + strPart.str();
        EXPECT_EQ(std::tuple(r.bOpenFileDialog, r.defaultExtension, r.initialFileName, r.flags, strFilters),
                  std::tuple(FALSE, CString(pszExt), CString("plavex"), DWORD{OFN_OVERWRITEPROMPT}, std::string(pszFilter)));
    }
}

TEST_F(PageTest, TabReachesEachRadioGroupOnItsCheckedButtonAndKeysMoveWithin)
{
    // The focused control of the page, -1 outside it (the frame's buttons share identifiers).
    const auto focused = [](CDialog& page) {
        QWidget* pFocus = QApplication::focusWidget();
        return pFocus && page.GetWidget()->isAncestorOf(pFocus) ? pFocus->property("_plavex_id").toInt() : -1;
    };
    const auto key = [](Qt::Key nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), nKey, modifiers);
    };
    for (CDialog* pPage : {static_cast<CDialog*>(&source), static_cast<CDialog*>(&still)}) {
        Show(*pPage);
        pPage->GetDlgItem(pPage == &source ? IDC_BROWSE_SECOND : IDC_BROWSE)->SetFocus();
        key(Qt::Key_Tab);
        EXPECT_EQ(focused(*pPage), IDC_RADIO_FIRST);
        key(Qt::Key_Down);  // Moves and chooses, as a click would, and the handler runs.
        EXPECT_EQ(std::tuple(focused(*pPage), Checked(*pPage, IDC_RADIO_SECOND), Checked(*pPage, IDC_RADIO_FIRST),
                             pPage == &source || Enabled(still, IDC_WIDTH)),
                  std::tuple(IDC_RADIO_SECOND, true, false, true));
        // Back and forth through the group lands on the newly checked button.
        key(Qt::Key_Tab, Qt::ShiftModifier);
        key(Qt::Key_Tab);
        EXPECT_EQ(focused(*pPage), IDC_RADIO_SECOND);
        key(Qt::Key_Up);
        EXPECT_TRUE(Checked(*pPage, IDC_RADIO_FIRST));
    }
    // The slider's label reads first:second. Arrows move by 1, pages by a fifth,
    // Home and End go to the ends; a position set in code shows too.
    EXPECT_EQ(Text(still, IDC_RATIO_LABEL), "50:50");
    still.m_ctlRatio.GetWidget()->setFocus();
    for (const auto& [nKey, pszLabel] : {std::pair{Qt::Key_Right, "49:51"}, {Qt::Key_PageUp, "29:71"},
                                         {Qt::Key_PageDown, "49:51"}, {Qt::Key_End, "0:100"},
                                         {Qt::Key_Home, "100:0"}, {Qt::Key_Right, "99:1"}}) {
        key(nKey);
        EXPECT_EQ(Text(still, IDC_RATIO_LABEL), pszLabel) << nKey;
    }
    // The member follows at the next read; showing the members again leaves the slider.
    ASSERT_TRUE(still.UpdateData(TRUE));
    still.UpdateData(FALSE);
    EXPECT_EQ(std::pair(still.m_strRatio, still.m_ctlRatio.GetPos()), std::pair(CString("99:1"), 1));
    still.m_ctlRatio.SetPos(30);
    EXPECT_EQ(Text(still, IDC_RATIO_LABEL), "70:30");
}

TEST_F(PageTest, EveryControlSitsWhereItsTemplateSaysWithItsTextWholeAndKeysStayInThePage)
{
    const int nLine = CDialogBaseUnits::FromFont(*frame.GetDialogFont()).MapY(173);
    for (CDialog* pPage : std::array<CDialog*, 9>{&frame, &welcome, &source, &anim, &animProgress, &animDone, &still,
                                                  &stillProgress, &stillDone}) {
        const UINT nID = pPage->GetTemplateID();
        if (pPage != &frame) {
            Show(*pPage);
            // Every page sits at the top left, above the frame's dividing line.
            const QRect r = pPage->GetWidget()->geometry();
            EXPECT_TRUE(r.topLeft() == QPoint(0, 0) && r.bottom() <= nLine && r.right() <= frame.GetWidget()->width()) << nID;
        }
        // Controls come in template order, in the template's font, each at its
        // place in dialog units, disabled where the template says; every text fits.
        const DialogTemplate* pTemplate = AfxFindDialogTemplate(nID);
        const QFont* pFont = pPage->GetDialogFont();
        EXPECT_EQ(std::pair(pFont->family(), pFont->pointSize()),
                  std::pair(QString(CFont::ResolveFace(pTemplate->fontFace).GetString()), int(pTemplate->pointSize)));
        const CDialogBaseUnits units = CDialogBaseUnits::FromFont(*pFont);
        EXPECT_EQ(pPage->GetWidget()->size(), QSize(units.MapX(pTemplate->cx), units.MapY(pTemplate->cy)));
        EXPECT_EQ(pPage->GetWindowText(), pTemplate->caption ? pTemplate->caption : "");
        const QList<QWidget*> controls = pPage->GetWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        ASSERT_EQ(controls.size(), static_cast<qsizetype>(pTemplate->items.size())) << nID;
        for (std::size_t i = 0; i < pTemplate->items.size(); ++i) {
            QWidget* w = controls[static_cast<qsizetype>(i)];
            const DialogItem& item = pTemplate->items[i];
            const bool bLabel = qobject_cast<QLabel*>(w), bPush = qobject_cast<QPushButton*>(w);
            const bool bBox = qobject_cast<QGroupBox*>(w), bCheck = qobject_cast<QAbstractButton*>(w) && !bPush;
            // Only a one-line text widens its label, check box or radio button.
            QRect expected(units.MapX(item.x), units.MapY(item.y), units.MapX(item.cx), units.MapY(item.cy));
            if (w->width() > expected.width() && (bLabel || bCheck))
                expected.setWidth(w->width());
            EXPECT_EQ(std::pair(w->geometry(), w->font()), std::pair(expected, *pFont)) << nID << ": " << item.nID;
            EXPECT_TRUE(!(item.style & WS_DISABLED) || !w->isEnabled()) << nID << ": " << item.nID;
            const QString strText = QString::fromUtf8(item.text ? item.text : "");
            if (strText.isEmpty() || !(bLabel || bPush || bBox || bCheck))
                continue;
            const QFontMetrics fm(w->font());
            const int nNeeded = bCheck ? w->sizeHint().width()
                                       : fm.horizontalAdvance(strText) + (bBox ? 4 : bPush ? 2 : 0) * fm.averageCharWidth();
            if (bLabel && (strText.contains('\n') || w->height() >= 2 * fm.height()))
                EXPECT_LE(fm.boundingRect(QRect(0, 0, w->width(), 10000), Qt::TextWordWrap, strText).height(), w->height()) << nID;
            else
                EXPECT_LE(nNeeded, w->width()) << nID << ": " << strText.toStdString();
            EXPECT_TRUE(pPage->GetWidget()->rect().contains(w->geometry())) << nID;
        }
        if (pPage == &frame)
            continue;
        // Enter and Escape on the first control that takes the focus, else on the page.
        QWidget* pTarget = pPage->GetWidget();
        for (QWidget* w : pPage->GetWidget()->findChildren<QWidget*>())
            if (w->isEnabled() && w->focusPolicy() != Qt::NoFocus && !qobject_cast<QAbstractButton*>(w)) {
                pTarget = w;
                break;
            }
        pTarget->setFocus();
        QTest::keyClick(pTarget, Qt::Key_Return);
        QTest::keyClick(pTarget, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(pTarget, Qt::Key_Escape);
        EXPECT_TRUE(pPage->IsWindowVisible()) << nID;
        pPage->ShowWindow(SW_HIDE);
    }
    EXPECT_TRUE(frame.IsWindowVisible());
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(PageTest, WelcomePagePaintsARedTitleOverItsBlackShadow)
{
    Show(welcome);
    const QImage image = welcome.GetWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRect red, black;   // the black is looked for above the greeting only
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb c = image.pixel(x, y); c == qRgb(255, 0, 0) || (c == qRgb(0, 0, 0) && y < 60))
                (c == qRgb(255, 0, 0) ? red : black) |= QRect(x, y, 1, 1);
    // The title's point is its top-left corner; the shadow sits 2 px right and
    // down; the title is 36 points tall; the greeting stays clear of it.
    EXPECT_TRUE(red.left() >= 148 && red.left() < 158 && red.top() >= 13 && red.top() < 33) << red.left() << "," << red.top();
    EXPECT_EQ(black.bottomRight(), red.bottomRight() + QPoint(2, 2));
    EXPECT_TRUE(red.height() > 30 && welcome.GetDlgItem(-1)->GetWidget()->geometry().top() > red.bottom()) << red.height();
}

TEST_F(PageTest, StillFollowsTheSliderAsItMoves)
{
    Show(still);
    Open(still);
    // Red blended into blue channel by channel, with the render's weights.
    for (const int nPos : {50, 0, 30, 100}) {
        still.m_ctlRatio.SetPos(nPos);
        const double w = StillWeight(nPos);
        EXPECT_EQ(Middle(), qRgb(BlendChannel(255, 0, w), 0, BlendChannel(0, 255, w)) & 0xFFFFFF) << nPos;
    }
    // The picture keeps the output's shape, 720 × 540.
    EXPECT_NEAR(double(preview.GetPicture().width()) / preview.GetPicture().height(), 720.0 / 540.0, 0.02);
}

TEST_F(PageTest, AnimationPlaysAndPauses)
{
    Show(anim);
    Type(anim, IDC_FRAME_COUNT, "3");
    Type(anim, IDC_FPS, "20");
    Open(anim);
    // Three frames at 20 per second pass through the middle frame.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Middle() == (qRgb(127, 0, 127) & 0xFFFFFF); }, 2000));
    auto* pPlay = preview.GetWidget()->findChild<QPushButton*>();
    ASSERT_TRUE(pPlay && pPlay->text() == "Pozastavit");
    pPlay->click();
    EXPECT_EQ(pPlay->text(), "Přehrát");
    const QRgb paused = Middle();
    QTest::qWait(300);
    EXPECT_EQ(Middle(), paused);
}

TEST_F(PageTest, FileThatIsNoPictureIsToldWhereAPictureShowsItsThumbnail)
{
    source.SetPictureCache(&pictures);
    Show(source);
    chooser.answers = {Solid("wide.bmp", 64, 32, qRgb(255, 0, 0)), Path("notes.jpg")};
    Click(source, IDC_BROWSE);
    Click(source, IDC_BROWSE_SECOND);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return Text(source, IDC_FIRST_REASON).isEmpty() && Text(source, IDC_SECOND_REASON) != "Načítám obrázek…";
    }));
    const auto thumb = [&](int nID) { return qobject_cast<QLabel*>(Control(source, nID))->pixmap(); };
    const QPixmap first = thumb(IDC_FIRST_THUMB);
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE((first.toImage().pixel(first.width() / 2, first.height() / 2) & 0xFFFFFF) == 0xFF0000u &&
                first.width() > first.height());
    EXPECT_EQ(std::pair(thumb(IDC_SECOND_THUMB).isNull(), Text(source, IDC_SECOND_REASON)), std::pair(true, QString(kNoPicture)));
    // A path taken away takes its thumbnail with it.
    source.m_strFirstPath = "";
    source.UpdateData(FALSE);
    EXPECT_TRUE(thumb(IDC_FIRST_THUMB).isNull());

    // The preview tells it as the render tells it.
    preview.SetSources(Path("first.bmp"), Path("notes.jpg"));
    Show(still);
    Open(still, false);
    EXPECT_EQ(std::tuple(preview.GetStateText().str(), preview.GetPicture().isNull(), preview.GetSizeText().str()),
              std::tuple(std::string("Obrázek se nepodařilo načíst!\nnotes.jpg: ") + kNoPicture, true, std::string()));
}

} // namespace
