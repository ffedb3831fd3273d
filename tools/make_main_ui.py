#!/usr/bin/env python3
"""Writes src/screen/frmInventario.ui from the table of the screen's controls.

Positions and sizes are in twips (15 twips to a pixel, client area 15240 x
9480), fonts in points as designed (8.25, 9.75 ...). A .ui file holds whole
point sizes only: a fractional size is written rounded into the font and
exact into the dynamic property "pointSizeF", which Fonts::applyPointSizes
applies when the form is built. Run this script after changing the table."""
import os


def px(t):
    return int(round(t / 15.0))


def rgb(r, g, b):
    return f"rgb({r}, {g}, {b})"


# The window's own font; controls with no font of their own inherit it.
FORM_FONT = ("MS Sans Serif", 8.25, False)

def coloured_button(cls, face):
    """A button face in one flat colour with a raised bevel, sunk while pressed."""
    return (f"{cls} {{ background-color: {face}; border: 2px outset rgb(192, 192, 192); }} "
            f"{cls}:pressed {{ border-style: inset; }}")


BLUE = f"color: {rgb(0, 0, 255)};"
WHITE_BG = f"background-color: {rgb(255, 255, 255)};"
PRICE = f"background-color: {rgb(255, 255, 128)}; color: {rgb(255, 0, 0)};"
LABEL = ("Tahoma", 9.75, True)
DETAIL = ("Tahoma", 8.25, True)
PRICE_FONT = ("Tahoma", 9, True)
TOTAL_LABEL = ("MS Sans Serif", 8.25, True)

