// The eight pages and the preview on real widgets: a field read in the wrong
// order or range, a wrong text or focus after a failed read, choosers asked
// for the wrong files or opened in the wrong folder, keys that leave a page
// or miss a radio group's checked button, a control off its place in dialog
// units or in another font, a text clipped by its control, a page that
// overlaps the frame's buttons, a size shown or previewed otherwise than the render makes it, a preview off
// the screen or moving by itself, a preview frame unlike the render's or
// blind to the kept shape, a drop taken that the chooser would not offer, a
// thumbnail out of shape.

#include <array>
#include <functional>
#include <ranges>

#include <gtest/gtest.h>

// Qt
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

// Local
#include "engine/Blend.h"
#include "tests/app/WizardHarness.h"
#include "tests/support/TestKit.h"

namespace {

using Page = CWizardDlg::Page;

// The pages in the wizard's frame, one shown at a time, reached through the
// source page with a red 640 × 480 and a blue 800 × 600 picture, saved as BMP
// so that they load exactly; beside them lie files that are no pictures.
class PageTest : public ::testing::Test {
public:
    void SetUp() override
    {
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d) && WriteFile(Path("notes.jpg"), "not a picture") &&
                    WriteFile(Path("notes.txt"), "-"));
        w.ChooseSources(Solid("first.bmp", 640, 480, qRgb(255, 0, 0)), Solid("second.bmp", 800, 600, qRgb(0, 0, 255)), 0);
    }
    void Show(Page page)
    {
        for (int i = 0; i < 8; ++i)
            d.PageWidget(static_cast<Page>(i)).setVisible(static_cast<Page>(i) == page);
    }
    static QLineEdit* Edit(const CTemplatePage& page, int nID) { return qobject_cast<QLineEdit*>(page.Item(nID)); }
    static QString Text(const CTemplatePage& page, int nID) { return QString::fromStdString(WizardHarness::Text(page, nID)); }
    static void Click(const CTemplatePage& page, int nID) { QTest::mouseClick(page.Item(nID), Qt::LeftButton); }
    static void Key(Qt::Key nKey) { QTest::keyClick(QApplication::focusWidget(), nKey); }
    // Replaces an edit's text key by key, as the user would.
    static void Type(const CTemplatePage& page, int nID, const char* pszText)
    {
        Edit(page, nID)->selectAll();
        Edit(page, nID)->setFocus();
        Key(Qt::Key_Delete);
        QTest::keyClicks(Edit(page, nID), QString::fromUtf8(pszText));
    }
    std::string Path(const char* pszName) const { return m_dir.filePath(pszName).toStdString(); }
    // A picture of one colour.
    std::string Solid(const char* pszName, int nWidth, int nHeight, QRgb colour)
    {
        QImage image(nWidth, nHeight, QImage::Format_RGB32);
        image.fill(colour);
        image.save(m_dir.filePath(pszName), "BMP");
        return Path(pszName);
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
    // Red over blue as the render blends them at that weight, channel by channel.
    static QRgb Mixed(double dWeight) { return qRgb(BlendChannel(255, 0, dWeight), 0, BlendChannel(0, 255, dWeight)) & 0xFFFFFF; }
    QPixmap Thumb(int nID) const { return qobject_cast<QLabel*>(d.m_pageSource.Item(nID))->pixmap(); }

    QTemporaryDir m_dir;
    WizardHarness w;
    CWizardDlg& d = w.m_dlg;
};

const char* const kNotANumber = "Zadejte celé číslo.";
const char* const kOutOfRange = "Zadejte celé číslo od 1 do 1000000.";
constexpr const char* kNoPicture = "Soubor není obrázek ve známém formátu.";

// A settings page filled in: the fields typed (nullptr leaves the shown
// value); then either the values read or the message and the field focused.
struct Exchange {
    const char* m_pszName;
    bool m_bStill;
    int m_nSizeMode;  // 2: custom while typing, automatic when read.
    const char *m_pszWidth, *m_pszHeight, *m_pszFps = nullptr, *m_pszFrames = nullptr, *m_pszMessage = nullptr;
    int m_nFocus = 0;
};

