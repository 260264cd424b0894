#include <gtest/gtest.h>

#include "platform/PreferenceKeys.h"
#include "platform/PropertyList.h"

using namespace torvane;

TEST(PropertyList, ReadsEveryValueKindInOrder) {
    auto plist = PropertyList::readData(R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//X//DTD PLIST 1.0//EN" "http://127.0.0.1:9/never-fetched.dtd">
<plist version="1.0"><dict>
  <key>z</key><string>Città</string>
  <key>a</key><integer>-12</integer>
  <key>r</key><real>2.5</real>
  <key>t</key><true/>
  <key>d</key><data>
    aGVs
    bG8=</data>
  <key>l</key><array><false/><string></string></array>
</dict></plist>)");
    ASSERT_TRUE(plist);
    ASSERT_TRUE(plist->isDictionary());
    ASSERT_EQ(plist->dictionary.size(), 6u);
    EXPECT_EQ(plist->dictionary[0].first, "z");  // file order kept
    EXPECT_EQ(plist->stringFor("z"), "Città");
    EXPECT_EQ(plist->find("a")->integer, -12);
    EXPECT_EQ(plist->find("r")->real, 2.5);
    EXPECT_TRUE(plist->find("t")->boolean);
    EXPECT_EQ(plist->find("d")->text, "hello");
    ASSERT_EQ(plist->find("l")->array.size(), 2u);
    EXPECT_EQ(PropertyList::toPreferenceValue(*plist->find("a")), PreferenceValue(-12LL));
    EXPECT_FALSE(PropertyList::toPreferenceValue(*plist->find("l")));
}

TEST(PropertyList, RefusesWhatIsNotAPropertyList) {
    for (const char* bad : {"", "<plist><dict><key>a</key></dict></plist>", "<plist><dict><string>x</string></dict></plist>",
                            "<html/>", "<plist><integer>12abc</integer></plist>", "<plist><dict>"})
        EXPECT_FALSE(PropertyList::readData(bad)) << bad;
    EXPECT_FALSE(PropertyList::readFile("/nonexistent/Root.plist"));
    // An entity defined inside the file is not expanded into a value.
    auto withEntity = PropertyList::readData(
        "<!DOCTYPE plist [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><plist><string>&e;</string></plist>");
    if (withEntity) {
        EXPECT_EQ(withEntity->text.find("root:"), std::string::npos);
    }
}

TEST(PropertyList, ShippedSettingsUseKnownKeysWithFittingDefaults) {
    for (const char* file : {"/Settings.bundle/Root.plist", "/Settings.bundle/LunghezzeBarcode.plist",
                             "/LunghezzeBarcode.plist"}) {
        auto plist = PropertyList::readFile(std::string(TORVANE_RESOURCES_SOURCE_DIR) + file);
        ASSERT_TRUE(plist) << file;
        const PlistValue* specifiers = plist->find("PreferenceSpecifiers");
        ASSERT_TRUE(specifiers && specifiers->isArray()) << file;
        int keyed = 0;
        for (const auto& entry : specifiers->array) {
            auto key = entry.stringFor("Key");
            if (!key) continue;
            ++keyed;
            auto info = keyInfo(*key);
            ASSERT_TRUE(info) << file << ": " << *key;
            const PlistValue* value = entry.find("DefaultValue");
            if (!value) continue;
            using Kind = PlistValue::Kind;
            switch (info->type) {
                case KeyType::Boolean: EXPECT_EQ(value->kind, Kind::Boolean) << *key; break;
                case KeyType::Integer: EXPECT_EQ(value->kind, Kind::Integer) << *key; break;
                case KeyType::Text: EXPECT_EQ(value->kind, Kind::String) << *key; break;
                default: break;
            }
        }
        EXPECT_GT(keyed, 0) << file;
    }
}
