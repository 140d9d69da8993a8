// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What the X server shows of the main window from the moment it maps: the real program,
// watched from outside as a user sees it. The first frame the server holds after the map
// must already be the finished window, not black or half drawn until the first paint.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>

#include <memory>

namespace {

int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

long windowPid(Display* display, Window window)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, rest = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &rest, &data) == Success &&
        data && format == 32 && count == 1)
        pid = long(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

// The window's pixels as the server holds them now; null when they cannot be read as 32-bit
// true colour.
QImage grab(Display* display, Window window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes))
        return QImage();
    XImage* image = XGetImage(display, window, 0, 0, unsigned(attributes.width),
                              unsigned(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return QImage();
    QImage frame;
    if (image->bits_per_pixel == 32 && image->red_mask == 0xff0000 && image->green_mask == 0xff00 &&
        image->blue_mask == 0xff && image->byte_order == LSBFirst)
        frame = QImage(reinterpret_cast<const uchar*>(image->data), image->width, image->height,
                       image->bytes_per_line, QImage::Format_RGB32)
                    .copy();
    XDestroyImage(image);
    return frame;
}

// The next event within timeoutMs; false when none came.
bool nextEvent(Display* display, XEvent& event, int timeoutMs)
{
    if (XPending(display) == 0) {
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        if (poll(&fd, 1, timeoutMs) <= 0 || XPending(display) == 0)
            return false;
    }
    XNextEvent(display, &event);
    return true;
}

// Where two frames differ, and how much of the first is black, for the failure message.
QString difference(const QImage& shown, const QImage& finished)
{
    if (shown.size() != finished.size())
        return QStringLiteral("other size");
    QRect box;
    qsizetype black = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) != finished.pixel(x, y))
                box |= QRect(x, y, 1, 1);
            black += qGray(shown.pixel(x, y)) == 0 ? 1 : 0;
        }
    }
    return QStringLiteral("differs in %1x%2 at %3,%4; %5% of it black")
        .arg(box.width())
        .arg(box.height())
        .arg(box.x())
        .arg(box.y())
        .arg(100 * black / (qsizetype(shown.width()) * shown.height()));
}

// A photo-sized picture of some detail, written as a JPEG: slow enough to read that a frame
// drawn before it is ready would show.
void writePhoto(const QString& path)
{
    QImage photo(3000, 2000, QImage::Format_RGB32);
    QPainter painter(&photo);
    QLinearGradient sky(0, 0, 3000, 2000);
    sky.setColorAt(0, QColor(40, 120, 220));
    sky.setColorAt(1, QColor(240, 200, 60));
    painter.fillRect(photo.rect(), sky);
    painter.setBrush(QColor(30, 140, 40));
    painter.drawEllipse(QRect(500, 900, 2000, 1600));
    painter.end();
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QVERIFY(photo.save(path, "JPEG", 92));
}

} // namespace

class TestFirstFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        display.reset(XOpenDisplay(nullptr));
        QVERIFY2(display, "no X display");
        XSetErrorHandler(ignoreErrors);
    }

    void firstFrameAtTheMapIsTheFinishedWindow_data()
    {
        QTest::addColumn<bool>("photoAsFirstIcon");
        QTest::addRow("own pictures") << false;
        QTest::addRow("a photo as the first icon") << true;
    }

    void firstFrameAtTheMapIsTheFinishedWindow()
    {
        QFETCH(bool, photoAsFirstIcon);
        QTemporaryDir home;
        if (photoAsFirstIcon)
            writePhoto(home.filePath(QStringLiteral("data/Tamsk/glyphlock/a.jpg")));

        Display* x = display.get();
        const Window root = DefaultRootWindow(x);
        XSelectInput(x, root, SubstructureNotifyMask);
        XSync(x, True);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(GLYPHLOCK_PROGRAM), {});
        QVERIFY(program.waitForStarted());
        const auto stop = qScopeGuard([&program] {
            program.kill();
            program.waitForFinished(10000);
        });

        // The moment the map is reported, the server has done it: whatever the window shows
        // then is what the screen showed first.
        Window window = None;
        QImage atMap;
        QDeadlineTimer deadline(20000);
        while (window == None && !deadline.hasExpired()) {
            XEvent event;
            if (!nextEvent(x, event, 100) || event.type != MapNotify ||
                event.xmap.override_redirect ||
                windowPid(x, event.xmap.window) != program.processId())
                continue;
            window = event.xmap.window;
            atMap = grab(x, window);
        }
        XSelectInput(x, root, NoEventMask);
        QVERIFY2(window != None, "the main window did not map");
        if (atMap.isNull())
            QSKIP("the server's pixels are not 32-bit true colour");

        // The finished window: what it keeps showing once nothing changes any more.
        QImage finished = grab(x, window);
        int unchanged = 0;
        while (unchanged < 15 && !deadline.hasExpired()) {
            QTest::qWait(100);
            const QImage now = grab(x, window);
            unchanged = now == finished ? unchanged + 1 : 0;
            finished = now;
        }
        QVERIFY2(unchanged >= 15, "the window did not settle");

        if (atMap != finished) {
            const QString folder = QStringLiteral(GLYPHLOCK_SCREENSHOTS);
            QDir().mkpath(folder);
            const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-');
            atMap.save(folder + QStringLiteral("/first-frame-") + tag +
                       QStringLiteral("-at-map.png"));
            finished.save(folder + QStringLiteral("/first-frame-") + tag +
                          QStringLiteral("-finished.png"));
            QFAIL(qPrintable(QStringLiteral("at the map the window %1 (frames in %2)")
                                 .arg(difference(atMap, finished), folder)));
        }
    }

private:
    struct CloseDisplay
    {
        void operator()(Display* d) const { XCloseDisplay(d); }
    };
    std::unique_ptr<Display, CloseDisplay> display;
};

QTEST_GUILESS_MAIN(TestFirstFrame)

#include "TestFirstFrame.moc"
