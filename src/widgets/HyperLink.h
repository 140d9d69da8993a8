// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QBasicTimer>
#include <QColor>
#include <QLabel>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// A text label that behaves like a link on a web page: blue, red while hovered, purple once
// followed, and a click opens its target through the desktop.
class HyperLink : public QLabel
{
    Q_OBJECT

public:
    enum UnderlineMode
    {
        underlineNever = 0,
        underlineAlways = 1,
        underlineOnHover = -1
    };

    // Result codes of opening a target, with the values users know them by from the messages:
    // anything above kLastFailureCode means it was opened.
    enum OpenResult : int
    {
        kOutOfResources = 0,
        kFileNotFound = 2,
        kPathNotFound = 3,
        kAccessDenied = 5,
        kOutOfMemory = 8,
        kBadFormat = 11,
        kSharingViolation = 26,
        kIncompleteAssociation = 27,
        kDdeTimeout = 28,
        kDdeFailed = 29,
        kDdeBusy = 30,
        kNoAssociation = 31,
        kLibraryNotFound = 32,
        kLastFailureCode = kLibraryNotFound,
        kOpened = 33
    };

    // Opens a target and returns a result code as above.
    using Opener = std::function<int(const QString& target)>;
    // Hands a URL to the desktop and returns a result code as above.
    using DesktopOpener = std::function<int(const QUrl& url)>;

    // An empty target means the text; an empty text shows the target.
    explicit HyperLink(const QString& text = QString(), const QString& target = QString(),
                       QWidget* parent = nullptr);
    ~HyperLink() override;

    const QColor normalColour{0, 0, 238};
    const QColor followedColour{85, 26, 139};
    const QColor hotColour{255, 0, 0};

    QString target() const { return targetText; }
    void setTarget(const QString& target);
    bool isFollowed() const { return followed; }
    void setFollowed(bool followed);
    int underlineMode() const { return underline; }
    void setUnderlineMode(int mode);
    bool isHot() const { return hot; }
    // The colour the text is drawn in now.
    QColor textColour() const;

    // Resizes the label to its text, keeping the edge (or centre) its alignment points at.
    void fitToText();

    // Replaces the way a click opens the target (the default is defaultOpener()).
    void setOpener(Opener opener);
    static Opener defaultOpener();

    // Tries the desktop first, then the first browser command that can be found. A command
    // is a program with optional arguments; "%s" in an argument stands for the target,
    // otherwise the target is appended. Nothing is run through a shell. An opener that ends
    // at once reports with its exit status; one still running after a moment has opened the
    // target (a browser that stays in the foreground) and is left running.
    static int openTarget(const QString& target, const DesktopOpener& desktop,
                          const QStringList& browserCommands);
    // The desktop's own opener (xdg-open) where there is one, waited for, so that its
    // failures count; otherwise Qt's desktop services.
    static int openOnDesktop(const QUrl& url);
    // The user's $BROWSER entries, then the system's default web browser commands.
    static QStringList defaultBrowserCommands();

    // The explanation for a result code; every code without its own text gets the catch-all.
    static QString openErrorText(int code);

    // Opens the target as a click does, with the same message when that fails.
    void follow();

protected:
    void enterEvent(QEnterEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void becomeHot();
    void leaveHot();
    void applyLook();
    void showOpenError(int code);

    bool hot = false;
    bool followed = false;
    bool pressed = false;
    int underline = underlineOnHover;
    QString targetText;
    Opener opener;
    // Leaving is also noticed by polling, for the cases where no leave event arrives
    // (a grab elsewhere, the window moving away under a still cursor).
    QBasicTimer hotTimer;
    static constexpr int kHotPollMs = 100;
};
