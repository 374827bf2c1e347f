#include "tests/journal/JournalSamples.h"

namespace tolvex::test {

JournalItem SampleMediaItem(const QString& path, JournalState state)
{
    JournalItem item;
    item.media.fullPath = path;
    item.media.fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    item.media.folder = path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
    item.media.fileSize = 1234567;
    item.media.duration = 12.5;
    item.job.state = state;
    return item;
}

QueueJournal FullJournal()
{
    QueueJournal journal;
    JournalPage& convert = journal.page(PageKind::Convert);
    JournalItem done = SampleMediaItem(QStringLiteral("/v/视频 一.mp4"), JournalState::Done);
    done.controls = {{QStringLiteral("video-convert-format"), QStringLiteral("mkv")},
                     {QStringLiteral("video-convert-ratio"), QStringLiteral("自动")}};
    done.outputName = QStringLiteral("视频 一-101500.mkv");
    done.thumbnail = QStringLiteral("/t/视频 一-thumbnail-20240501101500.jpg");
    done.job.output = QStringLiteral("/o/视频 一-101500.mkv");
    done.job.tookMs = 12345;
    OutputParams params;
    params.videoCodecIndex = 1;
    params.videoCodec = "h264";
    params.videoBitRateIndex = 2;
    params.videoBitRate = 2000000;
    params.audioCodecIndex = 0;
    params.audioCodec = "aac";
    params.sampleRate = 44100;
    params.channels = 1;
    done.params = params;
    JournalItem running = SampleMediaItem(QStringLiteral("/v/b.mov"), JournalState::Running);
    running.fileRow = true;
    running.job.output = QStringLiteral("/o/b-101500-1.mp4");
    JournalItem failed = SampleMediaItem(QStringLiteral("/v/c.avi"), JournalState::Failed);
    failed.job.reason = QStringLiteral("ffmpeg exited with status 1: \"quoted\" \\ line");
    convert.items = {done, running, failed, SampleMediaItem(QStringLiteral("/v/d.mp4"), JournalState::Waiting),
                     SampleMediaItem(QStringLiteral("/v/e.mp4"))};

    JournalItem compress = SampleMediaItem(QStringLiteral("/v/big.mp4"), JournalState::Running);
    compress.controls = {{QStringLiteral("video-compress-slider"), QStringLiteral("70")}};
    compress.job.output = QStringLiteral("/o/big-101500.mp4");
    compress.job.scratch = {QStringLiteral("/t/compress-pass-7-0-0.log"),
                            QStringLiteral("/t/compress-pass-7-0-0.log.mbtree")};
    journal.page(PageKind::Compress).items = {compress};

    SplitClip split;
    split.sourcePath = "/v/长 片.mp4";
    split.outputName = "长 片-101500.mp4";
    split.startText = "0:0:2";
    split.endText = "0:1:5";
    split.cropEnabled = 1;
    split.cropX = 10;
    split.cropY = 20;
    split.cropWidth = 320;
    split.cropHeight = 240;
    JournalItem clip;
    clip.split = split;
    clip.job.state = JournalState::Waiting;
    journal.page(PageKind::Split).items = {clip};
    JournalItem gif;
    gif.gif = GifClip{0, "/v/g.mp4", "g-101500.gif", "0:0:0", "0:0:3", true};
    gif.job.state = JournalState::Done;
    gif.job.output = QStringLiteral("/o/g-101500.gif");
    journal.page(PageKind::Gif).items = {gif};

    JournalPage& merge = journal.page(PageKind::Merge);
    JournalItem first = SampleMediaItem(QStringLiteral("/v/m1.mp4"));
    first.controls = {{QString::fromLatin1(kMergeTickControl), QStringLiteral("1")}};
    JournalItem second = SampleMediaItem(QStringLiteral("/v/m2.mp4"));
    second.controls = {{QString::fromLatin1(kMergeTickControl), QStringLiteral("0")}};
    merge.items = {first, second};
    merge.controls = {{QStringLiteral("video-merge-format"), QStringLiteral("mkv")},
                      {QStringLiteral("video-merge-ratio"), QStringLiteral("1280x720")}};
    merge.mergeJob.state = JournalState::Running;
    merge.mergeJob.output = QStringLiteral("/o/视频合并-101500.mkv");

    JournalItem rotate = SampleMediaItem(QStringLiteral("/v/r.mp4"));
    rotate.controls = {{QStringLiteral("video-rotate-type"), QStringLiteral("180°")}};
    journal.page(PageKind::Rotate).items = {rotate};
    journal.page(PageKind::Extract).controls = {{QStringLiteral("video-extract-format"), QStringLiteral("flac")}};
    journal.page(PageKind::Mute).controls = {{QStringLiteral("video-mute"), QStringLiteral("1")},
                                             {QStringLiteral("video-mute-slider"), QStringLiteral("-6")}};
    journal.page(PageKind::Music).items = {SampleMediaItem(QStringLiteral("/v/music video.mp4"))};
    journal.page(PageKind::Music).controls = {{QStringLiteral("bg-music-edit"), QStringLiteral("/a/背景.mp3")},
                                              {QStringLiteral("bg-music-loop"), QStringLiteral("1")}};
    return journal;
}

QueueJournal ConvertJournal(int count, const QString& folder, const QString& tag, int done)
{
    QueueJournal journal;
    auto& items = journal.page(PageKind::Convert).items;
    items.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("clip-%1").arg(i, 4, 10, QLatin1Char('0'));
        JournalState state = JournalState::Waiting;
        if (i < done)
            state = JournalState::Done;
        else if (i == done)
            state = JournalState::Running;
        JournalItem item = SampleMediaItem(folder + QLatin1Char('/') + name + QStringLiteral(".mp4"), state);
        item.controls = {{QStringLiteral("video-convert-format"), QStringLiteral("mp4")},
                         {QStringLiteral("video-convert-ratio"), QStringLiteral("自动")}};
        item.outputName = name + QLatin1Char('-') + tag + QStringLiteral(".mp4");
        item.thumbnail = folder + QStringLiteral("/thumbs/") + name + QStringLiteral(".jpg");
        if (state != JournalState::Waiting)
            item.job.output = folder + QStringLiteral("/out/") + item.outputName;
        items.push_back(item);
    }
    return journal;
}

}  // namespace tolvex::test
