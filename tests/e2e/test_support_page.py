"""The Support page as a user meets it: chosen in the tree of the shown main window, with the
product and version in large type, the release date and the two links."""
import unittest

from winehost import WineHost, screenshot, wait_until


class SupportPage(unittest.TestCase):
    def test_the_page_is_shown_from_the_tree(self):
        with WineHost("support") as host:
            running = host.start_tellwire()
            self.assertEqual(0, host.probe("tray", "left").returncode)
            wait_until(lambda: host.probe("visible").stdout.strip() == "1", 10, "the main window shown")
            self.assertEqual(0, host.probe("select", "support").returncode)
            wait_until(lambda: host.probe("page").stdout.strip() == "Support\t1", 10, "the Support page shown")
            screenshot(host, "support_page")
            self.assertEqual([], host.opened_by_shell())  # showing the page opens nothing
            self.assertEqual(0, host.stop_tellwire(running))


if __name__ == "__main__":
    unittest.main()
