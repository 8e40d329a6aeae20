// File choosers: a filter parsed wrongly, a default extension added where it
// must not be or missing, and the Qt chooser naming another file.

#include <gtest/gtest.h>

// Qt
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

// Local
#include "platform/ui/CFileDialog.h"
#include "platform/ui/CQtFileChooser.h"
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

TEST(QtFileChooser, SaveChooserNamesAFileInTheChosenFolderWithTheDefaultSuffix)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FileChooserRequest request;
    request.bOpenFileDialog = FALSE;
    request.defaultExtension = "bmp";
    request.initialFileName = "plavex";
    request.filters = CFileDialog::ParseFilter("Obrázky BMP (*.bmp)|*.bmp||");

    QStringList nameFilters;
    bool confirmOverwrite = true;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no file chooser";
            return;
        }
        nameFilters = dialog->nameFilters();
        confirmOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        dialog->setDirectory(dir.path());
        dialog->selectFile(QStringLiteral("smíchaný"));
        static_cast<QDialog*>(dialog)->accept();
    });
    CQtFileChooser chooser;
    CString path;
    ASSERT_TRUE(chooser.Choose(request, path));
    EXPECT_EQ(QFile::decodeName(path.GetString()), dir.filePath(QStringLiteral("smíchaný.bmp")));
    EXPECT_EQ(nameFilters, QStringList{"Obrázky BMP (*.bmp)"});
    EXPECT_FALSE(confirmOverwrite);

    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    EXPECT_FALSE(chooser.Choose(request, path));
}

} // namespace
