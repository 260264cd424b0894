#!/usr/bin/env python3
"""Writes the demonstration company of resources/demo: the catalogue documents as the company
server and the fair PC serve them, the article photos (drawn by torvane-demo-photos when its
path is given) and the login profiles. Every name in it is invented.

    tools/demo/genera_demo.py [--foto build/tools/torvane-demo-photos]

Run it again after a change here and commit its output with it: the documents are fixed (no
random numbers, no dates of today), so an unchanged script writes the same bytes."""

import argparse
import json
import os
import subprocess
from xml.sax.saxutils import escape, quoteattr

HERE = os.path.dirname(os.path.abspath(__file__))
DEMO = os.path.normpath(os.path.join(HERE, "..", "..", "resources", "demo"))
SITE = os.path.join(DEMO, "sito")
COMPANY = "01"
AGENT = "AG01"
TIMESTAMP = "20270115090000"
LINE_ENDS = {"Mastro", "Nazione", "Agente", "Spedizioniere", "Pagamento", "BusinessUnit", "SerieAlfanumerica",
             "ColoreAlfanumerico", "Resa", "Importanza", "ClienteFornitore", "GruppoTaglie", "Articolo", "Listino",
             "Prezzi", "VarianteCommerciale", "GruppoCommerciale", "Maggiorazione", "Parametro", "Giacenza",
             "StoricoVendite", "Esposizione", "Collezione"}


class Doc:
    """One input document: elements are counted as they are written, for NumeroElement."""

    def __init__(self):
        self.parts = []
        self.count = 0

    def open(self, name, **attrs):
        self.count += 1
        self.parts.append("<%s%s>" % (name, "".join(" %s=%s" % (k, quoteattr(str(v))) for k, v in attrs.items())))

    def close(self, name):
        # A line per record keeps the documents readable and their diffs short.
        self.parts.append("</%s>%s" % (name, "\n" if name in LINE_ENDS else ""))

    def leaf(self, name, text):
        self.count += 1
        self.parts.append("<%s>%s</%s>" % (name, escape(str(text)), name))

    def empty(self, name, **attrs):
        self.count += 1
        self.parts.append("<%s%s/>" % (name, "".join(" %s=%s" % (k, quoteattr(str(v))) for k, v in attrs.items())))

    def text(self, timestamp=TIMESTAMP):
        return ('<?xml version="1.0" encoding="UTF-8"?>\n<TorvaneMobile><NumeroElement>%d</NumeroElement>\n'
                "<Azienda><Codice>%s</Codice><Timestamp>%s</Timestamp>\n%s</Azienda></TorvaneMobile>\n"
                % (self.count, COMPANY, timestamp, "".join(self.parts)))


# ---- master data -------------------------------------------------------------------------

NAZIONI = [("ITA", "Italia", "SI"), ("FRA", "Francia", "SI"), ("DEU", "Germania", "SI"),
           ("ESP", "Spagna", "SI"), ("CHE", "Svizzera", "NO")]
PAGAMENTI = [("P01", "Rimessa diretta"), ("P02", "Ri.Ba. 30 gg f.m."), ("P03", "Ri.Ba. 60 gg f.m."),
             ("P04", "Bonifico 30/60/90")]
SPEDIZIONIERI = [("S01", "Trasporti Valdorsa", "SEMPRE"), ("S02", "Corriere Celere Nord", ""),
                 ("S03", "Ritiro in sede", "SEMPRE")]
RESE = [("R01", "Franco destino"), ("R02", "Franco partenza")]
IMPORTANZE = [("1", "Cliente primario"), ("2", "Cliente abituale"), ("3", "Cliente occasionale")]
BUSINESS_UNITS = [("BU1", "Tessuti"), ("BU2", "Confezione")]

