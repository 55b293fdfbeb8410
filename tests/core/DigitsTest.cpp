#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/Digits.h"

namespace kestrune {
namespace {

TEST(Digits, WholeNumbersAreDigitsOnlyAndNeverPastTheirBound) {
    struct Case {
        std::string text;
        int64_t most;
        std::optional<int64_t> value;
    };
    const Case cases[] = {
        {"", kNoDigitBound, std::nullopt},
        {"0", kNoDigitBound, 0},
        {"007", kNoDigitBound, 7},
        {"+5", kNoDigitBound, std::nullopt},
        {"-5", kNoDigitBound, std::nullopt},
        {"-0", kNoDigitBound, std::nullopt},
        {" 5", kNoDigitBound, std::nullopt},
        {"5 ", kNoDigitBound, std::nullopt},
        {"5\t", kNoDigitBound, std::nullopt},
        {"1 2", kNoDigitBound, std::nullopt},
        {"12a", kNoDigitBound, std::nullopt},
        {"0x10", kNoDigitBound, std::nullopt},
        {"1.5", kNoDigitBound, std::nullopt},
        {"\xD9\xA3", kNoDigitBound, std::nullopt},  // an Arabic-Indic three is no ASCII digit
        {std::string("4\0", 2), kNoDigitBound, std::nullopt},
        // At the bound and one past it.
        {"3600", 3600, 3600},
        {"3601", 3600, std::nullopt},
        {"0003600", 3600, 3600},
        {"36000", 3600, std::nullopt},
        {"9", 9, 9},
        {"10", 9, std::nullopt},
        {"0", 0, 0},
        {"5", 0, std::nullopt},
        {"1", -1, std::nullopt},
        {"9223372036854775807", kNoDigitBound, 9223372036854775807},
        {"9223372036854775808", kNoDigitBound, std::nullopt},
        {"99999999999999999999999999", kNoDigitBound, std::nullopt},
        {"2147483648", 2147483647, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WholeNumber(c.text, c.most), c.value) << '"' << c.text << "\" bound " << c.most;
}

TEST(Digits, LeadingDigitsSayWhereTheNumberStops) {
    struct Case {
        std::string text;
        int64_t most;
        size_t length;
        std::optional<int64_t> value;
    };
    const Case cases[] = {
        {"", kNoDigitBound, 0, std::nullopt},
        {"abc", kNoDigitBound, 0, std::nullopt},
        {"-1,Title", kNoDigitBound, 0, std::nullopt},
        {"180,Artist - Title", kNoDigitBound, 3, 180},
        {"12/15", 255, 2, 12},
        {"256", 255, 3, std::nullopt},
        // Past the bound the run is still measured to its end.
        {"99999999999999999999999 tail", kNoDigitBound, 23, std::nullopt},
        {"0000000000000000000000007", 255, 25, 7},
    };
    for (const Case& c : cases) {
        const DigitRun run = LeadingDigits(c.text, c.most);
        EXPECT_EQ(run.length, c.length) << '"' << c.text << '"';
        EXPECT_EQ(run.value, c.value) << '"' << c.text << '"';
    }
}

TEST(Digits, FixedWidthsTakeExactlyTheirDigits) {
    const std::string stamp = "2026-12-09T06:05:59.125Z";
    EXPECT_EQ(FixedDigits(stamp, 0, 4), 2026);
    EXPECT_EQ(FixedDigits(stamp, 5, 2), 12);
    EXPECT_EQ(FixedDigits(stamp, 11, 2), 6);
    EXPECT_EQ(FixedDigits(stamp, 20, 3), 125);
    EXPECT_EQ(FixedDigits("000000", 0, 6), 0);
    EXPECT_EQ(FixedDigits("999999999", 0, 9), 999999999);
    // A separator, a sign or a blank inside the width, or a text that ends first: none.
    EXPECT_EQ(FixedDigits(stamp, 3, 2), std::nullopt);
    EXPECT_EQ(FixedDigits("+5", 0, 2), std::nullopt);
    EXPECT_EQ(FixedDigits(" 5", 0, 2), std::nullopt);
    EXPECT_EQ(FixedDigits("5", 0, 2), std::nullopt);
    EXPECT_EQ(FixedDigits("12", 1, 2), std::nullopt);
    EXPECT_EQ(FixedDigits("12", 3, 1), std::nullopt);
    EXPECT_EQ(FixedDigits("12", 0, 0), std::nullopt);
    // Only the width is read: what follows it is the caller's.
    EXPECT_EQ(FixedDigits("1234", 0, 2), 12);
}

}  // namespace
}  // namespace kestrune
