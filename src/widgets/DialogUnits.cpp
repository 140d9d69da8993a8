#include "widgets/DialogUnits.h"

#include <QFontMetricsF>

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetricsF metrics(font);
    baseX = metrics.horizontalAdvance(
                QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
            52.0;
    baseY = metrics.height();
}

int DialogUnits::x(int units) const
{
    return qRound(units * baseX / 4.0);
}

int DialogUnits::y(int units) const
{
    return qRound(units * baseY / 8.0);
}

QRect DialogUnits::rect(int left, int top, int width, int height) const
{
    return QRect(QPoint(x(left), y(top)), QPoint(x(left + width) - 1, y(top + height) - 1));
}
