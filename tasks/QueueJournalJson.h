#pragma once

// The journal as a JSON document, version 1:
//
//   {"app": "TolvexVideoConverter", "version": 1, "closedCleanly": false,
//    "pages": {"convert": {"controls": {...}, "items": [
//                 {"input": {"path": ..., "name": ..., "folder": ..., "size": ..., "duration": ...},
//                  "controls": {"video-convert-format": "mkv", ...}, "outputName": ..., "thumbnail": ...,
//                  "params": {...}, "job": {"state": "running", "output": ..., "scratch": [...]}}]},
//              "split": {"items": [{"clip": {"source": ..., "output": ..., "start": ..., "end": ...,
//                                            "crop": [x, y, w, h], "cropOn": true}, "job": {...}}]},
//              "merge": {"controls": {...}, "items": [...], "job": {...}}, ...}}
//
// Members that hold nothing are left out. Reading checks every member it uses: a document
// that is not such a journal is unreadable, one of a later version is not read at all.

#include "tasks/QueueJournal.h"

#include <QByteArray>
#include <QString>

namespace tolvex {

QByteArray QueueJournalToJson(const QueueJournal& journal);

struct JournalParse {
    enum class Status {
        Ok,
        Unreadable,      // not JSON, or not a journal of this program
        NewerVersion,    // written by a later version of the program
        UnknownVersion,  // no version, or one that never existed
    };
    Status status = Status::Unreadable;
    QueueJournal journal;
    int version = 0;
    QString detail;  // what was wrong, for the log
};

JournalParse QueueJournalFromJson(const QByteArray& document);

}  // namespace tolvex
