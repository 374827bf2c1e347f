// Adding media in the real main window: the same add operation the pickers, folder scans
// and drops use, driven with paths; the items, their texts, tags and records; failures;
// split and gif clips handed over by their dialogs; drops; a page cleared while files come.

#include "app/Helpers.h"
#include "media/OutputParams.h"
#include "media/ParamOptionTable.h"
#include "tasks/ClipRecords.h"
#include "tasks/OutputTree.h"
#include "tests/app/TestEnv.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/TestMedia.h"
#include "ui/common/MessageBoxDialog.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/framework/SkinResources.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/MediaAdder.h"
#include "ui/main/PageTasks.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

namespace tolvex {
namespace {

class MediaAdderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_media = new QTemporaryDir;
        ASSERT_TRUE(test::MakeVideo(path("alpha.mp4").toStdString(), 1.2));
        ASSERT_TRUE(test::MakeVideo(path("bravo.mkv").toStdString(), 2.2, 160, 120, false));
        ASSERT_TRUE(test::MakeVideo(path("charlie.avi").toStdString(), 1.2));
        QFile broken(path("broken.mp4"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write(QByteArray(3000, 'q'));
    }
    static void TearDownTestSuite()
    {
        delete s_media;
        s_media = nullptr;
    }
    static QString path(const char* name) { return s_media->filePath(QString::fromLatin1(name)); }

    void SetUp() override
    {
        SkinResources::setSkinFolder(QStringLiteral(TOLVEX_SKIN_DIR));
        m_window = new CMainWnd;
        ASSERT_TRUE(m_window->Create(nullptr, QStringLiteral("TOLVEX视频转换"), WS_OVERLAPPEDWINDOW));
        m_window->ShowWindow();
        m_adder = m_window->handler<MediaAdder>();
        ASSERT_NE(m_adder, nullptr);
        m_adder->setFailureNotice([this](const QString& reason, const QStringList& names) {
            m_reasons << reason;
            m_notices << names;
        });
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window));
    }
    void TearDown() override
    {
        if (m_window && !m_window->isClosed())
            m_window->Close();
        EXPECT_TRUE(test::WaitFor([this] { return m_window.isNull(); }, 5000)) << "the window deletes itself";
        SkinResources::setSkinFolder({});
    }
    bool waitUntilListed(int ms = 60000)
    {
        test::WaitFor([this] { return m_adder->pendingCount() == 0; }, ms);
        // The failure notice is queued by the listing of the last batch (a zero-time single
        // shot, which Qt posts): delivering what is posted delivers it.
        QCoreApplication::sendPostedEvents();
        return m_adder->pendingCount() == 0;
    }
    QWidget* listItem(PageKind page, int index) { return m_window->pageList(page)->itemAt(index); }
    static QString childText(QWidget* item, const char* name)
    {
        QWidget* control = FindSubControl(item, QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return ControlText(control);
    }
    static qint64 tag(QWidget* item, const char* name)
    {
        QWidget* control = FindSubControl(item, QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return ControlTag(control);
    }

    test::ScopedHome m_home;
    QPointer<CMainWnd> m_window;
    MediaAdder* m_adder = nullptr;
    QStringList m_notices;
    QStringList m_reasons;
    static QTemporaryDir* s_media;
};
QTemporaryDir* MediaAdderTest::s_media = nullptr;

TEST_F(MediaAdderTest, ConvertFilesAreListedInTheGivenOrderWithThumbnailsAndConsecutiveIds)
{
    m_adder->addFiles(PageKind::Convert, {path("charlie.avi"), path("alpha.mp4"), path("bravo.mkv")});
    ASSERT_TRUE(waitUntilListed());
    CListUI* list = m_window->pageList(PageKind::Convert);
    ASSERT_EQ(list->count(), 3);
    const char* names[] = {"charlie.avi", "alpha.mp4", "bravo.mkv"};
    const QRegularExpression output(QStringLiteral("^(charlie|alpha|bravo)-\\d{6}\\.mp4$"));
    for (int i = 0; i < 3; ++i) {
        QWidget* item = listItem(PageKind::Convert, i);
        EXPECT_EQ(item->objectName(), QStringLiteral("item-%1").arg(i));
        EXPECT_EQ(ControlTag(item), i);
        for (const char* tagged : {"video-convert-format", "video-remove-btn", "video-param-setting-btn"})
            EXPECT_EQ(tag(item, tagged), i) << tagged;
        EXPECT_EQ(childText(item, "input-filename"), QString::fromLatin1(names[i]));
        EXPECT_TRUE(output.match(childText(item, "output-filename")).hasMatch())
            << childText(item, "output-filename").toStdString();
        EXPECT_TRUE(childText(item, "output-filename").startsWith(QString::fromLatin1(names[i]).section('.', 0, 0)));
        EXPECT_EQ(childText(item, "video-format"), QString::fromLatin1(names[i]).section('.', 1));
        EXPECT_EQ(childText(item, "video-duration"), i == 2 ? QStringLiteral("00:00:02") : QStringLiteral("00:00:01"));
        EXPECT_EQ(childText(item, "video-filesize"), FormatFileSize(QFileInfo(path(names[i])).size()));
        auto* ratio = FindSubControlAs<QComboBox>(item, QStringLiteral("video-convert-ratio"));
        ASSERT_NE(ratio, nullptr);
        EXPECT_EQ(ratio->count(), 7);
        EXPECT_EQ(ratio->currentText(), QStringLiteral("自动"));
        auto* thumbnail = FindSubControlAs<QLabel>(item, QStringLiteral("video-thumbnail"));
        ASSERT_NE(thumbnail, nullptr);
        EXPECT_FALSE(thumbnail->pixmap().isNull()) << "thumbnail shown";
        EXPECT_EQ(childText(item, "video-progress-label"), QStringLiteral("0%"));
        EXPECT_TRUE(FindSubControl(item, QStringLiteral("video-progress-error"))->isHidden());

        const std::optional<MediaItem> record = m_window->mediaItems().find(i);
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->fullPath, path(names[i]));
        EXPECT_EQ(record->folder, s_media->path() + QLatin1Char('/'));
        EXPECT_GT(record->duration, 1.0);
    }
    // Each item's format box offers every format and keeps its own choice.
    auto* first = FindSubControlAs<QComboBox>(listItem(PageKind::Convert, 0), QStringLiteral("video-convert-format"));
    auto* second = FindSubControlAs<QComboBox>(listItem(PageKind::Convert, 1), QStringLiteral("video-convert-format"));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->count(), 24);
    EXPECT_EQ(second->count(), 24);
    first->setCurrentIndex(first->findText(QStringLiteral("mkv")));
    EXPECT_EQ(first->currentText(), QStringLiteral("mkv"));
    EXPECT_EQ(second->currentText(), QStringLiteral("mp4"));
    EXPECT_TRUE(childText(listItem(PageKind::Convert, 0), "output-filename").endsWith(QStringLiteral(".mkv")));
    EXPECT_TRUE(childText(listItem(PageKind::Convert, 1), "output-filename").endsWith(QStringLiteral(".mp4")));
    // Thumbnails are kept in the temporary folder under the described names.
    const QStringList thumbnails = QDir(m_window->tempFolderPath()).entryList({QStringLiteral("*-thumbnail-*.jpg")});
    EXPECT_EQ(thumbnails.size(), 3);
    // The output name's stamp is the time of the add, the one the thumbnail carries.
    for (int i = 0; i < 3; ++i) {
        const QString stem = QString::fromLatin1(names[i]).section('.', 0, 0);
        const QString clock =
            childText(listItem(PageKind::Convert, i), "output-filename").section('-', -1).section('.', 0, 0);
        EXPECT_EQ(thumbnails.filter(stem + QStringLiteral("-thumbnail-")).value(0).mid(stem.size() + 19, 6), clock)
            << stem.toStdString();
    }
    EXPECT_TRUE(m_notices.isEmpty());
}

