#include <gtest/gtest.h>

#include <set>

#include "platform/PreferenceKeys.h"
#include "platform/PropertyList.h"
#include "support/TempDir.h"

using namespace torvane;
using namespace std::chrono;

namespace {

std::optional<PlistValue> plist(const std::string& body) {
    return PropertyList::readData("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body +
                                  "</plist>");
}

std::string resource(const char* relative) { return std::string(TORVANE_RESOURCES_SOURCE_DIR) + relative; }

}  // namespace

TEST(PropertyList, ReadsEveryValueKindInFileOrder) {
    auto value = PropertyList::readData(R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//X//DTD PLIST 1.0//EN" "http://127.0.0.1:9/never-fetched.dtd">
<plist version="1.0"><dict>
  <key>z</key><string>Città &amp; <![CDATA[<negozi>]]></string>
  <key>a</key><integer> -12 </integer>
  <key>r</key><real>2.5</real>
  <key>e</key><real>-1e3</real>
  <key>t</key><true/>
  <key>f</key><false></false>
  <key>w</key><date>2026-12-06T10:15:30Z</date>
  <key>d</key><data>
    aGVs
    bG8=</data>
  <key>u</key><data>aGk</data>
  <key>l</key><array><false/><string></string><array/></array>
  <key>n</key><dict><key>x</key><integer>9223372036854775807</integer></dict>
  <!-- a comment between entries -->
  <key>a</key><integer>7</integer>
</dict></plist>)");
    ASSERT_TRUE(value);
    ASSERT_TRUE(value->isDictionary());
    const auto& entries = value->entries();
    ASSERT_EQ(entries.size(), 11u);
    std::vector<std::string> order;
    for (const auto& [key, item] : entries) order.push_back(key);
    // A repeated key keeps its first place and takes the later value.
    EXPECT_EQ(order, (std::vector<std::string>{"z", "a", "r", "e", "t", "f", "w", "d", "u", "l", "n"}));
    EXPECT_EQ(value->stringFor("z"), "Città & <negozi>");
    EXPECT_EQ(value->find("a")->asInteger(), 7);
    EXPECT_EQ(value->find("r")->asReal(), 2.5);
    EXPECT_EQ(value->find("e")->asReal(), -1000.0);
    EXPECT_EQ(value->find("t")->asBoolean(), true);
    EXPECT_EQ(value->find("f")->asBoolean(), false);
    EXPECT_EQ(value->find("w")->asDate(), Timestamp(sys_days(2026y / December / 6) + 10h + 15min + 30s));
    EXPECT_EQ(value->find("d")->asData(), "hello");
    EXPECT_EQ(value->find("u")->asData(), "hi");  // padding left out
    const auto& list = value->find("l")->items();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], PlistValue::boolean(false));
    EXPECT_EQ(list[1].asString(), "");
    EXPECT_TRUE(list[2].isArray() && list[2].items().empty());
    EXPECT_EQ(value->find("n")->find("x")->asInteger(), 9223372036854775807LL);
    EXPECT_EQ(value->find("missing"), nullptr);
}

TEST(PropertyList, RefusesWhatIsNotAPropertyList) {
    for (const char* bad : {"", "not xml", "<html/>", "<plist/>", "<plist><dict>", "<plist><string>a</string><string>b</string></plist>"})
        EXPECT_FALSE(PropertyList::readData(bad)) << bad;
    for (const char* body : {
             "<dict><key>a</key></dict>",                  // key without value
             "<dict><string>x</string></dict>",            // value without key
             "<dict><key>a</key><key>b</key><true/></dict>",
             "<dict><key>a<b/></key><true/></dict>",
             "<integer>12abc</integer>", "<integer></integer>", "<integer>99999999999999999999</integer>",
             "<integer>1.5</integer>", "<real>2,5</real>", "<real></real>", "<real>1.5x</real>",
             "<true>yes</true>", "<date>2026-02-30T00:00:00Z</date>", "<date>ieri</date>",
             "<data>aGVs!bG8=</data>", "<data>aGVsb</data>", "<data>aG==bG8=</data>", "<data>aGVsbG8===</data>",
             "<string>a<b/>c</string>", "<unknown/>", "<array><string>x</string><nope/></array>",
         })
        EXPECT_FALSE(plist(body)) << body;
    EXPECT_FALSE(PropertyList::readFile("/nonexistent/Root.plist"));
    // Nesting deeper than any settings file.
    std::string deep;
    for (int i = 0; i < 100; ++i) deep += "<array>";
    for (int i = 0; i < 100; ++i) deep += "</array>";
    EXPECT_FALSE(plist(deep));
}

