#include <gtest/gtest.h>

#include "core/settings_store.h"
#include "tests/support/memory_registry.h"

namespace {

const std::string root = "Software\\Korrin\\Velmora2";

struct Loaded {
    AppSettings settings;
    ExclusionList excluded;
    std::vector<std::string> view;
};

Loaded load(MemoryRegistry& registry)
{
    Loaded loaded;
    load_settings(registry, loaded.settings, loaded.excluded, loaded.view);
    return loaded;
}

}  // namespace

TEST(SettingsStore, FirstRunCreatesRootAndTakesDefaults)
{
    MemoryRegistry registry;
    Loaded loaded;
    EXPECT_FALSE(load_settings(registry, loaded.settings, loaded.excluded, loaded.view)) << "a first start";
    EXPECT_TRUE(registry.keys.count(root));
    EXPECT_TRUE(load_settings(registry, loaded.settings, loaded.excluded, loaded.view)) << "a later start";
    EXPECT_EQ(loaded.settings.MaxMascotCount, 10u);
    EXPECT_EQ(loaded.settings.Random, 0);
    EXPECT_EQ(loaded.settings.rules.MaximizeWindow, 0);
    EXPECT_EQ(loaded.settings.NoWindowFlag, 0);
    EXPECT_TRUE(loaded.view.empty());
    EXPECT_TRUE(loaded.excluded.entries().empty());
}

TEST(SettingsStore, StoredValuesAndOddDataSizes)
{
    struct Row {
        std::vector<uint8_t> data;
        uint32_t expected;
    };
    const Row rows[] = {
        {{3, 0, 0, 0}, 3u},           // an ordinary DWORD
        {{7}, 7u},                    // a shorter value overlays the low byte only
        {{1, 2, 3, 4, 5}, 10u},       // more than 4 bytes: the read fails, the default holds
        {{}, 0u},                     // empty data reads as success with nothing copied
    };
    for (const auto& row : rows) {
        MemoryRegistry registry;
        registry.open(root, true);
        registry.keys[root].push_back({"MaxMascotCount", 3, row.data});
        EXPECT_EQ(load(registry).settings.MaxMascotCount, row.expected);
    }
}

TEST(SettingsStore, SaveWritesEightValuesInOrderButNeverMaxMascotCount)
{
    MemoryRegistry registry;
    AppSettings settings;
    settings.MaxMascotCount = 3;
    settings.rules = {1, 0, 1, 320, 200};
    settings.NoWindowFlag = 2;
    settings.MouseOverHide = 1;
    ExclusionList excluded;
    save_settings(registry, settings, excluded, {});
    EXPECT_EQ(registry.value_names(root),
              (std::vector<std::string>{"Random", "MaximizeWindow", "OutScreenMascot", "MinimizeWindow",
                                        "sizeMinimizeX", "sizeMinimizeY", "NoWindowFlag", "MouseOverHide"}));
    EXPECT_EQ(registry.find(root, "sizeMinimizeX")->data, (std::vector<uint8_t>{64, 1, 0, 0}));
    EXPECT_TRUE(registry.keys.count(root + "\\NoApp"));
    EXPECT_TRUE(registry.value_names(root + "\\NoApp").empty());
}

TEST(SettingsStore, ListsAreDeletedAndRewrittenInOrder)
{
    MemoryRegistry registry;
    registry.write_string(root + "\\NoApp", "stale.exe", "");
    registry.write_string(root + "\\View", "gone.lzh", "gone.lzh");
    ExclusionList excluded;
    excluded.add("zed.exe");
    excluded.add("Alpha.exe");
    save_settings(registry, AppSettings{}, excluded, {"Cats\\tama.lzh", "b.bmp", "Cats\\tama.lzh"});

    EXPECT_EQ(registry.value_names(root + "\\NoApp"), (std::vector<std::string>{"Alpha.exe", "zed.exe"}));
    EXPECT_TRUE(registry.find(root + "\\NoApp", "Alpha.exe")->data.empty());
    // The same mascot running twice leaves one value.
    EXPECT_EQ(registry.value_names(root + "\\View"), (std::vector<std::string>{"Cats\\tama.lzh", "b.bmp"}));
    const auto& data = registry.find(root + "\\View", "b.bmp")->data;
    EXPECT_EQ(std::string(data.begin(), data.end()), std::string("b.bmp\0", 6));
}

