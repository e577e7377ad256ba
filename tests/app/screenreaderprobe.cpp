// A screen reader's view of one application, for test_screenreader: reads the
// accessibility tree of the process PID from the accessibility bus (AT-SPI
// over D-Bus), as a screen reader does, and prints one line per object that
// shows on the screen, depth first:
//
//   ROLE|NAME|DESCRIPTION|TEXT|LINE AT THE CARET
//
// (the text fields only for objects with a text; line breaks as "\n").
//   screenreaderprobe PID
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>

#include <cstdio>

namespace {

struct ObjectRef {
    QString service;
    QDBusObjectPath path;
};

QDBusArgument &operator<<(QDBusArgument &argument, const ObjectRef &object)
{
    argument.beginStructure();
    argument << object.service << object.path;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, ObjectRef &object)
{
    argument.beginStructure();
    argument >> object.service >> object.path;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(ObjectRef)
Q_DECLARE_METATYPE(QList<ObjectRef>)

namespace {

const QString Accessible = QStringLiteral("org.a11y.atspi.Accessible");
const QString Text = QStringLiteral("org.a11y.atspi.Text");
constexpr int StateShowing = 24;    // ATSPI_STATE_SHOWING
constexpr uint BoundaryLineStart = 5; // ATSPI_TEXT_BOUNDARY_LINE_START

class Reader {
public:
    explicit Reader(QDBusConnection bus) : bus_(std::move(bus)) {}

    QVariant property(const ObjectRef &object, const QString &interface, const QString &name)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(object.service, object.path.path(),
                                                           QStringLiteral("org.freedesktop.DBus.Properties"),
                                                           QStringLiteral("Get"));
        call << interface << name;
        const QDBusMessage reply = bus_.call(call);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return reply.arguments().first().value<QDBusVariant>().variant();
    }

    QDBusMessage call(const ObjectRef &object, const QString &interface, const QString &method,
                      const QVariantList &arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(object.service, object.path.path(), interface, method);
        message.setArguments(arguments);
        return bus_.call(message);
    }

    QList<ObjectRef> children(const ObjectRef &object)
    {
        const QDBusMessage reply = call(object, Accessible, QStringLiteral("GetChildren"));
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return qdbus_cast<QList<ObjectRef>>(reply.arguments().first());
    }

    bool showing(const ObjectRef &object)
    {
        const QDBusMessage reply = call(object, Accessible, QStringLiteral("GetState"));
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return false;
        const QList<uint> words = qdbus_cast<QList<uint>>(reply.arguments().first());
        return !words.isEmpty() && (words.first() & (1u << StateShowing));
    }

    void print(const ObjectRef &object, int depth)
    {
        if (depth > 40 || !showing(object))
            return;
        const QString role = call(object, Accessible, QStringLiteral("GetRoleName")).arguments().value(0).toString();
        const QString name = property(object, Accessible, QStringLiteral("Name")).toString();
        const QString description = property(object, Accessible, QStringLiteral("Description")).toString();
        const QStringList interfaces =
            call(object, Accessible, QStringLiteral("GetInterfaces")).arguments().value(0).toStringList();
        QString text;
        QString caretLine;
        if (interfaces.contains(Text)) {
            text = call(object, Text, QStringLiteral("GetText"), {0, -1}).arguments().value(0).toString();
            const int caret = property(object, Text, QStringLiteral("CaretOffset")).toInt();
            caretLine = call(object, Text, QStringLiteral("GetTextAtOffset"), {caret, BoundaryLineStart})
                            .arguments()
                            .value(0)
                            .toString();
        }
        const auto escaped = [](QString value) {
            return value.replace(u'\\', QStringLiteral("\\\\")).replace(u'\n', QStringLiteral("\\n"));
        };
        std::printf("%s%s|%s|%s|%s|%s\n", qPrintable(QString(depth * 2, u' ')), qPrintable(role),
                    qPrintable(escaped(name)), qPrintable(escaped(description)), qPrintable(escaped(text)),
                    qPrintable(escaped(caretLine)));
        for (const ObjectRef &child : children(object))
            print(child, depth + 1);
    }

private:
    QDBusConnection bus_;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 2)
        return 2;
    const uint pid = QString::fromLocal8Bit(argv[1]).toUInt();
    qDBusRegisterMetaType<ObjectRef>();
    qDBusRegisterMetaType<QList<ObjectRef>>();

    QDBusInterface launcher(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                            QStringLiteral("org.a11y.Bus"));
    const QDBusReply<QString> address = launcher.call(QStringLiteral("GetAddress"));
    if (!address.isValid()) {
        std::fprintf(stderr, "no accessibility bus: %s\n", qPrintable(address.error().message()));
        return 3;
    }
    const QDBusConnection bus = QDBusConnection::connectToBus(address.value(), QStringLiteral("a11y"));
    Reader reader(bus);
    const ObjectRef desktop{QStringLiteral("org.a11y.atspi.Registry"),
                            QDBusObjectPath(QStringLiteral("/org/a11y/atspi/accessible/root"))};
    for (const ObjectRef &application : reader.children(desktop)) {
        const QDBusReply<uint> owner = bus.interface()->servicePid(application.service);
        if (!owner.isValid() || owner.value() != pid)
            continue;
        for (const ObjectRef &window : reader.children(application))
            reader.print(window, 0);
        return 0;
    }
    std::fprintf(stderr, "the application %u is not on the accessibility bus\n", pid);
    return 4;
}
