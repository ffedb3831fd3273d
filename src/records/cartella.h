#pragma once
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVector>
#include <memory>
#include <string>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// Workbooks for a person's spreadsheet, written through libxlsxwriter in its
// constant-memory mode: each sheet's rows go out as they come, so a hundred
// thousand rows take no more memory than one. Every cell is typed: texts
// stay texts whatever they hold, numbers are numbers, dates are dates.
namespace Excel {

// The file itself failed (as opposed to the data): the operator is told
// which file, and why.
struct ErroreFile {
    QString motivo;
};

enum class Tipo { Testo, Quantita, Importo, Data };
struct Colonna {
    const char *titolo;
    Tipo tipo;
    bool totale;   // the column's SUM under the rows
};

class Cartella;

// One sheet: a bold header row, frozen, with a filter over the rows; the
// rows in order; then, after an empty row and so outside what sorting and
// filtering reach, the totals as the workbook's own formulas.
class Foglio {
public:
    // The cells of the current row; a cell not written stays empty.
    void testo(int colonna, const QString &valore);
    void numero(int colonna, double valore);
    void data(int colonna, const QDate &valore);
    void fineRiga();

    qint64 righe() const { return m_righe; }
    // The sum of the numbers written in the column, as the total shows it.
    double somma(int colonna) const { return m_somme.at(colonna); }
    // The totals' row ("Totale: N " + `cosa`), the filter, the frozen
    // header and each column's width from what it holds.
    void chiudi(const QString &cosa);

private:
    friend class Cartella;
    Foglio(Cartella &cartella, lxw_worksheet *foglio, const QList<Colonna> &colonne);
    void misura(int colonna, double caratteri);

    Cartella &m_cartella;
    lxw_worksheet *m_foglio;
    QList<Colonna> m_colonne;
    quint32 m_riga = 1;
    qint64 m_righe = 0;
    QVector<double> m_somme;
    QVector<double> m_larghezze;   // in characters
    QByteArray m_utf8;
};

class Cartella {
public:
    // A workbook that salva() will name `percorso`; `titolo` and `quando`
    // go into its properties, with the program as its author.
    Cartella(const QString &percorso, const QString &titolo, const QDateTime &quando);
    // A workbook not saved leaves nothing behind.
    ~Cartella();
    Cartella(const Cartella &) = delete;
    Cartella &operator=(const Cartella &) = delete;

    Foglio &foglio(const char *nome, const QList<Colonna> &colonne);

    // Writes the workbook under a temporary name beside `percorso`, checking
    // each step, puts it on the disk and gives it the name, or the first
    // free one of name_2, name_3, ...: an existing file is never replaced.
    // Returns the path; throws ErroreFile.
    QString salva();

    // The cell formats, each made once.
    struct Formati {
        lxw_format *grassetto, *importo, *importoTotale, *intero, *interoTotale, *decimale, *decimaleTotale, *data;
    };
    const Formati &formati() const { return m_formati; }

private:
    struct NumeriC {
        NumeriC();
        ~NumeriC();
        std::string prima;
    };
    NumeriC m_numeri;   // first made, last undone: it spans every write
    QString m_percorso;
    QString m_temporaneo;
    QByteArray m_cartellaTemporanei;
    lxw_workbook *m_cartella = nullptr;
    Formati m_formati{};
    std::vector<std::unique_ptr<Foglio>> m_fogli;
    QByteArray m_titolo, m_autore;
};

}   // namespace Excel
