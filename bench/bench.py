#!/usr/bin/env python3
"""Times Postwright.exe under Wine on large stores against the floor.

    bench.py BUILD_DIR [--runs N] [--quick]

BUILD_DIR is the win64 build tree holding Postwright.exe and bench/*.exe. The
runs use a Wine prefix of their own (BUILD_DIR/bench/wineprefix) with its
wineserver and a desktop holder up for the whole run. For every input it runs
Postwright (adding an account that is not there yet) and the floor program on
the same bytes, alternately, N times each (5 by default), the store put back
to its generated state before every run, and prints medians. --quick leaves
out the largest prefs.js (100 000 accounts).
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
MB = 1024.0 * 1024.0

OE_ACCOUNTS = r"Software\Microsoft\Internet Account Manager\Accounts"
OUTLOOK_STORE = (r"Software\Microsoft\Windows NT\CurrentVersion\Windows Messaging Subsystem\Profiles\Main"
                 r"\9375CFF0413111d3B88A00104B2A6676")
FLOOR_KEY = r"Software\PostwrightBench\Floor"


class Bench:
    def __init__(self, build, runs):
        self.build = os.path.abspath(build)
        self.runs = runs
        self.work = os.path.join(self.build, "bench")
        self.prefix = os.path.join(self.work, "wineprefix")
        self.data = os.path.join(self.work, "data")
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINELOADER=WINE, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        self.program = os.path.join(self.build, "Postwright.exe")
        self.floor = os.path.join(self.work, "FloorProgram.exe")
        self.trivial = os.path.join(self.work, "TrivialProgram.exe")
        self.holder = os.path.join(self.work, "DesktopHolder.exe")
        self.run_number = 0

    # --- Wine -------------------------------------------------------------
    def wine(self, *args, check=True):
        result = subprocess.run([WINE] + list(args), env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if check and result.returncode != 0:
            sys.exit("bench: %s failed with status %d" % (" ".join(args), result.returncode))
        return result

    def timed(self, *args):
        """Seconds, peak resident memory in MB and exit status of one program."""
        start = time.perf_counter()
        process = subprocess.Popen([WINE] + list(args), env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(process.pid, 0)
        seconds = time.perf_counter() - start
        process.returncode = os.waitstatus_to_exitcode(status)
        return seconds, usage.ru_maxrss / 1024.0, process.returncode

    def unix(self, windows_path):
        assert windows_path[1:3] == ":\\"
        return os.path.join(self.prefix, "dosdevices", windows_path[:2].lower(), *windows_path[3:].split("\\"))

    def start(self):
        subprocess.run([os.path.join(HERE, "..", "scripts", "wine-prefix.sh"), "start", self.prefix], check=True)
        self.holding = subprocess.Popen([WINE, self.holder], env=self.env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wine(self.trivial)  # the desktop is up once a window program has run
        app_data = self.wine("cmd", "/c", "echo %APPDATA%").stdout.decode().strip()
        self.app_data = app_data
        self.log = self.unix(app_data + "\\Postwright.log")
        self.import_reg(self.setup_reg())
        self.wine("reg", "add", r"HKCU\Software\Microsoft\Windows Mail", "/v", "Store Root", "/t", "REG_EXPAND_SZ",
                  "/d", "C:\\bench\\winmail\\", "/f")

    def stop(self):
        self.wine(self.holder, "stop", check=False)
        self.holding.wait(timeout=30)
        subprocess.run([os.path.join(HERE, "..", "scripts", "wine-prefix.sh"), "stop", self.prefix], check=True)

    def import_reg(self, path):
        self.wine("regedit", "/s", "Z:" + path.replace("/", "\\"))

    def delete_key(self, key):
        self.wine("reg", "delete", "HKCU\\" + key, "/f", check=False)

    def setup_reg(self):
        """Every client installed; Windows Mail keeps its store in C:\\bench."""
        lines = ["Windows Registry Editor Version 5.00", ""]
        for client in ("Outlook Express", "Mozilla Thunderbird", "Eudora", "Windows Mail"):
            lines += [r"[HKEY_LOCAL_MACHINE\SOFTWARE\Clients\Mail\%s]" % client, ""]
        lines += [r"[HKEY_LOCAL_MACHINE\SOFTWARE\Clients\Mail\Microsoft Outlook]",
                  r'"MSIApplicationLCID"="Software\\Microsoft\\Office\\11.0\\Outlook"', "",
                  r"[HKEY_CURRENT_USER\Software\Microsoft\IAM]", '"Default Mail Account"="account{x}.oeaccount"', ""]
        path = os.path.join(self.data, "setup.reg")
        with open(path, "w", newline="") as out:
            out.write("\r\n".join(lines) + "\r\n")
        return path

    # --- inputs -----------------------------------------------------------
    def generate(self, kind, n, name):
        target = os.path.join(self.data, name)
        if not os.path.exists(target):
            subprocess.run([sys.executable, os.path.join(HERE, "generate.py"), kind, str(n), target + ".part"],
                           check=True)
            os.rename(target + ".part", target)
        return target

    def restore_file(self, pristine, target):
        os.makedirs(os.path.dirname(target), exist_ok=True)
        for leftover in (target + ".floor",):
            if os.path.exists(leftover):
                os.remove(leftover)
        shutil.copyfile(pristine, target)

    def restore_folder(self, pristine, target):
        shutil.rmtree(target, ignore_errors=True)
        shutil.copytree(pristine, target)

    def next_user(self):
        self.run_number += 1
        return "benchrun%d" % self.run_number

    def postwright(self, client):
        if os.path.exists(self.log):
            os.remove(self.log)
        return self.timed(self.program, "-n", "Bench Run", "-c", str(client), "-a", self.next_user())

    def measure(self, prepare, run, floor):
        """Medians of alternate runs of Postwright and the floor."""
        runs, floors = [], []
        for _ in range(self.runs):
            for sink, program in ((runs, run), (floors, floor)):
                prepare()
                seconds, peak, status = program()
                if status != 0:
                    log = open(self.log, encoding="latin-1").read() if os.path.exists(self.log) else "(no log)"
                    sys.exit("bench: a run ended with status %d\n%s" % (status, log))
                sink.append((seconds, peak))
        return (statistics.median(s for s, _ in runs), statistics.median(p for _, p in runs),
                statistics.median(s for s, _ in floors))

    # --- the stores -------------------------------------------------------
    def thunderbird(self, accounts):
        pristine = self.generate("prefs", accounts, "prefs-%d.js" % accounts)
        folder = self.unix(self.app_data + "\\Thunderbird")
        profile = os.path.join(folder, "Profiles", "bench.default")
        os.makedirs(profile, exist_ok=True)
        with open(os.path.join(folder, "profiles.ini"), "w", newline="") as out:
            out.write("[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                      "Path=Profiles/bench.default\r\nDefault=1\r\n")
        target = os.path.join(profile, "prefs.js")
        windows = self.app_data + "\\Thunderbird\\Profiles\\bench.default\\prefs.js"
        return os.path.getsize(pristine), self.measure(lambda: self.restore_file(pristine, target),
                                                       lambda: self.postwright(4),
                                                       lambda: self.timed(self.floor, "file", windows))

    def eudora(self, personalities):
        pristine = self.generate("eudora", personalities, "eudora-%d.ini" % personalities)
        windows = self.app_data + "\\Qualcomm\\Eudora\\Eudora.ini"
        target = self.unix(windows)
        return os.path.getsize(pristine), self.measure(lambda: self.restore_file(pristine, target),
                                                       lambda: self.postwright(3),
                                                       lambda: self.timed(self.floor, "file", windows))

    def windows_mail(self, accounts):
        pristine = self.generate("winmail", accounts, "winmail-%d" % accounts)
        target = self.unix("C:\\bench\\winmail\\Local Folders")
        size = sum(os.path.getsize(os.path.join(pristine, name)) for name in os.listdir(pristine))
        return size, self.measure(lambda: self.restore_folder(pristine, target), lambda: self.postwright(2),
                                  lambda: self.timed(self.floor, "folder", "C:\\bench\\winmail\\Local Folders",
                                                     "account*", "account{floor}.oeaccount"))

    def registry(self, kind, key, searched, accounts, client):
        """The store is loaded once; every run adds an account of a new name."""
        reg = self.generate(kind, accounts, "%s-%d.reg" % (kind, accounts))
        self.delete_key(key)
        self.import_reg(reg)
        size = os.path.getsize(reg)
        figures = self.measure(lambda: None, lambda: self.postwright(client),
                               lambda: self.timed(self.floor, "registry", key, searched, FLOOR_KEY))
        self.delete_key(key)
        return size, figures


def row(name, size, figures, start, trivial_peak):
    run, peak, floor = figures
    return {"name": name, "size": size, "run": run, "floor": floor, "above": run - start,
            "peak": peak - trivial_peak}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--quick", action="store_true")
    options = parser.parse_args()

    bench = Bench(options.build, options.runs)
    os.makedirs(bench.data, exist_ok=True)
    for program in (bench.program, bench.floor, bench.trivial, bench.holder):
        if not os.path.exists(program):
            sys.exit("bench: %s is missing; build the win64 target 'bench' first" % program)

    bench.start()
    try:
        # The trivial program's start alternates with an empty-store run
        # (Outlook Express with no account yet), both after the same
        # preparation, so a slow spell of the machine meets both alike.
        trivial, empty = [], []
        for _ in range(bench.runs):
            bench.delete_key(OE_ACCOUNTS)
            bench.wine("reg", "add", "HKCU\\" + OE_ACCOUNTS, "/f")
            trivial.append(bench.timed(bench.trivial))
            empty.append(bench.postwright(0))
        start = statistics.median(s for s, _, _ in trivial)
        trivial_peak = statistics.median(p for _, p, _ in trivial)
        empty_start = statistics.median(s for s, _, _ in empty)

        groups = []
        prefs_sizes = [1000, 10000] + ([] if options.quick else [100000])
        groups.append([row("prefs.js, %d accounts" % n, *bench.thunderbird(n), start, trivial_peak)
                       for n in prefs_sizes])
        groups.append([row("Eudora.ini, %d personalities" % n, *bench.eudora(n), start, trivial_peak)
                       for n in (1000, 10000)])
        groups.append([row("Windows Mail, %d account files" % n, *bench.windows_mail(n), start, trivial_peak)
                       for n in (100, 1000)])
        groups.append([row("Outlook Express, %d accounts (.reg size)" % n,
                           *bench.registry("oe", OE_ACCOUNTS, "SMTP Email Address", n, 0), start, trivial_peak) for n in (100, 1000)])
        groups.append([row("Outlook 2003 profile, %d accounts (.reg size)" % n,
                           *bench.registry("outlook", OUTLOOK_STORE, "Email", n, 1), start, trivial_peak)
                       for n in (100, 1000)])
    finally:
        bench.stop()

    print()
    print("Trivial program start: median %.3f s, peak %.1f MB" % (start, trivial_peak))
    print("Empty-store run (Outlook Express, no account): median %.3f s = %.2f x the trivial program's start"
          % (empty_start, empty_start / start))
    print("Medians of %d runs; 'above start' is the run's median minus the trivial program's; growth compares it"
          " with the size above; peak is resident memory above the trivial program's." % bench.runs)
    print()
    header = "%-44s %9s %9s %9s %7s %11s %13s %9s %10s" % (
        "input", "size MB", "run s", "floor s", "ratio", "above s", "growth", "peak MB", "limit MB")
    print(header)
    print("-" * len(header))
    for group in groups:
        previous = None
        for r in group:
            growth = "-"
            if previous and previous["above"] > 0:
                growth = "%.1fx/%.0fx" % (r["above"] / previous["above"], r["size"] / previous["size"])
            elif previous:
                growth = "start-bound"  # the smaller input's time is within the start's noise
            limit = 1.5 * r["size"] / MB + 8
            print("%-44s %9.2f %9.3f %9.3f %7.2f %11.3f %13s %9.1f %10.1f" % (
                r["name"], r["size"] / MB, r["run"], r["floor"], r["run"] / r["floor"], r["above"], growth,
                r["peak"], limit))
            previous = r


if __name__ == "__main__":
    main()
