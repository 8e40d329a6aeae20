// The picture loader on files cut short at every length, and on a path that
// vanishes or changes into a folder between choosing and loading.

#include <string>
#include <vector>

// Qt
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Google Test
#include <gtest/gtest.h>

// Local
#include "engine/PictureLoader.h"
#include "tests/hardening/HardeningSupport.h"

namespace {

class PictureLoaderHostileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    std::string Path(const char* pszName) const { return m_dir.filePath(pszName).toStdString(); }

    QTemporaryDir m_dir;
};

TEST_F(PictureLoaderHostileTest, PicturesCutShortAtAnyLengthLoadWholeOrNotAtAll)
{
    const QImage image = TestPattern(23, 17, 8);
    const struct {
        const char* m_pszName;
        std::vector<unsigned char> m_bytes;
    } pictures[] = {
        {"cut.gif", EncodeGif(image)},
        {"cut.jpg", EncodeWithQt(image, "JPEG")},
        {"cut.bmp", EncodeWithQt(image, "BMP")},
        {"cut.png", EncodeWithQt(image, "PNG")},
        {"cut.webp", EncodeWithQt(image, "WEBP")},
        {"cut.tif", EncodeWithQt(image, "TIFF")},
        {"cut.heic", EncodeWithTool(image, "heif-enc -q 50 -o", "heic")},
        {"cut.avif", EncodeWithTool(image, "heif-enc -A -q 50 -o", "avif")},
    };
    for (const auto& picture : pictures) {
        if (picture.m_bytes.empty()) {
            ADD_FAILURE() << picture.m_pszName << " could not be made";
            continue;
        }
        const std::string strPath = Path(picture.m_pszName);
        int nLoaded = 0;
        for (std::size_t nLength = 0; nLength <= picture.m_bytes.size(); ++nLength) {
            SCOPED_TRACE(std::string(picture.m_pszName) + " cut to " + std::to_string(nLength) + " bytes");
            ASSERT_TRUE(WriteBytes(strPath, {picture.m_bytes.begin(),
                                             picture.m_bytes.begin() + static_cast<std::ptrdiff_t>(nLength)}));
            const EngineResult<GfxBitmap> loaded = LoadPictureFile(strPath);
            if (loaded) {
                // What decodes keeps the size its header gives.
                EXPECT_EQ(loaded.Value().Width(), 23);
                EXPECT_EQ(loaded.Value().Height(), 17);
                ++nLoaded;
            } else {
                EXPECT_TRUE(loaded.Error().m_nCode == EngineErrorCode::PictureUnsupported ||
                            loaded.Error().m_nCode == EngineErrorCode::PictureDamaged ||
                            loaded.Error().m_nCode == EngineErrorCode::PictureUnreadable);
                EXPECT_NE(loaded.Error().m_strMessage.find(strPath), std::string::npos);
            }
        }
        // The whole file loads, so the sweep reached a sound picture.
        EXPECT_GE(nLoaded, 1) << picture.m_pszName;
    }
}

TEST_F(PictureLoaderHostileTest, PathThatVanishesOrTurnsIntoAFolderIsReported)
{
    const std::string strPath = Path("chosen.bmp");
    ASSERT_TRUE(WriteBytes(strPath, EncodeWithQt(TestPattern(8, 6, 1), "BMP")));
    ASSERT_TRUE(LoadPictureFile(strPath));

    ASSERT_TRUE(QFile::remove(QString::fromStdString(strPath)));
    EngineResult<GfxBitmap> loaded = LoadPictureFile(strPath);
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.Error().m_nCode, EngineErrorCode::PictureUnreadable);
    EXPECT_NE(loaded.Error().m_strMessage.find(strPath), std::string::npos);

    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(strPath)));
    loaded = LoadPictureFile(strPath);
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.Error().m_nCode, EngineErrorCode::PictureUnreadable);
}

}  // namespace