TEST_F(MediaAdderTest, AFileWithoutThumbnailGetsNoItemAndTheUserIsToldWhichOne)
{
    m_adder->addFiles(PageKind::Convert,
                      {path("alpha.mp4"), path("broken.mp4"), path("missing.mp4"), path("bravo.mkv")});
    ASSERT_TRUE(waitUntilListed());
    CListUI* list = m_window->pageList(PageKind::Convert);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(childText(listItem(PageKind::Convert, 0), "input-filename"), QStringLiteral("alpha.mp4"));
    EXPECT_EQ(childText(listItem(PageKind::Convert, 1), "input-filename"), QStringLiteral("bravo.mkv"));
    EXPECT_EQ(listItem(PageKind::Convert, 1)->objectName(), QStringLiteral("item-1")) << "ids stay consecutive";
    EXPECT_FALSE(m_window->mediaItems().contains(2));
    EXPECT_EQ(m_notices, (QStringList{"broken.mp4", "missing.mp4"}));
    EXPECT_EQ(m_reasons, QStringList{QStringLiteral("以下文件无法添加，请确认它们是完整的视频文件:")});

    // Other pages list files they cannot probe: their jobs report the failure.
    m_notices.clear();
    m_adder->addFiles(PageKind::Rotate, {path("broken.mp4")});
    ASSERT_TRUE(waitUntilListed());
    EXPECT_EQ(m_window->pageList(PageKind::Rotate)->count(), 1);
    EXPECT_TRUE(m_notices.isEmpty());
}

