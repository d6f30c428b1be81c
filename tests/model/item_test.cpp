#include "model/item.h"

#include <gtest/gtest.h>

using namespace driftscope;

namespace {

std::unique_ptr<TCustomFolderItem> Folder(std::int32_t id, const char* name) {
    auto item = std::make_unique<TCustomFolderItem>();
    item->id = id;
    item->name = name;
    return item;
}

} // namespace

TEST(ItemCatalogue, GeneralItemsHoldTheirIdsAndKeys) {
    const auto catalogue = TItemManager::CreateWithGeneralItems();
    ASSERT_EQ(catalogue->Count(), 18);
    for (int i = 0; i < 18; ++i) {
        EXPECT_EQ(catalogue->ItemAt(i)->id, i);
        EXPECT_FALSE(catalogue->ItemAt(i)->isCustom);
        EXPECT_TRUE(catalogue->ItemAt(i)->loadAtStartup);
    }
    const TItem* modules = catalogue->FindById(idModules);
    ASSERT_NE(modules, nullptr);
    EXPECT_EQ(modules->name, "Modules");
    EXPECT_EQ(modules->keyFields, "file;process");
    EXPECT_EQ(modules->sortFields, "process");
    EXPECT_EQ(catalogue->FindByName("processes"), catalogue->ItemAt(1));
    EXPECT_EQ(catalogue->FindByName("Most Recently Used")->keyFields, "");
    EXPECT_EQ(catalogue->FindById(idReport), nullptr);
    EXPECT_EQ(catalogue->NameOfId(99), "");
    EXPECT_FALSE(catalogue->IsCurrentLoaded(99));
    EXPECT_EQ(catalogue->ItemAt(18), nullptr);
}

TEST(ItemCatalogue, ItemClassTests) {
    for (int id = -1; id <= 25; ++id) {
        const bool baselines = !(id == -1 || id == 0 || id == 16 || id == 17 || id == 18);
        EXPECT_EQ(TItemManager::HasBaselines(id), baselines) << id;
        const bool deletion =
            id == 4 || id == 5 || id == 6 || id == 8 || id == 9 || id == 14 || id == 16 || id == 17;
        EXPECT_EQ(TItemManager::SupportsDeletion(id), deletion) << id;
    }
}

TEST(ItemCatalogue, CustomItemsShiftDownWhenAnEarlierOneIsRemoved) {
    auto catalogue = TItemManager::CreateWithGeneralItems();
    catalogue->Add("First", Folder(19, "First"));
    catalogue->Add("Second", Folder(20, "Second"));
    catalogue->Add("Third", Folder(21, "Third"));
    catalogue->SetCurrentLoaded(21, true);
    ASSERT_TRUE(catalogue->Remove("FIRST"));
    catalogue->ShiftId("Second", -1);
    catalogue->ShiftId("third", -1);
    catalogue->ShiftId("nobody", -1);
    EXPECT_EQ(catalogue->FindById(19)->name, "Second");
    EXPECT_EQ(catalogue->FindById(20)->name, "Third");
    EXPECT_TRUE(catalogue->IsCurrentLoaded(20));
    EXPECT_EQ(catalogue->FindById(21), nullptr);
    EXPECT_EQ(catalogue->FindByName("First"), nullptr);
    EXPECT_FALSE(catalogue->Remove("First"));
}

TEST(ItemCatalogue, TheFirstOfTwoItemsWithOneIdWins) {
    auto catalogue = TItemManager::CreateWithGeneralItems();
    catalogue->Add("A", Folder(19, "A"));
    catalogue->Add("B", Folder(19, "B"));
    EXPECT_EQ(catalogue->FindById(19)->name, "A");
}

TEST(ItemCatalogue, SelectionAndSerials) {
    auto catalogue = TItemManager::CreateWithGeneralItems();
    EXPECT_FALSE(catalogue->AnySelected());
    catalogue->FindById(idRun)->selected = true;
    EXPECT_TRUE(catalogue->AnySelected());
    catalogue->SetAllSelected(false);
    EXPECT_FALSE(catalogue->AnySelected());
    EXPECT_EQ(catalogue->NextSerial(), 1);
    EXPECT_EQ(catalogue->NextSerial(), 2);
}

TEST(ItemCatalogue, CustomItemKindsCarryTheirKeys) {
    TCustomRegistryItem registry;
    EXPECT_EQ(registry.keyFields, "rootKey;path");
    registry.SetValues(true);
    EXPECT_EQ(registry.keyFields, "rootKey;path;name");
    EXPECT_EQ(registry.sortFields, "rootKey");
    EXPECT_EQ(registry.rootKey, TRootKey::CurrentUser);
    EXPECT_EQ(TCustomIniItem().keyFields, "section;entry");
    const TCustomFolderItem folder;
    EXPECT_EQ(folder.folderContent, 2);
    EXPECT_FALSE(folder.fileFilter.has_value());
    EXPECT_EQ(folder.helpTopic, "CustomItems");
}

TEST(ItemCatalogue, ReservedNamesIgnoreCase) {
    EXPECT_EQ(kReservedNames.size(), 22u);
    for (const char* name : {"GENERAL", "report", "Drive Summary", "shared dlls"}) {
        EXPECT_TRUE(IsReservedItemName(name)) << name;
    }
    EXPECT_FALSE(IsReservedItemName("MyFolder"));
    EXPECT_FALSE(IsReservedItemName("Reports"));
}
