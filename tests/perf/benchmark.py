"""Tellwire's benchmarks: figures, not pass or fail. Each figure is measured against a baseline in
the same run on the same machine (the machine is shared and noisy: ratios and medians of repeats
say more than any single time). Run by tools/benchmark, which builds, starts the bench and cleans
up; every program runs in a Wine prefix and network namespace of its own (tests/e2e/winehost.py).

Clocks: the simulated modem stamps its record with CLOCK_REALTIME (--wall-clock), perf_watch.exe
with GetSystemTimePreciseAsFileTime, this script with time.time(); the first benchmark checks that
they agree.

Environment: TW_BENCH, TW_EXE, TW_PROBE, TW_NATIVE (as for the end-to-end tests) and TW_PERF (the
folder of perf_watch.exe, idle_loop.exe, bare_list.exe, book_bench.exe, import_bench.exe).
"""
import argparse
import ctypes
import datetime
import os
import random
import statistics
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from winehost import WineHost, send_to_modem, wait_until  # noqa: E402

PERF = os.environ.get("TW_PERF", "")
LOG_NAME = "tellwire.log"
BOOK_NAME = "tellwire.pbook"
LOG_COLUMNS = 5  # the Caller Log page's list: date, time, name, number, blocked (the bare list has the first four)
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def tool(name):
    return os.path.join(PERF, name + ".exe")


def windows_path(name):
    return "C:\\users\\Public\\" + name


# Data ------------------------------------------------------------------------------------------

def write_caller_log(path, lines):
    with open(path, "w", encoding="latin-1", newline="") as f:
        for i in range(lines):
            f.write(f"2024-{1 + i // 28 % 12:02d}-{1 + i % 28:02d} {i // 3600 % 24:02d}:{i // 60 % 60:02d}:{i % 60:02d}"
                    f" 5{i:09d} Caller Number {i:06d}\r\n")


def write_phone_book(path, contacts):
    """Every contact has numbers of its own, every second one two; returns the last contact's
    (number, name), which no other contact matches."""
    with open(path, "w", encoding="latin-1", newline="") as f:
        for i in range(contacts):
            numbers = f"3{i:08d}" + (f", 4{i:08d}" if i % 2 else "")
            f.write(f"{numbers}:Contact {i:06d}\r\n")
    return f"3{contacts - 1:08d}", f"Contact {contacts - 1:06d}"


def write_contact_files(folder, contacts):
    """The same contacts three ways: a CSV export in the layout of a common address book (UTF-8,
    two phone columns, quoted fields with commas and a line break), a vCard 3.0 file, and the
    phone book file that the import makes of them. Returns the three paths."""
    csv, vcf, book = (os.path.join(folder, "import." + ext) for ext in ("csv", "vcf", "pbook"))
    with open(csv, "w", encoding="utf-8", newline="") as c, open(vcf, "w", encoding="utf-8", newline="") as v, \
            open(book, "w", encoding="latin-1", newline="") as b:
        c.write("First Name,Middle Name,Last Name,Organization Name,E-mail 1 - Value,Phone 1 - Label,"
                "Phone 1 - Value,Phone 2 - Label,Phone 2 - Value,Notes\r\n")
        for i in range(contacts):
            first, last = f"Contact{i:06d}", f"M\u00fcller{i % 97}"
            mobile, home = f"+1 (415) 5{i:06d}", f"212-5{i:06d}"
            c.write(f'{first},,{last},"Example, Inc.",c{i}@example.com,Mobile,{mobile},Home,{home},'
                    f'"Line one\nline two"\r\n')
            v.write(f"BEGIN:VCARD\r\nVERSION:3.0\r\nN:{last};{first};;;\r\nFN:{first} {last}\r\n"
                    f"ORG:Example\\, Inc.\r\nTEL;TYPE=CELL:{mobile}\r\nTEL;TYPE=HOME:{home}\r\nEND:VCARD\r\n")
            b.write(f"1415{mobile[-7:]}, 212{home[-7:]}:{first} {last}\r\n")
    return csv, vcf, book


