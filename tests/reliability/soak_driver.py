#!/usr/bin/python3
"""Drives the real program with random X input for a while and checks it.

  soak_driver.py --program BIN --probe BIN --dir DIR --out DIR --minutes M [--seed S]
  soak_driver.py ... --replay INPUTS      (sends the inputs of a failed run again)

The program runs under Xvfb with openbox in DIR, a folder of question files.
Inputs: clicks anywhere in one of its visible windows, keys (1-5, N, B, X,
Esc, Enter, Tab, arrows, Alt+letters), Japanese and hostile text typed into
whatever has the focus, and frame closes (Alt+F4 through the window manager).
Answers and "next" come more often in the quiz window, and a name picked in
the chooser's list and opened, so that quiz passes end and write back.
Throughout it checks that
  - the program answers: its heartbeat file counts on within 2 s of an input;
  - it never crashes (a sanitizer report or a death by signal is a crash; the
    program ending with status 0 is the user's 終了 and it is started again);
  - at every quiet moment every question file loads completely (the probe),
    no .studyhop-*.tmp exists, no counter went down and no record went
    away, unless the program's journal names that file since the last check.
A failure writes the seed and the last 200 inputs to OUT/failure.txt and
OUT/inputs.jsonl (replayable) and ends with status 1.
"""

import argparse
import collections
import glob
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time

KEYS = ["1", "2", "3", "4", "5", "n", "b", "x", "N", "B", "X", "Escape", "Return",
        "KP_Enter", "Tab", "shift+Tab", "space", "Up", "Down", "Left", "Right",
        "KP_1", "KP_3", "BackSpace", "Delete", "Home", "End"]
ALT_LETTERS = "abcdefghijklmnopqrstuvwxyz"
TEXTS = [
    "日本の首都はどこ？", "東京", "ｱｲｳｴｵ", "ﾅｼ", "～－‖…", "①②③", "髙﨑", "〜−",
    "007", "1.50", "+3", " a ", "-0", ".5", "1e5", "12345678901234567890",
    "a,b", "\"quoted\"", "a\"b", "x\ty", "%s%n%d", "../../etc/passwd", "=cmd|' /C calc'!A0",
    "😀", "한국어", "Ω≠∑", "\u202e逆", "\u00a0", "\\", "'; DROP TABLE q;--",
    "あいうえお" * 8, "W" * 300,
]
# In the quiz window answers and "next" are drawn more often, so that passes
# reach their end and the statistics are written back and checked.
QUIZ_TITLE = "問題"
QUIZ_KEYS = ["1 N", "2 N", "3 N", "4 N", "1", "N", "B"]
# The program's own windows; any other titled window is a message box, which
# takes most of the input while it is open, as it takes the user's.
FORM_TITLES = {"問題登録", "ファイルを開く", "システム設定", "新規作成", "管理", "成績", "問題"}
# In the file chooser a name in its list is often picked and opened with
# Enter: the list fills the upper left of the window, a name a line.
CHOOSER_TITLE = "ファイルを開く"
# In the main window its buttons 問題 (quiz) and 問題登録 (editor) are often
# pressed: they stand one above the other at its right edge.
MAIN_TITLE = "Studyhop"
MAIN_BUTTONS = [(0.28, 0.46), (0.28, 0.46), (0.07, 0.25)]
RECENT = 200
ANSWER_WITHIN = 2.0
QUIET_EVERY = 20
# xwininfo -tree: '     0x200006 "title": ("res" "class")  338x151+0+0  +0+0'
WINDOW_LINE = re.compile(r'\s*(0x[0-9a-f]+) "(.*)": \(.*\)\s+(\d+)x(\d+)[+-]')


class Failure(Exception):
    pass


def run(args, timeout=5, env=None):
    try:
        return subprocess.run(args, capture_output=True, text=True, timeout=timeout, env=env)
    except subprocess.TimeoutExpired:
        return None


