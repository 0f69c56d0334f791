"""A copy in a folder the user may not write (Program Files for a user who is no administrator):
its calls are logged, and its number formats kept, in the user's own folder, which the stored
"clog" names from then on; nothing is left beside the program."""
import getpass
import os
import unittest

from winehost import WineHost


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
            self.assertEqual(0, host.stop_tellwire(running))
            self.assertEqual(["tellwire.exe"], os.listdir(folder), exe)


if __name__ == "__main__":
    unittest.main()
