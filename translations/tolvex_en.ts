<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
    <context>
        <name>CVideoMask</name>
        <message>
            <source>裁剪区域</source>
            <translation>Crop area</translation>
        </message>
        <message>
            <source>拖动红框的边和角调整裁剪区域，拖动框内移动它</source>
            <translation>Drag the red frame's edges and corners to resize the crop area; drag inside it to move it</translation>
        </message>
    </context>
    <context>
        <name>CVideoPaintViewUI</name>
        <message>
            <source>时间轴</source>
            <translation>Timeline</translation>
        </message>
        <message>
            <source>点击轨道跳到该时间，拖动两面小旗选取片段的开始和结束</source>
            <translation>Click the track to jump to that time; drag the two flags to set the clip's start and end</translation>
        </message>
    </context>
    <context>
        <name>ClipDialog</name>
        <message>
            <source>视频预览</source>
            <translation>Video preview</translation>
        </message>
        <message>
            <source>该片段已存在列表中!</source>
            <translation>This clip is already in the list!</translation>
        </message>
        <message>
            <source>删除片段 %1 - %2</source>
            <translation>Remove clip %1 - %2</translation>
        </message>
    </context>
    <context>
        <name>ClipTimes</name>
        <message>
            <source>开始时间不能为空!</source>
            <translation>Please enter a start time!</translation>
        </message>
        <message>
            <source>结束时间不能为空!</source>
            <translation>Please enter an end time!</translation>
        </message>
        <message>
            <source>开始时间格式错误!</source>
            <translation>The start time is not a valid time!</translation>
        </message>
        <message>
            <source>结束时间格式错误!</source>
            <translation>The end time is not a valid time!</translation>
        </message>
        <message>
            <source>开始时间不能大于结束时间!</source>
            <translation>The start time must be before the end time!</translation>
        </message>
        <message>
            <source>时间不能大于文件时长!</source>
            <translation>The times cannot go past the end of the file!</translation>
        </message>
        <message>
            <source>请拖动选取分割区域!</source>
            <translation>Please drag the flags to choose the part to cut!</translation>
        </message>
        <message>
            <source>请拖动选取Gif转换片段区域!</source>
            <translation>Please drag the flags to choose the part to turn into a GIF!</translation>
        </message>
    </context>
    <context>
        <name>CompressListContainerElement</name>
        <message>
            <source>原格式</source>
            <translation>Same format</translation>
        </message>
        <message>
            <source>原分辨率</source>
            <translation>Same size</translation>
        </message>
        <message>
            <source>压缩</source>
            <translation>Compress</translation>
        </message>
        <message>
            <source>越向右压缩越多</source>
            <translation>Further right compresses more</translation>
        </message>
        <message>
            <source>约</source>
            <translation>About</translation>
        </message>
        <message>
            <source>压缩失败</source>
            <translation>Failed</translation>
        </message>
        <message>
            <source>处理失败，请检查文件后重试</source>
            <translation>Processing failed. Check the file and try again.</translation>
        </message>
        <message>
            <source>从列表中移除</source>
            <translation>Remove from the list</translation>
        </message>
        <message>
            <source>重试</source>
            <translation>Retry</translation>
        </message>
        <message>
            <source>用相同的设置重新处理</source>
            <translation>Process it again with the same settings</translation>
        </message>
    </context>
    <context>
        <name>ConvertListContainerElement</name>
        <message>
            <source>参数设置</source>
            <translation>Settings</translation>
        </message>
        <message>
            <source>设置编码、码率、采样率和声道</source>
            <translation>Set the codecs, bit rates, sample rate and channels</translation>
        </message>
        <message>
            <source>转换失败</source>
            <translation>Failed</translation>
        </message>
        <message>
            <source>处理失败，请检查文件后重试</source>
            <translation>Processing failed. Check the file and try again.</translation>
        </message>
        <message>
            <source>转换</source>
            <translation>Convert</translation>
        </message>
        <message>
            <source>开始转换列表中的视频</source>
            <translation>Convert the videos in the list</translation>
        </message>
        <message>
            <source>更多</source>
            <translation>More</translation>
        </message>
        <message>
            <source>从列表中移除</source>
            <translation>Remove from the list</translation>
        </message>
        <message>
            <source>重试</source>
            <translation>Retry</translation>
        </message>
        <message>
            <source>用相同的设置重新处理</source>
            <translation>Process it again with the same settings</translation>
        </message>
    </context>
    <context>
        <name>DesktopNotifications</name>
        <message>
            <source>打开文件夹</source>
            <translation>Open folder</translation>
        </message>
    </context>
    <context>
        <name>Download</name>
        <message>
            <source>升级下载</source>
            <translation>Update download</translation>
        </message>
        <message>
            <source>正在下载新版本，请稍候…</source>
            <translation>Downloading the new version, please wait…</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
    </context>
    <context>
        <name>DownloadDialog</name>
        <message>
            <source>升级失败</source>
            <translation>Update failed</translation>
        </message>
        <message>
            <source>安装包已下载到 %1，请手动打开</source>
            <translation>The installer was downloaded to %1; please open it yourself</translation>
        </message>
    </context>
    <context>
        <name>Feedback</name>
        <message>
            <source>意见反馈</source>
            <translation>Feedback</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Close</translation>
        </message>
        <message>
            <source>您的意见或建议</source>
            <translation>Your comments or ideas</translation>
        </message>
        <message>
            <source>请描述您遇到的问题或希望增加的功能</source>
            <translation>Describe the problem you met or the feature you would like</translation>
        </message>
        <message>
            <source>联系方式</source>
            <translation>Contact</translation>
        </message>
        <message>
            <source>手机号、QQ、微信或邮箱</source>
            <translation>Phone, QQ, WeChat or e-mail</translation>
        </message>
        <message>
            <source>联系我们</source>
            <translation>Contact us</translation>
        </message>
        <message>
            <source>提交</source>
            <translation>Send</translation>
        </message>
    </context>
    <context>
        <name>FeedbackDialog</name>
        <message>
            <source>正在提交…</source>
            <translation>Sending…</translation>
        </message>
    </context>
    <context>
        <name>FeedbackTexts</name>
        <message>
            <source>反馈内容不能为空!</source>
            <translation>Please write your feedback!</translation>
        </message>
        <message>
            <source>联系方式不能为空!</source>
            <translation>Please tell us how to reach you!</translation>
        </message>
        <message>
            <source>请先登录后进行反馈!</source>
            <translation>Please sign in before sending feedback!</translation>
        </message>
        <message>
            <source>反馈信息已提交!</source>
            <translation>Your feedback has been sent!</translation>
        </message>
        <message>
            <source>未知错误</source>
            <translation>Unknown error</translation>
        </message>
        <message>
            <source>网络错误!</source>
            <translation>Network error!</translation>
        </message>
    </context>
    <context>
        <name>FinishNotice</name>
        <message numerus="yes">
            <source>%n 个文件已完成</source>
            <translation>
                <numerusform>%n file done</numerusform>
                <numerusform>%n files done</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>%1，%n 个失败</source>
            <translation>
                <numerusform>%1, %n failed</numerusform>
                <numerusform>%1, %n failed</numerusform>
            </translation>
        </message>
        <message>
            <source>TOLVEX视频转换器</source>
            <translation>Tolvex Video Converter</translation>
        </message>
    </context>
    <context>
        <name>GifListItem</name>
        <message>
            <source>删除片段</source>
            <translation>Delete clip</translation>
        </message>
    </context>
    <context>
        <name>JobFailure</name>
        <message>
            <source>压缩结果比原文件还大</source>
            <translation>The compressed file came out larger than the original</translation>
        </message>
        <message>
            <source>无法读取视频时长，不能计算压缩码率</source>
            <translation>Cannot read the video's duration, so no bit rate can be worked out for the size</translation>
        </message>
        <message>
            <source>文件中没有视频，无法压缩</source>
            <translation>The file has no video to compress</translation>
        </message>
        <message>
            <source>目标太小，无法压缩到该大小</source>
            <translation>The target is too small to compress to that size</translation>
        </message>
        <message>
            <source>找不到ffmpeg程序</source>
            <translation>ffmpeg was not found</translation>
        </message>
        <message>
            <source>ffmpeg没有写出文件</source>
            <translation>ffmpeg wrote no output file</translation>
        </message>
        <message>
            <source>ffmpeg写出的文件是空的</source>
            <translation>ffmpeg wrote an empty output file</translation>
        </message>
        <message>
            <source>输出文件太大</source>
            <translation>The output file is too large</translation>
        </message>
        <message>
            <source>ffmpeg长时间没有响应，已停止</source>
            <translation>ffmpeg stopped responding</translation>
        </message>
        <message>
            <source>任务没有输出文件</source>
            <translation>The job has no output file</translation>
        </message>
        <message>
            <source>没有可运行的程序</source>
            <translation>No program to run</translation>
        </message>
        <message>
            <source>ffmpeg退出，状态码 %1</source>
            <translation>ffmpeg exited with status %1</translation>
        </message>
        <message>
            <source>ffmpeg被信号 %1 结束</source>
            <translation>ffmpeg was ended by signal %1</translation>
        </message>
        <message>
            <source>无法创建输出文件 %1</source>
            <translation>Cannot create the output file %1</translation>
        </message>
        <message>
            <source>没有可用的输出文件名: %1</source>
            <translation>No free output name for %1</translation>
        </message>
        <message>
            <source>无法运行 %1</source>
            <translation>Cannot run %1</translation>
        </message>
        <message>
            <source>无法启动ffmpeg: %1</source>
            <translation>Cannot start ffmpeg: %1</translation>
        </message>
        <message>
            <source>源文件不存在</source>
            <translation>The source file no longer exists</translation>
        </message>
    </context>
    <context>
        <name>MainTaskMenu</name>
        <message>
            <source>⌂   主界面</source>
            <translation>⌂   Main window</translation>
        </message>
        <message>
            <source>✉   意见反馈</source>
            <translation>✉   Feedback</translation>
        </message>
        <message>
            <source>?   帮助中心</source>
            <translation>?   Help</translation>
        </message>
        <message>
            <source>↻   检查更新</source>
            <translation>↻   Updates</translation>
        </message>
        <message>
            <source>⚙   设置</source>
            <translation>⚙   Settings</translation>
        </message>
        <message>
            <source>×   退出</source>
            <translation>×   Quit</translation>
        </message>
    </context>
    <context>
        <name>MainWindow</name>
        <message>
            <source>TOLVEX视频转换</source>
            <translation>Tolvex Video Converter</translation>
        </message>
        <message>
            <source>TOLVEX视频转换器</source>
            <translation>Tolvex Video Converter</translation>
        </message>
        <message>
            <source>帮助</source>
            <translation>Help</translation>
        </message>
        <message>
            <source>打开帮助页面</source>
            <translation>Open the help page</translation>
        </message>
        <message>
            <source>意见反馈</source>
            <translation>Feedback</translation>
        </message>
        <message>
            <source>告诉我们您的意见</source>
            <translation>Tell us what you think</translation>
        </message>
        <message>
            <source>最小化</source>
            <translation>Minimise</translation>
        </message>
        <message>
            <source>最大化</source>
            <translation>Maximise</translation>
        </message>
        <message>
            <source>还原</source>
            <translation>Restore</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Close</translation>
        </message>
        <message>
            <source>视频转换</source>
            <translation>Convert</translation>
        </message>
        <message>
            <source>视频分割</source>
            <translation>Split</translation>
        </message>
        <message>
            <source>视频合并</source>
            <translation>Merge</translation>
        </message>
        <message>
            <source>视频压缩</source>
            <translation>Compress</translation>
        </message>
        <message>
            <source>视频旋转</source>
            <translation>Rotate</translation>
        </message>
        <message>
            <source>制作GIF</source>
            <translation>Make GIF</translation>
        </message>
        <message>
            <source>提取音频</source>
            <translation>Extract audio</translation>
        </message>
        <message>
            <source>视频消音</source>
            <translation>Volume</translation>
        </message>
        <message>
            <source>视频配乐</source>
            <translation>Add music</translation>
        </message>
        <message>
            <source>添加文件</source>
            <translation>Add files</translation>
        </message>
        <message>
            <source>添加文件夹</source>
            <translation>Add folder</translation>
        </message>
        <message>
            <source>清空列表</source>
            <translation>Clear list</translation>
        </message>
        <message>
            <source>还没有视频