# name, class, text, left, top, width, height, font (family, points, bold) or
# None for the window's font, style sheet, extra properties
TOP = [
    ("lblTest1", "QLabel", "OK", 0, 0, 975, 255, ("Tahoma", 9.75, True),
     f"background-color: {rgb(0, 255, 0)}; color: {rgb(0, 0, 0)};", {"toolTip": "Click per Avviare il TEST"}),
    ("Label10", "QLabel", "TEST Collegamento Server SQL", 1080, 0, 3855, 255, ("Tahoma", 12, True), BLUE, {}),
]
FRAME = ("Frame3", "RICERCA PRODOTTO", 0, 360, 12375, 1695, ("Tahoma", 15.75, True))
IN_FRAME = [
    ("Label11", "QLabel", "Cod.Prodotto / Barcode [F1]", 480, 360, 2775, 255, LABEL, BLUE, {}),
    ("txtCodice", "QLineEdit", "", 480, 600, 2775, 465, ("Tahoma", 14.25, True), WHITE_BG, {}),
    ("CheckTipoRicerca", "QCheckBox", "*", 3480, 600, 495, 495, ("MS Sans Serif", 18, False), "", {}),
    ("Label4", "QLabel", "Nome Prodotto [F2]", 3960, 360, 2055, 255, LABEL, BLUE, {}),
    ("txtNome", "QLineEdit", "", 3960, 600, 8175, 465, ("Tahoma", 14.25, True), WHITE_BG, {}),
    ("ListProdotti", "QListView", "", 120, 1200, 12015, 390, ("Courier New", 14.25, True), "", {}),
]
MIDDLE = [
    ("lvwProdotti", "QTreeView", "", 120, 2160, 12255, 5415, None, "", {}),
    ("cmdSelezionaTutto", "WrappingPushButton", "Seleziona Tutto", 120, 7680, 1335, 195, None, "", {}),
    ("cmdDeselezionaTutto", "WrappingPushButton", "Deseleziona Tutto", 1440, 7680, 1455, 195, None, "", {}),
    ("Label1", "QLabel", "TOT MAG", 360, 8040, 855, 255, TOTAL_LABEL, "", {}),
    ("TxtTotStatistico", "QLineEdit", "", 1320, 8040, 1935, 285, None, "", {}),
    ("Label2", "QLabel", "TOT REALE", 3960, 8040, 1095, 255, TOTAL_LABEL, "", {}),
    ("TxtTotReale", "QLineEdit", "", 5040, 8040, 1935, 285, None, "", {}),
    ("Label3", "QLabel", "TOT DIFF.", 7560, 8040, 975, 255, TOTAL_LABEL, "", {}),
    ("TxtDiff", "QLineEdit", "", 8520, 8040, 2055, 285, None, "", {}),
    ("btn_tutti", "WrappingPushButton", "Vedi Tutti", 12720, 8280, 2415, 1095, None, "", {}),
]
RIGHT = [
    ("TxtCopieReali", "QLineEdit", "1", 12480, 600, 1335, 1455, ("Comic Sans MS", 48, False),
     f"background-color: {rgb(255, 128, 0)};", {}),
    ("cmdSalva", "PictureButton", "Salva Riga", 13920, 600, 1215, 1455, None, "", {"icon": "salva.png"}),
    ("Barcode", "QLabel", "Barcode", 12600, 2280, 1575, 255, LABEL, BLUE, {}),
    ("TxtBarcode", "QLineEdit", "", 12600, 2520, 2415, 285, DETAIL, "", {"readOnly": True}),
    ("Label13", "QLabel", "CodInterno", 12600, 2760, 1575, 255, LABEL, BLUE, {}),
    ("TxtDetCodiceLoro", "QLineEdit", "", 12600, 3000, 2415, 285, DETAIL, "", {"readOnly": True}),
    ("Label14", "QLabel", "Descrizione", 12600, 3240, 2415, 255, LABEL, BLUE, {}),
    ("txtDescrizione1", "QLineEdit", "", 12600, 3480, 2415, 285, DETAIL, "", {"readOnly": True}),
    ("Label34", "QLabel", "Qta Ventrox", 12600, 3720, 2415, 255, LABEL, BLUE, {}),
    ("txtQta", "QLineEdit", "", 12600, 3960, 2415, 285, DETAIL, "", {"readOnly": True}),
    ("Label6", "QLabel", "Qta Reale", 12600, 4200, 2415, 255, LABEL, BLUE, {}),
    ("txtQtaReale", "QLineEdit", "", 12600, 4440, 2415, 285, DETAIL,
     f"background-color: {rgb(128, 255, 128)};", {"readOnly": True}),
    ("Label25", "QLabel", "Prezzo Pubblico", 12600, 4680, 2055, 255, LABEL, BLUE, {}),
    ("txtPrVe1", "QLineEdit", "", 12600, 4920, 2415, 285, PRICE_FONT, PRICE, {"readOnly": True}),
    ("Label9", "QLabel", "Prezzo Acquisto", 12600, 5280, 2055, 255, LABEL, BLUE, {}),
    ("txtPrezAcquisto", "QLineEdit", "", 12600, 5520, 2415, 285, PRICE_FONT, PRICE, {"readOnly": True}),
    ("Label5", "QLabel", "IdProdVentrox", 12600, 5760, 1575, 255, LABEL, BLUE, {}),
    ("TxtIdProdotto", "QLineEdit", "", 12600, 6000, 2415, 285, DETAIL, "", {"readOnly": True}),
    ("Label7", "QLabel", "IdprodElim", 12600, 6240, 1575, 255, LABEL, BLUE, {}),
    ("txtProdeliminto", "QLineEdit", "", 12600, 6480, 2415, 285, DETAIL, "", {"readOnly": True}),
    ("TxtIdInvReale", "QLineEdit", "", 12600, 6960, 735, 375, None, "", {"visible": False}),
    ("cmdModifica", "PictureButton", "&Modifica Dati", 12600, 6960, 1215, 1215, ("Tahoma", 11.25, True),
     coloured_button("QToolButton", rgb(255, 255, 0)), {"toolTip": "Modifica Dati", "icon": "modifica.png"}),
    ("CmdElimina", "WrappingPushButton", "Elimina Riga", 14040, 6960, 1095, 1215, ("Tahoma", 12, True),
     coloured_button("QPushButton", rgb(255, 0, 0)), {}),
]

# The search frame's caption sits on its etched border, as a Windows frame's.
FRAME_STYLE = ("QGroupBox#Frame3 { color: rgb(255, 0, 0); border: 2px groove rgb(160, 160, 160); "
               "margin-top: 12px; } "
               "QGroupBox#Frame3::title { subcontrol-origin: margin; subcontrol-position: top left; "
               "left: 6px; padding: 0px 2px; }")

ICON_SIZE = 32


def esc(s):
    return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")


def font_lines(font, p):
    family, points, bold = font
    out = [f'{p}<property name="font"><font><family>{family}</family>'
           f'<pointsize>{int(points + 0.5)}</pointsize><bold>{"true" if bold else "false"}</bold></font></property>']
    if points != int(points):
        out.append(f'{p}<property name="pointSizeF" stdset="0"><double>{points}</double></property>')
    return out


