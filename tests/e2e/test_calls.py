"""A call from a modem to the screen: the port monitor configures the simulated modem on COM1,
a scripted call becomes one popup with the phone book's name and the formatted number and one
caller-log line, the cycle ends 12 s later, and a fax program's window makes the monitor let go of
the port until the window closes."""
import os
import time
import unittest

from winehost import WineHost, recorded, screenshot, send_to_modem, wait_until


def popups(host):
    return [line.split("\t")[0] for line in host.probe("popups").stdout.splitlines() if line.strip()]


def log_lines(host):
    return [line[7:] for line in host.probe("log").stdout.splitlines()]


class Calls(unittest.TestCase):
    def prepare(self, host):
        """Role 2 (the own modem only: nothing is sent on the network), COM1 monitored, a phone book."""
        host.reg_add("role", "REG_DWORD", 2)
        host.reg_add("COM1_enabled", "REG_DWORD", 1)
        book = host.drive_c("users", "Public", "tellwire.pbook")
        with open(book, "w", encoding="latin-1", newline="") as f:
            f.write("5551234:Alice Example\r\n")
        host.reg_add("pbook", "REG_SZ", r"C:\users\Public\tellwire.pbook")
        host.reg_add("clog", "REG_SZ", r"C:\users\Public\tellwire.log")
        return host.drive_c("users", "Public", "tellwire.log")

    def test_a_scripted_call_reaches_the_screen(self):
        with WineHost("call") as host:
            log_file = self.prepare(host)
            _, record, control = host.attach_modem(1, "--accept", "AT+VCID=1", "--ring-gap", "3")
            running = host.start_tellwire()
            # Configured: the init command, then caller-ID commands until one is taken.
            wait_until(lambda: len(recorded(record, "cmd")) >= 3, 30, "the modem configured")
            time.sleep(1)
            self.assertEqual(["ATZ", "AT#CID=1", "AT+VCID=1"], recorded(record, "cmd"))

            send_to_modem(control, "call 5551234 JOHN PUBLIC")
            wait_until(lambda: popups(host), 20, "a popup")
            self.assertEqual(["Alice Example|555 12 34"], popups(host))
            screenshot(host, "call_popup")
            wait_until(lambda: os.path.exists(log_file), 10, "the caller log file")
            with open(log_file, encoding="latin-1") as f:
                lines = f.read().splitlines()
            self.assertEqual(1, len(lines))
            # The record carries the phone book's name (cut to 15) from the recogniser's lookup; the
            # number as the modem sent it.
            self.assertTrue(lines[0].endswith(" 5551234 Alice Example"), lines[0])
            rings = [line for line in log_lines(host) if line == "COM1: RING"]
            self.assertGreaterEqual(len(rings), 2)

            # 12 s after the modem fell silent the cycle ends and the modem is configured again.
            wait_until(lambda: "COM1: call finished" in log_lines(host), 30, "the end of the call")
            wait_until(lambda: recorded(record, "cmd").count("ATZ") >= 2, 20, "the modem configured again")
            self.assertLessEqual(len(popups(host)), 1)  # one call, one popup

            host.probe("close-popups")  # a double click on each, as a user would
            started = time.monotonic()
            self.assertEqual(0, host.stop_tellwire(running, timeout=30))
            self.assertLess(time.monotonic() - started, 10)
            wait_until(lambda: recorded(record, "close"), 10, "the port closed at the end")

    def test_callers_in_quick_succession(self):
        """Callers 8 s apart, sooner than the 12 s of silence that end a call: each call gets its
        own caller-log line, in order."""
        with WineHost("succession") as host:
            log_file = self.prepare(host)
            _, record, control = host.attach_modem(1, "--accept", "AT+VCID=1", "--ring-gap", "3")
            running = host.start_tellwire()
            wait_until(lambda: "AT+VCID=1" in recorded(record, "cmd"), 30, "the modem configured")
            send_to_modem(control, "call 5551234", "sleep 8", "call 2125550199 B SAMPLE", "sleep 8.5", "call 7775555")

            def numbers():
                if not os.path.exists(log_file):
                    return []
                with open(log_file, encoding="latin-1") as f:
                    return [line.split(" ")[2] for line in f.read().splitlines() if line.count(" ") >= 2]
            wait_until(lambda: len(numbers()) >= 3, 60, "three calls in the caller log")
            self.assertEqual(["5551234", "2125550199", "7775555"], numbers())
            self.assertEqual(0, host.stop_tellwire(running, timeout=30))

    def test_exit_while_the_modem_is_silent_mid_command(self):
        """A modem that never answers keeps a command waiting for 10 s; the tray's Exit ends the
        program at once all the same, and the port is let go."""
        with WineHost("silent") as host:
            self.prepare(host)
            _, record, _ = host.attach_modem(1, "--dead")
            running = host.start_tellwire()
            wait_until(lambda: "ATZ" in recorded(record, "cmd"), 30, "the first command sent")
            started = time.monotonic()
            self.assertEqual(0, host.stop_tellwire(running, timeout=60))
            elapsed = time.monotonic() - started
            print(f"exit took {elapsed:.2f} s, the tray command's own start included")
            # Killed only after 5 s, the monitor used to leave its port's lock held for ever.
            self.assertLess(elapsed, 4)
            wait_until(lambda: recorded(record, "close"), 10, "the port closed at the end")

    def test_a_fax_program_takes_the_port(self):
        with WineHost("fax") as host:
            self.prepare(host)
            host.reg_add("COM1_wnd", "REG_SZ", "fax")
            _, record, _ = host.attach_modem(1, "--accept", "AT+VCID=1")
            running = host.start_tellwire()
            wait_until(lambda: "AT+VCID=1" in recorded(record, "cmd"), 30, "the modem configured")
            opens = len(recorded(record, "open"))
            fax = host.start(os.environ["TW_PROBE"], "window", "Send a FAX now", "30")
            wait_until(lambda: any(line.startswith('COM1: window found: "Send a FAX now"') for line in log_lines(host)),
                       20, "the window found")
            wait_until(lambda: recorded(record, "close"), 10, "the port let go")
            fax.wait(timeout=60)
            wait_until(lambda: any(line.startswith('COM1: window closed: "Send a FAX now"') for line in log_lines(host)),
                       40, "the window closed")
            wait_until(lambda: len(recorded(record, "open")) > opens, 20, "the port taken back")
            self.assertEqual(0, host.stop_tellwire(running, timeout=30))


if __name__ == "__main__":
    unittest.main()
