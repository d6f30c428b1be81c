#include "actions/misc_utilities.h"

#include "app/configuration.h"
#include "app/exception_handler.h"
#include "app/message_dialog.h"
#include "app/services.h"
#include "collectors/icon_pictures.h"
#include "model/date_time.h"
#include "model/text_utilities.h"
#include "platform/launcher.h"
#include "platform/process_info.h"
#include "platform/registry_key.h"
#include "platform/system_facts.h"
#include "reports/jpeg_writer.h"

#include <array>
#include <cstdio>
#include <filesystem>

namespace driftscope {
namespace {

std::string Heading(const std::string& title) {
    std::string upper = title;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
    }
    return "[" + upper + "]";
}

std::optional<TRegistryKey> OpenKey(TRootKey root, std::string_view key, bool create) {
    IRegistry* registry = Services().registry;
    if (registry == nullptr) {
        return std::nullopt;
    }
    return TRegistryKey::Open(*registry, root, std::string(key), create);
}

} // namespace

bool TMiscUtilities::ReadBoolValue(TRootKey root, std::string_view key, bool defaultValue,
                                   std::string_view name) {
    return ReadIntegerValue(root, key, defaultValue ? 1 : 0, name) != 0;
}

void TMiscUtilities::WriteBoolValue(TRootKey root, std::string_view key, bool value,
                                    std::string_view name) {
    WriteIntegerValue(root, key, value ? 1 : 0, name);
}