# (name, second line, street, cap, city, province, country)
CLIENTI = [
    ("Sartoria Albaverde", "di Lidia Albaverde", "Via dei Cimatori 4", "50122", "Firenze", "FI", "ITA"),
    ("Atelier Brunasca S.r.l.", "", "Corso Vittorio 118", "10121", "Torino", "TO", "ITA"),
    ("Confezioni Mirtello S.n.c.", "", "Via Lanaioli 22", "59100", "Prato", "PO", "ITA"),
    ("Boutique Corallina", "", "Piazza Erbe 7", "37121", "Verona", "VR", "ITA"),
    ("Tessuti Fioravelli S.p.A.", "Ufficio acquisti", "Viale Industria 60", "13900", "Biella", "BI", "ITA"),
    ("Moda Grisanti S.r.l.", "", "Via Manin 31", "20121", "Milano", "MI", "ITA"),
    ("Camiceria Orsolani", "", "Via Toledo 210", "80134", "Napoli", "NA", "ITA"),
    ("Maglieria Valbrenta", "", "Via Roma 15", "36061", "Bassano del Grappa", "VI", "ITA"),
    ("Drapperia Lucerni S.a.s.", "", "Via San Vitale 40", "40125", "Bologna", "BO", "ITA"),
    ("Abiti Ferraguti", "", "Via Emilia 301", "41121", "Modena", "MO", "ITA"),
    ("Stile Castelmoro S.r.l.", "", "Via del Corso 88", "00186", "Roma", "RM", "ITA"),
    ("Sartoria Pellinari", "", "Via Garibaldi 9", "16124", "Genova", "GE", "ITA"),
    ("Confezioni Tramonte", "", "Via Sparano 55", "70121", "Bari", "BA", "ITA"),
    ("Atelier Nivalba", "", "Via Etnea 140", "95131", "Catania", "CT", "ITA"),
    ("Lanerie Morsello S.r.l.", "", "Via Cavour 12", "31100", "Treviso", "TV", "ITA"),
    ("Tessitura Ombrosa", "", "Via Borgonuovo 3", "22100", "Como", "CO", "ITA"),
    ("Vesti Roncaglia", "", "Via Mazzini 77", "43121", "Parma", "PR", "ITA"),
    ("Abbigliamento Serravalle", "", "Via Nazionale 19", "56121", "Pisa", "PI", "ITA"),
    ("Maison Clairval", "", "12 rue des Tisserands", "69002", "Lyon", "", "FRA"),
    ("Couture Belrive", "", "8 place du Marché", "75003", "Paris", "", "FRA"),
    ("Stoffhaus Wendelin", "", "Webergasse 14", "80331", "München", "", "DEU"),
    ("Modehaus Lindqvist", "", "Tuchmacherstraße 5", "10115", "Berlin", "", "DEU"),
    ("Textiles Almazara", "", "Calle del Telar 21", "28013", "Madrid", "", "ESP"),
    ("Confección Marisal", "", "Carrer dels Teixidors 9", "08003", "Barcelona", "", "ESP"),
    ("Atelier Seeberg", "", "Seestrasse 40", "8002", "Zürich", "", "CHE"),
    ("Sartoria Vallescura", "", "Via Dante 26", "38122", "Trento", "TN", "ITA"),
    ("Boutique Lavandula", "", "Via Roma 101", "07100", "Sassari", "SS", "ITA"),
    ("Moda Ciliegio S.r.l.", "", "Corso Italia 45", "52100", "Arezzo", "AR", "ITA"),
    ("Camiceria Fontebella", "", "Via Indipendenza 17", "06121", "Perugia", "PG", "ITA"),
    ("Tessuti Arcobaleno Demo", "Conto prove", "Via delle Prove 1", "59100", "Prato", "PO", "ITA"),
]

LISTINI = [
    # barcode, description, type flag, surcharges
    ("L01", "Listino Collezione PE 2027", "NO", False),
    ("L02", "Listino Ingrosso (maggiorazioni per metraggio)", "NO", True),
    ("L03", "Listino Stock", "SI", False),
]