def prepare(host, role=2, ports=(), log_lines=0, contacts=0):
    """Role 2 (its own modem only: nothing goes on the network), the given ports monitored, and
    the caller log and phone book files (written when they have lines)."""
    host.reg_add("role", "REG_DWORD", role)
    for port in ports:
        host.reg_add(f"COM{port}_enabled", "REG_DWORD", 1)
    host.reg_add("clog", "REG_SZ", windows_path(LOG_NAME))
    host.reg_add("pbook", "REG_SZ", windows_path(BOOK_NAME))
    log = host.drive_c("users", "Public", LOG_NAME)
    book = host.drive_c("users", "Public", BOOK_NAME)
    if log_lines:
        write_caller_log(log, log_lines)
    last = write_phone_book(book, contacts) if contacts else None
    return log, book, last


# Processes -------------------------------------------------------------------------------------

class Watcher:
    """perf_watch.exe in the host's prefix; its lines are read as they come, each with the time
    it arrived."""

    def __init__(self, host, *args):
        self.process = subprocess.Popen(["wine", tool("perf_watch"), *[str(a) for a in args]], env=host.env,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True)
        host.processes.append(self.process)
        self.lines = []
        self.done = threading.Event()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            self.lines.append((time.time(), line.rstrip("\n")))
        self.done.set()

    def events(self, kind):
        out = []
        for _, line in list(self.lines):
            parts = line.split(" ", 2)
            if parts[0] == kind:
                out.append((float(parts[1]), parts[2] if len(parts) > 2 else ""))
        return out

    def wait(self, timeout):
        """Waits for the watcher's end (its output may stay open: Wine's services inherit it)."""
        try:
            self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise AssertionError("perf_watch did not finish")
        self.done.wait(2)
        return self.process.returncode


class OpenWatch:
    """The moment a file is first opened (inotify), on this machine's wall clock."""

    IN_OPEN = 0x20

    def __init__(self, path):
        libc = ctypes.CDLL(None, use_errno=True)
        self.fd = libc.inotify_init1(os.O_CLOEXEC)
        if self.fd < 0 or libc.inotify_add_watch(self.fd, path.encode(), self.IN_OPEN) < 0:
            raise OSError(ctypes.get_errno(), "inotify")
        self.when = None
        threading.Thread(target=self._wait, daemon=True).start()

    def _wait(self):
        try:
            os.read(self.fd, 4096)
            self.when = time.time()
        except OSError:
            pass

    def close(self):
        os.close(self.fd)


def unix_pid(host, exe):
    """The Linux process of a Wine program of this host's prefix."""
    def find():
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open(f"/proc/{entry}/cmdline", "rb") as f:
                    command = f.read().decode("latin-1")
                if exe.lower() not in command.lower():
                    continue
                with open(f"/proc/{entry}/environ", "rb") as f:
                    environment = f.read().split(b"\0")
            except OSError:
                continue
            if ("WINEPREFIX=" + host.prefix).encode() in environment:
                return int(entry)
        return None
    return wait_until(find, 30, f"the process of {exe}")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS  # utime, stime


def status_kib(pid, name):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(name + ":"):
                return int(line.split()[1])
    return 0


def stop_tellwire(host, process):
    host.probe("close-popups")
    assert host.probe("command", "11").returncode == 0
    process.wait(timeout=60)


def start_tellwire_quietly(host):
    """Starts tellwire.exe without polling it (the probe costs the program time too)."""
    return host.start(os.environ["TW_EXE"])


# Benchmarks ------------------------------------------------------------------------------------

def check_clocks(host):
    watcher = Watcher(host, "clock")
    watcher.wait(60)
    gaps = [arrived - float(line.split()[1]) for arrived, line in watcher.lines if line.startswith("clock ")]
    return min(gaps) if gaps else None


