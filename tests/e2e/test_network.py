"""One modem shared on a LAN: two copies of the program in two network namespaces on a bridge
(198.18.0.0/24, nothing leaves it). The broadcaster (role 3) announces itself, learns the listener
from its reply, and sends it every call and ring; the listener (role 1) shows them with its own
phone book's name. Two broadcasters: one steps down."""
import os
import unittest

from winehost import Lan, WineHost, send_to_modem, wait_until


def popups(host):
    return [line.split("\t")[0] for line in host.probe("popups").stdout.splitlines() if line.strip()]


def log_lines(host):
    return [line[7:] for line in host.probe("log").stdout.splitlines()]


def host_rows(host):
    return [line.split("\t") for line in host.probe("list", "Network", "50").stdout.splitlines() if line.strip()]


class SharedModem(unittest.TestCase):
    def test_calls_reach_the_listener(self):
        with Lan() as lan, WineHost("listener", lan, 2) as listener, WineHost("broadcaster", lan, 1) as broadcaster:
            listener.reg_add("role", "REG_DWORD", 1)
            book = listener.drive_c("users", "Public", "tellwire.pbook")
            with open(book, "w", encoding="latin-1", newline="") as f:
                f.write("5551234:Bob Listener\r\n")
            listener.reg_add("pbook", "REG_SZ", r"C:\users\Public\tellwire.pbook")
            listener.reg_add("clog", "REG_SZ", r"C:\users\Public\tellwire.log")
            broadcaster.reg_add("role", "REG_DWORD", 3)
            broadcaster.reg_add("COM1_enabled", "REG_DWORD", 1)
            _, record, control = broadcaster.attach_modem(1, "--accept", "AT+VCID=1", "--ring-gap", "3")

            heard = listener.start_tellwire()
            sender = broadcaster.start_tellwire()
            # The broadcaster announces itself; the listener's answer puts it on the host list.
            wait_until(lambda: any(row and row[0] == listener.address for row in host_rows(broadcaster)), 30,
                       "the listener on the broadcaster's host list")
            wait_until(lambda: any("AT+VCID=1" in line for line in log_lines(broadcaster)), 30, "the modem configured")

            send_to_modem(control, "call 5551234 JOHN PUBLIC")
            wait_until(lambda: popups(listener), 30, "the call on the listener")
            self.assertEqual(["Bob Listener|555 12 34"], popups(listener))
            log_file = listener.drive_c("users", "Public", "tellwire.log")
            wait_until(lambda: os.path.exists(log_file), 10, "the listener's caller log")
            with open(log_file, encoding="latin-1") as f:
                self.assertIn(" 5551234 ", f.read())
            self.assertTrue(popups(broadcaster))  # shown where the modem is, too

            for host in (listener, broadcaster):
                host.probe("close-popups")
            self.assertEqual(0, listener.stop_tellwire(heard, timeout=30))
            self.assertEqual(0, broadcaster.stop_tellwire(sender, timeout=30))

    def test_a_second_broadcaster_makes_one_step_down(self):
        with Lan() as lan, WineHost("first", lan, 1) as first, WineHost("second", lan, 2) as second:
            for host in (first, second):
                host.reg_add("role", "REG_DWORD", 3)
            running = [first.start_tellwire()]
            wait_until(lambda: any("started" in line for line in log_lines(first)), 10, "the first copy")
            running.append(second.start_tellwire())
            wait_until(lambda: any(popups(h) for h in (first, second)), 40, "a copy stepping down")
            stepped = first if popups(first) else second
            self.assertEqual(["Error|More than one server is not allowed!"], popups(stepped))
            stepped.probe("close-popups")
            # It stopped itself (CMD_STOP): the tray's Exit still ends it, and "role" is 1 from now on.
            process = running[0] if stepped is first else running[1]
            stepped.probe("command", "11")
            self.assertEqual(0, process.wait(timeout=40))
            self.assertEqual(("REG_DWORD", "0x1"), stepped.reg_query("role"))
            other = second if stepped is first else first
            other.probe("close-popups")
            self.assertEqual(0, other.stop_tellwire(running[1] if stepped is first else running[0], timeout=30))


if __name__ == "__main__":
    unittest.main()