VARIANTI = [("V1", "Tinta unita", "Plain", "Uni", "Uni", "Liso"),
            ("V2", "Fantasia", "Pattern", "Fantaisie", "Gemustert", "Estampado"),
            ("V3", "Colore speciale", "Special colour", "Couleur spéciale", "Sonderfarbe", "Color especial")]
GRUPPI = {"G1": ["V1", "V2"], "G2": ["V1", "V3"]}
MAGGIORAZIONI = [("M1", "Taglio fino a 10 mt", "Cut up to 10 m", "0", "10"),
                 ("M2", "Taglio da 10 a 30 mt", "Cut 10 to 30 m", "10,01", "30")]

TAGLIE = {"TGC": ("Taglie camicia", ["S", "M", "L", "XL"]),
          "TGP": ("Taglie pantalone", ["44", "46", "48", "50", "52"]),
          "TGG": ("Taglie giacca", ["46", "48", "50", "52", "54", "56"])}

# Families of articles: code prefix, description, unit, composition, weight, height, base price,
# pattern of the photo, size group (garments) and business unit.
FAMIGLIE = [
    ("LA", "Lana cardata", "MT", "100% WO", 380, 150, 24, "spina", None, "BU1"),
    ("LP", "Lana pettinata", "MT", "98% WO 2% EA", 260, 150, 31, "righe", None, "BU1"),
    ("CO", "Cotone popeline", "MT", "100% CO", 110, 145, 9, "tinta", None, "BU1"),
    ("LI", "Lino lavato", "MT", "100% LI", 180, 140, 16, "tinta", None, "BU1"),
    ("SE", "Seta stampata", "MT", "100% SE", 70, 135, 42, "pois", None, "BU1"),
    ("JE", "Jersey viscosa", "MT", "95% CV 5% EA", 200, 160, 12, "righe", None, "BU1"),
    ("VE", "Velluto a coste", "MT", "98% CO 2% EA", 330, 145, 19, "coste", None, "BU1"),
    ("CA", "Camicia", "NR", "100% CO", 0, 0, 38, "quadri", "TGC", "BU2"),
    ("PA", "Pantalone", "NR", "97% CO 3% EA", 0, 0, 55, "tinta", "TGP", "BU2"),
    ("GI", "Giacca", "NR", "100% WO", 0, 0, 140, "spina", "TGG", "BU2"),
]
QUALITA = ["Aurora", "Borea", "Cirro", "Duna", "Eolo", "Felce", "Gelso", "Ibisco"]
COLORI = [("Blu notte", (25, 35, 80)), ("Grigio perla", (170, 170, 175)), ("Cammello", (190, 150, 100)),
          ("Verde bosco", (40, 90, 55)), ("Bordeaux", (110, 25, 40)), ("Avorio", (235, 228, 205)),
          ("Nero", (25, 25, 28)), ("Azzurro", (120, 170, 220)), ("Senape", (200, 160, 40)),
          ("Terracotta", (185, 90, 60)), ("Rosa antico", (205, 150, 150)), ("Antracite", (60, 62, 66))]


def articoli():
    """About sixty articles: six qualities of each fabric family, six of each garment."""
    out = []
    n = 0
    for fam in FAMIGLIE:
        prefix, desc, um, comp, peso, alt, prezzo, motivo, taglie, bu = fam
        for q in range(6):
            n += 1
            codice = "%s%d" % (prefix, 101 + q)
            colori = [(i + q) % len(COLORI) for i in range(4 + (q % 3) if taglie is None else 3)]
            out.append(dict(n=n, codice=codice, barcode="%06d" % (100000 + n),
                            descr="%s %s" % (desc, QUALITA[q]), descr2="%s %s" % (comp, QUALITA[q]),
                            um=um, comp=comp, peso=peso, alt=alt, prezzo=prezzo + q * 2, motivo=motivo,
                            taglie=taglie, bu=bu, colori=colori,
                            gruppo="G1" if q % 2 == 0 else "G2", fuori="SI" if q == 5 and taglie is None else "NO"))
    return out


