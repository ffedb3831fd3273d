#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

// The benchmark: a synthetic shop of realistic size, the operator's paths
// driven through the real main form, and the same SQL run bare as the floor.
namespace Bench {

struct Sizes {
    int prodotti = 200000;   // rows of Prodotti
    int eliminati = 20000;   // rows of prodottiC
    int righe = 100000;   // rows of InventarioReale
};

// What the generator leaves for the paths to use: products never counted
// (each new-product scan takes one) and products already counted.
struct Product {
    qint64 id = 0;
    QString codice;
    QString barcode;
    bool eliminato = false;
};

struct Catalogue {
    QVector<Product> nuovi;   // in Prodotti or prodottiC, no row in InventarioReale
    QVector<Product> contati;   // with a row in InventarioReale
};

// Builds the database at `path` (which must not exist) in one transaction.
void generate(const QString &path, const Sizes &sizes);
// Reads back the products the paths scan, from a built database.
Catalogue catalogue(const QString &path, int wanted);

// Words an operator types in the name search: the head of descriptions
// (begins-with) and words found inside them (contains).
QStringList wordsBeginning();
QStringList wordsInside();

// Median of the samples, in milliseconds.
double median(QVector<double> samples);

// VmHWM of /proc/self/status in MiB (0 when it cannot be read).
double peakMemoryMiB();
// Starts the peak over from what the process holds now, so that each path
// shows its own (where the system allows it).
void resetPeakMemory();

// Elapsed milliseconds of `f`.
double timeMs(const std::function<void()> &f);

// The statements of each path run bare on a connection of their own, opened
// as the program opens its own (same driver, same busy timeout), reading the
// same rows and columns. Throws RuntimeError on a failed statement.
class Floor {
public:
    explicit Floor(const QString &dbPath);
    ~Floor();
    Floor(const Floor &) = delete;
    Floor &operator=(const Floor &) = delete;

    // Opening a connection, the first 50 counted rows, the reset statement.
    void startup();
    // The code search's cascade, the product, its count so far, the save in
    // one transaction, the 50 rows again and the reset statement.
    void scan(const Product &product);
    // The two statements of one key stroke in the name search.
    void nameSearch(const QString &text, bool contains);
    // The code search with an empty text: every code of Prodotti.
    int emptyEnter();
    // Every row of InventarioReale with the list's columns and totals.
    int vediTutti();
    // The file's statement, every value of every row, and the bytes of the
    // program's file `source` written line by line to `path` (head, one
    // 757-byte line per row, tail).
    void inventoryFile(const QString &path, const QString &source, int headBytes);
    // The workbooks for a spreadsheet: the statement, its values straight into
    // libxlsxwriter as the same typed cells, in constant memory, with no
    // logic of the program's (the uncounted products' two sheets, the count).
    void uncountedWorkbook(const QString &path);
    void countWorkbook(const QString &path);

    qint64 scalar(const QString &sql);

private:
    QString m_path;
    QString m_name;
};

// The real main form, driven as the operator drives it: keys to the field
// that has the focus, clicks on buttons, the menu. Each call returns when
// the handlers are done (with whatever they painted on the way); paint()
// then paints what they left to paint. A call that does not end where the
// operator expects throws std::runtime_error with what was found instead.
class Screen {
public:
    Screen();
    ~Screen();
    Screen(const Screen &) = delete;
    Screen &operator=(const Screen &) = delete;

    // Creates the form, shows it and runs its load step; the form stays for
    // the other paths.
    void startup(int expectedRows);
    // Scan, Enter, Enter: the count saved and the focus back in txtCodice.
    void scan(const Product &product);
    // Prepares the name search: empty txtNome with the focus, mode set.
    void beginNameSearch(bool contains);
    // One key stroke in txtNome.
    void nameKey(QChar c, int expectedMax);
    // The screen as it usually stands: the list of 50 rows, the search
    // empty (not timed: the state a path starts from).
    void usualView();
    // Enter in an empty txtCodice; returns the items listed.
    int emptyEnter();
    // "Vedi Tutti"; returns the rows listed.
    int vediTutti();
    // The menu entry that writes the inventory file; returns its path.
    QString inventoryFile();
    // "File", "Prodotti non Contati"; returns the path of the file opened.
    QString uncounted();
    // "File", "Esporta Conteggio per Excel"; the same.
    QString countExport();
    // Lets the window paint what the last path changed.
    void paint();
    QString caption() const;

    QStringList messages;   // message boxes shown since the last take
    QStringList errors;   // errors trapped since the last take

private:
    struct Parts;
    Parts *d;
};

}   // namespace Bench
