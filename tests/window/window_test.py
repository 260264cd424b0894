#!/usr/bin/env python3
"""The window in a person's hands: torvane on its own X display, driven by real input events,
checked on pictures of the screen. Usage: window_test.py BUILD_FOLDER SOURCE_FOLDER.
Exits 77 (skipped) when a tool is missing."""

import os
import re
import subprocess
import sys
import unittest

from desk import Desk, missing_tools

BUILD, SOURCE = (os.path.abspath(p) for p in sys.argv[1:3])
SKIPPED = 77


class WindowTest(unittest.TestCase):
    desk = None

    @classmethod
    def setUpClass(cls):
        cls.desk = Desk(BUILD, SOURCE)
        cls.desk.torvane()

    @classmethod
    def tearDownClass(cls):
        if cls.desk:
            cls.desk.close()

    def shot_text(self, name, crop=None):
        return "\n".join(self.desk.text(self.desk.shot(name, crop)))

    def wait_for_text(self, snippet, name, seconds=60):
        """The screen's text once it shows `snippet` (the sanitizer build is slow to answer)."""
        text = ""
        for _ in range(seconds):
            text = self.shot_text(name)
            if snippet in text.replace(" ", ""):
                return text
            self.desk.settle(1.0)
        self.fail("'%s' non compare: %s" % (snippet, text))

    def names_shown(self, name):
        """The client names in the list as OCR reads them, top to bottom (the name column)."""
        self.desk.park_mouse()
        self.desk.settle()
        return self.desk.text(self.desk.shot(name, NAMES))

    def assert_drawn_as_a_fresh_paint(self, name):
        """The list as it stands after the input is what a full repaint at the same offset
        draws: no row left over from another offset."""
        self.desk.park_mouse()
        self.desk.settle()
        before = self.desk.shot(name, LIST)
        self.desk.resize(WIDTH + 1, HEIGHT)
        self.desk.resize(WIDTH, HEIGHT)
        self.desk.park_mouse()
        self.desk.settle()
        self.assertTrue(self.desk.same_pixels(before, self.desk.shot(name + "-fresh", LIST)),
                        "la lista dopo l'input non e' quella ridisegnata da capo: " + before)

    def open_client_list(self):
        self.desk.click_word("SCELTA", TAB_BAR)
        self.desk.click_word("Cliente")
        self.desk.settle(1.0)

    def test_1_login_typed_and_catalogue_loaded_in_a_data_folder_of_its_own(self):
        desk = self.desk
        self.wait_for_text("ImpostaUser/Password", "login")
        desk.type("demo")
        desk.key("Tab")
        desk.type("torvane")
        desk.key("Return")
        self.wait_for_text("Autorizzazioneconcessa", "autorizzazione")
        desk.key("Return")
        desk.click_word("IMPOSTAZIONI", TAB_BAR)
        desk.click_word("TOTALE")
        self.wait_for_text("Clienti:30", "caricamento")
        desk.key("Return")
        # The login and the catalogue went into the folder given with --data-dir.
        self.assertIn("Cliente 30", desk.cli(["store"]).stdout.replace(":", ""))

    def test_2_client_list_scrolled_by_wheel_scroll_bar_and_drag(self):
        desk = self.desk
        self.open_client_list()
        top = self.names_shown("clienti-inizio")
        self.assertEqual(top[0], "Abbigliamento Serravalle")
        desk.wheel(*IN_LIST, 5)
        self.assert_drawn_as_a_fresh_paint("clienti-rotella")
        foot = self.names_shown("clienti-fondo")
        self.assertEqual(foot[-1], "Vesti Roncaglia")
        self.assertNotEqual(foot[0], top[0], "la rotella non ha spostato la lista")
        # Every client once, in order, across the two screenfuls.
        seen = list(dict.fromkeys(top + foot))
        self.assertEqual(len(seen), 30, seen)
        self.assertEqual(len(foot), len(set(foot)), foot)
        self.assertEqual(seen, sorted(seen, key=lambda n: n.lower().replace("ó", "o")), seen)
        # The scroll bar's thumb dragged to the top, a storm of 200 wheel steps, a flick of the rows.
        desk.drag(THUMB_AT_FOOT, SCROLL_BAR_TOP)
        self.assertEqual(self.names_shown("clienti-barra")[0], "Abbigliamento Serravalle")
        desk.wheel(*IN_LIST, 200, pause=0.005)
        self.assert_drawn_as_a_fresh_paint("clienti-tempesta")
        self.assertEqual(self.names_shown("clienti-tempesta-nomi")[-1], "Vesti Roncaglia")
        desk.wheel(*IN_LIST, -200, pause=0.005)
        desk.drag((IN_LIST[0], LIST[1] + LIST[3] - 60), (IN_LIST[0], LIST[1] + 60), steps=6)
        desk.settle(1.5)
        self.assertNotEqual(self.names_shown("clienti-trascinata")[0], "Abbigliamento Serravalle")
        self.assert_drawn_as_a_fresh_paint("clienti-trascinata-lista")

    def test_3_search_typed_at_a_persons_speed_then_a_click_chooses(self):
        desk = self.desk
        desk.click(*SEARCH)
        desk.type("albaverde", delay_ms=150)
        self.assertEqual(self.names_shown("ricerca"), ["Sartoria Albaverde"])
        # A keystroke that reloads the list and, at once, a click on its row.
        desk.xdotool(["mousemove", "--sync", str(IN_LIST[0]), str(LIST[1] + 10), "key", "BackSpace", "click", "1"])
        desk.settle(1.0)
        self.assertIn("Sartoria Albaverde", self.shot_text("scelta-cliente", (0, 0, WIDTH, 120)))

    def test_3a_a_wedge_scan_is_a_scan_with_capital_letters_too(self):
        desk = self.desk
        desk.park_mouse()
        # A scanner in keyboard mode: 5 ms a key, Enter at once; capitals come with Shift pressed.
        desk.scan("100001")
        self.assertIn("LA101", self.shot_text("scansione-articolo", ARTICLE_FIELD))
        desk.scan("CANCARTICOLO")
        self.assertNotIn("LA101", self.shot_text("scansione-cancella", ARTICLE_FIELD))

    def test_4_escape_closes_an_alert_and_leaves_a_pushed_screen(self):
        desk = self.desk
        # Typing a colour with no article asks for an article first.
        desk.click(*COLOUR_FIELD)
        desk.type("10101", delay_ms=150)
        desk.settle(1.0)
        self.assertIn("Ora devi impostare", self.shot_text("avviso"))
        desk.key("Escape")
        desk.key("Escape")  # a second press has nothing left to close
        self.assertNotIn("Ora devi impostare", self.shot_text("avviso-chiuso"))
        self.open_client_list()
        self.assertIn("Clienti", self.shot_text("lista-aperta", (0, 0, WIDTH, 40)))
        desk.key("Escape")
        self.assertIn("SCELTA", self.shot_text("lista-lasciata", (0, 0, WIDTH, 40)))

    def test_4a_tab_follows_the_form_and_a_resize_loses_no_typed_text(self):
        desk = self.desk
        self.open_client_list()
        desk.click(*NEW_CLIENT)
        desk.click(*NAME_FIELD)
        desk.type("Prova", delay_ms=60)
        desk.key("Tab")  # over the rows of buttons to the address
        desk.type("Via Uno", delay_ms=60)
        desk.key("Tab")
        desk.type("Roma", delay_ms=60)
        desk.resize(WIDTH - 100, HEIGHT - 100)  # while the town is being typed
        desk.resize(WIDTH, HEIGHT)
        desk.type(" Nord", delay_ms=60)
        desk.key("shift+Tab")
        desk.type(" 2", delay_ms=60)
        desk.park_mouse()
        picture = desk.shot("tab-modulo")
        fields = []
        for n, field in enumerate(FORM_FIELDS):
            subprocess.run(["convert", picture, "-crop", "%dx%d+%d+%d" % (field[2], field[3], field[0], field[1]),
                            "+repage", picture[:-4] + "-%d.png" % n], check=True, timeout=60)
            # The focused field's text cursor reads as a "|".
            fields.append(" ".join(desk.text(picture[:-4] + "-%d.png" % n, one_line=True)).rstrip("|").strip())
        self.assertEqual(fields, ["Prova", "Via Uno 2", "Roma Nord"])
        desk.key("Escape")
        desk.key("Escape")  # twice: the form, then the list
        self.assertIn("SCELTA", self.shot_text("tab-lasciato", (0, 0, WIDTH, 40)))

    def test_5_every_row_readable_at_800_by_600_and_1920_by_1080(self):
        desk = self.desk
        self.open_client_list()
        for width, height in ((800, 600), (1920, 1040)):
            desk.resize(width, height)
            desk.park_mouse()
            rows = desk.text(desk.shot("misura-%d" % width, (0, LIST[1], width - 30, height - LIST[1] - 40)))
            self.assertIn("Abbigliamento Serravalle", rows[0])
            self.assertIn("Abiti Ferraguti", rows[1])
            self.assertGreaterEqual(len(rows), min(30, (height - 140) // 26), rows)
        desk.resize(WIDTH, HEIGHT)
        desk.key("Escape")

    def test_6_command_line_refuses_an_unknown_option_with_the_usage(self):
        result = subprocess.run([os.path.join(BUILD, "gui", "torvane"), "--bogus"], capture_output=True, text=True,
                                env=self.desk.env, timeout=60)
        self.assertEqual(result.returncode, 2)
        self.assertIn("opzione sconosciuta: --bogus", result.stderr)
        self.assertIn("--data-dir CARTELLA", result.stderr)

    def test_7_article_rows_with_buttons_and_thumbnails_scroll_whole(self):
        desk = self.desk
        desk.click(*ARTICLE_ROW)  # the price list's articles, rows with a button and a thumbnail
        desk.settle(3.0)  # the thumbnails come from the photo server
        desk.wheel(*IN_LIST, 8)
        desk.settle(2.0)
        self.assert_drawn_as_a_fresh_paint("articoli-rotella")
        desk.wheel(*IN_LIST, -3)
        self.assert_drawn_as_a_fresh_paint("articoli-rotella-su")
        desk.key("Escape")

    def test_8_archive_of_200_orders_scrolled_every_order_once_in_order(self):
        desk = self.desk
        # The orders are made through the command line while the window is closed: 199 of one
        # line, suspended, then one of 30 lines left open for the review.
        desk.stop_torvane()
        made = desk.cli(["script", "--company", "01", "-"], stdin=orders_script())
        self.assertEqual(made.returncode, 0, made.stdout[-2000:] + made.stderr)
        archive = made.stdout.split("== Archivio ==")[-1]
        expected = [int(n) for n in re.findall(r"\| Ord\.(\d+) \|", archive)]
        self.assertGreaterEqual(len(expected), 200)
        desk.torvane()
        desk.click(*ARCHIVE_TAB)
        desk.settle(1.0)
        covered = set()
        for step in range(40):
            desk.park_mouse()
            desk.settle()
            shown = [int(n) for n in re.findall(r"^Ord\.(\d+)$", self.shot_text("archivio-%d" % step, ORDER_COLUMN),
                                                re.M)]
            self.assertTrue(shown, "nessun ordine letto")
            first = expected.index(shown[0])
            self.assertEqual(expected[first:first + len(shown)], shown, "ordini fuori posto o ripetuti")
            covered.update(range(first, first + len(shown)))
            # The thumb stands where the shown orders are among all of them.
            thumb = desk.thumb(desk.shot("archivio-barra-%d" % step), *SCROLL_TRACK)
            self.assertAlmostEqual(thumb, first / (len(expected) - len(shown)), delta=0.08)
            if shown[-1] == expected[-1]:
                break
            desk.wheel(*IN_LIST, 10)
        self.assertEqual(covered, set(range(len(expected))), "ordini mai mostrati")

    def test_9_review_of_30_lines_scrolled_then_signed_and_sent_closing_each_dialog(self):
        desk = self.desk
        desk.click_word("SCELTA", TAB_BAR)
        desk.click(*FINE)
        self.wait_for_text("SartoriaAlbaverde", "riepilogo")
        quantities, titles = [], []
        for step in range(20):
            desk.park_mouse()
            desk.settle()
            lines = self.shot_text("riepilogo-%d" % step, REVIEW).splitlines()
            here = [int(q) for line in lines for q in re.findall(r"(\d+),00 ?x", line)]
            named = [title for line in lines for title in REVIEW_TITLES if title in line]
            self.assertEqual(len(here), len(set(here)), lines)
            self.assertEqual(len(named), len(set(named)), lines)
            quantities += [q for q in here if q not in quantities]
            titles += [t for t in named if t not in titles]
            if "Sospendi Ordine" in named:
                break
            desk.wheel(*IN_LIST, 6)
        self.assertEqual(quantities, list(range(1, 31)), "righe mancanti, ripetute o fuori ordine")
        self.assertEqual(titles, REVIEW_TITLES)
        # A note typed at the foot keeps its text across a scroll to the top and back.
        desk.click(*NOTE_BOX)
        desk.type("Consegna al mattino", delay_ms=60)
        desk.wheel(*IN_LIST, -60, pause=0.01)
        desk.wheel(*IN_LIST, 60, pause=0.01)
        desk.park_mouse()
        self.assertIn("Consegna al mattino", self.shot_text("nota", NOTE_TEXT))
        # A signature drawn with the mouse, the drag leaving the pad and the window; Escape is
        # the pad's own cancel and the review answers at once; so is its close button.
        desk.click(*SIGN_BUTTON)
        self.assertEqual(len(desk.windows()), 2, "il riquadro della firma non si e' aperto")
        blank = desk.shot("firma-vuota", PAD)
        desk.drag((PAD[0] + 30, PAD[1] + 30), (PAD[0] + 200, PAD[1] + 110), steps=6)
        desk.drag((PAD[0] + 100, PAD[1] + 40), (1300, 1000), steps=6)
        self.assertFalse(desk.same_pixels(blank, desk.shot("firma-tratto", PAD)), "la firma non si vede")
        desk.key("Escape")
        self.assertEqual(len(desk.windows()), 1)
        desk.click(*SIGN_BUTTON)
        self.assertEqual(len(desk.windows()), 2, "dopo Esc la revisione non risponde")
        desk.close_dialog()
        self.assertEqual(len(desk.windows()), 1)
        # Signed, the order is sent; the mail composer closed by Escape is its "Annulla": the
        # alert it answers with has the keyboard, and the review then goes back.
        desk.click(*SIGN_BUTTON)
        desk.drag((PAD[0] + 30, PAD[1] + 30), (PAD[0] + 200, PAD[1] + 110), steps=6)
        desk.click(*PAD_CONFIRM)
        desk.click(*SEND_BUTTON)
        self.wait_for_text("acquisti@", "posta", seconds=30)
        desk.key("Escape")
        self.assertIn("Messaggiocancellato", re.sub(r"[\s.]", "", self.shot_text("posta-annullata")))
        desk.key("Escape")
        self.assertEqual(len(desk.windows()), 1)
        self.assertIn("SCELTA", self.shot_text("riepilogo-lasciato", (0, 0, WIDTH, 40)))


def orders_script():
    """One script for the command line: 199 suspended orders of one line, then the 30-line
    order left open, then the archive shown."""
    order = ["tab SCELTA", "tap 0 0", "search albaverde", "tap 0 0"]
    lines = []
    for n in range(199):
        lines += order + ["scan 100001", "scan 10101", "type 4 %d" % (n + 1), "button Conferma", "button Fine",
                          'button "Sospendi Ordine"']
    lines += order
    for n, (article, colour) in enumerate(THIRTY_LINES):
        lines += ["scan " + article, "scan " + colour, "type 4 %d" % (n + 1), "button Conferma"]
    lines += ["tab Archivio", "show"]
    return "\n".join(lines) + "\n"


# Thirty article and colour barcodes of the demonstration's wool.
THIRTY_LINES = [("10000%d" % a, "10%d%02d" % (a, c)) for a, colours in ((1, 4), (2, 5), (3, 6), (4, 4), (5, 5), (6, 6))
                for c in range(1, colours + 1)]

# Where things are in the window at its default size, placed at the screen's top left.
WIDTH, HEIGHT = 1024, 768
TAB_BAR = (0, HEIGHT - 80, 400, 80)
LIST = (0, 62, 1000, 672)           # the rows of a table under a search bar
NAMES = (100, 62, 300, 672)         # the client list's name column
IN_LIST = (500, 400)
SEARCH = (400, 42)
COLOUR_FIELD = (600, 214)
ARTICLE_ROW = (100, 162)
ARTICLE_FIELD = (351, 153, 300, 20)  # inside the border of order entry's article field
NEW_CLIENT = (977, 16)
NAME_FIELD = (600, 77)
ARCHIVE_TAB = (105, 753)
ORDER_COLUMN = (425, 38, 75, 700)   # the archive's "Ord.N" column
SCROLL_TRACK = (1013, 51, 727)      # the scroll bar's track: its column, top and foot
FINE = (977, 16)
REVIEW = (0, 36, 1005, 705)
REVIEW_TITLES = ["Riepilogo ordine", "Note ordine", "Destinazione", "Orario consegna", "Referente consegna",
                 "Sospendi Ordine"]
NOTE_BOX = (500, 150)               # at the foot of the review
NOTE_TEXT = (12, 105, 980, 40)
SIGN_BUTTON = (800, 585)
PAD = (376, 106, 270, 150)          # the signing area of the pad's dialog
PAD_CONFIRM = (703, 340)
SEND_BUTTON = (505, 663)            # "Registra Ordine"
FORM_FIELDS = ((351, 68, 400, 19), (351, 300, 400, 19), (351, 330, 400, 19))  # name, address, town
THUMB_AT_FOOT = (1013, 460)
SCROLL_BAR_TOP = (1013, 80)


if __name__ == "__main__":
    missing = missing_tools()
    if missing:
        print("window tests skipped: missing " + ", ".join(missing) + " (scripts/install-deps installs them)")
        sys.exit(SKIPPED)
    # A stop from CTest still takes the display, the server and the window down.
    import signal
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    unittest.main(argv=sys.argv[:1], verbosity=2)
