#include "platform/system_facts.h"

#include "model/text_utilities.h"

#include <array>

namespace driftscope {
namespace {

struct TCodeName {
    const char* code;
    const char* name;
};

constexpr std::array<TCodeName, 30> kLanguages{{
    {"ar", "Arabic"},    {"bg", "Bulgarian"}, {"ca", "Catalan"},    {"cs", "Czech"},
    {"da", "Danish"},    {"de", "German"},    {"el", "Greek"},      {"en", "English"},
    {"es", "Spanish"},   {"et", "Estonian"},  {"fi", "Finnish"},    {"fr", "French"},
    {"he", "Hebrew"},    {"hr", "Croatian"},  {"hu", "Hungarian"},  {"it", "Italian"},
    {"ja", "Japanese"},  {"ko", "Korean"},    {"lt", "Lithuanian"}, {"lv", "Latvian"},
    {"nb", "Norwegian"}, {"nl", "Dutch"},     {"pl", "Polish"},     {"pt", "Portuguese"},
    {"ro", "Romanian"},  {"ru", "Russian"},   {"sk", "Slovak"},     {"sv", "Swedish"},
    {"tr", "Turkish"},   {"zh", "Chinese"},
}};

constexpr std::array<TCodeName, 28> kTerritories{{
    {"AT", "Austria"},       {"AU", "Australia"},      {"BE", "Belgium"},
    {"BR", "Brazil"},        {"CA", "Canada"},         {"CH", "Switzerland"},
    {"CN", "China"},         {"CZ", "Czech Republic"}, {"DE", "Germany"},
    {"DK", "Denmark"},       {"ES", "Spain"},          {"FI", "Finland"},
    {"FR", "France"},        {"GB", "United Kingdom"}, {"IE", "Ireland"},
    {"IN", "India"},         {"IT", "Italy"},          {"JP", "Japan"},
    {"KR", "Korea"},         {"MX", "Mexico"},         {"NL", "Netherlands"},
    {"NO", "Norway"},        {"NZ", "New Zealand"},    {"PL", "Poland"},
    {"PT", "Portugal"},      {"RU", "Russia"},         {"SE", "Sweden"},
    {"US", "United States"},
}};

template <std::size_t N>
std::string Lookup(const std::array<TCodeName, N>& table, std::string_view code) {
    for (const TCodeName& e : table) {
        if (code == e.code) {
            return e.name;
        }
    }
    return std::string(code);
}

// Pseudo filesystems that hold no files of their own.
constexpr std::array<const char*, 21> kPseudo{
    "proc",    "sysfs",       "cgroup",   "cgroup2",    "devpts",   "mqueue",   "debugfs",
    "tracefs", "securityfs",  "pstore",   "bpf",        "configfs", "fusectl",  "hugetlbfs",
    "autofs",  "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs",     "devtmpfs", "selinuxfs"};

std::string DecodeMountField(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' &&
            field[i + 1] <= '7') {
            const int v =
                (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            out.push_back(static_cast<char>(v));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

} // namespace

std::string TSystemFactsText::PrettyNameFromOsRelease(std::string_view text) {
    for (const std::string& line : TTextUtilities::Split(text, '\n')) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || TTextUtilities::Trim(line.substr(0, eq)) != "PRETTY_NAME") {
            continue;
        }
        std::string_view value = TTextUtilities::Trim(std::string_view(line).substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        return std::string(value);
    }
    return {};
}

void TSystemFactsText::SplitKernelRelease(std::string_view release, std::string& version,
                                          std::string& build) {
    const auto parts = TTextUtilities::Split(release, '.');
    const auto digits = [](const std::string& s) {
        std::size_t n = 0;
        while (n < s.size() && s[n] >= '0' && s[n] <= '9') {
            ++n;
        }
        return s.substr(0, n);
    };
    version = parts.size() >= 2 ? digits(parts[0]) + "." + digits(parts[1]) : digits(parts[0]);
    build = parts.size() >= 3 ? digits(parts[2]) : std::string();
}

std::string TSystemFactsText::LanguageDisplayName(std::string_view locale) {
    const std::size_t stop = locale.find_first_of(".@");
    const std::string_view base = locale.substr(0, stop);
    if (base.empty() || base == "C" || base == "POSIX") {
        return "English";
    }
    const std::size_t underscore = base.find('_');
    const std::string language = Lookup(kLanguages, base.substr(0, underscore));
    if (underscore == std::string_view::npos) {
        return language;
    }
    return language + " (" + Lookup(kTerritories, base.substr(underscore + 1)) + ")";
}

std::string TSystemFactsText::SerialFromUuid(std::string_view uuid) {
    std::string hex;
    for (const char c : uuid) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) {
            hex.push_back(static_cast<char>(c >= 'a' ? c - 32 : c));
        }
        if (hex.size() == 8) {
            return hex.substr(0, 4) + " - " + hex.substr(4);
        }
    }
    return {};
}

std::vector<TSystemFactsText::TMount> TSystemFactsText::ParseMounts(std::string_view text) {
    std::vector<TMount> mounts;
    for (const std::string& line : TTextUtilities::Split(text, '\n')) {
        std::vector<std::string> fields;
        for (std::string& f : TTextUtilities::Split(line, ' ')) {
            if (!f.empty()) {
                fields.push_back(std::move(f));
            }
        }
        if (fields.size() < 3) {
            continue;
        }
        bool pseudo = false;
        for (const char* p : kPseudo) {
            pseudo = pseudo || fields[2] == p;
        }
        if (!pseudo) {
            mounts.push_back({DecodeMountField(fields[0]), DecodeMountField(fields[1]), fields[2]});
        }
    }
    return mounts;
}

std::string TSystemFactsText::DriveTypeOf(std::string_view fs, bool removableDevice) {
    if (fs == "nfs" || fs == "nfs4" || fs == "cifs" || fs == "smb3" || fs == "smbfs" ||
        fs == "9p" || fs == "afs" || fs == "ceph" || fs == "fuse.sshfs" || fs == "davfs") {
        return "Remote";
    }
    if (fs == "iso9660" || fs == "udf") {
        return "CD-ROM";
    }
    if (fs == "tmpfs" || fs == "ramfs") {
        return "RAM Disk";
    }
    return removableDevice ? "Removable" : "Fixed";
}

} // namespace driftscope
