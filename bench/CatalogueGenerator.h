#pragma once

// Catalogue documents of a chosen size for the load benchmark: clients with an agent and a
// destination, articles with ten colours, price lists, stock, in the order a server writes them.
#include <cstdio>
#include <string>
#include <string_view>

namespace torvane::bench {

struct CatalogueSize {
    const char* name;
    int clients;
    int articles;
    int coloursPerArticle;
    int lists;
    int pricesPerList;
    int stock;
};

inline const CatalogueSize* catalogueSize(std::string_view name) {
    static const CatalogueSize sizes[] = {
        {"small", 1000, 500, 10, 2, 500, 2000},
        {"medium", 10000, 5000, 10, 5, 5000, 20000},
        {"large", 50000, 20000, 10, 10, 20000, 100000},
    };
    for (const auto& size : sizes)
        if (name == size.name) return &size;
    return nullptr;
}

class CatalogueGenerator {
public:
    static std::string generate(const CatalogueSize& size, const std::string& timestamp = "20260101000000") {
        CatalogueGenerator g;
        g.body_.reserve(static_cast<std::size_t>(size.clients) * 900 + static_cast<std::size_t>(size.articles) * 1300 +
                        static_cast<std::size_t>(size.lists * size.pricesPerList) * 80 +
                        static_cast<std::size_t>(size.stock) * 140);
        g.codeTables();
        g.clients(size.clients);
        g.articles(size.articles, size.coloursPerArticle);
        g.lists(size.lists, size.pricesPerList, size.articles);
        g.stock(size.stock, size.articles, size.coloursPerArticle);
        std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TorvaneMobile><NumeroElement>" +
                           std::to_string(g.elements_) + "</NumeroElement>\n<Azienda><Codice>01</Codice><Timestamp>" +
                           timestamp + "</Timestamp>\n";
        return head + g.body_ + "</Azienda></TorvaneMobile>\n";
    }

private:
    void open(const char* name) {
        body_ += '<';
        body_ += name;
        body_ += '>';
        ++elements_;
    }
    void close(const char* name) {
        body_ += "</";
        body_ += name;
        body_ += '>';
    }
    void leaf(const char* name, const std::string& text) {
        open(name);
        body_ += text;
        close(name);
    }
    // An element with attributes and no children: `attributes` is the text inside the tag.
    void empty(const char* name, const std::string& attributes) {
        body_ += '<';
        body_ += name;
        body_ += ' ';
        body_ += attributes;
        body_ += "/>";
        ++elements_;
    }
    static std::string number(int n, int width) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%0*d", width, n);
        return buffer;
    }

    void codeTables() {
        open("Mastri");
        for (int i = 0; i < 10; ++i) {
            body_ += "<Mastro Codice=\"C" + std::to_string(i) + "\">";
            ++elements_;
            leaf("Descrizione", "Clienti " + std::to_string(i));
            close("Mastro");
        }
        close("Mastri");
        open("Agenti");
        for (int i = 1; i <= 20; ++i) {
            body_ += "<Agente Codice=\"AG" + number(i, 2) + "\">";
            ++elements_;
            leaf("RagioneSociale", "Agente " + std::to_string(i));
            close("Agente");
        }
        close("Agenti");
        body_ += '\n';
    }

