#include "platform/x11/PickFrame.h"

#include <QPainter>
#include <QRegion>

PickFrame::PickFrame()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                           Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void PickFrame::showAround(const QRect& outerRect)
{
    setGeometry(outerRect);
    const QRect local(QPoint(0, 0), outerRect.size());
    QRegion outline(local);
    const QRect inner = local.adjusted(kThickness, kThickness, -kThickness, -kThickness);
    if (inner.isValid())
        outline -= QRegion(inner);
    setMask(outline);
    show();
    raise();
}

void PickFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}
