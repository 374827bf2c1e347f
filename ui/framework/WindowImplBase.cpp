#include "ui/framework/WindowImplBase.h"

#include "ui/framework/CListUI.h"
#include "ui/framework/SkinLoader.h"
#include "ui/framework/SkinResources.h"
#include "ui/framework/WindowMethodError.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDebug>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace tolvex {

namespace {

constexpr char kBoundProperty[] = "_tolvexNotifyBound";

// An option sends "selectchanged" only when it becomes selected; a check box on both.
bool IsExclusiveOption(const QAbstractButton* button)
{
    if (qobject_cast<const QCheckBox*>(button))
        return false;
    if (button->autoExclusive())
        return true;
    const QButtonGroup* group = button->group();
    return group && group->exclusive();
}

}  // namespace

WindowImplBase::WindowImplBase() : QWidget(nullptr, Qt::Window) {}

WindowImplBase::~WindowImplBase()
{
    if (m_modalLoop)
        m_modalLoop->exit();
}

QString WindowImplBase::className() const
{
    QString name = QString::fromLatin1(metaObject()->className());
    const qsizetype cut = name.lastIndexOf(QLatin1String("::"));
    return cut >= 0 ? name.mid(cut + 2) : name;
}

bool WindowImplBase::Create(QWidget* parent, const QString& title, uint32_t style, uint32_t exStyle)
{
    SkinResources::applyTheme();
    const std::string windowClass = className().toStdString();
    const QString skinFile = GuardWindowMethod(windowClass, "GetSkinFile", [this] { return GetSkinFile(); });

    SkinLoader loader([this](const QString& controlClass, QWidget* controlParent) {
        return createControl(controlClass, controlParent);
    });
    const QString path = SkinResources::skinPath(skinFile);
    QWidget* root = loader.loadFile(path, this);
    if (!root) {
        qWarning().noquote() << "skin file cannot be loaded:" << path << loader.errorString();
        return false;
    }
    m_root = root;
    m_captionHeight = root->property("caption").toInt();

    const QSize size = root->size();
    setParent(parent, WindowFlagsForStyle(style, exStyle, m_captionHeight > 0));
    setObjectName(getWindowClassName());
    setProperty("windowClassName", getWindowClassName());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(root);
    setMinimumSize(root->minimumSize());
    resize(size.expandedTo(root->minimumSize()));
    setWindowTitle(title.isEmpty() ? root->windowTitle() : title);
    setAttribute(Qt::WA_AcceptDrops, (exStyle & WS_EX_ACCEPTFILES) != 0);

    bindNotifications(root);
    updateMaxRestoreButtons();
    GuardWindowMethod(windowClass, "Init", [this] { InitWindow(); });

    if (style & WS_VISIBLE) {
        // Shown from the event loop, so that CenterWindow or ShowModal right after Create
        // take effect before the window first appears.
        m_pendingShow = true;
        QTimer::singleShot(0, this, [this] {
            if (m_pendingShow && !m_closed)
                ShowWindow(true, true);
        });
    }
    return true;
}

void WindowImplBase::CenterWindow()
{
    QRect area;
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (owner && owner->isVisible()) {
        area = owner->frameGeometry();
    } else {
        QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
        if (!screen)
            return;
        area = screen->availableGeometry();
    }
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

int WindowImplBase::ShowModal()
{
    if (m_closed)
        return m_closeValue;
    QEventLoop loop;
    int result = 0;
    m_modalLoop = &loop;
    m_modalResult = &result;
    m_pendingShow = false;
    // Modality takes effect only when set on a hidden window.
    if (isVisible())
        hide();
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();

    // The window may delete itself in its final message while the loop still runs.
    QPointer<WindowImplBase> self(this);
    loop.exec(QEventLoop::DialogExec);
    if (self) {
        self->m_modalLoop = nullptr;
        self->m_modalResult = nullptr;
    }
    return result;
}

void WindowImplBase::ShowWindow(bool showIt, bool takeFocus)
{
    m_pendingShow = false;
    if (!showIt) {
        hide();
        return;
    }
    if (isMinimized())
        showNormal();
    else
        show();
    if (takeFocus) {
        raise();
        activateWindow();
    }
}

void WindowImplBase::Close(int value)
{
    if (m_closed)
        return;
    m_closeValue = value;
    close();
    // A window that never got a close event (never created) still ends here.
    if (!m_closed)
        finishClose(value);
}

void WindowImplBase::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (!m_closed)
        finishClose(m_closeValue);
}

void WindowImplBase::finishClose(int value)
{
    m_closed = true;
    m_pendingShow = false;
    m_closeValue = value;
    hide();
    if (m_modalResult)
        *m_modalResult = value;
    if (m_modalLoop)
        m_modalLoop->exit();
    onDestroy();
    // The final message comes from the event loop, with the application as context, so
    // the window may delete itself there.
    QPointer<WindowImplBase> self(this);
    QTimer::singleShot(0, QCoreApplication::instance(), [self] {
        if (self)
            self->runFinalMessage();
    });
}

