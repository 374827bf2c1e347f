// The floor of bench-startup: the least a Qt Widgets program does to show a window, one
// label in a top-level window. Like the program, it writes its pid to the file named by
// TOLVEX_READY_FILE once the first paint is over and the event loop waits for input.

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTimer>

#include <utility>

namespace {

class ReadyMark : public QObject {
public:
    explicit ReadyMark(QString path) : m_path(std::move(path)) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                QFile file(m_path);
                if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                    file.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n');
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QString m_path;
    bool m_painted = false;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString readyFile = qEnvironmentVariable("TOLVEX_READY_FILE");
    ReadyMark mark(readyFile);
    QLabel label(QStringLiteral("TOLVEX"));
    label.resize(320, 120);
    label.show();
    return QApplication::exec();
}
