#include "model/date_time.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace driftscope {
namespace {

constexpr std::int64_t kMsPerDay = 86400000;
// Day number of 30 December 1899 counted from 1 January 1970.
constexpr std::int64_t kEpochOffsetDays = -25569;

// Days since 1970-01-01 (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2 ? 1 : 0));
}

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[static_cast<std::size_t>(m - 1)];
}

bool ParseDigits(std::string_view text, std::size_t pos, std::size_t count, int& out) {
    if (pos + count > text.size()) {
        return false;
    }
    int v = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            return false;
        }
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

constexpr std::array<const char*, 12> kMonthNames{"January",   "February", "March",    "April",
                                                  "May",       "June",     "July",     "August",
                                                  "September", "October",  "November", "December"};
constexpr std::array<const char*, 7> kDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                               "Thursday", "Friday", "Saturday"};

int g_dateFormatOption = 0;

} // namespace

std::optional<TDateTime> TDateTimeUtilities::TryEncode(const TDateTimeParts& p) {
    if (p.year < 1 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > DaysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 ||
        p.minute > 59 || p.second < 0 || p.second > 59 || p.millisecond < 0 ||
        p.millisecond > 999) {
        return std::nullopt;
    }
    const auto days = static_cast<double>(
        DaysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)) -
        kEpochOffsetDays);
    const double time =
        static_cast<double>(((p.hour * 60 + p.minute) * 60 + p.second) * 1000 + p.millisecond) /
        static_cast<double>(kMsPerDay);
    // Before 1899-12-30 the day count is negative and the time of day still counts forward.
    return days < 0 ? days - time : days + time;
}

TDateTimeParts TDateTimeUtilities::Decode(TDateTime value) {
    double whole = std::trunc(value);
    auto ms = static_cast<std::int64_t>(std::llround(std::fabs(value - whole) * kMsPerDay));
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        whole += value < 0 ? -1 : 1;
    }
    TDateTimeParts p;
    CivilFromDays(static_cast<std::int64_t>(whole) + kEpochOffsetDays, p.year, p.month, p.day);
    p.millisecond = static_cast<int>(ms % 1000);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.hour = static_cast<int>(ms / 3600000);
    return p;
}

TDateTime TDateTimeUtilities::Now() {
    const auto now = std::chrono::system_clock::now();
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    return FromUnixTime(ms / 1000, static_cast<int>(ms % 1000));
}

TDateTime TDateTimeUtilities::FromUnixTime(std::int64_t seconds, int milliseconds) {
    const auto t = static_cast<std::time_t>(seconds);
    // The program runs its work on one thread, so the shared buffer of localtime is safe here.
    const std::tm* local = std::localtime(&t);
    if (local == nullptr) {
        return 0;
    }
    TDateTimeParts p{local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, local->tm_hour,
                     local->tm_min,         local->tm_sec,     milliseconds};
    p.second = p.second > 59 ? 59 : p.second;
    return TryEncode(p).value_or(0);
}

TDateTime TDateTimeUtilities::FromFileTime(std::filesystem::file_time_type time) {
    const auto sys = std::chrono::file_clock::to_sys(time);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(sys.time_since_epoch()).count();
    const auto seconds = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    return FromUnixTime(seconds, static_cast<int>(ms - seconds * 1000));
}

std::string TDateTimeUtilities::FloatToText(double value) {
    std::array<char, 64> buf{};
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 15);
    return std::string(buf.data(), res.ptr);
}

std::optional<double> TDateTimeUtilities::TextToFloat(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::string copy(text);
    // A comma separator (written under another regional setting) reads the same.
    for (char& c : copy) {
        if (c == ',') {
            c = '.';
        }
    }
    std::string_view v = copy;
    if (v.front() == '+') {
        v.remove_prefix(1);
    }
    double out = 0;
    const auto res = std::from_chars(v.data(), v.data() + v.size(), out);
    if (res.ec != std::errc() || res.ptr != v.data() + v.size() || !std::isfinite(out)) {
        return std::nullopt;
    }
    return out;
}

std::string TDateTimeUtilities::PacketText(TDateTime value) {
    const TDateTimeParts p = Decode(value);
    std::array<char, 40> buf{};
    int n = 0;
    if (p.hour == 0 && p.minute == 0 && p.second == 0 && p.millisecond == 0) {
        n = std::snprintf(buf.data(), buf.size(), "%04d%02d%02d", p.year, p.month, p.day);
    } else {
        n = std::snprintf(buf.data(), buf.size(), "%04d%02d%02dT%02d:%02d:%05d", p.year, p.month,
                          p.day, p.hour, p.minute, p.second * 1000 + p.millisecond);
    }
    return std::string(buf.data(), static_cast<std::size_t>(n));
}

std::optional<TDateTime> TDateTimeUtilities::ParsePacketText(std::string_view text) {
    TDateTimeParts p;
    if (!ParseDigits(text, 0, 4, p.year) || !ParseDigits(text, 4, 2, p.month) ||
        !ParseDigits(text, 6, 2, p.day)) {
        return std::nullopt;
    }
    if (text.size() == 8) {
        return TryEncode(p);
    }
    int secMs = 0;
    if (text.size() != 20 || text[8] != 'T' || text[11] != ':' || text[14] != ':' ||
        !ParseDigits(text, 9, 2, p.hour) || !ParseDigits(text, 12, 2, p.minute) ||
        !ParseDigits(text, 15, 5, secMs)) {
        return std::nullopt;
    }
    p.second = secMs / 1000;
    p.millisecond = secMs % 1000;
    return TryEncode(p);
}

