#pragma once
// The presentation a Python call runs the engine with: no window, nothing
// printed, only the log and the modal messages kept.

#include "platform/headlesspresentation.h"

inline void keepLogOnly(HeadlessPresentation& ui)
{
    ui.recordEvents = false;
    ui.recordingCanvas.recording = false;
}