class PageExchangeTest : public PageTest, public testing::WithParamInterface<Exchange> {};

TEST_P(PageExchangeTest, ReadsTheFieldsOrStopsAtTheFirstBadOne)
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
    // Size mode, width and frame count (100 when left as shown) after the
    // read. The size edits show the render's own size, 720, until a custom
    // width is typed.
    const auto read = [&] { return std::array{page.m_nSizeMode, page.m_nWidth, e.m_bStill ? 100 : d.m_pageAnimSettings.m_nFrameCount}; };
    const std::array expected{int(e.m_nSizeMode == 1), e.m_pszWidth && e.m_nSizeMode == 1 ? atoi(e.m_pszWidth) : 720,
                              e.m_pszFrames ? atoi(e.m_pszFrames) : 100};
    EXPECT_EQ(page.UpdateData(true), e.m_pszMessage == nullptr);
    // The size radios enable the edits only for a custom size.
    EXPECT_EQ(std::pair(page.Item(IDC_WIDTH)->isEnabled(), page.Item(IDC_HEIGHT)->isEnabled()),
              std::pair(e.m_nSizeMode == 1, e.m_nSizeMode == 1));
    if (!e.m_pszMessage) {
        EXPECT_EQ(std::pair(read(), w.m_boxes.shown.size()), std::pair(expected, std::size_t{0}));
    } else {
        EXPECT_EQ(w.m_boxes.shown, std::vector{CRecordingMessageBox::Box("test_pages", "! ok", e.m_pszMessage)});
        QLineEdit* pField = Edit(page, e.m_nFocus);
        EXPECT_TRUE((!pField->isEnabled() || QApplication::focusWidget() == pField) && pField->selectedText() == pField->text());
    }
}