点击「添加文件」或「添加文件夹」，把视频转换成需要的格式</source>
            <translation>No videos yet
Click “Add files” or “Add folder” to convert videos to the format you need</translation>
        </message>
        <message>
            <source>添加视频</source>
            <translation>Add video</translation>
        </message>
        <message>
            <source>还没有片段
点击「添加视频」，在预览中选出要保留的时间段和画面</source>
            <translation>No clips yet
Click “Add video” and choose the part and the picture area to keep in the preview</translation>
        </message>
        <message>
            <source>全选</source>
            <translation>Select all</translation>
        </message>
        <message>
            <source>输出格式</source>
            <translation>Format</translation>
        </message>
        <message>
            <source>分辨率</source>
            <translation>Size</translation>
        </message>
        <message>
            <source>自动</source>
            <translation>Auto</translation>
        </message>
        <message>
            <source>合并进度</source>
            <translation>Progress</translation>
        </message>
        <message>
            <source>还没有视频
添加两个以上的视频，勾选后按顺序合并成一个文件</source>
            <translation>No videos yet
Add two or more videos, tick them, and they are joined into one file in order</translation>
        </message>
        <message>
            <source>还没有视频
添加视频后拖动滑块，选择压缩的力度</source>
            <translation>No videos yet
Add videos, then drag the slider to choose how much to compress</translation>
        </message>
        <message>
            <source>还没有视频
