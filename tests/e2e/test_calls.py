"""Calls from a modem to the screen, once through the whole program: the port monitor configures
the simulated modem on COM1; callers 8 s apart (sooner than the 12 s of silence that end a call)
each get their popup with the phone book's name and the formatted number, a ring sound and a
caller-log line, in order; a fax program's window makes the monitor let go of the port until the
window closes; and the tray's Exit ends the program and lets go of both ports, also while a silent
modem switched on late at COM2 keeps a command waiting."""
import os
import unittest

from winehost import PUBLIC, WineHost, played, read_bytes, recorded, send_to_modem, wait_until, write_wave


class Calls(unittest.TestCase):
    def test_calls_fax_window_and_exit(self):
        with WineHost("calls") as host:
            log_file = host.own_modem(1, book=["5551234:Alice Example"])
            host.reg_add("COM2_enabled", "REG_DWORD", 1)
            host.reg_add("COM1_wnd", "REG_SZ", "fax")
            wave = host.drive_c("users", "Public", "ring.wav")
            write_wave(wave)
            host.reg_add("snd_e", "REG_DWORD", 1)
            host.reg_add("snd_f", "REG_SZ", PUBLIC + r"\ring.wav")
            host.reg_add("popup_t", "REG_DWORD", 600)  # every popup stays until it is closed
            _, record, control = host.attach_modem(1, "--accept", "AT+VCID=1", "--ring-gap", "3")
            running = host.start_tellwire()
            host.wait_configured(1)
            self.assertFalse(played(wave), "a sound before any ring")

            send_to_modem(control, "call 5551234 JOHN PUBLIC", "sleep 8", "call 2125550199 B SAMPLE", "sleep 8.5",
                          "call 7775555")
            wait_until(host.popups, 20, "the first popup")
            self.assertEqual(["Alice Example|555 12 34"], host.popups())  # the phone book's name, not the modem's
            wait_until(lambda: played(wave), 10, "the ring sound read by the system's player")

            def lines():
                return read_bytes(log_file).decode("latin-1").splitlines()
            wait_until(lambda: len(lines()) >= 3, 60, "three calls in the caller log")
            self.assertEqual(["5551234", "2125550199", "7775555"], [line.split(" ")[2] for line in lines()])
            self.assertTrue(lines()[0].endswith(" 5551234 Alice Example"), lines()[0])
            wait_until(lambda: len(host.popups()) == 3, 10, "three popups")
            self.assertEqual(sorted(["Alice Example|555 12 34", "B SAMPLE|(212) 555 01 99", "|777 55 55"]),
                             sorted(host.popups()))
            host.probe("close-popups")

            # A window whose title holds "fax" takes the port from the monitor while it is open.
            opens = len(recorded(record, "open"))
            fax = host.start(os.environ["TW_PROBE"], "window", "Send a FAX now", "5")
            wait_until(lambda: host.logged('COM1: window found: "Send a FAX now"'), 20, "the window found")
            wait_until(lambda: recorded(record, "close"), 10, "the port let go")
            fax.wait(timeout=60)
            wait_until(lambda: host.logged('COM1: window closed: "Send a FAX now"'), 40, "the window closed")
            wait_until(lambda: len(recorded(record, "open")) > opens, 20, "the port taken back")

            # A silent modem switched on at COM2: Exit while its first command waits for an answer
            # that never comes. (A monitor killed after waiting for it kept its port's lock for ever.)
            _, silent, _ = host.attach_modem(2, "--dead")
            wait_until(lambda: "ATZ" in recorded(silent, "cmd"), 60, "a command to the silent modem")
            self.assertEqual(0, host.stop_tellwire(running, timeout=60))
            wait_until(lambda: recorded(silent, "close"), 10, "COM2 let go at the end")
            wait_until(lambda: len(recorded(record, "close")) >= 2, 10, "COM1 let go at the end")


if __name__ == "__main__":
    unittest.main()