def record_events(record, kind, since):
    """(time, text) of one kind of event in a modem's record (wall-clock stamps), after since."""
    out = []
    try:
        with open(record, encoding="latin-1") as f:
            for line in f:
                parts = line.rstrip("\n").split(" ", 2)
                if len(parts) == 3 and parts[1] == kind and float(parts[0]) > since:
                    out.append((float(parts[0]), parts[2]))
    except FileNotFoundError:
        pass
    return out


def bench_calls(count):
    """Call latency: from the line end of a call's second RING (the modem's record) to its popup
    window existing and to its caller-log line being in the file. Two modems take turns so calls
    need not wait for each other's 12-second call end; a 10,000-contact phone book and a
    10,000-line caller log are loaded first."""
    with WineHost("calls") as host:
        prepare(host, ports=(1, 2), log_lines=10000, contacts=10000)
        offset = check_clocks(host)
        modems = {}
        for port in (1, 2):
            _, record, control = host.attach_modem(port, "--accept", "AT#CID=1", "--wall-clock")
            modems[port] = (record, control)
        load = Watcher(host, "load", LOG_COLUMNS, 10000, 120)
        time.sleep(0.5)
        running = start_tellwire_quietly(host)
        load.wait(120)
        Watcher(host, "load", 2, 10000, 120).wait(120)
        for port, (record, _) in modems.items():
            wait_until(lambda r=record: record_events(r, "cmd", 0), 60, f"COM{port} configured")
        watcher = Watcher(host, "calls", windows_path(LOG_NAME), count, 60 + 12 * count)
        time.sleep(2)
        sent = []
        last_send = 0.0
        for i in range(count):
            port = (1, 2)[i % 2]
            record, control = modems[port]
            if i >= 2:  # the port's previous call has ended and the modem is configured again
                before = sent[i - 2][2]
                wait_until(lambda r=record, b=before: any(text == "AT#CID=1" for _, text in record_events(r, "cmd", b)),
                           60, f"COM{port} ready again")
                time.sleep(0.5)
            # Calls at least 6 s apart, at a random moment of the monitors' cycle.
            pause = last_send + 6 + random.uniform(0, 1) - time.time()
            if pause > 0:
                time.sleep(pause)
            name = f"CALLER {i:02d}"
            last_send = time.time()
            sent.append((port, name, last_send))
            # The caller-ID lines half a second after the first ring, the second ring 3 to 5 s
            # after the first, as telephone lines ring.
            send_to_modem(control, "line RING", "sleep 0.5", "line DATE = 0101", "line TIME = 1200",
                          f"line NMBR = 61234{i:05d}", f"line NAME = {name}",
                          f"sleep {random.uniform(2.5, 4.5):.3f}", "line RING")
        names = [name for _, name, _ in sent]
        wait_until(lambda: all(any(text.startswith(n + "|") for _, text in watcher.events("popup")) and
                               any(text.endswith(" " + n) for _, text in watcher.events("log")) for n in names),
                   60, "every call shown and logged")
        watcher.process.kill()
        popups, lines = watcher.events("popup"), watcher.events("log")
        to_popup, to_line = [], []
        for port, name, when in sent:
            rings = [t for t, chunk in record_events(modems[port][0], "tx", when) if b"RING\r\n" in bytes.fromhex(chunk)]
            ring2 = rings[1]
            to_popup.append(next(t for t, text in popups if text.startswith(name + "|")) - ring2)
            to_line.append(next(t for t, text in lines if text.endswith(" " + name)) - ring2)
        stop_tellwire(host, running)
        return {"popup": to_popup, "line": to_line, "clock_offset": offset}


