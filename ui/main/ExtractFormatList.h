#pragma once

// The extract page's format box offers only the audio formats this ffmpeg can write. Finding
// them asks FFmpeg's libraries, which the program opens after its window is shown; so the
// question runs on a thread of this object's own and the answer fills the box on the UI
// thread, keeping the format chosen if it is among them. Until then the box offers the
// skin's list.
//
// Thread use: start and the destructor on the UI thread, which fills the box. The thread
// only asks FFmpeg and posts the answer to this object; the destructor joins it, and an
// answer not delivered by then is dropped with the object.

#include <QObject>
#include <QPointer>

#include <thread>

class QComboBox;

namespace tolvex {

class ExtractFormatList : public QObject {
public:
    ExtractFormatList() = default;
    ~ExtractFormatList() override;

    // Starts the question for `box`; a second start while one runs does nothing.
    void start(QComboBox* box);

private:
    QPointer<QComboBox> m_box;
    std::thread m_thread;
};

}  // namespace tolvex
