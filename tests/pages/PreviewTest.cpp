// The preview window and the source page's thumbnails on real widgets and
// real files: a size text that disagrees with the render, a picture that
// does not follow the slider, or a thumbnail shown for a file that cannot be
// loaded would each fail here.

#include <array>

// Qt
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

// Local
#include "engine/Blend.h"
#include "pages/CAnimSettingsPage.h"
#include "pages/CPictureCache.h"
#include "pages/CPreviewWnd.h"
#include "pages/CSourcePage.h"
#include "pages/CStillSettingsPage.h"
#include "tests/pages/PageFixture.h"

namespace {

constexpr const char* kRefused = "Zadaná velikost je příliš velká nebo neplatná!";

// A picture of one colour, saved as BMP so that it loads exactly.
std::string SolidPicture(const QTemporaryDir& dir, const char* pszName, int nWidth, int nHeight, QRgb colour)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    image.fill(colour);
    const QString strPath = dir.filePath(QString::fromUtf8(pszName));
    image.save(strPath, "BMP");
    return strPath.toStdString();
}

// A JPEG of one colour, stored nWidth × nHeight and marked with EXIF
// orientation 6: shown turned a quarter clockwise, so it stands nHeight wide.
std::string Sideways(const QTemporaryDir& dir, const char* pszName, int nWidth, int nHeight, QRgb colour)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 100);
    // Little-endian TIFF with one entry: orientation (0x0112), SHORT, 1, value 6.
    const QByteArray exif = QByteArray("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0", 32);
    QByteArray segment("\xFF\xE1", 2);
    segment += char((exif.size() + 2) >> 8);
    segment += char((exif.size() + 2) & 0xFF);
    const QString strPath = dir.filePath(QString::fromUtf8(pszName));
    QFile file(strPath);
    file.open(QIODevice::WriteOnly);
    file.write(jpeg.left(2) + segment + exif + jpeg.mid(2));
    return strPath.toStdString();
}

class PreviewTest : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        ASSERT_TRUE(m_dir.isValid());
        m_strFirst = SolidPicture(m_dir, "first.bmp", 640, 480, qRgb(255, 0, 0));
        m_strSecond = SolidPicture(m_dir, "second.bmp", 800, 600, qRgb(0, 0, 255));
        m_preview.Init(&frame, &m_pictures);
        m_preview.SetSources(CString(m_strFirst), CString(m_strSecond));
    }

    // Opens the preview from a settings page and waits for its pictures.
    void Open(CDialog& page)
    {
        Click(page, IDC_PREVIEW);
        ASSERT_TRUE(m_preview.IsOpen());
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_preview.GetStateText().IsEmpty(); }));
    }

    QRgb Middle() const
    {
        const QImage picture = m_preview.GetPicture();
        return picture.isNull() ? 0 : picture.pixel(picture.width() / 2, picture.height() / 2) & 0xFFFFFF;
    }

    QTemporaryDir m_dir;
    std::string m_strFirst;
    std::string m_strSecond;
    CPictureCache m_pictures;
    CPreviewWnd m_preview;
};

struct SizeCase {
    const char* pszName;
    bool bAnimation;
    bool bCustom;
    const char* pszWidth;
    const char* pszHeight;
    const char* pszExpected;
};

// 640 × 480 and 800 × 600 average to 720 × 540; custom sides round down to
// multiples of four, and a side that rounds to nothing, is missing or makes
// too large a picture is refused.
constexpr std::array kSizeCases{
    SizeCase{"StillAutomaticIgnoresTheFields", false, false, "0", "", "720 × 540 pixelů"},
    SizeCase{"StillCustomRoundsDown", false, true, "103", "99", "100 × 96 pixelů"},
    SizeCase{"StillCustomSideOfThree", false, true, "3", "100", kRefused},
    SizeCase{"StillCustomEmpty", false, true, "", "100", kRefused},
    SizeCase{"StillCustomTooLarge", false, true, "1000000", "1000000", kRefused},
    SizeCase{"AnimationAutomatic", true, false, "100", "100", "720 × 540 pixelů"},
    SizeCase{"AnimationCustom", true, true, "719", "541", "716 × 540 pixelů"},
    SizeCase{"AnimationCustomBeyondThePageRange", true, true, "1000001", "4", kRefused},
};

class PreviewSize : public PreviewTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(PreviewSize, SaysTheSizeTheRenderWillWriteOrRefusesIt)
{
    const SizeCase& c = GetParam();
    CStillSettingsPage still;
    CAnimSettingsPage anim;
    CDialog& page = c.bAnimation ? static_cast<CDialog&>(anim) : static_cast<CDialog&>(still);
    still.m_pPreview = anim.m_pPreview = &m_preview;
    Show(page);
    Click(page, c.bCustom ? IDC_RADIO_SECOND : IDC_RADIO_FIRST);
    // Set even where the edits are disabled: automatic mode must ignore them.
    Edit(page, IDC_WIDTH)->setText(QString::fromUtf8(c.pszWidth));
    Edit(page, IDC_HEIGHT)->setText(QString::fromUtf8(c.pszHeight));
    Open(page);

