// The eight pages and the preview on real widgets: a field read in the wrong
// order or range, a wrong text or focus after a failed read, choosers asked
// for the wrong files, keys that leave a page or miss a radio group's checked
// button, a control off its place in dialog units or in another font, a text
// clipped by its control, a page that overlaps the frame's buttons, the
// welcome title painted out of place, a preview size that disagrees with the
// render, a preview that does not follow the slider or the kept shape or
// jumps when paused, and a thumbnail out of shape or shown for a file that
// is no picture.

#include <array>
#include <functional>

#include <gtest/gtest.h>

// Qt
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

// Local
#include "engine/Blend.h"
#include "tests/app/WizardHarness.h"

namespace {

using Page = CWizardDlg::Page;

// The pages in the wizard's frame, one shown at a time. The preview shows a
// red 640 × 480 and a blue 800 × 600 picture, saved as BMP so that they load
// exactly; beside them lies a file that is no picture.
class PageTest : public ::testing::Test {
public:
    void SetUp() override
    {
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d) && m_dir.isValid());
        QFile bad(m_dir.filePath("notes.jpg"));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly) && bad.write("not a picture at all") > 0);
        d.m_wndPreview.SetSources(Solid("first.bmp", 640, 480, qRgb(255, 0, 0)), Solid("second.bmp", 800, 600, qRgb(0, 0, 255)));
    }
    void Show(Page page)
    {
        for (int i = 0; i < 8; ++i)
            d.PageWidget(static_cast<Page>(i)).setVisible(static_cast<Page>(i) == page);
    }
    static QLineEdit* Edit(const CTemplatePage& page, int nID) { return qobject_cast<QLineEdit*>(page.Item(nID)); }
    static QString Text(const CTemplatePage& page, int nID) { return QString::fromStdString(WizardHarness::Text(page, nID)); }
    static bool Checked(const CTemplatePage& page, int nID) { return WizardHarness::Button(page, nID)->isChecked(); }
    static void Click(const CTemplatePage& page, int nID) { QTest::mouseClick(page.Item(nID), Qt::LeftButton); }
    static void Key(Qt::Key nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), nKey, modifiers);
    }
    // Replaces an edit's text key by key, as the user would.
    static void Type(const CTemplatePage& page, int nID, const char* pszText)
    {
        Edit(page, nID)->selectAll();
        Edit(page, nID)->setFocus();
        Key(Qt::Key_Delete);
        QTest::keyClicks(Edit(page, nID), QString::fromUtf8(pszText));
    }
    QString Solid(const char* pszName, int nWidth, int nHeight, QRgb colour)
    {
        QImage image(nWidth, nHeight, QImage::Format_RGB32);
        image.fill(colour);
        image.save(m_dir.filePath(pszName), "BMP");
        return m_dir.filePath(pszName);
    }
    // Opens the preview from a settings page and waits until its pictures are loaded.
    void Open(const CTemplatePage& page, bool bLoaded = true)
    {
        Click(page, IDC_PREVIEW);
        ASSERT_TRUE(d.m_wndPreview.IsOpen());
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return bLoaded ? d.m_wndPreview.GetStateText().isEmpty() : d.m_wndPreview.GetStateText() != "Načítám obrázky…";
        }));
    }
    QRgb Middle() const
    {
        const QImage picture = d.m_wndPreview.GetPicture();
        return picture.isNull() ? 0 : picture.pixel(picture.width() / 2, picture.height() / 2) & 0xFFFFFF;
    }
    QPixmap Thumb(int nID) const { return qobject_cast<QLabel*>(d.m_pageSource.Item(nID))->pixmap(); }

    QTemporaryDir m_dir;
    WizardHarness w;
    CWizardDlg& d = w.m_dlg;
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
    CSettingsPage& page = e.m_bStill ? static_cast<CSettingsPage&>(d.m_pageStillSettings) : d.m_pageAnimSettings;
    Show(e.m_bStill ? Page::StillSettings : Page::AnimSettings);
    if (e.m_nSizeMode != 0)
        Click(page, IDC_RADIO_SECOND);
    for (const auto& [nID, pszText] : {std::pair{IDC_WIDTH, e.m_pszWidth}, {IDC_HEIGHT, e.m_pszHeight},
                                       {IDC_FPS, e.m_pszFps}, {IDC_FRAME_COUNT, e.m_pszFrames}})
        if (pszText)
            Type(page, nID, pszText);
    if (e.m_nSizeMode == 2)
        Click(page, IDC_RADIO_FIRST);
    // Size mode, width and frame count (100 when left as shown) after the read.
    const auto read = [&] { return std::array{page.m_nSizeMode, page.m_nWidth, e.m_bStill ? 100 : d.m_pageAnimSettings.m_nFrameCount}; };
    const std::array expected{int(e.m_nSizeMode == 1), e.m_pszWidth ? atoi(e.m_pszWidth) : read()[1], e.m_pszFrames ? atoi(e.m_pszFrames) : 100};
    EXPECT_EQ(page.UpdateData(true), e.m_pszMessage == nullptr);
    // The size radios enable the edits only for a custom size.
    EXPECT_EQ(std::pair(page.Item(IDC_WIDTH)->isEnabled(), page.Item(IDC_HEIGHT)->isEnabled()),
              std::pair(e.m_nSizeMode == 1, e.m_nSizeMode == 1));
    if (!e.m_pszMessage) {
        EXPECT_EQ(std::pair(read(), w.Boxes().size()), std::pair(expected, std::size_t{0}));
    } else {
        EXPECT_EQ(w.Boxes(), std::vector{WizardHarness::Box("test_pages", "! ok", e.m_pszMessage)});
        QLineEdit* pField = Edit(page, e.m_nFocus);
        EXPECT_TRUE((!pField->isEnabled() || QApplication::focusWidget() == pField) && pField->selectedText() == pField->text());
    }
    if (e.m_pszPreview) {
        Open(page);
        const auto shown = [&] { return std::pair(d.m_wndPreview.GetSizeText(), d.m_wndPreview.GetPicture().isNull()); };
        EXPECT_EQ(shown(), std::pair(QString(e.m_pszPreview), e.m_pszPreview == std::string(kRefused)));
        // The size follows the fields while the window is open.
        Click(page, IDC_RADIO_SECOND);
        Type(page, IDC_WIDTH, "40");
        Type(page, IDC_HEIGHT, "24");
        EXPECT_EQ(shown(), std::pair(QString("40 × 24 pixelů"), false));
        // Pictures of 4:3 kept in shape on 5:3 leave black bars at the sides.
        Click(page, IDC_KEEP_ASPECT);
        EXPECT_EQ(d.m_wndPreview.GetPicture().pixel(0, d.m_wndPreview.GetPicture().height() / 2) & 0xFFFFFF, 0u);
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
    Show(Page::Source);
    w.m_files.answers = {"/obr/les.jpg", "", "/obr/moře.bmp"};
    for (const int nID : {IDC_BROWSE, IDC_BROWSE, IDC_BROWSE_SECOND})  // The second is cancelled: the path stays.
        Click(d.m_pageSource, nID);
    EXPECT_EQ(Text(d.m_pageSource, IDC_PATH) + "|" + Text(d.m_pageSource, IDC_SECOND_PATH), "/obr/les.jpg|/obr/moře.bmp");
    // The filters as "description|patterns|...".
    const auto filters = [](const FileChooserRequest& r) {
        QStringList parts;
        for (const FileFilter& filter : r.filters)
            parts << filter.strDescription << filter.patterns.join(';');
        return parts.join('|');
    };
    for (const FileChooserRequest& r : w.m_files.requests)
        EXPECT_EQ(std::tuple(r.bOpen, filters(r), r.pOwner),
                  std::tuple(true, QString("Obrázky|*.gif;*.jpeg;*.jpg;*.bmp;*.png;*.webp;*.tif;*.tiff;*.heic;*.heif;*.avif;*.wmf;*.ico;*.cur"),
                             static_cast<QWidget*>(&d)));

    // The save choosers open on "plavex", not on the current path, ask before
    // replacing a file, add their extension to a bare name (a dot in a folder
    // is no extension) but not to a named one, and show a long path's start.
    // The animation's offers MP4 after AVI.
    for (const auto& [page, pszExt, pszFilter] : {std::tuple{Page::AnimSettings, "avi", "Avi soubory (*.avi)|*.avi|Video MP4 (*.mp4)|*.mp4"},
                                                   std::tuple{Page::StillSettings, "bmp", "Obrázky BMP (*.bmp)|*.bmp|Obrázky PNG (*.png)|*.png|"
                                                              "Obrázky JPEG (*.jpg *.jpeg)|*.jpg;*.jpeg|Obrázky WebP (*.webp)|*.webp|Obrázky TIFF (*.tif *.tiff)|*.tif;*.tiff"}}) {
        const CTemplatePage& settings = d.PageWidget(page);
        Show(page);
        const QString strLong = "/video.v2/" + QString(300, 'a') + "/přechod";
        w.m_files.answers = {strLong, "", "/video/klip.AVI"};
        Click(settings, IDC_BROWSE);
        Click(settings, IDC_BROWSE);
        EXPECT_EQ(std::pair(Text(settings, IDC_PATH), Edit(settings, IDC_PATH)->cursorPosition()), std::pair(strLong + "." + pszExt, 0));
        const FileChooserRequest& r = w.m_files.requests.back();
        EXPECT_EQ(std::tuple(r.bOpen, r.strDefaultSuffix, r.strInitialName, r.bConfirmOverwrite, filters(r)),
                  std::tuple(false, QString(pszExt), QString("plavex"), true, QString(pszFilter)));
        Click(settings, IDC_BROWSE);
        EXPECT_EQ(Text(settings, IDC_PATH), "/video/klip.AVI");
    }
}

