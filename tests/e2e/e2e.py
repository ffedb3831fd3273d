#!/usr/bin/env python3
"""The real program in a real window, driven from outside as an operator with a barcode reader drives it: keys at
reader speed while the handlers run, files written and opened, a SQL Server on the wire, leaving. Each scenario has
its own folder."""
import contextlib, json, os, pathlib, random, re, shutil, signal, sqlite3, subprocess, sys, tempfile, time
import station

INVENTARIO, DEMO = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
STANDIN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "standin", "standin.py")
ARTIFACTS = os.path.join(os.getcwd(), "e2e-artifacts")
os.makedirs(ARTIFACTS, exist_ok=True)
FAILURES = []

def xdo(*args):
    return subprocess.run(["xdotool"] + [str(a) for a in args], capture_output=True, text=True).stdout

def wait_until(predicate, what, timeout=30):
    deadline = time.time() + timeout
    while not predicate():
        if time.time() > deadline:
            subprocess.run(["import", "-window", "root", os.path.join(ARTIFACTS, re.sub(r"\W", "", what) + ".png")])
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.1)

class Program:
    """One program folder, and the program running in it; opening a file goes to a stub that records the path."""
    def __init__(self, name):
        self.folder = tempfile.mkdtemp(prefix="e2e-%s-" % name)
        self.db, self.proc, self.servers = os.path.join(self.folder, "demo.db"), None, []
        shutil.copy(INVENTARIO, self.path("inventario"))
        subprocess.run([DEMO, self.folder], check=True, capture_output=True)
        os.makedirs(self.path("bin"))
        pathlib.Path(self.path("bin/xdg-open")).write_text('#!/bin/sh\necho "$@" >> "%s"\n' % self.path("opened.txt"))
        os.chmod(self.path("bin/xdg-open"), 0o755)
    def path(self, name):
        return os.path.join(self.folder, name)
    def start(self):
        env = dict(os.environ, PATH=self.path("bin") + ":" + os.environ.get("PATH", ""))
        env.pop("QT_QPA_PLATFORM", None)
        stale = set(xdo("search", "--name", "^Controllo Magazzino$").split())
        visible = lambda: xdo("search", "--onlyvisible", "--name", "^Controllo Magazzino$").split()
        found = lambda: [w for w in visible() if w not in stale]
        for attempt in range(3):   # Xvfb may refuse a connection for a moment: start again then
            self.proc = subprocess.Popen([self.path("inventario")], cwd=self.folder, env=env, stdout=subprocess.DEVNULL,
                                         stderr=open(self.path("stderr.txt"), "w"))
            wait_until(lambda: found() or self.proc.poll() is not None, "the main window", 60)
            if found() or "could not connect to display" not in open(self.path("stderr.txt")).read():
                break
            time.sleep(1)
        assert found(), "the main window did not appear"
        self.wid = found()[-1]
        xdo("windowfocus", "--sync", self.wid)
        g = dict(line.split("=") for line in xdo("getwindowgeometry", "--shell", self.wid).split())
        self.x, self.y, self.menu = int(g["X"]), int(g["Y"]), int(g["HEIGHT"]) - 632   # client area 1016 x 632
        time.sleep(1.5)                # the start-up step runs once the window is shown
        self.click(32 + 92, 64 + 15)   # the operator puts the cursor in the code field
    def stop(self):
        for server in self.servers:
            server.kill()
        if self.proc and self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
    def leave(self, how):
        """Ends the program as the operator does, through "File -> Esci" or the window's close button: it must be
        gone by itself within 5 s, with exit code 0."""
        if how == "Esci":
            self.click(15, 10, client=False)
            time.sleep(0.3)
            xdo("key", "--delay", 100, "Up", "Return")   # the menu's last item
        else:
            station.close(self.wid)
        try:
            code = self.proc.wait(5)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program still runs 5 s after " + how)
        assert code == 0, "exit code %d after %s" % (code, how)
    def click(self, x, y, client=True):
        """A click at a point of the client area, in the layout's pixels."""
        xdo("mousemove", "--sync", self.x + x, self.y + y + (self.menu if client else 0))
        xdo("click", "1")
        time.sleep(0.15)
    def scan(self, *fields, delay=3):
        """A keyboard-wedge reader: each field at reader speed and Return,
        one right after the other, with no pause for the program."""
        for f in fields:
            xdo("type", "--delay", delay, "--", f)
            xdo("key", "--delay", delay, "Return")
    def indicator(self):
        """The colour of the connection indicator, as (r, g, b)."""
        txt = subprocess.run(["import", "-window", "root", "-crop", "1x1+%d+%d" % (self.x + 30, self.y + 8 + self.menu),
                              "-depth", "8", "txt:-"], capture_output=True, text=True).stdout
        return tuple(int(v) for v in re.search(r"\((\d+),(\d+),(\d+)", txt.splitlines()[-1]).groups())
    def rows(self, sql, args=()):
        with contextlib.closing(sqlite3.connect(self.db, timeout=10)) as con:
            return con.execute(sql, args).fetchall()
    def file(self, name):
        return pathlib.Path(self.path(name)).read_bytes()