std::optional<TDateTime> TDateTimeUtilities::ParseText(std::string_view text) {
    if (auto packet = ParsePacketText(text)) {
        return packet;
    }
    TDateTimeParts p;
    if (text.size() >= 10 && text[4] == '-' && text[7] == '-' && ParseDigits(text, 0, 4, p.year) &&
        ParseDigits(text, 5, 2, p.month) && ParseDigits(text, 8, 2, p.day)) {
        std::string_view rest = text.substr(10);
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == 'T')) {
            rest.remove_prefix(1);
        }
        if (!rest.empty()) {
            if (rest.size() < 5 || rest[2] != ':' || !ParseDigits(rest, 0, 2, p.hour) ||
                !ParseDigits(rest, 3, 2, p.minute)) {
                return std::nullopt;
            }
            if (rest.size() > 5 &&
                (rest.size() != 8 || rest[5] != ':' || !ParseDigits(rest, 6, 2, p.second))) {
                return std::nullopt;
            }
        }
        return TryEncode(p);
    }
    return TextToFloat(text);
}

std::string TDateTimeUtilities::FormatDateTime(std::string_view pattern, TDateTime value) {
    const TDateTimeParts p = Decode(value);
    const auto dayCount = static_cast<std::int64_t>(std::trunc(value));
    // 30 December 1899 was a Saturday.
    const auto weekday = static_cast<std::size_t>(((dayCount + 6) % 7 + 7) % 7);
    std::string out;
    auto two = [&out](int v) {
        out.push_back(static_cast<char>('0' + v / 10 % 10));
        out.push_back(static_cast<char>('0' + v % 10));
    };
    auto number = [&out, &two](int v, std::size_t digits) {
        if (digits == 1) {
            out += std::to_string(v);
        } else {
            two(v);
        }
    };
    auto count = [&pattern](std::size_t i, char c) {
        std::size_t n = 0;
        while (i + n < pattern.size() && (pattern[i + n] | 0x20) == c) {
            ++n;
        }
        return n;
    };
    bool afterHour = false;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = static_cast<char>(pattern[i] | 0x20);
        if (pattern[i] == '"' || pattern[i] == '\'') {
            const std::size_t end = pattern.find(pattern[i], i + 1);
            const std::size_t stop = end == std::string_view::npos ? pattern.size() : end;
            out.append(pattern.substr(i + 1, stop - i - 1));
            i = stop + 1;
            continue;
        }
        std::size_t n = 0;
        switch (c) {
        case 'y':
            n = count(i, 'y');
            if (n <= 2) {
                two(p.year % 100);
            } else {
                out += std::to_string(p.year);
            }
            break;
        case 'm':
            n = count(i, 'm');
            if (afterHour && n <= 2) {
                number(p.minute, n);
            } else if (n <= 2) {
                number(p.month, n);
            } else {
                const std::string name = kMonthNames[static_cast<std::size_t>(p.month - 1)];
                out += n == 3 ? name.substr(0, 3) : name;
            }
            afterHour = false;
            break;
        case 'd':
            n = count(i, 'd');
            if (n <= 2) {
                number(p.day, n);
            } else {
                const std::string name = kDayNames[weekday];
                out += n == 3 ? name.substr(0, 3) : name;
            }
            break;
        case 'h':
            n = count(i, 'h');
            number(p.hour, n);
            afterHour = true;
            break;
        case 'n':
            n = count(i, 'n');
            number(p.minute, n);
            afterHour = false;
            break;
        case 's':
            n = count(i, 's');
            number(p.second, n);
            break;
        case 'z': {
            n = count(i, 'z');
            std::array<char, 8> buf{};
            std::snprintf(buf.data(), buf.size(), "%03d", p.millisecond);
            out += n >= 3 ? buf.data() : std::to_string(p.millisecond);
            break;
        }
        default:
            n = 1;
            out.push_back(pattern[i]);
            break;
        }
        i += n;
    }
    return out;
}

std::string TDateTimeUtilities::FormatDateTimeText(TDateTime value) {
    const TFormatSettings& fs = FormatSettings();
    if (g_dateFormatOption == 1) {
        return FormatDateTime(fs.longDateFormat, value) + "  " +
               FormatDateTime(fs.longTimeFormat, value);
    }
    return FormatDateTime(fs.shortDateFormat, value) + "  " +
           FormatDateTime(fs.shortTimeFormat, value);
}

void TDateTimeUtilities::SetDateFormatOption(int option) {
    g_dateFormatOption = option;
}

int TDateTimeUtilities::DateFormatOption() {
    return g_dateFormatOption;
}

TFormatSettings& TDateTimeUtilities::FormatSettings() {
    static TFormatSettings settings;
    return settings;
}

} // namespace driftscope
