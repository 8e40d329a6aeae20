// The layer under the pages: dialog units rounded otherwise than the window
// system rounds them; a number read that the data exchange would refuse, or
// refused where it would read it; the Qt message box, file chooser and
// "Komprese videa" dialog showing other buttons, texts, icons or defaults, or
// giving another answer than the user's; a compression choice forgotten.

#include <array>
#include <optional>
#include <tuple>

#include <gtest/gtest.h>

// Qt
#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

// Local
#include "pages/CCompressionDialog.h"
#include "pages/CDialogCompressionChooser.h"
#include "video/VideoContainer.h"
#include "platform/ui/CDataExchange.h"
#include "platform/ui/IFileChooser.h"
#include "platform/ui/IMessageBox.h"
#include "platform/ui/DialogUnits.h"
#include "app/QtTranslations.h"
#include "tests/platform/support/TestServices.h"

namespace {

TEST(DialogUnits, RoundHalfAwayFromZero)
{
    const DialogUnits units(6, 13);
    // x × 6 / 4 and y × 13 / 8: 394.5, 1.5 and -1.5; 290.875, 4.875 and -1.625.
    for (const auto& [nX, nY, nMappedX, nMappedY] : {std::array{263, 179, 395, 291}, {1, 3, 2, 5}, {-1, -1, -2, -2}})
        EXPECT_EQ(std::pair(units.MapX(nX), units.MapY(nY)), std::pair(nMappedX, nMappedY)) << nX;
}

TEST(DataExchangeParseInt, AcceptsOnlyWholeNumbersThatFitInt32)
{
    // Blanks around the number are read past, anything else is refused.
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"  42  ", 42}, {"\t-7\t", -7}, {"+15", 15}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
        {"2147483648", {}}, {"-2147483649", {}}, {"99999999999999999999999", {}}, {"   ", {}}, {"-", {}},
        {"1a", {}}, {"a1", {}}, {"1 2", {}}, {"--1", {}}, {"\n1", {}},
    };
    for (const auto& [pszText, value] : cases) {
        int nRead = 12345;   // the braces read it after the parse
        EXPECT_EQ((std::pair{CDataExchange::ParseInt(pszText, nRead), nRead}),
                  std::pair(value.has_value(), value.value_or(12345))) << '"' << pszText << '"';
    }
}

// The Qt chooser, as the wizard has it: the save chooser opens in the folder
// asked for, with its filters and Czech buttons, asks in Czech before it
// replaces a file ("Ne" keeps it open) and adds the suffix of the filter
// picked; the open chooser's one entry shows as its bare description.
TEST(QtFileChooser, OpensInItsFolderAsksBeforeReplacingAndAddsTheSuffix)
{
    ASSERT_TRUE(InstallQtTranslations("cs"));
    QTemporaryDir dir;
    ASSERT_TRUE(QFile(dir.filePath(QStringLiteral("mix.bmp"))).open(QIODevice::WriteOnly));   // closed at once
    FileChooserRequest request{.bOpen = false, .strDefaultSuffix = "bmp", .strInitialName = "plavex", .bConfirmOverwrite = true,
                               .filters = {{"Obrázky BMP (*.bmp)", {"*.bmp"}}, {"Obrázky PNG (*.png)", {"*.png"}}}, .strFolder = dir.path()};
    QStringList shown;  // each chooser's folder, filters and buttons, and the question
    const auto describe = [&](QFileDialog* pDialog) {
        shown << pDialog->directory().path() + '|' + pDialog->nameFilters().join('|') +
                     (pDialog->testOption(QFileDialog::HideNameFilterDetails) ? " hidden" : "");
        for (QAbstractButton* pButton : pDialog->findChild<QDialogButtonBox*>()->buttons())
            shown.back() += '|' + pButton->text();
    };
    WhenShown<QFileDialog>([&](QFileDialog* pDialog) {
        describe(pDialog);
        pDialog->selectFile(QStringLiteral("mix"));
        WhenShown<QMessageBox>([&](QMessageBox* pBox) {
            shown << pBox->text();
            pBox->button(QMessageBox::No)->click();
        });
        static_cast<QDialog*>(pDialog)->accept();  // the question comes up inside accept()
        // The filter picked by the user gives a bare name its extension.
        QTest::keyClick(pDialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")), Qt::Key_Down);
        pDialog->selectFile(QStringLiteral("smíchaný"));
        static_cast<QDialog*>(pDialog)->accept();
    });
    EXPECT_EQ(IFileChooser::Current().Choose(request), dir.filePath(QStringLiteral("smíchaný.png")));
    request.bOpen = true;
    request.filters = {{"Obrázky", {"*.png", "*.heic"}}};
    WhenShown<QFileDialog>([&](QFileDialog* pDialog) {
        describe(pDialog);
        pDialog->reject();
    });
    EXPECT_TRUE(IFileChooser::Current().Choose(request).isEmpty());
    EXPECT_EQ(shown, QStringList({dir.path() + "|Obrázky BMP (*.bmp)|Obrázky PNG (*.png)|&Uložit|Zrušit", "Soubor mix.bmp již existuje.\nChcete jej nahradit?",
                                  dir.path() + "|Obrázky (*.png *.heic) hidden|&Otevřít|Zrušit"}));
}

// One message box shown for real and answered by a key; its buttons' texts,
// the default one marked with '*'. Closing the window goes the way of Escape.
struct Answer {
    const char* m_pszName;
    QMessageBox::Icon m_icon;
    QMessageBox::StandardButtons m_buttons;
    QKeyCombination m_key;
    QMessageBox::StandardButton m_nAnswer;
    const char* m_pszButtons;
};

class QtMessageBoxTest : public testing::TestWithParam<Answer> {};

TEST_P(QtMessageBoxTest, ShowsItsButtonsAndIconAndGivesTheUsersAnswer)
{
    const Answer& a = GetParam();
    QString strShown;
    WhenShown<QMessageBox>([&](QMessageBox* pBox) {
        strShown = pBox->windowTitle() + ": " + pBox->text() + " |";
        for (QAbstractButton* pButton : pBox->buttons())
            strShown += ' ' + pButton->text() + (pButton == pBox->defaultButton() ? "*" : "");
        EXPECT_EQ(pBox->icon(), a.m_icon);
        pBox->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(pBox));
        QTest::keyClick(pBox, a.m_key.key(), a.m_key.keyboardModifiers());
    });
    EXPECT_EQ(IMessageBox::Current().Show(nullptr, "Opravdu chcete ukončit program?", "Plavex", a.m_icon, a.m_buttons), a.m_nAnswer);
    EXPECT_EQ(strShown.toStdString(), std::string("Plavex: Opravdu chcete ukončit program? | ") + a.m_pszButtons);
}