添加视频，为每个视频选择旋转或翻转的方式</source>
            <translation>No videos yet
Add videos and choose how to rotate or flip each one</translation>
        </message>
        <message>
            <source>还没有片段
点击「添加视频」，选出一段画面做成动图</source>
            <translation>No clips yet
Click “Add video” and choose a part to turn into an animated GIF</translation>
        </message>
        <message>
            <source>音频格式</source>
            <translation>Audio format</translation>
        </message>
        <message>
            <source>还没有视频
添加视频，选择音频格式后提取其中的声音</source>
            <translation>No videos yet
Add videos, choose an audio format and extract their sound</translation>
        </message>
        <message>
            <source>音量调节</source>
            <translation>Volume</translation>
        </message>
        <message>
            <source>静音</source>
            <translation>Mute</translation>
        </message>
        <message>
            <source>还没有视频
添加视频，调节音量或勾选「静音」去掉声音</source>
            <translation>No videos yet
Add videos, then change the volume or tick “Mute” to remove the sound</translation>
        </message>
        <message>
            <source>背景音乐</source>
            <translation>Music</translation>
        </message>
        <message>
            <source>请选择背景音乐文件</source>
            <translation>Choose a music file</translation>
        </message>
        <message>
            <source>选择音乐</source>
            <translation>Choose</translation>
        </message>
        <message>
            <source>循环播放</source>
            <translation>Loop</translation>
        </message>
        <message>
            <source>替换原声</source>
            <translation>Replace sound</translation>
        </message>
        <message>
            <source>原声音量</source>
            <translation>Video volume</translation>
        </message>
        <message>
            <source>配乐音量</source>
            <translation>Music volume</translation>
        </message>
        <message>
            <source>还没有视频
