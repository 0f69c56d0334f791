"""One computer for an end-to-end test: a Wine prefix copied from the bench's template, with its
wineserver started inside a network namespace of its own (only "lo"), so that every socket the
program opens lives there. Everything is removed again when the test ends, also when it fails.

Environment (set by CTest): TW_BENCH (the bench directory with its "env" file), TW_EXE
(tellwire.exe), TW_PROBE (probe.exe).
"""
import io
import itertools
import os
import random
import re
import shlex
import shutil
import signal
import struct
import subprocess
import tempfile
import time

BENCH = os.environ.get("TW_BENCH", "")
NATIVE = os.environ.get("TW_NATIVE", "")
SIM_MODEM = os.path.join(NATIVE, "sim_modem") if NATIVE else ""
EXE = os.environ.get("TW_EXE", "")
PROBE = os.environ.get("TW_PROBE", "")
PRODUCT_KEY = r"HKCU\Software\Quillex\Tellwire v1.2"
MAKER_KEY = r"HKCU\Software\Quillex"
PUBLIC = r"C:\users\Public"
IDM_TRAY_EXIT, CMD_STOP = 11, 2753

_serial = itertools.count()


def bench_environment():
    """The variables the bench exported for Wine (display, overrides, template)."""
    env = dict(os.environ)
    with open(os.path.join(BENCH, "env"), encoding="utf-8") as f:
        script = f.read()
    out = subprocess.run(["bash", "-c", script + "\nenv -0"], capture_output=True, check=True, env=env)
    for item in out.stdout.split(b"\0"):
        if b"=" in item:
            key, value = item.split(b"=", 1)
            env[key.decode()] = value.decode()
    return env