TEST_F(MediaAdderTest, AVideoWhoseThumbnailCannotBeWrittenIsNotBlamedForIt)
{
    // The temporary folder is gone: the file is a whole video, only its thumbnail fails.
    ASSERT_TRUE(QDir(m_window->tempFolderPath()).removeRecursively());
    m_adder->addFiles(PageKind::Convert, {path("alpha.mp4"), path("broken.mp4")});
    ASSERT_TRUE(waitUntilListed());
    EXPECT_EQ(m_window->pageList(PageKind::Convert)->count(), 0);
    ASSERT_EQ(m_reasons.size(), 2) << m_reasons.join(QLatin1Char('|')).toStdString();
    // One notice per reason, each with its own files.
    EXPECT_EQ(m_reasons[0], QStringLiteral("以下文件无法添加，请确认它们是完整的视频文件:"));
    EXPECT_EQ(m_notices[0], QStringLiteral("broken.mp4"));
    EXPECT_EQ(m_reasons[1], QStringLiteral("无法在临时文件夹中生成以下文件的缩略图，文件未添加:"));
    EXPECT_EQ(m_notices[1], QStringLiteral("alpha.mp4"));
}

TEST_F(MediaAdderTest, EachPageFillsAndTagsItsOwnTemplate)
{
    m_adder->addFiles(PageKind::Compress, {path("alpha.mp4")});
    m_adder->addFiles(PageKind::Merge, {path("alpha.mp4"), path("bravo.mkv")});
    for (PageKind page : {PageKind::Rotate, PageKind::Extract, PageKind::Mute, PageKind::Music})
        m_adder->addFiles(page, {path("charlie.avi")});
    ASSERT_TRUE(waitUntilListed());

    QWidget* compress = listItem(PageKind::Compress, 0);
    ASSERT_NE(compress, nullptr);
    const qint64 size = QFileInfo(path("alpha.mp4")).size();
    EXPECT_EQ(childText(compress, "fileNameLabel"), QStringLiteral("alpha.mp4"));
    EXPECT_EQ(childText(compress, "fileSizeLabel"), FormatFileSize(size));
    EXPECT_EQ(childText(compress, "video-compress-label"), FormatFileSize(size / 2)) << "half the size at once";
    EXPECT_EQ(childText(compress, "durationLabel"), QStringLiteral("00:00:01"));
    EXPECT_EQ(tag(compress, "video-compress-slider"), ControlTag(compress));
    EXPECT_EQ(tag(compress, "video-compress-remove-btn"), ControlTag(compress));
    EXPECT_EQ(FindSubControlAs<QSlider>(compress, QStringLiteral("video-compress-slider"))->value(), 50);
    EXPECT_EQ(childText(compress, "video-compress-format"), QStringLiteral("原格式"));
    EXPECT_EQ(childText(compress, "video-compress-ratio"), QStringLiteral("原分辨率"));

    ASSERT_EQ(m_window->pageList(PageKind::Merge)->count(), 2);
    for (int i = 0; i < 2; ++i) {
        QWidget* merge = listItem(PageKind::Merge, i);
        for (const char* tagged : {"merge-check-box-item", "move-up-btn", "move-down-btn", "video-merge-remove-btn"})
            EXPECT_EQ(tag(merge, tagged), ControlTag(merge)) << tagged;
        EXPECT_TRUE(FindSubControlAs<QCheckBox>(merge, QStringLiteral("merge-check-box-item"))->isChecked());
    }
    EXPECT_EQ(childText(listItem(PageKind::Merge, 1), "video-filename"), QStringLiteral("bravo.mkv"));
    EXPECT_EQ(childText(listItem(PageKind::Merge, 1), "video-duration"), QStringLiteral("00:00:02"));

    const char* removeButtons[] = {"video-rotate-remove-btn", "video-extract-remove-btn", "video-mute-remove-btn",
                                   "video-music-remove-btn"};
    const char* progressLabels[] = {"video-rotate-progress-label", "video-extract-progress-label",
                                    "video-mute-progress-label", "video-music-progress-label"};
    int n = 0;
    for (PageKind page : {PageKind::Rotate, PageKind::Extract, PageKind::Mute, PageKind::Music}) {
        QWidget* item = listItem(page, 0);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(childText(item, "video-filename"), QStringLiteral("charlie.avi"));
        EXPECT_EQ(childText(item, "video-filesize"), FormatFileSize(QFileInfo(path("charlie.avi")).size()));
        EXPECT_EQ(tag(item, removeButtons[n]), ControlTag(item));
        EXPECT_EQ(childText(item, progressLabels[n]), QStringLiteral("0%"));
        ++n;
    }
    auto* rotate = FindSubControlAs<QComboBox>(listItem(PageKind::Rotate, 0), QStringLiteral("video-rotate-type"));
    ASSERT_NE(rotate, nullptr);
    EXPECT_EQ(rotate->count(), 8);
    EXPECT_EQ(rotate->currentIndex(), 0);

    // Every listed item has its own id and record.
    std::set<qint64> ids;
    for (int page = 0; page < kPageCount; ++page) {
        CListUI* list = m_window->pageList(static_cast<PageKind>(page));
        for (int i = 0; list && i < list->count(); ++i) {
            ids.insert(ControlTag(list->itemAt(i)));
            EXPECT_TRUE(m_window->mediaItems().contains(static_cast<TaskId>(ControlTag(list->itemAt(i)))));
        }
    }
    EXPECT_EQ(ids.size(), 7U);
}