def bench_early(count):
    """Announcing as soon as the report is complete (the Modem page's option, on for COM1): from
    the line end of a call's report to its popup, for a MESG report (whole when read) and for NMBR
    and NAME lines (whole after 300 ms without another line), taking turns."""
    with WineHost("early") as host:
        prepare(host, ports=(1,))
        host.reg_add("COM1_early", "REG_DWORD", 1)
        _, record, control = host.attach_modem(1, "--accept", "AT#CID=1", "--wall-clock")
        running = start_tellwire_quietly(host)
        wait_until(lambda: record_events(record, "cmd", 0), 60, "COM1 configured")
        watcher = Watcher(host, "calls", windows_path(LOG_NAME), count, 60 + 20 * count)
        time.sleep(2)
        results = {"mesg": [], "lines": []}
        for i in range(count):
            # Each call ends (12 s of quiet) and the modem is configured again before the next.
            wait_until(lambda i=i: sum(text == "AT#CID=1" for _, text in record_events(record, "cmd", 0)) > i, 60,
                       "COM1 ready")
            kind = ("mesg", "lines")[i % 2]
            name = f"EARLY {i:02d}"
            number = f"61234{i:05d}"
            report = [f"mdmf {number} {name}"] if kind == "mesg" else [f"line NMBR = {number}", f"line NAME = {name}"]
            when = time.time()
            send_to_modem(control, "line RING", "sleep 0.5", *report, "sleep 4", "line RING")
            marker = b"MESG" if kind == "mesg" else b"NAME = " + name.encode()
            wait_until(lambda n=name: any(text.startswith(n + "|") for _, text in watcher.events("popup")), 30,
                       f"the popup of {name}")
            sent_at = next(t for t, chunk in record_events(record, "tx", when) if marker in bytes.fromhex(chunk))
            shown_at = next(t for t, text in watcher.events("popup") if text.startswith(name + "|"))
            results[kind].append(shown_at - sent_at)
        watcher.process.kill()
        stop_tellwire(host, running)
        return results


def bench_idle(seconds):
    """Idle cost: CPU time of tellwire.exe over a span with all four ports monitored (modems
    silent) and the network agent running, against an empty message loop over the same span."""
    with WineHost("idle") as host:
        prepare(host, ports=(1, 2, 3, 4))
        records = [host.attach_modem(port, "--accept", "AT#CID=1")[1] for port in (1, 2, 3, 4)]
        start_tellwire_quietly(host)
        host.start(tool("idle_loop"))
        for record in records:
            wait_until(lambda r=record: record_events(r, "cmd", 0), 60, "every port configured")
        time.sleep(5)
        program, baseline = unix_pid(host, "tellwire.exe"), unix_pid(host, "idle_loop.exe")
        begin = (time.monotonic(), cpu_seconds(program), cpu_seconds(baseline))
        time.sleep(seconds)
        end = (time.monotonic(), cpu_seconds(program), cpu_seconds(baseline))
        span = end[0] - begin[0]
        return {"program": 100 * (end[1] - begin[1]) / span, "baseline": 100 * (end[2] - begin[2]) / span,
                "span": span}


def bench_load(kind, rows, repeats, baseline=True):
    """A file at scale: from the file's opening to the last row in the list, tellwire.exe against
    the bare list program; the longest answer of the main window meanwhile; and the program's
    private memory once the list holds every row. Without baseline only the program runs (a bare
    list of a million rows takes minutes to fill and to end)."""
    columns, name = (4, LOG_NAME) if kind == "log" else (2, BOOK_NAME)
    results = {"program": [], "baseline": [], "roundtrip": [], "memory": [], "untouched": True}
    with WineHost(f"load-{kind}") as host:
        if kind == "log":
            path, _, _ = prepare(host, log_lines=rows)
        else:
            _, path, _ = prepare(host, contacts=rows)
        for _ in range(repeats):
            for who in ("program", "baseline") if baseline else ("program",):
                before = os.stat(path)
                opened = OpenWatch(path)
                if who == "program":
                    watcher = Watcher(host, "load", LOG_COLUMNS if kind == "log" else columns, rows, 300)
                    time.sleep(0.5)  # the watcher is up before the program
                    running = start_tellwire_quietly(host)
                else:
                    watcher = Watcher(host, "load", columns, rows, 300, "bare list")
                    time.sleep(0.5)
                    running = host.start(tool("bare_list"), kind, windows_path(name))
                code = watcher.wait(300)
                opened.close()
                assert code == 0 and opened.when is not None, f"{who}: the load was not seen"
                last = watcher.events("last")[0][0]
                results[who].append(last - opened.when)
                if who == "program":
                    trips = [float(ms) for start, ms in watcher.events("trip") if start + float(ms) / 1000 >= opened.when]
                    results["roundtrip"].append(max(trips, default=0.0))
                    results["memory"].append(status_kib(unix_pid(host, "tellwire.exe"), "RssAnon") * 1024)
                    stop_tellwire(host, running)
                    after = os.stat(path)
                    results["untouched"] &= (before.st_mtime_ns, before.st_size) == (after.st_mtime_ns, after.st_size)
                else:
                    running.wait(timeout=60)
    return results


