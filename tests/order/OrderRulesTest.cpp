#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "rules/AgentResolver.h"
#include "rules/BarcodeLengths.h"
#include "rules/LineAmount.h"
#include "rules/OrderCounter.h"
#include "rules/PriceResolver.h"
#include "rules/ScanText.h"
#include "platform/PreferenceKeys.h"
#include "store/StoreFixture.h"

using namespace torvane;

namespace {

// ---- scanned text ----

// Lengths and cuts count characters whatever the device sends: several bytes for "È", "€"
// and an emoji, one for a control character, and one for each byte that is not UTF-8 (Latin-1
// "°" and "È", a stray continuation byte, a sequence cut short), which is never dropped.
TEST(ScanText, LengthsAndCutsCountCharactersWhateverTheDeviceSends) {
    const std::string accented = "CAF\xC3\x88\xE2\x82\xAC" "1\xF0\x9F\x98\x80";  // "CAFÈ€1😀"
    const std::pair<std::string, std::size_t> lengths[] = {
        {"", 0}, {std::string(200, '7'), 200}, {accented, 7}, {"12\t\r\n\x01", 6}, {"12\xB0", 3},
        {"\xC8" "A", 2}, {"\x80\x80" "AB", 4}, {"AB\xE2\x82", 4}};
    for (const auto& [text, length] : lengths) EXPECT_EQ(ScanText::length(text), length) << text;
    EXPECT_EQ(ScanText::prefix("", 6) + ScanText::suffix("", 6), "");
    EXPECT_EQ(ScanText::prefix(std::string(200, '7'), 6), "777777");
    EXPECT_EQ(ScanText::suffix(std::string(200, '7'), 6).size(), 194u);
    EXPECT_EQ(ScanText::prefix(accented, 4), "CAF\xC3\x88");
    EXPECT_EQ(ScanText::suffix(accented, 5), "1\xF0\x9F\x98\x80");
    EXPECT_EQ(ScanText::suffix("ABC\x1B" "X", 3), "\x1B" "X");
    EXPECT_EQ(ScanText::suffix("\x80" "AB", 0), "\x80" "AB");
    EXPECT_EQ(ScanText::prefix("\x80" "AB", 1), "\x80");
    const std::string mixed = "\xFF\xC3\xA9\x80";
    EXPECT_EQ(ScanText::prefix(mixed, 2) + ScanText::suffix(mixed, 2), mixed);
}

TEST(ScanText, NumbersAreReadFromTheStartOfTheText) {
    constexpr long long top = std::numeric_limits<long long>::max();
    const std::pair<const char*, long long> integers[] = {
        {"12abc", 12}, {"abc", 0}, {"", 0}, {"  7", 7}, {"\t\n-42x", -42}, {"00042", 42}, {"7 8", 7},
        {"9223372036854775807", top}, {"99999999999999999999999999", top}, {"-99999999999999999999999999", -top}};
    for (const auto& [input, expected] : integers) EXPECT_EQ(ScanText::leadingInteger(input), expected) << input;

    // "12,5": the comma is not a decimal point here.
    const std::pair<const char*, double> reals[] = {{"12.5kg", 12.5}, {" .5", 0.5}, {"-3", -3}, {"12,5", 12}};
    for (const auto& [input, expected] : reals) EXPECT_DOUBLE_EQ(ScanText::leadingDouble(input), expected) << input;
    for (const char* notANumber : {"", "abc", "-", ".", "inf", "nan", "0x1p3"})
        EXPECT_EQ(ScanText::leadingDouble(notANumber), 0) << notANumber;
    EXPECT_EQ(ScanText::leadingDouble(std::string(400, '9')), 0) << "beyond the double range";
}

TEST(ScanText, TrimmingAndLeadingZeros) {
    for (auto [input, expected] : {std::pair{" \t 00123\r\n", "00123"}, {" \n ", ""}, {"A B", "A B"}})
        EXPECT_EQ(ScanText::trimmed(input), expected) << input;
    for (auto [input, expected] : {std::pair{"000123", "123"}, {"000", ""}, {"1020", "1020"}})
        EXPECT_EQ(ScanText::withoutLeadingZeros(input), expected) << input;
}

// ---- store-backed rules ----

struct OrderRules : test::StoreFixture {
    Preferences& prefs() { return Preferences::standard(); }

