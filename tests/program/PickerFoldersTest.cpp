// The folders the file pickers open in: remembered per kind in configure.ini, and the add
// button's picker really opening there and remembering the next pick.

#include "app/Settings.h"
#include "tests/mainwindow/WindowTestSupport.h"
#include "ui/framework/CListUI.h"
#include "ui/main/MediaAdder.h"
#include "ui/main/PickerFolders.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

namespace tolvex::test {
namespace {

TEST(PickerFoldersTest, EachKindRemembersItsOwnFolderAndAGoneFolderIsForgotten)
{
    QTemporaryDir videos;
    QTemporaryDir music;
    QTemporaryDir gone;
    EXPECT_EQ(PickerKindOf(PageKind::Convert), PickerKind::Video);
    EXPECT_EQ(PickerKindOf(PageKind::Split), PickerKind::Video);
    EXPECT_EQ(PickerKindOf(PageKind::Extract), PickerKind::Audio);
    EXPECT_EQ(PickerKindOf(PageKind::Music), PickerKind::Audio);

    RememberPickerFolder(PickerKind::Video, videos.path());
    RememberPickerFolder(PickerKind::Music, music.path() + QStringLiteral("/"));
    RememberPickerFolder(PickerKind::Audio, gone.path());
    RememberPickerFolder(PickerKind::Audio, QString());  // nothing picked: kept as it was
    EXPECT_EQ(PickerStartFolder(PickerKind::Video), videos.path());
    EXPECT_EQ(PickerStartFolder(PickerKind::Music), music.path());
    EXPECT_EQ(PickerStartFolder(PickerKind::Audio), gone.path());

    QString stored;
    ASSERT_TRUE(ReadSetting(QStringLiteral("folders"), QStringLiteral("video"), QString(), stored, 4096));
    EXPECT_EQ(stored, videos.path());

    // A remembered folder that is gone gives way to the desktop's own folder (or home).
    gone.remove();
    const QString fallback = PickerStartFolder(PickerKind::Audio);
    EXPECT_NE(fallback, gone.path());
    EXPECT_TRUE(QFileInfo(fallback).isDir());
}

class PickerWindowTest : public WindowTest {};

TEST_F(PickerWindowTest, TheAddButtonsPickerOpensInTheLastFolderAndRemembersTheNext)
{
    QTemporaryDir first;
    QTemporaryDir second;
    const QString clip = second.filePath(QStringLiteral("picked.mp4"));
    ASSERT_TRUE(QFile::copy(Clip(QStringLiteral("pick-source.mp4")), clip));
    RememberPickerFolder(PickerKind::Video, first.path());

    QString openedIn;
    // The picker runs its own loop: it is answered from a timer once it shows, by typing
    // the file's full path; given up (cancelled) after a while so a fault cannot hang the run.
    QDeadlineTimer deadline(30000);
    bool answered = false;
    std::function<void()> answer = [&] {
        QFileDialog* dialog = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<QFileDialog*>(widget); found && found->isVisible())
                dialog = found;
        }
        if (dialog && openedIn.isEmpty())
            openedIn = dialog->directory().absolutePath();
        if (dialog && deadline.hasExpired())
            static_cast<QDialog*>(dialog)->reject();
        else if (dialog) {
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(clip);
            static_cast<QDialog*>(dialog)->accept();
        }
        answered = (!dialog && !openedIn.isEmpty()) || deadline.hasExpired();
        if (!answered)
            QTimer::singleShot(50, answer);
    };
    QTimer::singleShot(50, answer);
    auto* add = window().findControlAs<QAbstractButton>(QStringLiteral("add-video-merge-btn"));
    ASSERT_NE(add, nullptr);
    add->click();
    ASSERT_TRUE(WaitFor([&] { return answered; }, 35000));

    EXPECT_EQ(QDir(openedIn), QDir(first.path()));
    ASSERT_TRUE(WaitFor([&] { return window().pageList(PageKind::Merge)->count() == 1; }));
    EXPECT_EQ(QDir(PickerStartFolder(PickerKind::Video)), QDir(second.path()));
    // The other kinds keep theirs.
    EXPECT_NE(QDir(PickerStartFolder(PickerKind::Music)), QDir(second.path()));
}

}  // namespace
}  // namespace tolvex::test