TEST_F(PageTest, SliderKeysMoveTheRatioAndItsLabel)
{
    // The slider's label reads first:second. Arrows move by 1, pages by a fifth,
    // Home and End go to the ends; a position set in code shows too.
    CStillSettingsPage& still = d.m_pageStillSettings;
    EXPECT_EQ(Text(still, IDC_RATIO_LABEL), "50:50");
    still.m_ctlRatio->setFocus();
    for (const auto& [nKey, pszLabel] : {std::pair{Qt::Key_Right, "49:51"}, {Qt::Key_PageUp, "29:71"}, {Qt::Key_PageDown, "49:51"},
                                         {Qt::Key_End, "0:100"}, {Qt::Key_Home, "100:0"}, {Qt::Key_Right, "99:1"}}) {
        Key(nKey);
        EXPECT_EQ(Text(still, IDC_RATIO_LABEL), pszLabel) << nKey;
    }
    // The member follows at the next read; showing the members again leaves the slider.
    ASSERT_TRUE(still.UpdateData(true));
    still.UpdateData(false);
    EXPECT_EQ(std::pair(still.m_strRatio, still.m_ctlRatio->value()), std::pair(QString("99:1"), 1));
    still.m_ctlRatio->setValue(30);
    EXPECT_EQ(Text(still, IDC_RATIO_LABEL), "70:30");
}

