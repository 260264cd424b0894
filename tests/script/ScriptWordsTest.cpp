#include <gtest/gtest.h>

#include "script/ScriptWords.h"

using torvane::script::ScriptWords;
using torvane::script::utf8Characters;

TEST(ScriptWords, SplitsAsAShellDoes) {
    using Words = std::vector<std::string>;
    EXPECT_EQ(ScriptWords::split("  tap   0\t1 ").words, (Words{"tap", "0", "1"}));
    EXPECT_EQ(ScriptWords::split("pick \"Listino  Fiera\"").words, (Words{"pick", "Listino  Fiera"}));
    EXPECT_EQ(ScriptWords::split("expect 'Puoi dirmi il prezzo del Colore \"001\"'").words,
              (Words{"expect", "Puoi dirmi il prezzo del Colore \"001\""}));
    EXPECT_EQ(ScriptWords::split(R"(type 6 "a \"b\" c\\" x\ y)").words, (Words{"type", "6", "a \"b\" c\\", "x y"}));
    EXPECT_EQ(ScriptWords::split("type 4 \"\"").words, (Words{"type", "4", ""})) << "an empty text is a word";
    EXPECT_EQ(ScriptWords::split("scan 100001 # the article").words, (Words{"scan", "100001"}));
    EXPECT_EQ(ScriptWords::split("expect R.#1").words, (Words{"expect", "R.#1"})) << "# inside a word is text";
    EXPECT_TRUE(ScriptWords::split("   # only a comment").words.empty());
    EXPECT_TRUE(ScriptWords::split("pick \"Listino").error);
    EXPECT_TRUE(ScriptWords::split("pick 'Listino").error);
    EXPECT_TRUE(ScriptWords::split("scan \xc3(").error);
}

TEST(ScriptWords, TypesOneCharacterAtATimeWhateverItsLength) {
    EXPECT_EQ(utf8Characters("Q.tà €5"), (std::vector<std::string>{"Q", ".", "t", "à", " ", "€", "5"}));
}