class Soak:
    def __init__(self, o):
        self.o = o
        self.out = o.out
        self.seed = o.seed if o.seed is not None else random.SystemRandom().randrange(1 << 31)
        self.rng = random.Random(self.seed)
        self.recent = collections.deque(maxlen=RECENT)
        self.enders = []
        self.inputs = 0
        self.starts = 0
        self.checks = 0
        self.changes = 0  # question files seen changed between two checks
        self.proc = None
        self.heartbeat = os.path.join(self.out, "heartbeat")
        self.journal = os.path.join(self.out, "journal")
        self.journal_offset = 0
        self.snapshot = None
        self.xvfb = None
        self.wm = None

    # --- X server, window manager, program -------------------------------
    def start_display(self):
        n = 90
        while os.path.exists("/tmp/.X11-unix/X%d" % n) or os.path.exists("/tmp/.X%d-lock" % n):
            n += 1
        self.display = ":%d" % n
        self.xvfb = subprocess.Popen(["Xvfb", self.display, "-screen", "0", "1280x1024x24",
                                      "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        self.env = dict(os.environ, DISPLAY=self.display)
        for _ in range(100):
            r = run(["xdpyinfo"], env=self.env)
            if r is not None and r.returncode == 0:
                break
            time.sleep(0.1)
        else:
            raise Failure("Xvfb did not start on %s" % self.display)
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.5)

    def start_program(self):
        env = dict(self.env, STUDYHOP_HEARTBEAT=self.heartbeat, STUDYHOP_JOURNAL=self.journal,
                   QT_QPA_PLATFORM="xcb",
                   ASAN_OPTIONS="halt_on_error=1:detect_leaks=0:abort_on_error=1",
                   UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1")
        if os.path.exists(self.heartbeat):
            os.remove(self.heartbeat)  # the counter starts again with the program
        self.stderr_path = os.path.join(self.out, "program-%d.err" % self.starts)
        self.starts += 1
        with open(self.stderr_path, "w") as err:
            self.proc = subprocess.Popen([self.o.program], cwd=self.o.dir, env=env,
                                         stdout=subprocess.DEVNULL, stderr=err)
        self.log({"kind": "start"})
        deadline = time.time() + 30
        while time.time() < deadline:
            self.check_alive()
            if self.beat() > 0 and self.windows():
                return
            time.sleep(0.2)
        raise Failure("the program showed no window within 30 s\n" + self.describe_windows())

    def describe_windows(self):
        found = run(["xdotool", "search", "--pid", str(self.proc.pid), ""], env=self.env)
        ids = {int(w) for w in found.stdout.split()} if found is not None else set()
        tree = run(["xwininfo", "-root", "-tree"], env=self.env)
        lines = [line for line in (tree.stdout.splitlines() if tree is not None else [])
                 if (m := WINDOW_LINE.match(line)) and int(m.group(1), 16) in ids]
        first = self.beat()
        time.sleep(1.0)
        return ("heartbeat %d, one second later %d (a blocked UI thread stops it)\n"
                "windows of the program (visible or not):\n" % (first, self.beat())
                + "\n".join(lines) + "\n" + self.describe_surroundings())

    def describe_surroundings(self):
        """Whether the X server and the window manager answer, and where the
        program's threads stand: what a window that never shows waits for."""
        said = []
        started = time.time()
        r = run(["xdpyinfo"], env=self.env, timeout=5)
        said.append("X server: %s after %.1f s" % (
            "answers" if r is not None and r.returncode == 0 else "does not answer",
            time.time() - started))
        said.append("window manager: %s" % (
            "running" if self.wm is not None and self.wm.poll() is None else "gone"))
        if shutil.which("gdb") and self.proc.poll() is None:
            r = run(["gdb", "-batch", "-p", str(self.proc.pid), "-ex", "thread apply all bt 25"],
                    timeout=60)
            if r is not None:
                said.append("threads of the program:\n" + "\n".join(
                    line for line in r.stdout.splitlines() if line.startswith(("#", "Thread"))))
        return "\n".join(said)

    def check_alive(self):
        code = self.proc.poll()
        if code is None:
            return True
        report = open(self.stderr_path, errors="replace").read()
        if code == 0 and "Sanitizer" not in report and "runtime error" not in report:
            return False  # ended by the user (終了)
        raise Failure("the program crashed (status %d):\n%s" % (code, report[-4000:]))

    def stop(self):
        for p in (self.proc, self.wm, self.xvfb):
            if p is not None and p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()

    # --- windows and inputs ----------------------------------------------
    def windows(self):
        """The program's visible windows that have a title, with their sizes."""
        r = run(["xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid), ""],
                env=self.env)
        if r is None:
            return []
        ids = {int(w) for w in r.stdout.split()}
        tree = run(["xwininfo", "-root", "-tree"], env=self.env)
        found = []
        if tree is None:
            return found
        for line in tree.stdout.splitlines():
            m = WINDOW_LINE.match(line)
            if m is None or int(m.group(1), 16) not in ids:
                continue
            w, h = int(m.group(3)), int(m.group(4))
            # Only the program's own windows have a title; untitled ones are
            # Qt's helpers and popups, which a click elsewhere closes.
            if w > 20 and h > 20 and m.group(2):
                found.append({"id": str(int(m.group(1), 16)), "w": w, "h": h,
                              "title": m.group(2)})
        return found

    def log(self, entry):
        entry["n"] = self.inputs
        self.recent.append(entry)

    def pick_input(self, wins):
        # An input that ended the program once (its 終了 button, a close of
        # the main window) is mostly drawn again: each restart starts over
        # from the main window, and the run should get deep into the others.
        for _ in range(10):
            entry = self.draw_input(wins)
            if not any(ends_like(entry, e) for e in self.enders) or self.rng.random() < 0.1:
                break
        return entry

    def draw_input(self, wins):
        # Mostly the windows other than the main one: that is where the
        # questions are edited and asked.
        others = [x for x in wins if not x["title"].startswith(MAIN_TITLE)]
        boxes = [x for x in others if x["title"] not in FORM_TITLES]
        if boxes and self.rng.random() < 0.8:
            w = self.rng.choice(boxes)
        else:
            w = self.rng.choice(others if others and self.rng.random() < 0.75 else wins)
        if w["title"] == QUIZ_TITLE and self.rng.random() < 0.7:
            return {"kind": "key", "title": w["title"], "key": self.rng.choice(QUIZ_KEYS)}
        if w["title"].startswith(MAIN_TITLE) and self.rng.random() < 0.25:
            top, bottom = self.rng.choice(MAIN_BUTTONS)
            return {"kind": "click", "title": w["title"],
                    "rx": round(self.rng.uniform(0.76, 0.95), 3),
                    "ry": round(self.rng.uniform(top, bottom), 3)}
        if w["title"] == CHOOSER_TITLE and self.rng.random() < 0.3:
            return {"kind": "pick", "title": w["title"], "rx": round(self.rng.uniform(0.1, 0.5), 3),
                    "ry": round(self.rng.uniform(0.07, 0.16), 3)}
        r = self.rng.random()
        if r < 0.45:
            return {"kind": "click", "title": w["title"], "rx": round(self.rng.random(), 3),
                    "ry": round(self.rng.random(), 3)}
        if r < 0.75:
            key = self.rng.choice(KEYS)
            if self.rng.random() < 0.15:
                key = "alt+" + self.rng.choice(ALT_LETTERS)
            return {"kind": "key", "title": w["title"], "key": key}
        if r < 0.96:
            return {"kind": "type", "title": w["title"], "text": self.rng.choice(TEXTS)}
        # Closing the main window ends the program: seldom, so that the run
        # spends its time in the other windows.
        if w["title"].startswith(MAIN_TITLE) and len(wins) > 1 and self.rng.random() < 0.8:
            w = self.rng.choice([x for x in wins if x is not w])
        return {"kind": "close", "title": w["title"]}

    def send(self, entry, wins):
        match = [w for w in wins if w["title"] == entry.get("title")] or wins
        w = match[0]
        run(["xdotool", "windowactivate", w["id"]], env=self.env, timeout=3)
        kind = entry["kind"]
        if kind in ("click", "pick"):
            x, y = int(entry["rx"] * (w["w"] - 1)), int(entry["ry"] * (w["h"] - 1))
            run(["xdotool", "mousemove", "--window", w["id"], str(x), str(y), "click", "1"],
                env=self.env, timeout=3)
            if kind == "pick":
                run(["xdotool", "key", "--clearmodifiers", "Return"], env=self.env, timeout=3)
        elif kind == "key":
            run(["xdotool", "key", "--clearmodifiers", *entry["key"].split()], env=self.env,
                timeout=3)
        elif kind == "type":
            run(["xdotool", "type", "--delay", "2", entry["text"]], env=self.env, timeout=10)
        elif kind == "close":
            run(["xdotool", "key", "alt+F4"], env=self.env, timeout=3)

    def beat(self):
        try:
            with open(self.heartbeat) as f:
                return int(f.read().strip() or -1)
        except (OSError, ValueError):
            return -1

    def wait_for_beats(self, beats, within):
        start = self.beat()
        deadline = time.time() + within
        while time.time() < deadline:
            if self.proc.poll() is not None:
                return True
            if self.beat() >= start + beats:
                return True
            time.sleep(0.05)
        return False

    # --- the files -------------------------------------------------------
    def probe(self):
        r = run([self.o.probe, self.o.dir], timeout=60)
        if r is None:
            raise Failure("the question file probe hung")
        if r.returncode != 0:
            raise Failure("a question file does not load completely:\n" + r.stdout[-4000:])
        files = {}
        for line in r.stdout.splitlines():
            parts = line.split("\t")
            if parts[0] == "file":
                files[parts[1]] = {}
            elif parts[0] == "record":
                name, asked, correct, key = parts[1], parts[3], parts[4], parts[5]
                files[name].setdefault(key, []).append((number(asked), number(correct)))
        return files

    def journal_since(self):
        names = set()
        try:
            with open(self.journal, "rb") as f:
                f.seek(self.journal_offset)
                data = f.read()
        except OSError:
            return names
        end = data.rfind(b"\n") + 1
        self.journal_offset += end
        for line in data[:end].decode("utf-8", "replace").splitlines():
            if "\t" in line:
                names.add(os.path.basename(line.split("\t", 1)[1]))
        return names

    def check_files(self):
        # Quiet: no input since, and the event loop went round twice.
        if not self.wait_for_beats(2, ANSWER_WITHIN * 2) and self.check_alive():
            raise Failure("the program does not answer (no heartbeat at a quiet moment)")
        leftovers = glob.glob(os.path.join(self.o.dir, ".studyhop-*.tmp"))
        if leftovers:
            raise Failure("temporary files outlive a save: %s" % leftovers)
        now = self.probe()
        allowed = self.journal_since()
        self.checks += 1
        if self.snapshot is not None:
            self.changes += sum(1 for name, files in now.items()
                                if self.snapshot.get(name) != files)
            for name, before in self.snapshot.items():
                if name in allowed:
                    continue
                after = now.get(name)
                if after is None:
                    raise Failure("%s disappeared without a deletion by the user" % name)
                for key, rows in before.items():
                    got = after.get(key, [])
                    if len(got) < len(rows):
                        raise Failure("%s lost a record without a deletion by the user: %s"
                                      % (name, record_text(key)))
                    if (sum(a for a, _ in got) < sum(a for a, _ in rows)
                            or sum(c for _, c in got) < sum(c for _, c in rows)):
                        raise Failure("%s: statistics went down: %s -> %s (%s)" % (
                            name, rows, got, record_text(key)))
        self.snapshot = now

    # --- the run ---------------------------------------------------------
    def step(self, entry=None):
        if not self.check_alive():
            if self.recent and self.recent[-1]["kind"] != "start":
                self.enders.append(self.recent[-1])
            self.start_program()
        wins = self.windows()
        if not wins:
            time.sleep(1.0)
            if not self.check_alive():
                return
            wins = self.windows()
            if not wins:
                raise Failure("the program runs but shows no window\n" + self.describe_windows())
        if entry is None:
            entry = self.pick_input(wins)
        self.inputs += 1
        self.log(entry)
        before = self.beat()
        self.send(entry, wins)
        # Typing takes a while; the program must answer within the limit once
        # the last key is in.
        sent = time.time()
        deadline = sent + ANSWER_WITHIN
        while self.beat() <= before:
            if self.proc.poll() is not None:
                self.check_alive()
                return
            if time.time() > deadline:
                raise Failure("the program did not answer within %.0f s of an input\n%s"
                              % (ANSWER_WITHIN, self.describe_surroundings()))
            time.sleep(0.02)
        entry["ms"] = int((time.time() - sent) * 1000)

    def write_record(self, failure):
        with open(os.path.join(self.out, "inputs.jsonl"), "w") as f:
            f.write(json.dumps({"seed": self.seed}) + "\n")
            for entry in self.recent:
                f.write(json.dumps(entry, ensure_ascii=False) + "\n")
        if failure:
            with open(os.path.join(self.out, "failure.txt"), "w") as f:
                f.write("seed %d after %d inputs\n%s\n" % (self.seed, self.inputs, failure))

    def main(self):
        print("soak: seed %d, %s minutes, folder %s" % (self.seed, self.o.minutes, self.o.dir),
              flush=True)
        for p in (self.heartbeat, self.journal):
            if os.path.exists(p):
                os.remove(p)
        failure = None
        started = time.time()
        try:
            self.start_display()
            self.start_program()
            self.check_files()
            if self.o.replay:
                with open(self.o.replay) as f:
                    entries = [json.loads(line) for line in f][1:]
                for entry in entries:
                    if entry.get("kind") != "start":
                        self.step(entry)
            else:
                end = started + float(self.o.minutes) * 60
                while time.time() < end:
                    self.step()
                    if self.inputs % QUIET_EVERY == 0:
                        self.check_files()
            if self.check_alive():
                self.check_files()
        except Failure as f:
            failure = str(f)
        finally:
            self.stop()
        self.write_record(failure)
        minutes = (time.time() - started) / 60
        summary = ("SOAK inputs=%d minutes=%.1f starts=%d checks=%d changed=%d seed=%d"
                   % (self.inputs, minutes, self.starts, self.checks, self.changes, self.seed))
        print(summary, flush=True)
        if failure:
            print("soak: FAILED: %s\nsoak: seed and the last %d inputs: %s" % (
                failure, len(self.recent), os.path.join(self.out, "inputs.jsonl")), flush=True)
            return 1
        print("soak: passed", flush=True)
        return 0


def record_text(key):
    """The question and choices of a record key (hex of the UTF-8 texts)."""
    return bytes.fromhex(key).decode("utf-8", "replace").rstrip("\x1f").replace("\x1f", " / ")


def ends_like(entry, ender):
    if entry["kind"] != ender["kind"] or entry.get("title") != ender.get("title"):
        return False
    if entry["kind"] == "click":
        return abs(entry["rx"] - ender["rx"]) < 0.12 and abs(entry["ry"] - ender["ry"]) < 0.12
    return entry.get("key") == ender.get("key") and entry["kind"] != "type"


def number(text):
    try:
        return int(float(text))
    except ValueError:
        return 0


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--program", required=True)
    p.add_argument("--probe", required=True)
    p.add_argument("--dir", required=True)
    p.add_argument("--out", required=True)
    p.add_argument("--minutes", default="1")
    p.add_argument("--seed", type=int)
    p.add_argument("--replay")
    o = p.parse_args()
    if o.replay and o.seed is None:
        with open(o.replay) as f:
            o.seed = json.loads(f.readline())["seed"]
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    return Soak(o).main()


if __name__ == "__main__":
    sys.exit(main())
