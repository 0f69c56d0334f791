"""The installer as an administrator runs it silently, into a fresh prefix: the program, its
Start-menu shortcut, its Add/Remove Programs entry and its start at sign-in are there, the program
starts from the shortcut's target, and the silent uninstall (as Add/Remove Programs runs it) ends
the running copy and leaves nothing of the program but the user's files."""
import os
import re
import struct
import unittest

from winehost import MAKER_KEY, PRODUCT_KEY, WineHost, read_bytes, wait_until, write_bytes

SETUP = os.environ.get("TW_SETUP", "")
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tellwire"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
PROGRAM = r"C:\Program Files\Tellwire\tellwire.exe"


def shortcut_target(path):
    """The local path a shell link points at (its LinkInfo's LocalBasePath)."""
    data = read_bytes(path)
    flags = struct.unpack_from("<I", data, 0x14)[0]
    at = 0x4C
    if flags & 1:  # HasLinkTargetIDList
        at += 2 + struct.unpack_from("<H", data, at)[0]
    assert flags & 2, "the shortcut has no LinkInfo"
    local = struct.unpack_from("<I", data, at + 16)[0]
    return data[at + local:data.index(b"\0", at + local)].decode("latin-1")


class Installer(unittest.TestCase):
    def test_install_start_and_uninstall(self):
        with WineHost("setup") as host:
            self.assertEqual(0, host.wine(SETUP, "/S", timeout=120).returncode)
            folder = host.drive_c("Program Files", "Tellwire")
            self.assertEqual(["tellwire.exe", "uninstall.exe"], sorted(os.listdir(folder)))
            shortcut = host.drive_c("ProgramData", "Microsoft", "Windows", "Start Menu", "Programs", "Tellwire.lnk")
            self.assertEqual(PROGRAM, shortcut_target(shortcut))
            entry = {name: host.reg_query(name, UNINSTALL_KEY) for name in
                     ("DisplayName", "DisplayVersion", "Publisher", "DisplayIcon", "EstimatedSize")}
            self.assertEqual({"DisplayName": ("REG_SZ", "Tellwire"), "DisplayVersion": ("REG_SZ", "1.2"),
                              "Publisher": ("REG_SZ", "Quillex"), "DisplayIcon": ("REG_SZ", PROGRAM + ",0")},
                             {k: v for k, v in entry.items() if k != "EstimatedSize"})
            self.assertGreater(int(entry["EstimatedSize"][1], 16), 100)  # kilobytes
            self.assertEqual(("REG_SZ", f'"{PROGRAM}"'), host.reg_query("Tellwire", RUN_KEY))

            # The user's files, which the program keeps beside itself where it may write there.
            log = b"2024-03-01 14:05:09 5551234 JOHN PUBLIC\r\n"
            book = b"5551234:Alice Example\r\n"
            write_bytes(os.path.join(folder, "tellwire.log"), log)
            write_bytes(os.path.join(folder, "tellwire.pbook"), book)
            host.exe = shortcut_target(shortcut)
            running = host.start_tellwire()
            wait_until(lambda: host.rows("Phone Book") == 1, 20, "the phone book loaded")

            quiet = host.reg_query("QuietUninstallString", UNINSTALL_KEY)[1]
            uninstaller, arguments = re.match(r'"([^"]+)"\s*(.*)$', quiet).groups()
            self.assertEqual(0, host.wine(uninstaller, *arguments.split(), timeout=120).returncode)
            # A silent uninstall goes on from a copy of itself: wait for what it removes.
            wait_until(lambda: not os.path.exists(os.path.join(folder, "uninstall.exe")) and
                       not host.key_exists(UNINSTALL_KEY), 120, "the uninstaller done")
            self.assertEqual(0, running.wait(timeout=60))  # ended through its own /UNINSTALL
            self.assertEqual(["tellwire.log", "tellwire.pbook"], sorted(os.listdir(folder)))
            self.assertEqual(log, read_bytes(os.path.join(folder, "tellwire.log")))
            self.assertEqual(book, read_bytes(os.path.join(folder, "tellwire.pbook")))
            self.assertFalse(os.path.exists(shortcut))
            self.assertFalse(host.key_exists(PRODUCT_KEY))
            self.assertTrue(host.key_exists(MAKER_KEY))
            self.assertIsNone(host.reg_query("Tellwire", RUN_KEY))


if __name__ == "__main__":
    unittest.main()
