#include "collectors/custom_items.h"

#include "actions/misc_utilities.h"
#include "app/exception_handler.h"
#include "app/message_dialog.h"
#include "app/options.h"
#include "app/services.h"
#include "collectors/data_utilities.h"
#include "collectors/icon_manager.h"
#include "model/data_table.h"
#include "model/text_utilities.h"
#include "platform/file_system.h"
#include "platform/registry_key.h"
#include "reports/text_writer.h"

#include <algorithm>

namespace driftscope {
namespace {

constexpr std::string_view kForbidden = "\\/:*?\"<>|";

std::string NameInUse(std::string_view name) {
    return "The name '" + std::string(name) +
           "' is already in use.  Please enter a custom item name that is not being used.";
}

bool Warn(const std::string& text) {
    TMessageDialog::ShowMessageDialog(text, TMsgKind::Warning, mbOK, mrOk);
    return false;
}

std::optional<TRegistryKey> OpenDefinitions(std::string_view name, bool create) {
    IRegistry* registry = Services().registry;
    if (registry == nullptr) {
        return std::nullopt;
    }
    return TRegistryKey::Open(*registry, TRootKey::CurrentUser,
                              name.empty() ? TCustomItems::DefinitionsPath()
                                           : TCustomItems::DefinitionPath(name),
                              create);
}

IFileSystem* Files() {
    return Services().fileSystem;
}

bool FolderExists(const std::string& folder) {
    return Files() != nullptr && Files()->FolderExists(folder);
}

bool FileExists(const std::string& file) {
    return Files() != nullptr && Files()->FileExists(file);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

} // namespace

std::string TCustomItems::DefinitionsPath() {
    return Services().SettingsPath() + "\\custom";
}

std::string TCustomItems::DefinitionPath(std::string_view name) {
    return DefinitionsPath() + "\\" + std::string(name);
}

std::vector<std::string> TCustomItems::DefinitionNames() {
    try {
        const auto key = OpenDefinitions({}, false);
        return key ? key->SubkeyNames() : std::vector<std::string>{};
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return {};
    }
}

bool TCustomItems::DeleteDefinition(std::string_view name) {
    return TMiscUtilities::DeleteRegistryEntry(TRootKey::CurrentUser, DefinitionPath(name), "");
}

std::vector<std::string> TCustomItems::SplitFileFilter(std::string_view text) {
    std::vector<std::string> entries;
    std::size_t at = text.find_first_not_of(' ');
    if (at == std::string_view::npos) {
        return entries;
    }
    while (true) {
        const std::size_t end = text.find_first_of(", ", at);
        entries.emplace_back(text.substr(at, end == std::string_view::npos ? end : end - at));
        if (end == std::string_view::npos) {
            return entries;
        }
        // One separator: blanks, at most one comma, blanks. A second comma starts an
        // empty entry.
        std::size_t next = text.find_first_not_of(' ', end);
        if (next != std::string_view::npos && text[next] == ',') {
            next = text.find_first_not_of(' ', next + 1);
        }
        if (next == std::string_view::npos) {
            // A comma at the very end gives one empty entry; trailing blanks give none.
            if (text.back() == ',') {
                entries.emplace_back();
            }
            return entries;
        }
        at = next;
    }
}

std::unique_ptr<TItem> TCustomItems::ReadCustomItem(const std::string& name) {
    const auto key = OpenDefinitions(name, false);
    if (!key || !key->ValueExists("type")) {
        return nullptr;
    }
    const auto text = [&](std::string_view value) {
        return key->ValueExists(value) ? key->ReadString(value) : std::string();
    };
    const auto flag = [&](std::string_view value) {
        return key->ValueExists(value) && key->ReadBool(value);
    };
    std::unique_ptr<TItem> item;
    switch (key->ReadInteger("type")) {
    case 0: {
        auto folder = std::make_unique<TCustomFolderItem>();
        folder->folder = text("folder");
        folder->folderContent = static_cast<std::uint8_t>(
            key->ValueExists("folderContent") ? key->ReadInteger("folderContent") : 2);
        if (key->ValueExists("fileFilter")) {
            folder->fileFilter = SplitFileFilter(key->ReadString("fileFilter"));
        }
        folder->subFolders = flag("subFolders");
        item = std::move(folder);
        break;
    }
    case 1: {
        auto registry = std::make_unique<TCustomRegistryItem>();
        registry->key = text("key");
        registry->rootKey = TMiscUtilities::RootKeyFromText(registry->key);
        registry->subKeys = flag("subkeys");
        registry->SetValues(flag("values"));
        item = std::move(registry);
        break;
    }
    case 2: {
        auto ini = std::make_unique<TCustomIniItem>();
        ini->file = text("file");
        item = std::move(ini);
        break;
    }
    default:
        return nullptr;
    }
    item->name = name;
    item->loadAtStartup = !key->ValueExists("startup") || key->ReadBool("startup");
    return item;
}

void TCustomItems::StoreCustomItem(const TCustomItemDefinition& d) {
    try {
        auto key = OpenDefinitions(d.name, true);
        if (!key) {
            return;
        }
        key->WriteInteger("type", static_cast<int>(d.kind));
        switch (d.kind) {
        case TCustomKind::Folder:
            key->WriteString("folder", d.folder);
            key->WriteInteger("folderContent", d.folderContent);
            if (!TTextUtilities::Trim(d.fileFilter).empty()) {
                key->WriteString("fileFilter", d.fileFilter);
            }
            key->WriteBool("subFolders", d.subFolders);
            break;
        case TCustomKind::Registry: {
            std::string root;
            std::string path;
            TMiscUtilities::SplitRegistryPath(d.registryPath, root, path);
            key->WriteString("key", TTextUtilities::Trim(path).empty() ? root : root + "\\" + path);
            key->WriteBool("subkeys", d.subKeys);
            key->WriteBool("values", d.values);
            break;
        }
        case TCustomKind::Ini:
            key->WriteString("file", d.file);
            break;
        }
        key->WriteBool("startup", d.startup);
    } catch (...) {
        // A definition that could not be written is simply not found when the item is
        // built; the store's own failure goes to the log.
        TExceptionHandler::HandleCurrent();
    }
}

bool TCustomItems::CheckName(std::string_view name) {
    if (TTextUtilities::Trim(name).empty()) {
        return Warn("Please enter a name for the custom item.");
    }
    if (TTextUtilities::CharCount(name) > kMaxNameLength) {
        return Warn("A custom item name can have at most 25 characters.");
    }
    if (IsReservedItemName(name)) {
        return Warn(NameInUse(name));
    }
    if (name.find('_') != std::string_view::npos ||
        name.find_first_of(kForbidden) != std::string_view::npos) {
        return Warn("A custom item name cannot contain any of the following characters:\r\n"
                    "     \\ / : * ? \" < > | _");
    }
    for (const std::string& stored : DefinitionNames()) {
        if (TTextUtilities::SameText(stored, name)) {
            return Warn(NameInUse(name));
        }
    }
    return true;
}

bool TCustomItems::CheckFolder(const std::string& folder, bool subFolders,
                               const std::string& fileFilter) {
    // A root folder only: its first separator is its last character (C:\ or /).
    const std::size_t separator = folder.find_first_of("\\/");
    if (subFolders && separator != std::string::npos && separator + 1 == folder.size()) {
        return Warn("Cannot include subfolders when only root drive is selected.");
    }
    if (!FolderExists(folder)) {
        return Warn("Folder not found:\r\n" + folder);
    }
    if (!TTextUtilities::Trim(fileFilter).empty() &&
        fileFilter.find_first_of(kForbidden) != std::string::npos) {
        return Warn("A custom folder item file filter cannot contain any of the following "
                    "characters:\r\n     \\ / : * ? \" < > |");
    }
    return true;
}

bool TCustomItems::CheckRegistry(const std::string& registryPath, bool subKeys) {
    if (TTextUtilities::Trim(registryPath).empty()) {
        return Warn("Registry path not specified.");
    }
    std::string root;
    std::string path;
    TMiscUtilities::SplitRegistryPath(registryPath, root, path);
    if (TTextUtilities::Trim(root).empty()) {
        return Warn("Root key not specified.  Valid root keys are:\r\n\r\n" +
                    TMiscUtilities::RootKeyNames());
    }
    if (!TMiscUtilities::IsRootKeyName(root)) {
        return Warn("Invalid root key.  Valid root keys are:\r\n\r\n" +
                    TMiscUtilities::RootKeyNames());
    }
    const bool rootOnly = TTextUtilities::Trim(path).empty();
    if (rootOnly && subKeys) {
        return Warn("Cannot include subkeys when only root key is entered.");
    }
    IRegistry* registry = Services().registry;
    if (!rootOnly &&
        (registry == nullptr ||
         !TRegistryKey::Open(*registry, TMiscUtilities::RootKeyFromText(root), path, false))) {
        return Warn("Registry key not found:\r\n" + registryPath);
    }
    return true;
}

bool TCustomItems::CheckIni(const std::string& file) {
    if (TTextUtilities::Trim(file).empty()) {
        return Warn("File not selected.");
    }
    return true;
}

bool TCustomItems::Finish(const TCustomItemDefinition& d) {
    try {
        bool passed = false;
        switch (d.kind) {
        case TCustomKind::Folder:
            passed = CheckFolder(d.folder, d.subFolders, d.fileFilter);
            break;
        case TCustomKind::Registry:
            passed = CheckRegistry(d.registryPath, d.subKeys);
            break;
        case TCustomKind::Ini:
            passed = CheckIni(d.file);
            break;
        }
        if (passed) {
            StoreCustomItem(d);
        }
        return passed;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return false;
    }
}

std::string TCustomItems::Target(const TItem& item) {
    if (const auto* folder = dynamic_cast<const TCustomFolderItem*>(&item)) {
        return folder->folder;
    }
    if (const auto* registry = dynamic_cast<const TCustomRegistryItem*>(&item)) {
        return registry->key;
    }
    if (const auto* ini = dynamic_cast<const TCustomIniItem*>(&item)) {
        return ini->file;
    }
    return {};
}

bool TCustomItems::TargetExists(const TItem& item, std::string& missing) {
    const std::string target = Target(item);
    switch (item.customKind) {
    case TCustomKind::Folder:
        missing = "Folder not found:\r\n" + target;
        return FolderExists(target);
    case TCustomKind::Registry: {
        missing = "Registry key not found:\r\n" + target;
        const std::size_t slash = target.find('\\');
        if (slash == std::string::npos) {
            return true; // a root alone is always there
        }
        const auto& registry = static_cast<const TCustomRegistryItem&>(item);
        return Services().registry != nullptr &&
               TRegistryKey::Open(*Services().registry, registry.rootKey, target.substr(slash),
                                  false)
                   .has_value();
    }
    case TCustomKind::Ini:
        missing = "File not found:\r\n" + target;
        return FileExists(target);
    }
    return false;
}

std::string TCustomItems::SubjectLine(const TItem& item) {
    std::string line = " " + Target(item);
    if (const auto* folder = dynamic_cast<const TCustomFolderItem*>(&item);
        folder != nullptr && folder->fileFilter) {
        std::string joined;
        for (const std::string& entry : *folder->fileFilter) {
            joined += (joined.empty() ? "" : ",") + Lower(entry);
        }
        line += " : (" + joined + ")";
    }
    return line;
}

void TCustomItems::FillSummary(TDataTable& folders, TDataTable& registry, TDataTable& ini) {
    for (const std::string& name : DefinitionNames()) {
        try {
            const auto key = OpenDefinitions(name, false);
            if (!key || !key->ValueExists("type")) {
                continue;
            }
            const int type = key->ReadInteger("type");
            TDataTable* table = type == 0   ? &folders
                                : type == 1 ? &registry
                                : type == 2 ? &ini
                                            : nullptr;
            if (table == nullptr) {
                continue;
            }
            // A value that is not stored leaves its field unset.
            const auto copyText = [&](const char* value, const char* field) {
                if (key->ValueExists(value)) {
                    table->SetAsString(field, key->ReadString(value));
                }
            };
            const auto copyFlag = [&](const char* value, const char* field) {
                if (key->ValueExists(value)) {
                    table->SetAsBoolean(table->FieldIndex(field), key->ReadBool(value));
                }
            };
            table->Append();
            table->SetAsString("name", name);
            copyFlag("startup", "startup");
            if (type == 0) {
                copyText("folder", "folder");
                copyText("fileFilter", "fileFilter");
                copyFlag("subFolders", "subFolders");
                const int content =
                    key->ValueExists("folderContent") ? key->ReadInteger("folderContent") : 2;
                table->SetAsString("content", content == 0   ? "folders only"
                                              : content == 1 ? "files only"
                                                             : "folders and files");
                table->SetAsInteger(table->FieldIndex("imageIndex"),
                                    TIconManager::FileIconIndex(key->ValueExists("folder")
                                                                    ? key->ReadString("folder")
                                                                    : std::string()));
            } else if (type == 1) {
                copyText("key", "key");
                copyFlag("subkeys", "subKeys");
                if (key->ValueExists("values")) {
                    table->SetAsString("content", key->ReadBool("values") ? "values" : "keys");
                }
                table->SetAsInteger(table->FieldIndex("imageIndex"),
                                    TIconManager::ItemIconIndex(idRun));
            } else {
                copyText("file", "file");
                table->SetAsInteger(table->FieldIndex("imageIndex"),
                                    TIconManager::FileIconIndex(key->ValueExists("file")
                                                                    ? key->ReadString("file")
                                                                    : std::string()));
            }
            table->Post();
        } catch (...) {
            TExceptionHandler::HandleCurrent();
        }
        for (TDataTable* t : {&folders, &registry, &ini}) {
            t->First();
        }
    }
}

std::vector<std::string> TCustomItems::SummaryHeader() {
    return {
        "Custom Items", "As of: " + TMiscUtilities::FormatDateTimeText(TDateTimeUtilities::Now()),
        "Computer Name: " + TDataUtilities::ComputerName(), "User: " + TDataUtilities::UserName()};
}

const std::array<const char*, 3>& TCustomItems::SummaryHeadings() {
    static const std::array<const char*, 3> headings{
        "Custom folder items:", "Custom registry items:", "Custom ini file items:"};
    return headings;
}

void TCustomItems::SummaryText(TDataTable& folders, TDataTable& registry, TDataTable& ini,
                               std::vector<std::string>& lines) {
    const char delimiter =
        Services().options != nullptr ? Services().options->outputDelimiter : '\t';
    const std::vector<std::string> header = SummaryHeader();
    lines.insert(lines.end(), header.begin(), header.end());
    const std::array<TDataTable*, 3> tables{&folders, &registry, &ini};
    for (std::size_t i = 0; i < tables.size(); ++i) {
        lines.emplace_back();
        lines.emplace_back();
        const std::vector<std::string> heading{SummaryHeadings()[i]};
        TTextWriter::WriteGridText(lines, {tables[i], "dbGrid", 2}, nullptr, &heading, delimiter,
                                   true);
    }
}

} // namespace driftscope
