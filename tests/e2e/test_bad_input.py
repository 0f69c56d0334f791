"""Bad files and settings through the real program: damaged data files, and every setting stored
with the wrong type, oversized or empty. Each time the program starts, loads the good lines and
ends cleanly; the user's caller log and number formats stay as they were, the phone book is saved
with its good contacts, and each setting is left as stored or made well-formed. With the port's
line settings stored empty, COM1 still opens and the modem is configured."""
import os
import re
import unittest

from winehost import WineHost, read_bytes, recorded, write_bytes, wait_until

HERE = os.path.dirname(os.path.abspath(__file__))
TEN_MB = 10 << 20
CALLS = [b"2024-01-02 03:04:05 5551001 First Good", b"2024-01-02 03:04:06 5551002 Second Good",
         b"2024-01-02 03:04:07 5551003 Third Good", b"2024-01-02 03:04:08 5551004 Fourth Good",
         b"2024-01-02 03:04:09 5551005 Caf\xe9 Cr\xe8me", b"2024-01-02 03:04:10 5551006 \x81\x8d\x8f\x90\x9d Odd"]
CONTACTS = [b"5551234:Alice Example", b"5552001:Bob Good", b"5552002:Carol Caf\xe9", b"5552003:Dave Good",
            b"5552004:Eve \x81\x8d\x9d Odd"]
LOG = b"".join([
    CALLS[0], b"\r\n", b"\0" * 4096,                     # what a crash can leave behind an append
    CALLS[1], b"\r\n", b"2024-01-02 03:04:11 555\x001007 Nul Inside\r\n",  # cut by its NUL: no row
    b"Z" * TEN_MB, b"\r\n",                              # one line of 10 MB: no row
    CALLS[2], b"\r", CALLS[3], b"\r",                    # CR alone ends a line
    CALLS[4], b"\r\n", CALLS[5], b"\r\n"])               # 8-bit text, some of it undefined in 1252
BOOK = b"".join([
    b"\0" * 2000, CONTACTS[0], b"\r\n",
    b"5559999\0:Nul Before Colon\r\n",    # "5559999" has no colon; the rest has an empty number
    b"Y" * TEN_MB, b"\r\n",               # 10 MB without a colon
    CONTACTS[1], b"\r", CONTACTS[2], b"\r",
    b"5553333:", b"N" * TEN_MB, b"\r\n",  # a contact with a name of 10 MB
    CONTACTS[3], b"\n", CONTACTS[4], b"\r\n"])
SAVED_BOOK = b"".join(c + b"\r\n" for c in CONTACTS[:3] + [b"5553333:" + b"N" * 255] + CONTACTS[3:])
# Keys of 200 characters and more entries than the program keeps (its first 510 characters): the one
# short key still formats 7-digit numbers.
CFG = b"[Phone_Number_Format]\r\n" + b"".join(e + b"\r\n" for e in (
    b"1" + b"x" * 199 + b"=" + b"x-" * 50, b"xxxxxxx=xxx-xxxx", b"x" * 200 + b"=(x)", b"2" + b"x" * 199 + b"=yy"))

# How each kind of value is stored wrongly, as the right-hand side of a .reg line.
BAD_VALUES = [
    ("wrong type", {"dword": lambda size: '"12345"', "sz": lambda size: "dword:00000007", "binary": lambda size: '"Arial"'}),
    ("oversized", {"dword": lambda size: "hex(4):01,02,03,04,05,06,07,08", "sz": lambda size: '"' + "x" * (size + 50) + '"',
                   "binary": lambda size: "hex:" + ",".join(["41"] * (size + 40))}),
    ("zero length", {"dword": lambda size: "hex(4):", "sz": lambda size: "hex(1):", "binary": lambda size: "hex:"}),
]
REG_TYPES = {"sz": 1, "binary": 3, "dword": 4}


