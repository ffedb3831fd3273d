"""A workbook as openpyxl reads it, for the tests: leggi_cartella.py WORKBOOK OUT.json
OUT holds its title, author and creation time, and for each sheet its name, frozen cell, filter, the columns'
widths and longest texts, and the rows: each cell "TYPE:VALUE FORMAT" (s text, n number, d date, f formula with
its cached value after "=>"; "*" after the type when bold; no format when General)."""
import json, re, sys

def testo(v):  # what Excel shows for its escapes: _x000D_ is a carriage return
    return re.sub("_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), v)

def cella(c, valore):
    if c.value is None:
        return ""
    tipo = c.data_type + ("*" if c.font.b else "")
    if c.data_type == "s":
        return tipo + ":" + testo(c.value)
    forme = {"f": lambda: "%s=>%s" % (c.value, valore), "d": lambda: c.value.date().isoformat()}
    formato = "" if c.number_format == "General" else " " + c.number_format
    return "%s:%s%s" % (tipo, forme.get(c.data_type, lambda: repr(c.value))(), formato)

try:
    import openpyxl
    formule, valori = openpyxl.load_workbook(sys.argv[1]), openpyxl.load_workbook(sys.argv[1], data_only=True)
    p = formule.properties
    out = {"titolo": p.title, "autore": p.creator, "creato": p.created.isoformat(), "fogli": []}
    for f, v in zip(formule.worksheets, valori.worksheets):
        righe = [[cella(c, cv.value) for c, cv in zip(r, rv)] for r, rv in zip(f.iter_rows(), v.iter_rows())]
        colonne = [openpyxl.utils.get_column_letter(i + 1) for i in range(f.max_column)]
        out["fogli"].append({"nome": f.title, "fisso": f.freeze_panes, "filtro": f.auto_filter.ref, "righe": righe,
                             "larghezze": [f.column_dimensions[c].width for c in colonne],
                             "testi": [max([len(testo(c.value)) for c in col if c.data_type == "s" and c.row > 1] or [0])
                                       for col in f.iter_cols(max_row=f.max_row - 2)]})
except Exception as e:  # the test says what went wrong: under Wine no output comes back
    out = {"errore": "%s: %s%s" % (type(e).__name__, e, " (package python3-openpyxl)" if isinstance(e, ImportError) else "")}
json.dump(out, open(sys.argv[2], "w"))
