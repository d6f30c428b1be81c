#include "model/date_time.h"

#include <gtest/gtest.h>

using driftscope::TDateTimeParts;
using driftscope::TDateTimeUtilities;

TEST(DateTime, DayCountMatchesTheCalendar) {
    struct Case {
        TDateTimeParts parts;
        double value;
    };
    const Case cases[] = {
        {{1899, 12, 30, 0, 0, 0, 0}, 0.0},
        {{1900, 1, 1, 0, 0, 0, 0}, 2.0},
        {{2000, 2, 29, 12, 0, 0, 0}, 36585.5},
        {{1899, 12, 29, 6, 0, 0, 0}, -1.25},
        {{2007, 12, 10, 15, 42, 14, 0}, 39426.6543287037},
    };
    for (const Case& c : cases) {
        const auto v = TDateTimeUtilities::TryEncode(c.parts);
        ASSERT_TRUE(v.has_value());
        EXPECT_NEAR(*v, c.value, 1e-9);
        const TDateTimeParts back = TDateTimeUtilities::Decode(*v);
        EXPECT_EQ(back.year, c.parts.year);
        EXPECT_EQ(back.month, c.parts.month);
        EXPECT_EQ(back.day, c.parts.day);
        EXPECT_EQ(back.hour, c.parts.hour);
        EXPECT_EQ(back.minute, c.parts.minute);
        EXPECT_EQ(back.second, c.parts.second);
    }
    EXPECT_FALSE(TDateTimeUtilities::TryEncode({2001, 2, 29, 0, 0, 0, 0}));
    EXPECT_FALSE(TDateTimeUtilities::TryEncode({2001, 13, 1, 0, 0, 0, 0}));
}

TEST(DateTime, PacketFormsRoundTrip) {
    const auto noon = *TDateTimeUtilities::TryEncode({2024, 3, 5, 14, 7, 9, 250});
    EXPECT_EQ(TDateTimeUtilities::PacketText(noon), "20240305T14:07:09250");
    const auto midnight = *TDateTimeUtilities::TryEncode({2024, 3, 5, 0, 0, 0, 0});
    EXPECT_EQ(TDateTimeUtilities::PacketText(midnight), "20240305");
    for (const double v : {noon, midnight}) {
        const auto back = TDateTimeUtilities::ParsePacketText(TDateTimeUtilities::PacketText(v));
        ASSERT_TRUE(back);
        EXPECT_NEAR(*back, v, 1e-9);
    }
    for (const char* bad : {"", "2024030", "20241305", "20240305T25:00:00000",
                            "20240305 14:07:09250", "2024-03-05", "20240305T14:07:9250"}) {
        EXPECT_FALSE(TDateTimeUtilities::ParsePacketText(bad)) << bad;
    }
}

TEST(DateTime, GeneralTextKeepsFifteenDigitsAndReadsBack) {
    EXPECT_EQ(TDateTimeUtilities::FloatToText(39426.6543287037), "39426.6543287037");
    EXPECT_EQ(TDateTimeUtilities::FloatToText(46000.123456789012345), "46000.123456789");
    EXPECT_EQ(TDateTimeUtilities::FloatToText(2), "2");
    const double now = TDateTimeUtilities::Now();
    const auto back = TDateTimeUtilities::TextToFloat(TDateTimeUtilities::FloatToText(now));
    ASSERT_TRUE(back);
    EXPECT_NEAR(*back, now, 1e-9);
    EXPECT_EQ(TDateTimeUtilities::TextToFloat("39426,5"), 39426.5);
    EXPECT_FALSE(TDateTimeUtilities::TextToFloat("Run_old_1"));
    EXPECT_FALSE(TDateTimeUtilities::TextToFloat("12abc"));
}

TEST(DateTime, FormatsByPatternAndOption) {
    const auto v = *TDateTimeUtilities::TryEncode({2024, 3, 5, 14, 7, 9, 0});
    EXPECT_EQ(TDateTimeUtilities::FormatDateTime("yyyy-mm-dd hh:nn:ss", v), "2024-03-05 14:07:09");
    EXPECT_EQ(TDateTimeUtilities::FormatDateTime("hh:mm:ss", v), "14:07:09");
    EXPECT_EQ(TDateTimeUtilities::FormatDateTime("dddd, mmmm d, yyyy", v),
              "Tuesday, March 5, 2024");
    TDateTimeUtilities::SetDateFormatOption(1);
    EXPECT_EQ(TDateTimeUtilities::FormatDateTimeText(v), "Tuesday, March 5, 2024  14:07:09");
    TDateTimeUtilities::SetDateFormatOption(7);
    EXPECT_EQ(TDateTimeUtilities::FormatDateTimeText(v), "2024-03-05  14:07:09");
    TDateTimeUtilities::SetDateFormatOption(0);
}
