"""Bad data through the real program: damaged data files, settings stored with the wrong type or
size, a modem and a LAN peer that send garbage. The program keeps running and logs what it met;
what was good before stays good, and a real call still comes through afterwards."""
import os
import random
import re
import subprocess
import textwrap
import time
import unittest

from winehost import Lan, WineHost, recorded, send_to_modem, wait_until

HERE = os.path.dirname(os.path.abspath(__file__))
CLOG = r"C:\users\Public\tellwire.log"
PBOOK = r"C:\users\Public\tellwire.pbook"
TEN_MB = 10 << 20


def popups(host):
    return [line.split("\t")[0] for line in host.probe("popups").stdout.splitlines() if line.strip()]


def log_lines(host):
    # Only "\n" ends a line here: a modem's garbage holds the other characters Python breaks at.
    return [line.rstrip("\r")[7:] for line in host.probe("log").stdout.split("\n") if line.strip("\r")]


def list_rows(host, page):
    return [line.split("\t") for line in host.probe("list", page, "50").stdout.splitlines() if line.strip()]


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


def modem_host_settings(host):
    """Role 2 (the own modem only: nothing is sent on the network) and COM1 monitored."""
    host.reg_add("role", "REG_DWORD", 2)
    host.reg_add("COM1_enabled", "REG_DWORD", 1)


def make_call(test, host, control, number, name, shown, log_file):
    """Plays a call on the modem; checks its popup and the caller-log line it appends."""
    before = read_bytes(log_file) if os.path.exists(log_file) else b""
    send_to_modem(control, f"call {number} {name}")
    wait_until(lambda: popups(host), 30, "the call's popup")
    test.assertEqual([shown], popups(host))
    wait_until(lambda: os.path.exists(log_file) and len(read_bytes(log_file)) > len(before), 10, "the caller-log line")
    after = read_bytes(log_file)
    test.assertTrue(after.startswith(before))
    test.assertRegex(after[len(before):].decode("latin-1"), rf"^\d{{4}}-\d\d-\d\d \d\d:\d\d:\d\d {number} .*\r\n$")
    host.probe("close-popups")
    wait_until(lambda: not popups(host), 10, "the popup closed")
    return after[len(before):]


