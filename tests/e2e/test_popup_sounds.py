"""The Popup Window and Sounds pages as a user meets them, and the ring sound end to end: a ring
has the running copy play the chosen wave file. The bench has no audio device, so the sound is
seen, not heard: the system's player opens the file and reads its header before it asks for a
device, and the read moves the file's access time (set back to 2001 first) to now."""
import os
import struct
import time
import unittest

from winehost import WineHost, screenshot, wait_until

CMD_RING = 2754
LONG_AGO = 978307200  # 2001-01-01


def write_wave(path):
    """A tenth of a second of 8-bit mono silence."""
    samples = 800
    header = b"RIFF" + struct.pack("<I", 36 + samples) + b"WAVEfmt " + struct.pack("<IHHIIHH", 16, 1, 1, 8000, 8000, 1, 8)
    with open(path, "wb") as f:
        f.write(header + b"data" + struct.pack("<I", samples) + b"\x80" * samples)
    os.utime(path, (LONG_AGO, time.time()))


def read_since_long_ago(path):
    return os.stat(path).st_atime > LONG_AGO + 86400


def shown_page(host):
    return host.probe("page").stdout.strip()


class PopupAndSounds(unittest.TestCase):
    def test_pages_and_the_ring_sound(self):
        with WineHost("sounds") as host:
            wave = host.drive_c("users", "Public", "ring.wav")
            write_wave(wave)
            with open(wave, "rb") as f:
                f.read(12)
            if not read_since_long_ago(wave):
                self.skipTest("the disk does not record reads in the access time")
            os.utime(wave, (LONG_AGO, time.time()))
            host.reg_add("snd_e", "REG_DWORD", 1)
            host.reg_add("snd_f", "REG_SZ", r"C:\users\Public\ring.wav")
            running = host.start_tellwire()

            host.probe("tray", "left")
            wait_until(lambda: host.probe("visible").stdout.strip() == "1", 10, "the main window shown")
            for page, shot in (("Popup Window", "popup_page"), ("Sounds", "sounds_page")):
                self.assertEqual(0, host.probe("select", page).returncode)
                wait_until(lambda: shown_page(host) == page + "\t1", 10, f"the {page} page shown")
                time.sleep(0.5)  # let it paint
                screenshot(host, shot)

            self.assertFalse(read_since_long_ago(wave), "played before any ring")
            self.assertEqual(0, host.probe("command", str(CMD_RING)).returncode)
            wait_until(lambda: read_since_long_ago(wave), 10, "the ring sound read by the system's player")

            self.assertEqual(0, host.stop_tellwire(running))
            # Nothing was changed on the pages, so nothing new was stored.
            self.assertIsNone(host.reg_query("popup_e"))
            self.assertIsNone(host.reg_query("popup_t"))
            self.assertEqual(("REG_SZ", r"C:\users\Public\ring.wav"), host.reg_query("snd_f"))


if __name__ == "__main__":
    unittest.main()