def table_settings():
    """(name, kind, read size) of every value of the settings table, per-port ones for COM1 to COM4."""
    with open(os.path.join(HERE, "..", "..", "base", "settings_table.h"), encoding="utf-8") as f:
        table = re.findall(r'SettingInfo kSetting\w+\{"([^"]+)", kReg(Dword|Sz|Binary), (\d+),', f.read())
    return [(name.replace("%s", f"COM{port}"), kind.lower(), int(size))
            for name, kind, size in table for port in (range(1, 5) if "%s" in name else [0])]


class BadInput(unittest.TestCase):
    def assert_settings_sound(self, host, stored, settings):
        """Each value is as it was stored or else a well-formed value of its kind; the ones the program
        replaces at start have their defaults."""
        values = host.stored_values()
        for name, kind, size in settings:
            if name == "hWnd" or values.get(name) == stored.get(name):
                continue
            kind_number, data = values[name]
            self.assertEqual(REG_TYPES[kind], kind_number, name)
            if kind == "sz":
                self.assertTrue(0 < len(data) <= size and data.endswith(b"\0") and b"\0" not in data[:-1], name)
            else:
                self.assertEqual(4 if kind == "dword" else size, len(data), name)
        self.assertEqual((1, b"255.255.255.255\0"), values["baddr"])
        self.assertEqual((1, b"C:\\Tellwire\\tellwire.log\0"), values["clog"])
        self.assertEqual((1, b"C:\\Tellwire\\tellwire.pbook\0"), values["pbook"])
        self.assertNotIn("hWnd", values)  # deleted by a clean end

    def test_bad_files_and_every_setting_stored_wrongly(self):
        settings = table_settings()
        self.assertGreater(len(settings), 40)  # the table was read: every setting, each port's too
        with WineHost("bad") as host:
            host.install_tellwire()  # "clog" and "pbook" are stored wrongly too: the files beside the program
            files = {name: host.drive_c("Tellwire", "tellwire." + name) for name in ("log", "pbook", "cfg")}
            for name, data in (("log", LOG), ("pbook", BOOK), ("cfg", CFG)):
                write_bytes(files[name], data)
            contacts = 7  # the first load; the close saves the six with a number
            for variant, make in BAD_VALUES:
                with self.subTest(variant=variant):
                    host.reg_import({name: make[kind](size) for name, kind, size in settings})
                    stored = host.stored_values()
                    running = host.start_tellwire()
                    wait_until(lambda: host.rows("Caller Log") == 6 and host.rows("Phone Book") == contacts, 60,
                               "both files loaded")
                    rows = [line.split("\t") for line in host.probe("list", "Caller Log", "50").stdout.splitlines()]
                    self.assertEqual([["2024-01-02", "03:04:05", "First Good", "555-1001", ""],
                                      ["2024-01-02", "03:04:08", "Fourth Good", "555-1004", ""]], [rows[0], rows[3]])
                    if contacts == 7:
                        self.assertTrue(host.logged('Wrong phone book entry: "YYYYYYYY'))
                    self.assertEqual(0, host.stop_tellwire(running, timeout=60))
                    self.assert_settings_sound(host, stored, settings)
                    self.assertEqual((LOG, SAVED_BOOK, CFG), tuple(read_bytes(files[n]) for n in ("log", "pbook", "cfg")))
                    contacts = 6

            # On top of the zero-length values, with the port enabled: its line settings read as
            # their defaults, the port opens and the modem is configured.
            host.reg_add("role", "REG_DWORD", 2)
            host.reg_add("COM1_enabled", "REG_DWORD", 1)
            _, record, _ = host.attach_modem(1, "--accept", "AT+VCID=1")
            running = host.start_tellwire()
            host.wait_configured()
            self.assertEqual(0, host.stop_tellwire(running, timeout=30))
            wait_until(lambda: recorded(record, "close"), 10, "the port let go at the end")


if __name__ == "__main__":
    unittest.main()
