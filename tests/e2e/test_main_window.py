"""The main window as a user meets it: shown from the tray, its tree of pages, the page it
remembers, the program log, the tray menu, and the stopped state."""
import unittest

from winehost import WineHost, screenshot, tray_icon_colour, wait_until

CMD_STOP, CMD_RING, CMD_SHOW, IDM_TRAY_EXIT = 2753, 2754, 2757, 11

TREE = [
    (0, "Caller Log"), (0, "Modem"), (1, "COM1"), (1, "COM2"), (1, "COM3"), (1, "COM4"), (0, "Network"),
    (0, "Popup Window"), (1, "Sounds"), (0, "Phone Book"), (0, "Support"), (1, "Program Log"),
]


def tree(host):
    rows = [line.split("\t") for line in host.probe("tree").stdout.splitlines()]
    return [(int(depth), text, page == "1", expanded == "1", selected == "1")
            for depth, text, page, expanded, selected in rows]


def visible(host):
    return host.probe("visible").stdout.strip() == "1"


class MainWindow(unittest.TestCase):
    def test_pages_tree_log_and_the_remembered_page(self):
        with WineHost("main") as host:
            running = host.start_tellwire()
            items = tree(host)
            self.assertEqual(TREE, [(depth, text) for depth, text, _, _, _ in items])
            self.assertTrue(all(page for _, _, page, _, _ in items))
            self.assertTrue(all(expanded for _, text, _, expanded, _ in items
                                if text in ("Modem", "Popup Window", "Support")))
            log = host.probe("log").stdout.splitlines()
            self.assertTrue(any(line.endswith("Tellwire v1.2 started") for line in log), log)

            self.assertEqual(0, host.probe("tray", "left").returncode)  # a left click shows the window
            wait_until(lambda: visible(host), 10, "the main window shown")
            self.assertEqual(0, host.probe("select", "com3").returncode)
            wait_until(lambda: host.probe("page").stdout.strip() == "COM3\t1", 10, "the COM3 page shown")
            screenshot(host, "main_window_com3")

            self.assertEqual(0, host.stop_tellwire(running))
            self.assertEqual(("REG_SZ", "COM3"), host.reg_query("settsel"))
            self.assertIsNone(host.reg_query("hWnd"))

            running = host.start_tellwire()
            self.assertFalse(visible(host))
            self.assertEqual("COM3\t0", host.probe("page").stdout.strip())  # selected, window still hidden
            self.assertEqual(3, host.tellwire())  # a second start shows the first copy
            wait_until(lambda: host.probe("page").stdout.strip() == "COM3\t1", 10, "the first copy shown on COM3")
            self.assertEqual(0, host.stop_tellwire(running))

    def test_tray_menu_exit_also_when_stopped(self):
        with WineHost("tray") as host:
            running = host.start_tellwire()
            blue = lambda: (lambda r, g, b: b > r + 60)(*tray_icon_colour(host))
            ringing = lambda: (lambda r, g, b: r > b + 60)(*tray_icon_colour(host))
            wait_until(blue, 10, "the normal tray icon")
            host.probe("command", str(CMD_RING))
            wait_until(ringing, 5, "the ringing tray icon")
            screenshot(host, "tray_ringing")
            host.probe("command", str(CMD_STOP))
            host.probe("tray", "left")  # ignored once stopped
            host.probe("tray", "right")
            wait_until(lambda: host.probe("menus").stdout.strip() == "1", 10, "the tray menu")
            self.assertFalse(visible(host))
            screenshot(host, "tray_menu_stopped")
            self.assertEqual(0, host.probe("menu-choose", "1").returncode)
            self.assertEqual(0, running.wait(timeout=20))
            self.assertIsNone(host.reg_query("hWnd"))

    def test_every_page_shown_in_turn(self):
        """Each of the twelve pages selected from the tree and shown; the screenshots are for a
        person to look at (BENCH/shots/page_*.png)."""
        with WineHost("pages") as host:
            running = host.start_tellwire()
            host.probe("command", str(CMD_SHOW))
            wait_until(lambda: visible(host), 10, "the main window shown")
            for _, text in TREE:
                self.assertEqual(0, host.probe("select", text).returncode, text)
                wait_until(lambda: host.probe("page").stdout.strip() == text + "\t1", 10, "the page " + text)
                screenshot(host, "page_" + text.replace(" ", "_").lower())
            self.assertEqual(0, host.stop_tellwire(running))


if __name__ == "__main__":
    unittest.main()
