#!/usr/bin/env python3
"""A stand-in SQL Server for the tests: speaks enough TDS 7.4 for FreeTDS and Qt's ODBC driver.

  standin.py --log LOG.jsonl [--answers ANSWERS.json] [--port N] [--silent]

Prints "listening PORT" first (port 0, the default, picks a free one) and serves 127.0.0.1
until killed, until the process that started it ends or until the folder of LOG is removed.
With --silent it accepts connections and never answers. Every request is appended to LOG as a JSON line:
  {"conn": 1, "kind": "prelogin" | "login" | "batch" | "rpc" | "tm" | "attention", ...}
  batch {"sql"}, rpc {"proc", "sql", "params"}, tm {"request": "BEGIN" | "COMMIT" | "ROLLBACK"}
ANSWERS is a JSON list tried in order: the first whose "match" (a regular expression, any case) fits
the statement answers it, one with "times": N only N times, with "columns" and "rows", "rowcount",
or "error": NUMBER (1205, 1222, 242) or [NUMBER, TEXT]:
  [{"match": "INSERT", "error": 1205, "times": 1}, {"match": "^\\s*(UPDATE|DELETE)", "rowcount": 1},
   {"match": "FROM Prodotti", "columns": [["IDProdotto", "int"], ["Descrizione", "varchar(50)"]],
    "rows": [[1, "CAFFE'"], [2, null]]}]
Column types: int, bigint, float, real, bit, money, decimal(P,S), datetime ("YYYY-MM-DD HH:MM:SS"),
varchar(N), nvarchar(N). A SELECT that nothing answers gets one int column "n" = 1; any other
statement an empty success. It is no database: what a real server would do stays untested here.
"""
import argparse, datetime, json, os, re, socketserver, struct, sys, threading, time

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


def bvarchar(s):
    return bytes([len(s)]) + s.encode("utf-16-le")


def usvarchar(s):
    return struct.pack("<H", len(s)) + s.encode("utf-16-le")


def done(token=DONE, status=0, count=None, cmd=0xC1):
    status |= (0x10 if count is not None else 0) | (0x01 if token == DONEINPROC else 0)  # count; more to come
    return struct.pack("<BHHQ", token, status, cmd, count or 0)


def envchange(kind, new, old):
    body = bytes([kind]) + new + old
    return b"\xE3" + struct.pack("<H", len(body)) + body


def message(token, number, text, severity):
    body = struct.pack("<iBB", number, 1, severity) + usvarchar(text) + bvarchar("STANDIN") + bvarchar("")
    return bytes([token]) + struct.pack("<H", len(body) + 4) + body + struct.pack("<i", 1)


def column(kind):
    """TYPE_INFO of a column type, and the encoder of one of its values."""
    k = kind.lower().replace(" ", "")
    m = re.fullmatch(r"(n?)varchar\((\d+)\)", k)
    if m:
        wide = m.group(1) == "n"
        info = (b"\xE7" if wide else b"\xA7") + struct.pack("<H", int(m.group(2)) * (2 if wide else 1)) + LATIN1_CI_AS

        def text(v):
            b = str(v).encode("utf-16-le" if wide else "cp1252", "replace")
            return struct.pack("<H", len(b)) + b
        return info, text, b"\xFF\xFF"
    m = re.fullmatch(r"decimal\((\d+),(\d+)\)", k)
    if m:
        precision, scale = int(m.group(1)), int(m.group(2))
        size = 4 if precision < 10 else 8 if precision < 20 else 12 if precision < 29 else 16

        def dec(v):
            n = round(abs(v) * 10 ** scale)
            return bytes([size + 1, 0 if v < 0 else 1]) + n.to_bytes(size, "little")
        return bytes([0x6A, size + 1, precision, scale]), dec, b"\x00"
    fixed = {"int": (0x26, 4, lambda v: struct.pack("<i", v)), "bigint": (0x26, 8, lambda v: struct.pack("<q", v)),
             "float": (0x6D, 8, lambda v: struct.pack("<d", v)), "real": (0x6D, 4, lambda v: struct.pack("<f", v)),
             "bit": (0x68, 1, lambda v: bytes([1 if v else 0])),
             "money": (0x6E, 8, lambda v: struct.pack("<iI", round(v * 10000) >> 32, round(v * 10000) & 0xFFFFFFFF)),
             "datetime": (0x6F, 8, lambda v: datetime_value(datetime.datetime.fromisoformat(v)))}
    if k not in fixed:
        raise ValueError("unknown column type %r" % kind)
    code, size, enc = fixed[k]
    return bytes([code, size]), lambda v: bytes([size]) + enc(v), b"\x00"


