"""A copy in a folder the user may not write (Program Files for a user who is no administrator):
its calls are logged, and its number formats kept, in the user's own folder, which the stored
"clog" names from then on; nothing is left beside the program. A caller log that then cannot be
written is said once a run, with its path, and the calls are still shown."""
import getpass
import os
import time
import unittest

from winehost import WineHost, send_to_modem, wait_until


class ReadOnlyProgramFolder(unittest.TestCase):
    def test_a_call_is_logged_in_the_users_folder(self):
        with WineHost("readonly", file_rights=True) as host:
            exe = host.install_tellwire(r"C:\Program Files\Tellwire")
            folder = os.path.dirname(host.exe)
            os.chmod(folder, 0o555)
            host.reg_add("role", "REG_DWORD", 2)
            host.reg_add("COM1_enabled", "REG_DWORD", 1)
            _, _, control = host.attach_modem(1, "--accept", "AT+VCID=1")
            running = host.start_tellwire()
            host.wait_configured(1)

            user = f"C:\\users\\{getpass.getuser()}\\AppData\\Roaming\\Quillex\\Tellwire"
            files = host.drive_c("users", getpass.getuser(), "AppData", "Roaming", "Quillex", "Tellwire")
            host.call(control, "5551234", "JOHN PUBLIC", "JOHN PUBLIC|555 12 34", os.path.join(files, "tellwire.log"))
            self.assertEqual(("REG_SZ", user + r"\tellwire.log"), host.reg_query("clog"))
            self.assertTrue(os.path.exists(os.path.join(files, "tellwire.cfg")))  # the formats, written there

            os.chmod(os.path.join(files, "tellwire.log"), 0o444)
            for number, warned in (("5550001", True), ("5550002", False)):
                send_to_modem(control, f"call {number} CALLER")
                wait_until(lambda: host.rows("Caller Log") == int(number[-1]) + 1, 40, f"the row of {number}")
                if warned:
                    box = wait_until(lambda: host.probe("dialog", "Tellwire").stdout, 10, "the warning")
                    self.assertIn(user + r"\tellwire.log", box)
                    self.assertEqual(0, host.probe("dialog-command", "Tellwire", "1").returncode)  # OK
                    wait_until(lambda: host.probe("dialog", "Tellwire").returncode != 0, 10, "the warning closed")
                else:
                    time.sleep(2)  # time for a second warning to show, were there one
                    self.assertNotEqual(0, host.probe("dialog", "Tellwire").returncode, "warned twice")
            host.probe("close-popups")
            self.assertEqual(0, host.stop_tellwire(running))
            self.assertEqual(["tellwire.exe"], os.listdir(folder), exe)


if __name__ == "__main__":
    unittest.main()
