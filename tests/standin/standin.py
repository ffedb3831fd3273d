#!/usr/bin/env python3
"""A stand-in SQL Server for the tests: speaks enough TDS 7.4 for FreeTDS and Qt's ODBC driver.

  standin.py --log LOG.jsonl [--answers ANSWERS.json] [--port N] [--silent]

Prints "listening PORT" first (port 0, the default, picks a free one) and serves 127.0.0.1 until killed, until the
process that started it ends or until the folder of LOG is removed. With --silent it accepts connections and never
answers. Every request is appended to LOG as a JSON line:
  {"conn": 1, "kind": "prelogin" | "login" | "batch" | "rpc" | "tm" | "attention", ...}
  batch {"sql"}, rpc {"proc", "sql", "params"}, tm {"request": "BEGIN" | "COMMIT" | "ROLLBACK"}
ANSWERS is a JSON list tried in order: the first whose "match" (a regular expression, any case) fits the statement
answers it, one with "times": N only N times, with "columns" and "rows", "rowcount", or "error": NUMBER (1205, 1222,
242) or [NUMBER, TEXT]:
  [{"match": "INSERT", "error": 1205, "times": 1}, {"match": "^\\s*(UPDATE|DELETE)", "rowcount": 1},
   {"match": "FROM Prodotti", "columns": [["IDProdotto", "int"], ["Descrizione", "varchar(50)"]],
    "rows": [[1, "CAFFE'"], [2, null]]}]
Column types: int, bigint, float, real, bit, money, decimal(P,S), datetime ("YYYY-MM-DD HH:MM:SS"), varchar(N),
nvarchar(N). A SELECT that nothing answers gets one int column "n" = 1; any other statement an empty success.
It is no database: what a real server would do stays untested here."""
import argparse, datetime, itertools, json, os, re, socketserver, struct, sys, threading, time

LATIN1_CI_AS = bytes([0x09, 0x04, 0xD0, 0x00, 0x00])  # code page 1252
PROCS = {1: "sp_cursor", 2: "sp_cursoropen", 3: "sp_cursorprepare", 4: "sp_cursorexecute", 5: "sp_cursorprepexec",
         6: "sp_cursorunprepare", 7: "sp_cursorfetch", 8: "sp_cursoroption", 9: "sp_cursorclose", 10: "sp_executesql",
         11: "sp_prepare", 12: "sp_execute", 13: "sp_prepexec", 14: "sp_prepexecrpc", 15: "sp_unprepare"}
STATEMENT = {"sp_executesql": 0, "sp_cursoropen": 1, "sp_prepare": 2, "sp_prepexec": 2, "sp_cursorprepare": 2,
             "sp_cursorprepexec": 3}  # which parameter holds the statement
MESSAGES = {1205: "Transaction (Process ID 52) was deadlocked on lock resources with another process and has been "
                  "chosen as the deadlock victim. Rerun the transaction.",
            1222: "Lock request time out period exceeded.",
            242: "The conversion of a varchar data type to a datetime data type resulted in an out-of-range value."}
DONE, DONEPROC, DONEINPROC = 0xFD, 0xFE, 0xFF
NUMBERS = {0x26: {1: "<B", 2: "<h", 4: "<i", 8: "<q"}, 0x68: {1: "<?"}, 0x6D: {4: "<f", 8: "<d"}}  # INTN, BITN, FLTN
TM = {5: ("BEGIN", 8), 7: ("COMMIT", 9), 8: ("ROLLBACK", 10)}  # request, ENVCHANGE type
SELECT = re.compile(r"\s*SELECT\b", re.I)

def bvarchar(s, form="<B"):
    return struct.pack(form, len(s)) + s.encode("utf-16-le")

def done(token=DONE, status=0, count=None, cmd=0xC1):
    status |= (0x10 if count is not None else 0) | (0x01 if token == DONEINPROC else 0)  # count; more to come
    return struct.pack("<BHHQ", token, status, cmd, count or 0)

def envchange(kind, new, old):
    return b"\xE3" + struct.pack("<HB", len(new + old) + 1, kind) + new + old

def message(token, number, text, severity):
    body = struct.pack("<iBB", number, 1, severity) + bvarchar(text, "<H") + bvarchar("STANDIN") + bvarchar("")
    return bytes([token]) + struct.pack("<H", len(body) + 4) + body + struct.pack("<i", 1)

def datetime_value(v):
    since = datetime.datetime.fromisoformat(v) - datetime.datetime(1900, 1, 1)
    return struct.pack("<iI", since.days, round((since.seconds + since.microseconds / 1e6) * 300))

