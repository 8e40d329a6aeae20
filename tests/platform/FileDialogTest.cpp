// File choosers: a default extension added where it must not be or missing,
// and the Qt chooser naming another file, or asking in English or not at all
// before it replaces one.

#include <gtest/gtest.h>

// Qt
#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

// Local
#include "platform/ui/CFileDialog.h"
#include "platform/ui/CQtFileChooser.h"
#include "platform/ui/QtTranslations.h"
#include "tests/platform/support/TestServices.h"

namespace {

TEST(FileDialog, PassesTheRequestAndAddsTheDefaultExtensionToBareNames)
{
    CScriptedFileChooser chooser;
    chooser.answers = {"/home/eva/film", "/home/eva.v2/film", "/home/eva/film.AVI", "", "/home/eva/a.b"};

    CFileDialog save(FALSE, "avi", "plavex", 0, "Avi soubory (*.avi)|*.avi||");
    EXPECT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), "/home/eva/film.avi");
    EXPECT_EQ(save.GetFileName(), "film.avi");
    EXPECT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), "/home/eva.v2/film.avi");   // a dot in a folder is no extension
    EXPECT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), "/home/eva/film.AVI");
    EXPECT_EQ(save.DoModal(), IDCANCEL);

    ASSERT_EQ(chooser.requests.size(), 4u);
    const FileChooserRequest& r = chooser.requests[0];
    EXPECT_FALSE(r.bOpenFileDialog);
    EXPECT_EQ(r.defaultExtension, "avi");
    EXPECT_EQ(r.initialFileName, "plavex");
    EXPECT_EQ(r.flags, 0u);
    ASSERT_EQ(r.filters.size(), 1u);

    CFileDialog open(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "Obrázky|*.bmp||");
    EXPECT_EQ(open.DoModal(), IDOK);
    EXPECT_EQ(open.GetPathName(), "/home/eva/a.b");
    EXPECT_TRUE(chooser.requests.back().bOpenFileDialog);
    EXPECT_EQ(chooser.requests.back().flags, OFN_FILEMUSTEXIST);
    EXPECT_TRUE(chooser.requests.back().initialFileName.IsEmpty());
}

TEST(QtFileChooser, SaveChooserNamesAFileWithTheDefaultSuffixAndAsksInCzechBeforeReplacingOne)
{
    ASSERT_TRUE(InstallQtTranslations("cs"));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile existing(dir.filePath(QStringLiteral("mix.bmp")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    FileChooserRequest request;
    request.bOpenFileDialog = FALSE;
    request.defaultExtension = "bmp";
    request.initialFileName = "plavex";
    request.flags = OFN_OVERWRITEPROMPT;
    request.filters = CFileDialog::ParseFilter("Obrázky BMP (*.bmp)|*.bmp||");

    QStringList nameFilters;
    QStringList buttons;
    QString question;
    bool hideDetails = true;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no file chooser";
            return;
        }
        nameFilters = dialog->nameFilters();
        for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
            buttons << button->text();
        hideDetails = dialog->testOption(QFileDialog::HideNameFilterDetails);
        dialog->setDirectory(dir.path());
        // The question comes up inside accept(); "Ne" keeps the chooser open.
        dialog->selectFile(QStringLiteral("mix"));
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                question = box->text() + QLatin1Char('|') + box->button(QMessageBox::No)->text();
                box->button(QMessageBox::No)->click();
            }
        });
        static_cast<QDialog*>(dialog)->accept();
        dialog->selectFile(QStringLiteral("smíchaný"));
        static_cast<QDialog*>(dialog)->accept();
    });
    CQtFileChooser chooser;
    CString path;
    ASSERT_TRUE(chooser.Choose(request, path));
    EXPECT_EQ(QFile::decodeName(path.GetString()), dir.filePath(QStringLiteral("smíchaný.bmp")));
    EXPECT_EQ(nameFilters, QStringList{"Obrázky BMP (*.bmp)"});
    EXPECT_EQ(buttons.join(QLatin1Char('|')).toStdString(), "&Uložit|Zrušit");
    EXPECT_EQ(question.toStdString(), "Soubor mix.bmp již existuje.\nChcete jej nahradit?|&Ne");
    EXPECT_FALSE(hideDetails);

    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    EXPECT_FALSE(chooser.Choose(request, path));

    // The open chooser's one entry shows as its bare description.
    request.bOpenFileDialog = TRUE;
    request.filters = CFileDialog::ParseFilter("Obrázky|*.png;*.heic||");
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            nameFilters = dialog->nameFilters();
            hideDetails = dialog->testOption(QFileDialog::HideNameFilterDetails);
            dialog->reject();
        }
    });
    EXPECT_FALSE(chooser.Choose(request, path));
    EXPECT_EQ(nameFilters, QStringList{"Obrázky (*.png *.heic)"});
    EXPECT_TRUE(hideDetails);
}

} // namespace