int TMiscUtilities::ReadIntegerValue(TRootKey root, std::string_view key, int defaultValue,
                                     std::string_view name) {
    try {
        const auto k = OpenKey(root, key, false);
        if (!k || !k->ValueExists(name)) {
            return defaultValue;
        }
        return k->ReadInteger(name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return defaultValue;
    }
}

void TMiscUtilities::WriteIntegerValue(TRootKey root, std::string_view key, int value,
                                       std::string_view name) {
    try {
        if (auto k = OpenKey(root, key, true)) {
            k->WriteInteger(name, value);
        }
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

bool TMiscUtilities::DeleteRegistryEntry(TRootKey root, std::string_view key,
                                         std::string_view name) {
    IRegistry* registry = Services().registry;
    if (registry == nullptr) {
        return false;
    }
    if (name.empty()) {
        return registry->DeleteKey(root, key).Ok();
    }
    return registry->DeleteValue(root, key, name).Ok();
}

TRootKey TMiscUtilities::RootKeyFromText(std::string_view text) {
    const std::string folded = TTextUtilities::FoldCase(text);
    for (const TRootKeyName& r : kRootKeyNames) {
        if (folded.find(TTextUtilities::FoldCase(r.name)) != std::string::npos) {
            return r.root;
        }
    }
    return TRootKey::CurrentUser;
}

bool TMiscUtilities::IsRootKeyName(std::string_view text) {
    for (const TRootKeyName& r : kRootKeyNames) {
        if (TTextUtilities::SameText(text, r.name)) {
            return true;
        }
    }
    return false;
}

std::string TMiscUtilities::RootKeyNames() {
    std::string names;
    for (const TRootKeyName& r : kRootKeyNames) {
        names.append(names.empty() ? "" : "\r\n").append(r.name);
    }
    return names;
}

void TMiscUtilities::SplitRegistryPath(std::string_view text, std::string& rootName,
                                       std::string& subPath) {
    rootName.clear();
    subPath.clear();
    const std::size_t start = text.find("HKEY_");
    if (TTextUtilities::Trim(text).empty() || start == std::string_view::npos) {
        return;
    }
    const std::string_view rest = text.substr(start);
    const std::size_t slash = rest.find('\\');
    rootName = std::string(rest.substr(0, slash));
    if (slash != std::string_view::npos) {
        subPath = std::string(rest.substr(slash + 1));
    }
}

std::string TMiscUtilities::LastErrorText() {
    return TProcessInfo::LastErrorText();
}

std::int64_t TMiscUtilities::ApplicationMemoryUsageKB() {
    return TProcessInfo::WorkingSetKB();
}

std::string TMiscUtilities::ColorToHtml(TColor color) {
    const TColor rgb = TTheme::ResolveColor(color);
    std::array<char, 8> buf{};
    std::snprintf(buf.data(), buf.size(), "#%.2x%.2x%.2x", rgb & 0xFF, (rgb >> 8) & 0xFF,
                  (rgb >> 16) & 0xFF);
    return buf.data();
}

TColor TMiscUtilities::ShiftColor(TColor color) {
    const TColor rgb = TTheme::ResolveColor(color);
    TColor shifted = 0;
    for (int channel = 0; channel < 3; ++channel) {
        const unsigned value = (rgb >> (8 * channel)) & 0xFF;
        const unsigned moved = value < 50 ? value + 50 : value - 50;
        shifted |= moved << (8 * channel);
    }
    return shifted;
}

std::string TMiscUtilities::FontDescription(const TFont& font) {
    std::string text = font.face + ", " + std::to_string(font.size);
    std::string styles;
    const std::pair<bool, const char*> names[] = {{font.bold, "Bold"},
                                                  {font.italic, "Italic"},
                                                  {font.underline, "Underline"},
                                                  {font.strikeOut, "StrikeOut"}};
    for (const auto& [on, name] : names) {
        if (on) {
            styles.append(styles.empty() ? "" : ",").append(name);
        }
    }
    if (!styles.empty()) {
        text += ", [" + styles + "]";
    }
    return text;
}

std::string TMiscUtilities::CssFontStyle(const TFont& font) {
    return font.italic ? "italic" : "normal";
}

std::string TMiscUtilities::CssFontWeight(const TFont& font) {
    return font.bold ? "bold" : "normal";
}

void TMiscUtilities::SaveFont(TRootKey root, std::string_view key, const TFont& font,
                              std::string_view name) {
    try {
        if (auto k = OpenKey(root, key, true)) {
            k->WriteBinary(name, font.ToRecord());
        }
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

TFont TMiscUtilities::LoadFont(TRootKey root, std::string_view key, std::string_view name) {
    try {
        if (const auto k = OpenKey(root, key, false)) {
            const auto value = k->Read(name);
            if (value && value->data.size() == TFont::kRecordSize) {
                return TFont::FromRecord(value->data);
            }
        }
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
    return TFont{};
}

bool TMiscUtilities::OpenFile(const std::string& path, bool /*showNormal*/) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        TMessageDialog::ShowMessageDialog("File not found:\r\n" + path, TMsgKind::Warning, mbOK,
                                          mrOk);
        return false;
    }
    if (Services().launcher == nullptr) {
        return false;
    }
    const TError error = Services().launcher->Open(path);
    if (!error.Ok()) {
        TMessageDialog::ShowMessageDialog("Unable to open file:\r\n" + path + "\r\n\r\n" +
                                              error.message,
                                          TMsgKind::Warning, mbOK, mrOk);
        return false;
    }
    return true;
}

bool TMiscUtilities::SendMail(const std::string& subject, const std::string& body,
                              const std::vector<std::string>& attachments) {
    TMailMessage message;
    if (!TTextUtilities::Trim(subject).empty()) {
        message.subject = subject;
    }
    if (!TTextUtilities::Trim(body).empty()) {
        message.body = body;
    }
    std::string failure;
    for (const std::string& a : attachments) {
        const std::string path(TTextUtilities::Trim(a));
        std::error_code ec;
        if (!std::filesystem::exists(path, ec)) {
            failure = "MAPI_E_ATTACHMENT_NOT_FOUND - " + path;
            break;
        }
        message.attachments.push_back(path);
    }
    if (failure.empty()) {
        const TError error = Services().launcher != nullptr
                                 ? Services().launcher->ComposeMail(message)
                                 : TError{TStatus::Failed, "no mail program"};
        if (error.Ok()) {
            return true;
        }
        failure = "MAPI_E_FAILURE - " + error.message;
    }
    TMessageDialog::ShowMessageDialog("MapiSendMail: " + failure, TMsgKind::Warning, mbOK, mrOk);
    return false;
}

bool TMiscUtilities::IconToJpeg(int iconIndex, const std::string& file) {
    if (TTextUtilities::Trim(file).empty()) {
        return false;
    }
    try {
        TJpegWriter::WriteRgb(file, TIconPictures::Rgb(iconIndex), TIconPictures::kSize,
                              TIconPictures::kSize, 100);
        std::error_code ec;
        return std::filesystem::exists(file, ec);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

std::string TMiscUtilities::FormatDateTimeText(TDateTime value) {
    return TDateTimeUtilities::FormatDateTimeText(value);
}

std::string TMiscUtilities::WebSearchPageName(int engine) {
    switch (engine) {
    case 1:
        return "yahooSearch.html";
    case 2:
        return "windowsLiveSearch.html";
    case 3:
        return "askSearch.html";
    default:
        return "googleSearch.html";
    }
}

std::string TMiscUtilities::BackupFileName(std::string_view rootName, std::string_view keyName) {
    const std::string folder =
        Services().options != nullptr ? Services().options->folders.backups : std::string();
    return (std::filesystem::path(folder) /
            (std::string(rootName) + "_" + std::string(keyName) + "_" +
             TDateTimeUtilities::FloatToText(TDateTimeUtilities::Now()) + ".reg"))
        .string();
}

void TMiscUtilities::AppendApplicationInformation(std::vector<std::string>& lines) {
    const std::filesystem::path program = TProcessInfo::ProgramFile();
    std::string fileDate;
    std::error_code ec;
    const auto written = std::filesystem::last_write_time(program, ec);
    if (!ec) {
        fileDate =
            TDateTimeUtilities::FormatDateTimeText(TDateTimeUtilities::FromFileTime(written));
    }
    lines.push_back(Heading("Application Information"));
    lines.push_back(std::string("Title: ") + kProductName);
    lines.push_back("Version: " + TConfiguration::VersionText(true));
    lines.push_back("File: " + program.filename().string());
    lines.push_back("File Date: " + fileDate);
}

void TMiscUtilities::AppendSystemInformation(std::vector<std::string>& lines) {
    ISystemFacts* facts = Services().system;
    const auto fact = [facts](std::string (ISystemFacts::*get)()) {
        return facts != nullptr ? (facts->*get)() : std::string();
    };
    lines.push_back(Heading("System Information"));
    lines.push_back("Operating System: " + fact(&ISystemFacts::OperatingSystemName));
    lines.push_back("Operating System Version: " + fact(&ISystemFacts::OperatingSystemVersion));
    lines.push_back("Windows Folder: " + fact(&ISystemFacts::WindowsFolder));
    lines.push_back("Windows System Folder: " + fact(&ISystemFacts::SystemFolder));
    lines.push_back("Operating System Build Number: " + fact(&ISystemFacts::BuildNumber));
    lines.push_back("Service Pack: " + fact(&ISystemFacts::ServicePack));
}

void TMiscUtilities::AppendMemoryInformation(std::vector<std::string>& lines) {
    ISystemFacts* facts = Services().system;
    lines.push_back(Heading("Memory"));
    lines.push_back("Application Memory Usage (KB): " +
                    std::to_string(TProcessInfo::WorkingSetKB()));
    lines.push_back("Total Physical Memory (KB): " +
                    std::to_string((facts != nullptr ? facts->TotalPhysicalMemory() : 0) >> 10));
}

void TMiscUtilities::AppendCommentsSection(std::vector<std::string>& lines) {
    lines.emplace_back();
    lines.push_back(Heading("Add comments here"));
    lines.emplace_back();
    lines.emplace_back();
}

} // namespace driftscope
