#include "fontfiles.h"

namespace FontFiles {

QString standIn(const QString &family)
{
#ifdef Q_OS_WIN
    Q_UNUSED(family);
    return QString();
#else
    // Only the regular face: the outlines of Wine's tahomabd.ttf are a light,
    // wide face (its bold lives in bitmaps we do not draw), while the regular
    // one emboldened looks like the real Tahoma Bold.
    if (family.compare(QStringLiteral("Tahoma"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    return QString();
#endif
}

}   // namespace FontFiles
