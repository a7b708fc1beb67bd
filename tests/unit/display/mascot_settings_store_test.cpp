#include <gtest/gtest.h>

#include "display/mascot_settings_store.h"
#include "tests/support/memory_registry.h"

TEST(MascotSettingsStore, SaveWritesTwelveValuesInOrder)
{
    MemoryRegistry registry;
    MascotSettings settings;
    settings.PositionX = -12;
    settings.rules.sizeMinimizeY = 300;
    save_mascot_settings(registry, "Tama", settings);
    const std::string key = "Software\\Korrin\\Velmora2\\Mascot\\Tama";
    EXPECT_EQ(registry.value_names(key),
              (std::vector<std::string>{"PositionX", "WidthPerDot", "WidthLeftRight", "PositionY", "HeightPerDot",
                                        "HeightTopBottom", "NonTargetAll", "MaximizeWindow", "OutScreenMascot",
                                        "MinimizeWindow", "sizeMinimizeX", "sizeMinimizeY"}));
    EXPECT_EQ(registry.find(key, "PositionX")->data, (std::vector<uint8_t>{0xF4, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(registry.find(key, "PositionX")->type, 4u);

    MascotSettings loaded;
    loaded.PositionX = 0;
    ASSERT_TRUE(load_mascot_settings(registry, "Tama", loaded));
    EXPECT_EQ(loaded.PositionX, -12);
    EXPECT_EQ(loaded.rules.sizeMinimizeY, 300);
    EXPECT_EQ(loaded.NonTargetAll, 1);
}

TEST(MascotSettingsStore, MissingValuesKeepTheirFields)
{
    MemoryRegistry registry;
    registry.write_dword("Software\\Korrin\\Velmora2\\Mascot\\Tama", "PositionY", 10);
    MascotSettings settings;
    settings.PositionX = 30;  // as a definition's anchor would have set it
    ASSERT_TRUE(load_mascot_settings(registry, "Tama", settings));
    EXPECT_EQ(settings.PositionY, 10);
    EXPECT_EQ(settings.PositionX, 30);
    EXPECT_EQ(settings.WidthPerDot, 1);
    EXPECT_EQ(settings.NonTargetAll, 1);
}

TEST(MascotSettingsStore, EmptyNameAndMissingKeyTouchNothing)
{
    MemoryRegistry registry;
    MascotSettings settings;
    settings.PositionX = 5;
    EXPECT_FALSE(load_mascot_settings(registry, "", settings));
    EXPECT_FALSE(load_mascot_settings(registry, "Nobody", settings));
    EXPECT_EQ(settings.PositionX, 5);
    save_mascot_settings(registry, "", settings);
    EXPECT_TRUE(registry.log.empty());
}

TEST(MascotSettingsStore, BackslashesInANameNestKeysAndSameNamesShareOne)
{
    MemoryRegistry registry;
    MascotSettings a, b;
    a.PositionX = 1;
    b.PositionX = 2;
    save_mascot_settings(registry, "Cats\\tama.bmp", a);
    save_mascot_settings(registry, "Cats\\tama.bmp", b);
    EXPECT_EQ(registry.enum_subkeys("Software\\Korrin\\Velmora2\\Mascot\\Cats"), std::vector<std::string>{"tama.bmp"});
    MascotSettings loaded;
    load_mascot_settings(registry, "Cats\\tama.bmp", loaded);
    EXPECT_EQ(loaded.PositionX, 2);
}