def colori_di(art):
    """The colours of an article: code, barcode, description, variant. Garments carry one colour
    per size ("10/S"): the part before "/" is the colour of the size grid."""
    out = []
    k = 0
    for i, c in enumerate(art["colori"]):
        nome = COLORI[c][0]
        variante = "V1" if i < 2 else ("V2" if art["gruppo"] == "G1" else "V3")
        if art["taglie"]:
            for taglia in TAGLIE[art["taglie"]][1]:
                k += 1
                out.append(("%d/%s" % (10 * (i + 1), taglia), "%05d" % (10000 + art["n"] * 100 + k),
                            "%s %s" % (nome, taglia), variante))
        else:
            k += 1
            out.append(("%03d" % (c + 1), "%05d" % (10000 + art["n"] * 100 + k), nome, variante))
    return out


def euro(value):
    return ("%.2f" % value).replace(".", ",")


def code_table(d, section, element, rows, fields, key="Codice"):
    """One element per row: the row's first value as its key attribute, the rest as children."""
    d.open(section)
    for first, *rest in rows:
        d.open(element, **{key: first})
        for field, value in zip(fields, rest):
            d.leaf(field, value)
        d.close(element)
    d.close(section)


def master_data(d):
    code_table(d, "Mastri", "Mastro", [("C1", "Clienti Italia"), ("C2", "Clienti Estero")], ["Descrizione"])
    code_table(d, "Nazioni", "Nazione", NAZIONI, ["Descrizione", "Cee"])
    code_table(d, "Agenti", "Agente", [(AGENT, "Agente Demo Nord"), ("AG02", "Agente Demo Sud")], ["RagioneSociale"])
    code_table(d, "Spedizionieri", "Spedizioniere", SPEDIZIONIERI, ["RagioneSociale", "Abilitazione"])
    code_table(d, "Pagamenti", "Pagamento", [(codice, descr, "SEMPRE") for codice, descr in PAGAMENTI],
               ["Descrizione", "Abilitazione"])
    code_table(d, "BusinessUnits", "BusinessUnit", BUSINESS_UNITS, ["Descrizione"])
    code_table(d, "SerieAlfanumeriche", "SerieAlfanumerica",
               [("%d" % (800001 + i), serie) for i, serie in enumerate(["A12", "B07", "C33"])], ["Serie"],
               key="BarCode")
    code_table(d, "ColoriAlfanumerici", "ColoreAlfanumerico",
               [("%d" % (900001 + i), colore) for i, colore in enumerate(["BLU", "GRI", "CAM"])], ["Colore"],
               key="BarCode")
    code_table(d, "Rese", "Resa", RESE, ["Descrizione"])
    code_table(d, "Importanze", "Importanza", IMPORTANZE, ["Descrizione"])

    d.open("ClientiFornitori")
    for i, (nome, nome2, via, cap, citta, prov, naz) in enumerate(CLIENTI, start=1):
        codice = cliente_codice(i, naz)
        d.open("ClienteFornitore", BarCode="%011d" % (20000000000 + i))
        d.leaf("Codice", codice)
        d.leaf("Status", "A")
        d.leaf("RagioneSociale1", nome)
        if nome2:
            d.leaf("RagioneSociale2", nome2)
        d.leaf("Indirizzo1", via)
        d.leaf("Cap", cap)
        d.leaf("Citta", citta)
        if prov:
            d.leaf("Provincia", prov)
        d.leaf("NazioneIsoA3", naz)
        if naz == "ITA":
            d.leaf("PartitaIvaItalia", "%011d" % (1234500000 + i * 7919))
            d.leaf("Lingua", "ITA")
        else:
            d.leaf("PartitaIvaCeeNumero", "%s%09d" % (naz[:2], 100000000 + i * 4513))
            d.leaf("Lingua", "ING")
        d.leaf("Email", "acquisti@cliente%02d.example" % i)
        d.leaf("Telefono", "+39 0574 %06d" % (410000 + i * 37))
        d.leaf("Area", "N" if i % 3 else "S")
        d.leaf("Divisa", "EUR")
        d.leaf("Um", "MT")
        d.open("Agenti")
        d.empty("Agente", Codice=AGENT, Area="N", BusinessUnit="BU1")
        if i % 4 == 0:
            d.empty("Agente", Codice=AGENT, Area="N", BusinessUnit="BU2")
        if i % 5 == 0:
            d.empty("Agente", Codice="AG02", Area="S", BusinessUnit="BU1")
        d.close("Agenti")
        d.leaf("Spedizioniere", SPEDIZIONIERI[i % 3][0])
        d.leaf("Pagamento", PAGAMENTI[i % 4][0])
        d.leaf("Fido", "%d" % (5000 + (i % 6) * 2500))
        if i % 7 == 0:
            d.leaf("Note", "Consegne solo al mattino; telefonare prima.")
        d.leaf("Listino", "L02" if i % 6 == 0 else "L01")
        d.leaf("Importanza", IMPORTANZE[i % 3][0])
        d.open("Destinazioni")
        for k in range(2 if i % 5 == 0 else 1):
            d.open("Destinazione", Codice="D%d" % (k + 1))
            d.leaf("RagioneSociale1", nome if k == 0 else "%s - Magazzino" % nome)
            d.leaf("Indirizzo1", via if k == 0 else "Via del Magazzino %d" % (i + 2))
            d.leaf("Cap", cap)
            d.leaf("Citta", citta)
            if prov:
                d.leaf("Provincia", prov)
            d.leaf("Nazione", naz)
            d.leaf("Telefono", "+39 0574 %06d" % (420000 + i * 41 + k))
            d.leaf("Abituale", "SI" if k == 0 else "NO")
            d.open("AttributiAggiuntivi")
            d.open("Attributo", Codice="DES-1"); d.parts.append(["Mattina", "Pomeriggio", "Indifferente"][(i + k) % 3])
            d.close("Attributo")
            d.open("Attributo", Codice="DES-2"); d.parts.append("Sig.ra Demo %02d" % i); d.close("Attributo")
            d.close("AttributiAggiuntivi")
            d.leaf("BusinessUnit", "BU1")
            d.close("Destinazione")
        d.close("Destinazioni")
        d.close("ClienteFornitore")
    d.close("ClientiFornitori")