    // Article ART1 in price list L01, variant V1.
    void SetUp() override {
        StoreFixture::SetUp();
        auto listino = db->createListinoWithBarCode("L01");
        entry = db->createArticoloListinoWithArticolo("ART1", *listino);
    }
    void plainPrice(const char* valore) {
        db->createPrezzoWithVarianteCommerciale("V1", *entry)->setValore(Decimal::parse(valore));
    }
    void surcharge(const std::string& codice, const char* from, const char* to, const char* valore) {
        auto maggiorazione = db->createMaggiorazioneWithCodice(codice);
        maggiorazione->setRangeFrom(Decimal::parse(from));
        maggiorazione->setRangeTo(Decimal::parse(to));
        auto prezzo = db->createPrezzoWithVarianteCommerciale("V1", *entry);
        prezzo->setMaggiorazione(codice);
        prezzo->setValore(Decimal::parse(valore));
    }
    std::string price(double quantita, const std::string& variante = "V1") {
        return PriceResolver::resolve(*db, "L01", "ART1", variante, quantita).toString();
    }
    std::optional<ArticoloListino> entry;
};

TEST_F(OrderRules, ASurchargeAppliesOnBothEndsOfItsRangeAndNotBeyond) {
    plainPrice("10");
    surcharge("M1", "10", "50", "12.5");
    for (auto [quantita, expected] : {std::pair{10.0, "12.5"}, {50.0, "12.5"}, {9.99, "10"}, {50.01, "10"}})
        EXPECT_EQ(price(quantita), expected) << quantita;
    EXPECT_EQ(price(10, "V2"), "0") << "another variant has no price at all";
}

TEST_F(OrderRules, TheFirstApplyingSurchargeDecidesAndAZeroThereMeansThePlainPrice) {
    plainPrice("10");
    surcharge("M2", "1", "100", "0");
    surcharge("M3", "1", "100", "7");
    EXPECT_EQ(price(5), "10") << "M3 also applies but comes after M2";

    // Surcharges that cannot apply are passed over: a missing record, an empty range.
    auto orphan = db->createPrezzoWithVarianteCommerciale("V1", *entry);
    orphan->setMaggiorazione(std::string("M0"));
    orphan->setValore(Decimal::parse("1"));
    surcharge("M1", "20", "20", "3");
    EXPECT_EQ(price(20), "10");
    EXPECT_EQ(price(150), "10");
}

TEST_F(OrderRules, WithoutAPlainPriceASurchargeOutOfRangeGivesZero) {
    surcharge("M1", "10", "50", "12.5");
    EXPECT_EQ(price(30), "12.5");
    EXPECT_EQ(price(5), "0");
    EXPECT_EQ(PriceResolver::resolve(*db, "NOPE", "ART1", "V1", 30).toString(), "0");
}

TEST(LineAmount, RoundsToCentsHalvesAwayFromZero) {
    auto amount = [](const char* price, const char* quantity) {
        return LineAmount::of(*Decimal::parse(price), *Decimal::parse(quantity)).toString();
    };
    // 0.333 x 1.5 = 0.4995; 0.1 x 3 is exactly 0.3, with no binary drift.
    const std::array<const char*, 3> rows[] = {{"1.005", "1", "1.01"}, {"0.333", "1.5", "0.5"},
                                               {"-1.005", "1", "-1.01"}, {"2.344", "1", "2.34"},
                                               {"4.5", "10", "45"}, {"0.1", "3", "0.3"}};
    for (const auto& [price, quantity, expected] : rows) EXPECT_EQ(amount(price, quantity), expected) << price;
}

struct AgentRules : test::StoreFixture {
    void SetUp() override {
        StoreFixture::SetUp();
        cliente = db->createClienteWithBarCode("B01");
        listino = db->createListinoWithBarCode("L01");
        listino->setBusinessUnit(std::string("BU1"));
    }
    void assign(const std::string& agente, std::optional<std::string> businessUnit) {
        auto assegnazione = db->createAgenteCompetenzaWithAgente(agente, "AR", businessUnit.value_or(""));
        assegnazione->setBusinessUnit(std::move(businessUnit));
        cliente->addTo("agenti", *assegnazione);
    }
    std::string agent(std::optional<std::string> pref) { return AgentResolver::resolve(pref, cliente, listino); }
    std::optional<Cliente> cliente;
    std::optional<Listino> listino;
};

TEST_F(AgentRules, OneCodeIsTheAgentWhateverTheAssignments) {
    assign("C3", std::string("BU1"));
    EXPECT_EQ(agent("A1"), "A1");
    EXPECT_TRUE(log->contains("Ordine fatto con il mio Codice Agente : A1 (PREF=:A1:)"));
}

TEST_F(AgentRules, CodesPerBusinessUnitAskTheClientsAssignments) {
    EXPECT_EQ(agent("A1;"), "A1") << "as the login writes it, with no assignment";
    EXPECT_EQ(agent("A1;B2"), "A1");
    assign("X9", std::string("BU2"));
    EXPECT_EQ(agent("A1;B2"), "A1") << "an assignment of another unit";
    assign("C3", std::string("BU1"));
    EXPECT_EQ(agent("A1;B2"), "C3");
    EXPECT_EQ(agent("A1;"), "C3");
    EXPECT_TRUE(log->contains("Ordine fatto con il Codice Agente : C3  per la BU BU1"));
    EXPECT_EQ(AgentResolver::resolve("A1;B2", cliente, std::nullopt), "A1") << "no price list, no unit to match";
    EXPECT_EQ(AgentResolver::resolve("A1;B2", std::nullopt, listino), "A1");
}

TEST_F(AgentRules, AnAssignmentWithoutBusinessUnitServesEveryUnit) {
    assign("T7", std::nullopt);
    EXPECT_EQ(agent("A1;B2"), "T7");
    EXPECT_TRUE(log->contains("Ordine fatto con il Codice Agente x tutte le BU : T7"));
    listino->setBusinessUnit(std::nullopt);
    EXPECT_EQ(agent("A1;"), "T7");
}

TEST_F(AgentRules, NoCodeGivesTheUnknownAgent) {
    EXPECT_EQ(agent(std::nullopt), "Agente sconosciuto");
    for (const char* pref : {"", ";", ";B2"}) EXPECT_EQ(agent(pref), "Agente sconosciuto") << pref;  // first code empty
}

TEST_F(OrderRules, TheCounterStartsAtZeroAndCountsUp) {
    EXPECT_FALSE(db->fetchParametroByAttributo("SYSTEM_ProgressivoOrdine"));
    EXPECT_EQ(OrderCounter::next(*db), 1);
    EXPECT_EQ(OrderCounter::next(*db), 2);
    db->commit();
    EXPECT_EQ(db->fetchParametroByAttributo("SYSTEM_ProgressivoOrdine")->valore(), "2");
    EXPECT_EQ(count("Parametro"), 1);

    auto counter = db->fetchParametroByAttributo("SYSTEM_ProgressivoOrdine");
    counter->setValore(std::string("41"));
    EXPECT_EQ(OrderCounter::next(*db), 42);
    counter->setValore(std::string("rotto"));
    EXPECT_EQ(OrderCounter::next(*db), 1) << "unreadable text reads as 0";
    counter->setValore(std::nullopt);
    EXPECT_EQ(OrderCounter::next(*db), 1);
    counter->setValore(std::string("9223372036854775807"));
    EXPECT_EQ(OrderCounter::next(*db), std::nullopt) << "no number after the last one";
    EXPECT_EQ(counter->valore(), "9223372036854775807");
}

TEST_F(OrderRules, BarcodeLengthsComeFromThePreferencesWithShippedValuesForUnsetOnes) {
    auto lengths = [] {
        BarcodeLengths l = BarcodeLengths::fromPreferences();
        return std::vector<long long>{l.listino, l.articolo, l.articoloSerie, l.colore, l.cliente};
    };
    EXPECT_EQ(lengths(), (std::vector<long long>{3, 6, 12, 5, 11}));

    prefs().setInteger(keys::pref_LENBARCODECOLORE, 6);
    prefs().setString(keys::pref_LENBARCODELISTINO, "4");  // the settings screen stores text
    prefs().setInteger(keys::pref_LENBARCODEARTICOLO, 0);
    EXPECT_EQ(lengths(), (std::vector<long long>{4, 0, 12, 6, 11})) << "a length that is set is used as it is, even 0";
}

}  // namespace