TEST(SettingsStore, ListKeysThatCannotBeDeletedHoldExactlyTheNamesWritten)
{
    // A subkey that will not go keeps its list key; the old names must still go, or a mascot
    // the user stopped starts again and a removed exclusion comes back.
    struct Row {
        bool no_app_stuck;
        bool view_stuck;
    };
    const Row rows[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const auto& row : rows) {
        MemoryRegistry registry;
        registry.write_string(root + "\\NoApp", "removed.exe", "");
        registry.write_string(root + "\\NoApp", "kept.exe", "");
        registry.write_string(root + "\\View", "stopped.bmp", "stopped.bmp");
        registry.write_string(root + "\\View", "a.bmp", "old");
        for (const auto& [stuck, key] : {std::pair{row.no_app_stuck, "NoApp"}, std::pair{row.view_stuck, "View"}}) {
            if (!stuck)
                continue;
            const std::string child = root + "\\" + key + "\\locked";
            registry.open(child, true);
            registry.write_dword(child, "inside", 1);
            registry.undeletable.insert(child);
        }
        ExclusionList excluded;
        excluded.add("kept.exe");
        excluded.add("new.exe");
        save_settings(registry, AppSettings{}, excluded, {"c.lzh", "a.bmp"});

        const std::string label = std::to_string(row.no_app_stuck) + std::to_string(row.view_stuck);
        EXPECT_EQ(registry.value_names(root + "\\NoApp"), (std::vector<std::string>{"kept.exe", "new.exe"})) << label;
        EXPECT_EQ(registry.value_names(root + "\\View"), (std::vector<std::string>{"c.lzh", "a.bmp"})) << label;
        const auto& data = registry.find(root + "\\View", "a.bmp")->data;
        EXPECT_EQ(std::string(data.begin(), data.end()), std::string("a.bmp\0", 6)) << label;
        EXPECT_EQ(registry.open(root + "\\View\\locked", false), row.view_stuck) << label;
        if (row.view_stuck) {
            EXPECT_TRUE(registry.find(root + "\\View\\locked", "inside")) << "what cannot go is left alone";
        }
    }
}

TEST(SettingsStore, LoadReadsListsAndSkipsOverlongNames)
{
    MemoryRegistry registry;
    registry.write_string(root + "\\NoApp", "notepad.exe", "");
    registry.write_string(root + "\\NoApp", std::string(300, 'x'), "");
    registry.write_string(root + "\\NoApp", "Calc.exe", "");
    registry.write_string(root + "\\View", "a.bmp", "a.bmp");
    registry.write_string(root + "\\View", "missing.lzh", "missing.lzh");
    Loaded loaded = load(registry);
    EXPECT_EQ(loaded.excluded.entries(), (std::vector<std::string>{"Calc.exe", "notepad.exe"}));
    EXPECT_EQ(loaded.view, (std::vector<std::string>{"a.bmp", "missing.lzh"}));
}

TEST(SettingsStore, RandomStartIgnoresTheViewList)
{
    MemoryRegistry registry;
    registry.write_dword(root, "Random", 1);
    registry.write_string(root + "\\View", "a.bmp", "a.bmp");
    EXPECT_TRUE(load(registry).view.empty());
}

TEST(StartupSelection, ViewListWhenNotRandom)
{
    RandomGenerator generator;
    AppSettings settings;
    const std::vector<std::string> view = {"x.lzh", "y.bmp", "z.lzh"};
    const StartupMascots chosen = startup_mascots(settings, view, {"p.bmp"}, generator, false);
    EXPECT_EQ(chosen.source_paths, view);
    EXPECT_FALSE(chosen.drawn) << "a View name starts whether it loads or not";
    EXPECT_EQ(generator.state, 0u);  // nothing drawn
}

TEST(StartupSelection, RandomPicksDrawModuloCount)
{
    const std::vector<std::string> files = {"a.bmp", "b.lzh", "c.bmp"};
    AppSettings settings;
    settings.Random = 1;
    // From state 0 the first draw is 38 (state 2531011), 38 mod 3 = 2.
    RandomGenerator generator;
    const StartupMascots chosen = startup_mascots(settings, {"v.lzh"}, files, generator, false);
    EXPECT_EQ(chosen.source_paths, std::vector<std::string>{"c.bmp"});
    EXPECT_TRUE(chosen.drawn);

    std::set<std::string> seen;
    for (uint32_t seed = 0; seed < 50; ++seed) {
        RandomGenerator g;
        seed_random(g, seed);
        seen.insert(startup_mascots(settings, {}, files, g, false).source_paths.at(0));
    }
    EXPECT_EQ(seen.size(), 3u);
}

TEST(StartupSelection, FirstStartDrawsAsRandomDoes)
{
    AppSettings settings;  // Random 0, as stored
    const std::vector<std::string> files = {"a.bmp", "b.lzh", "c.bmp"};
    RandomGenerator generator;
    const StartupMascots chosen = startup_mascots(settings, {}, files, generator, true);
    EXPECT_EQ(chosen.source_paths, std::vector<std::string>{"c.bmp"});
    EXPECT_TRUE(chosen.drawn);
    EXPECT_EQ(settings.Random, 0);
    EXPECT_TRUE(startup_mascots(settings, {}, {}, generator, true).source_paths.empty()) << "no candidate, no mascot";
}

TEST(StartupSelection, RandomWithNoCandidateStartsNothing)
{
    AppSettings settings;
    settings.Random = 1;
    RandomGenerator generator;
    EXPECT_TRUE(startup_mascots(settings, {"v.lzh"}, {}, generator, false).source_paths.empty());
}
