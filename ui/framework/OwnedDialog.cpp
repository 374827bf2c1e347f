#include "ui/framework/OwnedDialog.h"

#include "ui/framework/WindowMethodError.h"

#include <QDebug>

namespace tolvex {

WindowImplBase* CreateOwnedWindow(std::unique_ptr<WindowImplBase> window, QWidget* owner, const QString& title,
                                  uint32_t style)
{
    try {
        if (!window->Create(owner, title, style, WS_EX_WINDOWEDGE))
            return nullptr;
    } catch (const WindowMethodError& error) {
        qWarning().noquote() << error.what();
        return nullptr;
    }
    return window.release();
}

int RunOwnedModal(std::unique_ptr<WindowImplBase> dialog, QWidget* owner)
{
    WindowImplBase* created = CreateOwnedWindow(std::move(dialog), owner, QString(), UI_WNDSTYLE_DIALOG);
    if (!created)
        return 0;
    created->CenterWindow();
    return created->ShowModal();
}

}  // namespace tolvex
