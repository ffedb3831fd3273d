#!/usr/bin/env python3
"""The real program in a real window, driven from outside as an operator with
a keyboard-wedge barcode reader drives it: keys at reader speed while the
handlers run, the focus chain of the dialogs, the files written and opened,
and faults injected from outside the process. Each scenario starts the
program in a fresh temporary folder."""
import os, random, re, shutil, signal, sqlite3, subprocess, sys, tempfile, time

INVENTARIO, DEMO = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
ONLY = sys.argv[3:]
ARTIFACTS = os.path.join(os.getcwd(), "e2e-artifacts")
os.makedirs(ARTIFACTS, exist_ok=True)
FAILURES = []


def run(*args, check=True):
    return subprocess.run(args, check=check, capture_output=True, text=True).stdout


def xdo(*args, check=True):
    return run("xdotool", *[str(a) for a in args], check=check)


class Program:
    """One program folder, and the program running in it."""

    def __init__(self, name):
        self.folder = tempfile.mkdtemp(prefix="e2e-%s-" % name)
        shutil.copy(INVENTARIO, os.path.join(self.folder, "inventario"))
        run(DEMO, self.folder)
        # opening a file goes to a stub that records the path
        self.bin = os.path.join(self.folder, "stub-bin")
        os.makedirs(self.bin)
        with open(os.path.join(self.bin, "xdg-open"), "w") as f:
            f.write('#!/bin/sh\necho "$@" >> "%s/opened.txt"\n' % self.folder)
        os.chmod(os.path.join(self.bin, "xdg-open"), 0o755)
        self.db = os.path.join(self.folder, "demo.db")
        self.proc = None

    def start(self):
        env = dict(os.environ, PATH=self.bin + ":" + os.environ.get("PATH", ""))
        env.pop("QT_QPA_PLATFORM", None)
        stale = set(xdo("search", "--name", "^Controllo Magazzino$", check=False).split())
        t0 = time.time()
        self.proc = subprocess.Popen([os.path.join(self.folder, "inventario")], cwd=self.folder, env=env,
                                     stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.folder, "stderr.txt"), "w"))
        wid = None
        while not wid and time.time() < t0 + 60 and self.proc.poll() is None:
            found = [w for w in xdo("search", "--onlyvisible", "--name", "^Controllo Magazzino$", check=False).split()
                     if w not in stale]
            wid = found[-1] if found else None
            time.sleep(0.1)
        assert wid, "the window did not appear"
        xdo("windowfocus", "--sync", wid, check=False)
        g = dict(line.split("=") for line in xdo("getwindowgeometry", "--shell", wid).split())
        self.x, self.y, self.menu = int(g["X"]), int(g["Y"]), int(g["HEIGHT"]) - 632   # client area 1016 x 632
        time.sleep(1.5)                # the start-up step runs once the window is shown
        self.click(32 + 92, 64 + 15)   # the operator puts the cursor in the code field

    def alive(self):
        return self.proc is not None and self.proc.poll() is None

    def stop(self):
        if self.alive():
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()

    def click(self, x, y, client=True):
        """A click at a point of the client area, in the layout's pixels."""
        xdo("mousemove", "--sync", self.x + x, self.y + y + (self.menu if client else 0))
        xdo("click", "1")
        time.sleep(0.15)

    def key(self, *keys):
        xdo("key", "--delay", 30, *keys)

    def scan(self, *fields):
        """A keyboard-wedge reader: each field at reader speed and Return,
        one right after the other, with no pause for the program."""
        for f in fields:
            xdo("type", "--delay", 3, "--", f)
            xdo("key", "--delay", 3, "Return")

    def menu_item(self, downs):
        self.click(75, 10, client=False)       # "Configurazione"
        time.sleep(0.3)
        self.key(*(["Down"] * downs), "Return")

    def delete_newest_row(self):
        self.click(8 + 100, 144 + 28)          # the first row of the list: the newest count
        self.click(936 + 36, 464 + 40)         # Elimina Riga
        time.sleep(0.5)
        self.key("Return")                     # Yes

    def window(self, title, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if xdo("search", "--onlyvisible", "--name", title, check=False).split():
                return True
            time.sleep(0.1)
        self.screenshot("missing-" + re.sub(r"\W", "", title))
        return False

    def screenshot(self, name):
        path = os.path.join(ARTIFACTS, name + ".png")
        run("import", "-window", "root", path)
        assert int(run("convert", path, "-format", "%k", "info:").strip()) > 8, "blank screenshot " + path

    def indicator(self):
        """The colour of the connection indicator, as (r, g, b)."""
        path = os.path.join(self.folder, "pixel.png")
        run("import", "-window", "root", "-crop", "1x1+%d+%d" % (self.x + 30, self.y + 8 + self.menu), path)
        m = re.search(r"\((\d+),(\d+),(\d+)", run("convert", path, "-depth", "8", "txt:").splitlines()[-1])
        return tuple(int(v) for v in m.groups())

    def rows(self, sql, args=()):
        con = sqlite3.connect(self.db, timeout=10)
        try:
            return con.execute(sql, args).fetchall()
        finally:
            con.close()

    def file(self, name):
        with open(os.path.join(self.folder, name), "rb") as f:
            return f.read()

    def wait_until(self, predicate, what, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if predicate():
                return
            time.sleep(0.2)
        raise AssertionError("timed out waiting for " + what)


def scenario(fn):
    if ONLY and fn.__name__ not in ONLY:
        return fn
    print("-- " + fn.__name__, flush=True)
    p = Program(fn.__name__)
    try:
        fn(p)
        print("   ok", flush=True)
    except Exception as e:  # a failed scenario must not stop the others
        FAILURES.append((fn.__name__, repr(e)))
        print("   FAILED: %r" % (e,), flush=True)
    finally:
        p.stop()
    return fn


@scenario
def counting_at_reader_speed(p):
    products = p.rows("SELECT IDProdotto, Barcode FROM Prodotti ORDER BY IDProdotto LIMIT 60")
    expected = dict(p.rows("SELECT IDProdottoVentrox, GiacenzaReale FROM InventarioReale"))
    rnd = random.Random(7)
    scans = [(rnd.choice(products), rnd.choice(["1", "2", "3", "12", "2,5", "0,5", "-1", "1000"])) for _ in range(200)]
    for (pid, _), q in scans:
        expected[pid] = expected.get(pid, 0) + float(q.replace(",", "."))
    p.start()
    for (_, barcode), q in scans:
        p.scan(barcode, q)   # the quantity follows the reader's Enter at once

    def stored():
        got = dict(p.rows("SELECT IDProdottoVentrox, GiacenzaReale FROM InventarioReale"))
        return all(abs(got.get(k, 1e9) - v) < 1e-9 for k, v in expected.items())
    p.wait_until(stored, "every scan stored", timeout=120)
    assert p.rows("SELECT IDProdottoVentrox FROM InventarioReale GROUP BY 1 HAVING count(*) > 1") == []
    p.screenshot("counting-session")


@scenario
def files_written_and_opened(p):
    newest = p.rows("SELECT max(IDInventarioReale), count(*) FROM InventarioReale")[0]
    p.start()
    p.delete_newest_row()
    p.wait_until(lambda: os.path.exists(os.path.join(p.folder, "LOGSalvaRiga.Dat")), "the log")
    assert not p.rows("SELECT 1 FROM InventarioReale WHERE IDInventarioReale = ?", (newest[0],))
    log = p.file("LOGSalvaRiga.Dat").split(b"\r\n")
    assert [len(l) for l in log] == [423, 403, 0] and log[1][37:55].strip() == str(newest[0]).encode(), log
    p.menu_item(2)                       # Crea File testo Tabulato
    time.sleep(1.0)
    p.key("Return")                      # OK File Inventario Completato
    p.wait_until(lambda: os.path.exists(os.path.join(p.folder, "opened.txt")), "the file opened")
    name = open(os.path.join(p.folder, "opened.txt")).read().strip()
    assert re.match(r".*/Inventario_\d{8}_\d{6}\.Dat$", name), name
    lines = p.file(os.path.basename(name)).split(b"\r\n")
    n = newest[1] - 1
    assert lines[0].startswith(b"Inventario del Data: ") and {len(l) for l in lines[1:2 + n]} == {755}
    assert lines[2 + n:4 + n] == [b"", b""] and lines[4 + n].startswith(b"       Totale Inventario: ")


@scenario
def database_locked_then_moved_away(p):
    before = p.rows("SELECT * FROM InventarioReale ORDER BY 1")
    barcode = p.rows("SELECT Barcode FROM Prodotti WHERE IDProdotto = 5")[0][0]
    p.start()
    lock = sqlite3.connect(p.db, timeout=1)    # another station, for longer than the busy timeout
    lock.execute("BEGIN EXCLUSIVE")
    p.scan(barcode, "3")
    shown = p.window("^Errore!!$", timeout=60)
    lock.rollback()
    lock.close()
    assert shown, "no error form while the database was locked"
    assert p.rows("SELECT * FROM InventarioReale ORDER BY 1") == before   # nothing half-written
    p.key("alt+e")
    p.proc.wait(10)
    assert [len(l) for l in p.file("LogErrori.TXT").split(b"\r\n")] == [292, 292, 0]
    p.start()
    os.rename(p.db, p.db + ".salvato")         # the file taken away under the running program
    p.scan(barcode)
    assert p.window("^Attenzione!!$"), "no guard message"
    p.key("Return")
    assert p.alive()
    os.rename(p.db + ".salvato", p.db)
    assert p.rows("SELECT * FROM InventarioReale ORDER BY 1") == before


@scenario
def unwritable_log_and_garbage_term_ini(p):
    os.mkdir(os.path.join(p.folder, "LOGSalvaRiga.Dat"))   # cannot be written, even by root
    p.start()
    with open(os.path.join(p.folder, "term.ini"), "wb") as f:
        f.write(bytes(range(256)) * 4)
    p.click(30, 8)                                          # the indicator tests again
    p.wait_until(lambda: p.indicator() == (255, 0, 0), "NO on red")
    p.scan(p.rows("SELECT Barcode FROM Prodotti WHERE IDProdotto = 7")[0][0], "2")
    p.wait_until(lambda: p.rows("SELECT GiacenzaReale FROM InventarioReale WHERE IDProdottoVentrox = 7") == [(2.0,)],
                 "a count stored on the open connection")
    newest = p.rows("SELECT max(IDInventarioReale) FROM InventarioReale")[0][0]
    p.delete_newest_row()
    assert p.window("^Errore!!$"), "no error form for the log"
    assert not p.rows("SELECT 1 FROM InventarioReale WHERE IDInventarioReale = ?", (newest,))
    p.key("alt+e")
    p.proc.wait(10)
    assert b" (LOG)" in p.file("LogErrori.TXT")


for name, why in FAILURES:
    print("FAILED %s: %s" % (name, why))
sys.exit(1 if FAILURES else 0)