FIXED = {"int": (0x26, 4, lambda v: struct.pack("<i", v)), "bigint": (0x26, 8, lambda v: struct.pack("<q", v)),
         "float": (0x6D, 8, lambda v: struct.pack("<d", v)), "real": (0x6D, 4, lambda v: struct.pack("<f", v)),
         "bit": (0x68, 1, lambda v: bytes([1 if v else 0])), "datetime": (0x6F, 8, datetime_value),
         "money": (0x6E, 8, lambda v: struct.pack("<iI", round(v * 10000) >> 32, round(v * 10000) & 0xFFFFFFFF))}

def column(kind):
    """TYPE_INFO of a column type, the encoder of one of its values, and its NULL."""
    k = kind.lower().replace(" ", "")
    if m := re.fullmatch(r"(n?)varchar\((\d+)\)", k):
        wide = m.group(1) == "n"
        info = (b"\xE7" if wide else b"\xA7") + struct.pack("<H", int(m.group(2)) * (2 if wide else 1)) + LATIN1_CI_AS
        text = lambda b: struct.pack("<H", len(b)) + b
        return info, lambda v: text(str(v).encode("utf-16-le" if wide else "cp1252", "replace")), b"\xFF\xFF"
    if m := re.fullmatch(r"decimal\((\d+),(\d+)\)", k):
        precision, scale = int(m.group(1)), int(m.group(2))
        size = 4 if precision < 10 else 8 if precision < 20 else 12 if precision < 29 else 16
        return (bytes([0x6A, size + 1, precision, scale]), lambda v: bytes([size + 1, 0 if v < 0 else 1])
                + round(abs(v) * 10 ** scale).to_bytes(size, "little"), b"\x00")
    if k not in FIXED:
        raise ValueError("unknown column type %r" % kind)
    code, size, enc = FIXED[k]
    return bytes([code, size]), lambda v: bytes([size]) + enc(v), b"\x00"

def rows(columns, values, token):
    cols = [(name,) + column(k) for name, k in columns]
    head = b"".join(struct.pack("<IH", 0, 0x0001) + info + bvarchar(name) for name, info, _, _ in cols)  # nullable
    row = lambda r: b"\xD1" + b"".join(null if v is None else enc(v) for (_, _, enc, null), v in zip(cols, r))
    return b"\x81" + struct.pack("<H", len(cols)) + head + b"".join(map(row, values)) + done(token, count=len(values))

def parameters(data, at):
    """An RPC's parameter values, for the types FreeTDS sends (the others end the list)."""
    values = []
    while at < len(data):
        at += 2 + 2 * data[at]  # name, status
        t = data[at]
        if t in (0xE7, 0xA7, 0x63):  # NVARCHAR, VARCHAR (USHORT lengths), NTEXT (LONG), with a collation
            long = t == 0x63
            n = struct.unpack_from("<i" if long else "<H", data, at + (10 if long else 8))[0]
            null, at = (n < 0 if long else n == 0xFFFF), at + (14 if long else 10)
            values.append(None if null else data[at:at + n].decode("cp1252" if t == 0xA7 else "utf-16-le"))
            at += 0 if null else n
        elif t in NUMBERS:
            form = NUMBERS[t].get(data[at + 2])
            values.append(struct.unpack_from(form, data, at + 3)[0] if form else None)
            at += 3 + data[at + 2]
        else:
            return values + ["type 0x%02x" % t]
    return values

OPTIONS = [bytes([16, 0, 0x10, 0x7A, 0, 0]), b"\x02", b"\x00", b"\0\0\0\0", b"\x00"]  # version; no encryption
PRELOGIN = b"".join(struct.pack(">BHH", token, 5 * len(OPTIONS) + 1 + len(b"".join(OPTIONS[:token])), len(value))
                    for token, value in enumerate(OPTIONS)) + b"\xFF" + b"".join(OPTIONS)
ACK = b"\x01" + struct.pack(">I", 0x74000004) + bvarchar("Microsoft SQL Server") + bytes([16, 0, 0x10, 0x7A])
LOGIN = (envchange(1, bvarchar("Ventrox"), bvarchar("master")) + envchange(7, bytes([5]) + LATIN1_CI_AS, b"\x00")
         + envchange(4, bvarchar("4096"), bvarchar("4096")) + b"\xAD" + struct.pack("<H", len(ACK)) + ACK + done(cmd=0))

