// Every text of the windows fits its control in both languages, at the default font and
// the window's smallest size: the main window's nine pages with an item in each list (its
// failure mark shown too), the tray menu, the prompt and message boxes, the parameter
// dialog, the split and GIF dialogs with a clip in their lists, and the feedback and
// download dialogs with each message they show. Controls are named in the failures, so a skin that clips a text says
// where.

#include "net/Feedback.h"
#include "tests/mainwindow/WindowTestSupport.h"
#include "tests/support/TestMedia.h"
#include "ui/clip/VideoGifDialog.h"
#include "ui/clip/VideoSplitDialog.h"
#include "ui/common/MessageBoxes.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/framework/UiLanguage.h"
#include "ui/main/CMainTaskMenu.h"
#include "ui/net/DownloadDialog.h"
#include "ui/net/FeedbackDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTimer>

namespace tolvex::test {
namespace {

using Language = UiLanguage::Language;

// Lets the layouts settle: geometry is set from posted layout requests.
void SettleLayouts()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
}

// "name: text needs N px, has M" for a shown text that does not fit its control.
QString ClippedText(QWidget* control)
{
    const QString name = control->objectName();
    if (auto* label = qobject_cast<QLabel*>(control)) {
        const QString text = label->text();
        if (text.isEmpty() || Qt::mightBeRichText(text))
            return {};
        const QRect room = label->contentsRect();
        if (label->wordWrap()) {
            const int needed = label->heightForWidth(room.width());
            if (needed <= label->height() + 1)
                return {};
            return QStringLiteral("%1: \"%2\" needs %3 px high, has %4")
                .arg(name, text)
                .arg(needed)
                .arg(label->height());
        }
        const QFontMetrics metrics(label->font());
        const QStringList lines = text.split(QLatin1Char('\n'));
        const int indent = std::max(label->indent(), 0) + label->margin() * 2;
        for (const QString& line : lines) {
            const int needed = metrics.horizontalAdvance(line) + indent;
            if (needed > room.width())
                return QStringLiteral("%1: \"%2\" needs %3 px, has %4").arg(name, line).arg(needed).arg(room.width());
        }
        const int high = metrics.height() * static_cast<int>(lines.size());
        if (high > room.height() + 2)
            return QStringLiteral("%1: \"%2\" needs %3 px high, has %4").arg(name, text).arg(high).arg(room.height());
        return {};
    }
    auto* button = qobject_cast<QAbstractButton*>(control);
    if (!button || button->text().isEmpty())
        return {};
    if (qobject_cast<QPushButton*>(button) || qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button)) {
        // The style's own size for the text with the skin's padding and border.
        const int needed = button->sizeHint().width();
        if (needed > button->width())
            return QStringLiteral("%1: \"%2\" needs %3 px, has %4")
                .arg(name, button->text())
                .arg(needed)
                .arg(button->width());
    }
    return {};
}

QStringList ClippedTexts(QWidget* root, const QString& where)
{
    QStringList clipped;
    QList<QWidget*> controls = root->findChildren<QWidget*>();
    controls.prepend(root);
    for (QWidget* control : controls) {
        if (!control->isVisible() || control->width() <= 0)
            continue;
        const QString problem = ClippedText(control);
        if (!problem.isEmpty())
            clipped << where + QStringLiteral(" / ") + problem;
    }
    return clipped;
}

// Runs `check` on the window of the first visible control named `controlName` once it
// shows (a modal box or dialog), then clicks its `closeName` button.
void CheckModalWhenShown(const QString& controlName, const QString& closeName,
                         const std::function<void(QWidget*)>& check)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [controlName, closeName, check, poll] {
        for (QWidget* control : QApplication::allWidgets()) {
            if (control->objectName() != controlName || !control->isVisible())
                continue;
            QWidget* top = control->window();
            SettleLayouts();
            check(top);
            if (auto* close = top->findChild<QAbstractButton*>(closeName))
                close->click();
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(20, *poll);
    };
    QTimer::singleShot(20, *poll);
}

class SkinLayoutTest : public WindowTest, public ::testing::WithParamInterface<Language> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(UiLanguage::install(GetParam()));
        WindowTest::SetUp();
        // The smallest the user can make it.
        window().resize(window().minimumSize());
        SettleLayouts();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        UiLanguage::install(Language::Chinese);
    }
    QString where(const QString& what) const { return UiLanguage::code(GetParam()) + QStringLiteral(" ") + what; }
};