void WindowImplBase::runFinalMessage()
{
    const std::string windowClass = className().toStdString();
    try {
        GuardWindowMethod(windowClass, "OnFinalMessage", [this] { OnFinalMessage(); });
    } catch (const WindowMethodError& error) {
        qCritical().noquote() << error.what();
    }
}

QWidget* WindowImplBase::FindControl(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    return findChild<QWidget*>(name, Qt::FindChildrenRecursively);
}

QWidget* WindowImplBase::buildFromSkin(const QString& skinFile, QWidget* parent)
{
    SkinLoader loader([this](const QString& controlClass, QWidget* controlParent) {
        return createControl(controlClass, controlParent);
    });
    QWidget* root = loader.loadFile(SkinResources::skinPath(skinFile), parent);
    if (!root) {
        qWarning().noquote() << "skin file cannot be loaded:" << skinFile << loader.errorString();
        return nullptr;
    }
    bindNotifications(root);
    return root;
}

void WindowImplBase::bindNotifications(QWidget* root)
{
    if (!root)
        return;
    bindControl(root);
    const QList<QWidget*> controls = root->findChildren<QWidget*>();
    for (QWidget* control : controls)
        bindControl(control);
}

void WindowImplBase::bindControl(QWidget* control)
{
    if (control->property(kBoundProperty).toBool() || control->objectName().startsWith(QLatin1String("qt_")))
        return;
    control->setProperty(kBoundProperty, true);

    if (auto* list = qobject_cast<CListUI*>(control)) {
        connect(list, &CListUI::itemSelected, this,
                [this, list](int index) { sendNotify(QStringLiteral("itemselect"), list, index); });
        connect(list, &CListUI::itemClicked, this,
                [this, list](int index) { sendNotify(QStringLiteral("itemclick"), list, index); });
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, combo](int index) { sendNotify(QStringLiteral("itemselect"), combo, index); });
    } else if (auto* slider = qobject_cast<QSlider*>(control)) {
        connect(slider, &QSlider::valueChanged, this,
                [this, slider](int value) { sendNotify(QStringLiteral("valuechanged"), slider, value); });
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        connect(button, &QAbstractButton::clicked, this,
                [this, button] { sendNotify(QStringLiteral("click"), button); });
        connect(button, &QAbstractButton::toggled, this, [this, button](bool checked) {
            if (checked || !IsExclusiveOption(button))
                sendNotify(QStringLiteral("selectchanged"), button, checked ? 1 : 0);
        });
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        connect(edit, &QLineEdit::textEdited, this, [this, edit] { sendNotify(QStringLiteral("textchanged"), edit); });
    }
}

void WindowImplBase::sendNotify(const QString& type, QWidget* sender, intptr_t wParam, intptr_t lParam)
{
    if (m_closed)
        return;
    TNotifyUI msg{type, sender, wParam, lParam};
    Notify(msg);
}

void WindowImplBase::Notify(TNotifyUI& msg)
{
    if (msg.type != QLatin1String("click"))
        return;
    const QString name = msg.senderName();
    if (name == QLatin1String("closebtn")) {
        Close();
    } else if (name == QLatin1String("minbtn")) {
        showMinimized();
    } else if (name == QLatin1String("maxbtn")) {
        showMaximized();
    } else if (name == QLatin1String("restorebtn")) {
        showNormal();
    }
}

bool WindowImplBase::event(QEvent* event)
{
    if (event->type() >= QEvent::User && event->type() <= QEvent::MaxUser) {
        if (auto* message = dynamic_cast<MessageEvent*>(event)) {
            HandleCustomMessage(*message);
            return true;
        }
    }
    return QWidget::event(event);
}

void WindowImplBase::mousePressEvent(QMouseEvent* event)
{
    if (m_captionHeight > 0 && event->button() == Qt::LeftButton && event->position().y() < m_captionHeight &&
        windowHandle() && !isMaximized()) {
        windowHandle()->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void WindowImplBase::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_captionHeight > 0 && event->button() == Qt::LeftButton && event->position().y() < m_captionHeight &&
        (windowFlags() & Qt::WindowMaximizeButtonHint)) {
        isMaximized() ? showNormal() : showMaximized();
        event->accept();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void WindowImplBase::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange)
        updateMaxRestoreButtons();
    QWidget::changeEvent(event);
}

void WindowImplBase::updateMaxRestoreButtons()
{
    QWidget* maxButton = FindControl(QStringLiteral("maxbtn"));
    QWidget* restoreButton = FindControl(QStringLiteral("restorebtn"));
    if (maxButton)
        maxButton->setVisible(!isMaximized());
    if (restoreButton)
        restoreButton->setVisible(isMaximized());
}

}  // namespace tolvex
