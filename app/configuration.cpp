#include "app/configuration.h"

#include "app/application_log.h"
#include "app/exception_handler.h"
#include "app/message_dialog.h"
#include "app/services.h"
#include "model/item.h"
#include "model/text_utilities.h"
#include "platform/registry_key.h"

#include <charconv>
#include <filesystem>
#include <functional>

namespace driftscope {
namespace {

TApplicationOptions& Options() {
    return *Services().options;
}

std::optional<TRegistryKey> OpenSettings(std::string_view subkey, bool create = true) {
    IRegistry* registry = Services().registry;
    if (registry == nullptr) {
        return std::nullopt;
    }
    std::string path = Services().SettingsPath();
    if (!subkey.empty()) {
        path.append("\\").append(subkey);
    }
    return TRegistryKey::Open(*registry, TRootKey::CurrentUser, std::move(path), create);
}

// One root value: a key that cannot be opened writes nothing and still updates the field;
// a failed write is reported and leaves the field as it was.
void SaveRootValue(const std::function<void(TRegistryKey&)>& write,
                   const std::function<void()>& update) {
    try {
        auto key = OpenSettings("");
        if (key) {
            write(*key);
        }
        if (update) {
            update();
        }
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

constexpr const char* kFolderNames[] = {"baselines", "quarantine", "backups", "reports"};

std::string* FolderField(TFolders& folders, std::string_view name) {
    if (name == "baselines") {
        return &folders.baselines;
    }
    if (name == "quarantine") {
        return &folders.quarantine;
    }
    if (name == "backups") {
        return &folders.backups;
    }
    if (name == "reports") {
        return &folders.reports;
    }
    return nullptr;
}

} // namespace

void TConfiguration::LoadSettings() {
    TApplicationOptions& o = Options();
    try {
        if (auto key = OpenSettings("")) {
            // The first value that cannot be read ends the whole load; later values keep
            // their defaults.
            const auto readBool = [&](const char* name, bool& field) {
                if (key->ValueExists(name)) {
                    field = key->ReadBool(name);
                }
            };
            const auto readInt = [&](const char* name, int& field) {
                if (key->ValueExists(name)) {
                    field = key->ReadInteger(name);
                }
            };
            readBool("autoRefreshCurrent", o.autoRefreshCurrent);
            if (key->ValueExists("outputDelimiter")) {
                o.outputDelimiter = static_cast<char>(key->ReadInteger("outputDelimiter"));
            }
            readBool("runBaselineWizard", o.runBaselineWizard);
            readBool("showWelcome", o.showWelcome);
            readBool("checkForUpdate", o.checkForUpdate);
            readInt("webSearch", o.webSearch);
            readBool("loadBaselinesOnStartup", o.loadBaselinesOnStartup);
            readBool("iconsEnabled", o.iconsEnabled);
            readInt("dateFormat", o.dateFormat);
            readInt("baselineWizardDays", o.baselineWizardDays);
            if (!IsValidBaselineWizardDays(o.baselineWizardDays)) {
                o.baselineWizardDays = 30;
            }
            if (key->ValueExists("theme")) {
                o.theme = key->ReadString("theme");
            }
        }
    } catch (const ERegistryError&) {
        TDateTimeUtilities::SetDateFormatOption(o.dateFormat);
        return;
    }
    TDateTimeUtilities::SetDateFormatOption(o.dateFormat);
    LoadFolders();
    LoadTheme();
    LoadStartupSelections();
}

void TConfiguration::LoadFolders() {
    try {
        auto key = OpenSettings("folders");
        if (!key) {
            return;
        }
        for (const char* name : kFolderNames) {
            if (!key->ValueExists(name)) {
                continue;
            }
            const std::string path = key->ReadString(name);
            std::error_code ec;
            // A stored folder that no longer exists is ignored; the default stays.
            if (std::filesystem::is_directory(path, ec)) {
                *FolderField(Options().folders, name) = path;
            }
        }
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TConfiguration::LoadTheme() {
    TApplicationOptions& o = Options();
    if (TTextUtilities::SameText(o.theme, TTheme::kDefaultName)) {
        return;
    }
    try {
        auto key = OpenSettings("themes\\" + o.theme);
        if (!key) {
            return;
        }
        for (const TTheme::TColorSlot& slot : TTheme::ColorSlots()) {
            if (key->ValueExists(slot.name)) {
                o.themeData.*slot.field = static_cast<TColor>(key->ReadInteger(slot.name));
            }
        }
        for (const TTheme::TFontSlot& slot : TTheme::FontSlots()) {
            const auto value = key->Read(slot.name);
            if (!value) {
                continue;
            }
            TFont font; // Tahoma 8 points, regular
            if (value->kind != TRegKind::Binary || value->data.size() > TFont::kRecordSize) {
                TExceptionHandler::HandleException(
                    ERegistryError("Invalid font value '" + std::string(slot.name) + "'"));
            } else if (value->data.size() == TFont::kRecordSize) {
                font = TFont::FromRecord(value->data);
            }
            o.themeData.*slot.field = font;
        }
    } catch (...) {
        // A theme that cannot be read leaves what was read so far.
    }
}

void TConfiguration::LoadStartupSelections() {
    try {
        auto key = OpenSettings("startup");
        TItemManager* catalogue = Services().catalogue;
        if (!key || catalogue == nullptr) {
            return;
        }
        for (const std::string& name : key->ValueNames()) {
            if (TItem* item = catalogue->FindByName(name)) {
                item->loadAtStartup = key->ReadBool(name);
            }
        }
    } catch (...) {
        // Unreadable selections leave the items as they are.
    }
}

void TConfiguration::SaveAutoRefreshCurrent(bool value) {
    SaveRootValue([&](TRegistryKey& k) { k.WriteBool("autoRefreshCurrent", value); },
                  [&] { Options().autoRefreshCurrent = value; });
}

void TConfiguration::SaveLoadBaselinesOnStartup(bool value) {
    SaveRootValue([&](TRegistryKey& k) { k.WriteBool("loadBaselinesOnStartup", value); },
                  [&] { Options().loadBaselinesOnStartup = value; });
}

void TConfiguration::SaveIconsEnabled(bool value) {
    SaveRootValue([&](TRegistryKey& k) { k.WriteBool("iconsEnabled", value); },
                  [&] { Options().iconsEnabled = value; });
}

void TConfiguration::SaveOutputDelimiter(char value) {
    SaveRootValue(
        [&](TRegistryKey& k) {
            k.WriteInteger("outputDelimiter", static_cast<unsigned char>(value));
        },
        [&] { Options().outputDelimiter = value; });
}

void TConfiguration::SaveWebSearch(int value) {
    SaveRootValue([&](TRegistryKey& k) { k.WriteInteger("webSearch", value); },
                  [&] { Options().webSearch = value; });
}

void TConfiguration::SaveDateFormat(int value) {
    SaveRootValue([&](TRegistryKey& k) { k.WriteInteger("dateFormat", value); },
                  [&] {
                      Options().dateFormat = value;
                      TDateTimeUtilities::SetDateFormatOption(value);
                  });
}

void TConfiguration::SaveBaselineWizard(bool run, int days) {
    try {
        auto key = OpenSettings("");
        if (!key) {
            return;
        }
        key->WriteBool("runBaselineWizard", run);
        Options().runBaselineWizard = run;
        key->WriteInteger("baselineWizardDays", days);
        Options().baselineWizardDays = days;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TConfiguration::SaveShowWelcome(bool value) {
    SaveRootValue([&](TRegistryKey& k) { k.WriteBool("showWelcome", value); }, {});
}

void TConfiguration::SaveCheckForUpdate(bool value) {
    SaveRootValue([&](TRegistryKey& k) { k.WriteBool("checkForUpdate", value); }, {});
}

void TConfiguration::SaveThemeName() {
    SaveRootValue([&](TRegistryKey& k) { k.WriteString("theme", Options().theme); }, {});
}

void TConfiguration::SaveFolder(std::string_view valueName, std::string_view path) {
    try {
        if (auto key = OpenSettings("folders")) {
            key->WriteString(valueName, path);
        }
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

int TConfiguration::ParseBaselineWizardDays(std::string_view text) {
    const std::string_view t = TTextUtilities::Trim(text);
    int days = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), days);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !IsValidBaselineWizardDays(days)) {
        return 30;
    }
    return days;
}

bool TConfiguration::IsValidBaselineWizardDays(int days) {
    return days >= 1 && days <= 365;
}

std::string TConfiguration::VersionText(bool withBetaMark) {
    std::string text = kVersion;
    if (withBetaMark && Services().options != nullptr && Options().betaBuild) {
        text += " (Beta)";
    }
    return text;
}

void TConfiguration::DeleteGridSettings(std::string_view name) {
    const std::string_view trimmed = TTextUtilities::Trim(name);
    if (trimmed.empty()) {
        return;
    }
    try {
        auto themes = OpenSettings("themes");
        if (!themes) {
            return;
        }
        for (const std::string& theme : themes->SubkeyNames()) {
            if (auto grids = OpenSettings("themes\\" + theme + "\\grids")) {
                grids->DeleteSubkey(name);
            }
        }
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

bool TConfiguration::CheckScreenResolution() {
    int width = 0;
    int height = 0;
    IUserInterface* ui = Services().ui;
    if (ui == nullptr || !ui->ScreenSize(width, height) || (width >= 1024 && height >= 768)) {
        return false;
    }
    return TMessageDialog::ShowMessageDialog(
               "The recommended screen resolution for " + Services().title +
                   " is at least 1024 by 768 pixels.  Would you like to launch the control panel "
                   "applet to adjust your display settings?",
               TMsgKind::Information, mbYes | mbNo, mrNo, 6) == mrYes;
}

bool TConfiguration::CreateWorkingFolders() {
    const std::string action = "creating required application folders";
    LogRecord("Start: " + action);
    const TFolders& f = Options().folders;
    for (const std::string* folder :
         {&f.baselines, &f.quarantine, &f.reports, &f.backups, &f.webSearch}) {
        std::error_code ec;
        std::filesystem::create_directories(*folder, ec);
        if (!std::filesystem::is_directory(*folder, ec)) {
            TMessageDialog::ShowMessageDialog("Cannot create folder: " + *folder +
                                                  "\r\n\r\nThe application will terminate.",
                                              TMsgKind::Error, mbOK, mrOk);
            return false;
        }
    }
    LogRecord("End: " + action);
    return true;
}

} // namespace driftscope
