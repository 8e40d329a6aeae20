#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

// Qt
#include <QTemporaryDir>

// Local
#include "engine/SameFile.h"

namespace {

// Pairs of names inside a folder that holds the file "real/a.bmp", its copy
// "real/copy.bmp" and the link "linked" to the folder "real".
struct SameFileCase {
    const char* pszName;
    const char* pszFirst;
    const char* pszSecond;
    bool bSame;
};
constexpr std::array kSameFileCases = {
    SameFileCase{"OneFileThroughALinkedFolder", "real/a.bmp", "linked/./a.bmp", true},
    SameFileCase{"EqualContentIsAnotherFile", "real/a.bmp", "real/copy.bmp", false},
    SameFileCase{"ExistingAndMissing", "real/a.bmp", "real/b.bmp", false},
    SameFileCase{"MissingUnderOneResolvedPath", "linked/new.bmp", "real/x/../new.bmp", true},
    SameFileCase{"MissingUnderTwoPaths", "real/new.bmp", "real/other.bmp", false},
};

class SameFileTest : public ::testing::TestWithParam<SameFileCase> {};

TEST_P(SameFileTest, ComparesTheFileOrElseTheResolvedPath)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::filesystem::path root = dir.path().toStdString();
    std::filesystem::create_directories(root / "real" / "x");
    std::ofstream(root / "real" / "a.bmp") << "BM";
    std::ofstream(root / "real" / "copy.bmp") << "BM";
    std::filesystem::create_directory_symlink(root / "real", root / "linked");

    const SameFileCase& c = GetParam();
    EXPECT_EQ(IsSameFile(root / c.pszFirst, root / c.pszSecond), c.bSame);
    const auto checked = CheckOutputIsNotASource(root / c.pszSecond, root / "real" / "z.bmp", root / c.pszFirst);
    EXPECT_EQ(checked.HasValue(), !c.bSame);
    if (!checked)
        EXPECT_EQ(checked.Error().m_nCode, EngineErrorCode::OutputIsSource);
}

INSTANTIATE_TEST_SUITE_P(Names, SameFileTest, ::testing::ValuesIn(kSameFileCases),
                         [](const auto& info) { return std::string(info.param.pszName); });

} // namespace