TEST_F(PageTest, EveryControlSitsWhereItsTemplateSaysWithItsTextWholeAndKeysStayInThePage)
{
    const int nLine = d.Items().Units().MapY(173);
    for (int i = -1; i < 8; ++i) {
        QWidget* pHost = i < 0 ? static_cast<QWidget*>(&d) : &d.PageWidget(static_cast<Page>(i));
        const DialogTemplate& tmpl = i < 0 ? d.Items().Template() : d.PageWidget(static_cast<Page>(i)).Items().Template();
        SCOPED_TRACE(tmpl.nID);
        if (i >= 0) {
            Show(static_cast<Page>(i));
            // Every page sits at the top left, above the frame's dividing line.
            const QRect r = pHost->geometry();
            EXPECT_TRUE(r.topLeft() == QPoint(0, 0) && r.bottom() <= nLine && r.right() <= d.width());
        }
        // Controls come in template order, in the template's font, each at its
        // place in dialog units, disabled where the template says; every text fits.
        const QFont font = DialogUnits::ResolveFont(tmpl.fontFace, tmpl.pointSize);
        const DialogUnits units = DialogUnits::FromFont(font);
        EXPECT_EQ(std::tuple(pHost->font(), pHost->windowTitle(), pHost->size()),
                  std::tuple(font, QString(tmpl.caption ? tmpl.caption : ""), QSize(units.MapX(tmpl.cx), units.MapY(tmpl.cy))));
        const QList<QWidget*> controls = pHost->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        ASSERT_GE(controls.size(), static_cast<qsizetype>(tmpl.items.size()));  // the frame's pages follow its controls
        for (std::size_t j = 0; j < tmpl.items.size(); ++j) {
            QWidget* pControl = controls[static_cast<qsizetype>(j)];
            const DialogItem& item = tmpl.items[j];
            const bool bLabel = qobject_cast<QLabel*>(pControl), bPush = qobject_cast<QPushButton*>(pControl);
            const bool bBox = qobject_cast<QGroupBox*>(pControl), bCheck = qobject_cast<QAbstractButton*>(pControl) && !bPush;
            // Only a one-line text widens its label, check box or radio button.
            QRect expected = units.Map(item.x, item.y, item.cx, item.cy);
            if (pControl->width() > expected.width() && (bLabel || bCheck))
                expected.setWidth(pControl->width());
            EXPECT_EQ(std::pair(pControl->geometry(), pControl->font()), std::pair(expected, font)) << item.nID;
            EXPECT_TRUE((!(item.flags & kDisabled) || !pControl->isEnabled()) && pHost->rect().contains(pControl->geometry())) << item.nID;
            const QString strText = QString::fromUtf8(item.text);
            const QFontMetrics fm(font);
            if (bLabel && (strText.contains('\n') || pControl->height() >= 2 * fm.height())) {
                EXPECT_LE(fm.boundingRect(QRect(0, 0, pControl->width(), 10000), Qt::TextWordWrap, strText).height(), pControl->height());
            } else if (!strText.isEmpty() && (bLabel || bPush || bBox || bCheck)) {
                EXPECT_LE(bCheck ? pControl->sizeHint().width() : fm.horizontalAdvance(strText) + (bBox ? 4 : bPush ? 2 : 0) * fm.averageCharWidth(),
                          pControl->width()) << strText.toStdString();
            }
        }
        if (i < 0)
            continue;
        // Enter and Escape on the first control that takes the focus, else on the page.
        QWidget* pTarget = pHost;
        for (QWidget* pControl : controls)
            if (pControl->isEnabled() && pControl->focusPolicy() != Qt::NoFocus && !qobject_cast<QAbstractButton*>(pControl)) {
                pTarget = pControl;
                break;
            }
        pTarget->setFocus();
        for (const auto& [nKey, modifiers] : {std::pair{Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier},
                                              {Qt::Key_Escape, Qt::NoModifier}}) {
            QKeyEvent key(QEvent::KeyPress, nKey, modifiers);
            QApplication::sendEvent(pTarget, &key);
            EXPECT_TRUE(key.isAccepted() && pHost->isVisible()) << nKey;  // the key stops in the page
        }
    }
    EXPECT_TRUE(d.isVisible() && w.Boxes().empty());
}

