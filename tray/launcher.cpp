#include "launcher.h"

#include <sys/stat.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace moonbite {
namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

/// The 32-bit values of a window property (a window list, a pid).
QList<uint32_t> property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t name, xcb_atom_t type) {
    QList<uint32_t> out;
    const auto cookie = xcb_get_property(c, 0, w, name, type, 0, 4096);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(c, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32) return out;
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    const int n = xcb_get_property_value_length(reply.get()) / 4;
    for (int i = 0; i < n; ++i)
        out.push_back(values[i]);
    return out;
}

/// Asks the window manager to activate the first managed window of one of
/// the processes; false when there is no X11 display or no such window.
bool activateWindowOf(const QList<qint64>& pids) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr) return false;
    xcb_connection_t* c = x11->connection();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (screen == nullptr) return false;
    const xcb_atom_t clientList = atom(c, "_NET_CLIENT_LIST");
    const xcb_atom_t wmPid = atom(c, "_NET_WM_PID");
    const xcb_atom_t active = atom(c, "_NET_ACTIVE_WINDOW");
    if (clientList == XCB_ATOM_NONE || wmPid == XCB_ATOM_NONE || active == XCB_ATOM_NONE)
        return false;
    for (uint32_t w : property(c, screen->root, clientList, XCB_ATOM_WINDOW)) {
        const QList<uint32_t> pid = property(c, w, wmPid, XCB_ATOM_CARDINAL);
        if (pid.isEmpty() || !pids.contains(static_cast<qint64>(pid.front()))) continue;
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = w;
        event.type = active;
        event.data.data32[0] = 2;  // the request comes from a pager-like tool, not the program
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, screen->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(c);
        return true;
    }
    return false;
}

}  // namespace

QString moonbiteProgram() {
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/moonbite");
    if (QFileInfo(beside).isExecutable()) return beside;
    // The build tree keeps the program in its own folder next to ours.
    const QString built =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../app/moonbite");
    if (QFileInfo(built).isExecutable()) return QFileInfo(built).canonicalFilePath();
    return QStandardPaths::findExecutable(QStringLiteral("moonbite"));
}

QList<qint64> runningMoonbite() {
    QList<qint64> pids;
    const uid_t me = getuid();
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok) continue;
        const QString dir = QStringLiteral("/proc/") + entry;
        struct stat st {};
        if (::stat(QFile::encodeName(dir).constData(), &st) != 0 || st.st_uid != me) continue;
        const QString exe = QFileInfo(dir + QStringLiteral("/exe")).symLinkTarget();
        if (QFileInfo(exe).fileName() == QLatin1String("moonbite")) pids.push_back(pid);
    }
    return pids;
}

QStringList moonbiteArguments(const QDate& day) {
    if (!day.isValid()) return {};
    return {QStringLiteral("--date"), day.toString(Qt::ISODate)};
}

QString openMoonbite(const QDate& day) {
    const QList<qint64> running = runningMoonbite();
    const QString program = moonbiteProgram();
    // A second Moonbite hands the day to the running window and leaves.
    const bool started = !program.isEmpty() &&
                         (running.isEmpty() || day.isValid()) &&
                         QProcess::startDetached(program, moonbiteArguments(day));
    if (!running.isEmpty()) {
        // The window manager is asked too: a window raising itself may be
        // refused as focus stealing.
        if (activateWindowOf(running) || started) return {};
        return QStringLiteral(
            "Moonbite is already open, but this desktop does not let the tray bring it forward");
    }
    if (!started) return QStringLiteral("Moonbite could not be started (is it installed?)");
    return {};
}

}  // namespace moonbite
