#!/usr/bin/env python3
"""A stand-in SQL Server for the tests: enough TDS 7.4 for FreeTDS and Qt's ODBC driver, on 127.0.0.1.

  standin.py --log LOG.jsonl [--answers ANSWERS.json] [--port N] [--silent]

Prints "listening PORT" and serves until killed, its parent gone or the folder of LOG removed; --silent never answers.
Each request is a JSON line of LOG. ANSWERS: {"logins": [{"user", "password", "database"?}], "answers": [...]}, or
the answers alone: the first whose "match" (a regular expression, any case) fits a statement answers it, "times" times
at most, with "columns" ([name, type]: int, bigint, float, real, bit, money, datetime, varchar(N), nvarchar(N)) and
"rows", a "rowcount", or an "error": NUMBER or [NUMBER, TEXT]. Logins are checked byte for byte and transactions
kept as SQL Server does; it offers no encryption."""
import argparse, datetime, itertools, json, os, re, socketserver, struct, sys, threading, time

LATIN1_CI_AS = bytes([0x09, 0x04, 0xD0, 0x00, 0x00])  # code page 1252
PROCS = {1: "sp_cursor", 2: "sp_cursoropen", 3: "sp_cursorprepare", 4: "sp_cursorexecute", 5: "sp_cursorprepexec",
         6: "sp_cursorunprepare", 7: "sp_cursorfetch", 8: "sp_cursoroption", 9: "sp_cursorclose", 10: "sp_executesql",
         11: "sp_prepare", 12: "sp_execute", 13: "sp_prepexec", 14: "sp_prepexecrpc", 15: "sp_unprepare"}
STATEMENT = {"sp_executesql": 0, "sp_cursoropen": 1, "sp_prepare": 2, "sp_prepexec": 2, "sp_cursorprepare": 2,
             "sp_cursorprepexec": 3}  # which parameter holds the statement
MESSAGES = {1205: "Transaction (Process ID 52) was deadlocked on lock resources with another process and has been "
                  "chosen as the deadlock victim. Rerun the transaction.",
            1222: "Lock request time out period exceeded."}
DONE, DONEPROC, DONEINPROC = 0xFD, 0xFE, 0xFF
NUMBERS = {0x26: {1: "<B", 2: "<h", 4: "<i", 8: "<q"}, 0x68: {1: "<?"}, 0x6D: {4: "<f", 8: "<d"}}  # INTN, BITN, FLTN
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
    if k not in FIXED:
        raise ValueError("unknown column type %r" % kind)
    code, size, enc = FIXED[k]
    return bytes([code, size]), lambda v: bytes([size]) + enc(v), b"\x00"

def rows(columns, values, token, status=0):
    cols = [(name,) + column(k) for name, k in columns]
    head = b"".join(struct.pack("<IH", 0, 0x0001) + info + bvarchar(name) for name, info, _, _ in cols)  # nullable
    row = lambda r: b"\xD1" + b"".join(null if v is None else enc(v) for (_, _, enc, null), v in zip(cols, r))
    return b"\x81" + struct.pack("<H", len(cols)) + head + b"".join(map(row, values)) + done(token, status, len(values))

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

# --- Logins: the pre-login exchange, the login's fields and the server's checks -------------------------------------

LOGIN_FIELDS = ["host", "user", "password", "app", "server", None, "library", "language", "database"]

def prelogin():
    """The server's pre-login answer: its version, and no encryption."""
    options = [bytes([16, 0, 0x10, 0x7A, 0, 0]), b"\x02", b"\x00", b"\0\0\0\0", b"\x00"]
    return b"".join(struct.pack(">BHH", token, 5 * len(options) + 1 + len(b"".join(options[:token])), len(value))
                    for token, value in enumerate(options)) + b"\xFF" + b"".join(options)

def login7(data):
    """A LOGIN7 packet's fields as text, and the user, password and database as the bytes that came."""
    fields, raw = {}, {}
    for n, name in enumerate(LOGIN_FIELDS):
        offset, length = struct.unpack_from("<HH", data, 36 + 4 * n)
        value = data[offset:offset + 2 * length]
        if name == "password":  # each byte's halves swapped, then XOR 0xA5
            value = bytes((b ^ 0xA5) >> 4 | ((b ^ 0xA5) & 0x0F) << 4 for b in value)
        if name:
            raw[name], fields[name] = value, value.decode("utf-16-le", "replace")
    fields.update(integrated=bool(data[25] & 0x80), sspi=struct.unpack_from("<H", data, 80)[0],
                  tds_version="%08x" % struct.unpack_from("<I", data, 4)[0])
    return fields, raw

