#!/usr/bin/env python3
"""Writes src/screen/frmInventario.ui from the table of the screen's controls
(positions in twips, 15 twips to a pixel). Run it after changing the table."""
import os

def px(t):
    return int(round(t / 15.0))

BLUE = "color: rgb(0, 0, 255);"
# name, class, text, left, top, width, height, font (family, size, bold), style, extra
TOP = [
    ("lblTest1", "QLabel", "OK", 0, 0, 975, 255, ("Tahoma", 10, True), "background-color: rgb(0, 255, 0); color: rgb(0, 0, 0);", {"toolTip": "Click per Avviare il TEST", "alignment": "center"}),
    ("Label10", "QLabel", "TEST Collegamento Server SQL", 1080, 0, 3855, 255, ("Tahoma", 12, True), BLUE, {}),
]
FRAME = [
    ("Label11", "QLabel", "Cod.Prodotto / Barcode [F1]", 480, 360, 2775, 255, ("Tahoma", 10, True), BLUE, {}),
    ("txtCodice", "QLineEdit", "", 480, 600, 2775, 465, ("Tahoma", 14, True), "background-color: rgb(255, 255, 255);", {}),
    ("CheckTipoRicerca", "QCheckBox", "*", 3480, 600, 495, 495, ("MS Sans Serif", 18, False), "", {}),
    ("Label4", "QLabel", "Nome Prodotto [F2]", 3960, 360, 2055, 255, ("Tahoma", 10, True), BLUE, {}),
    ("txtNome", "QLineEdit", "", 3960, 600, 8175, 465, ("Tahoma", 14, True), "background-color: rgb(255, 255, 255);", {}),
    ("ListProdotti", "QListView", "", 120, 1200, 12015, 390, ("Courier New", 14, True), "", {}),
]
MID = [
    ("lvwProdotti", "QTreeView", "", 120, 2160, 12255, 5415, None, "", {}),
    ("cmdSelezionaTutto", "QPushButton", "Seleziona Tutto", 120, 7680, 1335, 195, ("MS Sans Serif", 7, False), "", {}),
    ("cmdDeselezionaTutto", "QPushButton", "Deseleziona Tutto", 1440, 7680, 1455, 195, ("MS Sans Serif", 7, False), "", {}),
    ("Label1", "QLabel", "TOT MAG", 360, 8040, 855, 255, ("MS Sans Serif", 8, True), "", {}),
    ("TxtTotStatistico", "QLineEdit", "", 1320, 8040, 1935, 285, None, "", {}),
    ("Label2", "QLabel", "TOT REALE", 3960, 8040, 1095, 255, ("MS Sans Serif", 8, True), "", {}),
    ("TxtTotReale", "QLineEdit", "", 5040, 8040, 1935, 285, None, "", {}),
    ("Label3", "QLabel", "TOT DIFF.", 7560, 8040, 975, 255, ("MS Sans Serif", 8, True), "", {}),
    ("TxtDiff", "QLineEdit", "", 8520, 8040, 2055, 285, None, "", {}),
    ("btn_tutti", "QPushButton", "Vedi Tutti", 12720, 8280, 2415, 1095, None, "", {}),
]
DET = ("Tahoma", 8, True)
LBL = ("Tahoma", 10, True)
PRICE = "background-color: rgb(255, 255, 128); color: rgb(255, 0, 0);"
RIGHT = [
    ("TxtCopieReali", "QLineEdit", "1", 12480, 600, 1335, 1455, ("Comic Sans MS", 48, False), "background-color: rgb(255, 128, 0);", {}),
    ("cmdSalva", "QToolButton", "Salva Riga", 13920, 600, 1215, 1455, None, "", {"icon": "salva.png"}),
    ("Barcode", "QLabel", "Barcode", 12600, 2280, 1575, 255, LBL, BLUE, {}),
    ("TxtBarcode", "QLineEdit", "", 12600, 2520, 2415, 285, DET, "", {"readOnly": True}),
    ("Label13", "QLabel", "CodInterno", 12600, 2760, 1575, 255, LBL, BLUE, {}),
    ("TxtDetCodiceLoro", "QLineEdit", "", 12600, 3000, 2415, 285, DET, "", {"readOnly": True}),
    ("Label14", "QLabel", "Descrizione", 12600, 3240, 2415, 255, LBL, BLUE, {}),
    ("txtDescrizione1", "QLineEdit", "", 12600, 3480, 2415, 285, DET, "", {"readOnly": True}),
    ("Label34", "QLabel", "Qta Ventrox", 12600, 3720, 2415, 255, LBL, BLUE, {}),
    ("txtQta", "QLineEdit", "", 12600, 3960, 2415, 285, DET, "", {"readOnly": True}),
    ("Label6", "QLabel", "Qta Reale", 12600, 4200, 2415, 255, LBL, BLUE, {}),
    ("txtQtaReale", "QLineEdit", "", 12600, 4440, 2415, 285, DET, "background-color: rgb(128, 255, 128);", {"readOnly": True}),
    ("Label25", "QLabel", "Prezzo Pubblico", 12600, 4680, 2055, 255, LBL, BLUE, {}),
    ("txtPrVe1", "QLineEdit", "", 12600, 4920, 2415, 285, ("Tahoma", 9, True), PRICE, {"readOnly": True}),
    ("Label9", "QLabel", "Prezzo Acquisto", 12600, 5280, 2055, 255, LBL, BLUE, {}),
    ("txtPrezAcquisto", "QLineEdit", "", 12600, 5520, 2415, 285, ("Tahoma", 9, True), PRICE, {"readOnly": True}),
    ("Label5", "QLabel", "IdProdVentrox", 12600, 5760, 1575, 255, LBL, BLUE, {}),
    ("TxtIdProdotto", "QLineEdit", "", 12600, 6000, 2415, 285, DET, "", {"readOnly": True}),
    ("Label7", "QLabel", "IdprodElim", 12600, 6240, 1575, 255, LBL, BLUE, {}),
    ("txtProdeliminto", "QLineEdit", "", 12600, 6480, 2415, 285, DET, "", {"readOnly": True}),
    ("TxtIdInvReale", "QLineEdit", "", 12600, 6960, 735, 375, None, "", {"visible": False}),
    ("cmdModifica", "QToolButton", "&Modifica Dati", 12600, 6960, 1215, 1215, ("Tahoma", 11, True), "background-color: rgb(255, 255, 0);", {"toolTip": "Modifica Dati", "icon": "modifica.png"}),
    ("CmdElimina", "QPushButton", "Elimina Riga", 14040, 6960, 1095, 1215, ("Tahoma", 12, True), "background-color: rgb(255, 0, 0);", {"wrap": True}),
]

