"""Faults around the real program: killed at any moment (during a call, during the close that
rewrites its files, during the saving of its settings), its COM port vanishing and coming back,
its UDP port held by another program. No caller-log line that reached the file is lost, no file is
left half-written, and the program carries on with what still works."""
import os
import subprocess
import time
import unittest

from winehost import IDM_TRAY_EXIT, WineHost, read_bytes, seeded_random, send_to_modem, wait_until, write_bytes

WM_CLOSE = 0x10
LINE = rb"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d %s\r\n$"


class Kills(unittest.TestCase):
    CALLS = 400      # the caller log's lines: its rewrite takes a while, so a kill can fall into it
    CONTACTS = 2000  # the phone book loads in batches: many contacts, and still soon loaded
    HOSTS = "+198.18.0.7/2026-01-02 03:04:05;+198.18.0.8/2026-01-02 03:04:06;"

    def setUp(self):
        self.host = host = self.enterContext(WineHost("kills"))
        self.log_file = host.own_modem(1)
        host.reg_add("hosts", "REG_SZ", self.HOSTS)
        self.book_file = host.drive_c("users", "Public", "tellwire.pbook")
        # As the program writes them, so a rewrite gives the very same bytes back.
        self.log = "".join(f"2026-01-02 03:{i // 60 % 60:02d}:{i % 60:02d} 555{i:04d} Caller Number {i}\r\n"
                           for i in range(self.CALLS)).encode()
        self.book = "".join(f"777{i:04d}:Contact Number {i}\r\n" for i in range(self.CONTACTS)).encode()
        write_bytes(self.log_file, self.log)
        write_bytes(self.book_file, self.book)
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
                self.assertEqual((4, 4), (values[name][0], len(values[name][1])))
            if "settsel" in values:
                self.assertEqual(1, values["settsel"][0])
                self.assertTrue(values["settsel"][1].endswith(b"\0"))

    def appended(self, number, name):
        """The caller log as it was, and one line of that call behind it, whole."""
        text = read_bytes(self.log_file)
        self.assertTrue(text.startswith(self.log))
        self.assertRegex(text[len(self.log):], LINE % f"{number} {name}".encode())
        self.log = text

    def test_killed_at_any_moment(self):
        host = self.host
        # During a call: killed the moment its line is in the file, the line stays, whole.
        running = self.start_loaded()
        host.wait_configured()
        send_to_modem(self.control, "call 5551234 DURING CALL")
        wait_until(lambda: len(read_bytes(self.log_file)) > len(self.log), 30, "the call's line", interval=0.002)
        host.kill(running)
        self.appended("5551234", "DURING CALL")
        self.assert_intact("during a call")
        self.assertIn("hWnd", host.stored_values())  # stale now: the next start must not mind it

        # During the rewrite of each file at the close, while its new version is there.
        for temporary in ("tellwire.log.new", "tellwire.pbook.new"):
            running = self.start_loaded()
            host.probe("command", str(IDM_TRAY_EXIT))
            path = host.drive_c("users", "Public", temporary)
            wait_until(lambda: os.path.exists(path) or running.poll() is not None, 30, "the rewrite", interval=0)
            host.kill(running)
            self.assert_intact(f"rewrite of {temporary}")

        # At random moments of the close, which rewrites both files, then saves the settings.
        rnd = seeded_random("kill moments")
        for _ in range(2):
            running = self.start_loaded()
            host.probe("command", str(IDM_TRAY_EXIT))
            delay = rnd.uniform(0, 2.5)
            time.sleep(delay)  # the moment of the kill, not a wait for anything
            host.kill(running)
            self.assert_intact(f"{delay:.2f} s into the close")

        # A call appended while the window is closed again and again, each close a rewrite of the
        # caller log from its list: the line, once in the file, never leaves it.
        running = self.start_loaded()
        host.wait_configured()
        host.probe("post", str(WM_CLOSE), "0", "0", "10")
        send_to_modem(self.control, "call 5559876 REWRITE RACE")
        wait_until(lambda: b" 5559876 REWRITE RACE\r\n" in read_bytes(self.log_file), 30, "the call appended", 0.002)
        watched_until = time.monotonic() + 3
        while time.monotonic() < watched_until:
            self.assertIn(b" 5559876 REWRITE RACE\r\n", read_bytes(self.log_file), "the call's line left the file")
        host.kill(running)
        self.appended("5559876", "REWRITE RACE")
        self.assert_intact("a call during rewrites")

        # A last, clean run: everything loads, and the close leaves no new version behind.
        running = self.start_loaded()
        self.assertEqual(0, host.stop_tellwire(running, timeout=60))
        self.assert_intact("a clean end")
        self.assertEqual([], [name for name in os.listdir(host.drive_c("users", "Public")) if name.endswith(".new")])


# Holds the program's UDP port in the host's own network namespace, where the program's sockets are.
HOLDER = "import socket, sys; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); " \
         "s.bind(('0.0.0.0', 30307)); print('bound', flush=True); sys.stdin.read()"


class Ports(unittest.TestCase):
    def test_udp_port_taken_and_com_port_lost(self):
        with WineHost("ports") as host:
            log_file = host.own_modem(1)
            holder = subprocess.Popen(["ip", "netns", "exec", host.name, "python3", "-c", HOLDER],
                                      stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
            try:
                self.assertEqual("bound", holder.stdout.readline().strip())
                modem, _, control = host.attach_modem(1, "--accept", "AT+VCID=1", "--ring-gap", "2")
                running = host.start_tellwire()
                # Told in the log once the log is there; the modem side works all the same.
                wait_until(lambda: host.logged("Could not open UDP port 30307: 10048"), 20, "the UDP failure logged")
                host.wait_configured()
                host.call(control, "5551234", "PORT TAKEN", "PORT TAKEN|555 12 34", log_file)

                # The modem's pty goes away (a USB adapter pulled): the monitor lets the port go, and
                # takes it again once it is back, configures the modem, shows the next call.
                host.kill(modem)
                wait_until(lambda: host.logged("COM1: port lost - "), 20, "the lost port logged")
                _, _, control = host.attach_modem(1, "--accept", "AT+VCID=1", "--ring-gap", "2")
                host.wait_configured(times=2, timeout=60)
                host.call(control, "5552345", "PORT BACK", "PORT BACK|555 23 45", log_file)
                self.assertIsNone(running.poll())
                self.assertEqual(0, host.stop_tellwire(running, timeout=30))
            finally:
                holder.stdin.close()
                holder.terminate()
                holder.wait(timeout=10)


if __name__ == "__main__":
    unittest.main()
