#include "cartella.h"
#include "platform/errors.h"
#include "platform/filecommit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <xlsxwriter.h>

namespace Excel {
namespace {

constexpr int kMassimoTesto = 32767;   // characters a cell holds
constexpr double kMassimaLarghezza = 60;   // a long description wraps the view no further

void verifica(lxw_error errore)
{
    if (errore != LXW_NO_ERROR)
        throw ErroreFile{QString::fromUtf8(lxw_strerror(errore))};
}

QByteArray lettera(int colonna) { return QByteArray(1, char('A' + colonna)); }

// What a cell shows as characters: a workbook only knows them once open, so
// the width comes from the text the format gives (grouping and decimals).
double caratteri(double valore, Tipo tipo)
{
    const double assoluto = std::fabs(valore);
    int cifre = 1;
    for (double p = 10; p <= assoluto && cifre < 16; p *= 10)
        ++cifre;
    const int decimali = tipo == Tipo::Importo ? 3 : valore == std::trunc(valore) ? 0 : 4;
    return cifre + (cifre - 1) / 3 + (valore < 0 ? 1 : 0) + decimali;
}

lxw_format *formato(const Cartella::Formati &f, Tipo tipo, double valore, bool totale)
{
    if (tipo == Tipo::Importo)
        return totale ? f.importoTotale : f.importo;
    if (valore == std::trunc(valore))
        return totale ? f.interoTotale : f.intero;
    return totale ? f.decimaleTotale : f.decimale;
}

// A text holding what reads as an escaped character ("_x000D_") keeps it as
// typed: its '_' is itself escaped.
void proteggiEscape(QByteArray &testo)
{
    if (!testo.contains("_x"))
        return;
    QByteArray out;
    for (qsizetype i = 0; i < testo.size(); ++i) {
        bool escape = testo.at(i) == '_' && i + 6 < testo.size() && testo.at(i + 1) == 'x' && testo.at(i + 6) == '_';
        for (qsizetype k = i + 2; escape && k < i + 6; ++k)
            escape = std::isxdigit(static_cast<unsigned char>(testo.at(k)));
        out += escape ? QByteArray("_x005F_") : QByteArray(1, testo.at(i));
    }
    testo = out;
}

lxw_format *nuovoFormato(lxw_workbook *cartella, const char *numero, bool grassetto)
{
    lxw_format *f = workbook_add_format(cartella);
    if (!f)
        verifica(LXW_ERROR_MEMORY_MALLOC_FAILED);
    if (numero)
        format_set_num_format(f, numero);
    if (grassetto)
        format_set_bold(f);
    return f;
}

}   // namespace

// libxlsxwriter writes numbers with the C library, which follows the
// process's locale: under an Italian one "1,5" would make the file unreadable.
Cartella::NumeriC::NumeriC() : prima(std::setlocale(LC_NUMERIC, nullptr)) { std::setlocale(LC_NUMERIC, "C"); }
Cartella::NumeriC::~NumeriC() { std::setlocale(LC_NUMERIC, prima.c_str()); }

Foglio::Foglio(Cartella &cartella, lxw_worksheet *foglio, const QList<Colonna> &colonne)
    : m_cartella(cartella), m_foglio(foglio), m_colonne(colonne), m_somme(colonne.size()), m_larghezze(colonne.size())
{
    for (int c = 0; c < colonne.size(); ++c) {
        verifica(worksheet_write_string(m_foglio, 0, lxw_col_t(c), colonne.at(c).titolo, cartella.formati().grassetto));
        misura(c, double(qstrlen(colonne.at(c).titolo)) + 3);   // and the filter's button
    }
}

void Foglio::misura(int colonna, double caratteri)
{
    double &larghezza = m_larghezze[colonna];
    larghezza = std::max(larghezza, caratteri);
}

void Foglio::testo(int colonna, const QString &valore)
{
    if (valore.isEmpty())
        return;
    QStringView testo(valore);
    if (testo.size() > kMassimoTesto)
        testo = testo.left(testo.at(kMassimoTesto - 1).isHighSurrogate() ? kMassimoTesto - 1 : kMassimoTesto);
    m_utf8 = testo.toUtf8();
    proteggiEscape(m_utf8);
    verifica(worksheet_write_string(m_foglio, m_riga, lxw_col_t(colonna), m_utf8.constData(), nullptr));
    misura(colonna, double(testo.size()) * 1.1);   // capitals are wider than the digits a width counts
}

void Foglio::numero(int colonna, double valore)
{
    if (!std::isfinite(valore))
        throw RuntimeError(6, QStringLiteral("Overflow"));
    const Tipo tipo = m_colonne.at(colonna).tipo;
    verifica(worksheet_write_number(
        m_foglio, m_riga, lxw_col_t(colonna), valore, formato(m_cartella.formati(), tipo, valore, false)));
    m_somme[colonna] += valore;
    misura(colonna, caratteri(valore, tipo));
}

void Foglio::data(int colonna, const QDate &valore)
{
    if (!valore.isValid())
        return;
    lxw_datetime data{valore.year(), valore.month(), valore.day(), 0, 0, 0};
    verifica(worksheet_write_datetime(m_foglio, m_riga, lxw_col_t(colonna), &data, m_cartella.formati().data));
    misura(colonna, 10);
}

void Foglio::fineRiga()
{
    ++m_riga;
    ++m_righe;
}

void Foglio::chiudi(const QString &cosa)
{
    const Cartella::Formati &f = m_cartella.formati();
    const lxw_col_t ultima = lxw_col_t(m_colonne.size() - 1);
    verifica(worksheet_autofilter(m_foglio, 0, 0, m_riga - 1, ultima));
    worksheet_freeze_panes(m_foglio, 1, 0);
    // The totals after an empty row, outside the filtered rows; in the
    // formulas' terms the rows are 2 to `fine`.
    const lxw_row_t totali = m_riga + 1;
    const QByteArray fine = QByteArray::number(std::max<quint32>(m_riga, 2));
    const QString etichetta = QStringLiteral("Totale: %1 ").arg(m_righe) + cosa;
    if (m_righe == 0)
        verifica(worksheet_write_string(m_foglio, totali, 0, etichetta.toUtf8().constData(), f.grassetto));
    else   // a count that follows rows deleted by hand
        verifica(worksheet_write_formula_str(m_foglio, totali, 0,
            ("=\"Totale: \"&ROWS(A2:A" + fine + ")&\" " + cosa.toUtf8() + "\"").constData(), f.grassetto,
            etichetta.toUtf8().constData()));
    QByteArray testi;
    for (int c = 0; c < m_colonne.size(); ++c) {
        const Colonna &colonna = m_colonne.at(c);
        if (colonna.totale) {
            const double somma = m_somme.at(c);
            const QByteArray formula = "=SUM(" + lettera(c) + "2:" + lettera(c) + fine + ")";
            verifica(worksheet_write_formula_num(
                m_foglio, totali, lxw_col_t(c), formula.constData(), formato(f, colonna.tipo, somma, true), somma));
            misura(c, caratteri(somma, colonna.tipo));
        }
        if (colonna.tipo == Tipo::Testo)
            testi += (testi.isEmpty() ? "" : " ") + lettera(c) + "1:" + lettera(c) + "1048576";
        verifica(worksheet_set_column(
            m_foglio, lxw_col_t(c), lxw_col_t(c), std::min(m_larghezze.at(c), kMassimaLarghezza) + 2, nullptr));
    }
    // codes made of digits are texts on purpose: no warning on them
    if (!testi.isEmpty())
        verifica(worksheet_ignore_errors(m_foglio, LXW_IGNORE_NUMBER_STORED_AS_TEXT, testi.constData()));
}

Cartella::Cartella(const QString &percorso, const QString &titolo, const QDateTime &quando)
    : m_percorso(percorso), m_temporaneo(percorso + QStringLiteral(".%1.tmp").arg(QCoreApplication::applicationPid())),
      // the rows wait beside the file: a disk too full for them is too full for it
      m_cartellaTemporanei(QFile::encodeName(QDir::toNativeSeparators(QFileInfo(percorso).absolutePath()))),
      m_titolo(titolo.toUtf8()), m_autore(QByteArrayLiteral("Inventario"))
{
    lxw_workbook_options opzioni{};
    opzioni.constant_memory = LXW_TRUE;
    opzioni.tmpdir = m_cartellaTemporanei.data();
    m_cartella = workbook_new_opt(QFile::encodeName(QDir::toNativeSeparators(m_temporaneo)).constData(), &opzioni);
    if (!m_cartella)
        verifica(LXW_ERROR_MEMORY_MALLOC_FAILED);
    try {
        lxw_doc_properties proprieta{};
        proprieta.title = m_titolo.data();
        proprieta.author = m_autore.data();
        proprieta.created = time_t(quando.toSecsSinceEpoch());
        verifica(workbook_set_properties(m_cartella, &proprieta));
        m_formati = {nuovoFormato(m_cartella, nullptr, true), nuovoFormato(m_cartella, "#,##0.00", false),
            nuovoFormato(m_cartella, "#,##0.00", true), nuovoFormato(m_cartella, "#,##0", false),
            nuovoFormato(m_cartella, "#,##0", true), nuovoFormato(m_cartella, "#,##0.0##", false),
            nuovoFormato(m_cartella, "#,##0.0##", true), nuovoFormato(m_cartella, "dd/mm/yyyy", false)};
    } catch (...) {
        lxw_workbook_free(m_cartella);   // nothing written yet, no sheet
        throw;
    }
}

Cartella::~Cartella()
{
    if (m_cartella)
        workbook_close(m_cartella);
    if (!m_temporaneo.isEmpty())
        QFile::remove(m_temporaneo);
}

Foglio &Cartella::foglio(const char *nome, const QList<Colonna> &colonne)
{
    lxw_worksheet *foglio = workbook_add_worksheet(m_cartella, nome);
    if (!foglio)   // in constant-memory mode, its temporary file could not be made
        verifica(LXW_ERROR_CREATING_TMPFILE);
    m_fogli.emplace_back(new Foglio(*this, foglio, colonne));
    return *m_fogli.back();
}

QString Cartella::salva()
{
    // libxlsxwriter does not look at its writes of the rows into the
    // temporary files: a disk that filled up on the way shows here.
    for (const auto &foglio : m_fogli) {
        std::FILE *righe = foglio->m_foglio->optimize_tmpfile;
        if (righe && (std::fflush(righe) != 0 || std::ferror(righe)))
            throw ErroreFile{qt_error_string(errno)};
    }
    const lxw_error chiusura = workbook_close(m_cartella);
    m_cartella = nullptr;
    verifica(chiusura);
    if (const QString errore = FileCommit::sync(m_temporaneo); !errore.isEmpty())
        throw ErroreFile{errore};
    const qsizetype punto = m_percorso.lastIndexOf(QLatin1Char('.'));
    for (int n = 1; n < 10000; ++n) {
        const QString nome =
            n == 1 ? m_percorso : m_percorso.left(punto) + QStringLiteral("_%1").arg(n) + m_percorso.mid(punto);
        QString errore;
        switch (FileCommit::renameNew(m_temporaneo, nome, &errore)) {
        case FileCommit::Rename::Done: m_temporaneo.clear(); return nome;
        case FileCommit::Rename::Taken: break;
        case FileCommit::Rename::Failed: throw ErroreFile{errore};
        }
    }
    throw ErroreFile{QStringLiteral("nessun nome libero")};
}

}   // namespace Excel
