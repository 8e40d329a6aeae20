#include <string>
#include <vector>

#include <gtest/gtest.h>

// Local
#include "cli/CliArgs.h"

namespace {

const CliArgsSpec kSpec{{"ratio", "size"}, {"help"}};

TEST(CliArgsTest, SplitsOptionsFromPositionalArguments)
{
    const CliArgs args = ParseCliArgs({"a.gif", "--ratio", "30", "b.jpg", "--size=64x48", "-", "out.bmp"}, kSpec);
    EXPECT_EQ(args.m_strError, "");
    EXPECT_EQ(args.m_positional, (std::vector<std::string>{"a.gif", "b.jpg", "-", "out.bmp"}));
    EXPECT_EQ(args.m_options.at("ratio"), "30");
    EXPECT_EQ(args.m_options.at("size"), "64x48");

    // After "--" even words that look like options are file names.
    const CliArgs ended = ParseCliArgs({"--help", "--", "--ratio", "-x.bmp"}, kSpec);
    EXPECT_EQ(ended.m_strError, "");
    EXPECT_TRUE(ended.Has("help"));
    EXPECT_EQ(ended.m_positional, (std::vector<std::string>{"--ratio", "-x.bmp"}));
}

TEST(CliArgsTest, ReportsUnknownRepeatedAndIncompleteOptions)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--colour", "red"}, {"-r", "5"}, {"--ratio"}, {"--ratio=1", "--ratio=2"}, {"--help=yes"},
    };
    for (const auto& words : bad)
        EXPECT_NE(ParseCliArgs(words, kSpec).m_strError, "") << words.front();
}

TEST(CliArgsTest, NumbersAndSizesMustBeWholeAndInRange)
{
    EXPECT_EQ(ParseInt32("0", 0, 100), 0);
    EXPECT_EQ(ParseInt32("+100", 0, 100), 100);
    EXPECT_EQ(ParseInt32("-7", -10, 10), -7);
    for (const char* pszBad : {"", "+", "-", "101", "-1", "5%", " 5", "0x10", "2147483648", "++1", "1.0"})
        EXPECT_FALSE(ParseInt32(pszBad, 0, 100)) << pszBad;

    const auto size = ParseSize("640x480");
    ASSERT_TRUE(size);
    EXPECT_EQ(size->m_nWidth, 640);
    EXPECT_EQ(size->m_nHeight, 480);
    EXPECT_EQ(ParseSize("-8X3")->m_nWidth, -8);
    for (const char* pszBad : {"640", "x480", "640x", "640x480x2", "a x b", "99999999999x1"})
        EXPECT_FALSE(ParseSize(pszBad)) << pszBad;
}

} // namespace
