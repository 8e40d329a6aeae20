// The data exchange's numbers: one read that the dialog framework would
// refuse, or refused where it would read it.

#include <gtest/gtest.h>

// Qt
#include <QApplication>
#include <QLineEdit>
#include <QTest>

// Local
#include "platform/ui/CDialog.h"
#include "tests/platform/support/TestServices.h"

namespace {

TEST(DataExchangeParseInt, AcceptsOnlyWholeNumbersThatFitInt32)
{
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {"42", true, 42},         {"  42  ", true, 42},      {"\t-7\t", true, -7},
        {"+15", true, 15},        {"0", true, 0},            {"-0", true, 0},
        {"2147483647", true, 2147483647},                    {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0}, {"-2147483649", false, 0}, {"99999999999999999999999", false, 0},
        {"", false, 0},           {"   ", false, 0},         {"-", false, 0},
        {"1a", false, 0},         {"a1", false, 0},          {"1 2", false, 0},
        {"0x10", false, 0},       {"1.5", false, 0},         {"1e3", false, 0},
        {"--1", false, 0},        {"\n1", false, 0},
    };
    for (const Case& c : cases) {
        int value = 12345;
        EXPECT_EQ(CDataExchange::ParseInt(c.text, value) != FALSE, c.ok) << '"' << c.text << '"';
        EXPECT_EQ(value, c.ok ? c.value : 12345) << '"' << c.text << '"';
    }
}

} // namespace
