#!/usr/bin/env python3
"""Whole runs over generated names and files: each case installs the sample book (mode 1 where
it applies, then mode 2 with its finish dialog answered) with names a package or a reader may
give (KINDS), parameters files in every encoding the program reads (lone surrogates and stray
bytes included) and, under Wine, the book's stored values in other registry types. Every run
must end within a bound, exit with 1, leave its result file saying ExitCode=0, write nothing
outside the book's folder, the desktop and the program's own store, and leave no temporary.

Usage: generated_runs.py native|wine PROGRAM COUNT SEED [DIALOG_DRIVER]
(WBH_GENERATED_COUNT and WBH_GENERATED_SEED, when set, take the place of COUNT and SEED.)
"""
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

RUNNER, PROGRAM = sys.argv[1], sys.argv[2]
COUNT = int(os.environ.get("WBH_GENERATED_COUNT", sys.argv[3]))
SEED = int(os.environ.get("WBH_GENERATED_SEED", sys.argv[4]))
DRIVER = sys.argv[5] if len(sys.argv) > 5 else None
VERBOSE = os.environ.get("WBH_GENERATED_VERBOSE") == "1"
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PREFIX = [os.path.join(ROOT, "tools", "wine-run")] if RUNNER == "wine" else []
SAMPLE = os.path.join(ROOT, "examples", "sample-book")
USER_SHELL_FOLDERS = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"
LIMIT_S = 60 if RUNNER == "wine" else 20  # a run still going then is a hang

DEVICES = ["NUL", "nul", "Con", "aux", "PRN", "com1", "COM9", "lpt1", "LPT9", "conin$",
           "CONOUT$", "com\u00b9", "lpt\u00b3"]
LOOK_ALIKES = ["com0", "lpt10", "nul_", "anul", "nula", "con-", "auxx", "\uff2e\uff35\uff2c"]
ALPHABETS = ["abcdefghijklmnopqrstuvwxyz ", "éèàçœÉ -", "книгаЖ", "书桌面伙伴",
             "ＬｉｖｒｅＡ", "\U0001F4D6\U00020000\U0001F600", "'()[]{}+,;=@#~%&$`!"]


def units(text):
    return len(text.encode("utf-16-le", "surrogatepass")) // 2


def any_script(rng, low, high):
    target = rng.randint(low, high)
    text = ""
    while units(text) < target:
        text += rng.choice(rng.choice(ALPHABETS))
    return text.strip() or "n"


def separated(rng):
    text = any_script(rng, 1, 12)
    return rng.choice(["\\", "/", ""]) + text + rng.choice(["\\", "/", ""])


# The kinds of names a package or a reader may give.
KINDS = [
    lambda rng: rng.choice(DEVICES) + rng.choice(["", ".livre", ".txt", " .1", ".", "  ", ".a.b"]),
    lambda rng: rng.choice(LOOK_ALIKES) + rng.choice(["", ".livre", " (0)"]),
    lambda rng: any_script(rng, 1, 12) + rng.choice([".", " ", ". .", "..", " ."]),
    separated,
    lambda rng: any_script(rng, 60, 300),
    lambda rng: "\U0001F4D6" * rng.randint(1, 130),
    lambda rng: any_script(rng, 1, 30),
]


def name(rng, kind=None):
    """A name of a kind drawn or given."""
    return KINDS[rng.randrange(len(KINDS)) if kind is None else kind % len(KINDS)](rng)


def parameters_file(rng, values):
    """The parameters file's bytes, in one of the encodings the program reads."""
    lines = ["[parameters]"] + ["%s=%s" % item for item in values.items()]
    text = "\r\n".join(lines) + "\r\n"
    encoding = rng.choice(["cp1252", "utf-8-sig", "utf-16", "utf-16-bad", "utf-8-bad"])
    if encoding == "cp1252":
        return text.encode("cp1252", "replace"), encoding
    if encoding == "utf-16-bad":
        # A lone surrogate somewhere in a value, a key or a section name.
        at = rng.randrange(len(text))
        text = text[:at] + rng.choice(["\ud800", "\udc00"]) + text[at:]
        return b"\xff\xfe" + text.encode("utf-16-le", "surrogatepass"), encoding
    if encoding == "utf-8-bad":
        data = bytearray(text.encode("utf-8"))
        data.insert(rng.randrange(len(data)), rng.choice([0x80, 0xC3, 0xED, 0xFF]))
        return bytes(data), encoding
    if encoding == "utf-16":
        return b"\xff\xfe" + text.encode("utf-16-le"), encoding
    return text.encode("utf-8-sig"), encoding


