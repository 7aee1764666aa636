#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "base/random.h"
#include "config/first_run_marker.h"
#include "config/settings_defaults.h"
#include "config/settings_names.h"
#include "config/settings_values.h"
#include "config/win32/registry_settings_store.h"
#include "support/win_test_helpers.h"

namespace cs {
namespace {

std::set<std::string> ValueNames(HKEY key) {
    std::set<std::string> names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.insert(std::string(name, length));
    }
    return names;
}

TEST(RegistryStoreTest, ValuesKeepTheirTypesAndBytes) {
    test::TemporaryKey temp("CubeSaverStoreTest");
    auto key = RegistrySettingsStore::Open(HKEY_CURRENT_USER, temp.path(), true);
    ASSERT_TRUE(key);
    key->WriteDword("d", 0x01020304u);
    const float f = 0.75f;
    key->WriteBinary("f", &f, 4);
    key->WriteString("s", "C:\\Photos\\");
    key->WriteString("empty", "");

    const auto d = key->Read("d");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->type, ValueType::Dword);
    EXPECT_EQ(d->bytes, (std::vector<std::uint8_t>{4, 3, 2, 1}));
    float back = 0;
    ASSERT_TRUE(ReadFloatValue(*key, "f", back));
    EXPECT_EQ(back, 0.75f);
    const auto s = key->Read("s");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->type, ValueType::String);
    EXPECT_EQ(std::string(s->bytes.begin(), s->bytes.end()), std::string("C:\\Photos\\", 11));
    EXPECT_EQ(key->Read("empty")->bytes.size(), 1u);
    EXPECT_FALSE(key->Read("missing"));
    EXPECT_EQ(key->ValueCount(), 4u);

    EXPECT_FALSE(key->OpenSubkey("Nothing", false));
    auto sub = key->OpenSubkey("Sub", true);
    ASSERT_TRUE(sub);
    sub->WriteDword("x", 1);
    EXPECT_EQ(key->OpenSubkey("Sub", false)->ValueCount(), 1u);
    EXPECT_EQ(key->ValueCount(), 4u);
}

TEST(RegistryStoreTest, ForeignValuesKeepTheField) {
    test::TemporaryKey temp("CubeSaverForeignTest");
    auto key = RegistrySettingsStore::Open(HKEY_CURRENT_USER, temp.path(), true);
    ASSERT_TRUE(key);
    // What another program might leave: a string without its terminator, an
    // expandable string, a QWORD where a DWORD belongs, an overlong text.
    const char raw[] = {'a', 'b', 'c'};
    RegSetValueExA(key->key(), "000_075", 0, REG_SZ, reinterpret_cast<const BYTE*>(raw), sizeof raw);
    const char expand[] = "%TEMP%";
    RegSetValueExA(key->key(), "000_076", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand), sizeof expand);
    const unsigned long long wide = 7;
    RegSetValueExA(key->key(), "000_001", 0, REG_QWORD, reinterpret_cast<const BYTE*>(&wide), sizeof wide);
    key->WriteString("000_017", std::string(300, 'x'));
    key->WriteDword("000_018", 5);

    GeneralSettings general;
    std::strcpy(general.text_075.data(), "old");
    std::strcpy(general.text_076.data(), "older");
    std::strcpy(general.text_017.data(), "oldest");
    ReadGeneralSettings(general, *key);
    EXPECT_STREQ(general.text_075.data(), "old");
    EXPECT_STREQ(general.text_076.data(), "older");
    EXPECT_STREQ(general.text_017.data(), "oldest");
    EXPECT_EQ(general.show_frame_rate, 0);
    EXPECT_EQ(general.target_framerate, 5);
}

TEST(RegistryStoreTest, FirstRunLeavesExactlyTheSettingsValues) {
    test::TemporaryKey temp("CubeSaverFirstRunTest");
    auto key = RegistrySettingsStore::Open(HKEY_CURRENT_USER, temp.path(), true);
    ASSERT_TRUE(key);
    ASSERT_FALSE(IsFirstRunDone(*key, kFirstRunVersion));
    GeneralSettings general;
    CubeSettings cube;
    SeedRandom(GetTickCount());
    SeedFirstRunCubeDefaults(cube);
    WriteGeneralSettings(general, *key);
    WriteCubeSettings(cube, *key, kSettingsGroup, kCubeFirstIndex);
    MarkFirstRunDone(*key, kFirstRunVersion);
    IncrementSettingsOpenCount(*key);

    std::set<std::string> expected;
    for (int i = 0; i <= 18; ++i)
        if (i != 6) expected.insert(SettingValueName(0, i));
    for (int i : {75, 76, 77}) expected.insert(SettingValueName(0, i));
    for (int i = 100; i <= 111; ++i) expected.insert(SettingValueName(0, i));
    EXPECT_EQ(ValueNames(key->key()), expected);

    // A new handle, as the next run would open it.
    auto again = RegistrySettingsStore::Open(HKEY_CURRENT_USER, temp.path(), false);
    ASSERT_TRUE(again);
    EXPECT_TRUE(IsFirstRunDone(*again, kFirstRunVersion));
    CubeSettings back;
    ReadCubeSettings(back, *again, kSettingsGroup, kCubeFirstIndex);
    EXPECT_EQ(std::memcmp(&back, &cube, sizeof cube), 0);
    EXPECT_EQ(ReadSettingsOpenCount(*again), 1u);
}

TEST(RegistryStoreTest, RealSettingsKeyAndMarker) {
    const std::string path = SettingsKeyPath();
    HKEY existing = nullptr;
    const bool existed = RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &existing) == ERROR_SUCCESS;
    if (existed) {
        RegCloseKey(existing);
        // Someone's settings live here: only look.
        EXPECT_TRUE(OpenSettingsKey());
        GTEST_SKIP() << "settings key present; not changing it";
    }
    EXPECT_FALSE(IsFirstRunDoneInRegistry(kFirstRunVersion));
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &existing), ERROR_SUCCESS)
        << "asking must not create the key";
    MarkFirstRunDoneInRegistry(kFirstRunVersion);
    EXPECT_TRUE(IsFirstRunDoneInRegistry(kFirstRunVersion));
    EXPECT_FALSE(IsFirstRunDoneInRegistry("2.1"));
    {
        auto key = OpenSettingsKey();
        ASSERT_TRUE(key);
        EXPECT_EQ(key->ValueCount(), 0u);
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
}

}  // namespace
}  // namespace cs