TEST_F(MediaAdderTest, CompactConvertItemsCarryWhatTheConvertJobReads)
{
    m_adder->addFiles(PageKind::Convert, {path("alpha.mp4")}, MediaAdder::Source::ConvertFile);
    ASSERT_TRUE(waitUntilListed());
    QWidget* item = listItem(PageKind::Convert, 0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(childText(item, "fileNameLabel"), QStringLiteral("alpha.mp4"));
    EXPECT_EQ(childText(item, "durationLabel"), QStringLiteral("00:00:01"));
    EXPECT_EQ(tag(item, "convert-btn"), 0);
    EXPECT_EQ(tag(item, "convert-List-menu-btn"), 0);
    EXPECT_TRUE(childText(item, "output-filename").startsWith(QStringLiteral("alpha-")));
    EXPECT_EQ(childText(item, "video-convert-ratio"), QStringLiteral("自动"));
    EXPECT_NE(FindSubControlAs<QProgressBar>(item, QStringLiteral("video-convert-progress")), nullptr);
    const MediaItem record = m_window->mediaItems().get(0);
    EXPECT_EQ(record.folder, s_media->path()) << "the path up to its last separator";
    EXPECT_EQ(record.fileSize, QFileInfo(path("alpha.mp4")).size());
    EXPECT_TRUE(QDir(m_window->tempFolderPath()).entryList({QStringLiteral("*.jpg")}).isEmpty());
}

TEST_F(MediaAdderTest, FolderAndDropAddTheVideoFilesTheRulesAccept)
{
    QTemporaryDir folder;
    for (const char* name : {"a.MP4", "b.mp4", "c.Mp4"})
        ASSERT_TRUE(QFile::copy(path("alpha.mp4"), folder.filePath(QString::fromLatin1(name))));
    QFile textFile(folder.filePath(QStringLiteral("d.txt")));
    ASSERT_TRUE(textFile.open(QIODevice::WriteOnly));
    textFile.close();

    m_adder->addFolder(PageKind::Mute, folder.path());
    ASSERT_TRUE(waitUntilListed());
    CListUI* mute = m_window->pageList(PageKind::Mute);
    ASSERT_EQ(mute->count(), 2);
    EXPECT_EQ(childText(mute->itemAt(0), "video-filename"), QStringLiteral("a.MP4"));
    EXPECT_EQ(childText(mute->itemAt(1), "video-filename"), QStringLiteral("b.mp4"));
    EXPECT_EQ(m_window->mediaItems().get(0).folder, folder.path());

    // Dropped on the extract page: a file, a text file (ignored) and the folder.
    m_window->selectPage(PageKind::Extract);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path("bravo.mkv")), QUrl::fromLocalFile(folder.filePath(QStringLiteral("d.txt"))),
                  QUrl::fromLocalFile(folder.path())});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_window, &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_TRUE(waitUntilListed());
    CListUI* extract = m_window->pageList(PageKind::Extract);
    ASSERT_EQ(extract->count(), 3);
    EXPECT_EQ(childText(extract->itemAt(0), "video-filename"), QStringLiteral("bravo.mkv"));
    EXPECT_EQ(childText(extract->itemAt(2), "video-filename"), QStringLiteral("b.mp4"));

    // The split page takes its files through the clip dialog: a drop there is refused.
    m_window->selectPage(PageKind::Split);
    QDragEnterEvent refused(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_window, &refused);
    EXPECT_FALSE(refused.isAccepted());
}

