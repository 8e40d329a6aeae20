// The eight pages and the preview on real widgets: a field read in the wrong
// order or range, a wrong text or focus after a failed read, choosers asked
// for the wrong files, keys that leave a page or miss a radio group's checked
// button, a control off its place in dialog units or in another font, a text
// clipped by its control, a page that overlaps the frame's buttons, the
// welcome title painted out of place, a preview size that disagrees with the
// render, a preview that does not follow the slider or jumps when paused,
// and a thumbnail out of shape or shown for a file that is no picture.

#include <array>
#include <functional>

#include <gtest/gtest.h>

// Qt
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

// Local
#include "engine/Blend.h"
#include "pages/CAnimSettingsPage.h"
#include "pages/CDonePage.h"
#include "pages/CPictureCache.h"
#include "pages/CPreviewWnd.h"
#include "pages/CProgressPage.h"
#include "pages/CSourcePage.h"
#include "pages/CStillSettingsPage.h"
#include "pages/CWelcomePage.h"
#include "platform/ui/CTemplateDialog.h"
#include "res/resource.h"
#include "tests/platform/support/TestServices.h"

namespace {

// The eight pages inside a bare frame built from the wizard's frame
// template, with the modal services replaced. The preview shows a red
// 640 × 480 and a blue 800 × 600 picture, saved as BMP so that they load
// exactly; beside them lies a file that is no picture.
class PageTest : public ::testing::Test {
public:
    void SetUp() override
    {
        for (CTemplatePage* pPage : m_pages)
            pPage->hide();
        frame.show();
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        ASSERT_TRUE(m_dir.isValid());
        QFile bad(m_dir.filePath("notes.jpg"));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly) && bad.write("not a picture at all") > 0);
        preview.Init(&frame, &pictures);
        preview.SetSources(Solid("first.bmp", 640, 480, qRgb(255, 0, 0)), Solid("second.bmp", 800, 600, qRgb(0, 0, 255)));
        preview.Follow(anim);
        preview.Follow(still);
    }
    static QLineEdit* Edit(const CTemplatePage& page, int nID) { return qobject_cast<QLineEdit*>(page.Item(nID)); }
    static QString Text(const CTemplatePage& page, int nID)
    {
        QWidget* pItem = page.Item(nID);
        return qobject_cast<QLineEdit*>(pItem) ? Edit(page, nID)->text() : qobject_cast<QLabel*>(pItem)->text();
    }
    static bool Checked(const CTemplatePage& page, int nID)
    {
        return qobject_cast<QAbstractButton*>(page.Item(nID))->isChecked();
    }
    static void Click(const CTemplatePage& page, int nID) { QTest::mouseClick(page.Item(nID), Qt::LeftButton); }
    // Replaces an edit's text key by key, as the user would.
    static void Type(const CTemplatePage& page, int nID, const char* pszText)
    {
        QLineEdit* pEdit = Edit(page, nID);
        pEdit->selectAll();
        pEdit->setFocus();
        QTest::keyClick(pEdit, Qt::Key_Delete);
        QTest::keyClicks(pEdit, QString::fromUtf8(pszText));
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
        ASSERT_TRUE(preview.IsOpen());
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return bLoaded ? preview.GetStateText().isEmpty() : preview.GetStateText() != "Načítám obrázky…";
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
    CTemplateDialog frame{IDD_WIZARD};
    CWelcomePage welcome{&frame};
    CSourcePage source{&frame};
    CAnimSettingsPage anim{&frame};
    CProgressPage animProgress{IDD_ANIM_PROGRESS, &frame};
    CDonePage animDone{IDD_ANIM_DONE, &frame};
    CStillSettingsPage still{&frame};
    CProgressPage stillProgress{IDD_STILL_PROGRESS, &frame};
    CDonePage stillDone{IDD_STILL_DONE, &frame};
    const std::array<CTemplatePage*, 8> m_pages{&welcome, &source,        &anim,         &animProgress,
                                                &animDone, &still,        &stillProgress, &stillDone};
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
    CSettingsPage& page = e.m_bStill ? static_cast<CSettingsPage&>(still) : anim;
    page.show();
    if (e.m_nSizeMode != 0)
        Click(page, IDC_RADIO_SECOND);
    for (const auto& [nID, pszText] : {std::pair{IDC_WIDTH, e.m_pszWidth}, {IDC_HEIGHT, e.m_pszHeight},
                                       {IDC_FPS, e.m_pszFps}, {IDC_FRAME_COUNT, e.m_pszFrames}})
        if (pszText)
            Type(page, nID, pszText);
    if (e.m_nSizeMode == 2)
        Click(page, IDC_RADIO_FIRST);
    // Size mode, width and frame count (100 when left as shown) after the read.
    const auto read = [&] { return std::array{page.m_nSizeMode, page.m_nWidth, e.m_bStill ? 100 : anim.m_nFrameCount}; };
    const std::array expected{int(e.m_nSizeMode == 1), e.m_pszWidth ? atoi(e.m_pszWidth) : read()[1],
                              e.m_pszFrames ? atoi(e.m_pszFrames) : 100};
    EXPECT_EQ(page.UpdateData(true), e.m_pszMessage == nullptr);
    // The size radios enable the edits only for a custom size.
    EXPECT_EQ(std::pair(page.Item(IDC_WIDTH)->isEnabled(), page.Item(IDC_HEIGHT)->isEnabled()),
              std::pair(e.m_nSizeMode == 1, e.m_nSizeMode == 1));
    ASSERT_EQ(boxes.calls.size(), e.m_pszMessage ? 1u : 0u);
    if (!e.m_pszMessage) {
        EXPECT_EQ(read(), expected);
    } else {
        EXPECT_EQ(std::pair(boxes.calls[0].strText, boxes.calls[0].icon), std::pair(QString(e.m_pszMessage), QMessageBox::Warning));
        QLineEdit* pField = Edit(page, e.m_nFocus);
        EXPECT_TRUE(!pField->isEnabled() || QApplication::focusWidget() == pField);
        EXPECT_EQ(pField->selectedText(), pField->text());
    }
    if (e.m_pszPreview) {
        Open(page);
        EXPECT_EQ(std::pair(preview.GetSizeText(), preview.GetPicture().isNull()),
                  std::pair(QString(e.m_pszPreview), e.m_pszPreview == std::string(kRefused)));
        // The size follows the fields while the window is open.
        Click(page, IDC_RADIO_SECOND);
        Type(page, IDC_WIDTH, "40");
        Type(page, IDC_HEIGHT, "24");
        EXPECT_EQ(std::pair(preview.GetSizeText(), preview.GetPicture().isNull()), std::pair(QString("40 × 24 pixelů"), false));
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
    source.show();
    chooser.answers = {"/obr/les.jpg", "", "/obr/moře.bmp"};
    Click(source, IDC_BROWSE);
    Click(source, IDC_BROWSE);  // Cancelled: the path stays.
    Click(source, IDC_BROWSE_SECOND);
    EXPECT_EQ(Text(source, IDC_PATH) + "|" + Text(source, IDC_SECOND_PATH), "/obr/les.jpg|/obr/moře.bmp");
    for (const FileChooserRequest& r : chooser.requests) {
        EXPECT_EQ(std::tuple(r.bOpen, r.filters.size(), r.filters.at(0).strDescription, r.pOwner),
                  std::tuple(true, 1u, QString("Obrázky"), static_cast<QWidget*>(&frame)));
        EXPECT_EQ(r.filters[0].patterns.join(';'), "*.gif;*.jpeg;*.jpg;*.bmp;*.png;*.webp;*.tif;*.tiff;*.heic;*.heif;*.avif;*.wmf;*.ico;*.cur");
    }

    // The save choosers open on "plavex", not on the current path, ask before
    // replacing a file, add their extension to a bare name (a dot in a folder
    // is no extension) but not to a named one, and show a long path's start.
    for (const auto& [pPage, pszExt, pszFilter] : {std::tuple<CSettingsPage*, const char*, const char*>{&anim, "avi", "Avi soubory (*.avi)"},
                                                    {&still, "bmp", "Obrázky BMP (*.bmp)"}}) {
        pPage->show();
        const QString strLong = "/video.v2/" + QString(300, 'a') + "/přechod";
        chooser.answers = {strLong, "", "/video/klip.AVI"};
        Click(*pPage, IDC_BROWSE);
        Click(*pPage, IDC_BROWSE);
        EXPECT_EQ(std::pair(Text(*pPage, IDC_PATH), Edit(*pPage, IDC_PATH)->cursorPosition()), std::pair(strLong + "." + pszExt, 0));
        const FileChooserRequest& r = chooser.requests.back();
        EXPECT_EQ(std::tuple(r.bOpen, r.strDefaultSuffix, r.strInitialName, r.bConfirmOverwrite, r.filters.at(0).strDescription),
                  std::tuple(false, QString(pszExt), QString("plavex"), true, QString(pszFilter)));
        EXPECT_EQ(r.filters.at(0).patterns, QStringList{QString("*.") + pszExt});
        Click(*pPage, IDC_BROWSE);
        EXPECT_EQ(Text(*pPage, IDC_PATH), "/video/klip.AVI");
    }
}

TEST_F(PageTest, ArrowsChooseWithinARadioGroupAndTheSliderKeysMoveTheRatio)
{
    const auto key = [](Qt::Key nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), nKey, modifiers);
    };
    for (CTemplatePage* pPage : {static_cast<CTemplatePage*>(&source), static_cast<CTemplatePage*>(&still)}) {
        pPage->show();
        pPage->Item(IDC_RADIO_FIRST)->setFocus();
        key(Qt::Key_Down);  // Moves and chooses, as a click would, and the handler runs.
        EXPECT_EQ(std::tuple(QApplication::focusWidget(), Checked(*pPage, IDC_RADIO_SECOND), Checked(*pPage, IDC_RADIO_FIRST),
                             pPage == &source || still.Item(IDC_WIDTH)->isEnabled()),
                  std::tuple(pPage->Item(IDC_RADIO_SECOND), true, false, true));
        key(Qt::Key_Up);
        EXPECT_TRUE(Checked(*pPage, IDC_RADIO_FIRST));
    }
    // The slider's label reads first:second. Arrows move by 1, pages by a fifth,
    // Home and End go to the ends; a position set in code shows too.
    EXPECT_EQ(Text(still, IDC_RATIO_LABEL), "50:50");
    still.m_ctlRatio->setFocus();
    for (const auto& [nKey, pszLabel] : {std::pair{Qt::Key_Right, "49:51"}, {Qt::Key_PageUp, "29:71"},
                                         {Qt::Key_PageDown, "49:51"}, {Qt::Key_End, "0:100"},
                                         {Qt::Key_Home, "100:0"}, {Qt::Key_Right, "99:1"}}) {
        key(nKey);
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
    const int nLine = frame.Items().Units().MapY(173);
    std::vector<QWidget*> hosts{&frame};
    hosts.insert(hosts.end(), m_pages.begin(), m_pages.end());
    for (QWidget* pHost : hosts) {
        const DialogItems& items = pHost == &frame ? frame.Items() : static_cast<CTemplatePage*>(pHost)->Items();
        const DialogTemplate& tmpl = items.Template();
        if (pHost != &frame) {
            pHost->show();
            // Every page sits at the top left, above the frame's dividing line.
            const QRect r = pHost->geometry();
            EXPECT_TRUE(r.topLeft() == QPoint(0, 0) && r.bottom() <= nLine && r.right() <= frame.width()) << tmpl.nID;
        }
        // Controls come in template order, in the template's font, each at its
        // place in dialog units, disabled where the template says; every text fits.
        const QFont font = DialogUnits::ResolveFont(tmpl.fontFace, tmpl.pointSize);
        EXPECT_EQ(std::pair(pHost->font(), pHost->windowTitle()), std::pair(font, QString(tmpl.caption ? tmpl.caption : "")));
        const DialogUnits units = DialogUnits::FromFont(font);
        EXPECT_EQ(pHost->size(), QSize(units.MapX(tmpl.cx), units.MapY(tmpl.cy)));
        QList<QWidget*> controls = pHost->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        if (pHost == &frame)
            controls.resize(static_cast<qsizetype>(tmpl.items.size()));  // the pages follow
        ASSERT_EQ(controls.size(), static_cast<qsizetype>(tmpl.items.size())) << tmpl.nID;
        for (std::size_t i = 0; i < tmpl.items.size(); ++i) {
            QWidget* w = controls[static_cast<qsizetype>(i)];
            const DialogItem& item = tmpl.items[i];
            const bool bLabel = qobject_cast<QLabel*>(w), bPush = qobject_cast<QPushButton*>(w);
            const bool bBox = qobject_cast<QGroupBox*>(w), bCheck = qobject_cast<QAbstractButton*>(w) && !bPush;
            // Only a one-line text widens its label, check box or radio button.
            QRect expected = units.Map(item.x, item.y, item.cx, item.cy);
            if (w->width() > expected.width() && (bLabel || bCheck))
                expected.setWidth(w->width());
            EXPECT_EQ(std::pair(w->geometry(), w->font()), std::pair(expected, font)) << tmpl.nID << ": " << item.nID;
            EXPECT_TRUE(!(item.flags & kDisabled) || !w->isEnabled()) << tmpl.nID << ": " << item.nID;
            const QString strText = QString::fromUtf8(item.text);
            if (strText.isEmpty() || !(bLabel || bPush || bBox || bCheck))
                continue;
            const QFontMetrics fm(w->font());
            const int nNeeded = bCheck ? w->sizeHint().width()
                                       : fm.horizontalAdvance(strText) + (bBox ? 4 : bPush ? 2 : 0) * fm.averageCharWidth();
            if (bLabel && (strText.contains('\n') || w->height() >= 2 * fm.height()))
                EXPECT_LE(fm.boundingRect(QRect(0, 0, w->width(), 10000), Qt::TextWordWrap, strText).height(), w->height()) << tmpl.nID;
            else
                EXPECT_LE(nNeeded, w->width()) << tmpl.nID << ": " << strText.toStdString();
            EXPECT_TRUE(pHost->rect().contains(w->geometry())) << tmpl.nID;
        }
        if (pHost == &frame)
            continue;
        // Enter and Escape on the first control that takes the focus, else on the page.
        QWidget* pTarget = pHost;
        for (QWidget* w : pHost->findChildren<QWidget*>())
            if (w->isEnabled() && w->focusPolicy() != Qt::NoFocus && !qobject_cast<QAbstractButton*>(w)) {
                pTarget = w;
                break;
            }
        pTarget->setFocus();
        QTest::keyClick(pTarget, Qt::Key_Return);
        QTest::keyClick(pTarget, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(pTarget, Qt::Key_Escape);
        EXPECT_TRUE(pHost->isVisible()) << tmpl.nID;
        pHost->hide();
    }
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(PageTest, WelcomePagePaintsARedTitleOverItsBlackShadow)
{
    welcome.show();
    const QImage image = welcome.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRect red, black;   // the black is looked for above the greeting only
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb c = image.pixel(x, y); c == qRgb(255, 0, 0) || (c == qRgb(0, 0, 0) && y < 60))
                (c == qRgb(255, 0, 0) ? red : black) |= QRect(x, y, 1, 1);
    // The title's point is its top-left corner; the shadow sits 2 px right and
    // down; the title is 36 points tall; the greeting stays clear of it.
    EXPECT_TRUE(red.left() >= 148 && red.left() < 158 && red.top() >= 13 && red.top() < 33) << red.left() << "," << red.top();
    EXPECT_EQ(black.bottomRight(), red.bottomRight() + QPoint(2, 2));
    EXPECT_TRUE(red.height() > 30 && welcome.Item(IDC_STATIC)->geometry().top() > red.bottom()) << red.height();
}

TEST_F(PageTest, StillFollowsTheSliderAsItMoves)
{
    still.show();
    Open(still);
    // Red blended into blue channel by channel, with the render's weights.
    for (const int nPos : {50, 0, 30, 100}) {
        still.m_ctlRatio->setValue(nPos);
        const double w = StillWeight(nPos);
        EXPECT_EQ(Middle(), qRgb(BlendChannel(255, 0, w), 0, BlendChannel(0, 255, w)) & 0xFFFFFF) << nPos;
    }
    // The picture keeps the output's shape, 720 × 540.
    EXPECT_NEAR(double(preview.GetPicture().width()) / preview.GetPicture().height(), 720.0 / 540.0, 0.02);
}

TEST_F(PageTest, FileThatIsNoPictureIsToldWhereAPictureShowsItsThumbnail)
{
    source.SetPictureCache(&pictures);
    source.show();
    chooser.answers = {m_dir.filePath("first.bmp"), m_dir.filePath("notes.jpg")};
    Click(source, IDC_BROWSE);
    Click(source, IDC_BROWSE_SECOND);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return Text(source, IDC_FIRST_REASON).isEmpty() && Text(source, IDC_SECOND_REASON) != "Načítám obrázek…";
    }));
    const auto thumb = [&](int nID) { return qobject_cast<QLabel*>(source.Item(nID))->pixmap(); };
    const QPixmap first = thumb(IDC_FIRST_THUMB);
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.toImage().pixel(first.width() / 2, first.height() / 2) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(std::pair(thumb(IDC_SECOND_THUMB).isNull(), Text(source, IDC_SECOND_REASON)), std::pair(true, QString(kNoPicture)));
    // A path taken away takes its thumbnail with it.
    source.m_strFirstPath = "";
    source.UpdateData(false);
    EXPECT_TRUE(thumb(IDC_FIRST_THUMB).isNull());

    // The preview tells it as the render tells it.
    preview.SetSources(m_dir.filePath("first.bmp"), m_dir.filePath("notes.jpg"));
    still.show();
    Open(still, false);
    EXPECT_EQ(std::tuple(preview.GetStateText(), preview.GetPicture().isNull(), preview.GetSizeText()),
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
    // Also when the check was set through the page's values, and both ways round.
    {"TabLandsOnTheCheckedRadioButton", [](PageTest& p) {
         p.source.show();
         for (const int nMode : {1, 0, 1}) {
             p.source.m_nMode = nMode;
             p.source.UpdateData(false);
             p.source.Item(IDC_BROWSE_SECOND)->setFocus();
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
             EXPECT_EQ(QApplication::focusWidget(), p.source.Item(nMode == 0 ? IDC_RADIO_FIRST : IDC_RADIO_SECOND)) << nMode;
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
             EXPECT_EQ(QApplication::focusWidget(), p.source.Item(IDC_BROWSE_SECOND)) << nMode;
         }
     }},
    // Three frames at 20 per second; paused on the middle one, it stays there.
    {"PausedDissolveKeepsItsFrame", [](PageTest& p) {
         p.anim.show();
         p.Type(p.anim, IDC_FRAME_COUNT, "3");
         p.Type(p.anim, IDC_FPS, "20");
         p.Open(p.anim);
         const QRgb middle = qRgb(127, 0, 127) & 0xFFFFFF;
         auto* pPlay = p.preview.GetWidget()->findChild<QPushButton*>();
         ASSERT_TRUE(pPlay && pPlay->text() == "Pozastavit");
         ASSERT_TRUE(QTest::qWaitFor([&] { return p.Middle() == middle; }, 2000));
         pPlay->click();
         EXPECT_EQ(std::pair(pPlay->text(), p.Middle()), std::pair(QString("Přehrát"), middle));
         QTest::qWait(300);
         EXPECT_EQ(p.Middle(), middle);
         // Playing again leaves the middle frame in its own time.
         pPlay->click();
         EXPECT_TRUE(QTest::qWaitFor([&] { return p.Middle() != middle; }, 2000));
     }},
    // A picture twice as wide as high is drawn twice as wide as high.
    {"ThumbnailKeepsItsPicturesShape", [](PageTest& p) {
         p.source.SetPictureCache(&p.pictures);
         p.source.show();
         p.chooser.answers = {p.Solid("wide.bmp", 64, 32, qRgb(255, 0, 0))};
         QTest::mouseClick(p.source.Item(IDC_BROWSE), Qt::LeftButton);
         const auto thumb = [&] { return qobject_cast<QLabel*>(p.source.Item(IDC_FIRST_THUMB))->pixmap(); };
         ASSERT_TRUE(QTest::qWaitFor([&] { return !thumb().isNull(); }));
         const QSizeF size = thumb().deviceIndependentSize();
         EXPECT_NEAR(size.width() / size.height(), 2.0, 0.1) << size.width() << " × " << size.height();
         EXPECT_EQ(size.width(), p.source.Item(IDC_FIRST_THUMB)->width());
     }},
};
INSTANTIATE_TEST_SUITE_P(Rows, PageKeepsTest, testing::ValuesIn(kKeeps),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

} // namespace
