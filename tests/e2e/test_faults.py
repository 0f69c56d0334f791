"""Faults around the real program: killed at any moment (during a call, during the close that
rewrites its files, during the saving of its settings), its COM port vanishing and coming back,
its UDP port held by another program. No caller-log line that reached the file is lost, no file is
left half-written, and the program carries on with what still works."""
import os
import random
import subprocess
import time
import unittest

from winehost import WineHost, recorded, send_to_modem, wait_until

CLOG = r"C:\users\Public\tellwire.log"
PBOOK = r"C:\users\Public\tellwire.pbook"
WM_CLOSE = 0x10
IDM_TRAY_EXIT = 11


def popups(host):
    return [line.split("\t")[0] for line in host.probe("popups").stdout.splitlines() if line.strip()]


def log_lines(host):
    return [line.rstrip("\r")[7:] for line in host.probe("log").stdout.split("\n") if line.strip("\r")]


def read_bytes(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return b""


def configured(record):
    return recorded(record, "cmd").count("AT+VCID=1")


class Kills(unittest.TestCase):
    CALLS = 400      # the caller log's lines: its rewrite takes a while, so a kill can fall into it
    CONTACTS = 2000  # the phone book loads in batches: many contacts, and still soon loaded
    HOSTS = "+198.18.0.7/2026-01-02 03:04:05;+198.18.0.8/2026-01-02 03:04:06;"

    def setUp(self):
        self.host = self.enterContext(WineHost("kills"))
        host = self.host
        host.reg_add("role", "REG_DWORD", 2)
        host.reg_add("COM1_enabled", "REG_DWORD", 1)
        host.reg_add("clog", "REG_SZ", CLOG)
        host.reg_add("pbook", "REG_SZ", PBOOK)
        host.reg_add("hosts", "REG_SZ", self.HOSTS)
        self.log_file = host.drive_c("users", "Public", "tellwire.log")
        self.book_file = host.drive_c("users", "Public", "tellwire.pbook")
        # As the program writes them, so a rewrite gives the very same bytes back.
        self.log = "".join(f"2026-01-02 03:{i // 60 % 60:02d}:{i % 60:02d} 555{i:04d} Caller Number {i}\r\n"
                           for i in range(self.CALLS)).encode()
        self.book = "".join(f"777{i:04d}:Contact Number {i}\r\n" for i in range(self.CONTACTS)).encode()
        with open(self.log_file, "wb") as f:
            f.write(self.log)
        with open(self.book_file, "wb") as f:
            f.write(self.book)
        _, self.record, self.control = host.attach_modem(1, "--accept", "AT+VCID=1", "--ring-gap", "2")

    def start_loaded(self):
        """Starts the program (a stale "hWnd" of the copy killed before must not stop it) and waits
        until both lists hold their files."""
        running = self.host.start_tellwire()
        rows = self.log.count(b"\n")
        wait_until(lambda: self.host.rows("Caller Log") == rows and self.host.rows("Phone Book") == self.CONTACTS,
                   60, "both files loaded")
        return running

    def assert_intact(self, moment):
        """After a kill: each file is the old one or its rewrite, whole (the same bytes either way);
        each setting is whole."""
        with self.subTest(moment=moment):
            self.assertEqual(self.log, read_bytes(self.log_file))
            self.assertEqual(self.book, read_bytes(self.book_file))
            values = self.host.stored_values()
            kind, hosts = values["hosts"]
            self.assertEqual(1, kind)
            self.assertTrue(hosts.endswith(b";\0") and b"+198.18.0.7/" in hosts and b"+198.18.0.8/" in hosts, hosts)
            for name in ("role", "COM1_enabled"):
                self.assertEqual(4, values[name][0])
                self.assertEqual(4, len(values[name][1]))
            if "settsel" in values:
                self.assertEqual(1, values["settsel"][0])
                self.assertTrue(values["settsel"][1].endswith(b"\0"))

    def kill_during_a_call(self):
        host = self.host
        before = configured(self.record)
        running = self.start_loaded()
        wait_until(lambda: configured(self.record) > before, 30, "the modem configured")
        time.sleep(1)
        send_to_modem(self.control, "call 5551234 DURING CALL")
        # Killed the moment its line is in the file: the line stays, whole.
        wait_until(lambda: len(read_bytes(self.log_file)) > len(self.log), 30, "the call's line", interval=0.002)
        host.kill(running)
        text = read_bytes(self.log_file)
        self.assertTrue(text.startswith(self.log))
        line = text[len(self.log):]
        self.assertRegex(line, rb"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d 5551234 DURING CALL\r\n$")
        self.log = text
        self.assert_intact("during a call")
        self.assertIn("hWnd", self.host.stored_values())  # stale now: the next start must not mind it

    def kill_during_rewrite(self, temporary):
        host = self.host
        running = self.start_loaded()
        host.probe("command", str(IDM_TRAY_EXIT))
        path = host.drive_c("users", "Public", temporary)
        # The rewrite is going on while its new version is there.
        wait_until(lambda: os.path.exists(path) or running.poll() is not None, 30, "the rewrite", interval=0)
        host.kill(running)
        print(f"killed during the rewrite of {temporary}: {os.path.exists(path)}")
        self.assert_intact(f"rewrite of {temporary}")

    def kill_at_random_moments(self, rnd, times):
        for _ in range(times):
            running = self.start_loaded()
            self.host.probe("command", str(IDM_TRAY_EXIT))
            # The close rewrites both files, then saves the settings ("hosts", "settsel", "hWnd").
            delay = rnd.uniform(0, 2.5)
            time.sleep(delay)
            self.host.kill(running)
            self.assert_intact(f"{delay:.2f} s into the close")

    def call_during_rewrites(self):
        """A call appended while the window is closed again and again, each close a rewrite of the
        caller log from its list: the line, once in the file, never leaves it."""
        host = self.host
        before = configured(self.record)
        running = self.start_loaded()
        wait_until(lambda: configured(self.record) > before, 30, "the modem configured")
        time.sleep(1)
        host.probe("post", str(WM_CLOSE), "0", "0", "10")
        send_to_modem(self.control, "call 5559876 REWRITE RACE")
        seen = None
        lost = 0
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            text = read_bytes(self.log_file)
            if b" 5559876 REWRITE RACE\r\n" in text:
                seen = seen or time.monotonic()
            elif seen is not None:
                lost += 1
            if seen is not None and time.monotonic() - seen > 3:
                break
        self.assertIsNotNone(seen, "the call was never appended")
        host.kill(running)
        self.assertEqual(0, lost, "the call's line left the file for a while")
        text = read_bytes(self.log_file)
        self.assertTrue(text.startswith(self.log))
        self.assertRegex(text[len(self.log):], rb"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d 5559876 REWRITE RACE\r\n$")
        self.log = text
        self.assert_intact("a call during rewrites")

    def test_killed_at_any_moment(self):
        self.kill_during_a_call()
        for temporary in ("tellwire.log.new", "tellwire.pbook.new"):
            self.kill_during_rewrite(temporary)
        self.kill_at_random_moments(random.Random(), 2)
        self.call_during_rewrites()
        # A last, clean run: everything loads, and the close leaves no new version behind.
        running = self.start_loaded()
        self.assertEqual(0, self.host.stop_tellwire(running, timeout=60))
        self.assert_intact("a clean end")
        leftovers = [name for name in os.listdir(self.host.drive_c("users", "Public")) if name.endswith(".new")]
        self.assertEqual([], leftovers)


# Holds the program's UDP port in the host's own network namespace, where the program's sockets are.
HOLDER = "import socket, sys; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); " \
         "s.bind(('0.0.0.0', 30307)); print('bound', flush=True); sys.stdin.read()"


class Ports(unittest.TestCase):
    def call(self, host, control, number, name, shown_number):
        log_file = host.drive_c("users", "Public", "tellwire.log")
        before = read_bytes(log_file)
        send_to_modem(control, f"call {number} {name}")
        wait_until(lambda: popups(host), 40, "the call's popup")
        self.assertEqual([f"{name}|{shown_number}"], popups(host))
        wait_until(lambda: read_bytes(log_file) != before, 10, "the caller-log line")
        self.assertTrue(read_bytes(log_file).endswith(f" {number} {name}\r\n".encode()))
        host.probe("close-popups")
        wait_until(lambda: not popups(host), 10, "the popup closed")

    def test_udp_port_taken_and_com_port_lost(self):
        with WineHost("ports") as host:
            host.reg_add("role", "REG_DWORD", 2)
            host.reg_add("COM1_enabled", "REG_DWORD", 1)
            host.reg_add("clog", "REG_SZ", CLOG)
            host.reg_add("pbook", "REG_SZ", PBOOK)
            holder = subprocess.Popen(["ip", "netns", "exec", host.name, "python3", "-c", HOLDER],
                                      stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
            try:
                self.assertEqual("bound", holder.stdout.readline().strip())
                modem, record, control = host.attach_modem(1, "--accept", "AT+VCID=1", "--ring-gap", "2")
                running = host.start_tellwire()
                # Told in the log once the log is there; the modem side works all the same.
                wait_until(lambda: any(line.startswith("Could not open UDP port 30307: 10048")
                                       for line in log_lines(host)), 20, "the UDP failure logged")
                wait_until(lambda: configured(record) > 0, 30, "the modem configured")
                time.sleep(1)  # its reply read: a ring now is not taken for part of the reply
                self.call(host, control, "5551234", "PORT TAKEN", "555 12 34")

                # The modem's pty goes away (a USB adapter pulled): the monitor lets the port go...
                host.kill(modem)
                wait_until(lambda: any(line.startswith("COM1: port lost - ") for line in log_lines(host)), 20,
                           "the lost port logged")
                # ...and takes it again once it is back, configures the modem, shows the next call.
                before = configured(record)
                _, record, control = host.attach_modem(1, "--accept", "AT+VCID=1", "--ring-gap", "2")
                wait_until(lambda: configured(record) > before, 60, "the modem configured again")
                time.sleep(1)
                self.call(host, control, "5552345", "PORT BACK", "555 23 45")
                self.assertIsNone(running.poll())
                self.assertEqual(0, host.stop_tellwire(running, timeout=30))
            finally:
                holder.stdin.close()
                holder.terminate()
                holder.wait(timeout=10)


if __name__ == "__main__":
    unittest.main()