class StandIn(socketserver.ThreadingTCPServer):
    daemon_threads = allow_reuse_address = True
    def __init__(self, port, log, answers, silent):
        super().__init__(("127.0.0.1", port), Session)
        self.log, self.answers, self.used = open(log, "a", encoding="utf-8", buffering=1), answers, [0] * len(answers)
        self.lock, self.connections, self.silent = threading.Lock(), itertools.count(1), silent
    def answer(self, sql, token=DONE):
        with self.lock:
            for i, a in enumerate(self.answers):
                if re.search(a["match"], sql, re.IGNORECASE | re.DOTALL) and self.used[i] < a.get("times", 1e9):
                    self.used[i] += 1
                    break
            else:
                a = {"columns": [["n", "int"]], "rows": [[1]]} if SELECT.match(sql) else {}
        if "error" in a:
            number, text = a["error"] if isinstance(a["error"], list) else (a["error"], MESSAGES[a["error"]])
            return message(0xAA, number, text, 16) + done(token, 0x02), True
        if "columns" in a:
            return rows(a["columns"], a.get("rows", []), token), False
        return done(token, count=a.get("rowcount")), False

class Session(socketserver.BaseRequestHandler):
    def setup(self):
        self.conn = next(self.server.connections)
        self.file = self.request.makefile("rb")
    def read(self, n):
        if len(b := self.file.read(n)) < n:
            raise EOFError
        return b
    def send(self, payload, kind=None, **entry):
        if kind:  # the request, logged before its answer goes out
            with self.server.lock:
                self.server.log.write(json.dumps(dict(conn=self.conn, kind=kind, **entry), ensure_ascii=False) + "\n")
        for number, at in enumerate(range(0, max(len(payload), 1), 4088), 1):
            chunk, last = payload[at:at + 4088], at + 4088 >= len(payload)
            self.request.sendall(struct.pack(">BBHHBB", 4, last, len(chunk) + 8, 0, number & 0xFF, 0) + chunk)
    def handle(self):
        while self.server.silent and self.request.recv(4096):  # accepts, never answers
            pass
        try:
            while True:
                kind, status, data = 0, 0, b""
                while not status & 1:
                    kind, status, length = struct.unpack(">BBH4x", self.read(8))
                    data += self.read(length - 8)
                body = data[struct.unpack_from("<I", data)[0]:] if kind in (0x01, 0x03, 0x0E) else data  # ALL_HEADERS
                if kind == 0x12:
                    self.send(PRELOGIN, "prelogin")
                elif kind == 0x10:
                    self.send(LOGIN, "login", tds_version="%08x" % struct.unpack_from("<I", data, 4)[0])
                elif kind == 0x01:
                    sql = body.decode("utf-16-le", "replace")
                    self.send(self.server.answer(sql)[0], "batch", sql=sql)
                elif kind == 0x03:
                    self.rpc(body)
                elif kind == 0x0E:
                    request, change = TM.get(struct.unpack_from("<H", body)[0], ("other", 10))
                    descriptor = bytes([8]) + struct.pack("<Q", self.conn)
                    new_old = (descriptor, b"\x00") if change == 8 else (b"\x00", descriptor)
                    self.send(envchange(change, *new_old) + done(cmd=0), "tm", request=request)
                elif kind == 0x06:
                    self.send(done(status=0x20, cmd=0), "attention")
                else:
                    self.send(done(cmd=0))
        except (EOFError, ConnectionError):
            pass
    def rpc(self, body):
        n = struct.unpack_from("<H", body)[0]
        proc, at = ((PROCS.get(struct.unpack_from("<H", body, 2)[0], "procid %d" % body[2]), 4) if n == 0xFFFF
                    else (body[2:2 + 2 * n].decode("utf-16-le"), 2 + 2 * n))
        params = parameters(body, at + 2)
        sql = params[STATEMENT[proc]] if proc in STATEMENT and len(params) > STATEMENT[proc] else ""
        sql = sql if isinstance(sql, str) else ""
        cursor = proc in ("sp_cursoropen", "sp_cursorprepexec") and not SELECT.match(sql)
        out = message(0xAB, 16954, "Executing SQL directly; no cursor.", 10) if cursor else b""
        answer, failed = self.server.answer(sql, DONEINPROC) if sql else (b"", False)
        status = b"\x79" + struct.pack("<i", 1 if failed else 0) + done(DONEPROC, 0x02 if failed else 0, cmd=0xE0)
        self.send(out + answer + status, "rpc", proc=proc, sql=sql, params=params)

def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--log", required=True)
    p.add_argument("--answers")
    p.add_argument("--port", type=int, default=0)
    p.add_argument("--silent", action="store_true")
    a = p.parse_args()
    server = StandIn(a.port, a.log, json.load(open(a.answers, encoding="utf-8")) if a.answers else [], a.silent)
    print("listening", server.server_address[1], flush=True)
    parent = os.getppid()
    threading.Thread(target=server.serve_forever, daemon=True).start()
    # ends with the test that started it: its parent gone, or (started from a
    # Windows program under Wine, whose parent it does not see) its folder
    while os.getppid() == parent and os.path.isdir(os.path.dirname(os.path.abspath(a.log))):
        time.sleep(0.5)

if __name__ == "__main__":
    sys.exit(main())
