#include "fonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
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
        for (const char *path : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
            if (QFile::exists(QLatin1String(path)))
                QFontDatabase::addApplicationFont(QLatin1String(path));
    }
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma"));
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono"), QStringLiteral("Cousine"), QStringLiteral("DejaVu Sans Mono")});
    QFont::insertSubstitutions(QStringLiteral("Comic Sans MS"), {QStringLiteral("Comic Neue"), QStringLiteral("Tahoma")});
}

} // namespace Fonts