class BadFiles(unittest.TestCase):
    CALLS = [b"2024-01-02 03:04:05 5551001 First Good", b"2024-01-02 03:04:06 5551002 Second Good",
             b"2024-01-02 03:04:07 5551003 Third Good", b"2024-01-02 03:04:08 5551004 Fourth Good",
             b"2024-01-02 03:04:09 5551005 Caf\xe9 Cr\xe8me", b"2024-01-02 03:04:10 5551006 \x81\x8d\x8f\x90\x9d Odd"]
    CONTACTS = [b"5551234:Alice Example", b"5552001:Bob Good", b"5552002:Carol Caf\xe9", b"5552003:Dave Good",
                b"5552004:Eve \x81\x8d\x9d Odd"]

    def write_files(self, host):
        calls, contacts = self.CALLS, self.CONTACTS
        write_bytes(host.drive_c("users", "Public", "tellwire.log"), b"".join([
            calls[0], b"\r\n",
            b"\0" * 4096,                                        # what a crash can leave behind an append
            calls[1], b"\r\n",
            b"2024-01-02 03:04:11 555\x001007 Nul Inside\r\n",  # cut by its NUL: no row
            b"Z" * TEN_MB, b"\r\n",                              # one line of 10 MB: no row
            calls[2], b"\r", calls[3], b"\r",                    # CR alone ends a line
            calls[4], b"\r\n", calls[5], b"\r\n",                # 8-bit text, some of it undefined in 1252
        ]))
        write_bytes(host.drive_c("users", "Public", "tellwire.pbook"), b"".join([
            b"\0" * 2000,
            contacts[0], b"\r\n",
            b"5559999\0:Nul Before Colon\r\n",   # "5559999" has no colon; the rest has an empty number
            b"Y" * TEN_MB, b"\r\n",              # 10 MB without a colon
            contacts[1], b"\r", contacts[2], b"\r",
            b"5553333:", b"N" * TEN_MB, b"\r\n",  # a contact with a name of 10 MB
            contacts[3], b"\n", contacts[4], b"\r\n",
        ]))
        # Keys of 200 characters and more entries than the program keeps (its first 510
        # characters): the one short key still formats 7-digit numbers.
        entries = ["1" + "x" * 199 + "=" + "x-" * 50, "xxxxxxx=xxx-xxxx", "x" * 200 + "=(x)", "2" + "x" * 199 + "=yy"]
        cfg = ("[Phone_Number_Format]\r\n" + "".join(entry + "\r\n" for entry in entries)).encode("latin-1")
        self.assertGreater(sum(len(entry) for entry in entries), 600)
        write_bytes(host.drive_c("Tellwire", "tellwire.cfg"), cfg)
        return cfg

    def test_damaged_files_keep_their_good_lines(self):
        with WineHost("files") as host:
            host.install_tellwire()  # the number formats are read from beside the program
            cfg = self.write_files(host)
            log_before = read_bytes(host.drive_c("users", "Public", "tellwire.log"))
            modem_host_settings(host)
            host.reg_add("clog", "REG_SZ", CLOG)
            host.reg_add("pbook", "REG_SZ", PBOOK)
            _, record, control = host.attach_modem(1, "--accept", "AT+VCID=1", "--ring-gap", "2")
            running = host.start_tellwire()

            wait_until(lambda: host.rows("Caller Log") == 6 and host.rows("Phone Book") == 7, 60, "both files loaded")
            rows = list_rows(host, "Caller Log")
            self.assertEqual([["2024-01-02", "03:04:05", "First Good", "555-1001"],
                              ["2024-01-02", "03:04:06", "Second Good", "555-1002"],
                              ["2024-01-02", "03:04:07", "Third Good", "555-1003"],
                              ["2024-01-02", "03:04:08", "Fourth Good", "555-1004"]], rows[:4])
            self.assertEqual(["555-1005", "555-1006"], [row[3] for row in rows[4:]])
            log = log_lines(host)
            self.assertIn('Wrong phone book entry: "5559999"', log)
            self.assertTrue(any(line.startswith('Wrong phone book entry: "YYYYYYYY') for line in log), log)

            wait_until(lambda: "AT+VCID=1" in recorded(record, "cmd"), 30, "the modem configured")
            time.sleep(1)  # its reply read: a ring now is not taken for part of the reply
            log_file = host.drive_c("users", "Public", "tellwire.log")
            line = make_call(self, host, control, "5551234", "JOHN PUBLIC", "Alice Example|555-1234", log_file)
            self.assertTrue(line.endswith(b" 5551234 Alice Example\r\n"), line)
            self.assertIsNone(running.poll())
            self.assertEqual(0, host.stop_tellwire(running, timeout=60))

            # No row was deleted, so the caller log was only appended to: the exit leaves it as it
            # was, the call behind it. The phone book was rewritten from its list: every good line
            # is there, the damage is gone, and the 8-bit names came through unchanged.
            self.assertEqual(log_before + line, read_bytes(log_file))
            contacts = self.CONTACTS
            self.assertEqual(b"".join(c + b"\r\n" for c in contacts[:3] + [b"5553333:" + b"N" * 255] + contacts[3:]),
                             read_bytes(host.drive_c("users", "Public", "tellwire.pbook")))
            self.assertEqual(cfg, read_bytes(host.drive_c("Tellwire", "tellwire.cfg")))  # not replaced by defaults

            running = host.start_tellwire()  # and what was written loads again
            wait_until(lambda: host.rows("Caller Log") == 7 and host.rows("Phone Book") == 6, 30, "both files loaded")
            self.assertEqual(0, host.stop_tellwire(running, timeout=30))


def table_settings():
    """(name, kind, read size) of every value of the settings table, per-port ones for COM1 to COM4."""
    with open(os.path.join(HERE, "..", "..", "base", "settings_table.h"), encoding="utf-8") as f:
        table = re.findall(r'SettingInfo kSetting\w+\{"([^"]+)", kReg(Dword|Sz|Binary), (\d+),', f.read())
    settings = []
    for name, kind, size in table:
        names = [name.replace("%s", f"COM{port}") for port in range(1, 5)] if "%s" in name else [name]
        settings += [(n, kind.lower(), int(size)) for n in names]
    return settings


# How each kind of value is stored wrongly, as the right-hand side of a .reg line.
BAD_VALUES = {
    "wrong type": {"dword": lambda size: '"12345"', "sz": lambda size: "dword:00000007",
                   "binary": lambda size: '"Arial"'},
    "oversized": {"dword": lambda size: "hex(4):01,02,03,04,05,06,07,08", "sz": lambda size: '"' + "x" * (size + 50) + '"',
                  "binary": lambda size: "hex:" + ",".join(["41"] * (size + 40))},
    "zero length": {"dword": lambda size: "hex(4):", "sz": lambda size: "hex(1):", "binary": lambda size: "hex:"},
}
REG_TYPES = {"sz": 1, "binary": 3, "dword": 4}


