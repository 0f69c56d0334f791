"""A crash of tellwire.exe as a user meets it: a thread of the running program faults, the Crash
Report dialog comes up, the report and the dump are written to the temporary folder, and "Abort
the program" ends the program and removes them."""
import glob
import os
import unittest

from winehost import WineHost, read_bytes, screenshot, wait_until

TITLE = "Tellwire - Crash Report"
ABORT = 12


def temp_files(host):
    return sorted(glob.glob(host.drive_c("users", "*", "Temp", "tlwire.*")))


class CrashReport(unittest.TestCase):
    def test_a_faulting_thread_shows_the_report_and_abort_ends_the_program(self):
        with WineHost("crash") as host:
            running = host.start_tellwire()
            self.assertEqual(0, host.probe("crash-thread").returncode)
            # The memory dump comes first; it takes Wine some seconds.
            wait_until(lambda: host.probe("dialog", TITLE).returncode == 0, 90, "the Crash Report dialog")
            screenshot(host, "crash_report")
            files = temp_files(host)
            self.assertEqual(["tlwire.dmp", "tlwire.txt"], [os.path.basename(path) for path in files])
            report = read_bytes(files[1]).decode("latin-1")
            # The thread started at address 0, which lies in no module.
            self.assertTrue(report.startswith("Application: "), report[:200])
            self.assertIn("tellwire.exe\r\nException Code: 0xC0000005\r\nException Description: ACCESS_VIOLATION\r\n"
                          "Exception Address: 0x0000000000000000\r\n", report)
            self.assertIn("\r\n-- Modules --\r\n", report)

            host.probe("dialog-command", TITLE, str(ABORT))
            self.assertEqual(0, running.wait(timeout=30))
            self.assertEqual([], temp_files(host))


if __name__ == "__main__":
    unittest.main()
