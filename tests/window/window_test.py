#!/usr/bin/env python3
"""The window in a person's hands: torvane on its own X display, driven by real input events,
checked on pictures of the screen. Usage: window_test.py BUILD_FOLDER SOURCE_FOLDER.
Exits 77 (skipped) when a tool is missing."""

import os
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
        desk.click(IN_LIST[0], LIST[1] + 10)
        desk.settle(1.0)
        self.assertIn("Sartoria Albaverde", self.shot_text("scelta-cliente", (0, 0, WIDTH, 120)))

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


# Where things are in the window at its default size, placed at the screen's top left.
WIDTH, HEIGHT = 1024, 768
TAB_BAR = (0, HEIGHT - 80, 400, 80)
LIST = (0, 62, 1000, 672)           # the rows of a table under a search bar
NAMES = (100, 62, 300, 672)         # the client list's name column
IN_LIST = (500, 400)
SEARCH = (400, 42)
COLOUR_FIELD = (600, 214)
ARTICLE_ROW = (100, 162)
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
