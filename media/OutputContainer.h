#pragma once

// The container of a page's output when it keeps the input's own format: the input's
// extension, or, for a name without one (or with one that no ffmpeg muxer claims), the
// extension of the container the probe found.
// Thread use: plain functions; OwnOutputExtension probes the file (see MediaProbe.h).

#include <string>

namespace tolvex {

// Whether ffmpeg picks a muxer for a file ending in ".<extension>".
bool MuxerKnowsExtension(const std::string& extension);
// The extension to write for a demuxer name: the mov/mp4 family gives "mp4", matroska and
// webm "mkv", avi "avi", flv "flv", asf "wmv", MPEG-TS "ts", MPEG-PS "mpg", ogg "ogv",
// mxf "mxf", RealMedia "rm", GIF "gif"; anything else (or nothing) "mkv", which holds
// every codec.
std::string ExtensionForDemuxer(const std::string& demuxerName);
// The extension of `fileName` when a muxer claims it, else the probed container's.
std::string OwnOutputExtension(const std::string& fileName, const std::string& path);

}  // namespace tolvex