def datetime_value(t):
    since = t - datetime.datetime(1900, 1, 1)
    return struct.pack("<iI", since.days, round((since.seconds + since.microseconds / 1e6) * 300))


def rows(columns, values, token):
    cols = [column(k) for _, k in columns]
    out = b"\x81" + struct.pack("<H", len(cols))
    for (name, _), (info, _, _) in zip(columns, cols):
        out += struct.pack("<IH", 0, 0x0001) + info + bvarchar(name)  # nullable
    for row in values:
        out += b"\xD1" + b"".join(null if v is None else enc(v) for (_, enc, null), v in zip(cols, row))
    return out + done(token, count=len(values))


def parameters(data, at):
    """An RPC's parameter values, for the types FreeTDS sends (the others end the list)."""
    values = []
    while at < len(data):
        at += 2 + 2 * data[at]  # name, status
        t = data[at]
        if t in (0xE7, 0xA7, 0x63):  # NVARCHAR, VARCHAR (USHORT lengths), NTEXT (LONG), with a collation
            wide, long = t != 0xA7, t == 0x63
            at += (5 if long else 3) + 5
            n = struct.unpack_from("<i" if long else "<H", data, at)[0]
            at += 4 if long else 2
            null = n < 0 if long else n == 0xFFFF
            values.append(None if null else data[at:at + n].decode("utf-16-le" if wide else "cp1252"))
            at += 0 if null else n
        elif t in (0x26, 0x68, 0x6D):  # INTN, BITN, FLTN
            n = data[at + 2]
            form = {0x26: {1: "<B", 2: "<h", 4: "<i", 8: "<q"}, 0x68: {1: "<?"}, 0x6D: {4: "<f", 8: "<d"}}[t].get(n)
            values.append(struct.unpack_from(form, data, at + 3)[0] if form else None)
            at += 3 + n
        else:
            values.append("type 0x%02x" % t)
            break
    return values


class StandIn(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, log, answers, silent):
        super().__init__(("127.0.0.1", port), Silent if silent else Session)
        self.log, self.answers, self.lock, self.connections = open(log, "a", encoding="utf-8"), answers, \
            threading.Lock(), 0
        self.used = [0] * len(answers)

    def record(self, entry):
        with self.lock:
            self.log.write(json.dumps(entry, ensure_ascii=False) + "\n")
            self.log.flush()

    def answer(self, sql, token=DONE):
        with self.lock:
            for i, a in enumerate(self.answers):
                if re.search(a["match"], sql, re.IGNORECASE | re.DOTALL) and self.used[i] < a.get("times", 1e9):
                    self.used[i] += 1
                    break
            else:
                a = {"columns": [["n", "int"]], "rows": [[1]]} if re.match(r"\s*SELECT\b", sql, re.I) else {}
        if "error" in a:
            number, text = a["error"] if isinstance(a["error"], list) else (a["error"], MESSAGES[a["error"]])
            return message(0xAA, number, text, 16) + done(token, 0x02), True
        if "columns" in a:
            return rows(a["columns"], a.get("rows", []), token), False
        return done(token, count=a.get("rowcount")), False


class Silent(socketserver.BaseRequestHandler):
    def handle(self):
        while self.request.recv(4096):
            pass


