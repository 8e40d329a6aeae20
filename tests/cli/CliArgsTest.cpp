#include <gtest/gtest.h>

// Local
#include "cli/CliArgs.h"

namespace {

TEST(CliArgsTest, OptionsValuesAndTheEndOfOptions)
{
    const CliOptionTable options{{"ratio", "size"}, {"help"}};
    const CliArgs args = ParseCliArgs({"a", "--ratio", "30", "--size=4x4", "-", "--", "--help", "-b"}, options);
    EXPECT_EQ(args.m_strError, "");
    EXPECT_EQ(args.m_positional, (std::vector<std::string>{"a", "-", "--help", "-b"}));
    EXPECT_EQ(args.m_options.at("ratio"), "30");
    EXPECT_EQ(args.m_options.at("size"), "4x4");
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--colour"}, {"-r"}, {"--ratio"}, {"--ratio=1", "--ratio=2"}, {"--help=yes"}})
        EXPECT_NE(ParseCliArgs(bad, options).m_strError, "") << bad.front();

    EXPECT_EQ(ParseInt32("+100", 0, 100), 100);
    EXPECT_EQ(ParseInt32("-7", -10, 10), -7);
    for (const char* pszBad : {"", "+", "101", "-1", " 5", "0x10", "2147483648", "++1"})
        EXPECT_FALSE(ParseInt32(pszBad, 0, 100)) << pszBad;
    EXPECT_EQ(ParseSize("-8X3")->m_nWidth, -8);
    EXPECT_EQ(ParseSize("640x480")->m_nHeight, 480);
    for (const char* pszBad : {"640", "x480", "640x", "640x480x2", "99999999999x1"})
        EXPECT_FALSE(ParseSize(pszBad)) << pszBad;

    EXPECT_EQ(ParseMicroseconds("2", 100), 2000000);
    EXPECT_EQ(ParseMicroseconds("0.35", 100), 350000);
    EXPECT_EQ(ParseMicroseconds(".5", 100), 500000);
    EXPECT_EQ(ParseMicroseconds("100.000000", 100), 100000000);
    for (const char* pszBad : {"", ".", "1.", "-1", "+1", "1e3", "0.0000001", "100.000001", "1,5", "99999999999"})
        EXPECT_FALSE(ParseMicroseconds(pszBad, 100)) << pszBad;
}

} // namespace
