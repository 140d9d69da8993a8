// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "widgets/HyperLink.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QTimer>
#include <QTimerEvent>

#include <optional>

namespace {

// How long an opener may take to say whether it opened the target. Without a desktop,
// xdg-open tries a long list of browsers and can take seconds on a busy machine to fail.
constexpr int kOpenerPatienceMs = 5000;

// Why a program could not be started, in the terms of the message table.
int startFailureCode(const QString& program)
{
    const QFileInfo file(program);
    if (!file.exists())
        return file.dir().exists() ? HyperLink::kFileNotFound : HyperLink::kPathNotFound;
    QFile content(program);
    if (file.isDir() || !file.isExecutable() || !content.open(QIODevice::ReadOnly))
        return HyperLink::kAccessDenied;
    const QByteArray head = content.read(256);
    if (head.startsWith("#!")) {
        const QByteArray line = head.mid(2, head.indexOf('\n') - 2).simplified();
        const QString interpreter = QString::fromLocal8Bit(line.left(line.indexOf(' ')));
        return QFileInfo(interpreter).isExecutable() ? HyperLink::kOutOfResources
                                                     : HyperLink::kFileNotFound;
    }
    // Not a program, or one for another machine or without its loader.
    return HyperLink::kBadFormat;
}

// Runs an opener and waits a moment for its exit status, which `exitCode` translates. One
// still running by then has opened the target (a browser that was not running stays in the
// foreground until it is closed); it is left to run on, also after this program ends.
int runOpener(const QString& program, const QStringList& arguments, int (*exitCode)(int))
{
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        return startFailureCode(program);
    }
    // Windows keep painting and answering the window manager meanwhile; clicks wait.
    QEventLoop wait;
    QObject::connect(process, &QProcess::finished, &wait, &QEventLoop::quit);
    QTimer::singleShot(kOpenerPatienceMs, &wait, &QEventLoop::quit);
    if (process->state() != QProcess::NotRunning)
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    if (process->state() != QProcess::NotRunning) {
        // Deleting it would end it.
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return HyperLink::kOpened;
    }
    const int result = process->exitStatus() == QProcess::NormalExit
                           ? exitCode(process->exitCode())
                           : HyperLink::kIncompleteAssociation;
    delete process;
    return result;
}

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// xdg-open's exit statuses.
int desktopOpenerResult(int status)
{
    switch (status) {
    case 0:
        return HyperLink::kOpened;
    case 2: // a file named on the command line does not exist
        return HyperLink::kFileNotFound;
    case 3: // no program for the address was found
    case 4: // the program for it failed, which mostly means there is none (mailto:)
        return HyperLink::kNoAssociation;
    default:
        return HyperLink::kIncompleteAssociation;
    }
}
#endif

int browserResult(int status)
{
    return status == 0 ? HyperLink::kOpened : HyperLink::kIncompleteAssociation;
}

// Runs the first command whose program exists. No value when none exists.
std::optional<int> runBrowserCommand(const QString& target, const QStringList& commands)
{
    // A browser would read such a target as one of its options.
    if (target.startsWith(QLatin1Char('-')))
        return std::nullopt;
    for (const QString& command : commands) {
        QStringList arguments = QProcess::splitCommand(command);
        if (arguments.isEmpty())
            continue;
        // A program given by its path is used even when it cannot run, to say why.
        const QString name = arguments.takeFirst();
        const QString program = name.contains(QLatin1Char('/'))
                                    ? (QFileInfo::exists(name) ? name : QString())
                                    : QStandardPaths::findExecutable(name);
        if (program.isEmpty())
            continue;

        bool placed = false;
        for (QString& argument : arguments) {
            if (argument.contains(QLatin1String("%s"))) {
                argument.replace(QLatin1String("%s"), target);
                placed = true;
            }
        }
        if (!placed)
            arguments.append(target);
        return runOpener(program, arguments, browserResult);
    }
    return std::nullopt;
}

// What assistive technology is told: a link (not a text) named by its text, with its target
// as description, and the action that follows it, named "jump" as links are on the AT-SPI
// bus; Qt's press action does the same for bridges that look for that one.
class HyperLinkAccessible : public QAccessibleWidget
{
public:
    explicit HyperLinkAccessible(HyperLink* link) : QAccessibleWidget(link, QAccessible::Link) {}

    static QString jumpAction() { return QStringLiteral("jump"); }