class BadSettings(unittest.TestCase):
    def assert_settings_sound(self, host, stored, settings):
        """Each value is as it was stored or else a well-formed value of its kind; the ones the program
        replaces at start have their defaults."""
        values = host.stored_values()
        for name, kind, size in settings:
            with self.subTest(value=name):
                if name not in values:
                    self.assertEqual("hWnd", name)  # deleted by a clean end, and only that one
                    continue
                kind_number, data = values[name]
                if (kind_number, data) == stored.get(name):
                    continue
                self.assertEqual(REG_TYPES[kind], kind_number, data)
                if kind == "dword":
                    self.assertEqual(4, len(data))
                elif kind == "binary":
                    self.assertEqual(size, len(data))
                else:
                    self.assertTrue(0 < len(data) <= size and data.endswith(b"\0") and b"\0" not in data[:-1], data)
        self.assertEqual((1, b"255.255.255.255\0"), values["baddr"])
        self.assertEqual((1, b"C:\\Tellwire\\tellwire.log\0"), values["clog"])
        self.assertEqual((1, b"C:\\Tellwire\\tellwire.pbook\0"), values["pbook"])
        self.assertNotIn("hWnd", values)

    def test_every_setting_stored_wrongly(self):
        settings = table_settings()
        self.assertEqual(14 + 8 * 4, len(settings))
        with WineHost("settings") as host:
            host.install_tellwire()  # "clog" and "pbook" fall back to files beside the program
            log_file = host.drive_c("Tellwire", "tellwire.log")
            history = b"2024-01-02 03:04:05 5551001 First Good\r\n2024-01-02 03:04:06 5551002 Second Good\r\n"
            write_bytes(log_file, history)
            book_file = host.drive_c("Tellwire", "tellwire.pbook")
            book = b"5551234:Alice Example\r\n"
            write_bytes(book_file, book)
            for variant, make in BAD_VALUES.items():
                with self.subTest(variant=variant):
                    host.reg_import({name: make[kind](size) for name, kind, size in settings})
                    stored = host.stored_values()
                    running = host.start_tellwire()
                    wait_until(lambda: host.rows("Caller Log") == 2 and host.rows("Phone Book") == 1, 30,
                               "both files loaded")
                    self.assertIn("Tellwire v1.2 started", log_lines(host))
                    self.assertEqual(0, host.stop_tellwire(running, timeout=30))
                    self.assert_settings_sound(host, stored, settings)
                    self.assertEqual(history, read_bytes(log_file))
                    self.assertEqual(book, read_bytes(book_file))

            # On top of the zero-length values (the last ones), with the port enabled: its line
            # settings read as their defaults, the port opens and a call comes through.
            modem_host_settings(host)
            _, record, control = host.attach_modem(1, "--ring-gap", "2")
            running = host.start_tellwire()
            wait_until(lambda: "AT+VCID=1" in recorded(record, "cmd") or "AT#CID=1" in recorded(record, "cmd"), 30,
                       "the modem configured")
            time.sleep(1)
            make_call(self, host, control, "5551234", "JOHN PUBLIC", "Alice Example|555 12 34", log_file)
            self.assertEqual(0, host.stop_tellwire(running, timeout=30))


# Random bytes at full speed: what a modem at the wrong speed, or line noise, looks like.
FLOOD_SECONDS = 20  # a minute, scaled to a third: the program's reading is what is measured
FLOOD_CHUNK = 1800  # a control line holds 8 KB: 1800 bytes as \xHH escapes


