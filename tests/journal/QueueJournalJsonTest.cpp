// The journal as a document: every member of every page comes back as it was written, a
// later version is not read, and anything that is not a whole journal is unreadable
// (every cut of a real one included).

#include "tasks/QueueJournalJson.h"
#include "tests/journal/JournalSamples.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <functional>

namespace tolvex::test {
namespace {

using Status = JournalParse::Status;

QJsonObject RootOf(const QueueJournal& journal)
{
    return QJsonDocument::fromJson(QueueJournalToJson(journal)).object();
}

QByteArray Text(const QJsonObject& root)
{
    return QJsonDocument(root).toJson();
}

// The full sample with one change made to its document.
QByteArray Changed(const std::function<void(QJsonObject&)>& change)
{
    QJsonObject root = RootOf(FullJournal());
    change(root);
    return Text(root);
}

// The same change made to the first convert item.
QByteArray ItemChanged(const std::function<void(QJsonObject&)>& change)
{
    return Changed([&](QJsonObject& root) {
        QJsonObject pages = root.value(QStringLiteral("pages")).toObject();
        QJsonObject convert = pages.value(QStringLiteral("convert")).toObject();
        QJsonArray items = convert.value(QStringLiteral("items")).toArray();
        QJsonObject item = items.at(0).toObject();
        change(item);
        items[0] = item;
        convert[QStringLiteral("items")] = items;
        pages[QStringLiteral("convert")] = convert;
        root[QStringLiteral("pages")] = pages;
    });
}

TEST(QueueJournalJsonTest, EveryMemberOfEveryPageComesBack)
{
    for (const bool clean : {false, true}) {
        QueueJournal journal = FullJournal();
        journal.closedCleanly = clean;
        const JournalParse parse = QueueJournalFromJson(QueueJournalToJson(journal));
        ASSERT_EQ(parse.status, Status::Ok) << parse.detail.toStdString();
        EXPECT_EQ(parse.version, QueueJournal::kVersion);
        EXPECT_TRUE(parse.journal == journal);
        for (int i = 0; i < kPageCount; ++i) {
            const auto page = static_cast<PageKind>(i);
            EXPECT_TRUE(parse.journal.page(page) == journal.page(page)) << JournalPageName(page);
        }
    }
    // The clip's crop is kept when cropping was off as well.
    QueueJournal uncropped = FullJournal();
    uncropped.page(PageKind::Split).items[0].split->cropEnabled = 0;
    EXPECT_TRUE(QueueJournalFromJson(QueueJournalToJson(uncropped)).journal == uncropped);

    const QueueJournal empty;
    const JournalParse parse = QueueJournalFromJson(QueueJournalToJson(empty));
    ASSERT_EQ(parse.status, Status::Ok);
    EXPECT_TRUE(parse.journal.hasNoItems());
    EXPECT_EQ(FullJournal().unfinishedCount(), 5) << "running and waiting items, and the running merge";
}

TEST(QueueJournalJsonTest, OnlyThisVersionIsRead)
{
    const QByteArray later = Changed([](QJsonObject& root) { root[QStringLiteral("version")] = 2; });
    const JournalParse newer = QueueJournalFromJson(later);
    EXPECT_EQ(newer.status, Status::NewerVersion);
    EXPECT_EQ(newer.version, 2);
    EXPECT_TRUE(newer.journal.hasNoItems()) << "nothing of a newer journal is taken";

    for (const QJsonValue& version : {QJsonValue(0), QJsonValue(-1), QJsonValue(1.5), QJsonValue(QStringLiteral("1")),
                                      QJsonValue(QJsonValue::Null)}) {
        const QByteArray text = Changed([&](QJsonObject& root) { root[QStringLiteral("version")] = version; });
        EXPECT_EQ(QueueJournalFromJson(text).status, Status::UnknownVersion) << text.left(60).toStdString();
    }
    const QByteArray without = Changed([](QJsonObject& root) { root.remove(QStringLiteral("version")); });
    EXPECT_EQ(QueueJournalFromJson(without).status, Status::UnknownVersion);
}

TEST(QueueJournalJsonTest, WhatIsNotAWholeJournalIsUnreadable)
{
    // Every cut of a real journal, as a disk that lost the end of a file would leave it.
    const QByteArray whole = QueueJournalToJson(FullJournal());
    for (qsizetype length = 0; length < whole.size(); ++length)
        ASSERT_EQ(QueueJournalFromJson(whole.left(length)).status, Status::Unreadable) << "cut at " << length;

    const std::vector<std::pair<const char*, QByteArray>> broken = {
        {"binary", QByteArray("\x00\x01\x02\xff", 4)},
        {"a list", "[1, 2]"},
        {"another program's", R"({"app": "Other", "version": 1, "pages": {}})"},
        {"no pages", R"({"app": "TolvexVideoConverter", "version": 1})"},
        {"unknown page", Changed([](QJsonObject& root) {
             QJsonObject pages = root.value(QStringLiteral("pages")).toObject();
             pages[QStringLiteral("trim")] = QJsonObject();
             root[QStringLiteral("pages")] = pages;
         })},
        {"items not a list", Changed([](QJsonObject& root) {
             QJsonObject pages = root.value(QStringLiteral("pages")).toObject();
             pages[QStringLiteral("rotate")] = QJsonObject{{QStringLiteral("items"), 3}};
             root[QStringLiteral("pages")] = pages;
         })},
        {"path a number", ItemChanged([](QJsonObject& item) {
             item[QStringLiteral("input")] = QJsonObject{{QStringLiteral("path"), 5}, {QStringLiteral("name"), "a"}};
         })},
        {"no input", ItemChanged([](QJsonObject& item) { item.remove(QStringLiteral("input")); })},
        {"unknown state", ItemChanged([](QJsonObject& item) {
             item[QStringLiteral("job")] = QJsonObject{{QStringLiteral("state"), QStringLiteral("paused")}};
         })},
        {"control a number", ItemChanged([](QJsonObject& item) {
             item[QStringLiteral("controls")] = QJsonObject{{QStringLiteral("video-convert-format"), 4}};
         })},
        {"params not whole", ItemChanged([](QJsonObject& item) {
             QJsonObject params = item.value(QStringLiteral("params")).toObject();
             params[QStringLiteral("videoBitRate")] = 1.5;
             item[QStringLiteral("params")] = params;
         })},
    };
    for (const auto& [what, text] : broken) {
        const JournalParse parse = QueueJournalFromJson(text);
        EXPECT_EQ(parse.status, Status::Unreadable) << what;
        EXPECT_FALSE(parse.detail.isEmpty()) << what;
        EXPECT_TRUE(parse.journal.hasNoItems()) << what << ": nothing of an unreadable journal is taken";
    }
}

}  // namespace
}  // namespace tolvex::test
