#!/usr/bin/env python3
"""What the end-to-end run and the Windows scripts share about a station: the stand-in server's answers for one
product, term.ini naming a connection (its lines scrambled as the program stores them), and the close button of a
window (the window manager's close request, WM_DELETE_WINDOW).
  station.py answers FILE | term-ini FILE CONNECTION | close WINDOW"""
import ctypes, json, sys

# one product, P00042, counted nowhere yet: its search bringing the product and its count so far, the outcome of
# the save's batch (no row found) and the list of counted rows read back with it
ANSWERS = [
    {"match": "AS Ricerca", "rows": [[42, "P00042", "CAFFE' MACINATO", 2, "8001230009045", 3.9, 2.5, 12, None]],
     "columns": [["IDProdotto", "int"], ["CodInterno", "varchar(20)"], ["Descrizione", "varchar(50)"],
                 ["Ricerca", "int"], ["Barcode", "varchar(20)"], ["PrezzoPubblico", "money"],
                 ["PrezzoAcquisto", "real"], ["Giacenza", "float"], ["GiacenzaContata", "float"]]},
    {"match": "AS Trovata,", "rows": [[0, None, None]],
     "columns": [["Trovata", "int"], ["IDInventarioReale", "int"], ["GiacenzaReale", "float"]]},
    {"match": "^SELECT TOP 50", "columns": [["IDInventarioReale", "int"]], "rows": []}]
BARCODE = "8001230009045"
# the insert of a scan of 2 pieces of it, as it reaches the server in the save's batch
INSERT = ("VALUES (N'CAFFE'' MACINATO', N'8001230009045', 3.90 ,2.50 ,0,1000, N'Generico', N'N\u00b0','0', '0', 2, "
          "12, '")


def term_ini(connection):
    """term.ini naming `connection`, as the settings dialog writes it."""
    line = ("STRCONNPRINCIPALE=" + connection).encode("cp1252")
    return bytes(b + 10 if b < 246 else 255 - b for b in line) + b"\r\n"


def close(window):
    """What a window manager sends when the window's close button is clicked."""
    x = ctypes.cdll.LoadLibrary("libX11.so.6")
    x.XOpenDisplay.restype, x.XInternAtom.restype = ctypes.c_void_p, ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 24)]
    d = x.XOpenDisplay(None)
    if not d:
        raise RuntimeError("no X display")
    event = ClientMessage(type=33, send_event=1, display=d, window=int(window), format=32,
                          message_type=x.XInternAtom(d, b"WM_PROTOCOLS", 0))
    event.data[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
    x.XSendEvent(d, int(window), 0, 0, ctypes.byref(event))
    x.XCloseDisplay(d)   # flushes


if __name__ == "__main__":
    what, args = sys.argv[1], sys.argv[2:]
    if what == "answers":
        open(args[0], "w", encoding="utf-8").write(json.dumps(ANSWERS))
    elif what == "term-ini":
        open(args[0], "wb").write(term_ini(args[1]))
    elif what == "close":
        close(args[0])
    else:
        sys.exit(__doc__)
