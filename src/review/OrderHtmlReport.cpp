#include "review/OrderHtmlReport.h"

#include "platform/DateFormat.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/HtmlText.h"
#include "review/ReportText.h"
#include "rules/LineAmount.h"
#include "store/Database.h"

namespace torvane {

namespace {

constexpr const char* kListinoCambiato = "LISTINOCAMBIATO";

std::string esc(const std::optional<std::string>& text) { return htmlEscaped(textOf(text)); }

bool isAbsoluteUrl(const std::string& url) {
    return url.find("http://") != std::string::npos || url.find("https://") != std::string::npos;
}

}  // namespace

OrderHtmlReport::OrderHtmlReport(Database& db)
    : db_(db),
      catalogue_(db),
      prezzoFormat_("###,##0.00"),
      quantitaFormat_(NumberFormat::plainDecimal()),
      interoFormat_("0") {}

void OrderHtmlReport::row(const std::string& text) {
    out_ += "<TR>";
    out_ += "<TD colspan=\"6\" align=\"left\" >";
    out_ += text;
    out_ += "</TD>";
    out_ += "</TR>";
}

std::optional<std::string> OrderHtmlReport::build(const SceltaTestata& testata) {
    auto righe = db_.fetchAllSceltaRigaByTestata(testata).value_or(std::vector<SceltaRiga>{});
    Log::f("Report TXT : Scelta %@ - Scelte presenti %d", testata.codice(), static_cast<long long>(righe.size()));
    auto& prefs = Preferences::standard();
    conFoto_ = prefs.boolForKey(keys::pref_REPORTHTMLCONFOTOENABLED);
    conPrezzi_ = prefs.boolForKey(keys::pref_REPORTHTMLCONPREZZIENABLED);
    fotoUrl_ = textOf(prefs.stringForKey(keys::pref_FOTOURL));
    cliente_ = testata.cliente() ? db_.fetchClienteByCodice(*testata.cliente()) : std::nullopt;

    std::vector<Section> sections;
    if (textOf(testata.listinoTestata()) == kListinoCambiato) {
        for (const auto& values : db_.fetchAllListinoByTestata(testata).value_or(Database::DistinctValues{})) {
            auto found = values.find("listino");
            if (found == values.end()) continue;
            sections.push_back({found->second, catalogue_.listino(found->second), true});
        }
        if (sections.empty()) {
            Log::line("Listini non trovati !?!?");
            return std::nullopt;
        }
    } else {
        sections.push_back({textOf(testata.listinoTestata()), catalogue_.listino(testata.listinoTestata()), false});
    }

    auto creazione = testata.dataCreazione();
    out_ = "<HTML><TITLE>";
    out_ += format("%@ del %@", esc(testata.clienteRagioneSociale()),
                   creazione ? DateFormat("dd/MM/yyyy").format(*creazione) : std::string());
    out_ += "</TITLE><BODY>";
    for (const auto& section : sections) writeSection(testata, righe, section);
    out_ += "\n</BODY></HTML>\n";
    return std::move(out_);
}

void OrderHtmlReport::writeSection(const SceltaTestata& testata, const std::vector<SceltaRiga>& righe,
                                   const Section& section) {
    const auto& listino = section.listino;
    if (listino && hasText(listino->logoUrl()))
        out_ += format("<TABLE><img src=\"%@/%@\" width=\"200\" height=\"70\"></TABLE>", htmlEscaped(fotoUrl_),
                       esc(listino->logoUrl()));
    else
        out_ += format("<TABLE><img src=\"%@/LOGO.JPG\"></TABLE>", htmlEscaped(fotoUrl_));

    out_ += "<TABLE border=\"1\" style=\"background-color:#EEEEEE;\" >";
    out_ += "<TR>";
    out_ += "<TD colspan=\"3\" align=\"left\">";
    writeDestinazione(testata);
    out_ += "</TD>";
    out_ += "<TD colspan=\"3\" align=\"left\">";
    writeCliente(testata);
    out_ += "</TD>";
    out_ += "</TR>";
    writeTitolo(testata, section);
    row(format("Listino: %@ [%@]", listino ? esc(listino->descrizione()) : std::string(),
               htmlEscaped(section.codice)));
    writeCondizioni();
    writeIntestazioni(testata, section);

    Decimal totale;
    for (const auto& riga : righe) {
        if (section.perListino && textOf(riga.listino()) != section.codice) continue;
        totale += writeRiga(riga, section);
    }
    if (conPrezzi_ && totale > Decimal()) {
        out_ += "<TR>";
        out_ += "<TD colspan=\"5\" >";
        out_ += "Totale IVA esclusa";
        out_ += "</TD><TD align=\"right\" >";
        out_ += prezzoFormat_.format(totale);
        out_ += "</TD>";
        out_ += "</TR>\n";
    }
    if (auto note = testata.note()) {
        auto etichetta = Preferences::standard().stringForKey(keys::pref_NOTE);
        out_ += "<TR><TD colspan=\"6\">\n";
        out_ += format("<b>%@</b> %@", hasText(etichetta) ? htmlEscaped(*etichetta) : std::string("Note:"),
                       htmlEscaped(*note));
        out_ += "</TD></TR>\n";
    }
    if (auto firma = testata.firma(); firma && !firma->empty()) {
        out_ += "<TR><TD colspan=\"6\">\n";
        out_ += "Ordine firmato in calce <img src=\"FirmaOrdine.jpg\" />";
        out_ += "</TD></TR>\n";
    }
    // The bordered table stays open: mail clients close it, and the next section begins with
    // its own logo table.
    out_ += "<BR>\n";
}

void OrderHtmlReport::writeDestinazione(const SceltaTestata& testata) {
    auto codice = testata.clienteDestinazione();
    if (!hasText(codice)) {
        out_ += "Destinazione Merce:<BR><BR>IDEM<BR><BR><BR><BR><BR>";
        return;
    }
    auto destinazione = cliente_ ? db_.fetchDestinazioneByCodice(*codice, *cliente_) : std::nullopt;
    if (!destinazione) {
        out_ += format("Destinazione Merce: %@<BR><BR>IDEM<BR><BR><BR><BR><BR>", htmlEscaped(*codice));
        return;
    }
    const Destinazione& d = *destinazione;
    out_ += format("Destinazione Merce: [%@]", htmlEscaped(*codice));
    out_ += "<BR>";
    if (auto v = d.ragioneSociale1()) out_ += format("<b>%@</b>", htmlEscaped(*v)) + "<BR>";
    if (auto v = d.ragioneSociale2()) out_ += htmlEscaped(*v) + "<BR>";
    if (auto v = d.indirizzo1()) out_ += htmlEscaped(*v) + "<BR>";
    if (auto v = d.indirizzo2()) out_ += htmlEscaped(*v) + "<BR>";
    if (auto v = d.cap()) out_ += htmlEscaped(*v) + "&nbsp;";
    if (auto v = d.citta()) out_ += htmlEscaped(*v) + "&nbsp;";
    if (auto v = d.provincia()) out_ += htmlEscaped(*v);
    out_ += "<BR>";
}

void OrderHtmlReport::writeCliente(const SceltaTestata& testata) {
    if (auto codice = testata.cliente()) out_ += format("Cliente: [%@]", htmlEscaped(*codice));
    out_ += "<BR>";
    if (auto nome = testata.clienteRagioneSociale()) out_ += format("<b>%@</b>", htmlEscaped(*nome)) + "<BR>";
    if (cliente_) {
        const Cliente& c = *cliente_;
        if (auto v = c.ragioneSociale2()) out_ += htmlEscaped(*v) + "<BR>";
        if (auto v = c.indirizzo1()) out_ += htmlEscaped(*v) + "<BR>";
        if (auto v = c.indirizzo2()) out_ += htmlEscaped(*v) + "<BR>";
        if (auto v = c.cap()) out_ += htmlEscaped(*v) + "&nbsp;";
        if (auto v = c.citta()) out_ += htmlEscaped(*v) + "&nbsp;";
        if (auto v = c.provincia()) out_ += htmlEscaped(*v);
    }
    out_ += "<BR>";
}

void OrderHtmlReport::writeTitolo(const SceltaTestata& testata, const Section& section) {
    auto creazione = testata.dataCreazione();
    // The calendar year: the year of the week would date an order of 30 December into the
    // next year on the customer's confirmation.
    std::string data = creazione ? DateFormat("dd/MM/yyyy").format(*creazione) : std::string();
    std::string ora = creazione ? DateFormat("HH:mm").format(*creazione) : std::string();
    std::string numero = testata.codice() ? std::to_string(*testata.codice()) : std::string();

    out_ += "<TR>";
    out_ += "<TD colspan=\"3\" align=\"left\" >";
    if (section.perListino) {
        out_ += format("<b>Proposta di ordine NR. %@</b>", numero);
        out_ += format(" del %@ ora %@", data, ora);
        out_ += format(" <b>Collezione:%@</b>", section.listino ? esc(section.listino->collezione()) : std::string());
    } else {
        out_ += format("<b>Proposta di ordine NR. %@</b> ", numero);
        out_ += format(" del %@ ora %@", data, ora);
    }
    out_ += "</TD>";
    out_ += "<TD colspan=\"3\" align=\"left\" >";
    out_ += "<b>Agente</b> ";
    auto codice = testata.agente();
    auto agente = codice ? db_.fetchAgenteByCodice(*codice) : std::nullopt;
    out_ += agente && agente->ragioneSociale() ? esc(agente->ragioneSociale()) : esc(codice);
    out_ += "</TD>";
    out_ += "</TR>";
}

void OrderHtmlReport::writeCondizioni() {
    if (!cliente_) return;
    if (auto codice = cliente_->pagamento())
        if (auto pagamento = db_.fetchPagamentoByCodice(*codice)) row("Pagamento: " + esc(pagamento->descrizione()));
    if (auto codice = cliente_->spedizioniere()) {
        if (auto spedizioniere = db_.fetchSpedizioniereByCodice(*codice)) {
            std::string text = "Spedizioniere: " + esc(spedizioniere->ragioneSociale());
            auto abbonamento = textOf(cliente_->abbonamento());
            if (utf16Length(abbonamento) >= 2) text += format("<BR>Abbonamento: %@", htmlEscaped(abbonamento));
            row(text);
        }
    }
    if (auto codice = cliente_->resa())
        if (auto resa = db_.fetchResaByCodice(*codice)) row("Resa: " + esc(resa->descrizione()));
}

void OrderHtmlReport::writeIntestazioni(const SceltaTestata& testata, const Section& section) {
    const auto& listino = section.listino;
    std::string divisa = listino ? esc(listino->divisa()) : std::string();
    out_ += "<TR>";
    out_ += "<TH>Articolo</TH>";
    out_ += "<TH>Colore</TH>";
    out_ += listino && textOf(listino->um()) == "NR" ? "<TH>NR</TH>" : "<TH>UM</TH>";
    out_ += testata.presenzaTaglie().value_or(false) ? "<TH>Taglie</TH>" : "<TH>Quantita</TH>";
    out_ += format("<TH>Prezzo %@</TH>", divisa);
    out_ += format("<TH>Importo %@</TH>", divisa);
    out_ += "</TR>";
}

std::optional<std::string> OrderHtmlReport::nomeGruppo(const std::optional<Articolo>& articolo,
                                                       const std::string& variante) {
    if (!articolo || !hasText(articolo->gruppoCommerciale())) return std::nullopt;
    auto gruppo = db_.fetchGruppoCommercialeByCodice(*articolo->gruppoCommerciale(), withoutFirstCharacter(variante));
    if (!gruppo || !hasText(gruppo->descrizione())) return std::nullopt;
    return gruppo->descrizione();
}

std::optional<std::string> OrderHtmlReport::nomeVariante(const std::string& variante) {
    auto record = db_.fetchVarianteCommercialeByCodice(variante);
    if (!record || !hasText(record->descrizioneITA())) return std::nullopt;
    return record->descrizioneITA();
}

Decimal OrderHtmlReport::writeRiga(const SceltaRiga& riga, const Section& section) {
    auto articolo = catalogue_.articolo(riga.articolo());
    auto taglie = riga.sceltaTaglie();
    bool conTaglie = !taglie.empty();
    bool tcc = textOf(riga.colore()) == "T+CC";
    auto prezzo = riga.prezzo();
    auto quantita = riga.quantita();

    out_ += "<TR>";
    writeCellaArticolo(riga, articolo, conTaglie);
    writeCellaColore(riga, articolo, conTaglie);

    out_ += "<TD>";
    if (conTaglie) {
        out_ += quantita ? quantitaFormat_.format(*quantita) : std::string();
    } else if (tcc) {
        out_ += " N.";
    } else {
        auto um = section.listino ? section.listino->um() : std::nullopt;
        out_ += hasText(um) ? htmlEscaped(*um) : std::string("   ");
    }
    out_ += "</TD>\n";

    out_ += "<TD align=\"right\">";
    if (conTaglie) {
        out_ += "<TABLE>\n";
        for (const auto& taglia : taglie) {
            out_ += "<TR>";
            out_ += "<TD align=\"left\">";
            out_ += esc(taglia.taglia());
            out_ += "</TD>";
            out_ += "<TD align=\"right\">";
            if (auto q = taglia.quantita()) out_ += interoFormat_.format(*q);
            out_ += "</TD>";
            out_ += "</TR>\n";
        }
        out_ += "</TABLE>";
    } else if (quantita) {
        out_ += quantitaFormat_.format(*quantita);
    }
    out_ += "</TD>\n";

    std::string prezzoText = prezzo ? prezzoFormat_.format(*prezzo) : std::string();
    if (!conPrezzi_) {
        out_ += "<TD></TD><TD></TD>\n";
    } else if (conTaglie) {
        out_ += "<TD align=\"right\">";
        writeTabellaPrezzi(riga, articolo, section, false);
        out_ += "</TD>";
        out_ += "</TD>\n";
        out_ += "<TD align=\"right\">" + prezzoText + "</TD>\n";
    } else if (tcc) {
        out_ += "<TD align=\"right\">";
        writeTabellaPrezzi(riga, articolo, section, true);
        out_ += "</TD> <TD></TD>";
    } else {
        out_ += "<TD align=\"right\">" + prezzoText + "</TD>\n";
        std::string importo;
        if (auto amount = LineAmount::of(prezzo, quantita)) importo = prezzoFormat_.format(*amount);
        out_ += "<TD align=\"right\">" + importo + "</TD>\n";
    }
    out_ += "</TR>\n";

    return LineAmount::ofLine(riga).value_or(Decimal());
}

void OrderHtmlReport::writeCellaArticolo(const SceltaRiga& riga, const std::optional<Articolo>& articolo,
                                         bool conTaglie) {
    out_ += "<TD align=\"left\">";
    std::string codice = textOf(riga.articolo());
    if (hasText(riga.serie())) {
        out_ += format("<b>%@ / %@</b><BR>", htmlEscaped(codice), esc(riga.serie()));
    } else if (!codice.empty()) {
        out_ += format("<b>%@</b>", htmlEscaped(codice));
        if (articolo) {  // an article deleted by a reload leaves its code only
            const Articolo& a = *articolo;
            if (auto v = a.descrizione1()) out_ += "<BR>" + htmlEscaped(*v);
            if (auto v = a.descrizione2()) out_ += "<BR>" + htmlEscaped(*v);
            if (textOf(a.categoriaMerceologica()) == "2") {
                if (hasText(a.titolo()))
                    out_ += format("<BR><TABLE><TD>Titolo:</TD><TD>%@</TD></TABLE>", esc(a.titolo()));
            } else {
                out_ += "<BR><TABLE>";
                if (auto v = a.minProd()) out_ += format("<TR><TD>Min.prod:</TD><TD>%@</TD></TR>", htmlEscaped(*v));
                if (auto v = a.composizione()) out_ += format("<TR><TD colspan=\"2\" >%@</TD></TR>", htmlEscaped(*v));
                auto gr = a.pesoGr(), oz = a.pesoOz();
                if (gr && oz)
                    out_ += format("<TR><TD>Gr. %@</TD><TD>Oz. %@</TD></TR>", htmlEscaped(*gr), htmlEscaped(*oz));
                else if (gr)
                    out_ += format("<TR><TD colspan=\"2\" >Gr. %@</TD></TR>", htmlEscaped(*gr));
                else if (oz)
                    out_ += format("<TR><TD colspan=\"2\" >Oz. %@</TD></TR>", htmlEscaped(*oz));
                auto cm = a.altezzaCm(), in = a.altezzaIn();
                if (cm && in)
                    out_ += format("<TR><TD>Cm. %@</TD><TD>Inch. %@</TD></TR>", htmlEscaped(*cm), htmlEscaped(*in));
                else if (cm)
                    out_ += format("<TR><TD colspan=\"2\" >Cm. %@</TD></TR>", htmlEscaped(*cm));
                else if (in)
                    out_ += format("<TR><TD colspan=\"2\" >Inch. %@</TD></TR>", htmlEscaped(*in));
                out_ += "</TABLE>";
            }
        }
        if (conTaglie && riga.nota()) out_ += "<BR>" + esc(riga.nota());
        if (conFoto_ && articolo && hasText(articolo->fotoUrl())) {
            std::string foto = *articolo->fotoUrl();
            std::string src = isAbsoluteUrl(foto) ? foto : format("%@/%@", fotoUrl_, foto);
            out_ += format("<BR><img src=\"%@\" />", htmlEscaped(src));
        }
    }
    out_ += "</TD>\n";
}

void OrderHtmlReport::writeCellaColore(const SceltaRiga& riga, const std::optional<Articolo>& articolo,
                                       bool conTaglie) {
    out_ += "<TD>";
    std::string codice = textOf(riga.colore());
    out_ += format("<b>%@</b>", htmlEscaped(codice));
    if (riga.articolo() && riga.colore()) {
        if (auto colore = db_.fetchColoreByArticolo(*riga.articolo(), codice)) {
            if (auto d = colore->descrizione(); d && *d != codice) out_ += "<BR>" + htmlEscaped(*d);
            if (auto d = colore->descrizione2()) out_ += "<BR>" + htmlEscaped(*d);
        }
    }
    auto variante = riga.varianteCommerciale();
    if (hasText(variante) && *variante != "  ") {
        auto nome = nomeGruppo(articolo, *variante);
        if (!nome) nome = nomeVariante(*variante);
        out_ += "<BR>" + htmlEscaped(nome.value_or(*variante));
    }
    if (!conTaglie && riga.nota()) out_ += "<BR>" + esc(riga.nota());
    out_ += "</TD\n>";
}

void OrderHtmlReport::writeTabellaPrezzi(const SceltaRiga& riga, const std::optional<Articolo>& articolo,
                                         const Section& section, bool perTCC) {
    if (!section.listino || !riga.articolo()) return;
    auto voce = db_.fetchArticoloListinoByArticolo(*riga.articolo(), *section.listino);
    if (!voce) return;
    auto prezzi = db_.fetchAllPrezziByArticoloListino(*voce).value_or(std::vector<Prezzo>{});
    if (prezzi.empty()) return;
    out_ += "<TABLE>";
    for (const auto& prezzo : prezzi) {
        std::string etichetta;
        if (auto codice = prezzo.maggiorazione(); hasText(codice)) {
            auto maggiorazione = db_.fetchMaggiorazioneByCodice(*codice);
            etichetta = maggiorazione && maggiorazione->descrizioneITA() ? *maggiorazione->descrizioneITA() : *codice;
        } else {
            std::string variante = textOf(prezzo.varianteCommerciale());
            std::optional<std::string> nome = perTCC ? nomeGruppo(articolo, variante) : std::nullopt;
            if (!nome) nome = nomeVariante(variante);
            etichetta = nome ? format("%@ %@", variante, *nome) : variante;
        }
        out_ += "<TR><TD>";
        out_ += htmlEscaped(etichetta);
        out_ += "</TD><TD align=\"right\">";
        out_ += stringByPaddingLeft(prezzo.valore().value_or(Decimal()).toFixed(2), 8);
        out_ += "</TD>";
        out_ += "</TR>\n";
    }
    out_ += "</TABLE>";
}

}  // namespace torvane
