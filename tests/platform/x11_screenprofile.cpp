// Run on an X server (xvfb-run, QT_QPA_PLATFORM=xcb): the screen's colour profile is what a colour
// manager sets as the root window's _ICC_PROFILE.

#include "colourprofiles.h"
#include "platform/screenprofile.h"

#include <QGuiApplication>
#include <QTest>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

// Sets the root window's property to the bytes, or deletes it for none.
void SetRootProfile(const QByteArray& profile)
{
    xcb_connection_t* connection =
        qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    static constexpr char Name[] = "_ICC_PROFILE";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof Name - 1, Name), nullptr);
    if (profile.isEmpty())
        xcb_delete_property(connection, root, atom->atom);
    else
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, atom->atom, XCB_ATOM_CARDINAL, 8,
                            uint32_t(profile.size()), profile.constData());
    std::free(atom);
    xcb_flush(connection);
}

} // namespace

class TestX11ScreenProfile : public QObject {
    Q_OBJECT
private slots:
    void rootWindowPropertyIsTheProfile_data()
    {
        QTest::addColumn<QByteArray>("profile");
        QTest::newRow("none set: sRGB") << QByteArray();
        QTest::newRow("Display P3") << DisplayP3Profile();
        QTest::newRow("changed since") << ChannelSwappingProfile();
    }
    void rootWindowPropertyIsTheProfile()
    {
        QFETCH(QByteArray, profile);
        QVERIFY(qGuiApp->nativeInterface<QNativeInterface::QX11Application>());
        SetRootProfile(profile);
        QCOMPARE(ScreenColourProfile(), profile);
    }
};

QTEST_MAIN(TestX11ScreenProfile)
#include "x11_screenprofile.moc"