    EXPECT_EQ(m_preview.GetSizeText(), c.pszExpected);
    const bool bRefused = c.pszExpected == std::string(kRefused);
    EXPECT_EQ(m_preview.GetPicture().isNull(), bRefused);

    // The size follows the fields while the window is open.
    Click(page, IDC_RADIO_SECOND);
    Type(page, IDC_WIDTH, "40");
    Type(page, IDC_HEIGHT, "24");
    EXPECT_EQ(m_preview.GetSizeText(), "40 × 24 pixelů");
    EXPECT_FALSE(m_preview.GetPicture().isNull());
}

INSTANTIATE_TEST_SUITE_P(Modes, PreviewSize, ::testing::ValuesIn(kSizeCases),
                         [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(PreviewTest, StillFollowsTheSliderAsItMoves)
{
    CStillSettingsPage page;
    page.m_pPreview = &m_preview;
    Show(page);
    Open(page);
    auto* pSlider = qobject_cast<QSlider*>(page.GetDlgItem(IDC_RATIO_SLIDER)->GetWidget());

    // Red blended into blue channel by channel, with the render's weights.
    for (const int nPos : {50, 0, 30, 100}) {
        pSlider->setValue(nPos);
        const double w = StillWeight(nPos);
        EXPECT_EQ(Middle(), qRgb(BlendChannel(255, 0, w), 0, BlendChannel(0, 255, w)) & 0xFFFFFF) << nPos;
    }
    // The picture keeps the output's shape, 720 × 540.
    const QImage picture = m_preview.GetPicture();
    EXPECT_NEAR(double(picture.width()) / picture.height(), 720.0 / 540.0, 0.02);
}

TEST_F(PreviewTest, PictureThatCannotBeLoadedIsToldAsTheRenderTellsIt)
{
    QFile bad(m_dir.filePath("notes.jpg"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture at all");
    bad.close();
    m_preview.SetSources(CString(m_strFirst), CString(bad.fileName().toStdString()));

    CStillSettingsPage page;
    page.m_pPreview = &m_preview;
    Show(page);
    Click(page, IDC_PREVIEW);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_preview.GetStateText() != "Načítám obrázky…"; }));
    EXPECT_EQ(m_preview.GetStateText(), "Obrázek se nepodařilo načíst!\nnotes.jpg: Soubor není obrázek ve známém formátu.");
    EXPECT_TRUE(m_preview.GetPicture().isNull());
    EXPECT_EQ(m_preview.GetSizeText(), "");
}

TEST_F(PreviewTest, AnimationPlaysAndPauses)
{
    CAnimSettingsPage page;
    page.m_pPreview = &m_preview;
    Show(page);
    Type(page, IDC_FRAME_COUNT, "3");
    Type(page, IDC_FPS, "20");
    Open(page);

    // Three frames at 20 per second pass through the middle frame.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Middle() == (qRgb(127, 0, 127) & 0xFFFFFF); }, 2000));
    auto* pPlay = m_preview.GetWidget()->findChild<QPushButton*>();
    ASSERT_NE(pPlay, nullptr);
    EXPECT_EQ(pPlay->text(), "Pozastavit");
    pPlay->click();
    EXPECT_EQ(pPlay->text(), "Přehrát");
    const QRgb paused = Middle();
    QTest::qWait(300);
    EXPECT_EQ(Middle(), paused);
}

TEST_F(PreviewTest, UprightThumbnailForAPictureAndTheReasonForAFileThatIsNone)
{
    QFile bad(m_dir.filePath("notes.jpg"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture at all");
    bad.close();
    const std::string strSideways = Sideways(m_dir, "phone.jpg", 64, 32, qRgb(255, 0, 0));

    CSourcePage page;
    page.SetPictureCache(&m_pictures);
    Show(page);
    chooser.answers = {CString(strSideways), CString(bad.fileName().toStdString())};
    Click(page, IDC_BROWSE);
    Click(page, IDC_BROWSE_SECOND);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return Text(page, IDC_FIRST_REASON).isEmpty() && Text(page, IDC_SECOND_REASON) != "Načítám obrázek…";
    }));

    const auto thumb = [&](int nID) { return qobject_cast<QLabel*>(page.GetDlgItem(nID)->GetWidget())->pixmap(); };
    const QPixmap first = thumb(IDC_FIRST_THUMB);
    ASSERT_FALSE(first.isNull());
    EXPECT_GT(qRed(first.toImage().pixel(first.width() / 2, first.height() / 2)), 240);
    EXPECT_LT(first.width(), first.height()); // stored lying down, shown standing
    EXPECT_TRUE(thumb(IDC_SECOND_THUMB).isNull());
    EXPECT_EQ(Text(page, IDC_SECOND_REASON), "Soubor není obrázek ve známém formátu.");

    // A path taken away takes its thumbnail with it.
    page.m_strFirstPath = "";
    page.UpdateData(FALSE);
    EXPECT_TRUE(thumb(IDC_FIRST_THUMB).isNull());
}

} // namespace
