"""Start and end of tellwire.exe as a user meets them: the two switches, one copy per user, the
settings written at the first start, and a clean end."""
import unittest

from winehost import EXE, MAKER_KEY, PRODUCT_KEY, WineHost, wait_until

HOME_PAGE = "https://tellwire.quillex.example/"


class Switches(unittest.TestCase):
    def test_homeurl_opens_the_home_page_and_wins(self):
        with WineHost("homeurl") as host:
            host.reg_add("role", "REG_DWORD", 3)
            for count, arguments in enumerate((["/HOMEURL"], ["/homeurl"], ["x/HomeUrlx"], ["/UNINSTALL", "/homeurl"]), 1):
                with self.subTest(arguments=arguments):
                    self.assertEqual(2, host.tellwire(*arguments))
                    wait_until(lambda: len(host.opened_by_shell()) == count, 20, "the address opened by the shell")
            self.assertEqual([HOME_PAGE] * 4, host.opened_by_shell())
            # "/UNINSTALL" lost against "/HOMEURL": the settings are still there.
            self.assertEqual(("REG_DWORD", "0x3"), host.reg_query("role"))
            self.assertIsNone(host.reg_query("hWnd"))  # and no copy was started

    def test_uninstall_without_a_running_copy(self):
        with WineHost("uninstall") as host:
            host.reg_add("role", "REG_DWORD", 3)
            host.reg_add("COM1_init", "REG_SZ", "ATZ")
            self.assertEqual(5, host.tellwire("/UnInstall"))
            self.assertFalse(host.key_exists(PRODUCT_KEY))
            self.assertTrue(host.key_exists(MAKER_KEY))


class OneCopy(unittest.TestCase):
    def test_first_start_stores_its_settings_and_ends_cleanly(self):
        with WineHost("first") as host:
            host.reg_add("clrBg", "REG_SZ", "red")  # ignored, and not replaced
            first = host.start_tellwire()
            hwnd = host.reg_query("hWnd")
            self.assertEqual("REG_DWORD", hwnd[0])
            self.assertEqual(("REG_SZ", "255.255.255.255"), host.reg_query("baddr"))
            self.assertEqual(("REG_SZ", "red"), host.reg_query("clrBg"))
            self.assertEqual("0", host.probe("visible").stdout.strip())  # starts hidden
            self.assertEqual(0, host.stop_tellwire(first))
            self.assertIsNone(host.reg_query("hWnd"))
            self.assertEqual(("REG_SZ", "255.255.255.255"), host.reg_query("baddr"))

    def test_a_broadcast_address_of_another_type_is_replaced(self):
        with WineHost("baddr") as host:
            host.reg_add("baddr", "REG_DWORD", 5)
            first = host.start_tellwire()
            self.assertEqual(("REG_SZ", "255.255.255.255"), host.reg_query("baddr"))
            self.assertEqual(0, host.stop_tellwire(first))
            host.reg_add("baddr", "REG_SZ", "198.18.0.255")  # a chosen address is kept
            first = host.start_tellwire()
            self.assertEqual(("REG_SZ", "198.18.0.255"), host.reg_query("baddr"))
            self.assertEqual(0, host.stop_tellwire(first))

    def test_second_start_shows_the_running_copy(self):
        with WineHost("second") as host:
            first = host.start_tellwire()
            hwnd = host.reg_query("hWnd")
            self.assertEqual(3, host.tellwire())
            wait_until(lambda: host.probe("visible").stdout.strip() == "1", 10, "the first copy's window shown")
            self.assertEqual(hwnd, host.reg_query("hWnd"))  # the second copy changed nothing
            self.assertIsNone(first.poll())
            self.assertEqual(0, host.stop_tellwire(first))

    def test_uninstall_ends_the_running_copy_first(self):
        with WineHost("uninstall-running") as host:
            first = host.start_tellwire()
            self.assertEqual(5, host.tellwire("/UNINSTALL", timeout=30))
            self.assertEqual(0, first.wait(timeout=10))
            self.assertFalse(host.key_exists(PRODUCT_KEY))
            self.assertTrue(host.key_exists(MAKER_KEY))

    def test_a_stale_window_handle_does_not_stop_the_start(self):
        with WineHost("stale") as host:
            host.reg_add("hWnd", "REG_DWORD", 0x7FFF0)  # left by a copy that was killed
            first = host.start_tellwire()
            self.assertNotEqual(("REG_DWORD", "0x7fff0"), host.reg_query("hWnd"))
            self.assertEqual(0, host.stop_tellwire(first))


if __name__ == "__main__":
    unittest.main()
