#include "ui/common/Compositing.h"

#include <QtGui/qguiapplication_platform.h>
#include <QByteArray>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace tolvex {

namespace {

// The screen number of $DISPLAY ("host:display.screen"), 0 when it names none.
int DefaultScreenNumber()
{
    const QByteArray display = qgetenv("DISPLAY");
    const int colon = display.lastIndexOf(':');
    const int dot = display.indexOf('.', colon < 0 ? 0 : colon);
    if (dot < 0)
        return 0;
    bool ok = false;
    const int screen = display.mid(dot + 1).toInt(&ok);
    return ok && screen >= 0 ? screen : 0;
}

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

}  // namespace

bool IsCompositingActive()
{
    if (!qGuiApp)
        return false;
    // Only X11 leaves blending to a separate program. (The offscreen platform may offer an
    // X11 interface of its own for GL; it still blends in memory.)
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return true;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return false;
    xcb_connection_t* connection = x11->connection();
    if (!connection)
        return false;

    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreenNumber());
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> atom(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.constData()), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    std::unique_ptr<xcb_get_selection_owner_reply_t, FreeDeleter> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr));
    return owner && owner->owner != XCB_WINDOW_NONE;
}

}  // namespace tolvex
