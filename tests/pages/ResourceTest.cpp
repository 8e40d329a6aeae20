// The program's resources: the icon as the window system and the desktop
// read it, and the files installed or compiled with the program.

#include <gtest/gtest.h>

// Qt
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QWidget>
#include <QtEndian>

// Local
#include "platform/ui/CDialog.h"
#include "platform/ui/CWinApp.h"
#include "res/resource.h"

namespace {

const QString kResDir = QStringLiteral(PLAVEX_RES_DIR "/");

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(Resources, IconIsA32By32SixteenColourIcon)
{
    // Read with our own eyes: the icon directory, then the bitmap header.
    const QByteArray ico = Read(QStringLiteral(":/plavex/plavex.ico"));
    ASSERT_EQ(ico, Read(kResDir + "plavex.ico"));
    ASSERT_GE(ico.size(), 22 + 40 + 64);
    const auto* d = reinterpret_cast<const uchar*>(ico.constData());
    EXPECT_EQ(qFromLittleEndian<quint16>(d + 2), 1);   // an icon
    EXPECT_EQ(qFromLittleEndian<quint16>(d + 4), 1);   // one image
    EXPECT_EQ(d[6], 32);
    EXPECT_EQ(d[7], 32);
    EXPECT_EQ(d[8], 16);                               // colours
    const quint32 size = qFromLittleEndian<quint32>(d + 14);
    const quint32 offset = qFromLittleEndian<quint32>(d + 18);
    ASSERT_EQ(offset + size, static_cast<quint32>(ico.size()));
    const uchar* bmp = d + offset;
    EXPECT_EQ(qFromLittleEndian<quint32>(bmp), 40u);
    EXPECT_EQ(qFromLittleEndian<qint32>(bmp + 4), 32);
    EXPECT_EQ(qFromLittleEndian<qint32>(bmp + 8), 64);   // colour rows and mask rows
    EXPECT_EQ(qFromLittleEndian<quint16>(bmp + 14), 4);  // bits per pixel
    // 16 palette entries, 32 rows of 16 bytes, 32 mask rows of 4 bytes.
    EXPECT_EQ(size, 40u + 64u + 512u + 128u);

    const QImage png(QStringLiteral(":/plavex/plavex.png"));
    EXPECT_EQ(png.size(), QSize(32, 32));
    EXPECT_TRUE(png.hasAlphaChannel());
    EXPECT_EQ(qAlpha(png.pixel(0, 0)), 0);      // a transparent corner
    EXPECT_EQ(qAlpha(png.pixel(16, 16)), 255);  // a painted middle
}

TEST(Resources, ApplicationLoadsTheIconOnceAndWindowsTakeIt)
{
    CWinApp app;
    const HICON hIcon = app.LoadIcon(IDI_APP);
    ASSERT_NE(hIcon, nullptr);
    EXPECT_EQ(app.LoadIcon(IDI_APP), hIcon);
    EXPECT_EQ(app.LoadIcon(4242), nullptr);

    CDialog frame(IDD_WIZARD);
    ASSERT_TRUE(frame.Create(IDD_WIZARD, nullptr));
    EXPECT_EQ(frame.SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hIcon)), 0);
    EXPECT_EQ(frame.SetIcon(hIcon, FALSE), nullptr);
    EXPECT_FALSE(frame.GetWidget()->windowIcon().isNull());
    EXPECT_EQ(frame.GetWidget()->windowIcon().cacheKey(), reinterpret_cast<const QIcon*>(hIcon)->cacheKey());
}

TEST(Resources, EveryDialogHasATemplateAndTheInstalledFilesSayWhatTheyMust)
{
    for (UINT nID : {IDD_WIZARD, IDD_WELCOME, IDD_SOURCE, IDD_ANIM_SETTINGS, IDD_ANIM_PROGRESS, IDD_ANIM_DONE,
                     IDD_STILL_SETTINGS, IDD_STILL_PROGRESS, IDD_STILL_DONE}) {
        const DialogTemplate* tmpl = AfxFindDialogTemplate(nID);
        ASSERT_NE(tmpl, nullptr) << nID;
        EXPECT_EQ(tmpl->nID, nID);
        EXPECT_EQ((tmpl->style & WS_CHILD) != 0, nID != IDD_WIZARD) << nID;
        EXPECT_EQ(tmpl->style & WS_VISIBLE, nID == IDD_WIZARD ? WS_VISIBLE : 0u) << nID;
    }
    EXPECT_EQ(AfxFindDialogTemplate(999), nullptr);
    EXPECT_TRUE(QString::fromUtf8(AfxFindDialogTemplate(IDD_WIZARD)->caption).startsWith("Plavex"));

    const QString desktop = QString::fromUtf8(Read(kResDir + "plavex.desktop"));
    for (const char* line : {"[Desktop Entry]", "Type=Application", "Name=Plavex", "Exec=plavex", "Icon=plavex"})
        EXPECT_TRUE(desktop.split('\n').contains(line)) << line;

    const QByteArray manifest = Read(kResDir + "plavex.manifest");
    EXPECT_TRUE(manifest.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"));
    EXPECT_TRUE(manifest.contains("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    EXPECT_TRUE(manifest.contains("publicKeyToken=\"6595b64144ccf1df\""));
}

} // namespace