// 640 × 480 and 800 × 600 average to 720 × 540. The size edits take digits
// only. The lower limit of a field is the frame's "Next with no frames". Both
// settings pages read the size through the same exchange.
const Exchange kExchanges[] = {
    {"AnimCustomStartsFromTheRendersSize", false, 1, nullptr, "480", "1", "1000000"},
    {"AnimEmptyFrameCount", false, 1, "320", nullptr, "30", "", kNotANumber, IDC_FRAME_COUNT},
    {"AnimRateAboveTheLimit", false, 0, nullptr, nullptr, "1000001", nullptr, kOutOfRange, IDC_FPS},
    {"AnimHeightBeforeWidth", false, 1, "0", "", nullptr, nullptr, kNotANumber, IDC_HEIGHT},
    {"AnimAutomaticShowsTheRendersSize", false, 2, "0", "5"},
    {"AnimCustomTypedDigitsOnly", false, 1, "719", "5-4a1"},
    {"AnimWidthBeyondTheRange", false, 1, "1000001", "4", nullptr, nullptr, kOutOfRange, IDC_WIDTH},
    {"StillCustomWidthZero", true, 1, "0", "8"},
};
INSTANTIATE_TEST_SUITE_P(Rows, PageExchangeTest, testing::ValuesIn(kExchanges),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

// Each kind of file has its folder, remembered in the settings, where its
// chooser opens; nothing else is kept there.
TEST_F(PageTest, ChoosersAskForTheirFilesInTheirLastFolderAndFillOnlyTheirEdit)
{
    Show(Page::Source);
    w.m_files.answers = {m_dir.filePath("les.jpg"), "", m_dir.filePath("moře.bmp")};
    for (const int nID : {IDC_BROWSE, IDC_BROWSE, IDC_BROWSE_SECOND})  // The second is cancelled: the path stays.
        Click(d.m_pageSource, nID);
    EXPECT_EQ(Text(d.m_pageSource, IDC_PATH) + "|" + Text(d.m_pageSource, IDC_SECOND_PATH), m_dir.filePath("les.jpg|") + m_dir.filePath("moře.bmp"));
    // The filters as "description|patterns|...".
    const auto filters = [](const FileChooserRequest& r) {
        QStringList parts;
        for (const FileFilter& filter : r.filters)
            parts << filter.strDescription << filter.patterns.join(';');
        return parts.join('|');
    };
    for (const FileChooserRequest& r : w.m_files.requests | std::views::drop(1))  // the first is the fixture's
        EXPECT_EQ(std::tuple(r.bOpen, filters(r), r.pOwner, r.strFolder),
                  std::tuple(true, QString("Obrázky|*.gif;*.jpeg;*.jpg;*.bmp;*.png;*.webp;*.tif;*.tiff;*.heic;*.heif;*.avif;*.wmf;*.ico;*.cur"),
                             static_cast<QWidget*>(&d), m_dir.path()));

    // The save choosers open on "plavex", not on the current path, ask before
    // replacing a file, add their extension to a bare name (a dot in a folder
    // is no extension) but not to a named one, and show a long path's start.
    // The animation's offers MP4 after AVI.
    for (const auto& [page, pszExt, pszFilter] : {std::tuple{Page::AnimSettings, "avi", "Avi soubory (*.avi)|*.avi|Video MP4 (*.mp4)|*.mp4"},
                                                   std::tuple{Page::StillSettings, "bmp", "Obrázky BMP (*.bmp)|*.bmp|Obrázky PNG (*.png)|*.png|"
                                                              "Obrázky JPEG (*.jpg *.jpeg)|*.jpg;*.jpeg|Obrázky WebP (*.webp)|*.webp|Obrázky TIFF (*.tif *.tiff)|*.tif;*.tiff"}}) {
        const CTemplatePage& settings = d.PageWidget(page);
        Show(page);
        const QString strLong = "/video.v2/" + QString(300, 'a') + "/přechod", strFolder = m_dir.filePath(pszExt);
        ASSERT_TRUE(QDir().mkpath(strFolder));
        w.m_files.answers = {strLong, "", strFolder + "/klip.AVI"};
        Click(settings, IDC_BROWSE);
        Click(settings, IDC_BROWSE);
        EXPECT_EQ(std::pair(Text(settings, IDC_PATH), Edit(settings, IDC_PATH)->cursorPosition()), std::pair(strLong + "." + pszExt, 0));
        const FileChooserRequest& r = w.m_files.requests.back();
        EXPECT_EQ(std::tuple(r.bOpen, r.strDefaultSuffix, r.strInitialName, r.bConfirmOverwrite, filters(r)),
                  std::tuple(false, QString(pszExt), QString("plavex"), true, QString(pszFilter)));
        Click(settings, IDC_BROWSE);
        Click(settings, IDC_BROWSE);
        EXPECT_EQ(std::pair(Text(settings, IDC_PATH), w.m_files.requests.back().strFolder), std::pair(strFolder + "/klip.AVI", strFolder));
    }
    EXPECT_EQ(QSettings("plavex", "plavex").allKeys(), QStringList({"folders/animation", "folders/pictures", "folders/still"}));
}

// Every page sits at the top left, above the frame's dividing line; every
// control lies inside its dialog, disabled where its template says, with its
// text whole: only a one-line text widens its label, check box or radio
// button. (The keys a page keeps are the frame's "Keys inside a page".)
TEST_F(PageTest, EveryControlShowsItsTextWhole)
{
    w.Prev();  // back on the welcome page, where the frame is as it starts
    w.Prev();
    const int nLine = d.Items().Units().MapY(173);
    for (int i = -1; i < 8; ++i) {
        QWidget* pHost = i < 0 ? static_cast<QWidget*>(&d) : &d.PageWidget(static_cast<Page>(i));
        const DialogTemplate& tmpl = i < 0 ? d.Items().Template() : d.PageWidget(static_cast<Page>(i)).Items().Template();
        SCOPED_TRACE(tmpl.nID);
        if (i >= 0) {
            Show(static_cast<Page>(i));
            const QRect r = pHost->geometry();
            EXPECT_TRUE(r.topLeft() == QPoint(0, 0) && r.bottom() <= nLine && r.right() <= d.width());
        }
        const QFontMetrics fm(pHost->font());
        const QList<QWidget*> controls = pHost->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        ASSERT_GE(controls.size(), static_cast<qsizetype>(tmpl.items.size()));  // the frame's pages follow its controls
        for (std::size_t j = 0; j < tmpl.items.size(); ++j) {
            QWidget* pControl = controls[static_cast<qsizetype>(j)];
            const DialogItem& item = tmpl.items[j];
            const bool bLabel = qobject_cast<QLabel*>(pControl), bPush = qobject_cast<QPushButton*>(pControl);
            const bool bBox = qobject_cast<QGroupBox*>(pControl), bCheck = qobject_cast<QAbstractButton*>(pControl) && !bPush;
            EXPECT_TRUE((!(item.flags & kDisabled) || !pControl->isEnabled()) && pHost->rect().contains(pControl->geometry())) << item.nID;
            EXPECT_TRUE(pControl->width() == d.Items().Units().MapX(item.cx) || ((bLabel || bCheck) && !QString(item.text).contains('\n'))) << item.nID;
            const QString strText = QString::fromUtf8(item.text);
            if (bLabel && (strText.contains('\n') || pControl->height() >= 2 * fm.height())) {
                EXPECT_LE(fm.boundingRect(QRect(0, 0, pControl->width(), 10000), Qt::TextWordWrap, strText).height(), pControl->height());
            } else if (!strText.isEmpty() && (bLabel || bPush || bBox || bCheck)) {
                EXPECT_LE(bCheck ? pControl->sizeHint().width() : fm.horizontalAdvance(strText) + (bBox ? 4 : bPush ? 2 : 0) * fm.averageCharWidth(),
                          pControl->width()) << strText.toStdString();
            }
        }
    }
}

// Files dropped on the source page one drop after another. One picture fills
// the first path while that is empty, else the second; two fill both;
// anything else is refused. Then the thumbnails follow as for a chosen file:
// a picture twice as wide as high is drawn so, as wide as its box, and a
// file that is no picture says so.
TEST_F(PageTest, DroppedPicturesFillThePathsAndThumbnailsAsIfChosen)
{
    Show(Page::Source);
    d.m_pageSource.Reset();
    Solid("wide.bmp", 64, 32, qRgb(255, 0, 0));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.jpg"));
    const std::pair<const char*, const char*> drops[] = {  // the names dropped, the paths shown then (null: refused)
        {"first.bmp", "first.bmp|"}, {"notes.txt", nullptr}, {"folder.jpg", nullptr}, {"https://example.com/a.jpg", nullptr},
        {"first.bmp first.bmp first.bmp", nullptr}, {"second.bmp", "first.bmp|second.bmp"}, {"first.bmp", "first.bmp|first.bmp"},
        {"wide.bmp notes.jpg", "wide.bmp|notes.jpg"},
    };
    QString strShown;
    for (const auto& [pszNames, pszShown] : drops) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& strName : QString(pszNames).split(' '))
            urls << (strName.contains(':') ? QUrl(strName) : QUrl::fromLocalFile(m_dir.filePath(strName)));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPoint(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&d.m_pageSource, &enter);
        QApplication::sendEvent(&d.m_pageSource, &drop);
        strShown = pszShown ? QString(pszShown) : strShown;
        EXPECT_EQ(std::pair(enter.isAccepted(), QFileInfo(Text(d.m_pageSource, IDC_PATH)).fileName() + "|" +
                                                    QFileInfo(Text(d.m_pageSource, IDC_SECOND_PATH)).fileName()),
                  std::pair(pszShown != nullptr, strShown)) << pszNames;
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Thumb(IDC_FIRST_THUMB).isNull() && Text(d.m_pageSource, IDC_SECOND_REASON) != "Načítám obrázek…"; }));
    const QImage first = Thumb(IDC_FIRST_THUMB).toImage();
    const QSizeF size = Thumb(IDC_FIRST_THUMB).deviceIndependentSize();
    EXPECT_EQ(std::tuple(first.pixel(first.width() / 2, first.height() / 2) & 0xFFFFFF, qRound(size.width() / size.height() * 10), qRound(size.width())),
              std::tuple(0xFF0000u, 20, d.m_pageSource.Item(IDC_FIRST_THUMB)->width()));
    EXPECT_EQ(std::pair(Thumb(IDC_SECOND_THUMB).isNull(), Text(d.m_pageSource, IDC_SECOND_REASON)), std::pair(true, QString(kNoPicture)));
    // The preview tells a failure as the render tells it.
    d.m_wndPreview.SetSources(m_dir.filePath("first.bmp"), m_dir.filePath("notes.jpg"));
    Show(Page::StillSettings);
    Open(d.m_pageStillSettings, false);
    EXPECT_EQ(std::tuple(d.m_wndPreview.GetStateText(), d.m_wndPreview.GetPicture().isNull(), d.m_wndPreview.GetSizeText()),
              std::tuple("Obrázek se nepodařilo načíst!\nnotes.jpg: " + QString(kNoPicture), true, QString()));
}