    QString text(QAccessible::Text type) const override
    {
        QString text = QAccessibleWidget::text(type);
        if (text.isEmpty() && type == QAccessible::Name)
            text = link()->text();
        if (text.isEmpty() && type == QAccessible::Description)
            text = link()->target();
        return text;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = true;
        state.traversed = link()->isFollowed();
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (link()->isEnabled())
            names = QStringList{jumpAction(), pressAction()} + names;
        return names;
    }

    QString localizedActionDescription(const QString& action) const override
    {
        if (action == jumpAction() || action == pressAction())
            return QStringLiteral("Opens ") + link()->target();
        return QAccessibleWidget::localizedActionDescription(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (action == jumpAction() || action == pressAction())
            return {QStringLiteral("Return"), QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(action);
    }

    void doAction(const QString& action) override
    {
        if (!link()->isEnabled())
            return;
        if (action != jumpAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // Opening may wait for the desktop's opener and show a message: not while the
        // assistive technology's request is being answered.
        QMetaObject::invokeMethod(link(), &HyperLink::follow, Qt::QueuedConnection);
    }

private:
    HyperLink* link() const { return static_cast<HyperLink*>(widget()); }
};

QAccessibleInterface* hyperLinkAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("HyperLink") && object && object->isWidgetType())
        return new HyperLinkAccessible(static_cast<HyperLink*>(object));
    return nullptr;
}

} // namespace

HyperLink::HyperLink(const QString& text, const QString& target, QWidget* parent)
    : QLabel(parent), targetText(target.isEmpty() ? text : target), opener(defaultOpener())
{
    // First: setting the text below already tells a running screen reader about the link,
    // and the interface made then is the one kept.
    static const bool accessibleAsLink = [] {
        QAccessible::installFactory(hyperLinkAccessibleFactory);
        return true;
    }();
    Q_UNUSED(accessibleAsLink);
    setText(text.isEmpty() ? targetText : text);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setCursor(Qt::PointingHandCursor);
    // Reached by Tab like a button, and followed with Enter or Space.
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(targetText);
    setMouseTracking(true);
    applyLook();
}

HyperLink::~HyperLink() = default;

void HyperLink::setTarget(const QString& target)
{
    targetText = target;
    fitToText();
    setToolTip(targetText);
}

void HyperLink::setFollowed(bool isFollowed)
{
    followed = isFollowed;
    applyLook();
}

void HyperLink::setUnderlineMode(int mode)
{
    if (mode == underline)
        return;
    underline = mode;
    applyLook();
}

QColor HyperLink::textColour() const
{
    if (hot)
        return hotColour;
    return followed ? followedColour : normalColour;
}

void HyperLink::applyLook()
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, textColour());
    setPalette(colours);

    // Any mode other than "always" or "on hover" never underlines.
    QFont look = font();
    look.setUnderline(underline == underlineAlways || (underline == underlineOnHover && hot));
    setFont(look);
    update();
}

void HyperLink::fitToText()
{
    QFont underlined = font();
    underlined.setUnderline(true);
    const QSize textSize = QFontMetrics(underlined).size(0, text());
    // Room for a frame or margins around the text.
    const int extentWidth = textSize.width() + width() - contentsRect().width();
    const int extentHeight = textSize.height() + height() - contentsRect().height();

    QRect area = geometry();
    if (alignment() & Qt::AlignVCenter) {
        const int shrink = (area.height() - extentHeight) / 2;
        area.adjust(0, shrink, 0, -shrink);
    } else {
        area.setHeight(extentHeight);
    }
    if (alignment() & Qt::AlignHCenter) {
        const int shrink = (area.width() - extentWidth) / 2;
        area.adjust(shrink, 0, -shrink, 0);
    } else if (alignment() & Qt::AlignRight) {
        area.setLeft(area.left() + area.width() - extentWidth);
    } else {
        area.setWidth(extentWidth);
    }
    setGeometry(area);
}

void HyperLink::setOpener(Opener newOpener)
{
    opener = newOpener ? std::move(newOpener) : defaultOpener();
}

HyperLink::Opener HyperLink::defaultOpener()
{
    return [](const QString& target) {
        return openTarget(target, &HyperLink::openOnDesktop, defaultBrowserCommands());
    };
}

int HyperLink::openOnDesktop(const QUrl& url)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Qt's desktop services start xdg-open without waiting for it, so a failure there would
    // look like success.
    const QString desktopOpener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!desktopOpener.isEmpty())
        return runOpener(desktopOpener, {url.toString(QUrl::FullyEncoded)}, desktopOpenerResult);
#endif
    return QDesktopServices::openUrl(url) ? kOpened : kNoAssociation;
}