def widget(c, indent):
    name, cls, text, left, top, width, height, font, style, extra = c
    p = " " * indent
    out = [f'{p}<widget class="{cls}" name="{name}">']
    q = p + " "
    out.append(f'{q}<property name="geometry"><rect><x>{px(left)}</x><y>{px(top)}</y>'
               f'<width>{px(width)}</width><height>{px(height)}</height></rect></property>')
    if font:
        out += font_lines(font, q)
    if style:
        out.append(f'{q}<property name="styleSheet"><string notr="true">{style}</string></property>')
    if cls != "QTreeView" and cls != "QListView":
        out.append(f'{q}<property name="text"><string>{esc(text)}</string></property>')
    if "toolTip" in extra:
        out.append(f'{q}<property name="toolTip"><string>{esc(extra["toolTip"])}</string></property>')
    if extra.get("readOnly"):
        out.append(f'{q}<property name="readOnly"><bool>true</bool></property>')
    if extra.get("visible") is False:
        out.append(f'{q}<property name="visible"><bool>false</bool></property>')
    if "icon" in extra:
        out.append(f'{q}<property name="icon"><iconset resource="../../resources/resources.qrc">'
                   f'<normaloff>:/icons/{extra["icon"]}</normaloff></iconset></property>')
        out.append(f'{q}<property name="iconSize"><size><width>{ICON_SIZE}</width>'
                   f'<height>{ICON_SIZE}</height></size></property>')
        out.append(f'{q}<property name="toolButtonStyle"><enum>Qt::ToolButtonTextUnderIcon</enum></property>')
    out.append(f'{p}</widget>')
    return "\n".join(out)


def main():
    parts = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<!-- Written by tools/make_main_ui.py: change the table there and run it again. -->',
             '<ui version="4.0">', ' <class>frmInventario</class>',
             ' <widget class="QMainWindow" name="frmInventario">',
             '  <property name="geometry"><rect><x>0</x><y>0</y><width>1016</width><height>654</height></rect></property>',
             '  <property name="windowTitle"><string>Controllo Magazzino</string></property>']
    parts += font_lines(FORM_FONT, "  ")
    parts.append('  <widget class="QWidget" name="centralwidget">')
    for c in TOP:
        parts.append(widget(c, 3))
    name, title, left, top, width, height, font = FRAME
    parts.append(f'   <widget class="QGroupBox" name="{name}">')
    parts.append(f'    <property name="geometry"><rect><x>{px(left)}</x><y>{px(top)}</y>'
                 f'<width>{px(width)}</width><height>{px(height)}</height></rect></property>')
    parts += font_lines(font, "    ")
    parts.append(f'    <property name="styleSheet"><string notr="true">{FRAME_STYLE}</string></property>')
    parts.append(f'    <property name="title"><string>{esc(title)}</string></property>')
    for c in IN_FRAME:
        parts.append(widget(c, 4))
    parts.append('   </widget>')
    for c in MIDDLE + RIGHT:
        parts.append(widget(c, 3))
    parts.append('  </widget>')
    parts.append('''  <widget class="QMenuBar" name="menubar">
   <property name="geometry"><rect><x>0</x><y>0</y><width>1016</width><height>22</height></rect></property>
   <widget class="QMenu" name="File"><property name="title"><string>File</string></property><addaction name="MnuNonContati"/><addaction name="MnuEsportaConteggio"/><addaction name="separator"/><addaction name="Esci"/></widget>
   <widget class="QMenu" name="Config"><property name="title"><string>Configurazione</string></property><addaction name="ConfFTP"/><addaction name="MnuFileInvTab"/></widget>
   <addaction name="File"/>
   <addaction name="Config"/>
  </widget>
  <action name="MnuNonContati"><property name="text"><string>Prodotti non Contati</string></property></action>
  <action name="MnuEsportaConteggio"><property name="text"><string>Esporta Conteggio per Excel</string></property></action>
  <action name="Esci"><property name="text"><string>Esci</string></property></action>
  <action name="ConfFTP"><property name="text"><string>Configura Connessione SQL</string></property></action>
  <action name="MnuFileInvTab"><property name="text"><string>Crea File testo Tabulato</string></property></action>''')
    parts.append(' </widget>')
    parts.append(''' <customwidgets>
  <customwidget><class>WrappingPushButton</class><extends>QPushButton</extends><header>screen/pulsanti.h</header></customwidget>
  <customwidget><class>PictureButton</class><extends>QToolButton</extends><header>screen/pulsanti.h</header></customwidget>
 </customwidgets>''')
    parts.append(' <resources><include location="../../resources/resources.qrc"/></resources>')
    parts.append(' <connections/>')
    parts.append('</ui>')
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "..", "src", "screen", "frmInventario.ui"), "w") as f:
        f.write("\n".join(parts) + "\n")


if __name__ == "__main__":
    main()