// The still's preview opens beside the wizard where the screen has room, else
// over it, always inside the screen's free area, and stays as it opened while
// the values change. It follows the slider, whose keys move by 1, by a fifth
// and to the ends, with the render's weights, red blended into blue channel
// by channel, in the output's shape; the label reads first:second. CTest runs
// this also on a 1366 × 768 screen at scale 1 and 2.
TEST_F(PageTest, StillPreviewOpensOnTheScreenAndFollowsTheValuesInPlace)
{
    const QRect screen = d.screen()->availableGeometry();
    CStillSettingsPage& page = d.m_pageStillSettings;
    Show(Page::StillSettings);
    EXPECT_EQ(Text(page, IDC_RATIO_LABEL), "50:50");
    // The wizard at the screen's left edge, then at its right edge.
    for (const int nX : {screen.left(), screen.right() + 1 - d.frameGeometry().width()}) {
        d.move(nX, screen.top());
        page.m_ctlRatio->setValue(50);
        Open(page);
        const QRect opened = d.m_wndPreview.GetWidget()->frameGeometry(), wizard = d.frameGeometry();
        const bool bRoom = opened.width() + 8 <= screen.width() - wizard.width();
        EXPECT_TRUE(screen.contains(opened) && (!bRoom || !opened.intersects(wizard))) << opened.x() << "," << opened.y();
        page.m_ctlRatio->setFocus();
        for (const auto& [nKey, pszLabel, nPos] : {std::tuple{Qt::Key_Right, "49:51", 51}, {Qt::Key_PageUp, "29:71", 71}, {Qt::Key_PageDown, "49:51", 51},
                                                   {Qt::Key_End, "0:100", 100}, {Qt::Key_Home, "100:0", 0}, {Qt::Key_Right, "99:1", 1}}) {
            Key(nKey);
            EXPECT_EQ(std::pair(Text(page, IDC_RATIO_LABEL), Middle()), std::pair(QString(pszLabel), Mixed(StillWeight(nPos)))) << nKey;
        }
        EXPECT_NEAR(double(d.m_wndPreview.GetPicture().width()) / d.m_wndPreview.GetPicture().height(), 720.0 / 540.0, 0.02);
        EXPECT_EQ(d.m_wndPreview.GetSizeText(), "720 × 540 pixelů");
        // A custom size rounds down to multiples of four; a missing side is refused.
        Click(page, IDC_RADIO_SECOND);
        Type(page, IDC_WIDTH, "");
        EXPECT_EQ(std::pair(d.m_wndPreview.GetSizeText(), d.m_wndPreview.GetPicture().isNull()), std::pair(QString("Zadaná velikost je příliš velká nebo neplatná!"), true));
        Type(page, IDC_WIDTH, "303");
        Type(page, IDC_HEIGHT, "902");
        EXPECT_EQ(std::pair(d.m_wndPreview.GetWidget()->frameGeometry(), d.m_wndPreview.GetSizeText()), std::pair(opened, QString("300 × 900 pixelů")));
        // Pictures of 4:3 kept in shape on 1:3 leave black bars above and below:
        // ticked at the left edge, unticked again at the right.
        Click(page, IDC_KEEP_ASPECT);
        EXPECT_EQ((d.m_wndPreview.GetPicture().pixel(d.m_wndPreview.GetPicture().width() / 2, 0) & 0xFFFFFF) == 0, nX == screen.left());
        Click(page, IDC_RADIO_FIRST);
        d.m_wndPreview.Close();
    }
    // The member follows at the next read; showing the members again leaves the slider.
    ASSERT_TRUE(page.UpdateData(true));
    page.UpdateData(false);
    EXPECT_EQ(std::pair(page.m_strRatio, page.m_ctlRatio->value()), std::pair(QString("99:1"), 1));
}