int HyperLink::openTarget(const QString& target, const DesktopOpener& desktop,
                          const QStringList& browserCommands)
{
    int result = kNoAssociation;
    const QUrl url =
        QUrl::fromUserInput(target.trimmed(), QDir::currentPath(), QUrl::AssumeLocalFile);
    if (target.trimmed().isEmpty() || !url.isValid()) {
        result = kFileNotFound;
    } else if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) {
        result = kFileNotFound;
    } else if (url.isLocalFile() && !QFileInfo(url.toLocalFile()).isReadable()) {
        result = kAccessDenied;
    } else if (desktop) {
        result = desktop(url);
        if (result > kLastFailureCode)
            return result;
    }
    return runBrowserCommand(target, browserCommands).value_or(result);
}

QStringList HyperLink::defaultBrowserCommands()
{
    QStringList commands;
    // $BROWSER is a colon-separated list of commands by long-standing convention.
    const QString browser = qEnvironmentVariable("BROWSER");
    for (const QString& entry : browser.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        commands.append(entry);
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The system's chosen graphical browsers (xdg-open was the desktop's turn).
    commands << QStringLiteral("x-www-browser") << QStringLiteral("gnome-www-browser");
#endif
    return commands;
}

QString HyperLink::openErrorText(int code)
{
    switch (code) {
    case kOutOfResources:
        return tr("The operating system is out\nof memory or resources.");
    case kFileNotFound:
        return tr("The specified file was not found.");
    case kPathNotFound:
        return tr("The specified path was not found.");
    case kAccessDenied:
        return tr("The operating system denied\naccess to the specified file.");
    case kOutOfMemory:
        return tr("There was not enough memory to complete the operation.");
    case kBadFormat:
        return tr("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case kSharingViolation:
        return tr("A sharing violation occurred. ");
    case kIncompleteAssociation:
        return tr("The filename association is\nincomplete or invalid.");
    case kDdeTimeout:
        return tr("The DDE transaction could not\nbe completed because the request timed out.");
    case kDdeFailed:
        return tr("The DDE transaction failed.");
    case kDdeBusy:
        return tr("The DDE transaction could not\nbe completed because other DDE "
                  "transactions\nwere being processed.");
    case kNoAssociation:
        return tr("There is no application associated\nwith the given filename extension.");
    case kLibraryNotFound:
        return tr("The specified dynamic-link library was not found.");
    default:
        return tr("Unknown Error (%1) occurred.").arg(code);
    }
}

void HyperLink::enterEvent(QEnterEvent* event)
{
    becomeHot();
    QLabel::enterEvent(event);
}

void HyperLink::mouseMoveEvent(QMouseEvent* event)
{
    becomeHot();
    QLabel::mouseMoveEvent(event);
}

void HyperLink::leaveEvent(QEvent* event)
{
    leaveHot();
    QLabel::leaveEvent(event);
}

void HyperLink::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != hotTimer.timerId()) {
        QLabel::timerEvent(event);
        return;
    }
    if (!rect().contains(mapFromGlobal(QCursor::pos())))
        leaveHot();
}

void HyperLink::becomeHot()
{
    if (hot)
        return;
    hot = true;
    applyLook();
    hotTimer.start(kHotPollMs, this);
}

void HyperLink::leaveHot()
{
    hotTimer.stop();
    if (!hot)
        return;
    hot = false;
    applyLook();
}

void HyperLink::mousePressEvent(QMouseEvent* event)
{
    pressed = event->button() == Qt::LeftButton;
    if (pressed)
        event->accept(); // keeps the release coming to the link
    else
        QLabel::mousePressEvent(event);
}

void HyperLink::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        follow();
}

void HyperLink::keyPressEvent(QKeyEvent* event)
{
    const bool follows = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                         event->key() == Qt::Key_Space;
    if (!follows || (event->modifiers() & ~Qt::KeypadModifier)) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    // Holding the key down follows the link once.
    if (!event->isAutoRepeat())
        follow();
}

void HyperLink::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.backgroundColor = palette().color(QPalette::Window);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

void HyperLink::follow()
{
    // The next move over the link makes it hot again.
    hot = false;
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    const int result = opener(targetText);
    QGuiApplication::restoreOverrideCursor();
    followed = result > kLastFailureCode;
    applyLook();
    if (!followed) {
        QApplication::beep();
        showOpenError(result);
    }
}

void HyperLink::showOpenError(int code)
{
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
                    tr("Unable to open hyperlink:\n\n") + openErrorText(code), QMessageBox::Ok,
                    window());
    box.exec();
}
