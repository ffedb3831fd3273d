#include "fonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QWidget>
#include "platform/fontfiles.h"
#include "platform/resources.h"

namespace Fonts {

void install()
{
    initResources();
    static bool done = false;
    if (done)
        return;
    done = true;
    // the family as the system knows it first, a stand-in file only without it
    const QString tahoma = QStringLiteral("Tahoma");
    if (!QFontDatabase::families().contains(tahoma, Qt::CaseInsensitive)) {
        const QString file = FontFiles::standIn(tahoma);
        if (!file.isEmpty() && QFile::exists(file))
            QFontDatabase::addApplicationFont(file);
    }
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma"));
    QFont::insertSubstitutions(QStringLiteral("Courier New"),
        {QStringLiteral("Liberation Mono"), QStringLiteral("Cousine"), QStringLiteral("DejaVu Sans Mono")});
    QFont::insertSubstitutions(
        QStringLiteral("Comic Sans MS"), {QStringLiteral("Comic Neue"), QStringLiteral("Tahoma")});
}

namespace {
void applyPointSize(QWidget *w)
{
    const QVariant size = w->property("pointSizeF");
    if (!size.isValid())
        return;
    QFont font = w->font();
    font.setPointSizeF(size.toDouble());
    w->setFont(font);
}
}   // namespace

void applyPointSizes(QWidget *form)
{
    applyPointSize(form);
    const auto children = form->findChildren<QWidget *>();
    for (QWidget *w : children)
        applyPointSize(w);
}

}   // namespace Fonts
