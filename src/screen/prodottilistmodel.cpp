#include "prodottilistmodel.h"
#include "platform/regional.h"

#include <QLocale>

namespace {
const QString kCento(100, QLatin1Char(' '));
const QString kQuindici(15, QLatin1Char(' '));
const QLatin1String kTrattino(" - ");

void appendiCodice(QString &out, const QString &codice)
{
    const QString c = Regional::trimBlanks(codice);
    if (c.size() >= 15) {
        out += QStringView(c).right(15);
    } else {
        out += QStringView(kQuindici).left(15 - c.size());
        out += c;
    }
}

bool blank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
}
bool digit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

double leggiVal(const QString &text)
{
    QString number;
    int i = 0;
    const int n = static_cast<int>(text.size());
    auto skipBlanks = [&] {
        while (i < n && blank(text.at(i)))
            ++i;
    };
    skipBlanks();
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        number += text.at(i++);
        skipBlanks();
    }
    bool point = false, digits = false;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (digit(c)) {
            number += c;
            digits = true;
        } else if (c == QLatin1Char('.') && !point) {
            number += c;
            point = true;
        } else if (!blank(c)) {
            break;
        }
    }
    if (!digits)
        return 0;
    // an exponent only when digits follow it: "5001Eli." is 5001
    if (i < n
        && (text.at(i) == QLatin1Char('E') || text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('D')
            || text.at(i) == QLatin1Char('d'))) {
        int j = i + 1;
        QString exponent = QStringLiteral("e");
        if (j < n && (text.at(j) == QLatin1Char('-') || text.at(j) == QLatin1Char('+')))
            exponent += text.at(j++);
        if (j < n && digit(text.at(j))) {
            while (j < n && digit(text.at(j)))
                exponent += text.at(j++);
            number += exponent;
        }
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(number, &ok);
    return ok ? value : 0;
}
}   // namespace

int ProdottiListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_voci.size());
}

QVariant ProdottiListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_voci.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole: return testo(index.row());
    case TabellaRole: return int(m_voci.at(index.row()).tabella);
    default: return QVariant();
    }
}

void ProdottiListModel::setVoci(QVector<Voce> voci)
{
    beginResetModel();
    m_voci = std::move(voci);
    endResetModel();
}

void ProdottiListModel::appendVoci(QVector<Voce> voci)
{
    if (voci.isEmpty())
        return;
    if (m_voci.isEmpty()) {
        setVoci(std::move(voci));
        return;
    }
    const int first = static_cast<int>(m_voci.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(voci.size()) - 1);
    m_voci += voci;
    endInsertRows();
}

void ProdottiListModel::clear()
{
    if (m_voci.isEmpty())
        return;
    setVoci({});
}

QString ProdottiListModel::testo(int row) const
{
    const Voce &v = m_voci.at(row);
    return v.marcata ? testoVoceEliminata(v.codice, v.descrizione, v.id) : testoVoce(v.codice, v.descrizione, v.id);
}

QString ProdottiListModel::testoVoce(const QString &codice, const QString &descrizione, const QString &id)
{
    const QString d = Regional::trimBlanks(descrizione);
    QString out;
    out.reserve(15 + 3 + d.size() + 100 + id.size());
    appendiCodice(out, codice);
    out += kTrattino;
    out += d;
    out += kCento;
    out += id;
    return out;
}

QString ProdottiListModel::testoVoceEliminata(const QString &codice, const QString &descrizione, const QString &id)
{
    const QString d = Regional::trimBlanks(descrizione);
    QString out;
    out.reserve(1 + 15 + 3 + d.size() + 9 + 100 + id.size() + 4);
    out += QLatin1Char('*');
    appendiCodice(out, codice);
    out += kTrattino;
    out += d;
    out += QLatin1String("     Eli.");
    out += kCento;
    out += id;
    out += QLatin1String("Eli.");
    return out;
}

double ProdottiListModel::idVoce(const QString &testo) { return leggiVal(testo.right(20) + QLatin1Char(' ')); }
