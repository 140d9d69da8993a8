// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "matrix/AboutDialog.h"

#include "password/SymbolSetDialog.h"
#include "widgets/DialogUnits.h"
#include "widgets/FitToText.h"
#include "widgets/HyperLink.h"
#include "widgets/StaticText.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QStyle>
#include <QStyleOptionGroupBox>

#include <algorithm>

namespace {

struct Text
{
    int x, y, width, height;
    const char* text;
};

// The usage notes and tips, in the order the keyboard visits the dialog.
constexpr Text kNotes[] = {
    {13, 81, 220, 14,
     QT_TRANSLATE_NOOP("AboutDialog", "Drag the border of the window to resize the matrix.")},
    {13, 102, 220, 29,
     QT_TRANSLATE_NOOP(
         "AboutDialog",
         "Click right or left mouse button on the icons to change them. There are some icons to be "
         "chosen if you click more than one time.")},
    {13, 139, 220, 48,
     QT_TRANSLATE_NOOP(
         "AboutDialog",
         "Different matrix of the icons will generate totally different passwords long and secure "
         "enough when you press the OK button. \r\nIf you want to exit with out doing anything, "
         "just click the close button at the top-right corner of the window.")},
};

constexpr Text kTips[] = {
    {13, 205, 220, 19,
     QT_TRANSLATE_NOOP(
         "AboutDialog",
         "You can design your own icons in the image to make it easier to remember.")},
    {13, 273, 220, 26,
     QT_TRANSLATE_NOOP("AboutDialog", "To add new icons, place the GIF or JPG files named "
                                      "g.gif(g.jpg), h.gif(h.jpg) ..., to the "
                                      "folder of the program.")},
    {13, 226, 220, 39,
     QT_TRANSLATE_NOOP(
         "AboutDialog",
         "To replace the 6 build-in icons, just place GIF or JPG files  named from a.gif(a.jpg) to "
         "f.gif(f.jpg) in the same folder with the program. If both the GIF and JPG files with the "
         "same name exist, the GIF file is used preferentially.")},
    {13, 303, 218, 27,
     QT_TRANSLATE_NOOP(
         "AboutDialog",
         "WARNING: If you change the file name of an icon, the generated password may not "
         "correspond to the original image you have remembered before.")},
    {13, 335, 219, 35,
     QT_TRANSLATE_NOOP(
         "AboutDialog",
         " You'd better setup an icon set before you generate passwords and keep use it "
         "constantly. "
         "Of course, just adding new icons is safe. And it will enhance the security.")},
};

QLabel* addText(QWidget* dialog, const DialogUnits& units, const Text& text)
{
    return addStaticText(dialog, units, AboutDialog::tr(text.text),
                         QRect(text.x, text.y, text.width, text.height));
}

QGroupBox* addGroup(QWidget* dialog, const DialogUnits& units, const QString& title,
                    const QRect& area)
{
    auto* group = new QGroupBox(title, dialog);
    const QRect frame = units.rect(area.x(), area.y(), area.width(), area.height());
    group->setGeometry(frame);

    // The layout expects the frame's top line through the middle of the title. Styles that
    // draw the title above the line (reporting the frame as the whole box) would crowd the
    // first text under it, so such a box is lifted by the difference.
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = title;
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.textAlignment = Qt::AlignLeft;
    const QStyle* style = group->style();
    const QRect line =
        style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, group);
    const QRect label =
        style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
    const int lineTop = line.top() > 0 ? line.top() : label.bottom() + 1;
    const int lift = lineTop - group->fontMetrics().height() / 2;
    if (lift > 0)
        group->setGeometry(frame.adjusted(0, -lift, 0, 0));
    return group;
}

