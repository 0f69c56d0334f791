"""One modem shared on a LAN: two copies of the program in two network namespaces on a bridge
(198.18.0.0/24, nothing leaves it). The broadcaster (role 3) announces itself and finds the
listener (role 1) by its reply; the listener rings with the modem and shows the call with its own
phone book's name, in its popup and its caller log."""
import unittest

from winehost import PUBLIC, Lan, WineHost, played, read_bytes, send_to_modem, wait_until, write_wave


class SharedModem(unittest.TestCase):
    def test_calls_and_rings_reach_the_listener(self):
        with Lan() as lan, WineHost("listener", lan, 2) as listener, WineHost("broadcaster", lan, 1) as broadcaster:
            listener.reg_add("role", "REG_DWORD", 1)
            listener.use_public_files(book=["5551234:Bob Listener"])
            wave = listener.drive_c("users", "Public", "ring.wav")
            write_wave(wave)
            listener.reg_add("snd_e", "REG_DWORD", 1)
            listener.reg_add("snd_f", "REG_SZ", PUBLIC + r"\ring.wav")
            broadcaster.reg_add("role", "REG_DWORD", 3)
            broadcaster.reg_add("COM1_enabled", "REG_DWORD", 1)
            _, _, control = broadcaster.attach_modem(1, "--accept", "AT+VCID=1", "--ring-gap", "3")

            heard = listener.start_tellwire()
            sender = broadcaster.start_tellwire()

            def discovered():
                rows = broadcaster.probe("list", "Network", "50").stdout.splitlines()
                return any(row.split("\t")[0] == listener.address for row in rows)
            wait_until(discovered, 30, "the listener on the broadcaster's host list")
            broadcaster.wait_configured(1)

            send_to_modem(control, "call 5551234 JOHN PUBLIC")
            wait_until(lambda: played(wave), 30, "a ring on the listener")
            wait_until(listener.popups, 30, "the call on the listener")
            self.assertEqual(["Bob Listener|555 12 34"], listener.popups())
            log_file = listener.drive_c("users", "Public", "tellwire.log")
            wait_until(lambda: b" 5551234 Bob Listener\r\n" in read_bytes(log_file), 10, "the listener's caller log")
            self.assertTrue(broadcaster.popups())  # shown where the modem is, too

            for host in (listener, broadcaster):
                host.probe("close-popups")
            self.assertEqual(0, listener.stop_tellwire(heard, timeout=30))
            self.assertEqual(0, broadcaster.stop_tellwire(sender, timeout=30))


if __name__ == "__main__":
    unittest.main()