class ModemGarbage(unittest.TestCase):
    def test_noise_and_long_lines_then_a_call(self):
        with WineHost("noise") as host:
            modem_host_settings(host)
            host.reg_add("clog", "REG_SZ", CLOG)
            host.reg_add("pbook", "REG_SZ", PBOOK)
            _, record, control = host.attach_modem(1, "--accept", "AT+VCID=1", "--ring-gap", "2")
            running = host.start_tellwire()
            wait_until(lambda: "AT+VCID=1" in recorded(record, "cmd"), 30, "the modem configured")

            rnd = random.Random(20261206)
            offered = 0
            end = time.monotonic() + FLOOD_SECONDS
            next_probe = time.monotonic() + 5
            with open(control, "w", encoding="latin-1") as fifo:
                while time.monotonic() < end:
                    chunk = rnd.randbytes(FLOOD_CHUNK)
                    fifo.write("raw " + "".join(f"\\x{b:02x}" for b in chunk) + "\n")
                    fifo.flush()
                    offered += len(chunk)
                    if time.monotonic() > next_probe:  # the program answers all along
                        self.assertEqual(0, host.probe("main-window").returncode)
                        next_probe += 5
            # What the modem still holds is dropped, as when noise stops; then lines of 5000
            # characters, 20 of them.
            send_to_modem(control, "dead on", "dead off", *["raw " + "L" * 5000 + "\\r\\n"] * 20)
            wait_until(lambda: sum(line == "COM1: " + "L" * 255 for line in log_lines(host)) >= 100, 30,
                       "the long lines read")
            taken = sum(len(chunk) // 2 for chunk in recorded(record, "tx"))
            print(f"noise: {offered} bytes offered in {FLOOD_SECONDS} s, {taken} bytes taken by the program")
            self.assertGreater(taken, 200000)  # at least a 115200-baud line's worth of the time

            log_file = host.drive_c("users", "Public", "tellwire.log")
            self.assertFalse(os.path.exists(log_file))  # no call was made up out of the noise
            make_call(self, host, control, "5551234", "AFTER NOISE", "AFTER NOISE|555 12 34", log_file)
            log = log_lines(host)
            self.assertIn("COM1: NMBR = 5551234", log)
            self.assertIsNone(running.poll())
            self.assertEqual(0, host.stop_tellwire(running, timeout=30))


# A peer on the LAN that floods the port: random bytes, packets with the right header and a random
# payload, call packets with a random body; then one real call.
FLOODER = textwrap.dedent("""
    import random, socket, sys, time
    target = (sys.argv[1], 30307)
    peer = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    peer.bind(("0.0.0.0", 30307))
    rnd = random.Random(30307)
    for i in range(10000):
        body = bytes(rnd.getrandbits(8) for _ in range(rnd.randint(0, 300)))
        if i % 3 == 1:
            body = b"Tellwire:" + str(rnd.getrandbits(32)).encode() + b">" + body
        elif i % 3 == 2:
            body = b"Tellwire:5>CLRID:x" + body.replace(b"/", b"")  # no "/" behind the number: never a call
        peer.sendto(body, target)
    print("sent")
    time.sleep(1.5)  # the flood is over; a moment later a real call comes
    peer.sendto(b"Tellwire:5>CLRID:5551234/AFTER FLOOD\\x00", target)
""")


class LanGarbage(unittest.TestCase):
    def test_ten_thousand_datagrams_then_a_call(self):
        with Lan() as lan, WineHost("flooded", lan, 2) as host:
            host.reg_add("role", "REG_DWORD", 1)
            host.reg_add("clog", "REG_SZ", CLOG)
            host.reg_add("pbook", "REG_SZ", PBOOK)
            running = host.start_tellwire()
            wait_until(lambda: any("started" in line for line in log_lines(host)), 10, "the log")
            namespace = f"{lan.name}-peer"
            subprocess.run(["ip", "netns", "add", namespace], check=True)
            try:
                subprocess.run(["ip", "-n", namespace, "link", "set", "lo", "up"], check=True)
                lan.join(namespace, 3)
                output = subprocess.run(["ip", "netns", "exec", namespace, "python3", "-c", FLOODER, host.address],
                                        capture_output=True, text=True, timeout=120, check=True).stdout
            finally:
                subprocess.run(["ip", "netns", "del", namespace], stderr=subprocess.DEVNULL)
            self.assertIn("sent", output)
            # The real call behind the flood is shown within seconds, not minutes.
            wait_until(lambda: popups(host), 20, "the call behind the flood")
            self.assertEqual(["AFTER FLOOD|555 12 34"], popups(host))
            log_file = host.drive_c("users", "Public", "tellwire.log")
            wait_until(lambda: os.path.exists(log_file), 10, "the caller log")
            with open(log_file, "rb") as f:
                lines = f.read().splitlines()
            self.assertEqual(1, len(lines))
            self.assertTrue(lines[0].endswith(b" 5551234 AFTER FLOOD"), lines)
            log = log_lines(host)
            self.assertIn("Wrong packet received from 198.18.0.3", log)
            self.assertTrue(any(line.startswith('Wrong packet format: "CLRID:x') for line in log), log[-20:])
            self.assertIsNone(running.poll())
            host.probe("close-popups")
            self.assertEqual(0, host.stop_tellwire(running, timeout=30))


if __name__ == "__main__":
    unittest.main()