def files_below(folder):
    found = {}
    for top, dirs, names in os.walk(folder):
        for entry in names + [d for d in dirs if os.path.islink(os.path.join(top, d))]:
            path = os.path.join(top, entry)
            try:
                found[path] = os.lstat(path).st_mtime_ns
            except OSError:
                found[path] = None
    return found


def stop(process, limit, stdin=None):
    """Waits for PROCESS to end, killing it after LIMIT seconds: its exit code, or None."""
    try:
        process.communicate(stdin, timeout=limit)
        return process.returncode
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        return None


def run(args, actions, stdin):
    """Runs the program and answers its dialog: the exit code, or None when it did not end."""
    quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    process = subprocess.Popen(PREFIX + [PROGRAM] + args, stdin=subprocess.PIPE, **quiet)
    driver = subprocess.Popen(PREFIX + [DRIVER] + actions, **quiet) if RUNNER == "wine" else None
    code = stop(process, LIMIT_S, stdin.encode("utf-8"))
    if driver:
        stop(driver, 2)  # a run that ended without showing its dialog leaves the driver waiting
    return code


def place(path):
    """The path as the program is given it."""
    return "Z:" + path.replace("/", "\\") if RUNNER == "wine" else path


def reg_add(key, value, kind, data):
    subprocess.run(PREFIX + ["reg", "add", key, "/v", value, "/t", kind, "/d", data, "/f"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def main():
    rng = random.Random(SEED)
    print("generated runs: %s, %d cases, seed %d" % (RUNNER, COUNT, SEED), flush=True)
    work = tempfile.mkdtemp(prefix="webbook generated-")
    home, desktop, bin_dir = (os.path.join(work, sub) for sub in ("home", "desktop", "bin"))
    for folder in (home, desktop, bin_dir):
        os.makedirs(folder)
    # The program's own store and the MIME database: what it keeps for itself.
    stores = ()
    if RUNNER == "native":
        os.environ.pop("DISPLAY", None)
        os.environ.pop("WAYLAND_DISPLAY", None)
        config, local = os.path.join(home, ".config"), os.path.join(home, ".local")
        stores = (config + os.sep, local + os.sep)
        os.environ.update(HOME=home, XDG_CONFIG_HOME=config, PATH=bin_dir + ":" + os.environ["PATH"],
                          XDG_DATA_HOME=os.path.join(local, "share"))
        os.symlink(desktop, os.path.join(home, "Desktop"))
        os.symlink("/bin/true", os.path.join(bin_dir, "xdg-open"))  # opens nothing, at once
    else:
        os.environ["LC_ALL"] = "C.UTF-8"
        reg_add(USER_SHELL_FOLDERS, "Desktop", "REG_SZ", place(desktop))
    failures = 0
    try:
        for case in range(COUNT):
            folder = os.path.join(work, "b%d" % case)
            book = os.path.join(folder, any_script(rng, 1, 20).replace("/", "_"))
            shutil.copytree(SAMPLE, book)
            os.makedirs(os.path.join(work, "results"), exist_ok=True)
            rtp = os.path.join(work, "results", "r%d.rtp" % case)
            values = {
                "autorunbookid": rng.choice(["livre-%d" % case, name(rng)]),
                "authoruserid": rng.choice(["{7D3E9A41-2B6C-4F0D-9E18-53A2C4B7F610}", name(rng)]),
                "authorquarlosku": "QRL-%d" % case,
                "authorpartnerid": name(rng),
                "targetfilepath": rng.choice(["index.html", "index.html", "index.html", name(rng)]),
                "shortcuticonpath": rng.choice(["livre.ico", name(rng)]),
                "readerJSpath": rng.choice(["js\\suivi.js", name(rng), name(rng) + "\\"]),
                "importtoquarlofilename": rng.choice(["livre.7xe", name(rng), name(rng) + "\\"]),
                "desktopshortcutname": name(rng),
                # Each kind in turn, so that a few dozen cases meet them all.
                "openshortcutname": name(rng, case),
            }
            data, encoding = parameters_file(rng, values)
            ini = os.path.join(book, "parameters.ini")
            with open(ini, "wb") as out:
                out.write(data)
            typed = name(rng, case + 3) if case % 2 == 0 else ""
            common = ["-parametersfilepath", place(ini), "-rtpfilename", place(rtp)]
            label = "case %d (%s, typed %r): %r" % (case, encoding, typed, values)

            def fail(problem):
                nonlocal failures
                failures += 1
                print("FAIL case %d%s\n  %s" % (case, problem, label), flush=True)

            before = files_below(work)
            steps = []
            if rng.random() < 0.5:
                answer = rng.choice(["1", "2"])
                steps.append(("mode 1", ["-mode", "1"] + common,
                              ["click=100%s" % answer, "enter"], answer + "\n\n"))
            actions = ["click=1007"] + (["text=1005:" + typed] if typed else []) + ["enter"]
            stdin = "2\n%s\n\n" % typed if typed else "\n"
            steps.append(("mode 2", ["-mode", "2", "-installdirectory", place(book)] + common,
                          actions, stdin))
            for what, args, actions, stdin in steps:
                if RUNNER == "wine" and what == "mode 2" and rng.random() < 0.3:
                    # The book's values stored in another type than text.
                    key = "HKCU\\Software\\Quarlo\\UserData\\Referrals\\" + values["autorunbookid"]
                    value = rng.choice(["UserID", "QuarloSKU", "PartnerID"])
                    kind = rng.choice([("REG_BINARY", "c9646974696f6e73"), ("REG_DWORD", "233"),
                                       ("REG_BINARY", "c3a9" * 300)])
                    reg_add(key, value, *kind)
                if os.path.exists(rtp):
                    os.remove(rtp)
                started = time.monotonic()
                code = run(args, actions, stdin)
                if VERBOSE:
                    print("%s, %s: %.1f s, code %s" % (label, what, time.monotonic() - started,
                                                        code), flush=True)
                if code is None:
                    fail(", %s: did not end within %d s" % (what, LIMIT_S))
                elif code != 1:
                    fail(", %s: exit code %d" % (what, code))
                try:
                    with open(rtp, "rb") as result:
                        result_text = result.read().replace(b"\r", b"")
                except OSError:
                    result_text = None
                if result_text is None or b"ExitCode=0" not in result_text.replace(b"\0", b""):
                    fail(", %s: result file %r" % (what, result_text))
            after = files_below(work)
            allowed = (folder + os.sep, desktop + os.sep, rtp) + stores
            for path in sorted(set(after) | set(before)):
                if before.get(path) == after.get(path):
                    continue
                if path.endswith(".tmp") or "/.wbh" in path or os.path.basename(path).startswith("wbh"):
                    fail(": a temporary left: %r" % path)
                elif not path.startswith(allowed):
                    fail(": written outside the book and the desktop: %r" % path)
            for entry in os.listdir(desktop):
                os.remove(os.path.join(desktop, entry))
            shutil.rmtree(folder, ignore_errors=True)
    finally:
        if RUNNER == "wine":
            # The prefix's own desktop again, for the tests that share the prefix.
            reg_add(USER_SHELL_FOLDERS, "Desktop", "REG_EXPAND_SZ", "%USERPROFILE%\\Desktop")
        shutil.rmtree(work, ignore_errors=True)
    print("generated runs: %d cases, %d failures" % (COUNT, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