// The checked radio button is where Tab lands, both ways round; the arrows
// then move the check within the group as a click would, and the page's
// handler runs. Every page's group keeps its tab stop through the same code.
TEST_F(PageTest, TabLandsOnTheCheckedRadioButton)
{
    const CStillSettingsPage& p = d.m_pageStillSettings;
    Show(Page::StillSettings);
    for (const int nID : {IDC_RADIO_SECOND, IDC_RADIO_FIRST, IDC_RADIO_SECOND}) {
        Click(p, nID);
        p.Item(IDC_BROWSE)->setFocus();
        Key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), p.Item(nID)) << nID;
    }
    Key(Qt::Key_Up);
    EXPECT_TRUE(QApplication::focusWidget() == p.Item(IDC_RADIO_FIRST) && !p.Item(IDC_WIDTH)->isEnabled());
    Key(Qt::Key_Down);
    EXPECT_TRUE(WizardHarness::Button(p, IDC_RADIO_SECOND)->isChecked() && p.Item(IDC_WIDTH)->isEnabled());
}

// Five frames at 20 per second: the frame slider follows play; a pause keeps
// the frame shown, and a drag of the slider pauses on the frame dragged to,
// blended with the render's weight for that frame.
TEST_F(PageTest, FrameSliderFollowsPlayAndPausesWhereDragged)
{
    Show(Page::AnimSettings);
    Type(d.m_pageAnimSettings, IDC_FRAME_COUNT, "5");
    Type(d.m_pageAnimSettings, IDC_FPS, "20");
    Open(d.m_pageAnimSettings);
    auto* pPlay = d.m_wndPreview.GetWidget()->findChild<QPushButton*>();
    auto* pFrames = d.m_wndPreview.GetWidget()->findChild<QSlider*>();
    const auto shown = [&](int k) {
        return std::tuple(QString("Přehrát"), k, Mixed(FrameWeight(FrameStep(5), k))) == std::tuple(pPlay->text(), pFrames->value(), Middle());
    };
    ASSERT_TRUE(pPlay && pFrames && QTest::qWaitFor([&] { return pFrames->value() == 2; }, 2000));
    pPlay->click();
    EXPECT_TRUE(shown(2));
    pPlay->click();
    pFrames->setSliderPosition(3);
    QTest::qWait(300);
    EXPECT_TRUE(shown(3));
    // Playing again leaves that frame in its own time.
    pPlay->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shown(3); }, 2000));
}

} // namespace
