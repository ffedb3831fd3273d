"""leggi_cartella.py WORKBOOK OUT.json: the workbook as openpyxl reads it; cells "TYPE:VALUE FORMAT" (s text,
n number, d date, f formula => cached value; "*" when bold) joined by " | "; sheets: name, frozen cell, filter,
narrow columns."""
import json, os, re, sys

def testo(v):  # what Excel shows for its escapes: _x000D_ is a carriage return
    return re.sub("_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), v)

def cella(c, valore):
    if c.value is None:
        return ""
    forme = {"s": lambda: testo(c.value), "f": lambda: "%s=>%s" % (c.value, valore),
             "d": lambda: c.value.date().isoformat()}
    formato = "" if c.number_format == "General" else " " + c.number_format
    mostrato = forme.get(c.data_type, lambda: repr(c.value))()
    return "%s%s:%s%s" % (c.data_type, "*" if c.font.b else "", mostrato, formato)

try:
    import openpyxl
    formule, valori = openpyxl.load_workbook(sys.argv[1]), openpyxl.load_workbook(sys.argv[1], data_only=True)
    p = formule.properties
    out = {"proprieta": "%s - %s - %s" % (p.title, p.creator, p.created.isoformat()), "fogli": [], "righe": []}
    for f, v in zip(formule.worksheets, valori.worksheets):
        out["righe"].append([" | ".join(cella(c, cv.value) for c, cv in zip(r, rv))
                             for r, rv in zip(f.iter_rows(), v.iter_rows())])
        strette = ["%s %s < %s" % (col[0].column_letter, f.column_dimensions[col[0].column_letter].width, n)
                   for col in f.iter_cols(max_row=f.max_row - 2)  # the rows, not the totals
                   for n in [min(60, max([len(testo(c.value)) for c in col if c.data_type == "s"] or [0]))]
                   if f.column_dimensions[col[0].column_letter].width < n]
        out["fogli"].append(" ".join([f.title, f.freeze_panes, f.auto_filter.ref] + strette))
except Exception as e:  # the test says what went wrong: under Wine no output comes back
    manca = " (package python3-openpyxl)" if isinstance(e, ImportError) else ""
    out = {"errore": "%s: %s%s" % (type(e).__name__, e, manca)}
with open(sys.argv[2] + ".tmp", "w") as f:  # whole or not at all: the test waits for it
    json.dump(out, f)
os.replace(sys.argv[2] + ".tmp", sys.argv[2])