// The next question box is answered as a person would: by its "添加" or "不添加" button.
// `asked` receives the box's text and its two buttons' texts.
void AnswerNextBox(bool add, QStringList* asked)
{
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, add, asked] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<MessageBoxDialog*>(widget);
            if (!box || !box->isVisible())
                continue;
            auto* confirm = box->findChild<QAbstractButton*>(QStringLiteral("msgConfirm"));
            auto* cancel = box->findChild<QAbstractButton*>(QStringLiteral("msgCancel"));
            if (!confirm || !cancel)
                continue;
            for (const QLabel* label : box->findChildren<QLabel*>())
                *asked << label->text();
            *asked << confirm->text() << cancel->text();
            timer->stop();
            timer->deleteLater();
            (add ? confirm : cancel)->click();
            return;
        }
    });
    timer->start();
}

TEST_F(MediaAdderTest, SubfoldersAreAddedWhenTheUserSaysSoAndKeepTheirScanRoot)
{
    QTemporaryDir tree;
    const QString top = tree.filePath(QStringLiteral("Holiday 2024"));
    for (const char* name : {"top.mp4", "day 1/10.mp4", "day 1/2.mp4", "day 2/deep/owl.mp4", ".hidden/no.mp4"}) {
        const QString file = QDir(top).filePath(QString::fromLatin1(name));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).absolutePath()));
        ASSERT_TRUE(QFile::copy(path("alpha.mp4"), file));
    }
    const auto settled = [this](PageKind page, int count) {
        return test::WaitFor([this, page, count] {
            return m_adder->subfolderScansPending() == 0 && m_adder->pendingCount() == 0 &&
                   m_window->pageList(page)->count() == count;
        });
    };

    // The folder button's scan, answered "不添加": the top level only.
    QStringList asked;
    AnswerNextBox(false, &asked);
    m_adder->addFolder(PageKind::Rotate, top);
    ASSERT_TRUE(settled(PageKind::Rotate, 1));
    EXPECT_TRUE(asked.contains(QStringLiteral("子文件夹中还有 3 个视频，是否一起添加？")))
        << asked.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(asked.contains(QStringLiteral("添加")) && asked.contains(QStringLiteral("不添加")));

    // Answered "添加": the subfolders' files follow, in natural order, hidden ones left out.
    asked.clear();
    AnswerNextBox(true, &asked);
    m_adder->addFolder(PageKind::Mute, top);
    ASSERT_TRUE(settled(PageKind::Mute, 4));
    CListUI* mute = m_window->pageList(PageKind::Mute);
    const QStringList names{QStringLiteral("top.mp4"), QStringLiteral("2.mp4"), QStringLiteral("10.mp4"),
                            QStringLiteral("owl.mp4")};
    for (int i = 0; i < names.size(); ++i) {
        EXPECT_EQ(childText(mute->itemAt(i), "video-filename"), names[i]);
        const MediaItem item = m_window->mediaItems().get(static_cast<TaskId>(ControlTag(mute->itemAt(i))));
        EXPECT_EQ(item.scanRoot, top) << "the output mirrors the tree below the chosen folder";
        EXPECT_EQ(ItemOutputFolder(QStringLiteral("/o"), item, true),
                  i == 3   ? QStringLiteral("/o/Holiday 2024/day 2/deep")
                  : i == 0 ? QStringLiteral("/o/Holiday 2024")
                           : QStringLiteral("/o/Holiday 2024/day 1"));
    }

    // A folder dropped on the page shown is taken as its folder button takes it.
    asked.clear();
    AnswerNextBox(true, &asked);
    m_window->selectPage(PageKind::Extract);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(top)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_window, &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_TRUE(settled(PageKind::Extract, 4));
    EXPECT_FALSE(asked.isEmpty());
    // Files added one by one keep the flat output.
    m_adder->addFiles(PageKind::Extract, {path("alpha.mp4")});
    ASSERT_TRUE(settled(PageKind::Extract, 5));
    const MediaItem single =
        m_window->mediaItems().get(static_cast<TaskId>(ControlTag(m_window->pageList(PageKind::Extract)->itemAt(4))));
    EXPECT_TRUE(single.scanRoot.isEmpty());
}