    void clients(int n) {
        open("ClientiFornitori");
        for (int i = 1; i <= n; ++i) {
            std::string code = number(i, 6);
            body_ += "<ClienteFornitore BarCode=\"CB" + code + "\">";
            ++elements_;
            leaf("Codice", "C" + std::to_string(i % 10) + code);
            leaf("Status", "A");
            leaf("RagioneSociale1", "Tessitura Cliente " + code + " S.r.l.");
            leaf("RagioneSociale2", "Reparto acquisti tessuti");
            leaf("Indirizzo1", "Via dei Tessitori " + std::to_string(i % 200 + 1));
            leaf("Cap", "59100");
            leaf("Citta", "Prato");
            leaf("Provincia", "PO");
            leaf("NazioneIsoA3", "ITA");
            leaf("PartitaIvaItalia", "0" + number(i, 10));
            leaf("Email", "cliente" + code + "@example.it");
            leaf("Telefono", "0574 " + number(i, 6));
            leaf("Area", "N");
            leaf("Divisa", "EUR");
            leaf("Um", "MT");
            leaf("Pagamento", "P01");
            leaf("Listino", "L01");
            open("Agenti");
            empty("Agente", "Codice=\"AG" + number(i % 20 + 1, 2) + "\" Area=\"N\" BusinessUnit=\"BU1\"");
            close("Agenti");
            open("Destinazioni");
            body_ += "<Destinazione Codice=\"D1\">";
            ++elements_;
            leaf("RagioneSociale1", "Magazzino " + code);
            leaf("Indirizzo1", "Via del Lanificio " + std::to_string(i % 90 + 1));
            leaf("Citta", "Prato");
            leaf("Abituale", "SI");
            close("Destinazione");
            close("Destinazioni");
            close("ClienteFornitore");
            body_ += '\n';
        }
        close("ClientiFornitori");
        body_ += '\n';
    }

    void articles(int n, int colours) {
        open("Articoli");
        for (int i = 1; i <= n; ++i) {
            std::string code = "ART" + number(i, 6);
            body_ += "<Articolo BarCode=\"80" + number(i, 8) + "\">";
            ++elements_;
            leaf("Codice", code);
            leaf("Descrizione1", "Tessuto lana e seta " + code);
            leaf("Descrizione2", "Wool and silk fabric");
            leaf("Um", "MT");
            leaf("CategoriaMerceologica", "TESSUTI");
            leaf("BusinessUnit", "BU1");
            leaf("PesoGr", "320");
            leaf("AltezzaCm", "150");
            leaf("Composizione", "80% WO 20% SE");
            leaf("FotoUrl", "foto/" + code + ".jpg");
            leaf("FuoriListino", "NO");
            open("Colori");
            for (int c = 1; c <= colours; ++c) {
                std::string colour = number(c, 3);
                empty("Colore", "BarCode=\"" + code + colour + "\" Codice=\"" + colour + "\" Descrizione=\"Colore " +
                                    colour + "\" VarComm=\"--\"");
            }
            close("Colori");
            close("Articolo");
            body_ += '\n';
        }
        close("Articoli");
        body_ += '\n';
    }

    void lists(int n, int prices, int articles) {
        open("Listini");
        for (int l = 1; l <= n; ++l) {
            body_ += "<Listino BarCode=\"L" + number(l, 2) + "\">";
            ++elements_;
            leaf("Descrizione", "Listino " + std::to_string(l));
            leaf("Divisa", "EUR");
            leaf("Um", "MT");
            open("Agenti");
            empty("Agente", "Codice=\"AG01\"");
            close("Agenti");
            open("Prezzi");
            for (int p = 0; p < prices; ++p) {
                int article = (p * 7 + l) % articles + 1;
                empty("Prezzo", "Articolo=\"ART" + number(article, 6) + "\" VarComm=\"V" + std::to_string(p / articles) +
                                    "\" Valore=\"" + std::to_string(10 + p % 90) + "," + number(p % 100, 2) + "\"");
                if (p % 50 == 49) body_ += '\n';
            }
            close("Prezzi");
            close("Listino");
            body_ += '\n';
        }
        close("Listini");
        body_ += '\n';
    }

    void stock(int n, int articles, int colours) {
        open("Giacenze");
        for (int s = 0; s < n; ++s) {
            int article = s % articles + 1;
            int colour = (s / articles) % colours + 1;
            body_ += "<Giacenza Art=\"ART" + number(article, 6) + "\" Col=\"" + number(colour, 3) + "\" VC=\"--\">";
            ++elements_;
            empty("Tipo", "Descr=\"Pezza " + std::to_string(s) + "\" Um=\"MT\" Qta=\"" + std::to_string(s % 300) +
                              ".5\" Pz=\"1\" Pta=\"P" + number(s % 1000, 4) + "\"");
            close("Giacenza");
            body_ += '\n';
        }
        close("Giacenze");
        body_ += '\n';
    }

    std::string body_;
    long long elements_ = 0;
};

}  // namespace torvane::bench