添加视频并选择一首背景音乐，为视频配乐</source>
            <translation>No videos yet
Add videos and choose a piece of music to lay under them</translation>
        </message>
        <message>
            <source>输出目录</source>
            <translation>Save to</translation>
        </message>
        <message>
            <source>更改目录</source>
            <translation>Change</translation>
        </message>
        <message>
            <source>打开目录</source>
            <translation>Open</translation>
        </message>
        <message>
            <source>全部设为</source>
            <translation>Set all to</translation>
        </message>
        <message>
            <source>保持文件夹结构</source>
            <translation>Keep folder structure</translation>
        </message>
        <message>
            <source>从文件夹添加的视频，输出时保留原来的子文件夹</source>
            <translation>Videos added from a folder keep their subfolders in the output folder</translation>
        </message>
        <message>
            <source>开始转换</source>
            <translation>Convert</translation>
        </message>
        <message>
            <source>一键裁剪</source>
            <translation>Cut</translation>
        </message>
        <message>
            <source>一键合并</source>
            <translation>Merge</translation>
        </message>
        <message>
            <source>一键压缩</source>
            <translation>Compress</translation>
        </message>
        <message>
            <source>一键旋转</source>
            <translation>Rotate</translation>
        </message>
        <message>
            <source>一键消音</source>
            <translation>Apply</translation>
        </message>
        <message>
            <source>一键配乐</source>
            <translation>Add music</translation>
        </message>
        <message>
            <source>重试</source>
            <translation>Retry</translation>
        </message>
        <message>
            <source>用相同的设置重新合并</source>
            <translation>Merge again with the same settings</translation>
        </message>
        <message>
            <source>无损快速</source>
            <translation>Lossless, fast</translation>
        </message>
        <message>
            <source>直接复制音视频拼接，不重新编码：几秒完成，画质不变，每个文件一个章节；各文件的编码、分辨率、帧率和音频格式须一致</source>
            <translation>Join by copying the picture and sound, without encoding again: done in seconds, quality untouched, one chapter per file; the files must share codec, frame size, frame rate and sound format</translation>
        </message>
    </context>
    <context>
        <name>MediaAdder</name>
        <message>
            <source>以下文件无法添加，请确认它们是完整的视频文件:</source>
            <translation>These files could not be added. Make sure they are complete video files:</translation>
        </message>
        <message>
            <source>……等%1个文件</source>
            <translation>… %1 files in all</translation>
        </message>
        <message>
            <source>选择视频存放目录</source>
            <translation>Choose a folder</translation>
        </message>
        <message>
            <source>子文件夹中还有 %1 个视频，是否一起添加？</source>
            <translation>The subfolders hold %1 more videos. Add them too?</translation>
        </message>
        <message>
            <source>添加</source>
            <translation>Add</translation>
        </message>
        <message>
            <source>不添加</source>
            <translation>Don't add</translation>
        </message>
        <message>
            <source>以下文件读取超时，无法添加:</source>
            <translation>These files could not be read in time and were not added:</translation>
        </message>
        <message>
            <source>无法在临时文件夹中生成以下文件的缩略图，文件未添加:</source>
            <translation>No thumbnail could be written to the temporary folder for these files; they were not added:</translation>
        </message>
        <message>
            <source>无法运行ffmpeg程序，以下文件未添加:</source>
            <translation>The ffmpeg program could not be run; these files were not added:</translation>
        </message>
    </context>
    <context>
        <name>MediaImportRules</name>
        <message>
            <source>视频文件(%1)</source>
            <translation>Video files (%1)</translation>
        </message>
        <message>
            <source>音频文件(%1)</source>
            <translation>Audio files (%1)</translation>
        </message>
    </context>
    <context>
        <name>MessageBox</name>
        <message>
            <source>提示</source>
            <translation>Notice</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
    </context>
    <context>
        <name>OptionWords</name>
        <message>
            <source>自动</source>
            <translation>Auto</translation>
        </message>
        <message>
            <source>单声道</source>
            <translation>Mono</translation>
        </message>
        <message>
            <source>立体声</source>
            <translation>Stereo</translation>
        </message>
    </context>
    <context>
        <name>OutputFolderControls</name>
        <message>
            <source>该目录没有写入权限!</source>
            <translation>This folder cannot be written to!</translation>
        </message>
        <message>
            <source>选择视频存放目录</source>
            <translation>Choose a folder</translation>
        </message>
    </context>
    <context>
        <name>PageStartHandler</name>
        <message>
            <source>请先添加文件!</source>
            <translation>Add files first!</translation>
        </message>
        <message>
            <source>请先选择背景音乐文件!</source>
            <translation>Choose a music file first!</translation>
        </message>
        <message>
            <source>请选择要合并视频文件!</source>
            <translation>Tick the videos to merge!</translation>
        </message>
        <message>
            <source>至少需要选择2个视频文件!</source>
            <translation>Tick at least 2 videos!</translation>
        </message>
        <message>
            <source>这些文件的编码不同，不能无损合并:</source>
            <translation>These files are coded differently and cannot be joined losslessly:</translation>
        </message>
        <message>
            <source>取消“无损快速”后可重新编码合并。</source>
            <translation>Untick &quot;Lossless, fast&quot; to join them by encoding again.</translation>
        </message>
        <message>
            <source>取消无损快速</source>
            <translation>Untick lossless</translation>
        </message>
        <message>
            <source>保留</source>
            <translation>Keep</translation>
        </message>
        <message>
            <source>无法无损合并: %1</source>
            <translation>Cannot join losslessly: %1</translation>
        </message>
    </context>
    <context>
        <name>ParamSetting</name>
        <message>
            <source>参数设置</source>
            <translation>Settings</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Close</translation>
        </message>
        <message>
            <source>视频编码</source>
            <translation>Video codec</translation>
        </message>
        <message>
            <source>视频码率</source>
            <translation>Video bit rate</translation>
        </message>
        <message>
            <source>音频编码</source>
            <translation>Audio codec</translation>
        </message>
        <message>
            <source>采样率</source>
            <translation>Sample rate</translation>
        </message>
        <message>
            <source>音频码率</source>
            <translation>Audio bit rate</translation>
        </message>
        <message>
            <source>声道</source>
            <translation>Channels</translation>
        </message>
        <message>
            <source>“自动”表示由编码器决定该项数值</source>
            <translation>“Auto” lets the encoder choose the value</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
    </context>
    <context>
        <name>PreviewPlatform</name>
        <message>
            <source>预览需要X11显示（X服务器或XWayland），当前无法显示画面；