TEST_F(MediaAdderTest, SetAllGivesEveryConvertItemTheFormatAndSizeAndDropsTheirParameters)
{
    m_adder->addFiles(PageKind::Convert, {path("alpha.mp4"), path("charlie.avi")});
    ASSERT_TRUE(waitUntilListed());
    CListUI* list = m_window->pageList(PageKind::Convert);
    ASSERT_EQ(list->count(), 2);
    PageTasks& tasks = m_window->tasks();
    const auto firstId = static_cast<TaskId>(ControlTag(list->itemAt(0)));
    tasks.outputParams().store(ParseOutputParams(firstId, ParamOptionTable().defaultChoices("mp4")));
    ASSERT_TRUE(tasks.outputParams().find(firstId));

    auto* format = m_window->findControlAs<QComboBox>(QStringLiteral("convert-all-format"));
    auto* size = m_window->findControlAs<QComboBox>(QStringLiteral("convert-all-size"));
    ASSERT_TRUE(format && size);
    format->setCurrentIndex(format->findText(QStringLiteral("mkv")));
    ASSERT_GT(size->count(), 1) << "the size box offers the chosen format's sizes";
    size->setCurrentIndex(size->count() - 1);
    const QString chosenSize = size->currentText();
    QTest::mouseClick(m_window->FindControl(QStringLiteral("convert-all-btn")), Qt::LeftButton);

    for (int row = 0; row < 2; ++row) {
        QWidget* item = list->itemAt(row);
        EXPECT_EQ(childText(item, "video-convert-format"), QStringLiteral("mkv"));
        EXPECT_EQ(childText(item, "video-convert-ratio"), chosenSize);
        EXPECT_TRUE(childText(item, "output-filename").endsWith(QStringLiteral(".mkv")));
    }
    EXPECT_FALSE(tasks.outputParams().find(firstId)) << "the dialog's choices return to the format's defaults";
}

