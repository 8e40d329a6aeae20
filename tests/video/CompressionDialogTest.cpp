// The "Komprese videa" dialog and the chooser that runs it modally, on the
// offscreen platform.

#include <functional>

#include <gtest/gtest.h>

// Qt
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

// Local
#include "platform/avi/CCompressionChooserGuard.h"
#include "platform/aviui/CCompressionDialog.h"
#include "platform/aviui/CDialogCompressionChooser.h"
#include "tests/video/AviTestSupport.h"
#include "video/CAviWriter.h"

namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "video-dialog-test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// Runs act on the modal dialog as soon as it shows, from inside its event loop.
void WhenDialogShows(std::function<void(CCompressionDialog&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* pDialog = qobject_cast<CCompressionDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(pDialog, nullptr);
        act(*pDialog);
    });
}

HWND Handle(QWidget& widget)
{
    return reinterpret_cast<HWND>(&widget);
}

TEST(CompressionDialogTest, OffersBothCompressorsWithQualityForMotionJpegOnly)
{
    App();
    CCompressionDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Komprese videa"));
    ASSERT_EQ(dialog.m_pCompressor->count(), 2);
    EXPECT_EQ(dialog.m_pCompressor->itemText(0), QString::fromUtf8("Plné snímky (nekomprimované)"));
    EXPECT_EQ(dialog.m_pCompressor->itemText(1), QString::fromUtf8("Motion JPEG"));
    auto* pButtons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(pButtons, nullptr);
    EXPECT_EQ(pButtons->button(QDialogButtonBox::Ok)->text(), QString::fromUtf8("OK"));
    EXPECT_EQ(pButtons->button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("Storno"));

    // Defaults: Motion JPEG at 90, slider live.
    EXPECT_EQ(dialog.m_pCompressor->currentIndex(), 1);
    EXPECT_EQ(dialog.m_pQuality->value(), 90);
    EXPECT_EQ(dialog.m_pQuality->minimum(), 1);
    EXPECT_EQ(dialog.m_pQuality->maximum(), 100);
    EXPECT_TRUE(dialog.m_pQuality->isEnabled());
    EXPECT_EQ(dialog.m_pQualityValue->text(), "90");

    dialog.m_pCompressor->setCurrentIndex(0);
    EXPECT_FALSE(dialog.m_pQuality->isEnabled());
    AVICOMPRESSOPTIONS options{};
    dialog.GetChoice(options);
    EXPECT_EQ(options.fccType, streamtypeVIDEO);
    EXPECT_EQ(options.fccHandler, comptypeDIB);

    dialog.m_pCompressor->setCurrentIndex(1);
    dialog.m_pQuality->setValue(37);
    EXPECT_EQ(dialog.m_pQualityValue->text(), "37");
    dialog.GetChoice(options);
    EXPECT_EQ(options.fccHandler, comptypeMJPG);
    EXPECT_EQ(options.dwQuality, 37u);
}

TEST(CompressionDialogTest, ChooserIsModalToItsOwnerAndRemembersTheChoice)
{
    App();
    QWidget owner;
    CDialogCompressionChooser chooser;
    AVICOMPRESSOPTIONS options{};

    WhenDialogShows([&owner](CCompressionDialog& dialog) {
        EXPECT_EQ(dialog.parentWidget(), &owner);
        EXPECT_TRUE(dialog.isModal());
        dialog.m_pQuality->setValue(55);
        dialog.accept();
    });
    ASSERT_EQ(chooser.ChooseCompression(Handle(owner), options), TRUE);
    EXPECT_EQ(options.fccHandler, comptypeMJPG);
    EXPECT_EQ(options.dwQuality, 55u);

    // The next time it opens on the last choice; "Storno" gives FALSE.
    WhenDialogShows([](CCompressionDialog& dialog) {
        EXPECT_EQ(dialog.m_pQuality->value(), 55);
        dialog.m_pCompressor->setCurrentIndex(0);
        dialog.reject();
    });
    AVICOMPRESSOPTIONS untouched{};
    EXPECT_EQ(chooser.ChooseCompression(Handle(owner), untouched), FALSE);
    EXPECT_EQ(untouched.fccHandler, 0u);
}

TEST(CompressionDialogTest, WriterUsesTheDialogChoice)
{
    App();
    QWidget owner;
    CDialogCompressionChooser chooser;
    CCompressionChooserGuard guard(&chooser);
    QTemporaryDir dir;

    for (const bool bCancel : {true, false}) {
        const std::string strPath = dir.path().toStdString() + "/dialog.avi";
        WhenDialogShows([bCancel](CCompressionDialog& dialog) {
            dialog.m_pCompressor->setCurrentIndex(CCompressionDialog::kFullFrames);
            if (bCancel)
                dialog.reject();
            else
                dialog.accept();
        });
        CAviWriter writer;
        BITMAPINFOHEADER bih{40, 8, 8, 1, 24, BI_RGB, 8 * 3 * 8, 0, 0, 0, 0};
        writer.SetBitmapHeader(bih);
        writer.m_strFileName = strPath;
        EXPECT_EQ(writer.InitEngine(Handle(owner)), bCancel ? 1 : 0);
        if (!bCancel) {
            const std::vector<std::uint8_t> frame = MakeFrame(8, 8, 0);
            EXPECT_EQ(writer.AddFrame(frame.data()), 0);
        }
        writer.ReleaseEngine();
        EXPECT_EQ(ListFolder(dir.path().toStdString()).size(), bCancel ? 0u : 1u);
    }
    EXPECT_EQ(Probe(dir.path().toStdString() + "/dialog.avi").strCodec, "rawvideo");
}

} // namespace