// Escape answers no: nothing is ended by accident.
constexpr auto kQuestion = QMessageBox::Question;
constexpr auto kYesNo = QMessageBox::Yes | QMessageBox::No;
const Answer kAnswers[] = {
    {"YesNoN", kQuestion, kYesNo, Qt::Key_N, QMessageBox::No, "&Ano* &Ne"},
    {"YesNoEnter", kQuestion, kYesNo, Qt::Key_Return, QMessageBox::Yes, "&Ano* &Ne"},
    {"YesNoEscape", kQuestion, kYesNo, Qt::Key_Escape, QMessageBox::No, "&Ano* &Ne"},
    {"WarningEscape", QMessageBox::Warning, QMessageBox::Ok, Qt::Key_Escape, QMessageBox::Ok, "OK*"},
};
INSTANTIATE_TEST_SUITE_P(Rows, QtMessageBoxTest, testing::ValuesIn(kAnswers),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

TEST(CompressionDialog, OffersTheContainersCodecsWithQualityForTheLossyOnesModallyAndRemembersTheChoice)
{
    QWidget owner;
    CDialogCompressionChooser chooser;
    WhenShown<CCompressionDialog>([&owner](CCompressionDialog* pDialog) {
        // Modal to its owner, with a close box and no other.
        constexpr auto kClose = Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
        const auto flags = pDialog->windowFlags() & (kClose | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
        EXPECT_EQ(std::pair(pDialog->parentWidget(), flags), std::pair(static_cast<QWidget*>(&owner), kClose));
        const auto* pButtons = pDialog->findChild<QDialogButtonBox*>();
        QStringList texts = {pDialog->windowTitle(), pButtons->button(QDialogButtonBox::Ok)->text(),
                             pButtons->button(QDialogButtonBox::Cancel)->text()};
        for (const QLabel* pLabel : pDialog->findChildren<QLabel*>())
            if (pLabel != pDialog->m_pQualityValue)
                texts << pLabel->text();
        for (int i = 0; i < pDialog->m_pCompressor->count(); ++i)
            texts << pDialog->m_pCompressor->itemText(i);
        EXPECT_EQ(texts, QStringList({"Komprese videa", "OK", "Storno", "Kompresor:", "Kvalita:",
                                      "Plné snímky (nekomprimované)", "Motion JPEG", "H.264", "FFV1 (bezeztrátový)"}));
        // Motion JPEG at 90 of 1..100 until the user chooses otherwise.
        const QSlider& quality = *pDialog->m_pQuality;
        EXPECT_EQ(std::tuple(pDialog->m_pCompressor->currentIndex(), quality.value(), quality.minimum(), quality.maximum()),
                  std::tuple(1, 90, 1, 100));
        // Each codec with the quality it takes; the choice shows again as it was made.
        for (const auto& [nIndex, pszCodec, nQuality] : {std::tuple{0, "raw", 0}, {1, "mjpeg", 37}, {3, "ffv1", 0}, {2, "h264", 37}}) {
            pDialog->m_pCompressor->setCurrentIndex(nIndex);
            pDialog->m_pQuality->setValue(37);
            EXPECT_EQ(std::pair(quality.isEnabled(), pDialog->m_pQualityValue->text()), std::pair(nQuality != 0, QString("37")));
            const CompressionChoice choice = pDialog->GetChoice();
            EXPECT_EQ(std::pair(choice.m_pCodec, choice.m_nQuality), std::pair(FindVideoCodec(pszCodec), nQuality));
            pDialog->m_pCompressor->setCurrentIndex(0);
            pDialog->SetChoice(choice);
            EXPECT_EQ(pDialog->m_pCompressor->currentIndex(), nIndex);
        }
        pDialog->accept();
    });
    const CompressionChoice choice = chooser.Choose(&owner, CodecsOf(VideoContainer::Avi)).value_or(CompressionChoice{});
    EXPECT_EQ(std::pair(choice.m_pCodec, choice.m_nQuality), std::pair(FindVideoCodec("h264"), 37));

    // For an MP4 name H.264 alone, on the last quality; "Storno" gives nothing.
    WhenShown<CCompressionDialog>([](CCompressionDialog* pDialog) {
        EXPECT_EQ(std::tuple(pDialog->m_pCompressor->count(), pDialog->m_pCompressor->itemText(0),
                             pDialog->m_pQuality->isEnabled(), pDialog->m_pQuality->value()),
                  std::tuple(1, QString("H.264"), true, 37));
        pDialog->reject();
    });
    EXPECT_FALSE(chooser.Choose(&owner, CodecsOf(VideoContainer::Mp4)).has_value());
}

} // namespace