仍可输入时间添加片段。</source>
            <translation>The preview needs an X11 display (an X server or XWayland) and cannot show the picture here;
you can still type times to add clips.</translation>
        </message>
    </context>
    <context>
        <name>ProgressView</name>
        <message>
            <source>输出文件放不下的内容：</source>
            <translation>What the output file cannot hold:</translation>
        </message>
        <message>
            <source>失败</source>
            <translation>Failed</translation>
        </message>
        <message>
            <source>第%1个文件 %2 无法合并: %3</source>
            <translation>File %1, %2, cannot be merged: %3</translation>
        </message>
        <message>
            <source>压缩失败</source>
            <translation>Failed</translation>
        </message>
        <message>
            <source>找不到ffmpeg程序,无法处理文件!</source>
            <translation>The ffmpeg program was not found, so no file can be processed!</translation>
        </message>
        <message>
            <source>剩余 %1</source>
            <translation>%1 left</translation>
        </message>
        <message>
            <source>用时 %1</source>
            <translation>took %1</translation>
        </message>
    </context>
    <context>
        <name>PromptBox</name>
        <message>
            <source>提示</source>
            <translation>Notice</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
    </context>
    <context>
        <name>ResumeQuestionBox</name>
        <message numerus="yes">
            <source>上次还有 %n 个任务没有完成，是否继续？</source>
            <translation>
                <numerusform>%n task was not finished last time. Continue it?</numerusform>
                <numerusform>%n tasks were not finished last time. Continue them?</numerusform>
            </translation>
        </message>
        <message>
            <source>继续</source>
            <translation>Continue</translation>
        </message>
        <message>
            <source>放弃</source>
            <translation>Discard</translation>
        </message>
    </context>
    <context>
        <name>RotateListContainerElement</name>
        <message>
            <source>顺时针旋转90°</source>
            <translation>Rotate 90° right</translation>
        </message>
        <message>
            <source>顺时针旋转180°</source>
            <translation>Rotate 180° right</translation>
        </message>
        <message>
            <source>顺时针旋转270°</source>
            <translation>Rotate 270° right</translation>
        </message>
        <message>
            <source>逆时针旋转90°</source>
            <translation>Rotate 90° left</translation>
        </message>
        <message>
            <source>逆时针旋转180°</source>
            <translation>Rotate 180° left</translation>
        </message>
        <message>
            <source>逆时针旋转270°</source>
            <translation>Rotate 270° left</translation>
        </message>
        <message>
            <source>水平翻转</source>
            <translation>Flip horizontally</translation>
        </message>
        <message>
            <source>垂直翻转</source>
            <translation>Flip vertically</translation>
        </message>
        <message>
            <source>旋转失败</source>
            <translation>Failed</translation>
        </message>
        <message>
            <source>处理失败，请检查文件后重试</source>
            <translation>Processing failed. Check the file and try again.</translation>
        </message>
        <message>
            <source>从列表中移除</source>
            <translation>Remove from the list</translation>
        </message>
        <message>
            <source>重试</source>
            <translation>Retry</translation>
        </message>
        <message>
            <source>用相同的设置重新处理</source>
            <translation>Process it again with the same settings</translation>
        </message>
    </context>
    <context>
        <name>SplitListItem</name>
        <message>
            <source>删除片段</source>
            <translation>Delete clip</translation>
        </message>
    </context>
    <context>
        <name>StartButton</name>
        <message>
            <source>转换中</source>
            <translation>Converting</translation>
        </message>
        <message>
            <source>处理中</source>
            <translation>Working</translation>
        </message>
        <message>
            <source>合并中</source>
            <translation>Merging</translation>
        </message>
        <message>
            <source>压缩中</source>
            <translation>Compressing</translation>
        </message>
        <message>
            <source>开始转换</source>
            <translation>Convert</translation>
        </message>
        <message>
            <source>一键裁剪</source>
            <translation>Cut</translation>
        </message>
        <message>
            <source>一键合并</source>
            <translation>Merge</translation>
        </message>
        <message>
            <source>一键压缩</source>
            <translation>Compress</translation>
        </message>
        <message>
            <source>一键旋转</source>
            <translation>Rotate</translation>
        </message>
        <message>
            <source>一键消音</source>
            <translation>Apply</translation>
        </message>
        <message>
            <source>一键配乐</source>
            <translation>Add music</translation>
        </message>
    </context>
    <context>
        <name>TrayIcon</name>
        <message>
            <source>TOLVEX视频转换器</source>
            <translation>Tolvex Video Converter</translation>
        </message>
    </context>
    <context>
        <name>UpdateOffer</name>
        <message>
            <source>发现新版本啦!</source>
            <translation>A new version is available!</translation>
        </message>
        <message>
            <source>没有发现新版本!</source>
            <translation>You have the latest version!</translation>
        </message>
    </context>
    <context>
        <name>VideSplitContainerElement</name>
        <message>
            <source>裁剪失败</source>
            <translation>Failed</translation>
        </message>
        <message>
            <source>处理失败，请检查文件后重试</source>
            <translation>Processing failed. Check the file and try again.</translation>
        </message>
        <message>
            <source>从列表中移除</source>
            <translation>Remove from the list</translation>
        </message>
        <message>
            <source>重试</source>
            <translation>Retry</translation>
        </message>
        <message>
            <source>用相同的设置重新处理</source>
            <translation>Process it again with the same settings</translation>
        </message>
    </context>
    <context>
        <name>VideoExtractListContainerElement</name>
        <message>
            <source>提取失败</source>
            <translation>Failed</translation>
        </message>
        <message>
            <source>处理失败，请检查文件后重试</source>
            <translation>Processing failed. Check the file and try again.</translation>
        </message>
        <message>
            <source>从列表中移除</source>
            <translation>Remove from the list</translation>
        </message>
        <message>
            <source>重试</source>
            <translation>Retry</translation>
        </message>
        <message>
            <source>用相同的设置重新处理</source>
            <translation>Process it again with the same settings</translation>
        </message>
    </context>
    <context>
        <name>VideoGifContainerElement</name>
        <message>
            <source>制作失败</source>
            <translation>Failed</translation>
        </message>
        <message>
            <source>处理失败，请检查文件后重试</source>
            <translation>Processing failed. Check the file and try again.</translation>
        </message>
        <message>
            <source>从列表中移除</source>
            <translation>Remove from the list</translation>
        </message>
        <message>
            <source>重试</source>
            <translation>Retry</translation>
        </message>
        <message>
            <source>用相同的设置重新处理</source>
            <translation>Process it again with the same settings</translation>
        </message>
    </context>
    <context>
        <name>VideoGifDialog</name>
        <message>
            <source>视频转GIF</source>
            <translation>Video to GIF</translation>
        </message>
        <message>
            <source>视频预览区</source>
            <translation>Video preview</translation>
        </message>
        <message>
            <source>▶ 播放</source>
            <translation>▶ Play</translation>
        </message>
        <message>
            <source>播放</source>
            <translation>Play</translation>
        </message>
        <message>
            <source>继续播放</source>
            <translation>Continue playing</translation>
        </message>
        <message>
            <source>❚❚ 暂停</source>
            <translation>❚❚ Pause</translation>
        </message>
        <message>
            <source>暂停</source>
            <translation>Pause</translation>
        </message>
        <message>
            <source>暂停播放</source>
            <translation>Pause playing</translation>
        </message>
        <message>
            <source>播放位置 / 总时长</source>
            <translation>Position / length</translation>
        </message>
        <message>
            <source>音量</source>
            <translation>Volume</translation>
        </message>
        <message>
            <source>开始时间</source>
            <translation>Start</translation>
        </message>
        <message>
            <source>时:分:秒</source>
            <translation>h:m:s</translation>
        </message>
        <message>
            <source>片段的开始时间，格式 时:分:秒</source>
            <translation>Start of the clip, as hours:minutes:seconds</translation>
        </message>
        <message>
            <source>结束时间</source>
            <translation>End</translation>
        </message>
        <message>
            <source>片段的结束时间，格式 时:分:秒</source>
            <translation>End of the clip, as hours:minutes:seconds</translation>
        </message>
        <message>
            <source>添加片段</source>
            <translation>Add clip</translation>
        </message>
        <message>
            <source>把开始和结束时间之间的片段加入右侧列表</source>
            <translation>Add the part between start and end to the list on the right</translation>
        </message>
        <message>
            <source>片段列表</source>
            <translation>Clips</translation>
        </message>
        <message>
            <source>还没有片段
