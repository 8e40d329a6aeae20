// The same-file check: a source reached through a link or another spelling
// of its path taken for a different file, or two different files for one.

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

// Qt
#include <QTemporaryDir>

// Local
#include "engine/SameFile.h"

namespace {

TEST(SameFileTest, ComparesTheFileOrElseTheResolvedPath)
{
    // "real/a.bmp", its copy, and "linked", a link to the folder "real".
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::filesystem::path root = dir.path().toStdString();
    std::filesystem::create_directories(root / "real" / "x");
    std::ofstream(root / "real" / "a.bmp") << "BM";
    std::ofstream(root / "real" / "copy.bmp") << "BM";
    std::filesystem::create_directory_symlink(root / "real", root / "linked");

    const std::tuple<const char*, const char*, bool> cases[] = {
        {"real/a.bmp", "linked/./a.bmp", true},  {"real/a.bmp", "real/copy.bmp", false},
        {"real/a.bmp", "real/b.bmp", false},      {"linked/new.bmp", "real/x/../new.bmp", true}, // neither exists
        {"real/new.bmp", "real/other.bmp", false},
    };
    for (const auto& [pszFirst, pszSecond, bSame] : cases)
        EXPECT_EQ(IsSameFile(root / pszFirst, root / pszSecond), bSame) << pszFirst << " " << pszSecond;
    EXPECT_EQ(CheckOutputIsNotASource(root / "linked/a.bmp", root / "real/copy.bmp", root / "real/a.bmp").Error().m_nCode,
              EngineErrorCode::OutputIsSource);
}

} // namespace