def refusal(fields, raw, logins):
    """SQL Server's answer to a login it refuses (b"" when it takes it), and its error number."""
    utf16 = lambda text: text.encode("utf-16-le")
    login = next((l for l in logins if utf16(l["user"]) == raw["user"] and utf16(l["password"]) == raw["password"]),
                 None)
    failed = message(0xAA, 18456, "Login failed for user '%s'." % fields["user"], 14)
    if logins and not login:
        return 18456, failed + done(status=0x02, cmd=0)
    if login and "database" in login and raw["database"] != utf16(login["database"]):
        text = 'Cannot open database "%s" requested by the login. The login failed.' % fields["database"]
        return 4060, message(0xAA, 4060, text, 11) + failed + done(status=0x02, cmd=0)
    return 0, b""

def accepted(database):
    ack = b"\x01" + struct.pack(">I", 0x74000004) + bvarchar("Microsoft SQL Server") + bytes([16, 0, 0x10, 0x7A])
    return (envchange(1, bvarchar(database or "master"), bvarchar("master"))
            + envchange(7, bytes([5]) + LATIN1_CI_AS, b"\x00") + envchange(4, bvarchar("4096"), bvarchar("4096"))
            + b"\xAD" + struct.pack("<H", len(ack)) + ack + done(cmd=0))

# --- Transactions -------------------------------------------------------------------------------------------------

NO_TRANSACTION = {"COMMIT": (3902, "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION."),
                  "ROLLBACK": (3903, "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.")}
TRANSACTION_SQL = re.compile(r"\s*(BEGIN|COMMIT|ROLLBACK)(\s+TRAN(SACTION)?)?\s*;?\s*$", re.I)
IF_TRANCOUNT = re.compile(r"\s*IF\s+@@TRANCOUNT\s*>\s*0\s+(.*)", re.I | re.S)
XACT_ABORT = re.compile(r"\s*SET\s+XACT_ABORT\s+(ON|OFF)\s*;?\s*$", re.I)
ASSIGNMENT = re.compile(r"\s*SELECT\s+(TOP\s+\d+\s+)?@\w+\s*=", re.I)
DESCRIPTORS = itertools.count(1)

class Transaction:
    """A session's transaction as SQL Server keeps it, begun, committed and rolled back by a batch's statements: its
    depth, and the descriptor its ENVCHANGE tokens carry."""
    def __init__(self):
        self.depth, self.descriptor, self.lost = 0, b"", False
    def begin(self):
        self.depth += 1
        if self.depth > 1:
            return b""
        self.descriptor = struct.pack("<Q", next(DESCRIPTORS))
        return envchange(8, b"\x08" + self.descriptor, b"\x00")
    def end(self, change):  # 9 committed, 10 rolled back
        self.depth = 0
        return envchange(change, b"\x00", b"\x08" + self.descriptor)
    def deadlock(self):
        """Its session chosen as a deadlock's victim: rolled back under the client."""
        self.lost = self.depth > 0
        return self.end(10) if self.lost else b""
    def request(self, what):
        """BEGIN, COMMIT or ROLLBACK: the tokens before its DONE, and whether it failed. After a deadlock the
        client's ROLLBACK finds nothing left to undo; a COMMIT has nothing to commit."""
        lost, self.lost = self.lost, False
        if what == "BEGIN":
            return self.begin(), False
        if what == "COMMIT" and self.depth > 1:
            self.depth -= 1
            return b"", False
        if self.depth:
            tokens = self.end(9 if what == "COMMIT" else 10)
        elif what == "ROLLBACK" and lost:
            tokens = b""
        else:
            return message(0xAA, *NO_TRANSACTION[what], 16), True
        return tokens, False

# --- The server and its sessions ----------------------------------------------------------------------------------

class StandIn(socketserver.ThreadingTCPServer):
    daemon_threads = allow_reuse_address = True
    def __init__(self, port, log, answers, silent):
        super().__init__(("127.0.0.1", port), Session)
        answers = answers if isinstance(answers, dict) else {"answers": answers}
        self.answers, self.logins = answers.get("answers", []), answers.get("logins", [])
        self.used, self.silent = [0] * len(self.answers), silent
        self.log = open(log, "a", encoding="utf-8", buffering=1)
        self.lock, self.connections = threading.Lock(), itertools.count(1)
    def answer(self, sql):
        """The first answer that fits the statement."""
        with self.lock:
            for i, a in enumerate(self.answers):
                if re.search(a["match"], sql, re.IGNORECASE | re.DOTALL) and self.used[i] < a.get("times", 1e9):
                    self.used[i] += 1
                    return a
        if ASSIGNMENT.match(sql):
            return {"rowcount": 1}
        return {"columns": [["n", "int"]], "rows": [[1]]} if SELECT.match(sql) else {}

