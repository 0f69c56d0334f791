"""One modem shared on a LAN: two copies of the program in two network namespaces on a bridge
(198.18.0.0/24, nothing leaves it). The broadcaster (role 3) announces itself and finds the
listener (role 1) by its reply; the listener rings with the modem and shows the call with its own
phone book's name, in its popup and its caller log. A call from a number on the broadcaster's block
list is hung up on before its second ring and shown nowhere, only kept in the broadcaster's caller
log; when the modem refuses to hang up, it is shown as any other call."""
import unittest

from winehost import PUBLIC, Lan, WineHost, played, read_bytes, send_to_modem, wait_until, write_bytes, write_wave


def modem_events(record):
    """(second, kind, text) of every event in a simulated modem's record."""
    with open(record, encoding="latin-1") as f:
        return [(float(parts[0]), parts[1], parts[2] if len(parts) > 2 else "")
                for parts in (line.rstrip("\n").split(" ", 2) for line in f) if len(parts) > 1]


def sent_times(record, text):
    """When the modem sent something holding text."""
    return [t for t, kind, data in modem_events(record) if kind == "tx" and text in bytes.fromhex(data)]


def command_times(record, command):
    return [t for t, kind, text in modem_events(record) if kind == "cmd" and text == command]


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
            broadcaster.use_public_files()
            write_bytes(broadcaster.drive_c("users", "Public", "tellwire.block"), b"5550000:Sales line\r\n")
            _, record, control = broadcaster.attach_modem(1, "--accept", "AT+VCID=1", "--ring-gap", "3")

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
                wait_until(lambda: not host.popups(), 10, "the popups closed")

            # The blocked caller: ring, report, and four seconds later the second ring, which the
            # modem must not get to. The hang-up's second command comes 1.5 s after the first.
            send_to_modem(control, "line RING", "sleep 0.5", "line NMBR = 5550000", "line NAME = SALES", "sleep 4",
                          "line RING", "sleep 6", "line RING")
            sender_log = broadcaster.drive_c("users", "Public", "tellwire.log")
            wait_until(lambda: b" 5550000 SALES\r\n" in read_bytes(sender_log), 30, "the blocked call in the caller log")
            self.assertTrue(broadcaster.logged("COM1: blocked call from 5550000, hung up"))
            report = sent_times(record, b"NMBR = 5550000")[0]

            def second_ring():
                return [t for t in sent_times(record, b"RING") if t > report]
            wait_until(second_ring, 30, "the second ring of the blocked call")
            hang_up = command_times(record, "ATH1")
            self.assertEqual(1, len(hang_up))
            self.assertLess(hang_up[0], second_ring()[0], "ATH1 before the second ring")
            wait_until(lambda: command_times(record, "ATH0"), 30, "the second hang-up command")
            put_down = command_times(record, "ATH0")[0]
            self.assertGreaterEqual(put_down - hang_up[0], 1.5)
            # Then configured again, as after a call.
            wait_until(lambda: any(t > put_down for t in command_times(record, "AT+VCID=1")), 30, "the modem configured")

            # A modem that refuses to take the line: the call goes on as any other, and the listener
            # gets this one only, though the blocked one came first.
            send_to_modem(control, "refuse ATH1", "call 5550000 SALES")
            wait_until(listener.popups, 40, "the call the modem would not hang up on, on the listener")
            self.assertEqual(["SALES|555 00 00"], listener.popups())
            wait_until(lambda: b" 5550000 SALES\r\n" in read_bytes(log_file), 10, "that call in the listener's log")
            self.assertEqual(1, read_bytes(log_file).count(b" 5550000 "))
            wait_until(broadcaster.popups, 10, "that call where the modem is")
            self.assertEqual(["SALES|555 00 00"], broadcaster.popups())
            self.assertTrue(broadcaster.logged('COM1: the modem refused "ATH1", the blocked call from 5550000 goes on'))
            self.assertEqual(2, read_bytes(sender_log).count(b" 5550000 SALES\r\n"))

            for host in (listener, broadcaster):
                host.probe("close-popups")
            self.assertEqual(0, listener.stop_tellwire(heard, timeout=30))
            self.assertEqual(0, broadcaster.stop_tellwire(sender, timeout=30))


if __name__ == "__main__":
    unittest.main()