def wait_until(predicate, timeout, what, interval=0.1):
    """Polls predicate until it returns something true; fails the test with what after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


class Lan:
    """A small LAN for several hosts: a bridge in a namespace of its own, each host joined to it by a
    veth pair with an address in 198.18.0.0/24 and its default route on that pair, so that even
    255.255.255.255 stays on the bridge. Removed with everything on it."""

    def __init__(self):
        self.serial = next(_serial)
        self.name = f"tw-lan-{os.getpid()}-{self.serial}"
        self.made = False

    def __enter__(self):
        try:
            subprocess.run(["ip", "netns", "add", self.name], check=True)
            self.made = True
            for command in (["link", "set", "lo", "up"], ["link", "add", "br0", "type", "bridge"],
                            ["link", "set", "br0", "up"]):
                subprocess.run(["ip", "-n", self.name, *command], check=True)
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        if self.made:
            subprocess.run(["ip", "netns", "del", self.name], stderr=subprocess.DEVNULL)
            self.made = False

    def join(self, namespace, index):
        """Gives namespace the address 198.18.0.<index> on the bridge."""
        host_end, bridge_end = f"tw{self.serial}h{index}", f"tw{self.serial}b{index}"
        subprocess.run(["ip", "link", "add", host_end, "netns", namespace, "type", "veth", "peer", "name", bridge_end,
                        "netns", self.name], check=True)
        for command in (["addr", "add", f"198.18.0.{index}/24", "dev", host_end], ["link", "set", host_end, "up"],
                        ["route", "add", "default", "dev", host_end]):
            subprocess.run(["ip", "-n", namespace, *command], check=True)
        subprocess.run(["ip", "-n", self.name, "link", "set", bridge_end, "master", "br0"], check=True)
        subprocess.run(["ip", "-n", self.name, "link", "set", bridge_end, "up"], check=True)
        return f"198.18.0.{index}"


class WineHost:
    def __init__(self, name="host", lan=None, index=None, file_rights=False):
        self.name = f"tw-{name}-{os.getpid()}-{next(_serial)}"
        self.lan = lan
        self.index = index
        self.address = None
        self.prefix = os.path.join(BENCH, "hosts", self.name)
        self.env = bench_environment()
        self.env["WINEPREFIX"] = self.prefix
        self.processes = []
        self.namespace_made = False
        self.exe = EXE
        self.file_rights = file_rights

    def __enter__(self):
        try:
            self._open()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def _open(self):
        subprocess.run(["ip", "netns", "add", self.name], check=True)
        self.namespace_made = True
        subprocess.run(["ip", "-n", self.name, "link", "set", "lo", "up"], check=True)
        if self.lan is not None:
            self.address = self.lan.join(self.name, self.index)
        os.makedirs(os.path.dirname(self.prefix), exist_ok=True)
        subprocess.run(["cp", "-a", self.env["TW_TEMPLATE"], self.prefix], check=True)
        server = ["wineserver", "-p"]
        if self.file_rights:
            # The server opens every file for the prefix's programs. As root it may write anywhere;
            # without these two capabilities it keeps to a folder's rights, as Windows does for a
            # user who is no administrator.
            server = ["setpriv", "--bounding-set", "-dac_override,-dac_read_search", *server]
        with open(self.prefix + ".server.log", "wb") as log:
            subprocess.run(["ip", "netns", "exec", self.name, *server], env=self.env,
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=log, check=True)
        # Warm-up: Wine's services start once, here. They keep the output they inherit open for
        # as long as they run, so they get none of ours.
        subprocess.run(["wine", "cmd", "/c", "exit", "0"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60, check=True)
        # The desktop process starts with the first program that asks for a window list. Started
        # by a probe whose output we read, it would hold that pipe open and the read would hang.
        subprocess.run(["wine", PROBE, "menus"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60, check=True)

    def attach_modem(self, com, *options):
        """Starts a simulated modem as COM<com> of this prefix; returns (process, record, control)."""
        link = os.path.join(self.prefix, f"modem{com}.tty")
        record = os.path.join(self.prefix, f"modem{com}.rec")
        control = os.path.join(self.prefix, f"modem{com}.ctl")
        process = subprocess.Popen([SIM_MODEM, "--link", link, "--com", str(com), "--record", record,
                                    "--control", control, *options], env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.processes.append(process)
        ready = process.stdout.readline()
        assert ready.startswith("ready"), f"the simulated modem did not start: {ready!r}"
        return process, record, control

    def close(self):
        for process in self.processes:
            if process.poll() is None and process.args and process.args[0] == SIM_MODEM:
                process.terminate()
        if os.path.isdir(self.prefix):
            subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for process in self.processes:
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
            if process.stdout is not None:
                process.stdout.close()
        if self.namespace_made:
            subprocess.run(["ip", "netns", "del", self.name], stderr=subprocess.DEVNULL)
            self.namespace_made = False
        shutil.rmtree(self.prefix, ignore_errors=True)
        for leftover in (self.prefix + ".server.log",):
            if os.path.exists(leftover):
                os.remove(leftover)

    # Running programs ---------------------------------------------------------------------

    def wine(self, *args, timeout=60):
        """Runs a Wine command to its end; returns the CompletedProcess (text output).

        The output goes to files, not pipes: a program that is the first of its prefix to need
        the desktop starts explorer.exe, which inherits the program's output handles and keeps
        them open for as long as the prefix runs, so a pipe would never reach its end."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            done = subprocess.run(["wine", *args], env=self.env, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                  timeout=timeout)
            return subprocess.CompletedProcess(done.args, done.returncode, _text_of(out), _text_of(err))

    def start(self, *args):
        process = subprocess.Popen(["wine", *args], env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def install_tellwire(self, folder=r"C:\Tellwire"):
        """Copies tellwire.exe into a folder of this prefix and runs it from there from now on, so
        that the files it keeps beside itself (number formats, default log and phone book) are this
        host's own. Returns the program's Windows path."""
        target = os.path.join(self.drive_c(*folder[3:].split("\\")), "tellwire.exe")
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(EXE, target)
        self.exe = target
        return folder + "\\tellwire.exe"

    def tellwire(self, *args, timeout=60):
        """Runs tellwire.exe to its end and returns its exit code."""
        return subprocess.run(["wine", self.exe, *args], env=self.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout).returncode

    def start_tellwire(self, *args):
        """Starts tellwire.exe and waits until its main window has registered itself."""
        process = self.start(self.exe, *args)
        wait_until(lambda: process.poll() is not None or self.probe("main-window").returncode == 0, 30,
                   "the main window of tellwire.exe")
        if process.poll() is not None:
            raise AssertionError(f"tellwire.exe ended at start with exit code {process.returncode}")
        return process

    def probe(self, *args):
        return self.wine(PROBE, *args)

    def stop_tellwire(self, process, timeout=20):
        """Ends a running copy the way a user does (tray menu Exit); returns its exit code."""
        assert self.probe("command", "11").returncode == 0, "no running copy to stop"
        return process.wait(timeout=timeout)

    @staticmethod
    def kill(process):
        """Kills a program this host started, by its pid, the way a crash or a power cut ends it:
        no clean-up of its own. (`wine` runs the Windows program in the process it started.)"""
        if process.poll() is None:
            os.kill(process.pid, signal.SIGKILL)
        process.wait(timeout=30)

    def rows(self, page, control=50):
        """The number of rows of a list view on a page of the running copy; -1 when there is none."""
        out = self.probe("rows", page, str(control)).stdout.strip()
        return int(out) if out.lstrip("-").isdigit() else -1

    def popups(self):
        """The text of every popup, its two lines joined by "|"."""
        return [line.split("\t")[0] for line in self.probe("popups").stdout.splitlines() if line.strip()]

    def log_lines(self):
        """The program log's lines without their time prefix. Only "\n" ends a line here: a modem's
        garbage holds the other characters Python breaks at."""
        return [line.rstrip("\r")[7:] for line in self.probe("log").stdout.split("\n") if line.strip("\r")]

    def logged(self, prefix):
        return any(line.startswith(prefix) for line in self.log_lines())

    def own_modem(self, com=1, book=None):
        """Role 2 (the own modem only: nothing is sent on the network) with COM<com> monitored, the
        caller log and phone book in the public folder, the phone book holding the lines of book.
        Returns the caller log's path."""
        self.reg_add("role", "REG_DWORD", 2)
        self.reg_add(f"COM{com}_enabled", "REG_DWORD", 1)
        self.use_public_files(book)
        return self.drive_c("users", "Public", "tellwire.log")

    def use_public_files(self, book=None):
        self.reg_add("clog", "REG_SZ", PUBLIC + r"\tellwire.log")
        self.reg_add("pbook", "REG_SZ", PUBLIC + r"\tellwire.pbook")
        if book is not None:
            write_bytes(self.drive_c("users", "Public", "tellwire.pbook"), "".join(l + "\r\n" for l in book).encode())

    def wait_configured(self, com=1, times=1, timeout=30):
        """Waits until the port monitor has had the modem's answer to the caller-ID command the given
        number of times in this run, so that a ring played now is not read as part of that answer."""
        answer = f'COM{com}: "AT+VCID=1" ==> '
        wait_until(lambda: sum(line.startswith(answer) for line in self.log_lines()) >= times, timeout,
                   f"COM{com} configured")

    def call(self, control, number, name, shown, log_file):
        """Plays a call on a simulated modem; checks its one popup and the caller-log line it
        appends, and closes the popup again. Returns the line."""
        before = read_bytes(log_file)
        send_to_modem(control, f"call {number} {name}")
        wait_until(self.popups, 40, f"the popup of {number}")
        assert self.popups() == [shown], self.popups()
        wait_until(lambda: len(read_bytes(log_file)) > len(before), 10, f"the caller-log line of {number}")
        after = read_bytes(log_file)
        assert after.startswith(before)
        line = after[len(before):]
        assert re.match(rb"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d " + number.encode() + rb" .*\r\n$", line), line
        self.probe("close-popups")
        wait_until(lambda: not self.popups(), 10, "the popup closed")
        return line

    # Registry -------------------------------------------------------------------------------

    def reg_query(self, name, key=PRODUCT_KEY):
        """(type, data) of a value, or None when it does not exist."""
        result = self.wine("reg", "query", key, "/v", name)
        if result.returncode != 0:
            return None
        for line in result.stdout.splitlines():
            match = re.match(r"\s+(.*?)\s{4}(REG_\w+)\s{4}(.*)$", line.rstrip("\r"))
            if match and match.group(1).lower() == name.lower():
                return match.group(2), match.group(3)
            match = re.match(r"\s+(.*?)\s{4}(REG_\w+)\s*$", line.rstrip("\r"))
            if match and match.group(1).lower() == name.lower():
                return match.group(2), ""
        return None

    def reg_add(self, name, kind, data, key=PRODUCT_KEY):
        result = self.wine("reg", "add", key, "/v", name, "/t", kind, "/d", str(data), "/f")
        assert result.returncode == 0, result.stdout + result.stderr

    def reg_import(self, values, key=PRODUCT_KEY):
        """Stores values exactly as given, with `reg import`: values maps a name to the right-hand
        side of a .reg line ("dword:00000001", "hex(4):", a quoted text...)."""
        path = self.drive_c("users", "Public", "import.reg")
        root = key.replace("HKCU", "HKEY_CURRENT_USER", 1)
        with open(path, "w", encoding="latin-1", newline="") as f:
            f.write(f"REGEDIT4\r\n\r\n[{root}]\r\n")
            for name, data in values.items():
                f.write(f'"{name}"={data}\r\n')
        result = self.wine("reg", "import", r"C:\users\Public\import.reg")
        assert result.returncode == 0, result.stdout + result.stderr
        os.remove(path)

    def stored_values(self):
        """Every value of the product key exactly as stored: {name: (type, bytes)}."""
        result = self.probe("values")
        values = {}
        for line in result.stdout.splitlines():
            name, kind, size, data = line.split("\t")
            values[name] = (int(kind), bytes.fromhex(data))
            assert len(values[name][1]) == int(size), line
        return values

    def key_exists(self, key):
        return self.wine("reg", "query", key).returncode == 0

    # Files ----------------------------------------------------------------------------------

    def drive_c(self, *parts):
        return os.path.join(self.prefix, "drive_c", *parts)

    def opened_by_shell(self):
        """Addresses the program asked the shell to open (the bench records instead of opening)."""
        try:
            with open(self.drive_c("users", "Public", "opened.txt"), encoding="latin-1") as f:
                # The bench's recorder quotes each address.
                return [line.strip().strip('"') for line in f if line.strip()]
        except FileNotFoundError:
            return []


def _text_of(file):
    """What a program wrote to file, read as text the way a text-mode pipe would give it."""
    file.seek(0)
    return io.TextIOWrapper(io.BytesIO(file.read()), errors="replace").read()


def describe(args):
    return " ".join(shlex.quote(a) for a in args)


def screenshot(host, name):
    """Saves the bench's display as BENCH/shots/NAME.png and returns the path."""
    folder = os.path.join(BENCH, "shots")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name + ".png")
    subprocess.run(["import", "-window", "root", path], env=host.env, check=True, timeout=30,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return path


def tray_icon_colour(host):
    """Mean (r, g, b) of the tray icon: the first icon in Wine's standalone tray, at the top left."""
    out = subprocess.run(["import", "-window", "root", "-crop", "16x16+4+24", "-resize", "1x1", "txt:-"], env=host.env,
                         capture_output=True, text=True, timeout=30, check=True).stdout
    match = re.search(r"srgb\((\d+),(\d+),(\d+)\)", out) or re.search(r"\((\d+),(\d+),(\d+)", out)
    return tuple(int(v) for v in match.groups())


def recorded(path, kind):
    """The texts of one kind of event ("cmd", "rx", "tx", "open", "close") in a modem's record."""
    try:
        with open(path, encoding="latin-1") as f:
            lines = [line.rstrip("\n").split(" ", 2) for line in f]
    except FileNotFoundError:
        return []
    return [parts[2] if len(parts) > 2 else "" for parts in lines if len(parts) > 1 and parts[1] == kind]


def send_to_modem(control, *lines):
    """Plays script lines on a simulated modem now."""
    with open(control, "w", encoding="latin-1") as fifo:
        fifo.write("".join(line + "\n" for line in lines))


def read_bytes(path):
    """A file's bytes; none when it is not there."""
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return b""


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


LONG_AGO = 978307200  # 2001-01-01


def write_wave(path):
    """A tenth of a second of 8-bit mono silence, last read long ago. The bench has no audio device,
    so a sound is seen, not heard: the system's player reads the file's header before it asks for
    a device, which moves the access time to now."""
    samples = 800
    header = b"RIFF" + struct.pack("<I", 36 + samples) + b"WAVEfmt " + struct.pack("<IHHIIHH", 16, 1, 1, 8000, 8000, 1, 8)
    write_bytes(path, header + b"data" + struct.pack("<I", samples) + b"\x80" * samples)
    os.utime(path, (LONG_AGO, time.time()))


def played(path):
    return os.stat(path).st_atime > LONG_AGO + 86400


def seeded_random(what):
    """A random source whose seed is printed, so that a failing run can be played again
    (TW_SEED=<seed>)."""
    seed = int(os.environ.get("TW_SEED", random.randrange(1 << 32)))
    print(f"{what}: random seed {seed}", flush=True)
    return random.Random(seed)