def bench_lookup(contacts, repeats):
    """One LookupPhoneBook from another thread for the last contact's number, against a plain
    loop over the same rows on the page's thread (book_bench.exe)."""
    with WineHost("lookup") as host:
        _, _, (number, name) = prepare(host, contacts=contacts)
        result = host.wine(tool("book_bench"), windows_path(BOOK_NAME), str(contacts), number, name, str(repeats),
                           timeout=300)
        assert result.returncode == 0, result.stdout + result.stderr
        figures = {}
        for line in result.stdout.splitlines():
            parts = line.split()
            if len(parts) == 3:
                figures[parts[0]] = (float(parts[1]), float(parts[2]))
        return figures


def bench_import(contacts, repeats):
    """Importing contacts through the Phone Book page (import_bench.exe): a CSV and a vCard file
    of the same contacts into an empty book, each taken back again; the baseline is reading the
    same contacts from a phone book file."""
    with WineHost("import") as host:
        csv, vcf, book = write_contact_files(host.drive_c("users", "Public"), contacts)
        names = [windows_path(os.path.basename(path)) for path in (csv, vcf, book)]
        result = host.wine(tool("import_bench"), *names, str(contacts), str(repeats), timeout=600)
        assert result.returncode == 0, result.stdout + result.stderr
        figures = {}
        for line in result.stdout.splitlines():
            parts = line.split()
            if len(parts) >= 2:
                figures[parts[0]] = tuple(float(p) for p in parts[1:])
        return figures


def bench_startup(repeats):
    """Start-up: from starting tellwire.exe to its tray icon, with a 100,000-line caller log and a
    10,000-contact phone book, against no files. With the files, once both are loaded, the
    memory of the program: its private resident memory (Linux RssAnon of the Wine process; Wine
    reports no private bytes of another process), against the same without files and against
    the bare list program holding the same rows."""
    results = {"files": [], "none": [], "memory": {}}
    with WineHost("startup") as host:
        log, book, _ = prepare(host)
        write_caller_log(log + ".full", 100000)
        write_phone_book(book + ".full", 10000)
        # The first start of a prefix also starts Wine's desktop process: not the program's time.
        running = start_tellwire_quietly(host)
        wait_until(lambda: host.probe("main-window").returncode == 0, 60, "the first start")
        stop_tellwire(host, running)

        def place_files(case):
            for path in (log, book):
                # The files are moved in and out of place, never rewritten here.
                source, target = (path + ".full", path) if case == "files" else (path, path + ".full")
                if os.path.exists(source):
                    os.replace(source, target)

        for i in range(repeats):
            for case in ("none", "files") if i % 2 == 0 else ("files", "none"):
                place_files(case)
                time.sleep(3)  # the copy before has let go of its memory and its tray icon
                watcher = Watcher(host, "tray", 120)
                time.sleep(0.5)
                started = time.time()
                running = start_tellwire_quietly(host)
                watcher.wait(120)
                results[case].append(watcher.events("tray")[0][0] - started)
                stop_tellwire(host, running)
        # Memory once the lists hold everything (or, without files, once they would).
        for case in ("files", "none"):
            place_files(case)
            running = start_tellwire_quietly(host)
            if case == "files":
                Watcher(host, "load", LOG_COLUMNS, 100000, 300).wait(300)
                Watcher(host, "load", 2, 10000, 300).wait(300)
            else:
                wait_until(lambda: host.probe("main-window").returncode == 0, 60, "the main window")
                time.sleep(4)
            results["memory"][case] = status_kib(unix_pid(host, "tellwire.exe"), "RssAnon") * 1024
            stop_tellwire(host, running)
        # The baseline: the bare list program holding the same rows, one copy per file.
        for path in (log, book):
            if os.path.exists(path + ".full"):
                os.replace(path + ".full", path)
        baseline = 0
        for kind, name, columns, rows in (("log", LOG_NAME, 4, 100000), ("book", BOOK_NAME, 2, 10000)):
            watcher = Watcher(host, "load", columns, rows, 300, "bare list")
            time.sleep(0.5)
            bare = host.start(tool("bare_list"), kind, windows_path(name))
            watcher.wait(300)
            baseline += status_kib(unix_pid(host, "bare_list.exe"), "RssAnon") * 1024
            bare.wait(timeout=60)
        results["memory"]["baseline"] = baseline
    return results


