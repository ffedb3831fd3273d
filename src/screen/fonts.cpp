#include "fonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QWidget>
#include "platform/resources.h"

namespace Fonts {

void install()
{
    initResources();
    static bool done = false;
    if (done)
        return;
    done = true;
    if (!QFontDatabase::families().contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive)) {
        // Only the regular face: the outlines of Wine's tahomabd.ttf are a
        // light, wide face (its bold lives in bitmaps we do not draw), while
        // the regular one emboldened looks like the real Tahoma Bold.
        const QString regular = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
        if (QFile::exists(regular))
            QFontDatabase::addApplicationFont(regular);
    }
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma"));
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono"), QStringLiteral("Cousine"), QStringLiteral("DejaVu Sans Mono")});
    QFont::insertSubstitutions(QStringLiteral("Comic Sans MS"), {QStringLiteral("Comic Neue"), QStringLiteral("Tahoma")});
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
} // namespace

void applyPointSizes(QWidget *form)
{
    applyPointSize(form);
    const auto children = form->findChildren<QWidget *>();
    for (QWidget *w : children)
        applyPointSize(w);
}

} // namespace Fonts
