// The "Komprese videa" dialog and its chooser: a text changed, a compressor
// or quality other than chosen, a dialog that is not modal to its owner, a
// choice forgotten.

#include <functional>
#include <tuple>

#include <gtest/gtest.h>

// Qt
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QSlider>
#include <QTimer>
#include <QWidget>

// Local
#include "platform/aviui/CCompressionDialog.h"
#include "platform/aviui/CDialogCompressionChooser.h"

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

TEST(CompressionDialogTest, OffersFourCompressorsWithQualityForTheLossyOnes)
{
    App();
    CCompressionDialog dialog;
    auto* pButtons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(pButtons, nullptr);
    QStringList texts = {dialog.windowTitle(), pButtons->button(QDialogButtonBox::Ok)->text(),
                         pButtons->button(QDialogButtonBox::Cancel)->text()};
    for (const QLabel* pLabel : dialog.findChildren<QLabel*>())
        if (pLabel != dialog.m_pQualityValue)
            texts << pLabel->text();
    for (int i = 0; i < dialog.m_pCompressor->count(); ++i)
        texts << dialog.m_pCompressor->itemText(i);
    EXPECT_EQ(texts, QStringList({"Komprese videa", "OK", "Storno", "Kompresor:", "Kvalita:",
                                  "Plné snímky (nekomprimované)", "Motion JPEG", "H.264", "FFV1 (bezeztrátový)"}));

    // Defaults: Motion JPEG at 90 of 1..100, slider live.
    const QSlider& quality = *dialog.m_pQuality;
    EXPECT_EQ(std::make_tuple(dialog.m_pCompressor->currentIndex(), quality.value(), quality.minimum(),
                              quality.maximum(), quality.isEnabled()),
              std::make_tuple(1, 90, 1, 100, true));
    dialog.m_pQuality->setValue(37);
    EXPECT_EQ(dialog.m_pQualityValue->text(), "37");
    const struct {
        FOURCC fccHandler;
        bool bQuality;
    } rows[] = {{comptypeDIB, false}, {comptypeMJPG, true}, {comptypeH264, true}, {comptypeFFV1, false}};
    for (int i = 0; i < 4; ++i) {
        dialog.m_pCompressor->setCurrentIndex(i);
        dialog.m_pQuality->setValue(37);
        EXPECT_EQ(dialog.m_pQuality->isEnabled(), rows[i].bQuality) << i;
        AVICOMPRESSOPTIONS options{};
        dialog.GetChoice(options);
        EXPECT_EQ(std::make_tuple(options.fccType, options.fccHandler, options.dwQuality),
                  std::make_tuple(streamtypeVIDEO, rows[i].fccHandler, rows[i].bQuality ? 37u : 0u));
        // The choice shows again as it was made.
        dialog.m_pCompressor->setCurrentIndex(0);
        dialog.SetChoice(options);
        EXPECT_EQ(dialog.m_pCompressor->currentIndex(), i);
    }
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
        EXPECT_TRUE(dialog.windowFlags().testFlags(Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint));
        EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
        dialog.m_pQuality->setValue(55);
        dialog.accept();
    });
    ASSERT_EQ(chooser.ChooseCompression(reinterpret_cast<HWND>(&owner), options), TRUE);
    EXPECT_EQ(options.fccHandler, comptypeMJPG);
    EXPECT_EQ(options.dwQuality, 55u);

    // The next time it opens on the last choice; "Storno" gives FALSE.
    WhenDialogShows([](CCompressionDialog& dialog) {
        EXPECT_EQ(dialog.m_pQuality->value(), 55);
        dialog.m_pCompressor->setCurrentIndex(0);
        dialog.reject();
    });
    AVICOMPRESSOPTIONS untouched{};
    EXPECT_EQ(chooser.ChooseCompression(reinterpret_cast<HWND>(&owner), untouched), FALSE);
    EXPECT_EQ(untouched.fccHandler, 0u);
}

} // namespace