设好开始和结束时间后点击「添加片段」</source>
            <translation>No clips yet
Set the start and end, then click “Add clip”</translation>
        </message>
        <message>
            <source>画质优先</source>
            <translation>Best picture</translation>
        </message>
        <message>
            <source>每一帧用它自己的颜色做调色板：画面更像原视频，文件稍大</source>
            <translation>Every frame gets a palette of its own colours: the picture looks more like the video, the file is somewhat larger</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>关闭窗口，不添加片段</source>
            <translation>Close without adding clips</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>把列表中的片段加入任务列表</source>
            <translation>Add the clips in the list to the page</translation>
        </message>
    </context>
    <context>
        <name>VideoListContainerElement</name>
        <message>
            <source>参数设置</source>
            <translation>Settings</translation>
        </message>
        <message>
            <source>设置编码、码率、采样率和声道</source>
            <translation>Set the codecs, bit rates, sample rate and channels</translation>
        </message>
        <message>
            <source>转换失败</source>
            <translation>Failed</translation>
        </message>
        <message>
            <source>处理失败，请检查文件后重试</source>
            <translation>Processing failed. Check the file and try again.</translation>
        </message>
        <message>
            <source>从列表中移除</source>
            <translation>Remove from the list</translation>
        </message>
        <message>
            <source>重试</source>
            <translation>Retry</translation>
        </message>
        <message>
            <source>用相同的设置重新处理</source>
            <translation>Process it again with the same settings</translation>
        </message>
    </context>
    <context>
        <name>VideoMergeListContainerElement</name>
        <message>
            <source>勾选的视频参与合并</source>
            <translation>Ticked videos are merged</translation>
        </message>
        <message>
            <source>上移</source>
            <translation>Up</translation>
        </message>
        <message>
            <source>向上移动</source>
            <translation>Move up</translation>
        </message>
        <message>
            <source>下移</source>
            <translation>Down</translation>
        </message>
        <message>
            <source>向下移动</source>
            <translation>Move down</translation>
        </message>
        <message>
            <source>从列表中移除</source>
            <translation>Remove from the list</translation>
        </message>
    </context>
    <context>
        <name>VideoMusicListContainerElement</name>
        <message>
            <source>配乐失败</source>
            <translation>Failed</translation>
        </message>
        <message>
            <source>处理失败，请检查文件后重试</source>
            <translation>Processing failed. Check the file and try again.</translation>
        </message>
        <message>
            <source>从列表中移除</source>
            <translation>Remove from the list</translation>
        </message>
        <message>
            <source>重试</source>
            <translation>Retry</translation>
        </message>
        <message>
            <source>用相同的设置重新处理</source>
            <translation>Process it again with the same settings</translation>
        </message>
    </context>
    <context>
        <name>VideoMuteListContainerElement</name>
        <message>
            <source>处理失败</source>
            <translation>Failed</translation>
        </message>
        <message>
            <source>处理失败，请检查文件后重试</source>
            <translation>Processing failed. Check the file and try again.</translation>
        </message>
        <message>
            <source>从列表中移除</source>
            <translation>Remove from the list</translation>
        </message>
        <message>
            <source>重试</source>
            <translation>Retry</translation>
        </message>
        <message>
            <source>用相同的设置重新处理</source>
            <translation>Process it again with the same settings</translation>
        </message>
    </context>
    <context>
        <name>VideoSplitDialog</name>
        <message>
            <source>视频分割</source>
            <translation>Split</translation>
        </message>
        <message>
            <source>视频预览区</source>
            <translation>Video preview</translation>
        </message>
        <message>
            <source>▶ 播放</source>
            <translation>▶ Play</translation>
        </message>
        <message>
            <source>播放</source>
            <translation>Play</translation>
        </message>
        <message>
            <source>继续播放</source>
            <translation>Continue playing</translation>
        </message>
        <message>
            <source>❚❚ 暂停</source>
            <translation>❚❚ Pause</translation>
        </message>
        <message>
            <source>暂停</source>
            <translation>Pause</translation>
        </message>
        <message>
            <source>暂停播放</source>
            <translation>Pause playing</translation>
        </message>
        <message>
            <source>播放位置 / 总时长</source>
            <translation>Position / length</translation>
        </message>
        <message>
            <source>音量</source>
            <translation>Volume</translation>
        </message>
        <message>
            <source>开始时间</source>
            <translation>Start</translation>
        </message>
        <message>
            <source>时:分:秒</source>
            <translation>h:m:s</translation>
        </message>
        <message>
            <source>片段的开始时间，格式 时:分:秒</source>
            <translation>Start of the clip, as hours:minutes:seconds</translation>
        </message>
        <message>
            <source>结束时间</source>
            <translation>End</translation>
        </message>
        <message>
            <source>片段的结束时间，格式 时:分:秒</source>
            <translation>End of the clip, as hours:minutes:seconds</translation>
        </message>
        <message>
            <source>添加片段</source>
            <translation>Add clip</translation>
        </message>
        <message>
            <source>把开始和结束时间之间的片段加入右侧列表</source>
            <translation>Add the part between start and end to the list on the right</translation>
        </message>
        <message>
            <source>启用裁剪</source>
            <translation>Crop</translation>
        </message>
        <message>
            <source>裁剪画面</source>
            <translation>Crop picture</translation>
        </message>
        <message>
            <source>在画面上拖出要保留的区域</source>
            <translation>Drag out the area of the picture to keep</translation>
        </message>
        <message>
            <source>片段列表</source>
            <translation>Clips</translation>
        </message>
        <message>
            <source>还没有片段
设好开始和结束时间后点击「添加片段」</source>
            <translation>No clips yet
Set the start and end, then click “Add clip”</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>关闭窗口，不添加片段</source>
            <translation>Close without adding clips</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>把列表中的片段加入任务列表</source>
            <translation>Add the clips in the list to the page</translation>
        </message>
        <message>
            <source>取消裁剪</source>
            <translation>Cancel crop</translation>
        </message>
        <message>
            <source>无损片段的实际开始时间</source>
            <translation>Where the lossless clip really starts</translation>
        </message>
        <message>
            <source>无损快速</source>
            <translation>Lossless, fast</translation>
        </message>
        <message>
            <source>直接复制音视频，不重新编码：几秒完成，画质不变；片段从开始时间之前最近的关键帧开始，不能裁剪</source>
            <translation>Copy the picture and sound without encoding again: done in seconds, quality untouched; the clip starts at the key frame at or before the start, and cannot be cropped</translation>
        </message>
        <message>
            <source>实际开始 未找到关键帧</source>
            <translation>Real start: no key frame found</translation>
        </message>
        <message>
            <source>实际开始 %1（关键帧）</source>
            <translation>Real start %1 (key frame)</translation>
        </message>
    </context>
</TS>