TEST_P(SkinLayoutTest, EveryPageAndListItemShowsItsTextsWhole)
{
    // One item on each page that lists files.
    for (PageKind page : {PageKind::Convert, PageKind::Merge, PageKind::Compress, PageKind::Rotate, PageKind::Extract,
                          PageKind::Mute, PageKind::Music})
        addAndWait(page, {Clip(QStringLiteral("layout.mp4"))});

    QStringList clipped;
    for (int i = 0; i < kPageCount; ++i) {
        const auto page = static_cast<PageKind>(i);
        window().selectPage(page);
        SettleLayouts();
        const QString place = where(QStringLiteral("page %1").arg(i));
        clipped += ClippedTexts(&window(), place);

        // The item as a failed job leaves it: bar and percentage hidden, its mark shown.
        CListUI* list = window().pageList(page);
        QWidget* item = list && list->count() > 0 ? list->itemAt(0) : nullptr;
        if (!item)
            continue;
        QList<QWidget*> marks;
        for (QWidget* child : item->findChildren<QWidget*>()) {
            if (child->objectName().endsWith(QLatin1String("-error")))
                marks << child;
        }
        for (QWidget* mark : marks)
            mark->show();
        SettleLayouts();
        clipped += ClippedTexts(item, place + QStringLiteral(" failed item"));
        for (QWidget* mark : marks)
            mark->hide();
    }
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QLatin1Char('\n')).toStdString();
}

TEST_P(SkinLayoutTest, TheTrayMenuAndTheBoxesShowTheirTextsWhole)
{
    QStringList clipped;
    CMainTaskMenu* menu = CMainTaskMenu::Open(&window(), QPoint(600, 600));
    ASSERT_NE(menu, nullptr);
    SettleLayouts();
    clipped += ClippedTexts(menu, where(QStringLiteral("tray menu")));
    menu->Close(1);

    // The prompt of a start with nothing to do, from the page's own button.
    bool prompted = false;
    CheckModalWhenShown(QStringLiteral("msgText"), QStringLiteral("msgConfirm"), [&](QWidget* box) {
        prompted = true;
        clipped += ClippedTexts(box, where(QStringLiteral("prompt box")));
    });
    window().selectPage(PageKind::Convert);
    window().startButton(PageKind::Convert)->click();
    EXPECT_TRUE(prompted);

    bool asked = false;
    CheckModalWhenShown(QStringLiteral("msgCancel"), QStringLiteral("msgConfirm"), [&](QWidget* box) {
        asked = true;
        clipped += ClippedTexts(box, where(QStringLiteral("message box")));
    });
    ShowMessageBox(&window(), QCoreApplication::translate("OutputFolderControls", "该目录没有写入权限!"));
    EXPECT_TRUE(asked);
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QLatin1Char('\n')).toStdString();
}

TEST_P(SkinLayoutTest, TheParameterDialogShowsItsTextsWhole)
{
    addAndWait(PageKind::Convert, {Clip(QStringLiteral("param.mp4"))});
    auto* open =
        FindSubControlAs<QAbstractButton>(itemAt(PageKind::Convert, 0), QStringLiteral("video-param-setting-btn"));
    ASSERT_NE(open, nullptr);
    QStringList clipped;
    bool shown = false;
    CheckModalWhenShown(QStringLiteral("param-title"), QStringLiteral("cancel-btn"), [&](QWidget* dialog) {
        shown = true;
        clipped += ClippedTexts(dialog, where(QStringLiteral("parameter dialog")));
    });
    open->click();
    EXPECT_TRUE(WaitFor([&] { return shown; }, 10000));
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QLatin1Char('\n')).toStdString();
}

// Adds the whole file as a clip (the end edit holds its duration) so that a row shows.
void AddWholeFileClip(ClipDialog* dialog, const char* addButton)
{
    dialog->startEdit()->setText(QStringLiteral("00:00:00"));
    if (auto* add = dialog->findControlAs<QAbstractButton>(QLatin1String(addButton)))
        add->click();
}

TEST_P(SkinLayoutTest, TheSplitDialogShowsItsTextsWhole)
{
    QStringList clipped;
    bool shown = false;
    CheckModalWhenShown(QStringLiteral("video-split-confirm-btn"), QStringLiteral("video-split-cancel-btn"),
                        [&](QWidget* top) {
                            auto* dialog = qobject_cast<VideoSplitDialog*>(top);
                            ASSERT_NE(dialog, nullptr);
                            shown = true;
                            dialog->resize(dialog->minimumSize());
                            AddWholeFileClip(dialog, "add-video-split-btn");
                            EXPECT_EQ(dialog->clips().size(), 1U);
                            // The notice that stands in for the picture where there is no X11.
                            WaitFor([&] { return dialog->findChild<QLabel*>(QStringLiteral("preview-notice")); }, 5000);
                            SettleLayouts();
                            clipped += ClippedTexts(dialog, where(QStringLiteral("split dialog")));
                            // The crop button with its other text.
                            if (auto* cut = dialog->findControlAs<QAbstractButton>(QStringLiteral("cut-video-btn"))) {
                                cut->click();
                                SettleLayouts();
                                clipped += ClippedTexts(dialog, where(QStringLiteral("split dialog, crop on")));
                            }
                        });
    VideoSplitDialog::Open(&window(), ImportedItem(Clip(QStringLiteral("split-layout.mp4"), 3.0)));
    EXPECT_TRUE(shown);
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QLatin1Char('\n')).toStdString();
}

