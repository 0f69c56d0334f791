"""A crash of tellwire.exe as a user meets it: a thread of the running program faults, the Crash
Report dialog comes up with the report folded away, "More Information" shows the report, the
fault repeats after "Ignore", and "Abort the program" ends the program at once."""
import glob
import os
import unittest

from winehost import WineHost, screenshot, wait_until

TITLE = "Tellwire - Crash Report"
IGNORE, ABORT, MORE, REPORT = 1, 12, 18, 46


def dialog(host, title):
    """(height, {control id: (enabled, text)}) of the window with that title, or None."""
    result = host.probe("dialog", title)
    if result.returncode != 0:
        return None
    lines = result.stdout.splitlines()
    controls = {}
    for line in lines[1:]:
        ident, enabled, text = line.split("\t", 2)
        controls[int(ident)] = (enabled == "1", text.replace("\\r", "\r").replace("\\n", "\n"))
    return int(lines[0]), controls


def temp_files(host):
    return sorted(os.path.basename(path) for path in glob.glob(host.drive_c("users", "*", "Temp", "tlwire.*")))


class CrashReport(unittest.TestCase):
    def test_a_faulting_thread_shows_the_report_and_abort_ends_the_program(self):
        with WineHost("crash") as host:
            running = host.start_tellwire()
            self.assertEqual(0, host.probe("crash-thread").returncode)
            # The memory dump comes first; it takes Wine some seconds.
            folded, controls = wait_until(lambda: dialog(host, TITLE), 90, "the Crash Report dialog")
            self.assertTrue(controls[36][1].startswith("Tellwire has encountered a problem"))
            self.assertFalse(controls[REPORT][0])
            self.assertEqual(["tlwire.dmp", "tlwire.txt"], temp_files(host))
            screenshot(host, "crash_report_folded")

            # Another process may see the new height a moment after the enabled report.
            host.probe("dialog-command", TITLE, str(MORE))
            unfolded, controls = wait_until(
                lambda: (lambda d: d if d and d[1][REPORT][0] and d[0] > folded + 100 else None)(dialog(host, TITLE)),
                10, "the report unfolded")
            report = controls[REPORT][1]
            # The thread started at address 0, which lies in no module.
            self.assertTrue(report.startswith("Application: "), report[:200])
            self.assertIn("tellwire.exe\r\nException Code: 0xC0000005\r\nException Description: ACCESS_VIOLATION\r\n"
                          "Exception Address: 0x0000000000000000\r\n", report)
            self.assertIn("\r\n-- Modules --\r\n", report)
            screenshot(host, "crash_report_unfolded")

            # "Ignore" runs the faulting code again: the dialog is back, counted.
            host.probe("dialog-command", TITLE, str(IGNORE))
            wait_until(lambda: dialog(host, TITLE + "  [2]"), 90, "the second Crash Report dialog")
            self.assertIsNone(dialog(host, TITLE))

            host.probe("dialog-command", TITLE + "  [2]", str(ABORT))
            self.assertEqual(0, running.wait(timeout=30))
            self.assertEqual([], temp_files(host))


if __name__ == "__main__":
    unittest.main()
