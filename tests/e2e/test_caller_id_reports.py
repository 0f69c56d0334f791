"""Caller ID as modems in the field report it: the line's own message as hex digits (MESG, both
formats), a number on a DDN_NMBR line, a withheld caller, and a report broken on the way, which,
with calls without caller ID shown, is still a call."""
import os
import unittest

from winehost import WineHost, recorded, screenshot, send_to_modem, wait_until


class CallerIdReports(unittest.TestCase):
    def test_reports_become_calls(self):
        with WineHost("reports") as host:
            host.reg_add("role", "REG_DWORD", 2)
            host.reg_add("COM1_enabled", "REG_DWORD", 1)
            host.reg_add("popup_nocid", "REG_DWORD", 1)
            host.reg_add("popup_t", "REG_DWORD", 600)  # every popup still open at the end
            book = host.drive_c("users", "Public", "tellwire.pbook")
            with open(book, "w", encoding="latin-1", newline="") as f:
                f.write("5551234:Alice Example\r\n")
            host.reg_add("pbook", "REG_SZ", r"C:\users\Public\tellwire.pbook")
            host.reg_add("clog", "REG_SZ", r"C:\users\Public\tellwire.log")
            log_file = host.drive_c("users", "Public", "tellwire.log")
            _, record, control = host.attach_modem(1, "--accept", "AT+VCID=1")
            running = host.start_tellwire()
            wait_until(lambda: "AT+VCID=1" in recorded(record, "cmd"), 30, "the modem configured")

            # Each call rings, reports and rings again, 8 s after the one before.
            send_to_modem(control, "line RING", "mdmf 5551234 JOHN PUBLIC", "sleep 2", "line RING", "sleep 8",
                          "line RING", "line DDN_NMBR = 2125550199", "sleep 2", "line RING", "sleep 8",
                          "line RING", "sdmf P", "sleep 2", "line RING", "sleep 8",
                          "line RING", "line MESG = 8009020735353531323334F2", "sleep 2", "line RING")

            def logged():
                if not os.path.exists(log_file):
                    return []
                with open(log_file, encoding="latin-1") as f:
                    return [line.split(" ", 2)[2].rstrip() for line in f.read().splitlines()]

            wait_until(lambda: len(logged()) >= 4 and "COM1: bad caller-ID report" in self.program_log(host), 60,
                       "four calls and the broken report")
            # The log keeps what the line said; the looked-up name rides with the call.
            self.assertEqual(["5551234 Alice Example", "2125550199", "P", "-"], logged())
            shown = [line.split("\t")[0] for line in host.probe("popups").stdout.splitlines() if line.strip()]
            self.assertIn("Alice Example|555 12 34", shown)
            self.assertIn("|Private", shown)
            self.assertIn("|No caller ID", shown)
            screenshot(host, "caller_id_reports")
            host.probe("close-popups")  # the program ends once its popups have gone
            self.assertEqual(0, host.stop_tellwire(running, timeout=30))

    @staticmethod
    def program_log(host):
        return [line[7:] for line in host.probe("log").stdout.splitlines()]


if __name__ == "__main__":
    unittest.main()