TEST(PropertyList, NeverReadsADtdNorExpandsEntities) {
    test::TempDir dir;
    std::string secret = dir.file("secret.txt");
    test::writeFile(secret, "segreto");
    std::string dtd = dir.file("plist.dtd");
    test::writeFile(dtd, "<!ENTITY fromDtd \"dal DTD\">");
    // An entity of the file itself, one pointing at a local file, one from a DTD on disk:
    // none of them may turn into text.
    for (const std::string& document : std::vector<std::string>{
             "<!DOCTYPE plist [<!ENTITY e \"interna\">]><plist><string>&e;</string></plist>",
             "<!DOCTYPE plist [<!ENTITY e SYSTEM \"file://" + secret + "\">]><plist><string>&e;</string></plist>",
             "<!DOCTYPE plist SYSTEM \"file://" + dtd + "\"><plist><string>&fromDtd;</string></plist>",
             "<!DOCTYPE plist [<!ENTITY e \"interna\">]><plist><array>&e;</array></plist>",
         }) {
        auto value = PropertyList::readData(document);
        EXPECT_FALSE(value) << document;
    }
    // Character references are plain text, not entities.
    EXPECT_EQ(plist("<string>&#233;&lt;&gt;&quot;</string>")->asString(), "é<>\"");
}

// Start-up copies only scalar defaults into the preferences.
TEST(PropertyList, ConvertsScalarsToPreferenceValues) {
    EXPECT_EQ(PropertyList::toPreferenceValue(PlistValue::string("C")), PreferenceValue(std::string("C")));
    EXPECT_EQ(PropertyList::toPreferenceValue(PlistValue::integer(-12)), PreferenceValue(-12LL));
    EXPECT_EQ(PropertyList::toPreferenceValue(PlistValue::real(2.5)), PreferenceValue(2.5));
    EXPECT_EQ(PropertyList::toPreferenceValue(PlistValue::boolean(true)), PreferenceValue(true));
    for (const PlistValue& other : {PlistValue::array(), PlistValue::dictionary(), PlistValue::data("x"),
                                    PlistValue::date(Timestamp{})})
        EXPECT_FALSE(PropertyList::toPreferenceValue(other));
}

// The settings screen and start-up read different copies: they must not drift apart.
TEST(PropertyList, BothCopiesOfTheBarcodeLengthsAreTheSame) {
    auto bundled = PropertyList::readFile(resource("/Settings.bundle/LunghezzeBarcode.plist"));
    ASSERT_TRUE(bundled);
    EXPECT_EQ(bundled, PropertyList::readFile(resource("/LunghezzeBarcode.plist")));
}

// Every key a settings file names must be in the key table, and its default must be of a
// kind the key's type can take: start-up copies these defaults into the preferences.
TEST(PropertyList, ShippedSettingsUseKnownKeysWithFittingDefaults) {
    std::set<std::string> seen;
    for (const char* file : {"/Settings.bundle/Root.plist", "/Settings.bundle/LunghezzeBarcode.plist"}) {
        auto settings = PropertyList::readFile(resource(file));
        ASSERT_TRUE(settings) << file;
        const PlistValue* specifiers = settings->find("PreferenceSpecifiers");
        ASSERT_TRUE(specifiers && specifiers->isArray()) << file;
        int keyed = 0;
        for (const auto& entry : specifiers->items()) {
            auto type = entry.stringFor("Type");
            ASSERT_TRUE(type) << file;
            auto key = entry.stringFor("Key");
            if (!key) {
                EXPECT_EQ(*type, "PSGroupSpecifier") << file;
                continue;
            }
            ++keyed;
            EXPECT_TRUE(seen.insert(*key).second) << "chiave ripetuta: " << *key;
            auto info = keyInfo(*key);
            ASSERT_TRUE(info) << file << ": " << *key;
            EXPECT_EQ(info->place, KeyPlace::Defaults) << *key;
            const PlistValue* value = entry.find("DefaultValue");
            ASSERT_TRUE(value) << *key;
            EXPECT_TRUE(PropertyList::toPreferenceValue(*value)) << *key;
            if (*type == "PSToggleSwitchSpecifier") {
                EXPECT_EQ(info->type, KeyType::Boolean) << *key;
            }
            if (*type == "PSMultiValueSpecifier") {
                // The default is one of the choices, and each choice has its title.
                const PlistValue* values = entry.find("Values");
                const PlistValue* titles = entry.find("Titles");
                ASSERT_TRUE(values && titles) << *key;
                EXPECT_EQ(values->items().size(), titles->items().size()) << *key;
                bool listed = false;
                for (const auto& choice : values->items()) listed = listed || choice == *value;
                EXPECT_TRUE(listed) << *key;
            }
            switch (info->type) {
                case KeyType::Boolean: {
                    bool fits = value->isBoolean() ||
                                (*type == "PSMultiValueSpecifier" &&
                                 (value->asString() == "YES" || value->asString() == "NO"));
                    EXPECT_TRUE(fits) << *key;
                    break;
                }
                case KeyType::Integer: EXPECT_TRUE(value->isInteger()) << *key; break;
                case KeyType::Text: EXPECT_TRUE(value->isString()) << *key; break;
                default: ADD_FAILURE() << *key << ": a settings file cannot hold this type"; break;
            }
        }
        EXPECT_GT(keyed, 0) << file;
    }
}
