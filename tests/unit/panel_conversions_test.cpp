#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "ui/panel/dialog_units.h"
#include "ui/panel/iterations_text.h"
#include "ui/panel/slider_scaling.h"
#include "ui/panel/walk_status.h"

namespace ramifex
{
namespace
{

constexpr int32_t Max = std::numeric_limits<int32_t>::max();
constexpr int32_t Min = std::numeric_limits<int32_t>::min();

TEST(ParseLeadingInteger, FollowsAtoiAndSaturatesBeyondThe32BitRange)
{
    const std::pair<std::string, int32_t> cases[] = {
        {"12abc", 12},
        {"  7", 7},
        {" \t\n\v\f\r9", 9},
        {"+3", 3},
        {"-5", -5},
        {"007", 7},
        {"-0", 0},
        {"", 0},
        {"abc", 0},
        {"-", 0},
        {"+-3", 0},
        {"- 3", 0},
        {"1 2", 1},
        {"3\xC2\xA0", 3},
        {"\xEF\xBC\x95", 0},  // full-width digit
        {"2147483647", Max},
        {"-2147483648", Min},
        {"2147483648", Max},
        {"-2147483649", Min},
        {"99999999999999999999999999", Max},
        {"-99999999999999999999999999", Min},
    };
    for (const auto& [text, expected] : cases)
    {
        EXPECT_EQ(ParseLeadingInteger(text), expected) << '"' << text << '"';
    }
    EXPECT_EQ(ParseLeadingInteger(std::string(100000, '9')), Max);
}

TEST(IterationsFromText, ClampsToOneThroughThirty)
{
    EXPECT_EQ(IterationsFromText("0"), 1);
    EXPECT_EQ(IterationsFromText("-5"), 1);
    EXPECT_EQ(IterationsFromText(""), 1);
    EXPECT_EQ(IterationsFromText("1"), 1);
    EXPECT_EQ(IterationsFromText("30"), 30);
    EXPECT_EQ(IterationsFromText("31"), 30);
    EXPECT_EQ(IterationsFromText("-99999999999"), 1);
    EXPECT_EQ(IterationsFromText("99999999999"), 30);
}

TEST(SliderScaling, TruncatesTowardZeroWithoutUndefinedConversions)
{
    EXPECT_EQ(TruncateTowardZero(2.9), 2);
    EXPECT_EQ(TruncateTowardZero(-2.9), -2);
    EXPECT_EQ(TruncateTowardZero(-0.9), 0);
    EXPECT_EQ(TruncateTowardZero(1e300), Max);
    EXPECT_EQ(TruncateTowardZero(-1e300), Min);
    EXPECT_EQ(TruncateTowardZero(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(SliderScaling, AngleRoundTripCanLoseOneStep)
{
    EXPECT_EQ(ToPosition(100.0, AngleScale), 555);
    EXPECT_EQ(ToPosition(-100.0, AngleScale), -555);
    EXPECT_EQ(ToRecord(555, AngleScale), 99.89999999999999);
    EXPECT_EQ(ToPosition(ToRecord(555, AngleScale), AngleScale), 554);
    EXPECT_EQ(ToPosition(0.7071067811865475, AxisScale), 707);
    EXPECT_EQ(ToRecord(-1000, OffsetScale), -10.0);
}

TEST(SliderScaling, ColourChannelsTruncateAndComeBackThroughTheReciprocal)
{
    EXPECT_EQ(ChannelToByte(0.5), 127);
    EXPECT_EQ(ChannelToByte(1.0), 255);
    EXPECT_EQ(ChannelToByte(0.0), 0);
    EXPECT_EQ(ByteToChannel(33), 0.12941176470588234);
    EXPECT_EQ(ChannelToByte(ByteToChannel(33)), 32);
}

TEST(DialogUnits, MapCornersWithTheFontsBaseUnits)
{
    // The classic 8-point dialog font: 6 pixels average width, 13 pixels high.
    const DialogBaseUnits base{6, 13};
    EXPECT_EQ(HorizontalPixels(157, base), 236);  // 235.5 rounds up
    EXPECT_EQ(VerticalPixels(236, base), 384);    // 383.5 rounds up
    // OK at (30, 200), 45 x 15: the corners map to (45, 325) and (113, 349).
    EXPECT_EQ(ToPixels({30, 200, 45, 15}, base), QRect(45, 325, 68, 24));
    // Controls that touch in dialog units touch in pixels.
    const QRect angle = ToPixels({40, 60, 100, 15}, base);
    const QRect axisX = ToPixels({40, 75, 100, 15}, base);
    EXPECT_EQ(angle.bottom() + 1, axisX.top());
}

TEST(WalkStatusText, SaysHowFarThePictureIsInTheUsersLocale)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    const struct
    {
        WalkProgress Progress;
        QLocale Locale;
        const char* Text;
    } cases[] = {
        {{false, 0.0, 1023, 0, 0, 0, {}}, english, "Drawing 0%"},
        // Until the forecast can be trusted, the share alone.
        {{false, 0.375, 1023, 400, 7200, 0, {}}, english, "Drawing 37%"},
        {{false, 0.375, 1023, 400, 7200, 0, 12400}, english, "Drawing 37% \u00B7 about 12 s left"},
        {{false, 0.999, 1023, 1000, 5000, 0, 0}, english, "Drawing 99% \u00B7 about 0 s left"},
        {{false, 0.02, 1023, 10, 60000, 0, 2940000},
         english,
         "Drawing 2% \u00B7 about 49 min left"},
        {{false, 0.01, 1023, 10, 60000, 0, 5940000}, english, "Drawing 1% \u00B7 about 2 h left"},
        {{false, 0.375, 1023, 400, 7200, 0, 12400, true},
         english,
         "Stopped at 37% \u00B7 any change draws again"},
        {{true, 1.0, 1073741823, 1737243, 6240, 0, {}},
         english,
         "1,737,243 spheres drawn, 1,072,004,580 left out as unseen \u00B7 6.2 s"},
        {{true, 1.0, 1073741823, 1737243, 6240, 0, {}},
         german,
         "1.737.243 spheres drawn, 1.072.004.580 left out as unseen \u00B7 6,2 s"},
        {{true, 1.0, 1, 1, 0, 0, {}}, english, "1 sphere drawn, 0 left out as unseen \u00B7 0.0 s"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(WalkStatusText(c.Progress, c.Locale).toStdString(),
                  QString::fromUtf8(c.Text).toStdString());
    }
}

}  // namespace
}  // namespace ramifex
