#include "registro.h"
#include "valori.h"
#include "frame/errore.h"
#include "platform/clock.h"
#include "platform/db.h"
#include "platform/errors.h"
#include "platform/regional.h"
#include "platform/shell.h"
#include "platform/wintext.h"

#include <QFile>
#include <QFileInfo>

namespace Registro {

const QString kNomeFile = QStringLiteral("LOGSalvaRiga.Dat");

namespace {
constexpr int kCampi = 11;
constexpr int kLarghezzeIntestazione[kCampi] = {14, 14, 12, 12, 200, 20, 20, 40, 40, 20, 20};
constexpr int kLarghezzeDati[kCampi] = {12, 12, 10, 18, 180, 20, 20, 40, 40, 20, 20};

QByteArray componi(const QString (&testi)[kCampi], const int (&larghezze)[kCampi])
{
    QByteArray out;
    out.reserve(430);
    for (int i = 0; i < kCampi; ++i)
        out += WinText::field(testi[i], larghezze[i]) + '|';
    return out;
}
}   // namespace

QByteArray intestazione()
{
    const QString testi[kCampi] = {QStringLiteral("Log"), QStringLiteral("Data"), QStringLiteral("Ora"),
        QStringLiteral("IdInventario"), QStringLiteral("Descrizione"), QStringLiteral("IdProdVtx"),
        QStringLiteral("IdProdC"), QStringLiteral("Barcode"), QStringLiteral("CodProd"), QStringLiteral("QtàReale"),
        QStringLiteral("QtàSparata")};
    return componi(testi, kLarghezzeIntestazione);
}

QByteArray riga(const Voce &v)
{
    const QString testi[kCampi] = {v.operazione, Regional::dateText(v.quando.date()),
        Regional::timeText(v.quando.time()), v.idInventario, v.descrizione, Regional::numberText(v.idAttivo),
        Regional::numberText(v.idEliminato), v.barcode, v.codInterno, v.qtaReale, v.qtaSparata};
    return componi(testi, kLarghezzeDati);
}

void scrivi(QIODevice &device, bool nuovo, const Voce &voce)
{
    if (nuovo)
        WinText::writeLine(device, intestazione());
    WinText::writeLine(device, riga(voce));
}

void apriInCoda(QFile &file)
{
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    if (file.error() == QFileDevice::PermissionsError)
        throw RuntimeError(
            ErrNo::PermissionDenied, QStringLiteral("Permesso negato: %1").arg(QFileInfo(file.fileName()).fileName()));
    throw RuntimeError(
        ErrNo::PathFileAccess, QStringLiteral("Errore di accesso al percorso o al file: %1").arg(file.errorString()));
}

QString istruzioneElimina(const QString &chiave)
{
    return QStringLiteral("DELETE FROM InventarioReale where idinventarioReale=") + Valori::chiave(chiave);
}

void eliminaRiga(Connection &connection, const QString &chiave) { connection.execute(istruzioneElimina(chiave)); }

}   // namespace Registro

namespace Modulo {

void ScriviLog(const QString &operazione, const QString &idInventario, const QString &descrizione,
    const QString &barcode, const QString &codInterno, const QString &qtaReale, const QString &qtaSparata)
{
    guarded(QStringLiteral(" (LOG) "), [&] {
        Registro::Voce voce;
        voce.operazione = operazione;
        voce.quando = Clock::now();
        voce.idInventario = idInventario;
        voce.descrizione = descrizione;
        voce.idAttivo = IdAttivoScelto;
        voce.idEliminato = IdEliminatoScelto;
        voce.barcode = barcode;
        voce.codInterno = codInterno;
        voce.qtaReale = qtaReale;
        voce.qtaSparata = qtaSparata;

        QFile file(Shell::programFile(Registro::kNomeFile));
        // an empty log (the installer lays one out) gets its header too
        const bool nuovo = !QFileInfo(file.fileName()).isFile() || QFileInfo(file.fileName()).size() == 0;
        Registro::apriInCoda(file);
        Registro::scrivi(file, nuovo, voce);
        file.close();
        if (file.error() != QFileDevice::NoError)
            throw RuntimeError(ErrNo::PathFileAccess,
                QStringLiteral("Errore di accesso al percorso o al file: %1").arg(file.errorString()));
    });
}

}   // namespace Modulo
