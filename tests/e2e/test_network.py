"""One modem shared on a LAN: two copies of the program in two network namespaces on a bridge
(198.18.0.0/24, nothing leaves it). The broadcaster (role 3) announces itself, learns the listener
from its reply, and sends it every call and ring; the listener (role 1) shows them with its own
phone book's name. Two broadcasters: one steps down."""
import os
import socket
import subprocess
import textwrap
import unittest

from winehost import Lan, WineHost, recorded, send_to_modem, wait_until


def popups(host):
    return [line.split("\t")[0] for line in host.probe("popups").stdout.splitlines() if line.strip()]


def log_lines(host):
    return [line[7:] for line in host.probe("log").stdout.splitlines()]


def file_text(path):
    with open(path, encoding="latin-1", newline="") as f:
        return f.read()


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

            # A withheld number ("P") reaches the listener as the modem reported it. The next call
            # comes once the first one's cycle has ended and the modem is configured again.
            wait_until(lambda: recorded(record, "cmd").count("AT+VCID=1") >= 2, 40, "the modem configured again")
            send_to_modem(control, "call P WITHHELD")
            wait_until(lambda: "WITHHELD|P" in popups(listener), 30, "the withheld call on the listener")
            wait_until(lambda: file_text(log_file).endswith(" P WITHHELD\r\n"), 10, "the withheld call in its log")

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


# A peer on the LAN that is not Tellwire: plain sockets in a namespace of its own.
PEER = textwrap.dedent("""
    import socket, sys, time
    target = (sys.argv[1], 30307)
    main = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    main.bind(("0.0.0.0", 30307))
    other = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    other.bind(("0.0.0.0", 30308))
    for datagram in (b"\\x00\\xff garbage \\x01", b"Other:1>Server\\x00", b"Tellwire:5>CLRID:/NONE\\x00",
                     b"Tellwire:5>CLRID:555\\r1234/CR\\x00", b"Tellwire:5>" + b"9" * 300 + b"\\x00",
                     b"Tellwire:5>Hello\\x00", b"Tellwire:5>CLRID:5551234/PORT\\x00"):
        (other if datagram.endswith(b"PORT\\x00") else main).sendto(datagram, target)
        time.sleep(0.1)
    main.sendto(b"Tellwire:5>Server\\x00", target)
    main.settimeout(10)  # the agent takes one datagram per half-second pass
    try:
        print("reply", main.recvfrom(512)[0])
    except socket.timeout:
        print("no reply")
    main.sendto(b"Tellwire:5>CLRID:5551234/PEER\\x00", target)
""")


class StrangeDatagrams(unittest.TestCase):
    def run_peer(self, lan, target):
        namespace = f"{lan.name}-peer"
        subprocess.run(["ip", "netns", "add", namespace], check=True)
        try:
            subprocess.run(["ip", "-n", namespace, "link", "set", "lo", "up"], check=True)
            lan.join(namespace, 3)
            return subprocess.run(["ip", "netns", "exec", namespace, "python3", "-c", PEER, target],
                                  capture_output=True, text=True, timeout=60, check=True).stdout
        finally:
            subprocess.run(["ip", "netns", "del", namespace], stderr=subprocess.DEVNULL)

    def test_malformed_datagrams_change_nothing(self):
        for role, shown in ((1, ["PEER|555 12 34"]), (2, [])):
            with self.subTest(role=role), Lan() as lan, WineHost("target", lan, 2) as host:
                host.reg_add("role", "REG_DWORD", role)
                running = host.start_tellwire()
                output = self.run_peer(lan, host.address)
                if role == 1:
                    self.assertIn("reply b'Tellwire:", output)  # a listener answers the announcement
                    wait_until(lambda: popups(host), 20, "the one valid call")
                else:
                    self.assertIn("no reply", output)  # role 2 takes no part in the network
                    wait_until(lambda: any("started" in line for line in log_lines(host)), 5, "the log")
                self.assertEqual(shown, popups(host))
                self.assertIsNone(running.poll())
                log = log_lines(host)
                if role == 1:
                    self.assertTrue(any(line.startswith("Packet from 198.18.0.3:30308 ignored") for line in log), log)
                    self.assertTrue(any(line.startswith("Wrong packet") for line in log), log)
                host.probe("close-popups")
                self.assertEqual(0, host.stop_tellwire(running, timeout=30))


if __name__ == "__main__":
    unittest.main()
