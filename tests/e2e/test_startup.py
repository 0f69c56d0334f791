"""What only the whole program shows at its start: one copy per user (a second start brings the
running copy to the front and ends with exit code 3), and /UNINSTALL, which ends the running copy
and removes the settings, the maker's key left as it is."""
import unittest

from winehost import MAKER_KEY, PRODUCT_KEY, WineHost, wait_until


class Startup(unittest.TestCase):
    def test_second_start_and_uninstall(self):
        with WineHost("startup") as host:
            host.reg_add("role", "REG_DWORD", 3)
            first = host.start_tellwire()
            hwnd = host.reg_query("hWnd")
            self.assertEqual("0", host.probe("visible").stdout.strip())  # starts hidden, in the tray
            self.assertEqual(3, host.tellwire())
            wait_until(lambda: host.probe("visible").stdout.strip() == "1", 10, "the first copy's window shown")
            self.assertEqual(hwnd, host.reg_query("hWnd"))  # the second copy changed nothing
            self.assertIsNone(first.poll())

            self.assertEqual(5, host.tellwire("/UNINSTALL", timeout=30))
            self.assertEqual(0, first.wait(timeout=10))
            self.assertFalse(host.key_exists(PRODUCT_KEY))
            self.assertTrue(host.key_exists(MAKER_KEY))


if __name__ == "__main__":
    unittest.main()
