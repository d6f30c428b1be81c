#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace driftscope {

// Days since 30 December 1899, the time of day as the fraction.
using TDateTime = double;

struct TDateTimeParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Date and time patterns in the classic letter form (yyyy, mm, dd, hh, nn, ss, zzz, ...).
// On Linux these stand in for the system's regional settings.
struct TFormatSettings {
    std::string shortDateFormat = "yyyy-mm-dd";
    std::string longDateFormat = "dddd, mmmm d, yyyy";
    std::string shortTimeFormat = "hh:nn:ss";
    std::string longTimeFormat = "hh:nn:ss";
};

class TDateTimeUtilities {
public:
    static std::optional<TDateTime> TryEncode(const TDateTimeParts& parts);
    // Rounded to the millisecond.
    static TDateTimeParts Decode(TDateTime value);
    static TDateTime Now();
    // Seconds since the Unix epoch (UTC) to local date-time.
    static TDateTime FromUnixTime(std::int64_t seconds, int milliseconds = 0);
    // A file's last-write time as local date-time.
    static TDateTime FromFileTime(std::filesystem::file_time_type time);

    // The general floating-point text with up to 15 significant digits ("39426.6543287037").
    static std::string FloatToText(double value);
    static std::optional<double> TextToFloat(std::string_view text);

    // "yyyymmdd" when the time of day is zero, otherwise "yyyymmddThh:nn:sssss" where the
    // last five digits are seconds * 1000 + milliseconds.
    static std::string PacketText(TDateTime value);
    static std::optional<TDateTime> ParsePacketText(std::string_view text);
    // Packet forms, ISO "yyyy-mm-dd[ hh:nn[:ss]]" or a day count.
    static std::optional<TDateTime> ParseText(std::string_view text);

    static std::string FormatDateTime(std::string_view pattern, TDateTime value);

    // The date-format option: 1 long date + two blanks + long time, anything else short
    // date + two blanks + short time.
    static std::string FormatDateTimeText(TDateTime value);
    static void SetDateFormatOption(int option);
    static int DateFormatOption();
    static TFormatSettings& FormatSettings();
};

} // namespace driftscope