TEST_F(PageTest, WelcomePagePaintsARedTitleOverItsBlackShadow)
{
    const QImage image = d.m_pageWelcome.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRect red, black;   // the black is looked for above the greeting only
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb c = image.pixel(x, y); c == qRgb(255, 0, 0) || (c == qRgb(0, 0, 0) && y < 60))
                (c == qRgb(255, 0, 0) ? red : black) |= QRect(x, y, 1, 1);
    // The title's point is its top-left corner; the shadow sits 2 px right and
    // down; the title is 36 points tall; the greeting stays clear of it.
    EXPECT_TRUE(red.left() >= 148 && red.left() < 158 && red.top() >= 13 && red.top() < 33) << red.left() << "," << red.top();
    EXPECT_EQ(black.bottomRight(), red.bottomRight() + QPoint(2, 2));
    EXPECT_TRUE(red.height() > 30 && d.m_pageWelcome.Item(IDC_STATIC)->geometry().top() > red.bottom()) << red.height();
}

TEST_F(PageTest, StillFollowsTheSliderAsItMoves)
{
    Show(Page::StillSettings);
    Open(d.m_pageStillSettings);
    // Red blended into blue channel by channel, with the render's weights.
    for (const int nPos : {50, 0, 30, 100}) {
        d.m_pageStillSettings.m_ctlRatio->setValue(nPos);
        const double dWeight = StillWeight(nPos);
        EXPECT_EQ(Middle(), qRgb(BlendChannel(255, 0, dWeight), 0, BlendChannel(0, 255, dWeight)) & 0xFFFFFF) << nPos;
    }
    // The picture keeps the output's shape, 720 × 540.
    EXPECT_NEAR(double(d.m_wndPreview.GetPicture().width()) / d.m_wndPreview.GetPicture().height(), 720.0 / 540.0, 0.02);
}