TEST_F(MediaAdderTest, HandedOverClipsBecomeItemsAndTheirRecordsWaitForTheJobs)
{
    m_adder->addFiles(PageKind::Rotate, {path("alpha.mp4")});  // takes id 0
    ASSERT_TRUE(waitUntilListed());
    SplitClip clip;
    clip.sourcePath = path("alpha.mp4").toStdString();
    clip.outputName = "alpha-120000.mp4";
    clip.startText = "00:01:00";
    clip.endText = "00:02:30";
    clip.cropEnabled = 1;
    clip.cropWidth = 80;
    SplitClipList().append(clip);
    clip.outputName = "alpha-120001.mp4";
    clip.startText = "0:0:5";
    clip.endText = "0:0:7";
    SplitClipList().append(clip);
    PostMessageTo(m_window, WM_SPLIT_CLIPS_READY);
    QCoreApplication::sendPostedEvents(m_window);

    CListUI* list = m_window->pageList(PageKind::Split);
    ASSERT_EQ(list->count(), 2);
    QWidget* first = list->itemAt(0);
    EXPECT_EQ(first->objectName(), QStringLiteral("item-1"));
    EXPECT_EQ(childText(first, "fileNameLabel"), QStringLiteral("alpha-120000.mp4"));
    EXPECT_EQ(childText(first, "fileSliceLabel"), QStringLiteral("00:01:00 - 00:02:30"));
    EXPECT_EQ(childText(first, "durationLabel"), QStringLiteral("00:01:30"));
    EXPECT_EQ(tag(first, "video-split-remove-btn"), 1);
    EXPECT_EQ(childText(list->itemAt(1), "durationLabel"), QStringLiteral("00:00:02"));
    EXPECT_EQ(SplitClipList().size(), 0U);
    const std::optional<SplitClip> kept = m_window->tasks().splitClips().find(2);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->itemId, 2);
    EXPECT_EQ(kept->outputName, "alpha-120001.mp4");
    EXPECT_EQ(kept->cropWidth, 80);

    GifClip gif;
    gif.sourcePath = clip.sourcePath;
    gif.outputName = "alpha-120002.gif";
    gif.startText = "00:00:00";
    gif.endText = "00:00:03";
    GifClipList().append(gif);
    PostMessageTo(m_window, WM_GIF_CLIPS_READY);
    QCoreApplication::sendPostedEvents(m_window);
    ASSERT_EQ(m_window->pageList(PageKind::Gif)->count(), 1);
    EXPECT_EQ(childText(m_window->pageList(PageKind::Gif)->itemAt(0), "durationLabel"), QStringLiteral("00:00:03"));
    EXPECT_TRUE(m_window->tasks().gifClips().find(3).has_value());

    // An empty hand-over list only stays empty.
    PostMessageTo(m_window, WM_GIF_CLIPS_READY);
    QCoreApplication::sendPostedEvents(m_window);
    EXPECT_EQ(m_window->pageList(PageKind::Gif)->count(), 1);
}

TEST_F(MediaAdderTest, FilesStillComingToAClearedPageAreNotListed)
{
    m_adder->addFiles(PageKind::Convert, {path("alpha.mp4"), path("bravo.mkv"), path("broken.mp4")});
    m_adder->addFiles(PageKind::Music, {path("charlie.avi")});
    m_adder->cancelPending(PageKind::Convert);
    ASSERT_TRUE(waitUntilListed());
    EXPECT_EQ(m_window->pageList(PageKind::Convert)->count(), 0);
    EXPECT_EQ(m_window->pageList(PageKind::Music)->count(), 1);
    EXPECT_TRUE(m_notices.isEmpty());
}

TEST_F(MediaAdderTest, ClosingTheWindowWhileFilesComeEndsTheirThumbnailRuns)
{
    QStringList many;
    for (int i = 0; i < 12; ++i)
        many << path("bravo.mkv");
    m_adder->addFiles(PageKind::Convert, many);
    // Close only once a thumbnail ffmpeg really runs, so the close has a run to end.
    ASSERT_TRUE(test::WaitFor([] { return test::RunningChildren(QStringLiteral("ffmpeg")) > 0; }, 30000));
    ASSERT_GT(m_adder->pendingCount(), 0);
    m_window->Close();
    // The close kills and reaps the runs before it returns.
    EXPECT_TRUE(test::NoChildProcesses());
}

}  // namespace
}  // namespace tolvex