def esc(s):
    return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")

def widget(c, indent):
    name, cls, text, l, t, w, h, font, style, extra = c
    p = " " * indent
    out = [f'{p}<widget class="{cls}" name="{name}">']
    out.append(f'{p} <property name="geometry"><rect><x>{px(l)}</x><y>{px(t)}</y><width>{px(w)}</width><height>{px(h)}</height></rect></property>')
    if font:
        fam, size, bold = font
        out.append(f'{p} <property name="font"><font><family>{fam}</family><pointsize>{size}</pointsize><bold>{"true" if bold else "false"}</bold></font></property>')
    if style:
        out.append(f'{p} <property name="styleSheet"><string notr="true">{style}</string></property>')
    if cls in ("QLabel", "QPushButton", "QToolButton", "QCheckBox"):
        out.append(f'{p} <property name="text"><string>{esc(text)}</string></property>')
    elif cls == "QLineEdit":
        out.append(f'{p} <property name="text"><string>{esc(text)}</string></property>')
    if "toolTip" in extra:
        out.append(f'{p} <property name="toolTip"><string>{esc(extra["toolTip"])}</string></property>')
    if extra.get("readOnly"):
        out.append(f'{p} <property name="readOnly"><bool>true</bool></property>')
    if extra.get("visible") is False:
        out.append(f'{p} <property name="visible"><bool>false</bool></property>')
    if extra.get("alignment") == "center":
        out.append(f'{p} <property name="alignment"><set>Qt::AlignCenter</set></property>')
    if "icon" in extra:
        out.append(f'{p} <property name="icon"><iconset resource="../../resources/resources.qrc"><normaloff>:/icons/{extra["icon"]}</normaloff></iconset></property>')
        out.append(f'{p} <property name="iconSize"><size><width>40</width><height>40</height></size></property>')
        out.append(f'{p} <property name="toolButtonStyle"><enum>Qt::ToolButtonTextUnderIcon</enum></property>')
    out.append(f'{p}</widget>')
    return "\n".join(out)

parts = ['<?xml version="1.0" encoding="UTF-8"?>', '<ui version="4.0">', ' <class>frmInventario</class>',
         ' <widget class="QMainWindow" name="frmInventario">',
         '  <property name="geometry"><rect><x>0</x><y>0</y><width>1016</width><height>654</height></rect></property>',
         '  <property name="windowTitle"><string>Controllo Magazzino</string></property>',
         '  <property name="font"><font><family>MS Sans Serif</family><pointsize>8</pointsize></font></property>',
         '  <widget class="QWidget" name="centralwidget">']
for c in TOP:
    parts.append(widget(c, 3))
parts.append('   <widget class="QGroupBox" name="Frame3">')
parts.append(f'    <property name="geometry"><rect><x>0</x><y>{px(360)}</y><width>{px(12375)}</width><height>{px(1695)}</height></rect></property>')
parts.append('    <property name="font"><font><family>Tahoma</family><pointsize>16</pointsize><bold>true</bold></font></property>')
parts.append('    <property name="styleSheet"><string notr="true">QGroupBox#Frame3 { color: rgb(255, 0, 0); }</string></property>')
parts.append('    <property name="title"><string>RICERCA PRODOTTO</string></property>')
for c in FRAME:
    parts.append(widget(c, 4))
parts.append('   </widget>')
for c in MID + RIGHT:
    parts.append(widget(c, 3))
parts.append('  </widget>')
parts.append('''  <widget class="QMenuBar" name="menubar">
   <property name="geometry"><rect><x>0</x><y>0</y><width>1016</width><height>22</height></rect></property>
   <widget class="QMenu" name="File"><property name="title"><string>File</string></property><addaction name="Esci"/></widget>
   <widget class="QMenu" name="Config"><property name="title"><string>Configurazione</string></property><addaction name="ConfFTP"/><addaction name="MnuFileInvTab"/></widget>
   <addaction name="File"/>
   <addaction name="Config"/>
  </widget>
  <action name="Esci"><property name="text"><string>Esci</string></property></action>
  <action name="ConfFTP"><property name="text"><string>Configura Connessione SQL</string></property></action>
  <action name="MnuFileInvTab"><property name="text"><string>Crea File testo Tabulato</string></property></action>''')
parts.append(' </widget>')
parts.append(' <resources><include location="../../resources/resources.qrc"/></resources>')
parts.append(' <connections/>')
parts.append('</ui>')
here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, "..", "src", "screen", "frmInventario.ui"), "w") as f:
    f.write("\n".join(parts) + "\n")