# Report ----------------------------------------------------------------------------------------

def median(values):
    return statistics.median(values) if values else float("nan")


def ms(seconds):
    return f"{seconds * 1000:.0f} ms"


def mib(size):
    return f"{size / 1048576:.1f} MiB"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--only", action="append",
                        choices=["calls", "early", "idle", "log", "book", "lookup", "import", "startup"],
                        help="run only these (repeatable)")
    parser.add_argument("--repeats", type=int, default=3, help="repeats of the load and start-up runs")
    parser.add_argument("--calls", type=int, default=20)
    parser.add_argument("--idle-seconds", type=float, default=60)
    args = parser.parse_args()
    chosen = set(args.only or ["calls", "early", "idle", "log", "book", "lookup", "import", "startup"])
    rows = []  # (figure, measured, baseline, ratio or note, target, met)

    def add(figure, measured, baseline, relation, target, met):
        rows.append((figure, measured, baseline, relation, target, "yes" if met else "NO"))
        print(f"  {figure}: {measured} (baseline {baseline}; {relation}) target {target}: {'met' if met else 'NOT met'}",
              flush=True)

    if "calls" in chosen:
        print("call latency ...", flush=True)
        calls = bench_calls(args.calls)
        for what, key in (("popup window", "popup"), ("caller-log line", "line")):
            values = calls[key]
            print(f"  {what}, each call (ms): " + " ".join(f"{v * 1000:.0f}" for v in sorted(values)), flush=True)
            add(f"call to {what}, {len(values)} calls", f"median {ms(median(values))}, worst {ms(max(values))}",
                "-", f"clocks agree within {calls['clock_offset'] * 1000:.1f} ms",
                "median <= 600 ms, worst <= 1300 ms", median(values) <= 0.6 and max(values) <= 1.3)
    if "early" in chosen:
        print("announcing early ...", flush=True)
        early = bench_early(10)
        for kind, what in (("mesg", "a MESG report"), ("lines", "NMBR and NAME lines")):
            values = early[kind]
            add(f"report end to popup, option on, {what}, {len(values)} calls",
                f"median {ms(median(values))}, worst {ms(max(values))}", "-",
                "the line report waits 300 ms for more lines", "(reported)", True)
    if "idle" in chosen:
        print("idle cost ...", flush=True)
        idle = bench_idle(args.idle_seconds)
        above = idle["program"] - idle["baseline"]
        add(f"idle CPU over {idle['span']:.0f} s, 4 ports", f"{idle['program']:.2f} % of a core",
            f"{idle['baseline']:.2f} %", f"+{above:.2f} points", "<= +1 point", above <= 1.0)
    for kind, sizes in (("log", (10000, 100000, 1000000)), ("book", (1000, 10000))):
        if kind not in chosen:
            continue
        for size in sizes:
            print(f"{kind} load of {size} ...", flush=True)
            million = size >= 1000000
            load = bench_load(kind, size, 1 if million else args.repeats, baseline=not million)
            program = median(load["program"])
            label = "caller log" if kind == "log" else "phone book"
            if million:
                # How the cost grows: no baseline, reported beside the 100,000-line figures.
                add(f"{label} {size:,} rows: load", ms(program), "-", "(reported)", "(reported)", True)
                add(f"{label} {size:,} rows: private memory loaded", mib(median(load["memory"])), "-", "(reported)",
                    "(reported)", True)
                continue
            baseline = median(load["baseline"])
            ratio = program / baseline
            add(f"{label} {size:,} rows: load", ms(program), ms(baseline), f"{ratio:.2f}x",
                "<= 0.25x" if kind == "log" else "(reported)", ratio <= 0.25 or kind == "book")
            worst = max(load["roundtrip"])  # only round trips over 20 ms are recorded
            add(f"{label} {size:,} rows: main window answer during load",
                f"worst {worst:.0f} ms" if worst > 0 else "always under 20 ms", "-", "-", "<= 20 ms", worst <= 20)
            if kind == "log":
                add(f"caller log {size:,} rows: file after close", "untouched" if load["untouched"] else "rewritten",
                    "-", "-", "untouched", load["untouched"])
    if "lookup" in chosen:
        for size in (1000, 10000):
            print(f"lookup in {size} ...", flush=True)
            figures = bench_lookup(size, 21)
            lookup, plain = figures["lookup"][0], figures["baseline"][0]
            # The worst is the first lookup after a change, which makes the book's index.
            add(f"phone book {size:,}: one lookup (last contact)",
                f"median {lookup:.4f} ms, worst {figures['lookup'][1]:.2f} ms", f"{plain:.3f} ms",
                f"{lookup / plain:.2f}x", "<= 0.05 ms", lookup <= 0.05)
    if "import" in chosen:
        size = 10000
        print(f"import of {size} contacts ...", flush=True)
        figures = bench_import(size, args.repeats)
        plain = figures["baseline"][0]
        for kind, what in (("csv", "CSV"), ("vcard", "vCard")):
            median_ms, worst_ms = figures[kind]
            add(f"import of {size:,} contacts, {what}", f"median {median_ms:.0f} ms, worst {worst_ms:.0f} ms",
                f"{plain:.0f} ms", f"{median_ms / plain:.1f}x the phone book file read", "< 1000 ms",
                worst_ms < 1000)
        answer = figures["answer"][0]
        add(f"page's answer during the imports of {size:,}", f"worst {answer:.0f} ms", "-", "-", "<= 100 ms",
            answer <= 100)
        add(f"page's thread busy with one import of {size:,}", f"median {figures['busy'][0]:.0f} ms, worst "
            f"{figures['busy'][1]:.0f} ms", "-", "adding, showing, the message box", "(reported)", True)
        add(f"undo of an import of {size:,}", f"median {figures['undo'][0]:.0f} ms", "-", "-", "(reported)", True)
    if "startup" in chosen:
        print("start-up ...", flush=True)
        start = bench_startup(args.repeats)
        files, none = median(start["files"]), median(start["none"])
        add("start-up to tray icon, 100,000 log lines + 10,000 contacts", ms(files), ms(none), f"{files / none:.2f}x",
            "<= 1.1x", files <= 1.1 * none)
        memory = start["memory"]
        above = memory["files"] - memory["none"]
        add("private memory with both loaded", mib(memory["files"]), f"{mib(memory['none'])} without files",
            f"+{mib(above)}; bare lists {mib(memory['baseline'])}", "<= +40 MiB", above <= 40 * 1024 * 1024)

    print()
    print(f"Tellwire benchmarks, {datetime.date.today().isoformat()}, {os.cpu_count()} cores, medians of "
          f"{args.repeats} runs where repeated")
    print()
    print("| Figure | Measured | Baseline | Ratio / note | Target | Met |")
    print("|---|---|---|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
