// A long counting session: thousands of scans through the real handlers must
// store every count and leave the process's memory where it was.
#include "fixture/fixture.h"
#include "fixture/testmain.h"
#include "screen/frminventario.h"
#include "ui_frmInventario.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>

namespace {
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
} // namespace

class TestSessione : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void thousandsOfScansKeepMemoryFlat()
    {
        Fixture::Program program(Fixture::Program::Demo);
        const QList<QVariantList> products = program.rows(QStringLiteral("SELECT IDProdotto, Barcode FROM Prodotti ORDER BY IDProdotto"));
        frmInventario form;
        form.show();
        form.Form_Load();
        const int total = kSanitized ? 400 : 1500;
        const int warmUp = total / 6;
        long afterWarmUp = 0;
        QHash<int, double> expected;
        for (const QVariantList &r : program.rows(QStringLiteral("SELECT IDProdottoVentrox, GiacenzaReale FROM InventarioReale")))
            expected[r.at(0).toInt()] = r.at(1).toDouble();
        for (int i = 0; i < total; ++i) {
            const QVariantList &product = products.at((i * 7) % products.size());
            form.ui->txtCodice->setText(product.at(1).toString());
            QTest::keyClick(form.ui->txtCodice, Qt::Key_Return);
            QVERIFY2(form.ui->TxtCopieReali->hasFocus() || QApplication::focusWidget() == form.ui->TxtCopieReali,
                     qPrintable(QStringLiteral("scan %1 did not reach the quantity").arg(i)));
            const QString quantity = i % 5 == 0 ? QStringLiteral("2,5") : QStringLiteral("1");
            form.ui->TxtCopieReali->setText(quantity);
            QTest::keyClick(form.ui->TxtCopieReali, Qt::Key_Return);
            expected[product.at(0).toInt()] += i % 5 == 0 ? 2.5 : 1;
            if (i == warmUp)
                afterWarmUp = residentKb();
        }
        QVERIFY(program.errors.isEmpty());
        QVERIFY(program.messages.isEmpty());
        const QList<QVariantList> stored = program.rows(QStringLiteral("SELECT IDProdottoVentrox, GiacenzaReale FROM InventarioReale"));
        QCOMPARE(stored.size(), expected.size());
        for (const QVariantList &r : stored)
            QCOMPARE(r.at(1).toDouble(), expected.value(r.at(0).toInt()));
        const long growth = residentKb() - afterWarmUp;
        if (!kSanitized)
            QVERIFY2(growth < 8 * 1024, qPrintable(QStringLiteral("grew by %1 kB").arg(growth)));
    }
};
INVENTARIO_TEST(TestSessione)
#include "tst_sessione.moc"