class Session(socketserver.BaseRequestHandler):
    def setup(self):
        with self.server.lock:
            self.server.connections += 1
            self.conn = self.server.connections

    def read(self, n):
        b = b""
        while len(b) < n:
            chunk = self.request.recv(n - len(b))
            if not chunk:
                raise EOFError
            b += chunk
        return b

    def receive(self):
        data = b""
        while True:
            kind, status, length = struct.unpack(">BBH", self.read(4))
            self.read(4)
            data += self.read(length - 8)
            if status & 1:
                return kind, data

    def send(self, payload):
        number = 1
        while True:
            chunk, payload = payload[:4088], payload[4088:]
            self.request.sendall(struct.pack(">BBHHBB", 4, 0 if payload else 1, len(chunk) + 8, 0, number, 0) + chunk)
            number = (number + 1) & 0xFF
            if not payload:
                return

    def log(self, kind, **entry):
        self.server.record(dict(conn=self.conn, kind=kind, **entry))

    def handle(self):
        try:
            while True:
                kind, data = self.receive()
                body = data[struct.unpack_from("<I", data)[0]:] if kind in (0x01, 0x03, 0x0E) else data  # ALL_HEADERS
                if kind == 0x12:
                    self.log("prelogin")
                    self.send(self.prelogin())
                elif kind == 0x10:
                    self.log("login", tds_version="%08x" % struct.unpack_from("<I", data, 4)[0])
                    self.send(self.login())
                elif kind == 0x01:
                    sql = body.decode("utf-16-le", "replace")
                    self.log("batch", sql=sql)
                    self.send(self.server.answer(sql)[0])
                elif kind == 0x03:
                    self.send(self.rpc(body))
                elif kind == 0x0E:
                    request = {5: "BEGIN", 7: "COMMIT", 8: "ROLLBACK"}.get(struct.unpack_from("<H", body)[0], "other")
                    self.log("tm", request=request)
                    descriptor = bytes([8]) + struct.pack("<Q", self.conn)
                    change = {"BEGIN": envchange(8, descriptor, b"\x00"), "COMMIT": envchange(9, b"\x00", descriptor)}
                    self.send(change.get(request, envchange(10, b"\x00", descriptor)) + done(cmd=0))
                elif kind == 0x06:
                    self.log("attention")
                    self.send(done(status=0x20, cmd=0))
                else:
                    self.send(done(cmd=0))
        except (EOFError, ConnectionError):
            pass

    @staticmethod
    def prelogin():
        options = [(0, bytes([16, 0, 0x10, 0x7A, 0, 0])), (1, b"\x02"), (2, b"\x00"), (3, b"\0\0\0\0"), (4, b"\x00")]
        head, tail, offset = b"", b"", 5 * len(options) + 1  # version; encryption not supported
        for token, value in options:
            head += struct.pack(">BHH", token, offset + len(tail), len(value))
            tail += value
        return head + b"\xFF" + tail

    @staticmethod
    def login():
        ack = b"\x01" + struct.pack(">I", 0x74000004) + bvarchar("Microsoft SQL Server") + bytes([16, 0, 0x10, 0x7A])
        return (envchange(1, bvarchar("Ventrox"), bvarchar("master")) + envchange(7, bytes([5]) + LATIN1_CI_AS, b"\x00")
                + envchange(4, bvarchar("4096"), bvarchar("4096")) + b"\xAD" + struct.pack("<H", len(ack)) + ack
                + done(cmd=0))

    def rpc(self, body):
        n = struct.unpack_from("<H", body)[0]
        if n == 0xFFFF:
            proc, at = PROCS.get(struct.unpack_from("<H", body, 2)[0], "procid %d" % body[2]), 4
        else:
            proc, at = body[2:2 + 2 * n].decode("utf-16-le"), 2 + 2 * n
        params = parameters(body, at + 2)
        sql = params[STATEMENT[proc]] if proc in STATEMENT and len(params) > STATEMENT[proc] else ""
        sql = sql if isinstance(sql, str) else ""
        self.log("rpc", proc=proc, sql=sql, params=params)
        out, failed = b"", False
        if proc in ("sp_cursoropen", "sp_cursorprepexec") and not re.match(r"\s*SELECT\b", sql, re.I):
            out += message(0xAB, 16954, "Executing SQL directly; no cursor.", 10)
        if sql:
            answer, failed = self.server.answer(sql, DONEINPROC)
            out += answer
        return out + b"\x79" + struct.pack("<i", 1 if failed else 0) + done(DONEPROC, 0x02 if failed else 0, cmd=0xE0)


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--log", required=True)
    p.add_argument("--answers")
    p.add_argument("--port", type=int, default=0)
    p.add_argument("--silent", action="store_true")
    a = p.parse_args()
    answers = json.load(open(a.answers, encoding="utf-8")) if a.answers else []
    server = StandIn(a.port, a.log, answers, a.silent)
    print("listening", server.server_address[1], flush=True)
    parent = os.getppid()
    threading.Thread(target=server.serve_forever, daemon=True).start()
    folder = os.path.dirname(os.path.abspath(a.log))
    # ends with the test that started it: its parent gone, or (started from a
    # Windows program under Wine, whose parent it does not see) its folder
    while os.getppid() == parent and os.path.isdir(folder):
        time.sleep(0.5)


if __name__ == "__main__":
    sys.exit(main())