class Session(socketserver.BaseRequestHandler):
    def setup(self):
        self.conn = next(self.server.connections)
        self.pending, self.transaction, self.xact_abort = b"", Transaction(), False
    def read(self, n):
        while len(self.pending) < n:
            data = self.request.recv(65536)
            if not data:
                raise EOFError
            self.pending += data
        data, self.pending = self.pending[:n], self.pending[n:]
        return data
    def packet(self):
        """The next message: its type and its data, the packets joined."""
        kind, status, data = 0, 0, b""
        while not status & 1:
            kind, status, length = struct.unpack(">BBH4x", self.read(8))
            data += self.read(length - 8)
        return kind, data
    def log(self, kind, **entry):
        with self.server.lock:
            self.server.log.write(json.dumps(dict(conn=self.conn, kind=kind, **entry), ensure_ascii=False) + "\n")
    def send(self, payload, kind=None, **entry):
        if kind:  # the request, logged before its answer goes out
            self.log(kind, **entry)
        for number, at in enumerate(range(0, max(len(payload), 1), 4088), 1):
            chunk, last = payload[at:at + 4088], at + 4088 >= len(payload)
            self.request.sendall(struct.pack(">BBHHBB", 4, last, len(chunk) + 8, 0, number & 0xFF, 0) + chunk)
    def handle(self):
        while self.server.silent and self.request.recv(4096):  # accepts, never answers
            pass
        try:
            while True:
                kind, data = self.packet()
                body = data[struct.unpack_from("<I", data)[0]:] if kind in (0x01, 0x03) else data  # ALL_HEADERS
                if kind == 0x12:
                    self.send(prelogin(), "prelogin")
                elif kind == 0x10:
                    fields, raw = login7(data)
                    refused, answer = refusal(fields, raw, self.server.logins)
                    self.send(answer or accepted(fields["database"]), "login", refused=refused or None, **fields)
                    if refused:
                        return
                elif kind == 0x01:
                    sql = body.decode("utf-16-le", "replace")
                    self.send(self.batch(sql), "batch", sql=sql)
                elif kind == 0x03:
                    self.rpc(body)
                elif kind == 0x06:
                    self.send(done(status=0x20, cmd=0), "attention")
                else:
                    self.send(done(cmd=0))
        except (EOFError, ConnectionError):
            pass
    def result(self, a, token=DONE, status=0, rollback=False):
        """The tokens that answer one statement, and its error's number (0: none)."""
        if "error" in a:
            number, text = a["error"] if isinstance(a["error"], list) else (a["error"], MESSAGES[a["error"]])
            ended = self.transaction.deadlock() if number == 1205 or rollback else b""
            return message(0xAA, number, text, 16) + ended + done(token, status | 0x02), number
        if "columns" in a:
            return rows(a["columns"], a.get("rows", []), token, status), 0
        return done(token, status, a.get("rowcount")), 0
    def statement(self, sql, more):
        """The tokens that answer one statement of a batch, and whether the batch ends with it."""
        status = 0x01 if more else 0
        if m := IF_TRANCOUNT.match(sql):
            return self.statement(m.group(1), more) if self.transaction.depth else (done(status=status), False)
        if m := XACT_ABORT.match(sql):
            self.xact_abort = m.group(1).upper() == "ON"
            return done(status=status), False
        if m := TRANSACTION_SQL.match(sql):
            tokens, failed = self.transaction.request(m.group(1).upper())
            return tokens + done(status=status | (0x02 if failed else 0)), failed and self.xact_abort
        a = self.server.answer(sql)
        number = (a["error"][0] if isinstance(a["error"], list) else a["error"]) if "error" in a else 0
        ends = number in (1205, 208) or bool(number and self.xact_abort)
        return self.result(a, status=0 if ends else status, rollback=ends and number != 208)[0], ends
    def batch(self, sql):
        statements = [line for line in sql.split("\n") if line.strip()] or [sql]
        out = b""
        for n, statement in enumerate(statements):
            tokens, ends = self.statement(statement, n + 1 < len(statements))
            out += tokens
            if ends:
                break
        return out
    def rpc(self, body):
        n = struct.unpack_from("<H", body)[0]
        proc, at = ((PROCS.get(struct.unpack_from("<H", body, 2)[0], "procid %d" % body[2]), 4) if n == 0xFFFF
                    else (body[2:2 + 2 * n].decode("utf-16-le"), 2 + 2 * n))
        params = parameters(body, at + 2)
        sql = params[STATEMENT[proc]] if proc in STATEMENT and len(params) > STATEMENT[proc] else ""
        sql = sql if isinstance(sql, str) else ""
        cursor = proc in ("sp_cursoropen", "sp_cursorprepexec") and not SELECT.match(sql)
        out = message(0xAB, 16954, "Executing SQL directly; no cursor.", 10) if cursor else b""
        answer, failed = self.result(self.server.answer(sql), DONEINPROC) if sql else (b"", 0)
        status = b"\x79" + struct.pack("<i", 1 if failed else 0) + done(DONEPROC, 0x02 if failed else 0, cmd=0xE0)
        self.send(out + answer + status, "rpc", proc=proc, sql=sql, params=params)

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
    # ends with the test that started it: its parent gone, or (started from a
    # Windows program under Wine, whose parent it does not see) its folder
    while os.getppid() == parent and os.path.isdir(os.path.dirname(os.path.abspath(a.log))):
        time.sleep(0.5)

if __name__ == "__main__":
    sys.exit(main())