QPixmap programIcon(const QSize& box)
{
    for (const char* path : {":/app/glyphlock-48.png", ":/app/glyphlock.png"}) {
        const QIcon icon(QString::fromLatin1(path));
        if (!icon.isNull())
            return icon.pixmap(box);
    }
    // Without a picture of its own the program shows whatever icon its windows have.
    return QApplication::windowIcon().pixmap(box);
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(tr("About Glyphlock"));
    const DialogUnits units(font());
    designedSize = QSize(units.x(246), units.y(383));
    setFixedSize(designedSize);

    // Created in tab order.
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("programIcon"));
    const QRect iconArea = units.rect(11, 17, 20, 20);
    const int iconSide = qMin(iconArea.width(), iconArea.height());
    icon->setGeometry(QRect(iconArea.topLeft(), QSize(iconSide, iconSide)));
    icon->setPixmap(programIcon(QSize(iconSide, iconSide)));

    addText(this, units,
            {40, 10, 142, 8, QT_TRANSLATE_NOOP("AboutDialog", "Glyphlock Version 2.4")});
    addText(this, units, {40, 25, 119, 8, QT_TRANSLATE_NOOP("AboutDialog", "Copyright (C) Tamsk")});

    auto* okButton = new QPushButton(tr("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setGeometry(units.rect(189, 7, 50, 14));
    okButton->setDefault(true);

    const QString mail = QString::fromLatin1(kMailAddress);
    mailLink = new HyperLink(QStringLiteral("Tamsk (%1)").arg(mail), QString(), this);
    mailLink->setObjectName(QStringLiteral("mailLink"));
    mailLink->setGeometry(units.rect(40, 40, 100, 10));
    mailLink->fitToText();
    webLink = new HyperLink(QString::fromLatin1(kWebAddress), QString(), this);
    webLink->setObjectName(QStringLiteral("webLink"));
    webLink->setGeometry(units.rect(40, 52, 113, 10));
    webLink->fitToText();

    //: Heading of the notes on how to use the program.
    addGroup(this, units, tr("Usage"), QRect(7, 68, 232, 121));
    for (const Text& note : kNotes)
        addText(this, units, note);
    //: Heading of the advice on pictures and passwords.
    tipsGroup = addGroup(this, units, tr("Tips"), QRect(7, 194, 232, 182));
    designedTipsGroup = tipsGroup->geometry();
    // The tips lie on a page that scrolls when the screen is too small for the whole box.
    tipsArea = new QScrollArea(this);
    tipsArea->setObjectName(QStringLiteral("tipsArea"));
    tipsArea->setFrameShape(QFrame::NoFrame);
    tipsArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tipsArea->setFocusPolicy(Qt::NoFocus);
    designedTipsArea = units.rect(8, 202, 230, 173);
    tipsArea->setGeometry(designedTipsArea);
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tipsPage"));
    for (const Text& tip : kTips) {
        QLabel* label = addText(page, units, tip);
        tips.push_back({label, label->geometry().translated(-designedTipsArea.topLeft())});
    }
    std::sort(tips.begin(), tips.end(),
              [](const Tip& a, const Tip& b) { return a.designed.top() < b.designed.top(); });
    tipsArea->setWidget(page);
    tipsArea->viewport()->setAutoFillBackground(false);
    page->setAutoFillBackground(false);
    layOutTips(designedTipsArea.width());

    //: Opens the dialog that sets the special characters of passwords.
    auto* configButton = new QPushButton(tr("&Config..."), this);
    configButton->setObjectName(QStringLiteral("configButton"));
    configButton->setGeometry(units.rect(189, 32, 50, 14));

    mailLink->setTarget(QStringLiteral("mailto:") + mail);
    mailLink->setUnderlineMode(HyperLink::underlineOnHover);
    webLink->setTarget(QString::fromLatin1(kWebAddress));
    webLink->setUnderlineMode(HyperLink::underlineOnHover);

    // A translation longer than the English gets the room it needs, the tips their width.
    if (!growToFitTexts(this).isNull()) {
        designedSize = size();
        designedTipsGroup = tipsGroup->geometry();
        designedTipsArea = tipsArea->geometry();
        layOutTips(designedTipsArea.width());
    }

    setTabOrder(okButton, mailLink);
    setTabOrder(mailLink, webLink);
    setTabOrder(webLink, configButton);
    setTabOrder(configButton, tipsArea);
    connect(okButton, &QPushButton::clicked, this, &AboutDialog::accept);
    connect(configButton, &QPushButton::clicked, this, &AboutDialog::onConfig);
    okButton->setFocus();
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::showEvent(QShowEvent* event)
{
    if (event->spontaneous()) {
        QDialog::showEvent(event);
        return;
    }
    // The screen the base class centres the box on.
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    QScreen* target = owner ? owner->screen() : nullptr;
    if (!target && QGuiApplication::screens().size() > 1)
        target = QGuiApplication::screenAt(QCursor::pos());
    if (!target)
        target = screen();
    const QRect available = target->availableGeometry();
    // The window manager's frame is known only once a window is on screen, and on X11 often
    // not even then: the owner's frame stands in for the box's own, and where that is
    // unknown too, room for a title bar as tall as the base class assumes when it centres.
    QMargins frame(0, 40, 0, 0);
    if (owner && owner->isVisible() && owner->frameGeometry() != owner->geometry()) {
        const QRect inner = owner->geometry();
        const QRect outer = owner->frameGeometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    }

    fitToHeight(available.height() - frame.top() - frame.bottom());
    QDialog::showEvent(event);

    // Centring keeps the top of the frame on the screen, not always its bottom edge.
    const QRect outer = geometry().marginsAdded(frame);
    const int below = outer.bottom() - available.bottom();
    if (below > 0) {
        move(pos().x(), qMax(available.top(), pos().y() - below));
        setAttribute(Qt::WA_Moved, false); // not a place the user chose
    }
}

void AboutDialog::fitToHeight(int available)
{
    const int fewestTipLines = 3 * fontMetrics().height();
    const int excess = qBound(0, designedSize.height() - available,
                              qMax(0, designedTipsArea.height() - fewestTipLines));
    setFixedSize(designedSize.width(), designedSize.height() - excess);
    tipsGroup->setGeometry(designedTipsGroup.adjusted(0, 0, 0, -excess));
    tipsArea->setGeometry(designedTipsArea.adjusted(0, 0, 0, -excess));

    layOutTips(tipsArea->width());
    const bool scrolls = tipsArea->widget()->height() > tipsArea->height();
    if (scrolls) {
        // Narrower beside the scroll bar, the tips may need more lines.
        layOutTips(tipsArea->width() -
                   style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tipsArea));
    }
    // Scrolling tips can be reached from the keyboard, after the buttons.
    tipsArea->setFocusPolicy(scrolls ? Qt::StrongFocus : Qt::NoFocus);
}

void AboutDialog::layOutTips(int pageWidth)
{
    const int designedWidth = designedTipsArea.width();
    int shift = 0;
    for (const Tip& tip : tips) {
        QRect place = tip.designed.translated(0, shift);
        place.setRight(
            qMin(place.right(), pageWidth - 1 - (designedWidth - 1 - tip.designed.right()) / 2));
        const int needed = tip.label->heightForWidth(place.width());
        if (needed > place.height()) {
            shift += needed - place.height();
            place.setHeight(needed);
        }
        tip.label->setGeometry(place);
    }
    tipsArea->widget()->resize(pageWidth, designedTipsArea.height() + shift);
}

void AboutDialog::onConfig()
{
    SymbolSetDialog config(this);
    config.exec();
}