def cliente_codice(i, naz):
    return "%s%04d" % ("C1" if naz == "ITA" else "C2", i)


# ---- catalogue ---------------------------------------------------------------------------

def catalogue(d, arts):
    d.open("Taglie")
    for codice, (descr, taglie) in TAGLIE.items():
        d.open("GruppoTaglie", Codice=codice)
        d.leaf("Codice", codice)
        d.leaf("Descrizione", descr)
        d.open("TaglieDelGruppo")
        for seq, t in enumerate(taglie, start=1):
            d.empty("Taglia", Codice=t, Descrizione="Taglia %s" % t, Sequenza=seq)
        d.close("TaglieDelGruppo")
        d.close("GruppoTaglie")
    d.close("Taglie")

    d.open("Articoli")
    for a in arts:
        d.open("Articolo", BarCode=a["barcode"])
        d.leaf("Codice", a["codice"])
        d.leaf("Descrizione1", a["descr"])
        d.leaf("Descrizione2", a["descr2"])
        d.leaf("Um", a["um"])
        d.leaf("CategoriaMerceologica", "CONFEZIONE" if a["taglie"] else "TESSUTI")
        d.leaf("BusinessUnit", a["bu"])
        if a["peso"]:
            d.leaf("PesoGr", a["peso"])
            d.leaf("PesoOz", "%.1f" % (a["peso"] / 33.9))
            d.leaf("AltezzaCm", a["alt"])
            d.leaf("AltezzaIn", "%d" % round(a["alt"] / 2.54))
            d.leaf("MinProd", "300")
        d.leaf("Composizione", a["comp"])
        d.leaf("FotoUrl", "foto/%s-SMALL.jpeg" % a["codice"])
        d.leaf("FotoUrlZoom", "foto/%s.jpeg" % a["codice"])
        d.leaf("GruppoCommerciale", a["gruppo"])
        d.leaf("FuoriListino", a["fuori"])
        d.open("Colori")
        for codice, barcode, descr, variante in colori_di(a):
            d.empty("Colore", BarCode=barcode, Codice=codice, Descrizione=descr, VarComm=variante)
        d.close("Colori")
        d.close("Articolo")
    d.close("Articoli")

    d.open("Listini")
    for barcode, descr, stock, maggiorazioni in LISTINI:
        d.open("Listino", BarCode=barcode)
        d.leaf("Descrizione", descr)
        d.leaf("Collezione", "PE27")
        d.leaf("Divisa", "EUR")
        d.leaf("Um", "MT")
        d.leaf("FlagStock", stock)
        d.open("Agenti"); d.empty("Agente", Codice=AGENT); d.close("Agenti")
        d.open("Prezzi")
        for a in arts:
            if barcode == "L03" and a["n"] % 3:
                continue  # the stock list prices a third of the catalogue
            base = a["prezzo"] * (0.9 if barcode == "L02" else 0.6 if barcode == "L03" else 1.0)
            varianti = sorted({v for _, _, _, v in colori_di(a)})
            for v in varianti:
                valore = base + (0 if v == "V1" else 2 if v == "V2" else 4)
                attrs = dict(Articolo=a["codice"], VarComm=v, Valore=euro(valore))
                if a["taglie"]:
                    attrs["Taglie"] = a["taglie"]
                d.empty("Prezzo", **attrs)
                if maggiorazioni and a["um"] == "MT":
                    for codice, _, _, _, _ in MAGGIORAZIONI:
                        extra = 3.0 if codice == "M1" else 1.5
                        d.empty("Prezzo", Articolo=a["codice"], VarComm=v, Valore=euro(valore + extra),
                                Magg=codice, ValMagg=euro(extra))
        d.close("Prezzi")
        d.close("Listino")
    d.close("Listini")

    d.open("VariantiCommerciali")
    for codice, ita, ing, fra, ted, spa in VARIANTI:
        d.open("VarianteCommerciale", Codice=codice)
        d.leaf("Descrizione", ita); d.leaf("DescrizioneIng", ing); d.leaf("DescrizioneFra", fra)
        d.leaf("DescrizioneTed", ted); d.leaf("DescrizioneSpa", spa)
        d.close("VarianteCommerciale")
    d.close("VariantiCommerciali")
    d.open("GruppiCommerciali")
    nomi = dict((v[0], v[1]) for v in VARIANTI)
    for codice, varianti in GRUPPI.items():
        d.open("GruppoCommerciale", Codice=codice)
        for v in varianti:
            d.open("Variante", Codice=v)
            d.leaf("Descrizione", "Cartella %s - %s" % (codice, nomi[v]))
            d.close("Variante")
        d.close("GruppoCommerciale")
    d.close("GruppiCommerciali")
    d.open("Maggiorazioni")
    for codice, ita, ing, da, a in MAGGIORAZIONI:
        d.open("Maggiorazione", Codice=codice)
        d.leaf("Descrizione", ita); d.leaf("DescrizioneIng", ing)
        d.empty("Range", From=da, To=a)
        d.close("Maggiorazione")
    d.close("Maggiorazioni")


