#pragma once

// "全部设为" (Set all to) on the convert page: the format and size chosen in the page's
// "convert-all-format" and "convert-all-size" boxes go to every item of the list at once,
// as if each item's own format box had been set: the output name takes the extension, the
// size box offers the format's sizes with the chosen one selected, and the parameter
// dialog's choices go back to the format's defaults (what a format change does to one item).
// UI thread only.

#include "ui/main/MainWndHandler.h"

class QComboBox;

namespace tolvex {

class PageTasks;

class ConvertSetAll : public MainWndHandler {
public:
    explicit ConvertSetAll(PageTasks& tasks) : m_tasks(tasks) {}

    void attach(CMainWnd& window) override;
    void onNotify(TNotifyUI& msg) override;

    // Applies the boxes' format and size to every convert item; returns how many it changed.
    int applyToAll();

private:
    void fillSizes();

    PageTasks& m_tasks;
    CMainWnd* m_window = nullptr;
    QComboBox* m_format = nullptr;
    QComboBox* m_size = nullptr;
};

}  // namespace tolvex