TEST_P(SkinLayoutTest, TheGifDialogShowsItsTextsWhole)
{
    QStringList clipped;
    bool shown = false;
    CheckModalWhenShown(QStringLiteral("video-gif-confirm-btn"), QStringLiteral("video-gif-cancel-btn"),
                        [&](QWidget* top) {
                            auto* dialog = qobject_cast<VideoGifDialog*>(top);
                            ASSERT_NE(dialog, nullptr);
                            shown = true;
                            dialog->resize(dialog->minimumSize());
                            AddWholeFileClip(dialog, "add-video-gif-btn");
                            EXPECT_EQ(dialog->clips().size(), 1U);
                            auto* best = dialog->findChild<QCheckBox*>(QStringLiteral("video-gif-best-picture"));
                            ASSERT_NE(best, nullptr);
                            const bool english = GetParam() == Language::English;
                            EXPECT_EQ(best->text(), QString::fromUtf8(english ? "Best picture" : "画质优先"));
                            WaitFor([&] { return dialog->findChild<QLabel*>(QStringLiteral("preview-notice")); }, 5000);
                            SettleLayouts();
                            clipped += ClippedTexts(dialog, where(QStringLiteral("gif dialog")));
                        });
    VideoGifDialog::Open(&window(), ImportedItem(Clip(QStringLiteral("gif-layout.mp4"), 3.0)));
    EXPECT_TRUE(shown);
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QLatin1Char('\n')).toStdString();
}

TEST_P(SkinLayoutTest, TheFeedbackDialogShowsItsTextsAndEveryMessageWhole)
{
    QStringList clipped;
    bool shown = false;
    CheckModalWhenShown(QStringLiteral("feedbackBtn"), QStringLiteral("closebtn"), [&](QWidget* dialog) {
        shown = true;
        clipped += ClippedTexts(dialog, where(QStringLiteral("feedback dialog")));
        auto* tips = dialog->findChild<QLabel*>(QStringLiteral("feedbackErrorTips"));
        ASSERT_NE(tips, nullptr);
        for (FeedbackProblem problem :
             {FeedbackProblem::EmptyContent, FeedbackProblem::EmptyContact, FeedbackProblem::SignedOut}) {
            tips->setText(FeedbackProblemText(problem));
            SettleLayouts();
            clipped += ClippedTexts(tips, where(QStringLiteral("feedback dialog")));
        }
        auto* submit = dialog->findChild<QAbstractButton*>(QStringLiteral("feedbackBtn"));
        ASSERT_NE(submit, nullptr);
        submit->setText(QCoreApplication::translate("FeedbackDialog", "正在提交…"));
        clipped += ClippedTexts(submit, where(QStringLiteral("feedback dialog, sending")));
    });
    // From the window's own header button, as the user opens it.
    auto* open = window().findControlAs<QAbstractButton>(QStringLiteral("feedback"));
    ASSERT_NE(open, nullptr);
    open->click();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QLatin1Char('\n')).toStdString();
}

TEST_P(SkinLayoutTest, TheDownloadDialogShowsItsTextsWhole)
{
    // A server that takes the connection and never answers: the dialog stays at 0 %.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    QStringList clipped;
    bool shown = false;
    CheckModalWhenShown(QStringLiteral("download-text"), QStringLiteral("cancel"), [&](QWidget* dialog) {
        shown = true;
        auto* text = dialog->findChild<QLabel*>(QStringLiteral("download-text"));
        ASSERT_NE(text, nullptr);
        // The widest the percentage gets.
        text->setText(QStringLiteral("100%"));
        SettleLayouts();
        clipped += ClippedTexts(dialog, where(QStringLiteral("download dialog")));
    });
    DownloadDialog::Open(&window(), "http://127.0.0.1:" + std::to_string(silent.serverPort()) + "/setup.exe", false);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, SkinLayoutTest, ::testing::Values(Language::Chinese, Language::English),
                         [](const ::testing::TestParamInfo<Language>& info) {
                             return info.param == Language::English ? std::string("English") : std::string("Chinese");
                         });

}  // namespace
}  // namespace tolvex::test