# ---- parameters, stock, statistics, exposure ---------------------------------------------

PARAMETRI = [
    # Extra data of a destination: the delivery time is a choice, the contact free text.
    ("DES-1", "Orario consegna", "Mattina;Pomeriggio;Indifferente"),
    ("DES-2", "Referente consegna", ""),
    ("ATT-1", "Codice destinatario SDI", ""),
    ("ATT-2", "PEC", ""),
    # Satisfied by every delivered client (all have an e-mail) or by a destination's contact.
    ("OBB-DES-2", "Indicare il referente della consegna o l'e-mail del cliente", "ClienteInfo.DES-2;Cliente.email"),
    ("OBB-NOTE", "Note obbligatorie", "SI"),
    ("OBB-NAZIONE", "Nazione obbligatoria", "SI"),
    ("OBB-CODICEFISCALE", "Codice fiscale o partita IVA obbligatori", "SI"),
    ("NEC-DATIFISCALI", "Il nuovo cliente deve avere partita IVA o codice fiscale",
     "Cliente.partitaIva;Cliente.codiceFiscale;Cliente.partitaIvaCee"),
    ("SWI-FIRMAENABLED", "Firma del cliente", "SI"),
    ("SWI-NOTEENABLED", "Note nel riepilogo", "SI"),
    ("SET-NOTE", "Titolo delle note", "Note ordine"),
    ("SWI-INFOCOMMENABLED", "Dati della destinazione", "SI"),
    ("SWI-NEGOZIOEQDESTENABLED", "Destinazione obbligatoria", "SI"),
    ("SWI-PRIORITAENABLED", "Priorita'", "SI"),
    ("SWI-IMPORTANZAENABLED", "Importanza cliente", "SI"),
    ("SWI-ESPOSIZIONEENABLED", "Esposizione nella lista clienti", "SI"),
    ("SWI-DESCARTICOLOENABLED", "Descrizione articolo", "SI"),
    ("SWI-DESCCOLOREENABLED", "Descrizione colore", "SI"),
    ("SWI-INVIOMAILENABLED", "Invio ordine per e-mail", "SI"),
    ("SWI-REPORTPDFENABLED", "Allegato PDF", "SI"),
    ("SWI-REPORTHTMLENABLED", "Allegato HTML", "SI"),
    ("SWI-REPORTTXTENABLED", "Allegato testo", "SI"),
    ("SET-EMAILXML", "Copia ordini", "ordini@lanificio-valdorsa.example"),
    ("SET-MANIFESTAZIONE", "Manifestazione", "Fiera Tessile Demo 2027"),
]


