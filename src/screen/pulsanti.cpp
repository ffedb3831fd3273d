#include "pulsanti.h"

#include <QStyleOptionButton>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace {

constexpr int kMargine = 3;
const int kAllineamento = Qt::AlignHCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;

// A pressed button shows its face one pixel down and to the right.
QRect spostato(QRect r, bool giu) { return giu ? r.translated(1, 1) : r; }

void disegnaDidascalia(QStylePainter &p, const QWidget *w, const QRect &area, int verticale, const QString &testo)
{
    p.setFont(w->font());
    p.style()->drawItemText(
        &p, area, kAllineamento | verticale, w->palette(), w->isEnabled(), testo, QPalette::ButtonText);
}

}   // namespace

void WrappingPushButton::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const QString testo = opt.text;
    opt.text.clear();
    opt.icon = QIcon();
    p.drawControl(QStyle::CE_PushButton, opt);
    const QRect area = spostato(rect().adjusted(kMargine, 0, -kMargine, 0), isDown());
    disegnaDidascalia(p, this, area, Qt::AlignVCenter, testo);
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionToolButton opt;
    initStyleOption(&opt);
    const QString testo = opt.text;
    const QIcon figura = opt.icon;
    opt.text.clear();
    opt.icon = QIcon();
    p.drawComplexControl(QStyle::CC_ToolButton, opt);

    const bool giu = isDown() || isChecked();
    const QRect interno = spostato(rect().adjusted(kMargine, kMargine, -kMargine, -kMargine), giu);
    // the caption sits at the bottom; the picture is centred in what is left
    const QRect misura = fontMetrics().boundingRect(interno, kAllineamento | Qt::AlignBottom, testo);
    const QRect didascalia(interno.left(), interno.bottom() - misura.height() + 1, interno.width(), misura.height());
    const QRect sopra(interno.left(), interno.top(), interno.width(), didascalia.top() - interno.top());
    if (!figura.isNull()) {
        const QIcon::Mode modo = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        p.drawItemPixmap(sopra, Qt::AlignCenter, figura.pixmap(iconSize(), devicePixelRatioF(), modo));
    }
    disegnaDidascalia(p, this, didascalia, Qt::AlignBottom, testo);
}
