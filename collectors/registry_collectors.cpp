// The collectors that read the registry (on Linux: Driftscope's registry store).
#include "actions/misc_utilities.h"
#include "app/application_log.h"
#include "app/exception_handler.h"
#include "app/options.h"
#include "app/progress.h"
#include "app/services.h"
#include "collectors/data_utilities.h"
#include "collectors/icon_manager.h"
#include "model/item.h"
#include "model/text_utilities.h"
#include "platform/file_system.h"
#include "platform/registry_key.h"

#include <array>
#include <cstdio>
#include <optional>
#include <stdexcept>

namespace driftscope {
namespace {

IRegistry& Registry() {
    if (Services().registry == nullptr) {
        throw std::logic_error("no registry installed");
    }
    return *Services().registry;
}

bool IconsOn() {
    return Services().options != nullptr && Services().options->iconsEnabled;
}

bool Cancelled(TProgress* progress) {
    return progress != nullptr && progress->CancelRequested();
}

std::optional<TRegistryKey> OpenRead(TRootKey root, const std::string& path) {
    return TRegistryKey::Open(Registry(), root, path, false);
}

// The text of a value by its kind; none for an empty non-text value.
std::optional<std::string> ValueText(const TRegValue& v) {
    switch (v.kind) {
    case TRegKind::String:
    case TRegKind::ExpandString:
        return v.AsString();
    case TRegKind::Dword:
        return std::to_string(static_cast<std::int32_t>(v.AsDword()));
    default:
        break;
    }
    if (v.data.empty()) {
        return std::nullopt;
    }
    std::string hex;
    std::array<char, 4> buf{};
    for (const std::uint8_t b : v.data) {
        std::snprintf(buf.data(), buf.size(), "%.2x", b);
        hex += buf.data();
    }
    return hex;
}

// False once Cancel was confirmed, which ends the whole walk.
bool ReadKey(TRootKey root, const std::string& keyText, TProgress* progress, TProgressAction* row,
             TDataTable& table, bool listValues, bool includeSubkeys, int icon) {
    const std::size_t slash = keyText.find('\\');
    const std::string rootText = keyText.substr(0, slash);
    const std::string path = slash == std::string::npos ? std::string() : keyText.substr(slash);
    const int fIcon = table.FindField("imageIndex");
    if (const auto key = OpenRead(root, path)) {
        if (listValues) {
            const auto values = Registry().EnumValues(root, path);
            for (const TRegValue& v : values.Ok() ? values.value : std::vector<TRegValue>{}) {
                if (Cancelled(progress)) {
                    return false;
                }
                table.Append();
                table.SetAsString("rootKey", rootText);
                table.SetAsString("path", path);
                table.SetAsString("name", v.name.empty() ? "(Default)" : v.name);
                if (const auto text = ValueText(v)) {
                    table.SetAsString("value", *text);
                }
                if (icon != iiNone && fIcon >= 0) {
                    table.SetAsInteger(fIcon, icon);
                }
                table.Post();
                if (row != nullptr) {
                    row->Step();
                }
            }
        } else {
            for (const std::string& sub : key->SubkeyNames()) {
                if (Cancelled(progress)) {
                    return false;
                }
                table.Append();
                table.SetAsString("rootKey", rootText);
                table.SetAsString("path", path + "\\" + sub);
                if (icon != iiNone && fIcon >= 0) {
                    table.SetAsInteger(fIcon, icon);
                }
                table.Post();
                if (row != nullptr) {
                    row->Step();
                }
            }
        }
        if (includeSubkeys) {
            for (const std::string& sub : key->SubkeyNames()) {
                if (!ReadKey(root, keyText + "\\" + sub, progress, row, table, listValues, true,
                             icon)) {
                    return false;
                }
            }
        }
    }
    return true;
}

} // namespace

void TDataUtilities::LoadRegistryKeyContents(TRootKey rootKey, const std::string& keyText,
                                             TProgress* progress, TProgressAction* progressRow,
                                             TDataTable& table, bool listValues,
                                             bool includeSubkeys) {
    try {
        ReadKey(rootKey, keyText, progress, progressRow, table, listValues, includeSubkeys,
                IconsOn() ? TIconManager::ItemIconIndex(idRun) : iiNone);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadRun(TDataTable& table, TProgress* progress) {
    const std::string name = "Run";
    try {
        LogRecord("Start: loading: " + name);
        TProgressAction* row = TProgress::AddRow(progress, "Loading " + name + "...", 12);
        const auto read = [&](TRootKey root, const std::string& key) {
            LoadRegistryKeyContents(root, key, nullptr, nullptr, table, true, false);
            if (row != nullptr) {
                row->Step();
            }
        };
        for (const auto& [root, rootName] :
             {std::pair{TRootKey::LocalMachine, "HKEY_LOCAL_MACHINE"},
              std::pair{TRootKey::CurrentUser, "HKEY_CURRENT_USER"}}) {
            for (const char* runKey : kRunKeyNames) {
                read(root, std::string(rootName) +
                               "\\Software\\Microsoft\\Windows\\CurrentVersion\\" + runKey);
            }
        }
        read(TRootKey::LocalMachine,
             "HKEY_LOCAL_"
             "MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run");
        read(TRootKey::CurrentUser,
             "HKEY_CURRENT_"
             "USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run");
        LogRecord("End: loading: " + name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadSoftware(TDataTable& table, TProgress* progress) {
    const std::string name = "Software";
    try {
        LogRecord("Start: loading: " + name);
        TProgressAction* row = TProgress::AddRow(progress, "Loading " + name + "...", 2);
        LoadRegistryKeyContents(TRootKey::LocalMachine, "HKEY_LOCAL_MACHINE\\Software", nullptr,
                                nullptr, table, false, false);
        if (row != nullptr) {
            row->Step();
        }
        LoadRegistryKeyContents(TRootKey::CurrentUser, "HKEY_CURRENT_USER\\Software", nullptr,
                                nullptr, table, false, false);
        if (row != nullptr) {
            row->Step();
        }
        LogRecord("End: loading: " + name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

std::string TDataUtilities::InprocServerPath(const std::string& classId) {
    try {
        const auto key =
            OpenRead(TRootKey::ClassesRoot, "\\CLSID\\" + classId + "\\InprocServer32");
        if (!key || !key->ValueExists("")) {
            return {};
        }
        return key->ReadString("");
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return {};
    }
}

namespace {

// Rows of COM objects found by their class ids: the class's name and in-process server,
// the server file's icon when it exists.
void LoadComObjects(const std::string& name, const std::vector<std::string>& ids, TDataTable& table,
                    TProgress* progress) {
    TProgressAction* row =
        TProgress::AddRow(progress, "Loading " + name + "...", static_cast<int>(ids.size()));
    const bool icons = IconsOn();
    const int fIcon = table.FindField("imageIndex");
    for (const std::string& id : ids) {
        if (Cancelled(progress)) {
            return;
        }
        table.Append();
        table.SetAsString("uniqueIdentifier", id);
        if (const auto classKey = OpenRead(TRootKey::ClassesRoot, "\\CLSID\\" + id)) {
            if (classKey->ValueExists("")) {
                table.SetAsString("name", classKey->ReadString(""));
            }
            const std::string location = TDataUtilities::InprocServerPath(id);
            table.SetAsString("location", location);
            IFileSystem* fs = Services().fileSystem;
            if (icons && fIcon >= 0 && !location.empty() && fs != nullptr &&
                fs->FileExists(location)) {
                table.SetAsInteger(fIcon, TIconManager::FileIconIndex(location));
            }
        }
        table.Post();
        if (row != nullptr) {
            row->Step();
        }
    }
}

} // namespace

void TDataUtilities::LoadShellServiceObjects(TDataTable& table, TProgress* progress) {
    const std::string name = "Shell Service Objects";
    try {
        LogRecord("Start: loading: " + name);
        if (const auto key =
                OpenRead(TRootKey::LocalMachine, "\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                                                 "ShellServiceObjectDelayLoad")) {
            const std::vector<std::string> names = key->ValueNames();
            TProgressAction* row = TProgress::AddRow(progress, "Loading " + name + "...",
                                                     static_cast<int>(names.size()));
            const bool icons = IconsOn();
            const int fIcon = table.FindField("imageIndex");
            for (const std::string& valueName : names) {
                if (Cancelled(progress)) {
                    return;
                }
                // A value that holds no text stops the collector with a read error.
                const std::string id = key->ReadString(valueName);
                const std::string location = InprocServerPath(id);
                table.Append();
                table.SetAsString("uniqueIdentifier", id);
                table.SetAsString("name", valueName);
                table.SetAsString("location", location);
                if (icons && fIcon >= 0) {
                    table.SetAsInteger(fIcon, TIconManager::FileIconIndex(location));
                }
                table.Post();
                if (row != nullptr) {
                    row->Step();
                }
            }
        }
        LogRecord("End: loading: " + name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadBrowserHelperObjects(TDataTable& table, TProgress* progress) {
    const std::string name = "Browser Helper Objects";
    try {
        LogRecord("Start: loading: " + name);
        if (const auto key = OpenRead(TRootKey::LocalMachine,
                                      "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                      "Browser Helper Objects")) {
            LoadComObjects(name, key->SubkeyNames(), table, progress);
        }
        LogRecord("End: loading: " + name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadBrowserToolbars(TDataTable& table, TProgress* progress) {
    const std::string name = "Browser Toolbars";
    try {
        LogRecord("Start: loading: " + name);
        if (const auto key = OpenRead(TRootKey::LocalMachine,
                                      "\\SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar")) {
            LoadComObjects(name, key->ValueNames(), table, progress);
        }
        LogRecord("End: loading: " + name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadDownloadedProgramFiles(TDataTable& table, TProgress* progress) {
    const std::string name = "Downloaded Program Files";
    const std::string units = "\\SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units";
    try {
        LogRecord("Start: loading: " + name);
        if (const auto key = OpenRead(TRootKey::LocalMachine, units)) {
            const std::vector<std::string> ids = key->SubkeyNames();
            TProgressAction* row = TProgress::AddRow(progress, "Loading " + name + "...",
                                                     static_cast<int>(ids.size()));
            const int fIcon = table.FindField("imageIndex");
            const int itemIcon = TIconManager::ItemIconIndex(idDownloadedProgramFiles);
            const auto text = [](const std::optional<TRegistryKey>& k, const char* value) {
                return k && k->ValueExists(value) ? k->ReadString(value) : std::string();
            };
            for (const std::string& id : ids) {
                if (Cancelled(progress)) {
                    return;
                }
                table.Append();
                table.SetAsString("uniqueIdentifier", id);
                int icon = itemIcon;
                if (const auto classKey = OpenRead(TRootKey::ClassesRoot, "\\CLSID\\" + id)) {
                    table.SetAsString("name", text(classKey, ""));
                    const std::string location = text(
                        OpenRead(TRootKey::ClassesRoot, "\\CLSID\\" + id + "\\InprocServer32"), "");
                    table.SetAsString("location", location);
                    IFileSystem* fs = Services().fileSystem;
                    if (!location.empty() && fs != nullptr && fs->FileExists(location)) {
                        icon = TIconManager::FileIconIndex(location);
                    }
                }
                if (IconsOn() && fIcon >= 0) {
                    table.SetAsInteger(fIcon, icon < 0 ? itemIcon : icon);
                }
                const auto installed =
                    OpenRead(TRootKey::LocalMachine, units + "\\" + id + "\\InstalledVersion");
                table.SetAsString("version", text(installed, ""));
                table.SetAsString("lastModified", text(installed, "LastModified"));
                const auto download =
                    OpenRead(TRootKey::LocalMachine, units + "\\" + id + "\\DownloadInformation");
                table.SetAsString("codebase", text(download, "CODEBASE"));
                table.SetAsString("informationFile", text(download, "INF"));
                table.SetAsString("openSoftwareDescriptionFile", text(download, "OSD"));
                table.Post();
                if (row != nullptr) {
                    row->Step();
                }
            }
        }
        LogRecord("End: loading: " + name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadCustomRegistryItem(const std::string& itemName, TRootKey rootKey,
                                            TProgress* progress, bool listValues,
                                            bool includeSubkeys, TDataTable& table,
                                            const std::string& keyText) {
    try {
        LogRecord("Start: loading: " + itemName);
        TProgressAction* row = nullptr;
        if (progress != nullptr) {
            row = &progress->AddAction();
            row->SetText("Loading contents of: " + itemName + "...");
        }
        LoadRegistryKeyContents(rootKey, keyText, progress, row, table, listValues, includeSubkeys);
        if (row != nullptr) {
            row->SetMaximum(-1);
        }
        LogRecord("End: loading: " + itemName);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadSharedDlls(TDataTable& table, TProgress* progress) {
    const std::string name = "Shared DLLs";
    try {
        LogRecord("Start: loading: " + name);
        const std::string path = "\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
        if (const auto key = OpenRead(TRootKey::LocalMachine, path)) {
            const std::vector<std::string> files = key->ValueNames();
            TProgressAction* row = TProgress::AddRow(progress, "Loading " + name + "...",
                                                     static_cast<int>(files.size()));
            const bool icons = IconsOn();
            const int fIcon = table.FindField("imageIndex");
            for (const std::string& file : files) {
                if (Cancelled(progress)) {
                    return;
                }
                table.Append();
                table.SetAsString("file", file);
                IFileSystem* fs = Services().fileSystem;
                if (const auto found = fs != nullptr
                                           ? fs->Examine(file)
                                           : TResult<TFileEntry>{TStatus::NotFound, {}, {}};
                    found.Ok()) {
                    table.SetAsDateTime(table.FieldIndex("fileDate"), found.value.date);
                    table.SetAsInteger(table.FieldIndex("fileSize"),
                                       static_cast<std::int32_t>(found.value.size));
                    if (icons && fIcon >= 0) {
                        table.SetAsInteger(fIcon, TIconManager::EntryIconIndex(found.value));
                    }
                }
                table.Post();
                if (row != nullptr) {
                    row->Step();
                }
            }
        }
        LogRecord("End: loading: " + name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

void TDataUtilities::LoadMostRecentlyUsed(TDataTable& table, TProgress* progress) {
    const std::string name = "Most Recently Used";
    try {
        LogRecord("Start: loading: " + name);
        const std::string path =
            "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU";
        if (const auto key = OpenRead(TRootKey::CurrentUser, path)) {
            const std::vector<std::string> types = key->SubkeyNames();
            TProgressAction* row = TProgress::AddRow(progress, "Loading " + name + "...",
                                                     static_cast<int>(types.size()));
            const bool icons = IconsOn();
            const int fIcon = table.FindField("imageIndex");
            for (const std::string& type : types) {
                if (Cancelled(progress)) {
                    return;
                }
                if (const auto sub = OpenRead(TRootKey::CurrentUser, path + "\\" + type)) {
                    for (const std::string& letter : sub->ValueNames()) {
                        if (TTextUtilities::SameText(letter, "MRUList")) {
                            continue;
                        }
                        const std::string file = sub->ReadString(letter);
                        table.Append();
                        table.SetAsString("type", type);
                        table.SetAsString("file", file);
                        table.SetAsString("value", letter);
                        if (icons && fIcon >= 0) {
                            table.SetAsInteger(fIcon, type == "*"
                                                          ? static_cast<int>(iiAllFiles)
                                                          : TIconManager::FileIconIndex(file));
                        }
                        table.Post();
                    }
                }
                if (row != nullptr) {
                    row->Step();
                }
            }
        }
        LogRecord("End: loading: " + name);
    } catch (...) {
        TExceptionHandler::HandleCurrent();
    }
}

} // namespace driftscope