TEST_F(PageTest, FileThatIsNoPictureIsToldWhereAPictureShowsItsThumbnail)
{
    Show(Page::Source);
    w.m_files.answers = {m_dir.filePath("first.bmp"), m_dir.filePath("notes.jpg")};
    Click(d.m_pageSource, IDC_BROWSE);
    Click(d.m_pageSource, IDC_BROWSE_SECOND);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return Text(d.m_pageSource, IDC_FIRST_REASON).isEmpty() && Text(d.m_pageSource, IDC_SECOND_REASON) != "Načítám obrázek…";
    }));
    const QImage first = Thumb(IDC_FIRST_THUMB).toImage();
    EXPECT_EQ(first.isNull() ? 0 : first.pixel(first.width() / 2, first.height() / 2) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(std::pair(Thumb(IDC_SECOND_THUMB).isNull(), Text(d.m_pageSource, IDC_SECOND_REASON)), std::pair(true, QString(kNoPicture)));
    // A path taken away takes its thumbnail with it.
    d.m_pageSource.m_strFirstPath = "";
    d.m_pageSource.UpdateData(false);
    EXPECT_TRUE(Thumb(IDC_FIRST_THUMB).isNull());

    // The preview tells it as the render tells it.
    d.m_wndPreview.SetSources(m_dir.filePath("first.bmp"), m_dir.filePath("notes.jpg"));
    Show(Page::StillSettings);
    Open(d.m_pageStillSettings, false);
    EXPECT_EQ(std::tuple(d.m_wndPreview.GetStateText(), d.m_wndPreview.GetPicture().isNull(), d.m_wndPreview.GetSizeText()),
              std::tuple("Obrázek se nepodařilo načíst!\nnotes.jpg: " + QString(kNoPicture), true, QString()));
}

// Behaviours that a change elsewhere can break quietly, one row each.
struct Keeps {
    const char* m_pszName;
    std::function<void(PageTest&)> m_check;
};

class PageKeepsTest : public PageTest, public testing::WithParamInterface<Keeps> {};

TEST_P(PageKeepsTest, Keeps) { GetParam().m_check(*this); }