def stand_in(p, answers, *options):
    """The project's stand-in SQL Server in the program's folder, answering as told (ended with the program), and
    term.ini naming it: the statements that reached it so far."""
    log, ask = p.path("standin.jsonl"), p.path("answers.json")
    pathlib.Path(ask).write_text(json.dumps(answers))
    p.servers.append(subprocess.Popen([sys.executable, STANDIN, "--log", log, "--answers", ask, *options],
                                      stdout=subprocess.PIPE, text=True))
    port = int(p.servers[-1].stdout.readline().split()[1])
    pathlib.Path(p.path("term.ini")).write_bytes(
        station.term_ini("Provider=SQLOLEDB;Data Source=127.0.0.1,%d;UID=sa;PWD=x;DATABASE=Ventrox" % port))
    entries = lambda: map(json.loads, pathlib.Path(log).read_text(encoding="utf-8").splitlines())
    return lambda: [e["sql"] for e in entries() if e["kind"] in ("batch", "rpc")]

def scenario(fn):
    print("-- " + fn.__name__, flush=True)
    p = Program(fn.__name__)
    try:
        fn(p)
        print("   ok", flush=True)
    except Exception as e:  # a failed scenario must not stop the others
        FAILURES.append("%s: %r" % (fn.__name__, e))
        print("   FAILED: %r" % (e,), flush=True)
    finally:
        p.stop()

@scenario
def counting_at_reader_speed_and_the_file(p):
    products = p.rows("SELECT IDProdotto, Barcode FROM Prodotti ORDER BY IDProdotto LIMIT 60")
    counts = "SELECT IDProdottoVentrox, GiacenzaReale FROM InventarioReale"
    expected = dict(p.rows(counts))
    rnd = random.Random(7)
    scans = [(rnd.choice(products), rnd.choice(["1", "2", "3", "12", "2,5", "0,5", "-1", "1000"])) for _ in range(200)]
    for (pid, _), q in scans:
        expected[pid] = expected.get(pid, 0) + float(q.replace(",", "."))
    p.start()
    for (_, barcode), q in scans:
        p.scan(barcode, q)   # the quantity follows the reader's Enter at once
    stored = lambda got: all(abs(got.get(k, 1e9) - v) < 1e-9 for k, v in expected.items())
    wait_until(lambda: stored(dict(p.rows(counts))), "every scan stored", 120)
    assert p.rows("SELECT IDProdottoVentrox FROM InventarioReale GROUP BY 1 HAVING count(*) > 1") == []
    subprocess.run(["import", "-window", "root", os.path.join(ARTIFACTS, "counting-session.png")])
    # the count written to the inventory file and opened
    n = p.rows("SELECT count(*) FROM InventarioReale")[0][0]
    p.click(75, 10, client=False)              # Configurazione -> Crea File testo Tabulato
    time.sleep(0.3)
    xdo("key", "--delay", 30, "Down", "Down", "Return")
    wait_until(lambda: xdo("search", "--onlyvisible", "--name", "^Inventario$"), "OK File Inventario Completato")
    xdo("key", "Return")
    wait_until(lambda: os.path.exists(p.path("opened.txt")), "the file opened")
    name = open(p.path("opened.txt")).read().strip()
    assert re.match(r".*/Inventario_\d{8}_\d{6}\.Dat$", name), name
    lines = p.file(os.path.basename(name)).split(b"\r\n")
    assert lines[0].startswith(b"Inventario del Data: ") and {len(l) for l in lines[1:2 + n]} == {755}
    assert lines[2 + n:4 + n] == [b"", b""] and lines[4 + n].startswith(b"       Totale Inventario: ")
    p.leave("Esci")

@scenario
def on_sql_server(p):
    """The program on a term.ini naming a SQL Server: "OK" on green; a scan cycle in two requests, the search
    bringing its product, then the save, one insert committed, bringing the list back; the close button ends it."""
    requests = stand_in(p, station.ANSWERS)
    p.start()
    wait_until(lambda: p.indicator() == (0, 255, 0), "OK on green")
    wait_until(lambda: any(r.startswith("SELECT TOP 50") for r in requests()), "the list loaded")
    before = len(requests())
    p.scan(station.BARCODE, "2")
    wait_until(lambda: any("COMMIT TRANSACTION" in r for r in requests()), "the count committed")
    sent = requests()[before:]
    assert len(sent) == 2 and "AS Ricerca" in sent[0], sent
    lines = sent[1].split("\n")
    inserts = [i for i, r in enumerate(lines) if "INSERT INTO InventarioReale" in r]
    assert len(inserts) == 1 and lines[inserts[0] + 1] == "COMMIT TRANSACTION", lines
    assert station.INSERT in lines[inserts[0]] and "', 42,0 ,N'P00042')  ELSE " in lines[inserts[0]], lines[inserts[0]]
    p.leave("the close button")

@scenario
def leaving_after_a_silent_server(p):
    """A server that never answers: "NO" once the test gave up, and the program still ends at once, both ways."""
    for how in ("Esci", "the close button"):
        stand_in(p, [], "--silent")
        p.start()
        wait_until(lambda: p.indicator() == (255, 0, 0), "NO on red")
        p.leave(how)

print("\n".join("FAILED " + f for f in FAILURES))
sys.exit(1 if FAILURES else 0)