def parameters_and_stock(d, arts):
    d.open("Parametri")
    for attributo, descr, valore in PARAMETRI:
        d.open("Parametro", Attributo=attributo)
        d.leaf("Valore", valore)
        d.leaf("Descrizione", descr)
        d.close("Parametro")
    d.close("Parametri")
    d.open("Giacenze")
    for a in arts:
        if a["taglie"] or a["n"] % 2:
            continue  # stock lots of the fabrics, every second article
        for k, (codice, _, _, variante) in enumerate(colori_di(a)[:2]):
            d.open("Giacenza", Art=a["codice"], Col=codice, VC=variante)
            for p in range(1 + (a["n"] + k) % 3):
                metri = 8 + ((a["n"] * 7 + k * 13 + p * 5) % 60) + 0.5 * (p % 2)
                d.empty("Tipo", Descr="Pezza %s-%d" % (codice, p + 1), Um="MT", Qta="%.1f" % metri, Pz="1",
                        Pta="P%04d%d" % (a["n"], p), Lav="Finissaggio %s" % ["morbido", "lucido", "naturale"][p % 3])
            d.close("Giacenza")
    d.close("Giacenze")


def statistics_and_exposure(d, arts):
    d.open("Statistiche")
    for i, (_, _, _, _, _, _, naz) in enumerate(CLIENTI, start=1):
        if i % 3 == 0:
            continue  # two clients in three have a history
        d.open("StoricoVendite", Codice=cliente_codice(i, naz))
        d.leaf("Divisa", "EUR")
        for anno, val in [("2025", 12000 + i * 830), ("2026", 9000 + i * 1170)]:
            d.empty("Periodo", Codice=anno, Val="%d.00" % val)
        for coll in ["AI25", "PE26"]:
            d.open("Collezione", Codice=coll)
            d.leaf("Um", "MT")
            d.open("Articoli")
            for a in arts[(i * 3) % 40:(i * 3) % 40 + 4]:
                d.open("Articolo", Codice=a["codice"])
                d.open("Business", Codice="Campionario")
                d.empty("Tipo", Codice="Met.", Qta="%d" % (5 + i % 9), Pz="0", Val="%d" % ((5 + i % 9) * a["prezzo"]))
                d.empty("Tipo", Codice="T+CC", Qta="1", Pz="0", Val="0")
                d.close("Business")
                if (a["n"] + i) % 2:
                    d.open("Business", Codice="Produzione")
                    q = 60 + (a["n"] * i) % 240
                    d.empty("Tipo", Codice="Q.ta", Qta="%d" % q, Pz="%d" % (1 + q // 50), Val="%d" % (q * a["prezzo"]))
                    d.close("Business")
                d.close("Articolo")
            d.close("Articoli")
            d.close("Collezione")
        d.close("StoricoVendite")
    d.close("Statistiche")
    d.open("Esposizioni")
    for i, (_, _, _, _, _, _, naz) in enumerate(CLIENTI, start=1):
        d.open("Esposizione", Codice=cliente_codice(i, naz))
        d.leaf("FlagScaduto", "SI" if i % 8 == 0 else "NO")
        d.leaf("FlagOrdini", "SI" if i % 3 else "NO")
        d.leaf("FlagFuoriFido", "SI" if i % 11 == 0 else "NO")
        d.empty("Tipo", Des="Saldo contabile", Div="EUR", Val=euro(1500 + i * 321.4), Attr="SALDO")
        d.empty("Tipo", Des="Ordini in corso", Div="EUR", Val=euro(800 + i * 97.5), Attr="ORDINI")
        if i % 8 == 0:
            d.empty("Tipo", Des="Scaduto", Div="EUR", Val=euro(250 + i * 10), Attr="SCADUTO")
        d.close("Esposizione")
    d.close("Esposizioni")


# ---- output ------------------------------------------------------------------------------

def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--foto", help="the torvane-demo-photos program: draws the article photos")
    args = parser.parse_args()
    arts = articoli()

    steps = [lambda d: master_data(d), lambda d: catalogue(d, arts), lambda d: parameters_and_stock(d, arts),
             lambda d: statistics_and_exposure(d, arts)]
    whole = Doc()
    for n, step in enumerate(steps, start=1):
        one = Doc()
        step(one)
        step(whole)
        write(os.path.join(SITE, "%s.LEV%d.xml" % (COMPANY, n)), one.text())
    write(os.path.join(SITE, "%s.L1.xml" % COMPANY), whole.text())
    write(os.path.join(SITE, "fiere.xml"), whole.text())

    profili = {"utenti": [{"user": "demo", "password": "torvane",
                           "aziende": [{"codice": COMPANY, "registeredAddress": "http://127.0.0.1:8080/",
                                        "userLegacyCode": [AGENT]}]}]}
    write(os.path.join(DEMO, "profili.json"), json.dumps(profili, indent=2) + "\n")

    if args.foto:
        righe = []
        for a in arts:
            r, g, b = COLORI[a["colori"][0]][1]
            r2, g2, b2 = COLORI[a["colori"][1]][1]
            righe.append("%s|%s|%d,%d,%d|%d,%d,%d|%s" % (a["codice"], a["motivo"], r, g, b, r2, g2, b2, a["descr"]))
        os.makedirs(os.path.join(SITE, "foto"), exist_ok=True)
        subprocess.run([args.foto, os.path.join(SITE, "foto")], input="\n".join(righe) + "\n", text=True, check=True)
    print("%d articoli, %d clienti, %d elementi" % (len(arts), len(CLIENTI), whole.count))


if __name__ == "__main__":
    main()