const Keeps kKeeps[] = {
    // Set through the page's values or by a click, both ways round; the
    // arrows then move the check within the group as a click would, and the
    // handler runs.
    {"TabLandsOnTheCheckedRadioButton", [](PageTest& t) {
         for (const auto& [page, nIDBefore] : {std::pair{Page::Source, IDC_BROWSE_SECOND}, {Page::StillSettings, IDC_BROWSE}}) {
             CTemplatePage& p = t.d.PageWidget(page);
             t.Show(page);
             for (const int nMode : {1, 0, 1}) {
                 if (page == Page::Source) {
                     t.d.m_pageSource.m_nMode = nMode;
                     t.d.m_pageSource.UpdateData(false);
                 } else {
                     PageTest::Click(p, nMode == 0 ? IDC_RADIO_FIRST : IDC_RADIO_SECOND);
                 }
                 p.Item(nIDBefore)->setFocus();
                 PageTest::Key(Qt::Key_Tab);
                 EXPECT_EQ(QApplication::focusWidget(), p.Item(nMode == 0 ? IDC_RADIO_FIRST : IDC_RADIO_SECOND)) << nMode;
             }
             PageTest::Key(Qt::Key_Up);
             EXPECT_EQ(std::pair(QApplication::focusWidget(), PageTest::Checked(p, IDC_RADIO_FIRST)), std::pair(p.Item(IDC_RADIO_FIRST), true));
             PageTest::Key(Qt::Key_Down);
             EXPECT_EQ(std::pair(PageTest::Checked(p, IDC_RADIO_SECOND), page == Page::Source || p.Item(IDC_WIDTH)->isEnabled()),
                       std::pair(true, true));
         }
     }},
    // Three frames at 20 per second; paused on the middle one, it stays there.
    {"PausedDissolveKeepsItsFrame", [](PageTest& t) {
         t.Show(Page::AnimSettings);
         PageTest::Type(t.d.m_pageAnimSettings, IDC_FRAME_COUNT, "3");
         PageTest::Type(t.d.m_pageAnimSettings, IDC_FPS, "20");
         t.Open(t.d.m_pageAnimSettings);
         const QRgb middle = qRgb(127, 0, 127) & 0xFFFFFF;
         auto* pPlay = t.d.m_wndPreview.GetWidget()->findChild<QPushButton*>();
         ASSERT_TRUE(pPlay && pPlay->text() == "Pozastavit");
         ASSERT_TRUE(QTest::qWaitFor([&] { return t.Middle() == middle; }, 2000));
         pPlay->click();
         EXPECT_EQ(std::pair(pPlay->text(), t.Middle()), std::pair(QString("Přehrát"), middle));
         QTest::qWait(300);
         EXPECT_EQ(t.Middle(), middle);
         // Playing again leaves the middle frame in its own time.
         pPlay->click();
         EXPECT_TRUE(QTest::qWaitFor([&] { return t.Middle() != middle; }, 2000));
     }},
    // A picture twice as wide as high is drawn twice as wide as high, as wide as its box.
    {"ThumbnailKeepsItsPicturesShape", [](PageTest& t) {
         t.Show(Page::Source);
         t.w.m_files.answers = {t.Solid("wide.bmp", 64, 32, qRgb(255, 0, 0))};
         PageTest::Click(t.d.m_pageSource, IDC_BROWSE);
         ASSERT_TRUE(QTest::qWaitFor([&] { return !t.Thumb(IDC_FIRST_THUMB).isNull(); }));
         const QSizeF size = t.Thumb(IDC_FIRST_THUMB).deviceIndependentSize();
         EXPECT_EQ(std::pair(qRound(size.width() / size.height() * 10), qRound(size.width())),
                   std::pair(20, t.d.m_pageSource.Item(IDC_FIRST_THUMB)->width()));
     }},
};
INSTANTIATE_TEST_SUITE_P(Rows, PageKeepsTest, testing::ValuesIn(kKeeps),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

} // namespace
