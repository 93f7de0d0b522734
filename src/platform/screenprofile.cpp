#include "platform/screenprofile.h"

#include <QGuiApplication>

#if defined(PIXLY_HAS_XCB)
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

#if defined(PIXLY_HAS_XCB) && QT_CONFIG(xcb)

namespace {

struct ReplyDeleter {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using Owned = std::unique_ptr<Reply, ReplyDeleter>;

// No real profile comes near this; a larger property is not taken.
constexpr uint32_t MaxProfileWords = 16 * 1024 * 1024 / 4;

} // namespace

QByteArray ScreenColourProfile()
{
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return {};
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen) return {};
    static constexpr char Name[] = "_ICC_PROFILE";
    const Owned<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof Name - 1, Name), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE) return {};
    const Owned<xcb_get_property_reply_t> property(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, screen->root, atom->atom,
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, MaxProfileWords),
                               nullptr));
    if (!property || property->format != 8 || property->bytes_after != 0) return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(property.get())),
                      xcb_get_property_value_length(property.get()));
}

#else

QByteArray ScreenColourProfile()
{
    return {};
}

#endif
